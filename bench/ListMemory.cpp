// Memory of the main inventory screen with all six lists filled: the screen opened
// offscreen on TAVEL_BENCH_DB (give it a copy: opening a database writes beside it), each
// tab searched with the widest filters a user sets (every open or closed status, last month
// for the received and usage lists, the busiest location with order quantities for the
// levels) and filled to its last row; prints the rows and the peak resident set after each.

#include "BenchHost.h"
#include "Records.h"
#include "WSIDatabase.h"
#include "WSIInventoryDialog.h"
#include "WSIInventoryListDialog.h"
#include "WSIListWindow.h"

#include <QApplication>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

namespace {

long PeakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

WSIDate MonthStart(int back) {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    int month = t.tm_mon + 1 - back, year = t.tm_year + 1900;
    while (month < 1) {
        month += 12;
        --year;
    }
    return WSIDate{static_cast<short>(year), static_cast<short>(month), 1};
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const char* source = std::getenv("TAVEL_BENCH_DB");
    RegisterRecords();
    auto db = std::make_unique<WSIDatabase>(source ? source : "group.db");
    if (!db->IsOpen())
        return 1;
    std::printf("opened: peak %ld MB\n", PeakKb() / 1024);
    BenchHost host;
    AttachModule(host, db.get());
    const std::string code = BusiestLocation(*db);
    auto screen = std::make_unique<WSIInventoryDialog>(nullptr, &host);
    screen->resize(1280, 900);
    screen->show();
    QApplication::processEvents();
    std::printf("screen shown: peak %ld MB\n", PeakKb() / 1024);
    // Last month, first to last day.
    WSIDate to = MonthStart(1);
    {
        const WSIDate from = to;
        static const short days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        to.day = days[from.month - 1];
        if (from.month == 2 && from.year % 4 == 0 && (from.year % 100 != 0 || from.year % 400 == 0))
            to.day = 29;
    }
    long total = 0;
    for (int tab = 0; tab < WSIInventoryDialog::kTabCount; ++tab) {
        InventorySearchParameters p;
        p.openStatus = -1;
        p.closedStatus = -1;
        p.itemType = -1;
        if (tab == WSIInventoryDialog::TabLevels) {
            std::snprintf(p.location, sizeof p.location, "%s", code.c_str());
            p.showOrderQuantities = true;
            p.perLocation = true;
        }
        if (tab == WSIInventoryDialog::TabReceived || tab == WSIInventoryDialog::TabUsage) {
            p.fromDate = MonthStart(1);
            p.toDate = to;
        }
        const auto start = std::chrono::steady_clock::now();
        screen->SelectTab(tab);
        QApplication::processEvents();
        WSIInventoryListDialog* view = screen->ListView(tab);
        view->SetSearchParameters(p);
        view->Search();
        view->CompleteFill();
        view->List()->viewport()->repaint();
        QApplication::processEvents();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const int rows = view->List()->RowCount();
        total += rows;
        std::printf("tab %d: %7d rows in %7.0f ms, peak %ld MB\n", tab, rows, ms, PeakKb() / 1024);
    }
    std::printf("all six lists filled: %ld rows, peak resident set %ld MB\n", total,
                PeakKb() / 1024);
    // A heading click on the longest list: rows reorder by their records, and the rows
    // then in view are painted from them.
    {
        WSIInventoryListDialog* view = screen->ListView(WSIInventoryDialog::TabPendingExt);
        for (int column : {0, 5, 7}) {
            const auto start = std::chrono::steady_clock::now();
            view->EvColumnClick(column);
            view->List()->viewport()->repaint();
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            std::printf("pending external sorted by column %d in %.0f ms\n", column, ms);
        }
    }
    screen.reset();
    tavel::ModuleDetach();
    return total > 0 ? 0 : 1;
}

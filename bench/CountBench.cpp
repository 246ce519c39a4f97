// The count screen driven offscreen as a scanner drives it, on a copy of the generated data at
// the location that holds the most products:
// 1. opening: the screen built on that location (its products that need counting listed),
//    then the list widened to every product location there; each timed until its first rows
//    are painted, the widened list also until every row is in;
// 2. scans: with the whole list loaded, one scan per product (the code typed, then Enter),
//    timed from Enter to the row updated and the success sound handed to the host. Prints the
//    median and the 99th percentile over all scans and over the first and the last hundred.
//
//   TAVEL_BENCH_DB=group.db QT_QPA_PLATFORM=offscreen count_bench [scans]

#include "BenchCommon.h"
#include "ScanTiming.h"

#include "InventoryModule.h"
#include "Paths.h"
#include "StringTable.h"
#include "WSIApplication.h"
#include "WSIInvCountDialog.h"
#include "WSIInventoryApp.h"
#include "WSIListWindow.h"
#include "WSIProfile.h"
#include "WSIScanEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The active location with the most product locations, and how many it has.
std::string BusiestLocation(sqlite3* conn, long* held) {
    bench::Stmt where(conn, "SELECT L.\"InvLoc\", COUNT(1) FROM PRDLOC L JOIN INVLOC V ON V.\"InvLoc\" = "
                     "L.\"InvLoc\" WHERE V.\"Inactive\" = 0 AND L.\"InvLoc\" <> ' ' GROUP BY "
                     "L.\"InvLoc\" ORDER BY COUNT(1) DESC LIMIT 1");
    if (!where.Row())
        return std::string();
    if (held)
        *held = static_cast<long>(where.Int(1));
    return where.Text(0);
}

double Ms(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int scans = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
    bench::DataCopy copy("tavel_count_bench.db");
    if (!copy.Ok())
        return 1;

    // The location with the most products, and active products there to scan.
    std::string loc;
    long held = 0;
    std::vector<std::string> codes;
    {
        const bench::NativeDb conn = bench::OpenNative(copy.Path());
        loc = BusiestLocation(conn.get(), &held);
        bench::Stmt list(conn.get(),
                         "SELECT P.\"ProductCode\" FROM PRODUCT P JOIN PRDLOC L ON L.\"Product\" "
                         "= P.\"Product\" AND L.\"InvLoc\" = ?1 WHERE P.\"Inactive\" = 0 AND "
                         "L.\"Inactive\" = 0 ORDER BY P.\"Product\" LIMIT ?2");
        list.T(1, loc.c_str()).I(2, scans);
        while (list.Row())
            codes.push_back(list.Text(0));
    }
    if (codes.empty()) {
        std::fprintf(stderr, "no products to count in %s\n", copy.Path().c_str());
        return 1;
    }

    RegisterRecords();
    WSIDatabase db(copy.Path());
    bench::ScanBenchHost host;
    host.profile.WriteString("Inventory", "Location", loc.c_str());
    bench::AttachScanModule(db, host, codes);

    std::vector<double> ms;
    double openMs = 0, widenMs = 0, wholeMs = 0;
    int openRows = 0, firstRows = 0, allRows = 0;
    {
        QElapsedTimer timer;
        timer.start();
        WSIInvCountDialog screen(nullptr, &host);
        screen.SetScanDelay(60000);
        screen.show();
        QApplication::processEvents();
        openMs = Ms(timer);
        openRows = screen.List()->RowCount();

        // Every product location of the location: those that track usage and inactive ones.
        timer.start();
        auto* tracked = screen.findChild<QCheckBox*>("includeTrackUsage");
        auto* inactive = screen.findChild<QCheckBox*>("includeInactive");
        inactive->blockSignals(true);
        inactive->setChecked(true);
        inactive->blockSignals(false);
        tracked->setChecked(true);
        QApplication::processEvents();
        widenMs = Ms(timer);
        firstRows = screen.List()->RowCount();
        // The rest of the list fills in while the screen waits for the first scan.
        while (screen.ListedProducts() < held)
            QCoreApplication::processEvents();
        wholeMs = Ms(timer);
        allRows = screen.List()->RowCount();

        for (const std::string& code : codes)
            ms.push_back(bench::TimeScan(screen.Entry(), code, host));
        screen.CloseWindow(id::CANCEL);
    }
    std::printf("count screen at %s (%ld product locations)\n", loc.c_str(), held);
    std::printf("  opening:        %.1f ms to %d rows painted (goal 300)\n", openMs, openRows);
    std::printf("  widened:        %.1f ms to the first %d rows painted (goal 300), %.1f ms to "
                "all %d\n",
                widenMs, firstRows, wholeMs, allRows);
    char title[64];
    std::snprintf(title, sizeof title, "  %zu scans", ms.size());
    const bench::ScanStats all = bench::PrintScanStats(title, ms, host);
    if (const char* summary = std::getenv("TAVEL_BENCH_SUMMARY")) {
        if (FILE* f = std::fopen(summary, "a")) {
            std::fprintf(f,
                         "| count screen scan (Enter to feedback), median / p99 | %.2f / %.2f "
                         "| | | | | 10 / 30 ms |\n",
                         all.median, all.p99);
            std::fprintf(f, "| count screen first rows of %d | %.1f | | | | | 300 ms |\n", allRows,
                         std::max(openMs, widenMs));
            std::fclose(f);
        }
    }
    tavel::ModuleDetach();
    return host.refusals == 0 ? 0 : 1;
}

// The main screen's lists on the practice group's data, through the real list views
// under the offscreen platform: the time from a search to its first rows in the model,
// to those rows painted, and to the whole list (the rest of the fill read at once).

#include "BenchHost.h"
#include "InventoryModule.h"
#include "Records.h"
#include "StringTable.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "WSIInventoryDialog.h"
#include "WSIInventoryListDialog.h"
#include "WSIListWindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

namespace {

BenchHost* g_host = nullptr;
WSIInventoryDialog* g_screen = nullptr;
std::string g_location;

double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double WallMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Each iteration: the search (first page into the model), a paint of the visible rows,
// then the rest of the fill. The counters give each stage's time from the search's start.
void RunSearch(benchmark::State& state, int tab, const InventorySearchParameters& params) {
    g_screen->SelectTab(tab);
    QApplication::processEvents();
    WSIInventoryListDialog* view = g_screen->ListView(tab);
    WSIListWindow* list = view->List();
    int rows = 0;
    int firstRows = 0;
    double first = 0, painted = 0, paintedCpu = 0, whole = 0, wholeCpu = 0;
    for (auto _ : state) {
        const double wall0 = WallMs();
        const double cpu0 = CpuMs();
        view->SetSearchParameters(params);
        view->Search();
        first += WallMs() - wall0;
        firstRows = list->RowCount();
        list->viewport()->repaint();
        painted += WallMs() - wall0;
        paintedCpu += CpuMs() - cpu0;
        view->CompleteFill();
        whole += WallMs() - wall0;
        wholeCpu += CpuMs() - cpu0;
        rows = list->RowCount();
    }
    const auto avg = benchmark::Counter::kAvgIterations;
    state.counters["rows"] = rows;
    state.counters["first_rows"] = firstRows;
    state.counters["first_ms"] = benchmark::Counter(first, avg);
    state.counters["painted_ms"] = benchmark::Counter(painted, avg);
    state.counters["painted_cpu_ms"] = benchmark::Counter(paintedCpu, avg);
    state.counters["whole_ms"] = benchmark::Counter(whole, avg);
    state.counters["whole_cpu_ms"] = benchmark::Counter(wholeCpu, avg);
    if (rows == 0)
        state.SkipWithError("the search listed no rows: is the benchmark data there?");
}

void BM_PendingSearch(benchmark::State& state) {
    RunSearch(state, 0, InventorySearchParameters::AnyStatus());
}

void BM_LevelsByLocationSearch(benchmark::State& state) {
    InventorySearchParameters p = InventorySearchParameters::AnyStatus();
    std::strncpy(p.location, g_location.c_str(), sizeof p.location - 1);
    p.showOrderQuantities = state.range(0) != 0;
    p.perLocation = p.showOrderQuantities;
    RunSearch(state, 3, p);
}

// Last calendar month, from the first to the last day.
InventorySearchParameters LastMonth() {
    InventorySearchParameters p = InventorySearchParameters::AnyStatus();
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    gmtime_r(&now, &today);
    std::tm first{};
    first.tm_year = today.tm_mon == 0 ? today.tm_year - 1 : today.tm_year;
    first.tm_mon = today.tm_mon == 0 ? 11 : today.tm_mon - 1;
    first.tm_mday = 1;
    std::tm last = first;
    last.tm_mon += 1;
    last.tm_mday = 0; // the day before the first of the next month
    timegm(&last);
    p.fromDate = {static_cast<short>(first.tm_year + 1900), static_cast<short>(first.tm_mon + 1),
                  1};
    p.toDate = {static_cast<short>(last.tm_year + 1900), static_cast<short>(last.tm_mon + 1),
                static_cast<short>(last.tm_mday)};
    return p;
}

void BM_ReceivedMonthSearch(benchmark::State& state) {
    RunSearch(state, WSIInventoryDialog::TabReceived, LastMonth());
}

void BM_UsageMonthSearch(benchmark::State& state) {
    RunSearch(state, WSIInventoryDialog::TabUsage, LastMonth());
}

BENCHMARK(BM_PendingSearch)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LevelsByLocationSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReceivedMonthSearch)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UsageMonthSearch)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const char* source = std::getenv("TAVEL_BENCH_DB");
    RegisterRecords();
    auto db = std::make_unique<WSIDatabase>(source ? source : "group.db");
    if (!db->IsOpen())
        return 1;
    BenchHost host;
    host.strings.LoadDefault();
    host.db = db.get();
    g_host = &host;
    tavel::ModuleAttach();
    tavel::CurrentInventoryApp()->AttachHost(&host);
    tavel::CurrentInventoryApp()->InitApp(1);
    // The busiest store room: the location with the most product locations.
    char code[16] = "";
    std::unique_ptr<WSITable> cursor =
        db->Query(__FILE__, __LINE__, "%s", code,
                  "SELECT \"InvLoc\" FROM PRDLOC WHERE \"InvLoc\" <> ' ' GROUP BY \"InvLoc\" "
                  "ORDER BY COUNT(1) DESC");
    if (cursor->GetFirst())
        g_location = code;
    cursor.reset();
    auto screen = std::make_unique<WSIInventoryDialog>(nullptr, &host);
    g_screen = screen.get();
    // Shown, so that a paint draws the rows as a user's screen would.
    screen->resize(1280, 900);
    screen->show();
    QApplication::processEvents();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    screen.reset();
    tavel::ModuleDetach();
    return 0;
}

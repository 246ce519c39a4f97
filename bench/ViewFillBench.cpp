// The main screen's lists on the practice group's data: the time from a search to a
// filled list (every row in the model, so the first rows are on screen well before),
// through the real list views under the offscreen platform.

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

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Answers every box with OK: a benchmark has nobody to ask.
class BenchHost : public WSIApplication {
public:
    StringTable strings;
    WSIDatabase* db = nullptr;
    int LoadString(unsigned code, char* buf, int size) const override {
        return strings.Load(code, buf, size);
    }
    WSIDatabase* GetDb() override { return db; }
    int MessageBox(WSIWindow*, const char*, const char*, unsigned) override { return id::OK; }
};

BenchHost* g_host = nullptr;
WSIInventoryDialog* g_screen = nullptr;
std::string g_location;

void RunSearch(benchmark::State& state, int tab, const InventorySearchParameters& params) {
    WSIInventoryListDialog* view = g_screen->ListView(tab);
    int rows = 0;
    for (auto _ : state) {
        view->SetSearchParameters(params);
        view->Search();
        rows = view->List()->RowCount();
    }
    state.counters["rows"] = rows;
    if (rows == 0)
        state.SkipWithError("the search listed no rows: is the benchmark data there?");
}

void BM_PendingSearch(benchmark::State& state) {
    InventorySearchParameters p;
    p.openStatus = -1;
    p.closedStatus = -1;
    p.itemType = -1;
    RunSearch(state, 0, p);
}

void BM_LevelsByLocationSearch(benchmark::State& state) {
    InventorySearchParameters p;
    p.openStatus = -1;
    p.closedStatus = -1;
    p.itemType = -1;
    std::strncpy(p.location, g_location.c_str(), sizeof p.location - 1);
    p.showOrderQuantities = state.range(0) != 0;
    p.perLocation = p.showOrderQuantities;
    RunSearch(state, 3, p);
}

BENCHMARK(BM_PendingSearch)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LevelsByLocationSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    screen.reset();
    tavel::ModuleDetach();
    return 0;
}

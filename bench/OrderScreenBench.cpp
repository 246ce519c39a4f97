// The order screens on the practice group's data, offscreen: opening an order of 1,200
// lines in the order entry screen (goal: under 200 ms) and listing a vendor's 500
// products at one location in the vendor requests screen (goal: under 500 ms). The
// data is copied first: the benchmark adds the large order and gives the vendor its
// products, and the shared benchmark data must stay as generated.

#include "BenchHost.h"
#include "InventoryModule.h"
#include "Records.h"
#include "StringTable.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInvOrderDialog.h"
#include "WSIInventoryApp.h"
#include "WSIListWindow.h"
#include "WSIVendorRequestsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kOrderLines = 1200;
constexpr int kVendorProducts = 500;

BenchHost* g_host = nullptr;
long g_order = 0;
long g_vendor = 0;
std::string g_location;

// An external order of kOrderLines lines over the catalogue's products, and
// kVendorProducts products at the busiest location given to one vendor.
bool Prepare(WSIDatabase& db) {
    char code[16] = "";
    auto cursor = db.Query(__FILE__, __LINE__, "%s", code,
                           "SELECT \"InvLoc\" FROM PRDLOC WHERE \"InvLoc\" <> ' ' GROUP BY "
                           "\"InvLoc\" ORDER BY COUNT(1) DESC");
    if (!cursor->GetFirst())
        return false;
    cursor.reset();
    g_location = code;
    // A vendor of its own, so that it has exactly the products the goal names.
    WSIVendor newVendor(&db);
    std::strcpy(newVendor.data.Name, "Benchmark Supply");
    if (!newVendor.InsertDB(__FILE__, __LINE__))
        return false;
    g_vendor = newVendor.data.Vendor;
    const std::string vendor = std::to_string(g_vendor);
    db.ExecNative(__FILE__, __LINE__,
                  ("UPDATE PRODUCT SET \"Vendor\" = " + vendor +
                   " WHERE \"Product\" IN (SELECT \"Product\" FROM PRDLOC WHERE \"InvLoc\" = '" +
                   g_location + "' AND \"Inactive\" = 0 LIMIT " + std::to_string(kVendorProducts) +
                   ")")
                      .c_str());
    std::vector<long> products;
    long product = 0;
    auto q = db.Query(__FILE__, __LINE__, "SELECT \"Product\" FROM PRODUCT ORDER BY 1", &product);
    for (bool found = q->GetFirst(); found; found = q->GetNext())
        products.push_back(product);
    q.reset();
    if (products.empty())
        return false;
    db.TransactionBegin();
    WSIInvOrder order(&db);
    order.data.IsExternal = 1;
    std::strncpy(order.data.InvLoc, g_location.c_str(), sizeof order.data.InvLoc - 1);
    order.data.Vendor = g_vendor;
    std::strcpy(order.data.PONumber, "BENCH-1200");
    order.data.Date = db.Today();
    if (!order.InsertDB(__FILE__, __LINE__))
        return false;
    g_order = order.data.InvOrder;
    for (int i = 0; i < kOrderLines; ++i) {
        WSIInvOrdIt line(&db);
        line.data.InvOrder = g_order;
        line.data.Item = static_cast<short>(i + 1);
        line.data.Product = products[static_cast<std::size_t>(i) % products.size()];
        line.data.Quantity = static_cast<short>(1 + i % 20);
        std::strcpy(line.data.Unit, "Box");
        line.data.CostPerUnit = 2.5 + i % 7;
        if (!line.InsertDB(__FILE__, __LINE__))
            return false;
    }
    return db.TransactionEnd();
}

void BM_OpenOrderOf1200Lines(benchmark::State& state) {
    int rows = 0;
    for (auto _ : state) {
        WSIInvOrderDialog screen(nullptr, g_host, WSIInvOrderDialog::kExistingOrderTemplate,
                                 g_order, false);
        rows = screen.List()->RowCount();
    }
    state.counters["rows"] = rows;
    if (rows != kOrderLines)
        state.SkipWithError("the order does not hold its lines");
}

void BM_VendorRequestsFullList(benchmark::State& state) {
    WSIVendorRequestsDialog screen(nullptr, g_host, g_vendor, g_location.c_str(), 0);
    screen.findChild<QCheckBox*>(QStringLiteral("fullList"))->setChecked(true);
    for (auto _ : state)
        screen.LoadList();
    state.counters["rows"] = screen.List()->RowCount();
    if (screen.List()->RowCount() == 0)
        state.SkipWithError("the vendor lists no products");
}

BENCHMARK(BM_OpenOrderOf1200Lines)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_VendorRequestsFullList)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const char* source = std::getenv("TAVEL_BENCH_DB");
    const std::filesystem::path copy =
        std::filesystem::temp_directory_path() / "tavel-order-bench.db";
    std::error_code error;
    std::filesystem::copy_file(source ? source : "group.db", copy,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        std::fprintf(stderr, "cannot copy the benchmark data: %s\n", error.message().c_str());
        return 1;
    }
    RegisterRecords();
    int status = 1;
    {
        auto db = std::make_unique<WSIDatabase>(copy.string());
        BenchHost host;
        host.strings.LoadDefault();
        host.db = db.get();
        g_host = &host;
        tavel::ModuleAttach();
        tavel::CurrentInventoryApp()->AttachHost(&host);
        tavel::CurrentInventoryApp()->InitApp(1);
        if (db->IsOpen() && Prepare(*db)) {
            benchmark::RunSpecifiedBenchmarks();
            status = 0;
        } else {
            std::fprintf(stderr, "cannot prepare the order and the vendor's products\n");
        }
        benchmark::Shutdown();
        tavel::ModuleDetach();
    }
    std::filesystem::remove(copy, error);
    return status;
}

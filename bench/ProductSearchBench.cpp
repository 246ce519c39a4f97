// The product search on the practice group's data: each search kind with a three-letter
// text taken from the data, read as the screen reads it (up to the row limit of 100),
// and a scanned UPC code found as the bar-code look-up finds it. Goals: a search shows
// its rows in under 200 ms, a scanned code finds its product in under 20 ms.

#include "BIInventory.h"
#include "ProductQueries.h"
#include "Records.h"
#include "WSIDatabase.h"
#include "WSITable.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using tavel::products::ProductSearchKind;

constexpr int kRowLimit = 100;

WSIDatabase* g_db = nullptr;

// The first three characters of the column of a product in the middle of the catalogue.
std::string Sample(const char* sql) {
    char text[128] = "";
    auto cursor = g_db->Query(__FILE__, __LINE__, "%s", WSIResult(text), sql);
    cursor->GetFirst();
    return std::string(text).substr(0, 3);
}

std::string SampleFor(ProductSearchKind kind) {
    switch (kind) {
    case ProductSearchKind::Category:
        return Sample("SELECT C.\"Description\" FROM PRDCAT C ORDER BY C.\"PrdCat\"");
    case ProductSearchKind::ProductCode:
        return Sample("SELECT \"ProductCode\" FROM PRODUCT ORDER BY \"Product\" DESC");
    case ProductSearchKind::Description:
        return Sample("SELECT \"Description\" FROM PRODUCT ORDER BY \"Product\" DESC");
    case ProductSearchKind::Vendor:
        return Sample("SELECT \"Name\" FROM VENDOR ORDER BY \"Vendor\" DESC");
    case ProductSearchKind::Manufacturer:
        return Sample("SELECT \"Manufacturer\" FROM PRODUCT WHERE \"Manufacturer\" IS NOT NULL "
                      "ORDER BY \"Product\" DESC");
    case ProductSearchKind::UPCCode:
    default:
        return Sample("SELECT \"UPCCode\" FROM PRODUCT WHERE \"UPCCode\" IS NOT NULL ORDER BY "
                      "\"Product\" DESC");
    }
}

void BM_ProductSearch(benchmark::State& state) {
    const auto kind = static_cast<ProductSearchKind>(state.range(0));
    tavel::products::ProductSearch search;
    search.kind = kind;
    search.text = SampleFor(kind);
    int rows = 0;
    for (auto _ : state) {
        const std::string sql = tavel::products::ProductSearchSql(*g_db, search);
        WSIProductSearchRow row{};
        auto cursor = g_db->Query(__FILE__, __LINE__, "%s",
                                  WSIResult(WSIProductSearchRow::Table(), &row), sql.c_str());
        rows = 0;
        for (bool found = cursor->GetFirst(); found && rows < kRowLimit; found = cursor->GetNext())
            ++rows;
        benchmark::DoNotOptimize(row.Product);
    }
    state.counters["rows"] = rows;
    state.SetLabel("text " + search.text);
    if (rows == 0)
        state.SkipWithError("the search listed no rows: is the benchmark data there?");
}

void BM_ScannedUpc(benchmark::State& state) {
    char upc[32] = "";
    auto cursor = g_db->Query(__FILE__, __LINE__, "%s", WSIResult(upc),
                              "SELECT \"UPCCode\" FROM PRODUCT WHERE \"UPCCode\" IS NOT NULL "
                              "ORDER BY \"Product\" DESC");
    cursor->GetFirst();
    cursor.reset();
    BIInventory lookup(g_db);
    long product = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(product = lookup.FindProduct(upc, false));
    if (product == 0)
        state.SkipWithError("no product has a UPC code: is the benchmark data there?");
}

BENCHMARK(BM_ProductSearch)->DenseRange(1, 6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScannedUpc)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const char* source = std::getenv("TAVEL_BENCH_DB");
    RegisterRecords();
    // The searches only read: the generated data is used in place.
    auto db = std::make_unique<WSIDatabase>(source ? source : "group.db");
    if (!db->IsOpen())
        return 1;
    g_db = db.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

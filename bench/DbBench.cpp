// Cost of the database service against the same statements written by hand as prepared
// SQLite statements. The service formats each statement with its values, takes the values
// out again, finds the prepared statement by shape and binds; the hand-written side only
// binds. The ratio of the two is printed at the end.

#include "BenchCommon.h"
#include "BoundedFormat.h"
#include "Records.h"
#include "TableRegistry.h"
#include "WSIDatabase.h"
#include "WSITable.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

// The benchmark runs on the real product-location record.
using BenchPrdLoc = WSIPrdLoc;

constexpr long kProducts = 2000;
const char* const kLocations[] = {"MAIN", "EAST", "WEST", "CART1"};
constexpr long kLocationCount = 4;

// One database file with PRDLOC filled, shared by every benchmark of the run.
struct Fixture {
    std::filesystem::path dir;
    std::unique_ptr<WSIDatabase> db;

    Fixture() {
        dir = std::filesystem::temp_directory_path() / ("tavel-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        setenv("TAVEL_DATA_DIR", dir.c_str(), 1);
        RegisterTable(BenchPrdLoc::Table());
        db = std::make_unique<WSIDatabase>((dir / "bench.db").string());
        db->CreateTable(BenchPrdLoc::Table());
        db->TransactionBegin();
        BenchPrdLoc r(db.get());
        for (long p = 1; p <= kProducts; ++p) {
            for (const char* loc : kLocations) {
                r.InitRecord();
                r.data.Product = p;
                std::snprintf(r.data.InvLoc, sizeof r.data.InvLoc, "%s", loc);
                std::snprintf(r.data.Bin, sizeof r.data.Bin, "B-%ld", p % 97);
                r.data.Stocked = 1;
                r.data.Balance = static_cast<double>(p % 50);
                r.InsertDB(__FILE__, __LINE__);
            }
        }
        db->TransactionEnd();
    }
    ~Fixture() {
        db.reset();
        std::filesystem::remove_all(dir);
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

// Walks products and locations so that every iteration formats other values.
struct Cycle {
    long i = 0;
    long Product() const { return 1 + (i / kLocationCount) % kProducts; }
    const char* Location() const { return kLocations[i % kLocationCount]; }
    void Next() { ++i; }
};

sqlite3_stmt* PrepareByHand(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr);
    return s;
}

// ---------------------------------------------------------------------------------------
// Single-row look-up

void Lookup_Service(benchmark::State& state) {
    WSIDatabase* db = Shared().db.get();
    Cycle c;
    double balance = 0;
    for (auto _ : state) {
        auto q = db->Query(__FILE__, __LINE__,
                           "SELECT \"Balance\" FROM PRDLOC WHERE \"Product\" = %ld AND "
                           "\"InvLoc\" = '%s'",
                           &balance, c.Product(), c.Location());
        if (!q->GetFirst())
            state.SkipWithError("row not found");
        benchmark::DoNotOptimize(balance);
        c.Next();
    }
}

void Lookup_Handwritten(benchmark::State& state) {
    sqlite3* db = Shared().db->Handle();
    sqlite3_stmt* s = PrepareByHand(
        db, "SELECT \"Balance\" FROM PRDLOC WHERE \"Product\" = ?1 AND \"InvLoc\" = ?2");
    Cycle c;
    double balance = 0;
    for (auto _ : state) {
        sqlite3_bind_int64(s, 1, c.Product());
        sqlite3_bind_text(s, 2, c.Location(), -1, SQLITE_STATIC);
        if (sqlite3_step(s) != SQLITE_ROW)
            state.SkipWithError("row not found");
        balance = sqlite3_column_double(s, 0);
        sqlite3_reset(s);
        benchmark::DoNotOptimize(balance);
        c.Next();
    }
    sqlite3_finalize(s);
}

// A whole record by key (the business layer's re-read before a change).
void GetEqual_Service(benchmark::State& state) {
    BenchPrdLoc r(Shared().db.get());
    Cycle c;
    for (auto _ : state) {
        r.data.Product = c.Product();
        std::strcpy(r.data.InvLoc, c.Location());
        if (!r.GetEqual(__FILE__, __LINE__))
            state.SkipWithError("row not found");
        c.Next();
    }
}

void GetEqual_Handwritten(benchmark::State& state) {
    sqlite3* db = Shared().db->Handle();
    sqlite3_stmt* s = PrepareByHand(
        db, "SELECT \"Product\", \"InvLoc\", \"Bin\", \"Stocked\", \"TrackUsage\", "
            "\"CanOrderFrom\", \"Balance\", \"LastCount\", \"LastCountDate\", \"MinCount\", "
            "\"ReorderCount\", \"MaxCount\", \"MinToOrder\", \"StdToOrder\", \"Inactive\" "
            "FROM PRDLOC WHERE \"Product\" = ?1 AND \"InvLoc\" = ?2");
    BenchPrdLoc::WSIData d{};
    Cycle c;
    for (auto _ : state) {
        sqlite3_bind_int64(s, 1, c.Product());
        sqlite3_bind_text(s, 2, c.Location(), -1, SQLITE_STATIC);
        if (sqlite3_step(s) != SQLITE_ROW)
            state.SkipWithError("row not found");
        d.Product = static_cast<long>(sqlite3_column_int64(s, 0));
        std::snprintf(d.InvLoc, sizeof d.InvLoc, "%s", sqlite3_column_text(s, 1));
        const unsigned char* bin = sqlite3_column_text(s, 2);
        std::snprintf(d.Bin, sizeof d.Bin, "%s", bin ? reinterpret_cast<const char*>(bin) : "");
        d.Stocked = static_cast<short>(sqlite3_column_int(s, 3));
        d.TrackUsage = static_cast<short>(sqlite3_column_int(s, 4));
        d.CanOrderFrom = static_cast<short>(sqlite3_column_int(s, 5));
        d.Balance = sqlite3_column_double(s, 6);
        d.LastCount = sqlite3_column_double(s, 7);
        d.MinCount = static_cast<short>(sqlite3_column_int(s, 9));
        d.ReorderCount = static_cast<short>(sqlite3_column_int(s, 10));
        d.MaxCount = static_cast<short>(sqlite3_column_int(s, 11));
        d.MinToOrder = static_cast<short>(sqlite3_column_int(s, 12));
        d.StdToOrder = static_cast<short>(sqlite3_column_int(s, 13));
        d.Inactive = static_cast<short>(sqlite3_column_int(s, 14));
        sqlite3_reset(s);
        benchmark::DoNotOptimize(d);
        c.Next();
    }
    sqlite3_finalize(s);
}

// ---------------------------------------------------------------------------------------
// Update. Inside one transaction, so that the commit's own cost does not hide the
// statement's.

void Update_Service(benchmark::State& state) {
    WSIDatabase* db = Shared().db.get();
    db->TransactionBegin();
    Cycle c;
    char sql[1024];
    for (auto _ : state) {
        TVL_FORMAT(sql,
                   "UPDATE PRDLOC SET \"Balance\" = \"Balance\" + %ld WHERE \"Product\" = %ld "
                   "AND \"InvLoc\" = '%s'",
                   c.i % 3 - 1, c.Product(), c.Location());
        if (WSITable::QExecDirect(__FILE__, __LINE__, db, sql) != 0)
            state.SkipWithError("update failed");
        c.Next();
    }
    db->TransactionEnd();
}

void Update_Handwritten(benchmark::State& state) {
    WSIDatabase* wdb = Shared().db.get();
    sqlite3* db = wdb->Handle();
    sqlite3_stmt* s = PrepareByHand(db, "UPDATE PRDLOC SET \"Balance\" = \"Balance\" + ?1 "
                                        "WHERE \"Product\" = ?2 AND \"InvLoc\" = ?3");
    wdb->TransactionBegin();
    Cycle c;
    for (auto _ : state) {
        sqlite3_bind_int64(s, 1, c.i % 3 - 1);
        sqlite3_bind_int64(s, 2, c.Product());
        sqlite3_bind_text(s, 3, c.Location(), -1, SQLITE_STATIC);
        if (sqlite3_step(s) != SQLITE_DONE)
            state.SkipWithError("update failed");
        sqlite3_reset(s);
        c.Next();
    }
    wdb->TransactionEnd();
    sqlite3_finalize(s);
}

// A record written back by key (the table classes' UpdateDB).
void UpdateDB_Service(benchmark::State& state) {
    WSIDatabase* db = Shared().db.get();
    BenchPrdLoc r(db);
    db->TransactionBegin();
    Cycle c;
    for (auto _ : state) {
        r.data.Product = c.Product();
        std::strcpy(r.data.InvLoc, c.Location());
        r.data.Balance = static_cast<double>(c.i % 50);
        if (!r.UpdateDB(__FILE__, __LINE__))
            state.SkipWithError("update failed");
        c.Next();
    }
    db->TransactionEnd();
}

void UpdateDB_Handwritten(benchmark::State& state) {
    WSIDatabase* wdb = Shared().db.get();
    sqlite3* db = wdb->Handle();
    sqlite3_stmt* s = PrepareByHand(
        db,
        "UPDATE PRDLOC SET \"Bin\" = ?1, \"Stocked\" = ?2, \"TrackUsage\" = ?3, "
        "\"CanOrderFrom\" = ?4, \"Balance\" = ?5, \"LastCount\" = ?6, \"LastCountDate\" = ?7, "
        "\"MinCount\" = ?8, \"ReorderCount\" = ?9, \"MaxCount\" = ?10, \"MinToOrder\" = ?11, "
        "\"StdToOrder\" = ?12, \"Inactive\" = ?13 WHERE \"Product\" = ?14 AND \"InvLoc\" = ?15");
    BenchPrdLoc::WSIData d{};
    std::strcpy(d.Bin, "B-1");
    wdb->TransactionBegin();
    Cycle c;
    for (auto _ : state) {
        d.Product = c.Product();
        std::strcpy(d.InvLoc, c.Location());
        d.Balance = static_cast<double>(c.i % 50);
        sqlite3_bind_text(s, 1, d.Bin, -1, SQLITE_STATIC);
        sqlite3_bind_int(s, 2, d.Stocked);
        sqlite3_bind_int(s, 3, d.TrackUsage);
        sqlite3_bind_int(s, 4, d.CanOrderFrom);
        sqlite3_bind_double(s, 5, d.Balance);
        sqlite3_bind_double(s, 6, d.LastCount);
        sqlite3_bind_null(s, 7);
        sqlite3_bind_int(s, 8, d.MinCount);
        sqlite3_bind_int(s, 9, d.ReorderCount);
        sqlite3_bind_int(s, 10, d.MaxCount);
        sqlite3_bind_int(s, 11, d.MinToOrder);
        sqlite3_bind_int(s, 12, d.StdToOrder);
        sqlite3_bind_int(s, 13, d.Inactive);
        sqlite3_bind_int64(s, 14, d.Product);
        sqlite3_bind_text(s, 15, d.InvLoc, -1, SQLITE_STATIC);
        if (sqlite3_step(s) != SQLITE_DONE || sqlite3_changes(db) != 1)
            state.SkipWithError("update failed");
        sqlite3_reset(s);
        c.Next();
    }
    wdb->TransactionEnd();
    sqlite3_finalize(s);
}

// ---------------------------------------------------------------------------------------

// Registered in main so that TAVEL_BENCH_ITERATIONS can fix the number of iterations: under
// callgrind the timing loop would otherwise stop after a handful, and a fixed count lets the
// instructions per call be read off as the total divided by it.
void RegisterAll() {
    const std::pair<const char*, void (*)(benchmark::State&)> all[] = {
        {"Lookup_Service", Lookup_Service},     {"Lookup_Handwritten", Lookup_Handwritten},
        {"GetEqual_Service", GetEqual_Service}, {"GetEqual_Handwritten", GetEqual_Handwritten},
        {"Update_Service", Update_Service},     {"Update_Handwritten", Update_Handwritten},
        {"UpdateDB_Service", UpdateDB_Service}, {"UpdateDB_Handwritten", UpdateDB_Handwritten},
    };
    const char* fixed = std::getenv("TAVEL_BENCH_ITERATIONS");
    const long iterations = fixed ? std::atol(fixed) : 0;
    for (const auto& [name, fn] : all) {
        benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(name, fn);
        if (iterations > 0)
            b->Iterations(iterations);
    }
}

// Prints the usual table, then the service's cost relative to the hand-written statement.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (!bench::StandsForBenchmark(r))
                continue;
            perCall_[r.run_name.function_name] = r.GetAdjustedCPUTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nService cost / hand-written cost (goal: at most 1.5)\n");
        const std::pair<const char*, const char*> pairs[] = {
            {"Lookup_Service", "Lookup_Handwritten"},
            {"GetEqual_Service", "GetEqual_Handwritten"},
            {"Update_Service", "Update_Handwritten"},
            {"UpdateDB_Service", "UpdateDB_Handwritten"},
        };
        for (const auto& [service, hand] : pairs) {
            auto s = perCall_.find(service), h = perCall_.find(hand);
            if (s == perCall_.end() || h == perCall_.end() || h->second <= 0)
                continue;
            std::printf("  %-18s %9.0f ns  vs %-22s %9.0f ns  ratio %.2f\n", service, s->second,
                        hand, h->second, s->second / h->second);
        }
        std::fflush(stdout);
    }

private:
    std::map<std::string, double> perCall_;
};

} // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Shared();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    WSIDatabase::CacheStats stats = Shared().db->GetCacheStats();
    std::printf("Statement cache: %lu hits, %lu misses, %zu shapes\n", stats.hits, stats.misses,
                stats.entries);
    benchmark::Shutdown();
    return 0;
}

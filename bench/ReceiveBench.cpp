// One scanned receive line into an open purchase order on the generated data:
// BIInvReceive::Add against the same row changes written by hand with prepared SQLite
// statements (find the line, read the product and the order line, audit row, new stock
// item, average cost, location balance, receipt detail, order-line fill; one transaction
// each). Make the data first (inventory_gen --size group --out group.db); the benchmark
// works on a copy, named by TAVEL_BENCH_DB or group.db in the current folder.

#include "BIInvRec.h"
#include "BoundedFormat.h"
#include "Records.h"
#include "WSIDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Fixture {
    std::string path;
    long order = 0;
    long vendor = 0;
    std::string poNumber;
    std::string loc;
    std::vector<long> products; // on the order, without expiry dates
};

// Copies the generated database once so that the runs leave it as it was, and picks the
// open purchase order with the most lines of products that need no expiry date.
const Fixture& Shared() {
    static Fixture f;
    if (!f.path.empty())
        return f;
    const char* source = std::getenv("TAVEL_BENCH_DB");
    const std::string from = source ? source : "group.db";
    f.path = (std::filesystem::temp_directory_path() / "tavel_receive_bench.db").string();
    for (const char* suffix : {"", ".sequences", "-wal", "-shm"})
        std::filesystem::remove(f.path + suffix);
    std::filesystem::copy_file(from, f.path);
    std::filesystem::copy_file(from + ".sequences", f.path + ".sequences");

    sqlite3* db = nullptr;
    sqlite3_open(f.path.c_str(), &db);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT O.\"InvOrder\", O.\"Vendor\", O.\"PONumber\", O.\"InvLoc\" FROM "
                       "INVORDER O JOIN INVORDIT I ON I.\"InvOrder\" = O.\"InvOrder\" JOIN PRODUCT "
                       "P ON P.\"Product\" = I.\"Product\" WHERE O.\"IsExternal\" = 1 AND "
                       "I.\"Status\" IN (0, 1, 3, 5) AND P.\"TrackExpiryDate\" = 0 GROUP BY "
                       "O.\"InvOrder\" ORDER BY COUNT(1) DESC, O.\"InvOrder\" LIMIT 1",
                       -1, &s, nullptr);
    if (sqlite3_step(s) == SQLITE_ROW) {
        f.order = sqlite3_column_int64(s, 0);
        f.vendor = sqlite3_column_int64(s, 1);
        f.poNumber = reinterpret_cast<const char*>(sqlite3_column_text(s, 2));
        f.loc = reinterpret_cast<const char*>(sqlite3_column_text(s, 3));
    }
    sqlite3_finalize(s);
    sqlite3_prepare_v2(db,
                       "SELECT DISTINCT I.\"Product\" FROM INVORDIT I JOIN PRODUCT P ON "
                       "P.\"Product\" = I.\"Product\" WHERE I.\"InvOrder\" = ?1 AND "
                       "I.\"Status\" <> 4 AND P.\"TrackExpiryDate\" = 0 ORDER BY 1",
                       -1, &s, nullptr);
    sqlite3_bind_int64(s, 1, f.order);
    while (sqlite3_step(s) == SQLITE_ROW)
        f.products.push_back(sqlite3_column_int64(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return f;
}

void ReceiveLine_Engine(benchmark::State& state) {
    const Fixture& f = Shared();
    if (f.products.empty()) {
        state.SkipWithError("no open purchase order in the data");
        return;
    }
    RegisterRecords();
    WSIDatabase db;
    if (!db.Open(f.path)) {
        state.SkipWithError("cannot open the copy");
        return;
    }
    BIInvReceive rec(&db);
    rec.InitBatch(f.loc.c_str(), f.vendor, nullptr, f.poNumber.c_str(), nullptr);
    long n = 0;
    char ref[32];
    for (auto _ : state) {
        // A new reference per scan, so that every scan makes a new line.
        FormatInto(__LINE__, __FILE__, ref, "E%ld", n);
        rec.Add(f.products[n % f.products.size()], 1, nullptr, ref);
        ++n;
    }
}

// A prepared statement that binds, steps and resets.
struct Stmt {
    sqlite3_stmt* s = nullptr;
    Stmt(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &s, nullptr); }
    ~Stmt() { sqlite3_finalize(s); }
    Stmt& I(int i, long long v) {
        sqlite3_bind_int64(s, i, v);
        return *this;
    }
    Stmt& D(int i, double v) {
        sqlite3_bind_double(s, i, v);
        return *this;
    }
    Stmt& T(int i, const char* v) {
        sqlite3_bind_text(s, i, v, -1, SQLITE_TRANSIENT);
        return *this;
    }
    bool Row() { return sqlite3_step(s) == SQLITE_ROW; }
    void Done() {
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    void Reset() { sqlite3_reset(s); }
};

void ReceiveLine_Native(benchmark::State& state) {
    const Fixture& f = Shared();
    if (f.products.empty()) {
        state.SkipWithError("no open purchase order in the data");
        return;
    }
    sqlite3* db = nullptr;
    sqlite3_open(f.path.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr, nullptr,
                 nullptr);
    {
        Stmt begin(db, "BEGIN IMMEDIATE"), commit(db, "COMMIT");
        Stmt audit(db, "INSERT INTO AUDITHIS (\"User\", \"Date\", \"Operation\", \"TableName\") "
                       "VALUES (1, date('now'), 1, 'INVITEM')");
        Stmt receipt(db, "INSERT INTO INVREC (\"InvLoc\", \"Vendor\", \"PONumber\", \"Date\", "
                         "\"Audit\") VALUES (?1, ?2, ?3, date('now'), ?4)");
        Stmt findLine(db, "SELECT \"InvItem\" FROM INVITEM WHERE \"InvRec\" = ?1 AND \"Product\" "
                          "= ?2 AND \"Type\" = 0 AND \"RefNo\" = ?3");
        Stmt product(db, "SELECT \"Unit\", \"ItemsPerUnit\", \"ItemUnit\", \"CostPerUnit\" FROM "
                         "PRODUCT WHERE \"Product\" = ?1");
        Stmt orderLine(db, "SELECT \"InvOrdIt\", \"CostPerUnit\", \"Quantity\", \"QtyFilled\" "
                           "FROM INVORDIT WHERE \"InvOrder\" = ?1 AND \"Product\" = ?2 AND "
                           "\"Status\" <> 4");
        Stmt item(db, "INSERT INTO INVITEM (\"InvLoc\", \"Product\", \"Type\", \"InvRec\", "
                      "\"InvOrdIt\", \"Quantity\", \"Balance\", \"CostPerUnit\", \"Unit\", "
                      "\"ItemsPerUnit\", \"ItemUnit\", \"AdjCreated\", \"RefNo\", \"Audit\") "
                      "VALUES (?1, ?2, 0, ?3, ?4, ?5, ?5, ?6, ?7, ?8, ?9, 0, ?10, ?11)");
        Stmt value(db, "SELECT SUM(\"Balance\"), SUM(\"Balance\" * \"CostPerUnit\") FROM INVITEM "
                       "WHERE \"Product\" = ?1");
        Stmt average(db, "UPDATE PRODUCT SET \"AverageCost\" = ?2 WHERE \"Product\" = ?1");
        Stmt balance(db, "UPDATE PRDLOC SET \"Balance\" = \"Balance\" + ?3 WHERE \"Product\" = ?1 "
                         "AND \"InvLoc\" = ?2");
        Stmt detail(db, "INSERT INTO INVITDET (\"InvItem\", \"Type\", \"InvLoc\", \"Product\", "
                        "\"BatchId\", \"Quantity\", \"Unit\", \"ItemsPerUnit\", \"CostPerUnit\", "
                        "\"CountValue\", \"Audit\") VALUES (?1, 0, ?2, ?3, 0, ?4, ?5, ?6, ?7, 0, "
                        "?8)");
        Stmt fill(db, "UPDATE INVORDIT SET \"QtyFilled\" = ?2, \"Status\" = ?3 WHERE "
                      "\"InvOrdIt\" = ?1");

        begin.Done();
        audit.Done();
        const long long receiptAudit = sqlite3_last_insert_rowid(db);
        receipt.T(1, f.loc.c_str()).I(2, f.vendor).T(3, f.poNumber.c_str()).I(4, receiptAudit);
        receipt.Done();
        const long long invRec = sqlite3_last_insert_rowid(db);
        commit.Done();

        long n = 0;
        char ref[32];
        for (auto _ : state) {
            const long p = f.products[n % f.products.size()];
            FormatInto(__LINE__, __FILE__, ref, "N%ld", n);
            ++n;
            begin.Done();
            findLine.I(1, invRec).I(2, p).T(3, ref);
            const bool found = findLine.Row();
            findLine.Reset();
            if (found)
                state.SkipWithError("line exists");
            product.I(1, p);
            product.Row();
            const std::string unit =
                reinterpret_cast<const char*>(sqlite3_column_text(product.s, 0));
            const long long perUnit = sqlite3_column_int64(product.s, 1);
            const std::string itemUnit =
                reinterpret_cast<const char*>(sqlite3_column_text(product.s, 2));
            double cost = sqlite3_column_double(product.s, 3);
            product.Reset();
            orderLine.I(1, f.order).I(2, p);
            long long line = 0, quantity = 0, filled = 0;
            if (orderLine.Row()) {
                line = sqlite3_column_int64(orderLine.s, 0);
                cost = sqlite3_column_double(orderLine.s, 1);
                quantity = sqlite3_column_int64(orderLine.s, 2);
                filled = sqlite3_column_int64(orderLine.s, 3);
            }
            orderLine.Reset();
            audit.Done();
            const long long a = sqlite3_last_insert_rowid(db);
            item.T(1, f.loc.c_str()).I(2, p).I(3, invRec).I(4, line).I(5, 1).D(6, cost);
            item.T(7, unit.c_str()).I(8, perUnit).T(9, itemUnit.c_str()).T(10, ref).I(11, a);
            item.Done();
            const long long invItem = sqlite3_last_insert_rowid(db);
            value.I(1, p);
            value.Row();
            const double q = sqlite3_column_double(value.s, 0);
            const double v = sqlite3_column_double(value.s, 1);
            value.Reset();
            average.I(1, p).D(2, q > 0 ? std::floor(v / q * 100 + 0.5) / 100 : 0);
            average.Done();
            balance.I(1, p).T(2, f.loc.c_str()).I(3, 1);
            balance.Done();
            detail.I(1, invItem).T(2, f.loc.c_str()).I(3, p).I(4, 1).T(5, unit.c_str());
            detail.I(6, perUnit).D(7, cost).I(8, a);
            detail.Done();
            if (line) {
                fill.I(1, line).I(2, filled + 1).I(3, filled + 1 >= quantity ? 7 : 3);
                fill.Done();
            }
            commit.Done();
        }
    }
    sqlite3_close(db);
}

BENCHMARK(ReceiveLine_Engine)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReceiveLine_Native)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The copy is as large as the data; do not leave it behind.
    const Fixture& f = Shared();
    for (const char* suffix : {"", ".sequences", "-wal", "-shm"})
        std::filesystem::remove(f.path + suffix);
    return 0;
}

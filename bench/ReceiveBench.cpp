// One scanned receive line into an open purchase order on the generated data:
// BIInvReceive::Add against the same row changes written by hand with prepared SQLite
// statements (find the line, read the product and the order line, audit row, new stock
// item, average cost, location balance, receipt detail, order-line fill; one transaction
// each). Make the data first (inventory_gen --size group --out group.db); the benchmark
// works on a copy, named by TAVEL_BENCH_DB or group.db in the current folder.

#include "BIInvRec.h"
#include "BenchCommon.h"
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
    std::unique_ptr<bench::DataCopy> copy;
    long order = 0;
    long vendor = 0;
    std::string poNumber;
    std::string loc;
    std::vector<long> products; // on the order, without expiry dates
    bool ok = false;            // a copy with such an order
};

// Copies the generated database once so that the runs leave it as it was, and picks the
// open purchase order with the most lines of products that need no expiry date.
Fixture& Shared() {
    static Fixture f;
    if (f.copy)
        return f;
    f.copy = std::make_unique<bench::DataCopy>("tavel_receive_bench.db");
    if (!f.copy->Ok())
        return f;
    const bench::NativeDb conn = bench::OpenNative(f.copy->Path());
    bench::Stmt order(conn.get(),
                      "SELECT O.\"InvOrder\", O.\"Vendor\", O.\"PONumber\", O.\"InvLoc\" FROM "
                      "INVORDER O JOIN INVORDIT I ON I.\"InvOrder\" = O.\"InvOrder\" JOIN PRODUCT "
                      "P ON P.\"Product\" = I.\"Product\" WHERE O.\"IsExternal\" = 1 AND "
                      "I.\"Status\" IN (0, 1, 3, 5) AND P.\"TrackExpiryDate\" = 0 GROUP BY "
                      "O.\"InvOrder\" ORDER BY COUNT(1) DESC, O.\"InvOrder\" LIMIT 1");
    if (order.Row()) {
        f.order = static_cast<long>(order.Int(0));
        f.vendor = static_cast<long>(order.Int(1));
        f.poNumber = order.Text(2);
        f.loc = order.Text(3);
    }
    bench::Stmt products(conn.get(),
                         "SELECT DISTINCT I.\"Product\" FROM INVORDIT I JOIN PRODUCT P ON "
                         "P.\"Product\" = I.\"Product\" WHERE I.\"InvOrder\" = ?1 AND "
                         "I.\"Status\" <> 4 AND P.\"TrackExpiryDate\" = 0 ORDER BY 1");
    products.I(1, f.order);
    while (products.Row())
        f.products.push_back(static_cast<long>(products.Int(0)));
    f.ok = !f.products.empty();
    return f;
}

void ReceiveLine_Engine(benchmark::State& state) {
    Fixture& f = Shared();
    const std::unique_ptr<WSIDatabase> db = bench::OpenEngine(state, f);
    if (!db)
        return;
    BIInvReceive rec(db.get());
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

// The row changes of one scanned line, written by hand on one connection.
class NativeReceive {
public:
    NativeReceive(sqlite3* db, const Fixture& f)
        : db_(db), f_(f), begin(db, "BEGIN IMMEDIATE"), commit(db, "COMMIT"),
          audit(db, "INSERT INTO AUDITHIS (\"User\", \"Date\", \"Operation\", \"TableName\") "
                    "VALUES (1, date('now'), 1, 'INVITEM')"),
          receipt(db, "INSERT INTO INVREC (\"InvLoc\", \"Vendor\", \"PONumber\", \"Date\", "
                      "\"Audit\") VALUES (?1, ?2, ?3, date('now'), ?4)"),
          findLine(db, "SELECT \"InvItem\" FROM INVITEM WHERE \"InvRec\" = ?1 AND \"Product\" "
                       "= ?2 AND \"Type\" = 0 AND \"RefNo\" = ?3"),
          product(db, "SELECT \"Unit\", \"ItemsPerUnit\", \"ItemUnit\", \"CostPerUnit\" FROM "
                      "PRODUCT WHERE \"Product\" = ?1"),
          orderLine(db, "SELECT \"InvOrdIt\", \"CostPerUnit\", \"Quantity\", \"QtyFilled\" "
                        "FROM INVORDIT WHERE \"InvOrder\" = ?1 AND \"Product\" = ?2 AND "
                        "\"Status\" <> 4"),
          item(db, "INSERT INTO INVITEM (\"InvLoc\", \"Product\", \"Type\", \"InvRec\", "
                   "\"InvOrdIt\", \"Quantity\", \"Balance\", \"CostPerUnit\", \"Unit\", "
                   "\"ItemsPerUnit\", \"ItemUnit\", \"AdjCreated\", \"RefNo\", \"Audit\") "
                   "VALUES (?1, ?2, 0, ?3, ?4, ?5, ?5, ?6, ?7, ?8, ?9, 0, ?10, ?11)"),
          value(db, "SELECT SUM(\"Balance\"), SUM(\"Balance\" * \"CostPerUnit\") FROM INVITEM "
                    "WHERE \"Product\" = ?1"),
          average(db, "UPDATE PRODUCT SET \"AverageCost\" = ?2 WHERE \"Product\" = ?1"),
          balance(db, "UPDATE PRDLOC SET \"Balance\" = \"Balance\" + ?3 WHERE \"Product\" = ?1 "
                      "AND \"InvLoc\" = ?2"),
          detail(db, "INSERT INTO INVITDET (\"InvItem\", \"Type\", \"InvLoc\", \"Product\", "
                     "\"BatchId\", \"Quantity\", \"Unit\", \"ItemsPerUnit\", \"CostPerUnit\", "
                     "\"CountValue\", \"Audit\") VALUES (?1, 0, ?2, ?3, 0, ?4, ?5, ?6, ?7, 0, "
                     "?8)"),
          fill(db, "UPDATE INVORDIT SET \"QtyFilled\" = ?2, \"Status\" = ?3 WHERE "
                   "\"InvOrdIt\" = ?1") {}

    // Stores the receipt of the batch.
    void Open() {
        begin.Done();
        audit.Done();
        const long long receiptAudit = sqlite3_last_insert_rowid(db_);
        receipt.T(1, f_.loc.c_str()).I(2, f_.vendor).T(3, f_.poNumber.c_str()).I(4, receiptAudit);
        receipt.Done();
        invRec_ = sqlite3_last_insert_rowid(db_);
        commit.Done();
    }

    // One new line of one unit, in a transaction of its own; false when it existed.
    bool Add(long p, const char* ref) {
        begin.Done();
        findLine.I(1, invRec_).I(2, p).T(3, ref);
        const bool found = findLine.Row();
        findLine.Reset();
        product.I(1, p);
        product.Row();
        const std::string unit = product.Text(0);
        const long long perUnit = product.Int(1);
        const std::string itemUnit = product.Text(2);
        double cost = product.Dbl(3);
        product.Reset();
        orderLine.I(1, f_.order).I(2, p);
        long long line = 0, quantity = 0, filled = 0;
        if (orderLine.Row()) {
            line = orderLine.Int(0);
            cost = orderLine.Dbl(1);
            quantity = orderLine.Int(2);
            filled = orderLine.Int(3);
        }
        orderLine.Reset();
        audit.Done();
        const long long a = sqlite3_last_insert_rowid(db_);
        item.T(1, f_.loc.c_str()).I(2, p).I(3, invRec_).I(4, line).I(5, 1).D(6, cost);
        item.T(7, unit.c_str()).I(8, perUnit).T(9, itemUnit.c_str()).T(10, ref).I(11, a);
        item.Done();
        const long long invItem = sqlite3_last_insert_rowid(db_);
        value.I(1, p);
        value.Row();
        const double q = value.Dbl(0);
        const double v = value.Dbl(1);
        value.Reset();
        average.I(1, p).D(2, q > 0 ? std::floor(v / q * 100 + 0.5) / 100 : 0);
        average.Done();
        balance.I(1, p).T(2, f_.loc.c_str()).I(3, 1);
        balance.Done();
        detail.I(1, invItem).T(2, f_.loc.c_str()).I(3, p).I(4, 1).T(5, unit.c_str());
        detail.I(6, perUnit).D(7, cost).I(8, a);
        detail.Done();
        if (line) {
            fill.I(1, line).I(2, filled + 1).I(3, filled + 1 >= quantity ? 7 : 3);
            fill.Done();
        }
        commit.Done();
        return !found;
    }

private:
    sqlite3* db_;
    const Fixture& f_;
    long long invRec_ = 0;
    bench::Stmt begin, commit, audit, receipt, findLine, product, orderLine, item, value, average,
        balance, detail, fill;
};

// The hand-written side's connection to the copy; none, with the benchmark skipped, when
// the data has no such order.
bench::NativeDb NativeConnection(benchmark::State& state, const Fixture& f) {
    if (!f.ok) {
        state.SkipWithError("no open purchase order in the data");
        return nullptr;
    }
    return bench::OpenNative(f.copy->Path());
}

void ReceiveLine_Native(benchmark::State& state) {
    Fixture& f = Shared();
    const bench::NativeDb conn = NativeConnection(state, f);
    if (!conn)
        return;
    sqlite3* db = conn.get();
    {
        NativeReceive rec(db, f);
        rec.Open();
        long n = 0;
        char ref[32];
        for (auto _ : state) {
            FormatInto(__LINE__, __FILE__, ref, "N%ld", n);
            if (!rec.Add(f.products[n % f.products.size()], ref))
                state.SkipWithError("line exists");
            ++n;
        }
    }
}

// A whole receipt of 10,000 lines: one batch, a scan per line, as the receiving screen
// makes them.
constexpr long kReceiptLines = 10000;

void Receipt10000_Engine(benchmark::State& state) {
    Fixture& f = Shared();
    const std::unique_ptr<WSIDatabase> db = bench::OpenEngine(state, f);
    if (!db)
        return;
    long run = 0;
    char ref[32];
    for (auto _ : state) {
        BIInvReceive rec(db.get());
        rec.InitBatch(f.loc.c_str(), f.vendor, nullptr, f.poNumber.c_str(), nullptr);
        for (long n = 0; n < kReceiptLines; ++n) {
            FormatInto(__LINE__, __FILE__, ref, "R%ld-%ld", run, n);
            rec.Add(f.products[n % f.products.size()], 1, nullptr, ref);
        }
        rec.CloseBatch();
        ++run;
    }
}

void Receipt10000_Native(benchmark::State& state) {
    Fixture& f = Shared();
    const bench::NativeDb conn = NativeConnection(state, f);
    if (!conn)
        return;
    sqlite3* db = conn.get();
    {
        long run = 0;
        char ref[32];
        for (auto _ : state) {
            NativeReceive rec(db, f);
            rec.Open();
            for (long n = 0; n < kReceiptLines; ++n) {
                FormatInto(__LINE__, __FILE__, ref, "S%ld-%ld", run, n);
                if (!rec.Add(f.products[n % f.products.size()], ref))
                    state.SkipWithError("line exists");
            }
            ++run;
        }
    }
}

BENCHMARK(ReceiveLine_Engine)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReceiveLine_Native)->Unit(benchmark::kMicrosecond);
BENCHMARK(Receipt10000_Engine)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Receipt10000_Native)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    const int status = bench::RunAll(argc, argv,
                                     {
                                         {"ReceiveLine_Engine", "ReceiveLine_Native", 5, 2},
                                         {"Receipt10000_Engine", "Receipt10000_Native", 10000, 0},
                                     });
    // The copy is as large as the data; do not leave it behind.
    Shared().copy.reset();
    return status;
}

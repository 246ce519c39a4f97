// Stock movements on the generated data, each against the same row changes written by
// hand with prepared SQLite statements: usage of one product under each costing method
// with 50 open lots, a transfer of a product with 20 lots, TransferAll of a location with
// 500 products, and a count run of 5,000 products in one batch. The set-up adds its own
// locations (BU*, BT*, BA*, BC*) and lots to a private copy of the data, so the source stays
// as it was and each side works on stock of its own.

#include "BIInvAdj.h"
#include "BIInvCount.h"
#include "BIInvTransfer.h"
#include "BenchCommon.h"
#include "Records.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace Move = tavel::MovementType;

constexpr int kLotsForUsage = 50;
constexpr int kLotsForTransfer = 20;
constexpr int kTransferAllProducts = 500;
constexpr int kCountProducts = 5000;
constexpr short kLotSize = 9000; // under the largest quantity a stock item may hold, and more
                                 // than a benchmark takes from one lot
constexpr const char kCountCode[] = "CNT";

// Adds locations, product locations and lots to the copy with native statements.
class Seeder {
public:
    explicit Seeder(sqlite3* db)
        : db_(db), loc_(db, "INSERT INTO INVLOC (\"InvLoc\", \"Name\", \"Type\", \"BarCode\", "
                            "\"Inactive\") VALUES (?1, ?1, 1, ?1, 0)"),
          prdLoc_(db, "INSERT INTO PRDLOC (\"Product\", \"InvLoc\", \"Bin\", \"Stocked\", "
                      "\"TrackUsage\", \"CanOrderFrom\", \"Balance\", \"LastCount\", \"MinCount\", "
                      "\"ReorderCount\", \"MaxCount\", \"MinToOrder\", \"StdToOrder\", "
                      "\"Inactive\") VALUES (?1, ?2, 'B1', 1, 1, 1, ?3, 0, 0, 0, 0, 0, 0, 0)"),
          audit_(db, "INSERT INTO AUDITHIS (\"User\", \"Date\", \"Operation\", \"TableName\") "
                     "VALUES (1, date('now', ?1), 1, 'INVITEM')"),
          item_(db, "INSERT INTO INVITEM (\"InvLoc\", \"InvLocFrom\", \"Product\", \"Type\", "
                    "\"InvRec\", \"InvOrdIt\", \"Quantity\", \"Balance\", \"CostPerUnit\", "
                    "\"ExpiryDate\", \"Unit\", \"ItemsPerUnit\", \"ItemUnit\", \"AdjCreated\", "
                    "\"Audit\") SELECT ?1, '', ?2, 2, 0, 0, ?3, ?3, ?4, date('now', ?5), "
                    "\"Unit\", \"ItemsPerUnit\", \"ItemUnit\", 0, ?6 FROM PRODUCT WHERE "
                    "\"Product\" = ?2") {}

    void Location(const char* code) { loc_.T(1, code).Done(); }
    void PrdLoc(long product, const char* loc, double balance) {
        prdLoc_.I(1, product).T(2, loc).D(3, balance).Done();
    }
    // A lot dated `age` days back, expiring `expires` days from now.
    void Lot(long product, const char* loc, short quantity, double cost, int age, int expires) {
        char offset[32];
        FormatInto(__LINE__, __FILE__, offset, "-%d days", age);
        audit_.T(1, offset).Done();
        const long long a = sqlite3_last_insert_rowid(db_);
        FormatInto(__LINE__, __FILE__, offset, "+%d days", expires);
        item_.T(1, loc).I(2, product).I(3, quantity).D(4, cost).T(5, offset).I(6, a).Done();
    }

private:
    sqlite3* db_;
    bench::Stmt loc_, prdLoc_, audit_, item_;
};

// The products a side works on, by purpose; each side has locations of its own.
struct Side {
    std::string usageLoc, transferFrom, transferTo, allA, allB, countLoc;
    long usageProduct[4] = {}; // by costing method
    long transferProduct = 0;
    std::vector<long> allProducts;
    std::vector<long> countProducts;
};

struct Fixture {
    std::unique_ptr<bench::DataCopy> copy;
    Side engine, native;
    bool ok = false;
};

long FirstProduct(sqlite3* db, const char* where) {
    std::string sql = "SELECT \"Product\" FROM PRODUCT WHERE \"Inactive\" = 0 AND ";
    sql += where;
    sql += " ORDER BY \"Product\" LIMIT 1";
    bench::Stmt s(db, sql.c_str());
    return static_cast<long>(s.One());
}

void Seed(sqlite3* db, Seeder& seed, Side& side, const char* prefix) {
    auto code = [&](const char* what) { return std::string(prefix) + what; };
    side.usageLoc = code("U");
    side.transferFrom = code("T1");
    side.transferTo = code("T2");
    side.allA = code("A1");
    side.allB = code("A2");
    side.countLoc = code("C");
    for (const std::string& l :
         {side.usageLoc, side.transferFrom, side.transferTo, side.allA, side.allB, side.countLoc})
        seed.Location(l.c_str());

    // Usage: one product per costing method, 50 lots of different age, cost and expiry.
    for (int m = 0; m < 4; ++m) {
        char where[128];
        FormatInto(__LINE__, __FILE__, where, "\"CostingMethod\" = %d AND \"TrackExpiryDate\" = %d",
                   m, m == tavel::CostingMethod::EarliestExpiry ? 1 : 0);
        const long p = FirstProduct(db, where);
        side.usageProduct[m] = p;
        seed.PrdLoc(p, side.usageLoc.c_str(), double(kLotsForUsage) * kLotSize);
        for (int lot = 0; lot < kLotsForUsage; ++lot)
            seed.Lot(p, side.usageLoc.c_str(), kLotSize, 1.0 + lot * 0.25, 400 - lot,
                     100 + (lot * 37) % 300);
    }

    // Transfer: one product with 20 lots at the from-location.
    side.transferProduct = FirstProduct(db, "\"CostingMethod\" = 0 AND \"TrackExpiryDate\" = 0");
    seed.PrdLoc(side.transferProduct, side.transferFrom.c_str(),
                double(kLotsForTransfer) * kLotSize);
    seed.PrdLoc(side.transferProduct, side.transferTo.c_str(), 0);
    for (int lot = 0; lot < kLotsForTransfer; ++lot)
        seed.Lot(side.transferProduct, side.transferFrom.c_str(), kLotSize, 2.0 + lot * 0.5,
                 200 - lot, 300);

    // TransferAll: 500 products with two lots each; the other location carries them empty.
    {
        bench::Stmt s(db, "SELECT \"Product\" FROM PRODUCT WHERE \"Inactive\" = 0 AND "
                          "\"TrackExpiryDate\" = 0 ORDER BY \"Product\" LIMIT ?1");
        s.I(1, kTransferAllProducts);
        while (s.Row())
            side.allProducts.push_back(static_cast<long>(s.Int(0)));
    }
    for (long p : side.allProducts) {
        seed.PrdLoc(p, side.allA.c_str(), 20);
        seed.PrdLoc(p, side.allB.c_str(), 0);
        seed.Lot(p, side.allA.c_str(), 12, 3.0, 90, 300);
        seed.Lot(p, side.allA.c_str(), 8, 3.5, 30, 300);
    }

    // Count: 5,000 products with one lot of 10 each.
    {
        bench::Stmt s(db, "SELECT \"Product\" FROM PRODUCT WHERE \"Inactive\" = 0 ORDER BY "
                          "\"Product\" LIMIT ?1");
        s.I(1, kCountProducts);
        while (s.Row())
            side.countProducts.push_back(static_cast<long>(s.Int(0)));
    }
    for (long p : side.countProducts) {
        seed.PrdLoc(p, side.countLoc.c_str(), 10);
        seed.Lot(p, side.countLoc.c_str(), 10, 4.0, 60, 300);
    }
}

Fixture& Shared() {
    static Fixture f;
    if (f.copy)
        return f;
    f.copy = std::make_unique<bench::DataCopy>("tavel_stock_bench.db");
    if (!f.copy->Ok())
        return f;
    const bench::NativeDb conn = bench::OpenNative(f.copy->Path());
    sqlite3* db = conn.get();
    bench::Exec(db, "BEGIN");
    {
        Seeder seed(db);
        Seed(db, seed, f.engine, "BE");
        Seed(db, seed, f.native, "BN");
    }
    bench::Exec(db, "COMMIT");
    bench::Exec(db, "ANALYZE");
    f.ok = bench::Stmt::failures == 0 && f.engine.usageProduct[3] != 0 &&
           f.engine.countProducts.size() == static_cast<std::size_t>(kCountProducts);
    return f;
}

// ---------------------------------------------------------------------------------------
// The hand-written side: the statements of one connection, prepared once.

class NativeStock {
public:
    explicit NativeStock(sqlite3* db)
        : db_(db), begin_(db, "BEGIN IMMEDIATE"), commit_(db, "COMMIT"),
          product_(db, "SELECT \"CostingMethod\", \"AverageCost\", \"Unit\", \"ItemsPerUnit\" "
                       "FROM PRODUCT WHERE \"Product\" = ?1"),
          prdLoc_(db, "SELECT \"Balance\", \"TrackUsage\", \"Inactive\" FROM PRDLOC WHERE "
                      "\"Product\" = ?1 AND \"InvLoc\" = ?2"),
          sum_(db, "SELECT SUM(\"Balance\"), SUM(\"Quantity\" - \"Balance\") FROM INVITEM WHERE "
                   "\"InvLoc\" = ?1 AND \"Product\" = ?2"),
          takeOldest_(db, LotsSql("\"Balance\" > 0", "\"Audit\" ASC").c_str()),
          takeNewest_(db, LotsSql("\"Balance\" > 0", "\"Audit\" DESC").c_str()),
          takeExpiry_(db, LotsSql("\"Balance\" > 0", "\"ExpiryDate\" ASC").c_str()),
          refillNewest_(db, LotsSql("\"Balance\" < \"Quantity\"", "\"Audit\" DESC").c_str()),
          refillOldest_(db, LotsSql("\"Balance\" < \"Quantity\"", "\"Audit\" ASC").c_str()),
          refillExpiry_(db, LotsSql("\"Balance\" < \"Quantity\"", "\"ExpiryDate\" DESC").c_str()),
          setBalance_(db, "UPDATE INVITEM SET \"Balance\" = ?2 WHERE \"InvItem\" = ?1"),
          audit_(db, "INSERT INTO AUDITHIS (\"User\", \"Date\", \"Operation\", \"TableName\") "
                     "VALUES (1, date('now'), 1, 'INVITDET')"),
          detail_(db, "INSERT INTO INVITDET (\"InvItem\", \"Type\", \"InvLoc\", \"Product\", "
                      "\"InvAdj\", \"BatchId\", \"Quantity\", \"Unit\", \"ItemsPerUnit\", "
                      "\"CostPerUnit\", \"CountValue\", \"OtherLoc\", \"Audit\") VALUES (?1, ?2, "
                      "?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)"),
          batchDetail_(db, "SELECT \"InvItDet\" FROM INVITDET WHERE \"InvItem\" = ?1 AND "
                           "\"BatchId\" = ?2"),
          addToDetail_(db, "UPDATE INVITDET SET \"Quantity\" = \"Quantity\" + ?2 WHERE "
                           "\"InvItDet\" = ?1"),
          balance_(db, "UPDATE PRDLOC SET \"Balance\" = \"Balance\" + ?3 WHERE \"Product\" = ?1 "
                       "AND \"InvLoc\" = ?2"),
          topUp_(db, "SELECT I.\"InvItem\", D.\"InvItDet\" FROM INVITEM I JOIN INVITDET D ON "
                     "D.\"InvItem\" = I.\"InvItem\" AND D.\"Type\" = I.\"Type\" AND D.\"Audit\" = "
                     "I.\"Audit\" WHERE I.\"InvLoc\" = ?1 AND I.\"Product\" = ?2 AND I.\"Type\" = "
                     "1 AND I.\"InvRec\" = 0 AND I.\"CostPerUnit\" = ?3 AND I.\"InvOrdIt\" = 0 AND "
                     "D.\"BatchId\" = ?4 AND I.\"InvLocFrom\" = ?5"),
          topUpItem_(db, "UPDATE INVITEM SET \"Quantity\" = \"Quantity\" + ?2, \"Balance\" = "
                         "\"Balance\" + ?2 WHERE \"InvItem\" = ?1"),
          newItem_(db, "INSERT INTO INVITEM (\"InvLoc\", \"InvLocFrom\", \"Product\", \"Type\", "
                       "\"InvRec\", \"InvOrdIt\", \"Quantity\", \"Balance\", \"CostPerUnit\", "
                       "\"ExpiryDate\", \"Unit\", \"ItemsPerUnit\", \"ItemUnit\", \"AdjCreated\", "
                       "\"Audit\") SELECT ?1, ?2, ?3, 1, 0, 0, ?4, ?4, ?5, \"ExpiryDate\", "
                       "\"Unit\", \"ItemsPerUnit\", \"ItemUnit\", 0, ?6 FROM INVITEM WHERE "
                       "\"InvItem\" = ?7"),
          countMark_(db, "SELECT \"InvItDet\" FROM INVITDET WHERE \"Type\" = 6 AND \"InvLoc\" = ?1 "
                         "AND \"Product\" = ?2 AND \"InvAdj\" = ?3 AND \"BatchId\" = ?4"),
          lastCount_(db, "UPDATE PRDLOC SET \"LastCount\" = ?3, \"LastCountDate\" = date('now') "
                         "WHERE \"Product\" = ?1 AND \"InvLoc\" = ?2"),
          invItems_(db, "SELECT \"Product\", \"Balance\" FROM INVITEM WHERE \"InvLoc\" = ?1 AND "
                        "\"Balance\" > 0 ORDER BY \"Audit\"") {}

    long batch = 0;

    // One write of the hand-written side in a transaction of its own, as the service
    // commits each movement; a write that does not add up spoils the figures.
    template <class Write> void Atomic(benchmark::State& state, Write write) {
        begin_.Done();
        if (!write())
            state.SkipWithError("the hand-written write did not add up");
        commit_.Done();
    }

    // Takes (change < 0) or puts back (change > 0) stock of a product at a location over
    // its lots in costing order, one detail per lot touched; a transfer creates (or in the
    // batch tops up) the stock at `to`. Returns false when the lots do not add up.
    bool Move(const char* loc, long product, double change, short type, const char* adj,
              long long audit, const char* to) {
        product_.I(1, product);
        product_.Row();
        const int method = static_cast<int>(product_.Int(0));
        const double average = product_.Dbl(1);
        product_.Reset();
        prdLoc_.I(1, product).T(2, loc);
        prdLoc_.Row();
        const double balance = prdLoc_.Dbl(0);
        prdLoc_.Reset();
        sum_.T(1, loc).I(2, product);
        sum_.Row();
        const double sum = sum_.Dbl(0);
        sum_.Reset();
        if (sum != balance)
            return false;
        // Decreases take lots in the costing order, increases refill in the opposite one.
        const bool increase = change >= 0;
        const bool expiry = method == tavel::CostingMethod::EarliestExpiry;
        const bool newest = method == tavel::CostingMethod::NewestFirst;
        bench::Stmt& use = increase ? (expiry   ? refillExpiry_
                                       : newest ? refillOldest_
                                                : refillNewest_)
                                    : (expiry   ? takeExpiry_
                                       : newest ? takeNewest_
                                                : takeOldest_);
        struct Lot {
            long long id;
            double balance, quantity, cost;
            std::string unit;
            long long perUnit;
        };
        std::vector<Lot> touched;
        use.T(1, loc).I(2, product);
        while (change != 0 && use.Row()) {
            Lot l{use.Int(0), use.Dbl(1), use.Dbl(2), use.Dbl(3), use.Text(4), use.Int(5)};
            const double before = l.balance;
            l.balance = std::min(std::max(l.balance + change, 0.0), l.quantity);
            change -= l.balance - before;
            l.quantity = l.balance - before; // what this lot gave or took
            touched.push_back(l);
        }
        use.Reset();
        for (const Lot& l : touched) {
            setBalance_.I(1, l.id).D(2, l.balance).Done();
            const double cost = method == tavel::CostingMethod::RunningAverage ? average : l.cost;
            long long detail = 0;
            if (batch != 0)
                detail = batchDetail_.I(1, l.id).I(2, batch).One();
            if (detail != 0) {
                addToDetail_.I(1, detail).D(2, l.quantity).Done();
            } else {
                if (audit == 0) {
                    audit_.Done();
                    audit = sqlite3_last_insert_rowid(db_);
                }
                detail_.I(1, l.id).I(2, type).T(3, loc).I(4, product).T(5, adj);
                detail_.I(6, type == Move::Adjustment && *adj == '\0' ? 0 : batch);
                detail_.D(7, l.quantity).T(8, l.unit.c_str()).I(9, l.perUnit).D(10, cost);
                detail_.I(11, 0).T(12, to ? to : "").I(13, audit).Done();
            }
            balance_.I(1, product).T(2, loc).D(3, l.quantity).Done();
            if (to)
                Arrive(to, loc, product, -l.quantity, cost, l.id, audit);
        }
        return true;
    }

    // A count: the count marker, the last count, then the stock moved to what was counted.
    bool Count(const char* loc, long product, short counted) {
        prdLoc_.I(1, product).T(2, loc);
        prdLoc_.Row();
        const double balance = prdLoc_.Dbl(0);
        prdLoc_.Reset();
        lastCount_.I(1, product).T(2, loc).I(3, counted).Done();
        const long long mark =
            countMark_.T(1, loc).I(2, product).T(3, kCountCode).I(4, batch).One();
        if (mark != 0)
            return false; // one count per product and batch here
        product_.I(1, product);
        product_.Row();
        const std::string unit = product_.Text(2);
        const long long perUnit = product_.Int(3);
        const double average = product_.Dbl(1);
        product_.Reset();
        audit_.Done();
        const long long audit = sqlite3_last_insert_rowid(db_);
        detail_.I(1, 0).I(2, Move::CountMarker).T(3, loc).I(4, product).T(5, kCountCode);
        detail_.I(6, batch).D(7, 0).T(8, unit.c_str()).I(9, perUnit).D(10, average);
        detail_.I(11, counted).Null(12).I(13, audit).Done();
        return Move(loc, product, counted - balance, Move::Adjustment, kCountCode, audit, nullptr);
    }

    // The rows TransferAll works through, as they stand before the first transfer.
    std::vector<std::pair<long, double>> StockAt(const char* loc) {
        std::vector<std::pair<long, double>> rows;
        invItems_.T(1, loc);
        while (invItems_.Row())
            rows.emplace_back(static_cast<long>(invItems_.Int(0)), invItems_.Dbl(1));
        invItems_.Reset();
        return rows;
    }

private:
    static std::string LotsSql(const char* which, const char* order) {
        return std::string("SELECT \"InvItem\", \"Balance\", \"Quantity\", \"CostPerUnit\", "
                           "\"Unit\", \"ItemsPerUnit\" FROM INVITEM WHERE \"InvLoc\" = ?1 AND "
                           "\"Product\" = ?2 AND ") +
               which + " ORDER BY " + order;
    }

    // Stock arriving by transfer: a like item of this batch is topped up, else a new one
    // takes the source lot's units and expiry date.
    void Arrive(const char* to, const char* from, long product, double quantity, double cost,
                long long source, long long audit) {
        topUp_.T(1, to).I(2, product).D(3, cost).I(4, batch).T(5, from);
        long long item = 0, detail = 0;
        if (topUp_.Row()) {
            item = topUp_.Int(0);
            detail = topUp_.Int(1);
        }
        topUp_.Reset();
        if (item != 0) {
            topUpItem_.I(1, item).D(2, quantity).Done();
            addToDetail_.I(1, detail).D(2, quantity).Done();
        } else {
            newItem_.T(1, to).T(2, from).I(3, product).D(4, quantity).D(5, cost);
            newItem_.I(6, audit).I(7, source).Done();
            item = sqlite3_last_insert_rowid(db_);
            product_.I(1, product);
            product_.Row();
            const std::string unit = product_.Text(2);
            const long long perUnit = product_.Int(3);
            product_.Reset();
            detail_.I(1, item).I(2, Move::Transfer).T(3, to).I(4, product).T(5, "");
            detail_.I(6, batch).D(7, quantity).T(8, unit.c_str()).I(9, perUnit).D(10, cost);
            detail_.I(11, 0).Null(12).I(13, audit).Done();
        }
        balance_.I(1, product).T(2, to).D(3, quantity).Done();
    }

    sqlite3* db_;
    bench::Stmt begin_, commit_, product_, prdLoc_, sum_, takeOldest_, takeNewest_, takeExpiry_,
        refillNewest_, refillOldest_, refillExpiry_, setBalance_, audit_, detail_, batchDetail_,
        addToDetail_, balance_, topUp_, topUpItem_, newItem_, countMark_, lastCount_, invItems_;
};

// A batch id from the sequences side file, as the engine takes one.
long NextBatch(const std::string& path) {
    sqlite3* seq = nullptr;
    sqlite3_open((path + ".sequences").c_str(), &seq);
    sqlite3_busy_timeout(seq, 5000);
    long v = 0;
    {
        bench::Exec(seq, "UPDATE \"TVL_SEQUENCES\" SET value = value + 1 WHERE name = "
                         "'INVITDET_BATCHID_SEQ'");
        bench::Stmt s(seq, "SELECT value FROM \"TVL_SEQUENCES\" WHERE name = "
                           "'INVITDET_BATCHID_SEQ'");
        v = static_cast<long>(s.One());
    }
    sqlite3_close(seq);
    return v;
}

// ---------------------------------------------------------------------------------------

// Runs the hand-written side of a benchmark on a connection of its own to the shared copy.
template <class Body> void RunNative(benchmark::State& state, Body body) {
    Fixture& f = Shared();
    if (!f.ok) {
        state.SkipWithError("no data copy");
        return;
    }
    const bench::NativeDb db = bench::OpenNative(f.copy->Path());
    NativeStock n(db.get());
    body(f, n);
}

void Usage_Engine(benchmark::State& state) {
    Fixture& f = Shared();
    auto db = bench::OpenEngine(state, f);
    if (!db)
        return;
    const long product = f.engine.usageProduct[state.range(0)];
    BIInvAdj adj(db.get());
    for (auto _ : state)
        adj.Adjust(f.engine.usageLoc.c_str(), Move::Usage, product, 1, "", false, false, false, 0,
                   0, 0, "", 0);
}

void Usage_Native(benchmark::State& state) {
    RunNative(state, [&](Fixture& f, NativeStock& n) {
        const long product = f.native.usageProduct[state.range(0)];
        for (auto _ : state)
            n.Atomic(state, [&] {
                return n.Move(f.native.usageLoc.c_str(), product, -1, Move::Usage, "", 0, nullptr);
            });
    });
}

void Transfer_Engine(benchmark::State& state) {
    Fixture& f = Shared();
    auto db = bench::OpenEngine(state, f);
    if (!db)
        return;
    BIInvTransfer t(db.get());
    t.InitBatch(f.engine.transferFrom.c_str(), f.engine.transferTo.c_str());
    for (auto _ : state)
        t.Transfer(f.engine.transferProduct, 1, false, true, true);
}

void Transfer_Native(benchmark::State& state) {
    RunNative(state, [&](Fixture& f, NativeStock& n) {
        n.batch = NextBatch(f.copy->Path());
        for (auto _ : state)
            n.Atomic(state, [&] {
                return n.Move(f.native.transferFrom.c_str(), f.native.transferProduct, -1,
                              Move::Transfer, "", 0, f.native.transferTo.c_str());
            });
    });
}

// Every iteration moves the whole location; the next moves it back, so the stock stays.
void TransferAll_Engine(benchmark::State& state) {
    Fixture& f = Shared();
    auto db = bench::OpenEngine(state, f);
    if (!db)
        return;
    bool forth = true;
    for (auto _ : state) {
        BIInvTransfer t(db.get());
        t.InitBatch(forth ? f.engine.allA.c_str() : f.engine.allB.c_str(),
                    forth ? f.engine.allB.c_str() : f.engine.allA.c_str());
        t.TransferAll(0);
        forth = !forth;
    }
}

void TransferAll_Native(benchmark::State& state) {
    RunNative(state, [&](Fixture& f, NativeStock& n) {
        bool forth = true;
        for (auto _ : state) {
            n.batch = NextBatch(f.copy->Path());
            const char* from = forth ? f.native.allA.c_str() : f.native.allB.c_str();
            const char* to = forth ? f.native.allB.c_str() : f.native.allA.c_str();
            for (const auto& [product, balance] : n.StockAt(from))
                n.Atomic(state, [&] {
                    return n.Move(from, product, -balance, Move::Transfer, "", 0, to);
                });
            forth = !forth;
        }
    });
}

// A count run: odd runs count one less than each balance, even runs one more, so the
// stock returns to where it was.
void Count_Engine(benchmark::State& state) {
    Fixture& f = Shared();
    auto db = bench::OpenEngine(state, f);
    if (!db)
        return;
    short delta = -1;
    for (auto _ : state) {
        BIInvCount c(db.get());
        c.InitBatch(f.engine.countLoc.c_str(), "");
        const short counted = static_cast<short>(10 + (delta < 0 ? -1 : 0));
        for (long p : f.engine.countProducts)
            c.CountProduct(f.engine.countLoc.c_str(), p, counted, kCountCode);
        delta = static_cast<short>(-delta);
    }
}

void Count_Native(benchmark::State& state) {
    RunNative(state, [&](Fixture& f, NativeStock& n) {
        short delta = -1;
        for (auto _ : state) {
            n.batch = NextBatch(f.copy->Path());
            const short counted = static_cast<short>(10 + (delta < 0 ? -1 : 0));
            for (long p : f.native.countProducts)
                n.Atomic(state, [&] { return n.Count(f.native.countLoc.c_str(), p, counted); });
            delta = static_cast<short>(-delta);
        }
    });
}

void Register() {
    for (auto fn : {Usage_Engine, Usage_Native}) {
        const char* name = fn == Usage_Engine ? "Usage_Engine" : "Usage_Native";
        benchmark::RegisterBenchmark(name, fn)->ArgName("method")->DenseRange(0, 3)->Unit(
            benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("Transfer_Engine", Transfer_Engine)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Transfer_Native", Transfer_Native)->Unit(benchmark::kMicrosecond);
    // Whole runs: two iterations (there and back) per repetition.
    benchmark::RegisterBenchmark("TransferAll_Engine", TransferAll_Engine)
        ->Iterations(2)
        ->Repetitions(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("TransferAll_Native", TransferAll_Native)
        ->Iterations(2)
        ->Repetitions(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Count_Engine", Count_Engine)
        ->Iterations(2)
        ->Repetitions(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Count_Native", Count_Native)
        ->Iterations(2)
        ->Repetitions(1)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
    Register();
    std::vector<bench::Pair> pairs;
    static const char* const usage[][2] = {
        {"Usage_Engine/method:0", "Usage_Native/method:0"},
        {"Usage_Engine/method:1", "Usage_Native/method:1"},
        {"Usage_Engine/method:2", "Usage_Native/method:2"},
        {"Usage_Engine/method:3", "Usage_Native/method:3"},
    };
    for (const auto& u : usage)
        pairs.push_back({u[0], u[1], 5, 2});
    pairs.push_back({"Transfer_Engine", "Transfer_Native", 5, 2});
    pairs.push_back({"TransferAll_Engine", "TransferAll_Native", 0, 2});
    pairs.push_back({"Count_Engine", "Count_Native", 10000, 2});
    return bench::RunAll(argc, argv, std::move(pairs));
}

// The scan-sized stock operations and the main screen's list views on a PostgreSQL server,
// each against a hand-written libpq twin (statements prepared once, the same row changes,
// a transaction per scan): one receive line, usage under each costing method with 50
// lots, a transfer of a product with 20 lots, one count; the received and usage lists of
// last month, the levels at the busiest location with order quantities and the pending
// internal orders. The list twins run the text the translator makes of the view's own
// statement with PQexec and read every value. Goals and ratios are on wall time (the
// server's work is not the client's CPU time).
//
// The server's database comes from pg_load (bench/run.sh --pg); TAVEL_PG_CONNINFO names
// it. The set-up adds locations of its own, named after the process, so that runs repeat.

#include "BIInvAdj.h"
#include "BIInvCount.h"
#include "BIInvRec.h"
#include "BIInvTransfer.h"
#include "BenchCommon.h"
#include "Dialect.h"
#include "InventoryListQueries.h"
#include "PgCommon.h"
#include "Records.h"
#include "TableRegistry.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace Move = tavel::MovementType;
using bench::pg::N;
using bench::pg::Result;

constexpr int kLotsForUsage = 50;
constexpr int kLotsForTransfer = 20;
constexpr int kCountProducts = 1000;
constexpr int kLotSize = 9000;
constexpr const char kCountCode[] = "CNT";

// Stock of one side (the engine's or the twin's) at locations of its own.
struct Side {
    std::string usageLoc, transferFrom, transferTo, countLoc;
    long usageProduct[4] = {};
    long transferProduct = 0;
    std::vector<long> countProducts;
};

struct Fixture {
    std::string conninfo;
    bool ok = false;
    long order = 0, vendor = 0;
    std::string poNumber, receiveLoc;
    std::vector<long> receiveProducts;
    Side engine, native;
    std::string levelsLoc;
    WSIDate monthFrom, monthTo;
};

std::string Text(PGconn* c, const std::string& sql) {
    Result r(PQexec(c, sql.c_str()));
    if (!bench::pg::ResultOk(c, r.get(), sql.c_str()) || PQntuples(r.get()) == 0)
        return "";
    return PQgetvalue(r.get(), 0, 0);
}

WSIDate ParseIso(const std::string& iso) {
    WSIDate d;
    if (iso.size() >= 10) {
        d.year = static_cast<short>(std::atoi(iso.substr(0, 4).c_str()));
        d.month = static_cast<short>(std::atoi(iso.substr(5, 2).c_str()));
        d.day = static_cast<short>(std::atoi(iso.substr(8, 2).c_str()));
    }
    return d;
}

long FirstProduct(PGconn* c, const std::string& where) {
    return std::atol(Text(c, "SELECT \"Product\" FROM PRODUCT WHERE \"Inactive\" = 0 AND " + where +
                                 " ORDER BY \"Product\" LIMIT 1")
                         .c_str());
}

void Seed(PGconn* c, Side& side, const std::string& prefix) {
    bench::pg::Seeder seed(c);
    side.usageLoc = prefix + "U";
    side.transferFrom = prefix + "F";
    side.transferTo = prefix + "T";
    side.countLoc = prefix + "C";
    for (const std::string& l : {side.usageLoc, side.transferFrom, side.transferTo, side.countLoc})
        seed.Location(l);
    for (int m = 0; m < 4; ++m) {
        const long p =
            FirstProduct(c, "\"CostingMethod\" = " + N(m) + " AND \"TrackExpiryDate\" = " +
                                N(m == tavel::CostingMethod::EarliestExpiry ? 1 : 0));
        side.usageProduct[m] = p;
        seed.PrdLoc(p, side.usageLoc, double(kLotsForUsage) * kLotSize);
        for (int i = 0; i < kLotsForUsage; ++i)
            seed.Lot(side.usageLoc, p, kLotSize, 1.0 + i * 0.25, 400 - i, 100 + (i * 37) % 300);
    }
    side.transferProduct = FirstProduct(c, "\"CostingMethod\" = 0 AND \"TrackExpiryDate\" = 0");
    seed.PrdLoc(side.transferProduct, side.transferFrom, double(kLotsForTransfer) * kLotSize);
    seed.PrdLoc(side.transferProduct, side.transferTo, 0);
    for (int i = 0; i < kLotsForTransfer; ++i)
        seed.Lot(side.transferFrom, side.transferProduct, kLotSize, 2.0 + i * 0.5, 200 - i, 300);
    Result r(PQexec(c, ("SELECT \"Product\" FROM PRODUCT WHERE \"Inactive\" = 0 ORDER BY "
                        "\"Product\" LIMIT " +
                        N(kCountProducts))
                           .c_str()));
    for (int i = 0; r && i < PQntuples(r.get()); ++i)
        side.countProducts.push_back(std::atol(PQgetvalue(r.get(), i, 0)));
    for (long p : side.countProducts) {
        seed.PrdLoc(p, side.countLoc, 10);
        seed.Lot(side.countLoc, p, 10, 4.0, 60, 300);
    }
}

Fixture& Shared() {
    static Fixture f;
    static bool made = false;
    if (made)
        return f;
    made = true;
    f.conninfo = bench::pg::Conninfo();
    bench::pg::Conn conn = bench::pg::Connect(f.conninfo);
    if (!conn)
        return f;
    PGconn* c = conn.get();
    Result order(PQexec(
        c, "SELECT O.\"InvOrder\", O.\"Vendor\", O.\"PONumber\", O.\"InvLoc\" FROM INVORDER O "
           "JOIN INVORDIT I ON I.\"InvOrder\" = O.\"InvOrder\" JOIN PRODUCT P ON P.\"Product\" = "
           "I.\"Product\" WHERE O.\"IsExternal\" = 1 AND I.\"Status\" IN (0, 1, 3, 5) AND "
           "P.\"TrackExpiryDate\" = 0 GROUP BY O.\"InvOrder\" ORDER BY COUNT(1) DESC, "
           "O.\"InvOrder\" LIMIT 1"));
    if (order && PQntuples(order.get()) == 1) {
        f.order = std::atol(PQgetvalue(order.get(), 0, 0));
        f.vendor = std::atol(PQgetvalue(order.get(), 0, 1));
        f.poNumber = PQgetvalue(order.get(), 0, 2);
        f.receiveLoc = PQgetvalue(order.get(), 0, 3);
        while (!f.receiveLoc.empty() && f.receiveLoc.back() == ' ')
            f.receiveLoc.pop_back();
    }
    Result products(
        PQexec(c, ("SELECT DISTINCT I.\"Product\" FROM INVORDIT I JOIN PRODUCT P ON "
                   "P.\"Product\" = I.\"Product\" WHERE I.\"InvOrder\" = " +
                   N(f.order) + " AND I.\"Status\" <> 4 AND P.\"TrackExpiryDate\" = 0 ORDER BY 1")
                      .c_str()));
    for (int i = 0; products && i < PQntuples(products.get()); ++i)
        f.receiveProducts.push_back(std::atol(PQgetvalue(products.get(), i, 0)));
    f.levelsLoc = Text(c, "SELECT TRIM(\"InvLoc\") FROM PRDLOC WHERE \"InvLoc\" <> ' ' GROUP BY "
                          "\"InvLoc\" ORDER BY COUNT(1) DESC, 1 LIMIT 1");
    f.monthFrom = ParseIso(Text(c, "SELECT (date_trunc('month', CURRENT_DATE) - interval '1 "
                                   "month')::date"));
    f.monthTo = ParseIso(Text(c, "SELECT (date_trunc('month', CURRENT_DATE) - interval '1 "
                                 "day')::date"));
    // Location codes of this run: a run leaves its stock behind, the next takes new ones.
    const std::string run = N(static_cast<long>(getpid() % 1000));
    bench::pg::Exec(c, "BEGIN");
    Seed(c, f.engine, "E" + run);
    Seed(c, f.native, "N" + run);
    bench::pg::Exec(c, "COMMIT");
    bench::pg::Exec(c, "ANALYZE INVITEM; ANALYZE PRDLOC; ANALYZE AUDITHIS");
    f.ok = bench::pg::failures == 0 && !f.receiveProducts.empty() && !f.levelsLoc.empty() &&
           f.engine.countProducts.size() == static_cast<std::size_t>(kCountProducts);
    if (!f.ok)
        std::fprintf(stderr,
                     "set-up: %ld statements failed, %zu products on the order, %zu to count, "
                     "busiest location '%s'\n",
                     bench::pg::failures, f.receiveProducts.size(), f.engine.countProducts.size(),
                     f.levelsLoc.c_str());
    return f;
}

std::unique_ptr<WSIDatabase> OpenEngine(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.ok) {
        state.SkipWithError("no server data (TAVEL_PG_CONNINFO, pg_load)");
        return nullptr;
    }
    RegisterRecords();
    auto db = std::make_unique<WSIDatabase>();
    if (!db->OpenServer(f.conninfo)) {
        state.SkipWithError("cannot connect");
        return nullptr;
    }
    return db;
}

// Runs our side of a benchmark on a connection of its own.
template <class Body> void RunEngine(benchmark::State& state, Body body) {
    const std::unique_ptr<WSIDatabase> db = OpenEngine(state);
    if (db)
        body(Shared(), db.get());
}

// ---------------------------------------------------------------------------------------
// The hand-written side.

std::string LotsSql(const char* which, const char* order) {
    return std::string("SELECT \"InvItem\", \"Balance\", \"Quantity\", \"CostPerUnit\", \"Unit\", "
                       "\"ItemsPerUnit\" FROM INVITEM WHERE \"InvLoc\" = $1 AND \"Product\" = $2 "
                       "AND ") +
           which + " ORDER BY " + order + " FOR UPDATE";
}

class Native {
public:
    explicit Native(PGconn* c)
        : c_(c), product_(c, "SELECT \"CostingMethod\", \"AverageCost\", \"Unit\", "
                             "\"ItemsPerUnit\" FROM PRODUCT WHERE \"Product\" = $1"),
          prdLoc_(c, "SELECT \"Balance\" FROM PRDLOC WHERE \"Product\" = $1 AND \"InvLoc\" = $2 "
                     "FOR UPDATE"),
          sum_(c, "SELECT SUM(\"Balance\") FROM INVITEM WHERE \"InvLoc\" = $1 AND \"Product\" = "
                  "$2"),
          takeOldest_(c, LotsSql("\"Balance\" > 0", "\"Audit\" ASC")),
          takeNewest_(c, LotsSql("\"Balance\" > 0", "\"Audit\" DESC")),
          takeExpiry_(c, LotsSql("\"Balance\" > 0", "\"ExpiryDate\" ASC")),
          refillNewest_(c, LotsSql("\"Balance\" < \"Quantity\"", "\"Audit\" DESC")),
          refillOldest_(c, LotsSql("\"Balance\" < \"Quantity\"", "\"Audit\" ASC")),
          refillExpiry_(c, LotsSql("\"Balance\" < \"Quantity\"", "\"ExpiryDate\" DESC")),
          setBalance_(c, "UPDATE INVITEM SET \"Balance\" = $2 WHERE \"InvItem\" = $1"),
          audit_(c,
                 "INSERT INTO AUDITHIS (\"User\", \"Date\", \"Operation\", \"TableName\") VALUES "
                 "(1, CURRENT_DATE, 1, $1) RETURNING \"Audit\""),
          detail_(c,
                  "INSERT INTO INVITDET (\"InvItem\", \"Type\", \"InvLoc\", \"Product\", "
                  "\"InvAdj\", \"BatchId\", \"Quantity\", \"Unit\", \"ItemsPerUnit\", "
                  "\"CostPerUnit\", \"CountValue\", \"OtherLoc\", \"Audit\") VALUES ($1, $2, $3, "
                  "$4, $5, $6, $7, $8, $9, $10, $11, $12, $13) RETURNING \"InvItDet\""),
          batchDetail_(c, "SELECT \"InvItDet\" FROM INVITDET WHERE \"InvItem\" = $1 AND "
                          "\"BatchId\" = $2"),
          addToDetail_(c, "UPDATE INVITDET SET \"Quantity\" = \"Quantity\" + $2 WHERE "
                          "\"InvItDet\" = $1"),
          balance_(c, "UPDATE PRDLOC SET \"Balance\" = \"Balance\" + $3 WHERE \"Product\" = $1 "
                      "AND \"InvLoc\" = $2"),
          topUp_(c, "SELECT I.\"InvItem\", D.\"InvItDet\" FROM INVITEM I JOIN INVITDET D ON "
                    "D.\"InvItem\" = I.\"InvItem\" AND D.\"Type\" = I.\"Type\" AND D.\"Audit\" = "
                    "I.\"Audit\" WHERE I.\"InvLoc\" = $1 AND I.\"Product\" = $2 AND I.\"Type\" = 1 "
                    "AND I.\"InvRec\" = 0 AND I.\"CostPerUnit\" = $3 AND I.\"InvOrdIt\" = 0 AND "
                    "D.\"BatchId\" = $4 AND I.\"InvLocFrom\" = $5"),
          topUpItem_(c, "UPDATE INVITEM SET \"Quantity\" = \"Quantity\" + $2::float8, \"Balance\" "
                        "= \"Balance\" + $2::float8 WHERE \"InvItem\" = $1"),
          newItem_(c, "INSERT INTO INVITEM (\"InvLoc\", \"InvLocFrom\", \"Product\", \"Type\", "
                      "\"InvRec\", \"InvOrdIt\", \"Quantity\", \"Balance\", \"CostPerUnit\", "
                      "\"ExpiryDate\", \"Unit\", \"ItemsPerUnit\", \"ItemUnit\", \"AdjCreated\", "
                      "\"Audit\") SELECT $1, $2, $3, 1, 0, 0, $4::float8, $4::float8, $5, "
                      "\"ExpiryDate\", "
                      "\"Unit\", \"ItemsPerUnit\", \"ItemUnit\", 0, $6 FROM INVITEM WHERE "
                      "\"InvItem\" = $7 RETURNING \"InvItem\""),
          countMark_(c, "SELECT \"InvItDet\" FROM INVITDET WHERE \"Type\" = 6 AND \"InvLoc\" = $1 "
                        "AND \"Product\" = $2 AND \"InvAdj\" = $3 AND \"BatchId\" = $4"),
          lastCount_(c, "UPDATE PRDLOC SET \"LastCount\" = $3, \"LastCountDate\" = CURRENT_DATE "
                        "WHERE \"Product\" = $1 AND \"InvLoc\" = $2"),
          nextBatch_(c, "SELECT nextval('invitdet_batchid_seq')") {}

    long batch = 0;
    void NewBatch() { batch = static_cast<long>(nextBatch_.One()); }

    template <class Write> void Atomic(benchmark::State& state, Write write) {
        bench::pg::Exec(c_, "BEGIN");
        const bool ok = write();
        bench::pg::Exec(c_, ok ? "COMMIT" : "ROLLBACK");
        if (!ok)
            state.SkipWithError("the hand-written write did not add up");
    }

    // Takes or puts back stock over the lots in costing order, one detail per lot; a
    // transfer creates (or in the batch tops up) the stock at `to`.
    bool Move(const std::string& loc, long product, double change, short type, const char* adj,
              long long audit, const std::string* to) {
        Result p = product_.Run({N(product)});
        if (!p || PQntuples(p.get()) != 1)
            return false;
        const int method = std::atoi(PQgetvalue(p.get(), 0, 0));
        const double average = std::atof(PQgetvalue(p.get(), 0, 1));
        const double balance = prdLoc_.One({N(product), loc});
        if (sum_.One({loc, N(product)}) != balance)
            return false;
        const bool increase = change >= 0;
        const bool expiry = method == tavel::CostingMethod::EarliestExpiry;
        const bool newest = method == tavel::CostingMethod::NewestFirst;
        bench::pg::Stmt& use = increase ? (expiry   ? refillExpiry_
                                           : newest ? refillOldest_
                                                    : refillNewest_)
                                        : (expiry   ? takeExpiry_
                                           : newest ? takeNewest_
                                                    : takeOldest_);
        Result lots = use.Run({loc, N(product)});
        for (int i = 0; lots && change != 0 && i < PQntuples(lots.get()); ++i) {
            const std::string id = PQgetvalue(lots.get(), i, 0);
            const double before = std::atof(PQgetvalue(lots.get(), i, 1));
            const double after =
                std::min(std::max(before + change, 0.0), std::atof(PQgetvalue(lots.get(), i, 2)));
            const double moved = after - before;
            change -= moved;
            const double cost = method == tavel::CostingMethod::RunningAverage
                                    ? average
                                    : std::atof(PQgetvalue(lots.get(), i, 3));
            setBalance_.Run({id, N(after)});
            double detail = 0;
            if (batch != 0)
                detail = batchDetail_.One({id, N(batch)});
            if (detail != 0) {
                addToDetail_.Run({N(detail), N(moved)});
            } else {
                if (audit == 0)
                    audit = static_cast<long long>(audit_.One({"INVITDET"}));
                detail_.Run({id, N(type), loc, N(product), adj,
                             N(type == Move::Adjustment && *adj == '\0' ? 0 : batch), N(moved),
                             PQgetvalue(lots.get(), i, 4), PQgetvalue(lots.get(), i, 5), N(cost),
                             "0", to ? *to : "", N(audit)});
            }
            balance_.Run({N(product), loc, N(moved)});
            if (to)
                Arrive(*to, loc, product, -moved, cost, id, audit, PQgetvalue(lots.get(), i, 4),
                       PQgetvalue(lots.get(), i, 5));
        }
        return change == 0;
    }

    bool Count(const std::string& loc, long product, short counted) {
        const double balance = prdLoc_.One({N(product), loc});
        lastCount_.Run({N(product), loc, N(counted)});
        if (countMark_.One({loc, N(product), kCountCode, N(batch)}) != 0)
            return false;
        Result p = product_.Run({N(product)});
        if (!p || PQntuples(p.get()) != 1)
            return false;
        const long long audit = static_cast<long long>(audit_.One({"INVITDET"}));
        detail_.Run({"0", N(Move::CountMarker), loc, N(product), kCountCode, N(batch), "0",
                     PQgetvalue(p.get(), 0, 2), PQgetvalue(p.get(), 0, 3),
                     PQgetvalue(p.get(), 0, 1), N(counted), "", N(audit)});
        return Move(loc, product, counted - balance, Move::Adjustment, kCountCode, audit, nullptr);
    }

private:
    void Arrive(const std::string& to, const std::string& from, long product, double quantity,
                double cost, const std::string& source, long long audit, const char* unit,
                const char* perUnit) {
        Result top = topUp_.Run({to, N(product), N(cost), N(batch), from});
        if (top && PQntuples(top.get()) > 0) {
            topUpItem_.Run({PQgetvalue(top.get(), 0, 0), N(quantity)});
            addToDetail_.Run({PQgetvalue(top.get(), 0, 1), N(quantity)});
        } else {
            const double item =
                newItem_.One({to, from, N(product), N(quantity), N(cost), N(audit), source});
            detail_.Run({N(item), N(Move::Transfer), to, N(product), "", N(batch), N(quantity),
                         unit, perUnit, N(cost), "0", "", N(audit)});
        }
        balance_.Run({N(product), to, N(quantity)});
    }

    PGconn* c_;
    bench::pg::Stmt product_, prdLoc_, sum_, takeOldest_, takeNewest_, takeExpiry_, refillNewest_,
        refillOldest_, refillExpiry_, setBalance_, audit_, detail_, batchDetail_, addToDetail_,
        balance_, topUp_, topUpItem_, newItem_, countMark_, lastCount_, nextBatch_;
};

// Runs the hand-written side on a connection of its own.
template <class Body> void RunNative(benchmark::State& state, Body body) {
    Fixture& f = Shared();
    if (!f.ok) {
        state.SkipWithError("no server data (TAVEL_PG_CONNINFO, pg_load)");
        return;
    }
    bench::pg::Conn conn = bench::pg::Connect(f.conninfo);
    if (!conn) {
        state.SkipWithError("cannot connect");
        return;
    }
    Native n(conn.get());
    body(f, n, conn.get());
}

// ---------------------------------------------------------------------------------------
// Receiving.

void ReceiveLine_Engine(benchmark::State& state) {
    RunEngine(state, [&](Fixture& f, WSIDatabase* db) {
        BIInvReceive rec(db);
        rec.InitBatch(f.receiveLoc.c_str(), f.vendor, nullptr, f.poNumber.c_str(), nullptr);
        const std::string run = N(static_cast<long>(std::time(nullptr) % 100000));
        long n = 0;
        for (auto _ : state) {
            const std::string ref = "E" + run + "-" + N(n);
            rec.Add(f.receiveProducts[n % f.receiveProducts.size()], 1, nullptr, ref.c_str());
            ++n;
        }
    });
}

void ReceiveLine_Native(benchmark::State& state) {
    RunNative(state, [&](Fixture& f, Native&, PGconn* c) {
        bench::pg::Stmt audit(c, "INSERT INTO AUDITHIS (\"User\", \"Date\", \"Operation\", "
                                 "\"TableName\") VALUES (1, CURRENT_DATE, 1, 'INVITEM') "
                                 "RETURNING \"Audit\"");
        bench::pg::Stmt receipt(c, "INSERT INTO INVREC (\"InvLoc\", \"Vendor\", \"PONumber\", "
                                   "\"Date\", \"Audit\") VALUES ($1, $2, $3, CURRENT_DATE, $4) "
                                   "RETURNING \"InvRec\"");
        bench::pg::Stmt findLine(c, "SELECT \"InvItem\" FROM INVITEM WHERE \"InvRec\" = $1 AND "
                                    "\"Product\" = $2 AND \"Type\" = 0 AND \"RefNo\" = $3");
        bench::pg::Stmt product(c, "SELECT \"Unit\", \"ItemsPerUnit\", \"ItemUnit\", "
                                   "\"CostPerUnit\" FROM PRODUCT WHERE \"Product\" = $1 FOR "
                                   "UPDATE");
        bench::pg::Stmt orderLine(c, "SELECT \"InvOrdIt\", \"CostPerUnit\", \"Quantity\", "
                                     "\"QtyFilled\" FROM INVORDIT WHERE \"InvOrder\" = $1 AND "
                                     "\"Product\" = $2 AND \"Status\" <> 4");
        bench::pg::Stmt item(
            c, "INSERT INTO INVITEM (\"InvLoc\", \"Product\", \"Type\", "
               "\"InvRec\", \"InvOrdIt\", \"Quantity\", \"Balance\", "
               "\"CostPerUnit\", \"Unit\", \"ItemsPerUnit\", \"ItemUnit\", "
               "\"AdjCreated\", \"RefNo\", \"Audit\") VALUES ($1, $2, 0, $3, $4, "
               "$5::int, $5::int, $6, $7, $8, $9, 0, $10, $11) RETURNING \"InvItem\"");
        bench::pg::Stmt value(c, "SELECT SUM(\"Balance\"), SUM(\"Balance\" * \"CostPerUnit\") "
                                 "FROM INVITEM WHERE \"Product\" = $1");
        bench::pg::Stmt average(c, "UPDATE PRODUCT SET \"AverageCost\" = $2 WHERE \"Product\" = "
                                   "$1");
        bench::pg::Stmt balance(c, "UPDATE PRDLOC SET \"Balance\" = \"Balance\" + $3 WHERE "
                                   "\"Product\" = $1 AND \"InvLoc\" = $2");
        bench::pg::Stmt detail(c, "INSERT INTO INVITDET (\"InvItem\", \"Type\", \"InvLoc\", "
                                  "\"Product\", \"BatchId\", \"Quantity\", \"Unit\", "
                                  "\"ItemsPerUnit\", \"CostPerUnit\", \"CountValue\", \"Audit\") "
                                  "VALUES ($1, 0, $2, $3, 0, $4, $5, $6, $7, 0, $8)");
        bench::pg::Stmt fill(c, "UPDATE INVORDIT SET \"QtyFilled\" = $2, \"Status\" = $3 WHERE "
                                "\"InvOrdIt\" = $1");
        bench::pg::Exec(c, "BEGIN");
        const std::string receiptAudit = N(audit.One());
        const std::string invRec =
            N(receipt.One({f.receiveLoc, N(f.vendor), f.poNumber, receiptAudit}));
        bench::pg::Exec(c, "COMMIT");
        const std::string run = N(static_cast<long>(std::time(nullptr) % 100000));
        long n = 0;
        for (auto _ : state) {
            const std::string ref = "N" + run + "-" + N(n);
            const std::string p = N(f.receiveProducts[n % f.receiveProducts.size()]);
            ++n;
            bench::pg::Exec(c, "BEGIN");
            Result found = findLine.Run({invRec, p, ref});
            Result prod = product.Run({p});
            Result line = orderLine.Run({N(f.order), p});
            if (!found || PQntuples(found.get()) != 0 || !prod || PQntuples(prod.get()) != 1 ||
                !line) {
                bench::pg::Exec(c, "ROLLBACK");
                state.SkipWithError("the hand-written receipt did not add up");
                break;
            }
            std::string lineId = "0", cost = PQgetvalue(prod.get(), 0, 3);
            long quantity = 0, filled = 0;
            if (PQntuples(line.get()) > 0) {
                lineId = PQgetvalue(line.get(), 0, 0);
                cost = PQgetvalue(line.get(), 0, 1);
                quantity = std::atol(PQgetvalue(line.get(), 0, 2));
                filled = std::atol(PQgetvalue(line.get(), 0, 3));
            }
            const std::string a = N(audit.One());
            const std::string unit = PQgetvalue(prod.get(), 0, 0);
            const std::string perUnit = PQgetvalue(prod.get(), 0, 1);
            const std::string invItem =
                N(item.One({f.receiveLoc, p, invRec, lineId, "1", cost, unit, perUnit,
                            PQgetvalue(prod.get(), 0, 2), ref, a}));
            Result v = value.Run({p});
            const double q = v ? std::atof(PQgetvalue(v.get(), 0, 0)) : 0;
            const double worth = v ? std::atof(PQgetvalue(v.get(), 0, 1)) : 0;
            average.Run({p, N(q > 0 ? std::floor(worth / q * 100 + 0.5) / 100 : 0.0)});
            balance.Run({p, f.receiveLoc, "1"});
            detail.Run({invItem, f.receiveLoc, p, "1", unit, perUnit, cost, a});
            if (lineId != "0")
                fill.Run({lineId, N(filled + 1), N(filled + 1 >= quantity ? 7 : 3)});
            bench::pg::Exec(c, "COMMIT");
        }
    });
}

// ---------------------------------------------------------------------------------------
// Usage, transfer, count.

void Usage_Engine(benchmark::State& state) {
    RunEngine(state, [&](Fixture& f, WSIDatabase* db) {
        BIInvAdj adj(db);
        for (auto _ : state)
            adj.Adjust(f.engine.usageLoc.c_str(), Move::Usage,
                       f.engine.usageProduct[state.range(0)], 1, "", false, false, false, 0, 0, 0,
                       "", 0);
    });
}

void Usage_Native(benchmark::State& state) {
    RunNative(state, [&](Fixture& f, Native& n, PGconn*) {
        const long product = f.native.usageProduct[state.range(0)];
        for (auto _ : state)
            n.Atomic(state, [&] {
                return n.Move(f.native.usageLoc, product, -1, Move::Usage, "", 0, nullptr);
            });
    });
}

void Transfer_Engine(benchmark::State& state) {
    RunEngine(state, [&](Fixture& f, WSIDatabase* db) {
        BIInvTransfer t(db);
        t.InitBatch(f.engine.transferFrom.c_str(), f.engine.transferTo.c_str());
        for (auto _ : state)
            t.Transfer(f.engine.transferProduct, 1, false, true, true);
    });
}

void Transfer_Native(benchmark::State& state) {
    RunNative(state, [&](Fixture& f, Native& n, PGconn*) {
        n.NewBatch();
        for (auto _ : state)
            n.Atomic(state, [&] {
                return n.Move(f.native.transferFrom, f.native.transferProduct, -1, Move::Transfer,
                              "", 0, &f.native.transferTo);
            });
    });
}

// One count per iteration, each of another product; after the last product a new batch
// counts them all back to 10.
void Count_Engine(benchmark::State& state) {
    RunEngine(state, [&](Fixture& f, WSIDatabase* db) {
        auto count = std::make_unique<BIInvCount>(db);
        count->InitBatch(f.engine.countLoc.c_str(), "");
        std::size_t n = 0;
        short counted = 9;
        for (auto _ : state) {
            if (n == f.engine.countProducts.size()) {
                state.PauseTiming();
                count = std::make_unique<BIInvCount>(db);
                count->InitBatch(f.engine.countLoc.c_str(), "");
                n = 0;
                counted = counted == 9 ? 10 : 9;
                state.ResumeTiming();
            }
            count->CountProduct(f.engine.countLoc.c_str(), f.engine.countProducts[n++], counted,
                                kCountCode);
        }
    });
}

void Count_Native(benchmark::State& state) {
    RunNative(state, [&](Fixture& f, Native& n, PGconn*) {
        n.NewBatch();
        std::size_t i = 0;
        short counted = 9;
        for (auto _ : state) {
            if (i == f.native.countProducts.size()) {
                n.NewBatch();
                i = 0;
                counted = counted == 9 ? 10 : 9;
            }
            const long p = f.native.countProducts[i++];
            n.Atomic(state, [&] { return n.Count(f.native.countLoc, p, counted); });
        }
    });
}

// ---------------------------------------------------------------------------------------
// The list views.

InventorySearchParameters Defaults() {
    InventorySearchParameters p;
    p.openStatus = -1;
    p.closedStatus = -1;
    p.itemType = -1;
    return p;
}

struct ListCase {
    const char* name;
    std::string (*sql)(WSIDatabase*, const Fixture&);
};

std::string PendingList(WSIDatabase* db, const Fixture&) {
    return tavel::views::PendingOrdersSql(db, Defaults(), false);
}
std::string LevelsList(WSIDatabase* db, const Fixture& f) {
    InventorySearchParameters p = Defaults();
    std::snprintf(p.location, sizeof p.location, "%s", f.levelsLoc.c_str());
    p.showOrderQuantities = true;
    p.perLocation = true;
    return tavel::views::LevelsSql(db, p);
}
std::string ReceivedList(WSIDatabase* db, const Fixture& f) {
    InventorySearchParameters p = Defaults();
    p.fromDate = f.monthFrom;
    p.toDate = f.monthTo;
    return tavel::views::ReceivedSql(db, p);
}
std::string UsageList(WSIDatabase* db, const Fixture& f) {
    InventorySearchParameters p = Defaults();
    p.fromDate = f.monthFrom;
    p.toDate = f.monthTo;
    return tavel::views::UsageSql(db, p);
}

template <class Row> void EngineList(benchmark::State& state, const ListCase& lc) {
    RunEngine(state, [&](Fixture& f, WSIDatabase* db) {
        const std::string sql = lc.sql(db, f);
        Row row{};
        long rows = 0;
        for (auto _ : state) {
            rows = 0;
            auto q =
                db->Query(__FILE__, __LINE__, "%s", WSIResult(Row::Table(), &row), sql.c_str());
            for (bool more = q->GetFirst(); more; more = q->GetNext())
                ++rows;
            benchmark::DoNotOptimize(row);
        }
        state.counters["rows"] = static_cast<double>(rows);
        if (rows == 0)
            state.SkipWithError("the list is empty");
    });
}

void NativeList(benchmark::State& state, const ListCase& lc) {
    auto db = OpenEngine(state); // composes the view's statement only
    if (!db)
        return;
    const std::string text = sqldialect::TranslateToText(
        lc.sql(db.get(), Shared()), sqldialect::Target::PostgreSQL, tavel::RegisteredSchemaHints());
    db.reset();
    RunNative(state, [&](Fixture&, Native&, PGconn* c) {
        long rows = 0;
        std::size_t bytes = 0;
        for (auto _ : state) {
            Result r(PQexec(c, text.c_str()));
            if (!bench::pg::ResultOk(c, r.get(), text.c_str()))
                break;
            rows = PQntuples(r.get());
            const int cols = PQnfields(r.get());
            for (int i = 0; i < rows; ++i)
                for (int j = 0; j < cols; ++j)
                    bytes += static_cast<std::size_t>(PQgetlength(r.get(), i, j));
        }
        benchmark::DoNotOptimize(bytes);
        state.counters["rows"] = static_cast<double>(rows);
        if (rows == 0)
            state.SkipWithError("the list is empty");
    });
}

const ListCase kLists[] = {
    {"PendingList", PendingList},
    {"LevelsOrdersList", LevelsList},
    {"ReceivedMonthList", ReceivedList},
    {"UsageMonthList", UsageList},
};

void Register() {
    using benchmark::RegisterBenchmark;
    RegisterBenchmark("ReceiveLine_Engine", ReceiveLine_Engine)->Unit(benchmark::kMicrosecond);
    RegisterBenchmark("ReceiveLine_Native", ReceiveLine_Native)->Unit(benchmark::kMicrosecond);
    RegisterBenchmark("Usage_Engine", Usage_Engine)
        ->ArgName("method")
        ->DenseRange(0, 3)
        ->Unit(benchmark::kMicrosecond);
    RegisterBenchmark("Usage_Native", Usage_Native)
        ->ArgName("method")
        ->DenseRange(0, 3)
        ->Unit(benchmark::kMicrosecond);
    RegisterBenchmark("Transfer_Engine", Transfer_Engine)->Unit(benchmark::kMicrosecond);
    RegisterBenchmark("Transfer_Native", Transfer_Native)->Unit(benchmark::kMicrosecond);
    RegisterBenchmark("Count_Engine", Count_Engine)->Unit(benchmark::kMicrosecond);
    RegisterBenchmark("Count_Native", Count_Native)->Unit(benchmark::kMicrosecond);
    for (const ListCase& lc : kLists) {
        const std::string name = lc.name;
        auto* e = RegisterBenchmark((name + "_Engine").c_str(), [&lc](benchmark::State& s) {
            if (&lc == &kLists[0])
                EngineList<WSIInvOrderData>(s, lc);
            else if (&lc == &kLists[1])
                EngineList<WSILevelsData>(s, lc);
            else if (&lc == &kLists[2])
                EngineList<WSIReceivedData>(s, lc);
            else
                EngineList<WSIUsageData>(s, lc);
        });
        auto* n = RegisterBenchmark((name + "_Native").c_str(),
                                    [&lc](benchmark::State& s) { NativeList(s, lc); });
        for (auto* b : {e, n})
            b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
    }
}

} // namespace

int main(int argc, char** argv) {
    Register();
    std::vector<bench::Pair> pairs = {{"ReceiveLine_Engine", "ReceiveLine_Native", 3, 1.5}};
    pairs.push_back({"Transfer_Engine", "Transfer_Native", 3, 1.5});
    pairs.push_back({"Count_Engine", "Count_Native", 3, 1.5});
    // The names of the usage and list pairs, all made before the pairs point at them.
    static std::vector<std::string> names;
    for (int method = 0; method < 4; ++method)
        for (const char* side : {"Usage_Engine/method:", "Usage_Native/method:"})
            names.push_back(side + N(method));
    for (const ListCase& lc : kLists)
        for (const char* side : {"_Engine", "_Native"})
            names.push_back(lc.name + std::string(side));
    for (std::size_t i = 0; i < names.size(); i += 2)
        pairs.push_back({names[i].c_str(), names[i + 1].c_str(), i < 8 ? 3.0 : 0.0, 1.5});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::PairReporter reporter(std::move(pairs));
    reporter.byWall = true;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (bench::pg::failures != 0) {
        std::fprintf(stderr, "%ld hand-written statements failed\n", bench::pg::failures);
        return 1;
    }
    return 0;
}

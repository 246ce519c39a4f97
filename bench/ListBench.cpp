// Queries a user waits for, on the generated data: the list views of the inventory screen
// (pending lines, levels at one location with order quantities, levels summed over all
// locations, one month received, one month of usage), opening an internal order of 1,200
// lines, and the order suggestions for one vendor at one location. Each engine query runs
// through the database service to its last row, against the same query written by hand
// for SQLite whose every column is read as well.
//
// The list-view statements are the views' own (InventoryListQueries) for the search
// parameters a user starts from.

#include "BIInvOrder.h"
#include "BenchCommon.h"
#include "InventoryListQueries.h"
#include "OrderSuggestions.h"
#include "Records.h"
#include "WSIDatabase.h"
#include "WSITable.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kOrderLines = 1200;

struct Fixture {
    std::unique_ptr<bench::DataCopy> copy;
    std::string levelsLoc;          // the location with the most products
    std::string monthFrom, monthTo; // last calendar month, as stored
    long internalOrder = 0;         // the 1,200-line order made for the benchmark
    long vendor = 0;
    bool ok = false;
};

std::string Text(sqlite3* db, const char* sql) {
    bench::Stmt s(db, sql);
    std::string v = s.Row() ? s.Text(0) : "";
    return v;
}

// An internal order of 1,200 lines from the store room to a supply room, written natively.
long MakeOrder(sqlite3* db, const std::string& from) {
    const std::string to = Text(db, "SELECT \"InvLoc\" FROM INVLOC WHERE \"Type\" = 1 ORDER BY 1");
    bench::Exec(db, "INSERT INTO AUDITHIS (\"User\", \"Date\", \"Operation\", \"TableName\") "
                    "VALUES (1, date('now'), 1, 'INVORDER')");
    const long long audit = sqlite3_last_insert_rowid(db);
    bench::Stmt order(db, "INSERT INTO INVORDER (\"IsExternal\", \"InvLoc\", \"InvLocFrom\", "
                          "\"Vendor\", \"PONumber\", \"InvOType\", \"SpecialOrder\", \"Date\", "
                          "\"ApprovalUser\", \"Recurs\", \"Audit\", \"Inactive\") VALUES (0, ?1, "
                          "?2, 0, '', 'INT', 0, date('now'), 1, 0, ?3, 0)");
    order.T(1, to.c_str()).T(2, from.c_str()).I(3, audit).Done();
    const long long id = sqlite3_last_insert_rowid(db);
    bench::Stmt line(db, "INSERT INTO INVORDIT (\"InvOrder\", \"Item\", \"Product\", "
                         "\"Description\", \"Quantity\", \"Unit\", \"CostPerUnit\", "
                         "\"QtyFilled\", \"Status\", \"NeedBy\", \"Comment\", \"WasBackOrdered\", "
                         "\"PickList\", \"StockedAtLoc\", \"StockedAtFrom\") SELECT ?1, ?2, "
                         "\"Product\", \"Description\", 5, \"Unit\", \"CostPerUnit\", 0, 0, "
                         "date('now', '+7 days'), 'Line ' || ?2, 0, 0, 1, 1 FROM PRODUCT "
                         "WHERE \"Product\" = ?3");
    bench::Stmt products(db, "SELECT \"Product\" FROM PRODUCT ORDER BY \"Product\" LIMIT ?1");
    products.I(1, kOrderLines);
    int item = 0;
    while (products.Row())
        line.I(1, id).I(2, ++item).I(3, products.Int(0)).Done();
    products.Reset();
    return item == kOrderLines ? static_cast<long>(id) : 0;
}

Fixture& Shared() {
    static Fixture f;
    if (f.copy)
        return f;
    f.copy = std::make_unique<bench::DataCopy>("tavel_list_bench.db");
    if (!f.copy->Ok())
        return f;
    const bench::NativeDb conn = bench::OpenNative(f.copy->Path());
    sqlite3* db = conn.get();
    f.levelsLoc = Text(db, "SELECT \"InvLoc\" FROM PRDLOC WHERE \"InvLoc\" <> ' ' GROUP BY "
                           "\"InvLoc\" ORDER BY COUNT(1) DESC, 1 LIMIT 1");
    f.monthFrom = Text(db, "SELECT date('now', 'start of month', '-1 month')");
    f.monthTo = Text(db, "SELECT date('now', 'start of month', '-1 day')");
    {
        bench::Stmt v(db, "SELECT \"Vendor\" FROM PRODUCT GROUP BY \"Vendor\" ORDER BY "
                          "ABS(COUNT(1) - 500), 1 LIMIT 1");
        f.vendor = static_cast<long>(v.One());
    }
    bench::Exec(db, "BEGIN");
    f.internalOrder = MakeOrder(db, f.levelsLoc);
    bench::Exec(db, "COMMIT");
    f.ok = bench::Stmt::failures == 0 && f.internalOrder != 0 && !f.levelsLoc.empty();
    return f;
}

WSIDate DateOf(const std::string& iso) {
    WSIDate d;
    d.year = static_cast<short>(std::stoi(iso.substr(0, 4)));
    d.month = static_cast<short>(std::stoi(iso.substr(5, 2)));
    d.day = static_cast<short>(std::stoi(iso.substr(8, 2)));
    return d;
}

// ---------------------------------------------------------------------------------------
// The engine side: the views' own statements for their search parameters (every status,
// type and active row; the month or the location where the view has one), run to the
// last row.

std::string PendingSql(WSIDatabase* db) {
    return tavel::views::PendingOrdersSql(db, InventorySearchParameters::AnyStatus(), false);
}

std::string LevelsByLocationSql(WSIDatabase* db, const std::string& loc) {
    InventorySearchParameters p = InventorySearchParameters::AnyStatus();
    std::snprintf(p.location, sizeof p.location, "%s", loc.c_str());
    p.showOrderQuantities = true;
    return tavel::views::LevelsSql(db, p);
}

std::string LevelsSummarySql(WSIDatabase* db) {
    return tavel::views::LevelsSql(db, InventorySearchParameters::AnyStatus());
}

InventorySearchParameters MonthParameters(const Fixture& f) {
    InventorySearchParameters p = InventorySearchParameters::AnyStatus();
    p.fromDate = DateOf(f.monthFrom);
    p.toDate = DateOf(f.monthTo);
    return p;
}

std::string ReceivedSql(WSIDatabase* db, const Fixture& f) {
    return tavel::views::ReceivedSql(db, MonthParameters(f));
}

std::string UsageSql(WSIDatabase* db, const Fixture& f) {
    return tavel::views::UsageSql(db, MonthParameters(f));
}

// Runs `sql` into a row of type Row to the last row; the row count is the counter.
template <class Row>
void RunView(benchmark::State& state, WSIDatabase& db, const std::string& sql) {
    Row row{};
    long rows = 0;
    for (auto _ : state) {
        rows = 0;
        auto q = db.Query(__FILE__, __LINE__, "%s", WSIResult(Row::Table(), &row), sql.c_str());
        for (bool more = q->GetFirst(); more; more = q->GetNext())
            ++rows;
        benchmark::DoNotOptimize(row);
    }
    state.counters["rows"] = static_cast<double>(rows);
    if (rows == 0)
        state.SkipWithError("the query returned no rows");
}

// One list query through the service: the statement is built as the view builds it, on
// the engine's own connection, then read to its last row.
template <class Row, class BuildSql> void EngineView(benchmark::State& state, BuildSql build) {
    Fixture& f = Shared();
    auto db = bench::OpenEngine(state, f);
    if (!db)
        return;
    RunView<Row>(state, *db, build(db.get(), f));
}

void Pending_Engine(benchmark::State& state) {
    EngineView<WSIInvOrderData>(state, [](WSIDatabase* db, Fixture&) { return PendingSql(db); });
}

void LevelsByLocation_Engine(benchmark::State& state) {
    EngineView<WSILevelsData>(
        state, [](WSIDatabase* db, Fixture& f) { return LevelsByLocationSql(db, f.levelsLoc); });
}

void LevelsSummary_Engine(benchmark::State& state) {
    EngineView<WSILevelsData>(state,
                              [](WSIDatabase* db, Fixture&) { return LevelsSummarySql(db); });
}

void Received_Engine(benchmark::State& state) {
    EngineView<WSIReceivedData>(state,
                                [](WSIDatabase* db, Fixture& f) { return ReceivedSql(db, f); });
}

void Usage_Engine(benchmark::State& state) {
    EngineView<WSIUsageData>(state, [](WSIDatabase* db, Fixture& f) { return UsageSql(db, f); });
}

void Suggestions_Engine(benchmark::State& state) {
    EngineView<WSIVendorRequestsData>(state, [](WSIDatabase*, Fixture& f) {
        return tavel::orders::SuggestionSql(0, f.vendor, nullptr, f.levelsLoc.c_str());
    });
}

void OpenOrder_Engine(benchmark::State& state) {
    Fixture& f = Shared();
    auto db = bench::OpenEngine(state, f);
    if (!db)
        return;
    long rows = 0;
    for (auto _ : state) {
        BIInvOrder order(db.get());
        if (!order.FindOrder(f.internalOrder))
            break;
        rows = 0;
        while (order.GetNextOrderRow())
            ++rows;
    }
    state.counters["rows"] = static_cast<double>(rows);
    if (rows != kOrderLines)
        state.SkipWithError("the order did not open with all its lines");
}

// ---------------------------------------------------------------------------------------
// The hand-written side: the same queries for SQLite, every column read.

constexpr const char kOpenStatuses[] = "(0,1,2,3,5,8,9)";

const std::string kNativePending =
    std::string("SELECT O.\"InvOrder\", I.\"InvOrdIt\", O.\"IsExternal\", O.\"InvLoc\", "
                "O.\"Vendor\", O.\"PONumber\", O.\"InvLocFrom\", O.\"InvOType\", "
                "O.\"SpecialOrder\", O.\"Date\", O.\"Inactive\", O.\"ApprovalUser\", I.\"Item\", "
                "I.\"Product\", I.\"Quantity\", I.\"Unit\", I.\"NeedBy\", "
                "trim(substr(ifnull(I.\"Comment\", ' '), 1, 128)), I.\"Status\", "
                "I.\"QtyFilled\", I.\"Description\", O.\"Audit\", NULL, "
                "ifnull(P.\"ProductCode\", ' '), ifnull(P.\"CostPerUnit\", 0), "
                "ifnull(PL.\"Bin\", ' '), ifnull(V.\"Name\", ' '), ifnull(PL.\"Stocked\", 0), "
                "ifnull(PL.\"TrackUsage\", 0), ifnull(PL.\"Balance\", 0), "
                "ifnull(PL.\"LastCount\", 0), A.\"User\", U.\"Name\", U.\"First\", U.\"Middle\" "
                "FROM INVORDER O JOIN INVORDIT I ON I.\"InvOrder\" = O.\"InvOrder\" "
                "JOIN AUDITHIS A ON A.\"Audit\" = O.\"Audit\" JOIN USERS U ON U.\"User\" = "
                "A.\"User\" LEFT JOIN PRODUCT P ON P.\"Product\" = I.\"Product\" "
                "LEFT JOIN PRDLOC PL ON PL.\"Product\" = I.\"Product\" AND PL.\"InvLoc\" = "
                "O.\"InvLocFrom\" LEFT JOIN VENDOR V ON V.\"Vendor\" = O.\"Vendor\" "
                "WHERE O.\"IsExternal\" = 0 AND I.\"Status\" IN ") +
    kOpenStatuses + " AND O.\"Inactive\" = 0 ORDER BY O.\"Date\", O.\"InvOrder\", I.\"Item\"";

// What internal orders ask of a location, and what a location has on order.
constexpr const char kNativeOrders[] =
    "(SELECT it.\"Product\", i.\"InvLocFrom\", SUM(it.\"Quantity\" - it.\"QtyFilled\") \"Qty\" "
    "FROM INVORDER i JOIN INVORDIT it ON it.\"InvOrder\" = i.\"InvOrder\" JOIN INVOTYPE t ON "
    "t.\"InvOType\" = i.\"InvOType\" WHERE t.\"IsExternal\" = 0 AND i.\"Recurs\" IN (0, 2) AND "
    "i.\"Date\" <= date('now') AND i.\"Inactive\" = 0 AND it.\"Status\" IN (0,8,9,1,5,3) "
    "GROUP BY it.\"Product\", i.\"InvLocFrom\") Orders";
constexpr const char kNativeOnOrder[] =
    "(SELECT it.\"Product\", i.\"InvLoc\", SUM(it.\"Quantity\" - it.\"QtyFilled\") \"Qty\" FROM "
    "INVORDER i JOIN INVORDIT it ON it.\"InvOrder\" = i.\"InvOrder\" JOIN INVOTYPE t ON "
    "t.\"InvOType\" = i.\"InvOType\" WHERE i.\"Recurs\" IN (0, 2) AND i.\"Date\" <= "
    "date('now') AND i.\"Inactive\" = 0 AND it.\"Status\" IN (0,8,9,1,5,3) GROUP BY "
    "it.\"Product\", i.\"InvLoc\") OnOrder";

const std::string kNativeLevelsByLocation =
    std::string("SELECT PL.\"Product\", PL.\"InvLoc\", PL.\"Bin\", PL.\"TrackUsage\", "
                "PL.\"Balance\", PL.\"LastCount\", PL.\"ReorderCount\", PL.\"Inactive\", "
                "PL.\"MinToOrder\", PL.\"StdToOrder\", PT.\"Description\", PC.\"Description\", "
                "P.\"ProductCode\", P.\"Description\", P.\"Unit\", V.\"Name\", Orders.\"Qty\", "
                "OnOrder.\"Qty\" FROM PRDLOC PL JOIN PRODUCT P ON P.\"Product\" = PL.\"Product\" "
                "JOIN PRDTYPE PT ON PT.\"PrdType\" = P.\"PrdType\" JOIN PRDCAT PC ON "
                "PC.\"PrdType\" = P.\"PrdType\" AND PC.\"PrdCat\" = P.\"PrdCat\" LEFT JOIN "
                "VENDOR V ON V.\"Vendor\" = P.\"Vendor\" LEFT JOIN ") +
    kNativeOrders +
    " ON Orders.\"Product\" = PL.\"Product\" AND Orders.\"InvLocFrom\" = PL.\"InvLoc\" "
    "LEFT JOIN " +
    kNativeOnOrder +
    " ON OnOrder.\"Product\" = PL.\"Product\" AND OnOrder.\"InvLoc\" = PL.\"InvLoc\" WHERE "
    "PL.\"InvLoc\" = ?1 AND PL.\"Inactive\" = 0 ORDER BY PL.\"InvLoc\", PT.\"Description\", "
    "PC.\"Description\", P.\"ProductCode\"";

constexpr const char kNativeLevelsSummary[] =
    "SELECT PL.\"Product\", ' ', ' ', PL.\"TrackUsage\", PL.\"Balance\", PL.\"LastCount\", 0, 0, "
    "0, 0, PT.\"Description\", PC.\"Description\", P.\"ProductCode\", P.\"Description\", "
    "P.\"Unit\", V.\"Name\", 0, 0 FROM (SELECT \"Product\", SUM(CASE WHEN \"TrackUsage\" = 1 "
    "THEN \"Balance\" ELSE 0 END) \"Balance\", SUM(CASE WHEN \"TrackUsage\" = 0 THEN "
    "\"LastCount\" ELSE 0 END) \"LastCount\", SUM(\"TrackUsage\") \"TrackUsage\" FROM PRDLOC "
    "WHERE trim(\"InvLoc\") <> '' AND \"Inactive\" = 0 GROUP BY \"Product\") PL JOIN PRODUCT P "
    "ON P.\"Product\" = PL.\"Product\" JOIN PRDTYPE PT ON PT.\"PrdType\" = P.\"PrdType\" JOIN "
    "PRDCAT PC ON PC.\"PrdType\" = P.\"PrdType\" AND PC.\"PrdCat\" = P.\"PrdCat\" LEFT JOIN "
    "VENDOR V ON V.\"Vendor\" = P.\"Vendor\" ORDER BY PT.\"Description\", PC.\"Description\", "
    "P.\"ProductCode\"";

constexpr const char kNativeReceived[] =
    "SELECT II.*, CASE WHEN II.\"Type\" = 0 THEN IR.\"Date\" ELSE A.\"Date\" END, "
    "IR.\"PONumber\", V.\"Name\", P.\"ProductCode\", P.\"Description\", P.\"IsDividable\", "
    "P.\"TrackExpiryDate\", O.\"InvLoc\", A2.\"User\", U.\"Name\", U.\"First\", U.\"Middle\" "
    "FROM INVITEM II JOIN AUDITHIS A ON A.\"Audit\" = II.\"Audit\" JOIN PRODUCT P ON "
    "P.\"Product\" = II.\"Product\" LEFT JOIN INVREC IR ON IR.\"InvRec\" = II.\"InvRec\" LEFT "
    "JOIN VENDOR V ON V.\"Vendor\" = IR.\"Vendor\" LEFT JOIN INVORDIT OT ON OT.\"InvOrdIt\" = "
    "II.\"InvOrdIt\" LEFT JOIN INVORDER O ON O.\"InvOrder\" = OT.\"InvOrder\" LEFT JOIN AUDITHIS "
    "A2 ON A2.\"Audit\" = O.\"Audit\" LEFT JOIN USERS U ON U.\"User\" = A2.\"User\" WHERE CASE "
    "WHEN II.\"Type\" = 0 THEN IR.\"Date\" ELSE A.\"Date\" END BETWEEN ?1 AND ?2 AND "
    "II.\"InvItem\" IN (SELECT X.\"InvItem\" FROM INVREC R JOIN INVITEM X ON X.\"InvRec\" = "
    "R.\"InvRec\" WHERE R.\"Date\" BETWEEN ?1 AND ?2 UNION ALL SELECT X.\"InvItem\" FROM "
    "AUDITHIS H JOIN INVITEM X ON X.\"Audit\" = H.\"Audit\" WHERE H.\"Date\" BETWEEN ?1 AND ?2) "
    "ORDER BY "
    "II.\"InvLoc\", A.\"Date\", P.\"ProductCode\", II.\"Type\", II.\"Audit\"";

constexpr const char kNativeUsage[] =
    "SELECT ID.*, II.\"InvLoc\", A.\"Date\", PT.\"Description\", PC.\"Description\", "
    "P.\"Product\", P.\"ProductCode\", P.\"Description\" FROM INVITDET ID JOIN AUDITHIS A ON "
    "A.\"Audit\" = ID.\"Audit\" JOIN INVITEM II ON II.\"InvItem\" = ID.\"InvItem\" JOIN PRODUCT "
    "P ON P.\"Product\" = II.\"Product\" JOIN PRDTYPE PT ON PT.\"PrdType\" = P.\"PrdType\" JOIN "
    "PRDCAT PC ON PC.\"PrdType\" = P.\"PrdType\" AND PC.\"PrdCat\" = P.\"PrdCat\" WHERE "
    "ID.\"Type\" = 3 AND A.\"Date\" BETWEEN ?1 AND ?2 ORDER BY II.\"InvLoc\", A.\"Date\", "
    "PT.\"Description\", PC.\"Description\", P.\"ProductCode\"";

const std::string kNativeSuggestions =
    std::string("SELECT P.\"Product\", P.\"ProductCode\", P.\"PrdCat\", C.\"Description\" "
                "\"CategoryDesc\", P.\"Description\", P.\"Unit\", P.\"CostPerUnit\", "
                "P.\"InvOType\", PL.\"Stocked\", PL.\"TrackUsage\", PL.\"Balance\", "
                "PL.\"LastCount\", Orders.\"Qty\", PL.\"MinCount\", 0, PL.\"ReorderCount\", 0, "
                "PL.\"MinToOrder\", PL.\"StdToOrder\", 0, OnOrder.\"Qty\" FROM PRODUCT P JOIN "
                "PRDCAT C ON C.\"PrdType\" = P.\"PrdType\" AND C.\"PrdCat\" = P.\"PrdCat\" LEFT "
                "JOIN PRDLOC PL ON PL.\"Product\" = P.\"Product\" AND PL.\"InvLoc\" = ?2 AND "
                "PL.\"Inactive\" = 0 LEFT JOIN ") +
    kNativeOrders +
    " ON Orders.\"Product\" = P.\"Product\" AND Orders.\"InvLocFrom\" = ?2 LEFT JOIN " +
    kNativeOnOrder +
    " ON OnOrder.\"Product\" = P.\"Product\" AND OnOrder.\"InvLoc\" = ?2 WHERE P.\"Vendor\" = "
    "?1 AND P.\"Inactive\" = 0 AND C.\"Inactive\" = 0 ORDER BY \"CategoryDesc\", "
    "P.\"ProductCode\", P.\"InvOType\"";

constexpr const char kNativeOrderHeader[] = "SELECT * FROM INVORDER WHERE \"InvOrder\" = ?1";
constexpr const char kNativeOrderLines[] =
    "SELECT I.\"InvOrdIt\", I.\"Item\", P.\"Product\", C.\"Description\", P.\"ProductCode\", "
    "I.\"Description\", I.\"Quantity\", I.\"Unit\", I.\"QtyFilled\", I.\"Status\", I.\"NeedBy\", "
    "trim(substr(ifnull(I.\"Comment\", ' '), 1, 128)) FROM INVORDIT I LEFT JOIN PRODUCT P ON "
    "P.\"Product\" = I.\"Product\" LEFT JOIN PRDCAT C ON C.\"PrdType\" = P.\"PrdType\" AND "
    "C.\"PrdCat\" = P.\"PrdCat\" WHERE I.\"InvOrder\" = ?1 ORDER BY I.\"Item\"";

// Steps to the last row reading every column as its declared kind would be read.
long Drain(bench::Stmt& s) {
    long rows = 0;
    const int n = sqlite3_column_count(s.s);
    while (s.Row()) {
        ++rows;
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(s.s, c)) {
            case SQLITE_INTEGER:
                benchmark::DoNotOptimize(sqlite3_column_int64(s.s, c));
                break;
            case SQLITE_FLOAT:
                benchmark::DoNotOptimize(sqlite3_column_double(s.s, c));
                break;
            case SQLITE_TEXT:
                benchmark::DoNotOptimize(sqlite3_column_text(s.s, c));
                break;
            default:
                break;
            }
        }
    }
    s.Reset();
    return rows;
}

// A native connection mapped like the service's, so that both sides read pages alike.
bench::NativeDb OpenMapped(const std::string& path) {
    bench::NativeDb db = bench::OpenNative(path);
    if (db)
        bench::Exec(db.get(), "PRAGMA mmap_size=1073741824");
    return db;
}

// Binds: 0 none, 1 the levels location, 2 the month, 3 vendor and location.
void RunNative(benchmark::State& state, const std::string& sql, int binds) {
    Fixture& f = Shared();
    if (!f.ok) {
        state.SkipWithError("no data copy");
        return;
    }
    const bench::NativeDb conn = OpenMapped(f.copy->Path());
    sqlite3* db = conn.get();
    long rows = 0;
    {
        bench::Stmt s(db, sql.c_str());
        for (auto _ : state) {
            if (binds == 1)
                s.T(1, f.levelsLoc.c_str());
            else if (binds == 2)
                s.T(1, f.monthFrom.c_str()).T(2, f.monthTo.c_str());
            else if (binds == 3)
                s.I(1, f.vendor).T(2, f.levelsLoc.c_str());
            rows = Drain(s);
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
    if (rows == 0)
        state.SkipWithError("the query returned no rows");
}

void Pending_Native(benchmark::State& state) {
    RunNative(state, kNativePending, 0);
}
void LevelsByLocation_Native(benchmark::State& state) {
    RunNative(state, kNativeLevelsByLocation, 1);
}
void LevelsSummary_Native(benchmark::State& state) {
    RunNative(state, kNativeLevelsSummary, 0);
}
void Received_Native(benchmark::State& state) {
    RunNative(state, kNativeReceived, 2);
}
void Usage_Native(benchmark::State& state) {
    RunNative(state, kNativeUsage, 2);
}
void Suggestions_Native(benchmark::State& state) {
    RunNative(state, kNativeSuggestions, 3);
}

void OpenOrder_Native(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.ok) {
        state.SkipWithError("no data copy");
        return;
    }
    const bench::NativeDb conn = OpenMapped(f.copy->Path());
    sqlite3* db = conn.get();
    long rows = 0;
    {
        bench::Stmt header(db, kNativeOrderHeader), lines(db, kNativeOrderLines);
        for (auto _ : state) {
            header.I(1, f.internalOrder);
            Drain(header);
            lines.I(1, f.internalOrder);
            rows = Drain(lines);
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
    if (rows != kOrderLines)
        state.SkipWithError("the order did not open with all its lines");
}

void Register() {
    const std::pair<const char*, void (*)(benchmark::State&)> all[] = {
        {"Pending_Engine", Pending_Engine},
        {"Pending_Native", Pending_Native},
        {"LevelsByLocation_Engine", LevelsByLocation_Engine},
        {"LevelsByLocation_Native", LevelsByLocation_Native},
        {"LevelsSummary_Engine", LevelsSummary_Engine},
        {"LevelsSummary_Native", LevelsSummary_Native},
        {"ReceivedMonth_Engine", Received_Engine},
        {"ReceivedMonth_Native", Received_Native},
        {"UsageMonth_Engine", Usage_Engine},
        {"UsageMonth_Native", Usage_Native},
        {"Suggestions_Engine", Suggestions_Engine},
        {"Suggestions_Native", Suggestions_Native},
        {"OpenOrder1200_Engine", OpenOrder_Engine},
        {"OpenOrder1200_Native", OpenOrder_Native},
    };
    for (const auto& [name, fn] : all)
        // Each runs for seconds on this data: one repetition of at least one iteration.
        benchmark::RegisterBenchmark(name, fn)->Repetitions(1)->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
    Register();
    return bench::RunAll(argc, argv,
                         {
                             {"Pending_Engine", "Pending_Native", 500, 1.5},
                             {"LevelsByLocation_Engine", "LevelsByLocation_Native", 500, 1.5},
                             {"LevelsSummary_Engine", "LevelsSummary_Native", 500, 1.5},
                             // The whole month; the screen paints its first rows sooner.
                             {"ReceivedMonth_Engine", "ReceivedMonth_Native", 2000, 1.5},
                             {"UsageMonth_Engine", "UsageMonth_Native", 1000, 1.5},
                             {"Suggestions_Engine", "Suggestions_Native", 500, 1.5},
                             {"OpenOrder1200_Engine", "OpenOrder1200_Native", 100, 0},
                         });
}

#include "Schema.h"

#include "Emit.h"
#include "PgConnection.h"
#include "Records.h"
#include "SqliteFunctions.h"
#include "WSIDatabase.h"

#include <sqlite3.h>

#include <cctype>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

namespace tavel {
namespace {

// An order type can carry its own printed-order layout: the bytes of a report file.
// Records hold no blobs, so the column lives beside the record's columns and is read
// and written with its own statements.
constexpr const char* kExtraColumns[][3] = {
    {"INVOTYPE", "ReportLayout", "BLOB"},
};

struct ViewDef {
    const TableDesc& (*row)(); // the view's row; its name is the view's name
    const char* select;        // SQLite SQL; aliases name the row's columns in order
};

// A product's description wins over an order line's, which names only items outside the
// catalogue. Category descriptions come through the product, so they are null for those.
const ViewDef kViews[] = {
    {&WSIInvOrderView::Table,
     R"(SELECT O."InvOrder" AS INVORDER, O."Inactive" AS INACTIVE, O."PONumber" AS PONUMBER,
       O."Date" AS PODATE, V."Name" AS VENDORNAME, I."InvOrdIt" AS INVORDIT, I."Item" AS ITEM,
       I."Status" AS STATUS, I."Product" AS PRODUCTID, C."Description" AS CATEGORY,
       P."ProductCode" AS PRODUCTCODE, COALESCE(P."Description", I."Description") AS DESCRIPTION,
       P."UPCCode" AS UPCCODE, I."Quantity" AS ORDERQTY, I."Unit" AS UNIT,
       I."QtyFilled" AS QTYFILLED
  FROM INVORDIT I
  JOIN INVORDER O ON O."InvOrder" = I."InvOrder"
  LEFT JOIN VENDOR V ON V."Vendor" = O."Vendor"
  LEFT JOIN PRODUCT P ON P."Product" = I."Product"
  LEFT JOIN PRDCAT C ON C."PrdType" = P."PrdType" AND C."PrdCat" = P."PrdCat")"},
    // Received stock items (type 0); an item received against an order carries the
    // order line's quantities.
    {&WSIInvReceiptView::Table,
     R"(SELECT R."InvRec" AS INVREC, R."InvLoc" AS INVLOC, R."Date" AS INVRECDATE,
       R."PONumber" AS PONUMBER, R."PODate" AS PODATE, V."Name" AS VENDORNAME,
       M."InvItem" AS INVITEM, I."Item" AS ITEM, M."Product" AS PRODUCTID,
       C."Description" AS CATEGORY, P."ProductCode" AS PRODUCTCODE,
       P."Description" AS DESCRIPTION, P."UPCCode" AS UPCCODE, I."Quantity" AS QUANTITY,
       M."Unit" AS UNIT, M."ExpiryDate" AS EXPIRYDATE, I."QtyFilled" AS QTYFILLED,
       M."Quantity" AS RECD
  FROM INVITEM M
  JOIN INVREC R ON R."InvRec" = M."InvRec"
  LEFT JOIN VENDOR V ON V."Vendor" = R."Vendor"
  LEFT JOIN PRODUCT P ON P."Product" = M."Product"
  LEFT JOIN PRDCAT C ON C."PrdType" = P."PrdType" AND C."PrdCat" = P."PrdCat"
  LEFT JOIN INVORDIT I ON I."InvOrdIt" = M."InvOrdIt"
 WHERE M."Type" = 0)"},
    // A fill creates a stock item of type 1 at the ordering location that names the
    // order line; the detail written with it (same audit entry) carries the batch and
    // the quantity that batch moved in. Details written later for the item (moving it
    // on) have other audit entries and stay out.
    {&WSIInvFillView::Table,
     R"(SELECT M."InvItem" AS INVITEM, D."BatchId" AS BATCHID, D."Quantity" AS FILLED,
       O."InvOrder" AS INVORDER, O."Inactive" AS INACTIVE, O."Date" AS PODATE,
       I."InvOrdIt" AS INVORDIT, I."Item" AS ITEM, I."Status" AS STATUS,
       I."PickList" AS PICKLIST, I."Product" AS PRODUCTID, P."ProductCode" AS PRODUCTCODE,
       COALESCE(P."Description", I."Description") AS DESCRIPTION, P."UPCCode" AS UPCCODE,
       I."Quantity" AS ORDERQTY, I."Unit" AS UNIT, I."QtyFilled" AS QTYFILLED,
       I."WasBackOrdered" AS WASBACKORDERED, PL."Bin" AS PRODUCTBIN
  FROM INVORDIT I
  JOIN INVORDER O ON O."InvOrder" = I."InvOrder"
  LEFT JOIN PRODUCT P ON P."Product" = I."Product"
  LEFT JOIN PRDLOC PL ON PL."Product" = I."Product" AND PL."InvLoc" = O."InvLocFrom"
  LEFT JOIN INVITEM M ON M."InvOrdIt" = I."InvOrdIt" AND M."InvLoc" = O."InvLoc"
                     AND M."Type" = 1
  LEFT JOIN INVITDET D ON D."InvItem" = M."InvItem" AND D."Type" = M."Type"
                      AND D."Audit" = M."Audit")"},
    {&WSIInvTransferView::Table,
     R"(SELECT M."InvItem" AS INVITEM, M."InvLoc" AS INVLOC, M."Product" AS PRODUCTID,
       C."Description" AS CATEGORY, P."ProductCode" AS PRODUCTCODE,
       P."Description" AS DESCRIPTION, P."UPCCode" AS UPCCODE,
       COALESCE(M."Unit", P."Unit") AS UNIT, M."Quantity" AS SCANNED, M."Audit" AS AUDITID
  FROM INVITEM M
  JOIN PRODUCT P ON P."Product" = M."Product"
  LEFT JOIN PRDCAT C ON C."PrdType" = P."PrdType" AND C."PrdCat" = P."PrdCat")"},
};

struct IndexDef {
    const char* name;
    const char* table;
    const char* columns;         // as written in the index
    const char* where = nullptr; // a partial index's condition
};

// The look-ups that stock operations and lists repeat row by row. Keys already index
// PRDLOC by product and location, PRDCAT by type and category, INVPRODMAP by product.
const IndexDef kIndexes[] = {
    {"IX_INVITEM_LOC_PRODUCT", "INVITEM", R"("InvLoc", "Product")"},
    // Carries what the average cost sums, so that they read the index alone.
    {"IX_INVITEM_PRODUCT", "INVITEM", R"("Product", "Balance", "CostPerUnit")"},
    {"IX_INVITEM_RECEIPT", "INVITEM", R"("InvRec", "Product")"},
    {"IX_INVITEM_ORDERLINE", "INVITEM", R"("InvOrdIt")"},
    {"IX_INVITDET_ITEM_BATCH", "INVITDET", R"("InvItem", "BatchId")"},
    {"IX_INVITDET_BATCH", "INVITDET", R"("BatchId")"},
    {"IX_INVITDET_PRODUCT_LOC", "INVITDET", R"("Product", "InvLoc", "Type")"},
    {"IX_INVITDET_ADJ", "INVITDET", R"("InvAdj")"},
    // A product's line in an order; the status and quantities carried let the levels
    // list's order quantities (sums over the open lines of every order) read it alone.
    {"IX_INVORDIT_ORDER_LINES", "INVORDIT",
     R"("InvOrder", "Product", "Status", "Quantity", "QtyFilled")"},
    {"IX_INVORDIT_PICKLIST_STATUS", "INVORDIT", R"("PickList", "Status")"},
    {"IX_INVORDIT_PRODUCT_STATUS", "INVORDIT", R"("Product", "Status")"},
    {"IX_INVORDER_PONUMBER", "INVORDER", R"("PONumber")"},
    {"IX_INVORDER_FROM", "INVORDER", R"("InvLocFrom")"},
    // The order-line lists sort by order date and order: read in this order, the rows
    // stream out and only each order's lines are sorted, so the first rows come at once.
    // Partial on the lists' own condition, so that date-range sums over every order
    // (the order quantities of the levels list) keep their faster plan.
    {"IX_INVORDER_DATE", "INVORDER", R"("Date", "InvOrder")", R"("IsExternal" IS NOT NULL)"},
    {"IX_PRODUCT_CODE", "PRODUCT", R"("ProductCode")"},
    {"IX_PRODUCT_UPC", "PRODUCT", R"("UPCCode")"},
    {"IX_PRODUCT_VENDOR", "PRODUCT", R"("Vendor")"},
    {"IX_PRODUCT_CATEGORY", "PRODUCT", R"("PrdType", "PrdCat")"},
    {"IX_PRDLOC_LOC", "PRDLOC", R"("InvLoc")"},
    {"IX_INVREC_LOC", "INVREC", R"("InvLoc")"},
    // A month of movements starts from the audit dates, not from every detail; the type
    // beside the audit leaves the other kinds of movement unread.
    {"IX_AUDITHIS_DATE", "AUDITHIS", R"("Date")"},
    {"IX_INVITDET_AUDIT_TYPE", "INVITDET", R"("Audit", "Type")"},
    // A month of stock items: receipts by their receipt's date, the rest by their audit's.
    {"IX_INVREC_DATE", "INVREC", R"("Date")"},
    {"IX_INVITEM_AUDIT", "INVITEM", R"("Audit")"},
};

// Indexes an earlier version created that one above now does the work of; an upgrade
// drops them, so that every write does not keep both up to date.
const char* const kRetiredIndexes[] = {"IX_INVITDET_AUDIT", "IX_INVORDIT_ORDER_PRODUCT"};

const char* const kSequences[] = {kBatchIdSequence, kPickListSequence};

std::string ErrorText(WSIDatabase& db) {
    return db.LastError();
}

// PostgreSQL folds unquoted names to lower case: tables, views, the views' columns
// (written unquoted in upper case), indexes and sequences live there in lower case.
std::string Folded(std::string_view name) {
    std::string s(name);
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The column names of a view's row as the server stores them.
std::string ServerColumnName(const char* name) {
    for (const char* c = name; *c; ++c)
        if (*c >= 'a' && *c <= 'z')
            return name;
    return Folded(name);
}

const char* ServerType(const char* sqliteType) {
    return std::string_view(sqliteType) == "BLOB" ? "bytea" : sqliteType;
}

bool Exec(WSIDatabase& db, const std::string& sql, const std::string& what, std::string& problem) {
    if (db.ExecNative(__FILE__, __LINE__, sql.c_str()))
        return true;
    problem = "cannot create " + what + ": " + ErrorText(db);
    return false;
}

// `create` is "CREATE INDEX " for a new schema, "CREATE INDEX IF NOT EXISTS " for an
// upgrade, which keeps the indexes a database already has.
bool CreateIndexes(WSIDatabase& db, const char* create, std::string& problem) {
    for (const IndexDef& ix : kIndexes) {
        std::string sql =
            std::string(create) + ix.name + " ON " + ix.table + " (" + ix.columns + ")";
        if (ix.where)
            sql += std::string(" WHERE ") + ix.where;
        if (!Exec(db, sql, std::string("index ") + ix.name, problem))
            return false;
    }
    return true;
}

bool DropRetiredIndexes(WSIDatabase& db, std::string& problem) {
    for (const char* name : kRetiredIndexes)
        if (!db.ExecNative(__FILE__, __LINE__,
                           (std::string("DROP INDEX IF EXISTS ") + name).c_str())) {
            problem = std::string("cannot drop index ") + name + ": " + ErrorText(db);
            return false;
        }
    return true;
}

// The version a database says it has; 0 when it has none.
int StoredVersion(WSIDatabase& db) {
    std::vector<std::vector<std::string>> rows;
    if (!db.QueryNative((std::string("SELECT \"Version\" FROM ") + kSchemaTable).c_str(), {},
                        rows) ||
        rows.empty() || rows[0].empty())
        return 0;
    return std::atoi(rows[0][0].c_str());
}

bool CreateObjects(WSIDatabase& db, std::string& problem) {
    const bool server = db.IsServer();
    if (server && !Exec(db, sqldialect::detail::kPostgresSupport, "the date function", problem))
        return false;
    for (const TableDesc* t : RecordTables()) {
        const std::string ddl = server ? tavel::db::PgCreateTableSql(*t) : CreateTableSql(*t);
        if (!Exec(db, ddl, std::string("table ") + t->name, problem))
            return false;
    }
    for (const auto& c : kExtraColumns) {
        std::string sql = std::string("ALTER TABLE ") + c[0] + " ADD COLUMN \"" + c[1] + "\" " +
                          (server ? ServerType(c[2]) : c[2]);
        if (!Exec(db, sql, std::string("column ") + c[0] + "." + c[1], problem))
            return false;
    }
    for (const ViewDef& v : kViews) {
        const char* name = v.row().name;
        if (!Exec(db, std::string("CREATE VIEW ") + name + " AS " + v.select,
                  std::string("view ") + name, problem))
            return false;
    }
    if (!CreateIndexes(db, "CREATE INDEX ", problem))
        return false;
    // Server sequences are native and transactional to create: they join the unit.
    if (server)
        for (const char* name : kSequences)
            if (!Exec(db, "CREATE SEQUENCE " + Folded(name), std::string("sequence ") + name,
                      problem))
                return false;
    std::string version = std::string("CREATE TABLE ") + kSchemaTable +
                          " (\"Version\" INTEGER NOT NULL); INSERT INTO " + kSchemaTable +
                          " (\"Version\") VALUES (" + std::to_string(kSchemaVersion) + ")";
    return Exec(db, version, "the schema version", problem);
}

// A prepared statement on the raw connection, for reading the catalogue of the file.
class Catalogue {
public:
    Catalogue(WSIDatabase& db, const char* sql) {
        sqlite3_prepare_v2(db.Handle(), sql, -1, &stmt_, nullptr);
    }
    ~Catalogue() { sqlite3_finalize(stmt_); }
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    // Reruns the statement with one text parameter.
    void Bind(const char* text) {
        sqlite3_reset(stmt_);
        sqlite3_bind_text(stmt_, 1, text, -1, SQLITE_TRANSIENT);
    }
    bool Next() { return stmt_ && sqlite3_step(stmt_) == SQLITE_ROW; }
    const char* Text(int col) {
        const unsigned char* t = sqlite3_column_text(stmt_, col);
        return t ? reinterpret_cast<const char*>(t) : "";
    }
    int Int(int col) { return sqlite3_column_int(stmt_, col); }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

bool ObjectExists(Catalogue& objects, const char* name) {
    objects.Bind(name);
    return objects.Next();
}

std::vector<std::string> ColumnNames(Catalogue& columns, const char* table) {
    std::vector<std::string> names;
    columns.Bind(table);
    while (columns.Next())
        names.emplace_back(columns.Text(0));
    return names;
}

bool Contains(const std::vector<std::string>& names, std::string_view name) {
    for (const std::string& n : names)
        if (n == name)
            return true;
    return false;
}

// Tables with every column of their records, views with their columns in order, and the
// indexes, as the engine's catalogue lists them: columnsOf(name) gives a table's or view's
// columns (none when it is missing), viewColumn(name) how the engine names a view column.
template <class ColumnsOf, class ViewColumn, class HasIndex>
std::string CheckCatalogue(ColumnsOf columnsOf, ViewColumn viewColumn, HasIndex hasIndex) {
    for (const TableDesc* t : RecordTables()) {
        std::vector<std::string> names = columnsOf(t->name);
        if (names.empty())
            return std::string("table ") + t->name + " is missing";
        for (std::size_t i = 0; i < t->count; ++i)
            if (!Contains(names, t->columns[i].name))
                return std::string("table ") + t->name + " has no column \"" + t->columns[i].name +
                       "\"";
    }
    for (const auto& c : kExtraColumns)
        if (!Contains(columnsOf(c[0]), c[1]))
            return std::string("table ") + c[0] + " has no column \"" + c[1] + "\"";
    for (const ViewDef& v : kViews) {
        const TableDesc& row = v.row();
        std::vector<std::string> names = columnsOf(row.name);
        if (names.empty())
            return std::string("view ") + row.name + " is missing";
        for (std::size_t i = 0; i < row.count; ++i)
            if (i >= names.size() || names[i] != viewColumn(row.columns[i].name))
                return std::string("view ") + row.name + " does not have column " +
                       row.columns[i].name + " in place " + std::to_string(i + 1);
        if (names.size() != row.count)
            return std::string("view ") + row.name + " has more columns than expected";
    }
    for (const IndexDef& ix : kIndexes)
        if (!hasIndex(ix.name))
            return std::string("index ") + ix.name + " is missing";
    return {};
}

std::string CheckObjects(WSIDatabase& db) {
    Catalogue objects(db, "SELECT type FROM sqlite_schema WHERE name = ?1");
    Catalogue columns(db, "SELECT name FROM pragma_table_info(?1) ORDER BY cid");
    return CheckCatalogue([&](const char* name) { return ColumnNames(columns, name); },
                          [](const char* column) { return std::string(column); },
                          [&](const char* name) { return ObjectExists(objects, name); });
}

// Sequence counters live in a file beside the database, "<file>.sequences", table
// "TVL_SEQUENCES", names in upper case. An in-memory database keeps them in the
// connection, where there is nothing to check. The file is opened for writing so that a
// journal left by a crash is rolled back rather than read as damage; a file that is there
// but cannot be read at this moment (locked past the wait, an I/O error) is told apart
// from counters that do not exist, since only the latter needs a repair.
std::string CheckSequences(WSIDatabase& db, bool& unreadable) {
    const char* file = sqlite3_db_filename(db.Handle(), "main");
    if (!file || !*file)
        return {};
    const std::string path = std::string(file) + ".sequences";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return std::string("sequence ") + kSequences[0] + " is missing (no file " + path + ")";
    sqlite3* counters = nullptr;
    sqlite3_stmt* stmt = nullptr;
    auto cannotRead = [&](const char* what) {
        unreadable = true;
        return "the sequence counters in " + path + " cannot be read now: " + what;
    };
    std::string problem;
    if (sqlite3_open_v2(path.c_str(), &counters, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        problem = cannotRead(counters ? sqlite3_errmsg(counters) : "out of memory");
    } else {
        sqlite3_busy_timeout(counters, db.BusyTimeout());
        const int rc = sqlite3_prepare_v2(
            counters, "SELECT 1 FROM \"TVL_SEQUENCES\" WHERE UPPER(name) = UPPER(?1)", -1, &stmt,
            nullptr);
        // Only a missing table is "missing"; anything else is a failure to read.
        if (rc != SQLITE_OK && std::strstr(sqlite3_errmsg(counters), "no such table"))
            problem =
                std::string("sequence ") + kSequences[0] + " is missing (kept in " + path + ")";
        else if (rc != SQLITE_OK)
            problem = cannotRead(sqlite3_errmsg(counters));
    }
    for (const char* name : kSequences) {
        if (!problem.empty())
            break;
        sqlite3_reset(stmt);
        sqlite3_bind_text(stmt, 1, name, -1, SQLITE_STATIC);
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE)
            problem = std::string("sequence ") + name + " is missing (kept in " + path + ")";
        else if (rc != SQLITE_ROW)
            problem = cannotRead(sqlite3_errmsg(counters));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(counters);
    return problem;
}

} // namespace

// The same checks against the server's catalogue (the connection's current schema).
std::string CheckServerObjects(WSIDatabase& db) {
    std::vector<std::vector<std::string>> rows;
    std::string error;
    auto columnsOf = [&](const std::string& table) {
        std::vector<std::string> names;
        if (!db.QueryNative("SELECT column_name FROM information_schema.columns WHERE "
                            "table_schema = current_schema() AND table_name = $1 "
                            "ORDER BY ordinal_position",
                            {table}, rows, &error))
            return names;
        for (const auto& r : rows)
            names.push_back(r[0]);
        return names;
    };
    auto exists = [&](const char* sql, const std::string& name) {
        return db.QueryNative(sql, {name}, rows, &error) && !rows.empty();
    };
    std::string problem = CheckCatalogue(
        [&](const char* name) { return columnsOf(Folded(name)); },
        [](const char* column) { return ServerColumnName(column); },
        [&](const char* name) {
            return exists("SELECT 1 FROM pg_indexes WHERE schemaname = current_schema() AND "
                          "indexname = $1",
                          Folded(name));
        });
    if (!problem.empty())
        return problem;
    for (const char* name : kSequences)
        if (!exists("SELECT 1 FROM information_schema.sequences WHERE sequence_schema = "
                    "current_schema() AND sequence_name = $1",
                    Folded(name)))
            return std::string("sequence ") + name + " is missing";
    if (!exists("SELECT 1 FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace "
                "WHERE n.nspname = current_schema() AND p.proname = $1",
                "tvl_today"))
        return "function tvl_today is missing";
    return {};
}

bool CreateSchema(WSIDatabase& db, std::string* problem) {
    std::string failure;
    RegisterRecords();
    if (!db.IsOpen()) {
        failure = "the database is not open";
    } else if (!db.TransactionBegin()) {
        failure = "cannot start a transaction: " + ErrorText(db);
    } else if (!CreateObjects(db, failure)) {
        db.TransactionAbort();
    } else if (!db.TransactionEnd()) {
        failure = "cannot commit the schema: " + ErrorText(db);
    } else if (!db.IsServer()) {
        // Sequences are not rolled back with a transaction, so they come last.
        for (const char* name : kSequences) {
            if (CreateSequence(db.Handle(), name) != SQLITE_OK) {
                failure = std::string("cannot create sequence ") + name;
                break;
            }
        }
    }
    if (problem)
        *problem = failure;
    return failure.empty();
}

SchemaCheck CheckSchema(WSIDatabase& db) {
    SchemaCheck result;
    RegisterRecords();
    if (!db.IsOpen()) {
        result.problem = "the database is not open";
        return result;
    }
    result.version = StoredVersion(db);
    if (result.version == 0) {
        result.problem = "no inventory schema: the schema version is missing";
        return result;
    }
    if (result.version != kSchemaVersion) {
        result.problem = "schema version " + std::to_string(result.version) + ", but version " +
                         std::to_string(kSchemaVersion) + " is needed";
        return result;
    }
    if (db.IsServer()) {
        result.problem = CheckServerObjects(db);
    } else {
        result.problem = CheckObjects(db);
        if (result.problem.empty())
            result.problem = CheckSequences(db, result.unreadable);
    }
    result.ok = result.problem.empty();
    return result;
}

// Version 1 lacked the order-date index of the order lists; version 2 the practice's
// letterhead in the suite options. Nothing else differs.
constexpr int kOldestUpgradable = 1;

namespace {

// Adds the record columns a table of an older version lacks, as the engine names them.
bool AddMissingColumns(WSIDatabase& db, std::string& problem) {
    const bool server = db.IsServer();
    std::vector<std::vector<std::string>> rows;
    for (const TableDesc* t : RecordTables()) {
        std::vector<std::string> present;
        if (server) {
            if (!db.QueryNative("SELECT column_name FROM information_schema.columns WHERE "
                                "table_schema = current_schema() AND table_name = $1",
                                {Folded(t->name)}, rows, &problem))
                return false;
            for (const auto& r : rows)
                present.push_back(r[0]);
        } else {
            Catalogue columns(db, "SELECT name FROM pragma_table_info(?1) ORDER BY cid");
            present = ColumnNames(columns, t->name);
        }
        for (std::size_t i = 0; i < t->count; ++i) {
            const ColumnDesc& c = t->columns[i];
            if (Contains(present, server ? ServerColumnName(c.name) : std::string(c.name)))
                continue;
            const std::string sql = server ? tavel::db::PgAddColumnSql(*t, c) : AddColumnSql(*t, c);
            if (!Exec(db, sql, std::string("column ") + t->name + "." + c.name, problem))
                return false;
        }
    }
    return true;
}

} // namespace

SchemaUpgrade UpgradeSchema(WSIDatabase& db) {
    SchemaUpgrade result;
    RegisterRecords();
    if (!db.IsOpen()) {
        result.problem = "the database is not open";
        return result;
    }
    result.from = StoredVersion(db);
    if (result.from == kSchemaVersion) {
        result.ok = true;
        return result;
    }
    if (result.from < kOldestUpgradable || result.from > kSchemaVersion) {
        result.problem = "schema version " + std::to_string(result.from) + " cannot be upgraded";
        return result;
    }
    if (!db.TransactionBegin()) {
        result.problem = "cannot start a transaction: " + ErrorText(db);
        return result;
    }
    const std::string raise = std::string("UPDATE ") + kSchemaTable +
                              " SET \"Version\" = " + std::to_string(kSchemaVersion);
    if (!AddMissingColumns(db, result.problem) ||
        !CreateIndexes(db, "CREATE INDEX IF NOT EXISTS ", result.problem) ||
        !DropRetiredIndexes(db, result.problem) ||
        !Exec(db, raise, "the schema version", result.problem)) {
        db.TransactionAbort();
        return result;
    }
    if (!db.TransactionEnd()) {
        result.problem = "cannot commit the upgrade: " + ErrorText(db);
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace tavel

// The PostgreSQL text of the translator: each Oracle construct the module writes, the
// whole statement corpus, and, when a server is configured (TAVEL_PG_CONNINFO), every
// translated statement prepared by PostgreSQL itself against a throw-away schema.

#include "CorpusFill.h"
#include "Dialect.h"
#include "Emit.h"
#include "records/Records.h"

#include <gtest/gtest.h>

#ifdef TAVEL_HAVE_LIBPQ
#include <libpq-fe.h>
#endif

#include <cstdlib>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

using namespace sqldialect;

namespace {

SchemaHints Hints() {
    SchemaHints h;
    h.dateColumns = {"Date", "ExpiryDate", "NeedBy", "PODATE"};
    return h;
}

std::string Pg(const std::string& oracle) {
    return Translate(Normalize(oracle), Target::PostgreSQL, Hints()).sql;
}

struct PgCase {
    const char* what;
    const char* oracle;
    const char* postgres;
};

void PrintTo(const PgCase& c, std::ostream* os) {
    *os << c.what;
}

class PostgresText : public ::testing::TestWithParam<PgCase> {};

TEST_P(PostgresText, TranslatesAsPostgreSqlMeansIt) {
    EXPECT_EQ(Pg(GetParam().oracle), GetParam().postgres);
}

// clang-format off
const PgCase kCases[] = {
    {"values and bind variables are numbered alike",
     R"(SELECT "Name" FROM VENDOR WHERE "Vendor" = 12 AND "City" = :1)",
     R"(SELECT "Name" FROM vendor WHERE "Vendor" = $1 AND "City" = $2)"},
    {"sequence by its lower-case name", "SELECT INVITDET_BatchId_SEQ.nextval FROM DUAL",
     "SELECT nextval('invitdet_batchid_seq')"},
    {"month/day/year text next to a date is a date",
     R"(SELECT COUNT(1) FROM INVORDER WHERE "Date" >= '1/15/2027')",
     R"(SELECT COUNT(1) FROM invorder WHERE "Date" >= CAST($1 AS date))"},
    {"today from the service's clock, days subtracted as whole days",
     R"(SELECT COUNT(1) FROM INVORDER WHERE "Date" > (TRUNC(SYSDATE)-365))",
     R"(SELECT COUNT(1) FROM invorder WHERE "Date" > tvl_today() - CAST(floor(CAST($1 AS )"
     "numeric)) AS integer)"},
    {"days between two dates", R"(SELECT "NeedBy" - "Date" FROM INVORDER)",
     R"(SELECT "NeedBy" - "Date" FROM invorder)"},
    {"NVL", R"(SELECT NVL("Comment", ' ') FROM INVORDIT)",
     R"(SELECT COALESCE("Comment", $1) FROM invordit)"},
    {"DECODE matches NULL", R"(SELECT DECODE("Status", 1, 'A', 'B') FROM INVORDIT)",
     R"(SELECT CASE WHEN "Status" IS NOT DISTINCT FROM $1 THEN $2 ELSE $3 END FROM invordit)"},
    {"SUBSTR from position 0, empty result NULL",
     R"(SELECT TRIM(SUBSTR("Comment", 0, 128)) FROM INVORDIT)",
     R"(SELECT NULLIF(btrim(NULLIF(substr("Comment", 1, $1), '')), '') FROM invordit)"},
    {"exact division", R"(SELECT "Quantity" / "Pack" FROM INVITEM)",
     R"(SELECT CAST("Quantity" AS numeric) / "Pack" FROM invitem)"},
    {"ROWNUM as LIMIT", R"(SELECT "Product" FROM PRDLOC WHERE "Inactive" = 0 AND ROWNUM < 2)",
     R"(SELECT "Product" FROM prdloc WHERE "Inactive" = $1 LIMIT 1)"},
    {"ROWNUM inside COUNT limits a named sub-select",
     R"(SELECT COUNT(1) FROM PRDLOC WHERE "Product" = 42 AND ROWNUM < 2)",
     R"(SELECT COUNT(1) FROM (SELECT 1 FROM prdloc WHERE "Product" = $1 LIMIT 1) AS tvl_from1)"},
    {"limited members of a UNION",
     R"(SELECT COUNT(1) FROM INVORDIT WHERE "Product" = 1 AND ROWNUM < 2 UNION SELECT COUNT(1) )"
     R"(FROM INVITEM WHERE "Product" = 1 AND ROWNUM < 2)",
     R"(SELECT COUNT(1) FROM (SELECT 1 FROM invordit WHERE "Product" = $1 LIMIT 1) AS tvl_from1 )"
     R"(UNION SELECT COUNT(1) FROM (SELECT 1 FROM invitem WHERE "Product" = $2 LIMIT 1) AS )"
     "tvl_from2"},
    {"outer join",
     R"(SELECT I."Quantity", L."Name" FROM INVITEM I, INVLOC L WHERE I."InvLocFrom" = )"
     R"(L."InvLoc"(+))",
     R"(SELECT i."Quantity", l."Name" FROM invitem i LEFT JOIN invloc l ON i."InvLocFrom" = )"
     R"(l."InvLoc")"},
    {"tables before a LEFT JOIN stay visible to its ON",
     R"(SELECT A."X" FROM T A, U B, V C WHERE A."X" = C."X"(+) AND A."Y" = B."Y")",
     R"(SELECT a."X" FROM t a CROSS JOIN u b LEFT JOIN v c ON a."X" = c."X" WHERE a."Y" = b."Y")"},
    {"a value under a minus is a number", R"(SELECT NVL("A", -1) FROM T)",
     R"(SELECT COALESCE("A", -CAST($1 AS numeric)) FROM t)"},
    {"ROUND and TRUNC of numbers", R"(SELECT ROUND("A", 2), TRUNC("A") FROM T)",
     R"(SELECT round(CAST("A" AS numeric), $1), trunc(CAST("A" AS numeric)) FROM t)"},
    {"UPDATE with an alias",
     R"(UPDATE INVITEM I SET "Balance" = I."Balance" - 1 WHERE I."InvItem" = 7)",
     R"(UPDATE invitem SET "Balance" = "Balance" - $1 WHERE "InvItem" = $2)"},
    {"DELETE without FROM", R"(DELETE PRDLOC WHERE "Product" = 5)",
     R"(DELETE FROM prdloc WHERE "Product" = $1)"},
    {"|| skips NULLs and gives NULL for nothing",
     R"(SELECT RTRIM(U."Name") || ', ' || :1 FROM USERS U)",
     R"(SELECT NULLIF(concat(NULLIF(rtrim(u."Name"), ''), CAST($1 AS text), CAST($2 AS text)), )"
     "'') FROM users u"},
    {"casts",
     R"(SELECT CAST(' ' AS CHAR(6)) "InvLoc", CAST("Balance" AS NUMBER), CAST("Name" AS )"
     "VARCHAR2(128)) FROM PRDLOC",
     R"(SELECT CAST($1 AS char(6)) AS "InvLoc", CAST("Balance" AS numeric), CAST("Name" AS )"
     "varchar(128)) FROM prdloc"},
    {"TO_CHAR of a date and with a format",
     R"(SELECT TO_CHAR("Date"), TO_CHAR("Date", 'YYYY-MM-DD') FROM INVORDER)",
     R"(SELECT to_char("Date", 'MM/DD/YYYY'), to_char("Date", $1) FROM invorder)"},
    {"the lock read", R"(SELECT "Balance" FROM INVITEM WHERE "InvItem" = 3 FOR UPDATE NOWAIT)",
     R"(SELECT "Balance" FROM invitem WHERE "InvItem" = $1 FOR UPDATE NOWAIT)"},
    {"unquoted names fold to lower case, reserved ones quoted, aliases after AS",
     R"(SELECT L."Name" INVLOCNAME, V.PODATE, USER.X FROM INVLOC L, INVORDER_VIEW V, T USER)",
     R"(SELECT l."Name" AS invlocname, v.podate, "user".x FROM invloc l, invorder_view v, t )"
     R"("user")"},
    {"MINUS and a parenthesised member", R"(SELECT "A" FROM T MINUS (SELECT "A" FROM U))",
     R"(SELECT "A" FROM t EXCEPT (SELECT "A" FROM u))"},
    {"NULLs sort as Oracle sorts them without being told",
     R"(SELECT "A" FROM T ORDER BY "A" DESC, "B" NULLS FIRST)",
     R"(SELECT "A" FROM t ORDER BY "A" DESC, "B" NULLS FIRST)"},
    {"GREATEST is NULL when an argument is", R"(SELECT GREATEST("A", "B") FROM T)",
     R"(SELECT CASE WHEN "A" IS NULL OR "B" IS NULL THEN NULL ELSE GREATEST("A", "B") END FROM t)"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Constructs, PostgresText, ::testing::ValuesIn(kCases));

TEST(Postgres, SameShapeSameTextWhateverTheValues) {
    const Normalized a = Normalize("SELECT \"A\" FROM T WHERE \"Date\" < '1/2/2027' AND \"B\" = 1");
    const Normalized b = Normalize("SELECT \"A\" FROM T WHERE \"Date\" < '' AND \"B\" = 99");
    EXPECT_EQ(Translate(a, Target::PostgreSQL, Hints()).sql,
              Translate(b, Target::PostgreSQL, Hints()).sql);
}

TEST(Postgres, TextForPeopleWritesDatesInIsoForm) {
    EXPECT_EQ(TranslateToText("SELECT \"A\" FROM T WHERE \"Date\" = '1/2/2027' AND \"B\" = 'x'",
                              Target::PostgreSQL, Hints()),
              "SELECT \"A\" FROM t WHERE \"Date\" = '2027-01-02' AND \"B\" = 'x'");
}

// Unquoted names are found among the columns of the tables in scope, as declared: the
// qualifier picks the table, an unqualified name the block's own tables first.
TEST(Postgres, UnquotedColumnsResolveToTheirDeclaredNames) {
    SchemaHints h = Hints();
    h.tableColumns["INVITDET"] = {"InvItem", "BatchId"};
    h.tableColumns["INVITEM"] = {"InvItem", "Product"};
    h.tableColumns["INVTRANSFER_VIEW"] = {"INVITEM", "AUDITID"};
    const struct {
        const char* oracle;
        const char* postgres;
    } cases[] = {
        {"SELECT V.INVITEM FROM INVTRANSFER_VIEW V WHERE V.INVITEM IN (SELECT D.InvItem FROM "
         "INVITDET D WHERE D.BatchId = 7) ORDER BY V.AUDITID",
         "SELECT v.invitem FROM invtransfer_view v WHERE v.invitem IN (SELECT d.\"InvItem\" FROM "
         "invitdet d WHERE d.\"BatchId\" = $1) ORDER BY v.auditid"},
        {"SELECT V.\"AUDITID\" FROM INVTRANSFER_VIEW V",
         "SELECT v.auditid FROM invtransfer_view v"},
        {"SELECT product FROM INVITEM WHERE EXISTS (SELECT 1 FROM INVITDET WHERE batchid = 1 AND "
         "invitem = product)",
         "SELECT \"Product\" FROM invitem WHERE EXISTS (SELECT $1 FROM invitdet WHERE \"BatchId\" "
         "= "
         "$2 AND \"InvItem\" = \"Product\")"},
        {"UPDATE INVITDET SET BatchId = 2 WHERE InvItem = 3",
         "UPDATE invitdet SET \"BatchId\" = $1 WHERE \"InvItem\" = $2"},
        {"SELECT X.Unknown FROM INVITEM X", "SELECT x.unknown FROM invitem x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Translate(Normalize(c.oracle), Target::PostgreSQL, h).sql, c.postgres)
            << c.oracle;
    // SQLite matches names in any case: its text is left as written.
    EXPECT_EQ(
        Translate(Normalize("SELECT D.InvItem FROM INVITDET D"), Target::SQLite, h).sql,
        Translate(Normalize("SELECT D.InvItem FROM INVITDET D"), Target::SQLite, Hints()).sql);
}

TEST(Postgres, RefusesWhatItCannotKeep) {
    for (const char* sql : {"SELECT 5 - \"Date\" FROM T", "SELECT TRUNC(\"Date\", 'MM') FROM T",
                            "SELECT FOO(\"A\") FROM T"}) {
        SCOPED_TRACE(sql);
        EXPECT_THROW(Pg(sql), TranslateError);
    }
}

TEST(Postgres, EveryCorpusStatementTranslates) {
    const std::vector<std::string> lines = corpus::Lines(TAVEL_TEST_DATA_DIR);
    ASSERT_GT(lines.size(), 150u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string sql = corpus::Fill(lines[i]);
        SCOPED_TRACE("line " + std::to_string(i + 1) + ": " + sql);
        try {
            const Normalized n = Normalize(sql);
            const Translation t = Translate(n, Target::PostgreSQL, Hints());
            EXPECT_EQ(t.conversions.size(), n.literals.size());
            // Oracle-only syntax and SQLite's helpers are gone; values are $N.
            for (const char* word : {"(+)", "ROWNUM", "DECODE", "SYSDATE", "NVL(", "IFNULL",
                                     "tvl_nextval", "?", " DUAL"})
                EXPECT_EQ(t.sql.find(word), std::string::npos) << word << " in " << t.sql;
        } catch (const TranslateError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

#ifdef TAVEL_HAVE_LIBPQ

// A connection to the server named by TAVEL_PG_CONNINFO, working in a schema of its own
// that is dropped again at the end: the inventory's tables as the records describe them,
// the views as tables of the same columns, and the support functions.
class PgSchema : public ::testing::Test {
protected:
    void SetUp() override {
        const char* conninfo = std::getenv("TAVEL_PG_CONNINFO");
        if (!conninfo || !*conninfo)
            GTEST_SKIP() << "TAVEL_PG_CONNINFO is not set";
        conn_ = PQconnectdb(conninfo);
        ASSERT_EQ(PQstatus(conn_), CONNECTION_OK) << PQerrorMessage(conn_);
        schema_ = "tvl_test_" + std::to_string(getpid());
        Exec("SET client_min_messages = warning");
        Exec("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
        Exec("CREATE SCHEMA " + schema_);
        Exec("SET search_path TO " + schema_);
        Exec(sqldialect::detail::kPostgresSupport);
        for (const TableDesc* t : RecordTables())
            Exec(CreateTable(*t, true));
        for (const TableDesc* t : ViewRows())
            Exec(CreateTable(*t, false));
        for (auto rows : {RecordTables(), ViewRows(), QueryResultRows()})
            for (const TableDesc* t : rows)
                for (std::size_t i = 0; i < t->count; ++i)
                    if (t->columns[i].type == ColType::Date)
                        hints_.dateColumns.insert(t->columns[i].name);
        for (auto rows : {RecordTables(), ViewRows()})
            for (const TableDesc* t : rows)
                for (std::size_t i = 0; i < t->count; ++i)
                    hints_.tableColumns[t->name].push_back(t->columns[i].name);
    }

    void TearDown() override {
        if (!conn_)
            return;
        if (!schema_.empty())
            PQclear(PQexec(conn_, ("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE").c_str()));
        PQfinish(conn_);
    }

    // Column names of tables are quoted as written; those of the views are upper case
    // and unquoted, so they fold to lower case.
    static std::string CreateTable(const TableDesc& t, bool quoted) {
        std::string sql = std::string("CREATE TABLE ") + t.name + " (";
        for (std::size_t i = 0; i < t.count; ++i) {
            const ColumnDesc& c = t.columns[i];
            sql += i ? ", " : "";
            sql += quoted ? "\"" + std::string(c.name) + "\"" : std::string(c.name);
            const std::string width = "(" + std::to_string(c.width) + ")";
            sql += c.type == ColType::Amount ? " numeric"
                   : c.type == ColType::Date ? " date"
                   : c.type == ColType::Code ? " char" + width
                   : c.type == ColType::Text ? " varchar" + width
                                             : " integer";
        }
        return sql + ")";
    }

    void Exec(const std::string& sql) {
        PGresult* r = PQexec(conn_, sql.c_str());
        const ExecStatusType st = PQresultStatus(r);
        EXPECT_TRUE(st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK)
            << PQresultErrorMessage(r) << " in: " << sql;
        PQclear(r);
    }

    // Prepares sql as the unnamed statement; the server's message when it refuses.
    std::string Prepare(const std::string& sql) {
        PGresult* r = PQprepare(conn_, "", sql.c_str(), 0, nullptr);
        std::string error = PQresultStatus(r) == PGRES_COMMAND_OK ? "" : PQresultErrorMessage(r);
        PQclear(r);
        return error;
    }

    // Runs Oracle-dialect text with its values bound as the service binds them and
    // returns the first column of the first row ("NULL" for NULL, "" for no row).
    std::string Scalar(const std::string& oracle) {
        const sqldialect::Normalized n = sqldialect::Normalize(oracle);
        const sqldialect::Translation t =
            sqldialect::Translate(n, sqldialect::Target::PostgreSQL, hints_);
        std::vector<std::string> text(n.literals.size());
        std::vector<const char*> values(n.literals.size());
        for (std::size_t i = 0; i < n.literals.size(); ++i) {
            const sqldialect::Literal& l = n.literals[i];
            if (l.kind == sqldialect::Literal::Kind::Null)
                continue;
            text[i] = l.kind == sqldialect::Literal::Kind::Integer ? std::to_string(l.integer)
                      : l.kind == sqldialect::Literal::Kind::Real  ? std::to_string(l.real)
                      : t.conversions[i] == sqldialect::Conversion::MdyDate
                          ? sqldialect::MdyToIso(l.text)
                          : l.text;
            values[i] = text[i].c_str();
        }
        PGresult* r = PQexecParams(conn_, t.sql.c_str(), static_cast<int>(values.size()), nullptr,
                                   values.data(), nullptr, nullptr, 0);
        std::string out;
        if (PQresultStatus(r) != PGRES_TUPLES_OK)
            ADD_FAILURE() << PQresultErrorMessage(r) << " in: " << t.sql;
        else if (PQntuples(r) > 0)
            out = PQgetisnull(r, 0, 0) ? "NULL" : PQgetvalue(r, 0, 0);
        PQclear(r);
        return out;
    }

    PGconn* conn_ = nullptr;
    std::string schema_;
    SchemaHints hints_;
};

TEST_F(PgSchema, EveryCorpusStatementPrepares) {
    const std::vector<std::string> lines = corpus::Lines(TAVEL_TEST_DATA_DIR);
    ASSERT_GT(lines.size(), 150u);
    std::vector<std::string> sql;
    std::set<std::string> sequences;
    for (const std::string& line : lines) {
        sql.push_back(Translate(Normalize(corpus::Fill(line)), Target::PostgreSQL, hints_).sql);
        for (std::size_t p = 0; (p = sql.back().find("nextval('", p)) != std::string::npos;) {
            p += 9;
            sequences.insert(sql.back().substr(p, sql.back().find('\'', p) - p));
        }
    }
    for (const std::string& s : sequences)
        Exec("CREATE SEQUENCE " + s);
    // D.InvItem and D.BatchId name INVITDET's "InvItem" and "BatchId" without quotes:
    // the table columns in the hints let the translator quote them as declared.
    for (std::size_t i = 0; i < sql.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i + 1) + ": " + sql[i]);
        EXPECT_EQ(Prepare(sql[i]), "");
    }
}

struct RunCase {
    const char* oracle;
    const char* result;
};

// Oracle's meanings that PostgreSQL would not give on its own.
TEST_F(PgSchema, StatementsKeepOraclesMeanings) {
    Exec("SET tavel.today = '2027-01-15'");
    Exec("INSERT INTO invloc (\"InvLoc\", \"Name\", \"Type\") VALUES ('MAIN', 'Main', 2)");
    const RunCase cases[] = {
        {"SELECT TRUNC(SYSDATE) - 1 FROM DUAL", "2027-01-14"},
        {"SELECT COUNT(1) FROM DUAL WHERE TRUNC(SYSDATE) = '1/15/2027'", "1"},
        {"SELECT 'a' || NULL || 'b' FROM DUAL", "ab"},
        {"SELECT NVL('' || NULL, 'none') FROM DUAL", "none"},
        {"SELECT DECODE(NULL, NULL, 'same', 'other') FROM DUAL", "same"},
        {"SELECT SUBSTR('abcdef', 0, 3) FROM DUAL", "abc"},
        {"SELECT 7 / 2 FROM DUAL", "3.5000000000000000"},
        {"SELECT COUNT(1) FROM INVLOC WHERE \"InvLoc\" = 'MAIN  '", "1"},
        {"SELECT COUNT(1) FROM INVLOC WHERE \"Name\" LIKE 'main%'", "0"},
        {"SELECT NVL(GREATEST(\"Type\", NULL), -1) FROM INVLOC", "-1"},
        {"SELECT COUNT(1) FROM INVLOC WHERE \"Type\" = 4 / 2", "1"},
    };
    for (const RunCase& c : cases)
        EXPECT_EQ(Scalar(c.oracle), c.result) << c.oracle;
}

#endif

} // namespace

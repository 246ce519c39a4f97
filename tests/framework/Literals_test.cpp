// Statements whose operators or functions see literal values only: on a server the values
// travel without a type, so these shapes must still give what SQLite gives.

#include "DatabaseFixture.h"
#include "PgConnection.h"

#include <string>
#include <vector>

namespace {

struct Bind {
    enum class Kind { Long, Double, Text } kind;
    long integer = 0;
    double real = 0;
    const char* text = "";
};

Bind Long(long v) {
    return {Bind::Kind::Long, v};
}
Bind Double(double v) {
    return {Bind::Kind::Double, 0, v};
}
Bind Text(const char* v) {
    return {Bind::Kind::Text, 0, 0, v};
}

WSIBVParametersInfo Binds(const std::vector<Bind>& binds) {
    WSIBVParametersInfo info;
    for (const Bind& b : binds) {
        switch (b.kind) {
        case Bind::Kind::Long:
            info.AddParameter(b.integer);
            break;
        case Bind::Kind::Double:
            info.AddParameter(b.real);
            break;
        case Bind::Kind::Text:
            info.AddParameter(b.text);
            break;
        }
    }
    return info;
}

// The single value of a one-row, one-column result ("" for NULL); the engine's message
// when it failed.
std::string Value(WSIDatabase& db, const char* sql, const std::vector<Bind>& binds = {}) {
    WSIDatabase::TextResult result;
    std::string error;
    if (!db.QueryText(__FILE__, __LINE__, sql, Binds(binds), result, &error))
        return "failed: " + error;
    if (result.rows.size() != 1 || result.rows[0].size() != 1)
        return "rows: " + std::to_string(result.rows.size());
    return result.rows[0][0];
}

} // namespace

TEST_F(DatabaseTest, OperatorsAndFunctionsOfLiteralsAgreeWithSqlite) {
    TstLoc dated(db_.get());
    dated.data.Product = 1;
    std::snprintf(dated.data.InvLoc, sizeof dated.data.InvLoc, "A");
    dated.data.Balance = 2.5;
    dated.data.LastCountDate = {2027, 1, 15};
    ASSERT_TRUE(dated.InsertDB(__FILE__, __LINE__));
    PutLoc(2, "MAIN", 4);
    struct Case {
        const char* sql;
        std::vector<Bind> binds;
        const char* expected;
    } cases[] = {
        {"SELECT 0.1 + 0.2 FROM DUAL", {}, "0.3"},
        {"SELECT 1 + 1 FROM DUAL", {}, "2"},
        {"SELECT 5 - 2 FROM DUAL", {}, "3"},
        {"SELECT 2 * 3 FROM DUAL", {}, "6"},
        {"SELECT 1.5 * 2 FROM DUAL", {}, "3.0"},
        {"SELECT 1 - 0.5 FROM DUAL", {}, "0.5"},
        {"SELECT 1e3 + 1 FROM DUAL", {}, "1001.0"},
        {"SELECT 9000000000 + 1 FROM DUAL", {}, "9000000001"},
        {"SELECT (1 + 2) * 3 FROM DUAL", {}, "9"},
        {"SELECT 7 / (1 + 1) FROM DUAL", {}, "3.5"},
        {"SELECT 5 + NULL FROM DUAL", {}, ""},
        {"SELECT 'a' || 'b' FROM DUAL", {}, "ab"},
        {"SELECT 'it''s ' || (1 + 1) FROM DUAL", {}, "it's 2"},
        {"SELECT CASE WHEN 1 + 1 = 2 THEN 'it''s' END FROM DUAL", {}, "it's"},
        {"SELECT NVL(NULL, 0) + 1 FROM DUAL", {}, "1"},
        {"SELECT NVL(2, 0) + 1 FROM DUAL", {}, "3"},
        {"SELECT CASE WHEN 1 = 1 THEN 1 ELSE 2 END + 1 FROM DUAL", {}, "2"},
        {"SELECT DECODE('a', 'a', 1, 2) + 1 FROM DUAL", {}, "2"},
        {"SELECT LEAST(3, 1, 2) FROM DUAL", {}, "1"},
        {"SELECT GREATEST('a', 'b') FROM DUAL", {}, "b"},
        {"SELECT SUM(1) FROM DUAL", {}, "1"},
        {"SELECT TO_CHAR(1 + 1) FROM DUAL", {}, "2"},
        {"SELECT 1 FROM DUAL WHERE 2 > 1 + 0", {}, "1"},
        {"SELECT TO_DATE('01/15/2027', 'MM/DD/YYYY') + (1 + 1) FROM DUAL", {}, "2027-01-17"},
        // Bind variables beside the literals: numbers typed by their kind, texts not.
        {"SELECT NVL(:1, 0) + 2 FROM DUAL", {}, "2"},
        {"SELECT NVL(:1, 0) + 2 FROM DUAL", {Long(5)}, "7"},
        {"SELECT NVL(:1, 0) + 2 FROM DUAL", {Double(0.25)}, "2.25"},
        {"SELECT :1 + :2 FROM DUAL", {Long(2), Double(0.5)}, "2.5"},
        {"SELECT NVL(:1, 'x') || 'y' FROM DUAL", {Text("a")}, "ay"},
        // Texts meeting a CHAR(n) code column still compare without trailing blanks.
        {"SELECT COUNT(1) FROM TSTLOC WHERE InvLoc = 'A '", {}, "1"},
        {"SELECT COUNT(1) FROM TSTLOC WHERE 1 + 1 = 2 AND InvLoc = 'A '", {}, "1"},
        {"SELECT COUNT(1) FROM TSTLOC WHERE InvLoc = :1 AND 1 + 1 = 2", {Text("A ")}, "1"},
        // Month/day/year texts beside a date column, and columns beside the values.
        {"SELECT COUNT(1) FROM TSTLOC WHERE \"LastCountDate\" = '01/15/2027' AND 1 + 1 = 2",
         {},
         "1"},
        {"SELECT Balance + 0.5 * 2 FROM TSTLOC WHERE Product = 1", {}, "3.5"},
        // Reals against a whole-number column compare as numbers, whatever the shape's
        // earlier values were.
        {"SELECT COUNT(1) FROM TSTLOC WHERE Product > 1", {}, "1"},
        {"SELECT COUNT(1) FROM TSTLOC WHERE Product > 0.5", {}, "2"},
        {"SELECT COUNT(1) FROM TSTLOC WHERE Product = 2.0", {}, "1"},
        {"SELECT COUNT(1) FROM TSTLOC WHERE Product > 1", {}, "1"},
        {"SELECT Product * (2 + 1) FROM TSTLOC WHERE InvLoc = 'MAIN'", {}, "6"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Value(*db_, c.sql, c.binds), c.expected) << c.sql;
}

TEST_F(DatabaseTest, OneShapeRunsWithEachExecutionsOwnValues) {
    EXPECT_EQ(Value(*db_, "SELECT 1 + 1 FROM DUAL"), "2");
    const auto before = db_->GetCacheStats();
    EXPECT_EQ(Value(*db_, "SELECT 20 + 22 FROM DUAL"), "42");
    EXPECT_EQ(Value(*db_, "SELECT 'x' || 'y' || (3 - 5) FROM DUAL"), "xy-2");
    EXPECT_EQ(Value(*db_, "SELECT 'p' || 'q' || (0.5 - 1) FROM DUAL"), "pq-0.5");
    const auto after = db_->GetCacheStats();
    EXPECT_EQ(after.hits - before.hits, 2u) << "the second text of a shape is a cache hit";

    // A cursor over such a shape hands out every row.
    PutLoc(3, "MAIN", 1);
    PutLoc(4, "MAIN", 1);
    long product = 0;
    auto q =
        db_->Query(__FILE__, __LINE__,
                   "SELECT Product FROM TSTLOC WHERE 1 + 1 = 2 ORDER BY Product DESC", &product);
    std::vector<long> seen;
    for (bool more = q->GetFirst(); more; more = q->GetNext())
        seen.push_back(product);
    EXPECT_EQ(seen, (std::vector<long>{4, 3}));
}

TEST_F(DatabaseTest, RefusedStatementLeavesTheUnitOfWorkUsable) {
    ASSERT_TRUE(db_->TransactionBegin());
    PutLoc(1, "MAIN", 5);
    EXPECT_EQ(Value(*db_, "SELECT 2 * 4 FROM DUAL"), "8");
    // A statement no engine can run fails alone; the writes around it still commit.
    EXPECT_EQ(Value(*db_, "SELECT NoSuchColumn FROM TSTLOC").rfind("failed: ", 0), 0u);
    PutLoc(2, "MAIN", 5);
    ASSERT_TRUE(db_->TransactionEnd());
    auto other = Connect();
    EXPECT_EQ(Count("Balance + (1 + 1) = 7", other.get()), 2);
}

namespace {

sqldialect::Literal Lit(sqldialect::Literal::Kind kind, long long i = 0, double d = 0,
                        const char* text = "") {
    sqldialect::Literal l;
    l.kind = kind;
    l.integer = i;
    l.real = d;
    l.text = text;
    return l;
}

} // namespace

TEST(PgWrittenValues, LiteralsReadBackAsTheSameValueOfTheSameKind) {
    using K = sqldialect::Literal::Kind;
    struct Case {
        sqldialect::Literal value;
        const char* sql;
    } cases[] = {
        {Lit(K::Null), "NULL"},
        {Lit(K::Integer, 42), "42"},
        {Lit(K::Integer, -7), "(-7)"},
        {Lit(K::Real, 0, 0.1), "0.1"},
        {Lit(K::Real, 0, 1000.0), "1000.0"},
        {Lit(K::Real, 0, -2.5), "(-2.5)"},
        {Lit(K::Real, 0, 1e300), "1e+300"},
        {Lit(K::Text, 0, 0, "it's"), "'it''s'"},
        {Lit(K::Text, 0, 0, "''"), "''''''"},
        {Lit(K::Text, 0, 0, ""), "NULL"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tavel::db::PgLiteralSql(c.value), c.sql) << c.sql;
}

TEST(PgWrittenValues, LiteralsReplaceTheirNumbersAndBindVariablesAreRenumbered) {
    const std::vector<std::string> two = {"1", "'a$2'"};
    struct Case {
        const char* sql;
        std::vector<std::string> literals;
        const char* expected;
    } cases[] = {
        {"SELECT $1 + $2", two, "SELECT 1 + 'a$2'"},
        {"SELECT $2 || $1", two, "SELECT 'a$2' || 1"},
        {"SELECT COALESCE($3, $1) + $4", two, "SELECT COALESCE($1, 1) + $2"},
        {"SELECT '$1', \"c$2\" FROM t WHERE x = $2", two,
         "SELECT '$1', \"c$2\" FROM t WHERE x = 'a$2'"},
        {"SELECT 'it''s $1' || $1", two, "SELECT 'it''s $1' || 1"},
        {"SELECT $12 + $1", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, "SELECT $2 + 1"},
        {"SELECT $1 + $2", {}, "SELECT $1 + $2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tavel::db::PgWriteValues(c.sql, c.literals), c.expected) << c.sql;
}

#include "Dialect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

using namespace sqldialect;

namespace {

SchemaHints Hints() {
    SchemaHints h;
    h.dateColumns = {"Date", "NeedBy", "PODATE"};
    return h;
}

std::string Sql(const std::string& oracle) {
    return Translate(Normalize(oracle), Target::SQLite, Hints()).sql;
}

// ---- Normalize

TEST(Normalize, SameStatementWithOtherValuesHasTheSameShape) {
    Normalized a = Normalize("SELECT \"Name\" FROM VENDOR WHERE \"Vendor\" = 12 AND \"City\" = "
                             "'O''Hara' AND \"Rate\" > 1.5");
    Normalized b = Normalize("select \"Name\"  from VENDOR where \"Vendor\" = 99 AND \"City\" = "
                             "'Oslo' AND \"Rate\" > 7");
    EXPECT_EQ(a.shape, b.shape);
    ASSERT_EQ(a.literals.size(), 3u);
    EXPECT_EQ(a.literals[0].kind, Literal::Kind::Integer);
    EXPECT_EQ(a.literals[0].integer, 12);
    EXPECT_EQ(a.literals[1].kind, Literal::Kind::Text);
    EXPECT_EQ(a.literals[1].text, "O'Hara");
    EXPECT_EQ(a.literals[2].kind, Literal::Kind::Real);
    EXPECT_DOUBLE_EQ(a.literals[2].real, 1.5);
    EXPECT_EQ(Translate(a, Target::SQLite, Hints()).sql, Translate(b, Target::SQLite, Hints()).sql);
}

struct KeptCase {
    const char* a;
    const char* b;
};

// Numbers that decide the rewrite stay in the shape, so these pairs must differ.
void PrintTo(const KeptCase& c, std::ostream* os) {
    *os << c.a;
}

class NormalizeKeeps : public ::testing::TestWithParam<KeptCase> {};

TEST_P(NormalizeKeeps, StructuralNumberStaysInTheShape) {
    EXPECT_NE(Normalize(GetParam().a).shape, Normalize(GetParam().b).shape);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormalizeKeeps,
    ::testing::Values(KeptCase{"SELECT COUNT(1) FROM T WHERE ROWNUM < 2",
                               "SELECT COUNT(1) FROM T WHERE ROWNUM < 3"},
                      KeptCase{"SELECT CAST(A AS CHAR(6)) FROM T",
                               "SELECT CAST(A AS CHAR(12)) FROM T"},
                      KeptCase{"SELECT SUBSTR(A, 0, 5) FROM T", "SELECT SUBSTR(A, 2, 5) FROM T"},
                      KeptCase{"SELECT A, B FROM T ORDER BY 1", "SELECT A, B FROM T ORDER BY 2"}));

TEST(Normalize, PositionsPointIntoTheCallersText) {
    const std::string text = "SELECT  A FROM T WHERE B = 'x'";
    Normalized n = Normalize(text);
    ASSERT_FALSE(n.positions.empty());
    EXPECT_EQ(n.positions[1], text.find('A'));
    EXPECT_EQ(n.positions.back(), text.find('\''));
}

// ---- refusals

struct RefusalCase {
    const char* sql;
    const char* construct; // part of the construct named
    const char* at;        // the text at the reported position
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.sql;
}

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, NamesTheConstructAndWhereItStarts) {
    const RefusalCase& c = GetParam();
    const std::string sql = c.sql;
    try {
        std::string out = Sql(sql);
        FAIL() << "translated: " << out;
    } catch (const TranslateError& e) {
        EXPECT_NE(e.Construct().find(c.construct), std::string::npos) << e.Construct();
        ASSERT_LE(e.Position(), sql.size());
        EXPECT_EQ(sql.compare(e.Position(), std::strlen(c.at), c.at), 0)
            << "position " << e.Position() << " in " << sql;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refusal,
    ::testing::Values(
        RefusalCase{"SELECT 1 FROM DUAL; DROP TABLE PRODUCT", "second statement", "; DROP"},
        RefusalCase{"SELECT A FROM T WHERE B = 'abc", "unterminated string", "'abc"},
        RefusalCase{"SELECT \"A FROM T", "unterminated quoted identifier", "\"A"},
        RefusalCase{"SELECT A FROM T WHERE B = 1 -- note", "comment", "--"},
        RefusalCase{"SELECT A FROM T WHERE B = %s", "character '%'", "%s"},
        RefusalCase{"SELECT A FROM T WHERE B = ?", "character '?'", "?"},
        RefusalCase{"SELECT A.X FROM A, B WHERE A.ID = B.ID(+) OR B.Y(+) = 1", "(+) under OR",
                    "OR"},
        RefusalCase{"SELECT A.X FROM A, B WHERE A.ID IN (B.ID(+), 2)", "(+) with IN", "IN"},
        RefusalCase{"SELECT A.X FROM A, B WHERE A.ID(+) = B.ID AND B.K(+) = A.K",
                    "circular outer join", "A,"},
        RefusalCase{"SELECT ROWNUM, A FROM T", "ROWNUM in the select list", "ROWNUM"},
        RefusalCase{"SELECT A FROM T WHERE ROWNUM < 3 ORDER BY A", "ROWNUM with ORDER BY",
                    "SELECT"},
        RefusalCase{"SELECT A FROM T WHERE B = 1 OR ROWNUM < 3", "ROWNUM in this condition",
                    "ROWNUM"},
        RefusalCase{"SELECT SOUNDEX(A) FROM T", "function SOUNDEX", "SOUNDEX"},
        RefusalCase{"SELECT A FROM T JOIN U ON T.X = U.X", "JOIN syntax", "JOIN"},
        RefusalCase{"MERGE INTO T USING U ON (1 = 1)", "statement MERGE", "MERGE"},
        RefusalCase{"SELECT A FROM T WHERE B = :X", "bind variable", ":X"},
        RefusalCase{"SELECT S.CURRVAL FROM DUAL", "CURRVAL", "CURRVAL"},
        RefusalCase{"SELECT A FROM T WHERE B = 1)", "unexpected ')'", ")"}));

// ---- translations

struct TranslationCase {
    const char* name;
    const char* oracle;
    const char* sqlite;
};

void PrintTo(const TranslationCase& c, std::ostream* os) {
    *os << c.oracle;
}

class Translates : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(Translates, ToTheExpectedSqlite) {
    EXPECT_EQ(Sql(GetParam().oracle), GetParam().sqlite) << GetParam().oracle;
}

// The texts of constructs whose meaning is checked on a database (Semantics, sequences)
// are left to those checks.
// clang-format off
const TranslationCase kTranslations[] = {
    {"DeleteGetsFrom", R"(DELETE PRDLOC WHERE "Product" = 5)",
     R"(DELETE FROM PRDLOC WHERE "Product" = ?1)"},
    {"UpdateAliasStripped",
     R"(UPDATE INVORDIT I SET I."Status" = 5, I."WasBackOrdered" = 1 WHERE I."InvOrder" = 7 AND )"
     R"(I."Status" != 4)",
     R"(UPDATE INVORDIT SET "Status" = ?1, "WasBackOrdered" = ?2 WHERE "InvOrder" = ?3 AND )"
     R"("Status" <> ?4)"},
    {"UpdateAliasNotStrippedInsideShadowingSubquery",
     R"(UPDATE T X SET X."A" = 1 WHERE X."B" IN (SELECT X."B" FROM U X))",
     R"(UPDATE T SET "A" = ?1 WHERE "B" IN (SELECT X."B" FROM U X))"},
    {"RownumEqualsOne", R"(SELECT "A" FROM T WHERE ROWNUM = 1)", R"(SELECT "A" FROM T LIMIT 1)"},
    {"RownumInsideSum", R"(SELECT SUM("Q") FROM T WHERE ROWNUM < 4)",
     R"(SELECT SUM("tvl_1") FROM (SELECT "Q" "tvl_1" FROM T LIMIT 3))"},
    {"LimitedUnionMember", R"(SELECT "X" FROM A WHERE ROWNUM < 2 UNION SELECT "X" FROM B)",
     R"(SELECT * FROM (SELECT "X" FROM A LIMIT 1) UNION SELECT "X" FROM B)"},
    {"NumberArithmeticUntouched", R"(SELECT "Q" - 1 FROM T)", R"(SELECT "Q" - ?1 FROM T)"},
    {"ToDateNull", "SELECT TO_DATE(NULL) FROM T", "SELECT NULL FROM T"},
    {"ToCharNumber", R"(SELECT TO_CHAR("InvOrder") FROM T)",
     R"(SELECT CAST("InvOrder" AS TEXT) FROM T)"},
    {"Casts",
     R"(SELECT CAST("A" AS VARCHAR2(20)), CAST("B" AS NUMBER), CAST(' ' AS CHAR(6)) "InvLoc", )"
     R"(CAST("C" AS NUMBER(5)) FROM T)",
     R"(SELECT CAST("A" AS TEXT), CAST("B" AS NUMERIC), CAST(?1 AS TEXT) COLLATE RTRIM )"
     R"("InvLoc", CAST(ROUND("C") AS INTEGER) FROM T)"},
    {"MinusIsExcept", R"(SELECT "A" FROM T MINUS SELECT "A" FROM U)",
     R"(SELECT "A" FROM T EXCEPT SELECT "A" FROM U)"},
    {"OrderByPutsNullsLast", R"(SELECT "A" FROM T ORDER BY "A", "B" DESC, 1)",
     R"(SELECT "A" FROM T ORDER BY "A" NULLS LAST, "B" DESC NULLS FIRST, 1 NULLS LAST)"},
    {"PredicatesPassThrough",
     R"(SELECT DISTINCT "A" FROM T WHERE "B" BETWEEN 1 AND 2 AND "C" NOT IN (3, 4) AND "D" LIKE )"
     R"('x%' AND "E" IS NOT NULL AND NOT ("F" = 1 OR "G" = 2))",
     R"(SELECT DISTINCT "A" FROM T WHERE "B" BETWEEN ?1 AND ?2 AND "C" NOT IN (?3, ?4) AND "D" )"
     R"(LIKE ?5 AND "E" IS NOT NULL AND NOT ("F" = ?6 OR "G" = ?7))"},
    {"KeywordAliasQuoted", R"(SELECT "A" PLAN FROM T)", R"(SELECT "A" "PLAN" FROM T)"},
    {"NegativeNeverMakesAComment", R"(SELECT 1 - -"A" FROM T)", R"(SELECT ?1 - -"A" FROM T)"},
    {"ForUpdateDropped", R"(SELECT "A" FROM T WHERE "K" = 1 FOR UPDATE NOWAIT)",
     R"(SELECT "A" FROM T WHERE "K" = ?1)"},
    {"OuterTableListedFirst", R"(SELECT A."X" FROM B, A WHERE A."Id" = B."AId" (+) AND A."K" = 1)",
     R"(SELECT A."X" FROM A LEFT JOIN B ON A."Id" = B."AId" WHERE A."K" = ?1)"},
    {"TwoConditionsOneOuterTable",
     R"(SELECT A."X" FROM A, B WHERE A."P" = B."P"(+) AND A."L" = B."L"(+))",
     R"(SELECT A."X" FROM A LEFT JOIN B ON A."P" = B."P" AND A."L" = B."L")"},
    {"OuterJoinOnSubSelect",
     R"(SELECT A."X", S."Q" FROM A, (SELECT "P", SUM("Q") "Q" FROM B GROUP BY "P") S WHERE )"
     R"(A."P" = S."P" (+))",
     R"(SELECT A."X", S."Q" FROM A LEFT JOIN (SELECT "P", SUM("Q") "Q" FROM B GROUP BY "P") S )"
     R"(ON A."P" = S."P")"},
    {"StarKeepsTheFromOrderWhenJoinsMove",
     R"(SELECT * FROM A, B, C WHERE A."Id" = B."Id" AND B."Id"(+) = C."Id")",
     R"(SELECT A.*, B.*, C.* FROM A, C LEFT JOIN B ON B."Id" = C."Id" WHERE A."Id" = B."Id")"},
    {"StarOfAliasesKeepsTheFromOrder",
     R"(SELECT * FROM T "b", U A WHERE A."Id" = "b"."Id"(+))",
     R"(SELECT "b".*, A.* FROM U A LEFT JOIN T "b" ON A."Id" = "b"."Id")"},
    {"StarStaysWhenTheOrderStays", R"(SELECT * FROM A, B WHERE A."Id" = B."Id"(+))",
     R"(SELECT * FROM A LEFT JOIN B ON A."Id" = B."Id")"},
    {"OuterMarkWithoutJoinIsAFilter", R"(SELECT V."X" FROM V WHERE V."P" = 1 AND V."B"(+) = 2)",
     R"(SELECT V."X" FROM V WHERE V."P" = ?1 AND V."B" = ?2)"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, Translates, ::testing::ValuesIn(kTranslations),
                         [](const ::testing::TestParamInfo<TranslationCase>& info) {
                             return info.param.name;
                         });

TEST(Translate, BindVariablesFollowTheLiterals) {
    Normalized n = Normalize("SELECT \"A\" FROM T WHERE \"B\" = :1 AND \"C\" = 'x' AND \"D\" = :2 "
                             "AND \"E\" = :1");
    Translation t = Translate(n, Target::SQLite, Hints());
    EXPECT_EQ(t.sql, "SELECT \"A\" FROM T WHERE \"B\" = ?2 AND \"C\" = ?1 AND \"D\" = ?3 AND "
                     "\"E\" = ?2");
    EXPECT_EQ(t.bindVariables, 2);
    EXPECT_EQ(t.conversions.size(), 1u);
}

TEST(Translate, ReturnsRowsOnlyForQueries) {
    EXPECT_TRUE(Translate(Normalize("SELECT 1 FROM DUAL"), Target::SQLite, Hints()).returnsRows);
    EXPECT_TRUE(Translate(Normalize("(SELECT \"A\" FROM T) UNION (SELECT \"A\" FROM U)"),
                          Target::SQLite, Hints())
                    .returnsRows);
    EXPECT_FALSE(Translate(Normalize("DELETE T"), Target::SQLite, Hints()).returnsRows);
}

// ---- conversions of month/day/year texts

struct ConversionCase {
    const char* sql;
    std::vector<Conversion> expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << c.sql;
}

class Conversions : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversions, DateTextsNextToDatesAreConverted) {
    Translation t = Translate(Normalize(GetParam().sql), Target::SQLite, Hints());
    EXPECT_EQ(t.conversions, GetParam().expected) << GetParam().sql;
}

constexpr Conversion kAsIs = Conversion::AsIs;
constexpr Conversion kMdy = Conversion::MdyDate;

INSTANTIATE_TEST_SUITE_P(
    Cases, Conversions,
    ::testing::Values(
        ConversionCase{"SELECT 1 FROM T WHERE \"Date\" > '12/31/2026' AND \"Name\" = '1/1/2027'",
                       {kAsIs, kMdy, kAsIs}},
        ConversionCase{"SELECT 1 FROM T WHERE '12/31/2026' <= ORD.\"Date\"", {kAsIs, kMdy}},
        ConversionCase{"UPDATE AUDITHIS SET \"Date\" = '1/2/2027' WHERE \"Audit\" = 5",
                       {kMdy, kAsIs}},
        ConversionCase{"INSERT INTO T (\"Id\", \"NeedBy\") VALUES (1, '01/15/2027')",
                       {kAsIs, kMdy}},
        ConversionCase{"SELECT 1 FROM T WHERE CASE WHEN II.\"Type\" = 0 THEN IR.\"Date\" ELSE "
                       "A.\"Date\" END >= '01/01/2027'",
                       {kAsIs, kAsIs, kMdy}},
        ConversionCase{"SELECT 1 FROM T WHERE \"Date\" BETWEEN '1/1/2027' AND '2/1/2027'",
                       {kAsIs, kMdy, kMdy}},
        ConversionCase{"SELECT 1 FROM T WHERE NVL(V.PODATE, '1/1/1990') < TRUNC(SYSDATE)",
                       {kAsIs, kMdy}},
        ConversionCase{"SELECT TO_DATE('1/1/2027') FROM T", {kMdy}},
        ConversionCase{"SELECT 1 FROM T WHERE '01/15/2027' > '12/31/2026'",
                       {kAsIs, kAsIs, kAsIs}}));

// ---- month/day/year texts

TEST(MdyToIso, ConvertsValidDatesOnly) {
    EXPECT_EQ(MdyToIso("1/15/2027"), "2027-01-15");
    EXPECT_EQ(MdyToIso("01/05/2027"), "2027-01-05");
    EXPECT_EQ(MdyToIso("2/29/2024"), "2024-02-29");
    EXPECT_EQ(MdyToIso("2027-03-04"), "2027-03-04");
    EXPECT_EQ(MdyToIso("2/29/2027"), "");
    EXPECT_EQ(MdyToIso("13/1/2027"), "");
    EXPECT_EQ(MdyToIso("0/0/0"), "");
    EXPECT_EQ(MdyToIso("1/15/2027x"), "");
    EXPECT_EQ(MdyToIso(""), "");
}

// An empty text is NULL, as Oracle has it.
TEST(TranslateToText, WritesValuesBackConverted) {
    SchemaHints h = Hints();
    EXPECT_EQ(TranslateToText("SELECT \"A\" FROM T WHERE \"Date\" >= '1/15/2027' AND \"N\" = "
                              "'O''Brien' AND \"Q\" = 2.5 AND \"K\" = :1 AND \"E\" = ''",
                              Target::SQLite, h),
              "SELECT \"A\" FROM T WHERE \"Date\" >= '2027-01-15' AND \"N\" = 'O''Brien' AND "
              "\"Q\" = 2.5 AND \"K\" = :1 AND \"E\" = NULL");
}

} // namespace

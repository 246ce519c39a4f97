// Oracle's meanings that SQLite does not share, checked on a real database: each
// statement is written as the module writes it and run as the database service runs it.

#include "TestDb.h"

#include <gtest/gtest.h>

using sqltest::Rows;
using sqltest::TestDb;

namespace {

class Semantics : public ::testing::Test {
protected:
    void SetUp() override {
        db.Native(R"(
            CREATE TABLE LOC ("InvLoc" TEXT COLLATE RTRIM PRIMARY KEY, "Name" TEXT);
            CREATE TABLE ITEM ("Id" INTEGER PRIMARY KEY, "InvLoc" TEXT COLLATE RTRIM,
                               "Name" TEXT, "Qty" INTEGER, "Date" TEXT, "Track" INTEGER);
            INSERT INTO LOC VALUES ('MAIN', 'Store room'), ('CART', 'Cart'), ('', 'Default');
            INSERT INTO ITEM VALUES (1, 'MAIN', 'Gloves', 7, '2026-01-14', NULL),
                                    (2, 'MAIN', 'gauze', 3, '2026-01-16', 1),
                                    (3, 'MAIN', 'Syringe', 5, '2027-01-15', 0),
                                    (4, 'CART', 'Tape', 2, NULL, NULL);
        )");
    }

    std::string Count(const std::string& where) {
        return db.Scalar("SELECT COUNT(1) FROM ITEM WHERE " + where);
    }

    TestDb db;
};

TEST_F(Semantics, EmptyTextIsNull) {
    db.Run("UPDATE ITEM SET \"Name\" = '' WHERE \"Id\" = 1");
    EXPECT_EQ(Count("\"Name\" IS NULL"), "1");
    EXPECT_EQ(db.Scalar("SELECT NVL('', 'empty') FROM DUAL"), "empty");
    EXPECT_EQ(db.Scalar("SELECT COUNT(1) FROM DUAL WHERE TRIM('   ') IS NULL"), "1");
    EXPECT_EQ(db.Scalar("SELECT SUBSTR('abc', 5, 2) FROM DUAL"), "NULL");
}

TEST_F(Semantics, CodesCompareWithoutTrailingBlanks) {
    EXPECT_EQ(db.Scalar("SELECT \"Name\" FROM LOC WHERE \"InvLoc\" = 'MAIN  '"), "Store room");
    EXPECT_EQ(db.Scalar("SELECT \"Name\" FROM LOC WHERE \"InvLoc\" = ' '"), "Default");
    EXPECT_EQ(db.Scalar("SELECT COUNT(1) FROM DUAL WHERE CAST('A' AS CHAR(6)) = 'A   '"), "1");
}

TEST_F(Semantics, DateTextsCompareAndStoreAsDates) {
    db.Run("INSERT INTO ITEM (\"Id\", \"Date\") VALUES (10, '01/15/2027')");
    db.Run("UPDATE ITEM SET \"Date\" = '2/1/2027' WHERE \"Id\" = 4");
    EXPECT_EQ(db.Scalar("SELECT \"Date\" FROM ITEM WHERE \"Id\" = 10"), "2027-01-15");
    EXPECT_EQ(db.Scalar("SELECT \"Date\" FROM ITEM WHERE \"Id\" = 4"), "2027-02-01");
    // As texts '01/15/2027' sorts before '12/31/2026'.
    EXPECT_EQ(Count("\"Date\" > '12/31/2026'"), "3");
    EXPECT_EQ(Count("\"Date\" BETWEEN '1/1/2026' AND '1/15/2026'"), "1");
}

TEST_F(Semantics, TodayArithmeticGivesDates) {
    EXPECT_EQ(Count("\"Date\" > (TRUNC(SYSDATE)-365)"), "2"); // after 2026-01-15
    EXPECT_EQ(db.Scalar("SELECT TRUNC(SYSDATE) + 1 FROM DUAL"), "2027-01-16");
    EXPECT_EQ(db.Scalar("SELECT \"Date\" - 1 FROM ITEM WHERE \"Id\" = 3"), "2027-01-14");
    EXPECT_EQ(db.Scalar("SELECT TRUNC(SYSDATE) - \"Date\" FROM ITEM WHERE \"Id\" = 1"), "366.0");
    db.today = WSIDate{2027, 1, 17};
    EXPECT_EQ(Count("\"Date\" > (TRUNC(SYSDATE)-365)"), "1");
}

TEST_F(Semantics, LikeIsCaseSensitive) {
    EXPECT_EQ(Count("\"Name\" LIKE 'g%'"), "1");
    EXPECT_EQ(Count("UPPER(\"Name\") LIKE UPPER('g%')"), "2");
}

TEST_F(Semantics, SubstrFromZeroStartsAtTheFirstCharacter) {
    EXPECT_EQ(db.Scalar("SELECT SUBSTR(\"Name\", 0, 3) FROM ITEM WHERE \"Id\" = 3"), "Syr");
    EXPECT_EQ(db.Scalar("SELECT CAST(TRIM(SUBSTR(NVL(\"Name\", ' '), 0, 128)) AS VARCHAR2(128)) "
                        "FROM ITEM WHERE \"Id\" = 3"),
              "Syringe");
}

TEST_F(Semantics, DecodeMatchesNullWithNull) {
    Rows r = db.Run("SELECT DECODE(\"Track\", NULL, 'none', 1, 'one', 'other') FROM ITEM WHERE "
                    "\"Id\" < 4 ORDER BY \"Id\"");
    EXPECT_EQ(r, (Rows{{"none"}, {"one"}, {"other"}}));
}

TEST_F(Semantics, RownumInsideCountCountsZeroOrOne) {
    EXPECT_EQ(Count("\"InvLoc\" = 'MAIN' AND ROWNUM < 2"), "1");
    EXPECT_EQ(Count("\"InvLoc\" = 'NONE' AND ROWNUM < 2"), "0");
    Rows r = db.Run("SELECT COUNT(1) FROM ITEM WHERE \"InvLoc\" = 'MAIN' AND ROWNUM < 2  UNION "
                    "SELECT COUNT(1) FROM LOC WHERE \"InvLoc\" = 'XX' AND ROWNUM < 2");
    EXPECT_EQ(r, (Rows{{"0"}, {"1"}}));
    EXPECT_EQ(db.Run("SELECT \"Id\" FROM ITEM WHERE \"InvLoc\" = 'MAIN' AND ROWNUM <= 2").size(),
              2u);
}

TEST_F(Semantics, NullsSortAfterValues) {
    EXPECT_EQ(db.Run("SELECT \"Id\" FROM ITEM ORDER BY \"Date\""),
              (Rows{{"1"}, {"2"}, {"3"}, {"4"}}));
    EXPECT_EQ(db.Run("SELECT \"Id\" FROM ITEM ORDER BY \"Date\" DESC"),
              (Rows{{"4"}, {"3"}, {"2"}, {"1"}}));
}

TEST_F(Semantics, DivisionDoesNotTruncate) {
    EXPECT_EQ(db.Scalar("SELECT 7 / 2 FROM DUAL"), "3.5");
    EXPECT_EQ(db.Scalar("SELECT \"Qty\" / 2 FROM ITEM WHERE \"Id\" = 1"), "3.5");
}

TEST_F(Semantics, ConcatenationSkipsNullAndEmptyResultIsNull) {
    EXPECT_EQ(db.Scalar("SELECT NULL || 'a' FROM DUAL"), "a");
    EXPECT_EQ(db.Scalar("SELECT '' || NULL FROM DUAL"), "NULL");
    EXPECT_EQ(db.Scalar("SELECT RTRIM(\"Name\") || ', ' || \"InvLoc\" FROM ITEM WHERE \"Id\" = 4"),
              "Tape, CART");
}

TEST_F(Semantics, OuterJoinKeepsUnmatchedRows) {
    Rows r = db.Run("SELECT L.\"InvLoc\", I.\"Qty\" FROM LOC L, ITEM I WHERE L.\"InvLoc\" = "
                    "I.\"InvLoc\" (+) AND I.\"Name\" (+) = 'Gloves' ORDER BY L.\"InvLoc\"");
    EXPECT_EQ(r, (Rows{{"", "NULL"}, {"CART", "NULL"}, {"MAIN", "7"}}));
    // Chained: the second outer table hangs off the first.
    r = db.Run("SELECT L.\"InvLoc\", L2.\"Name\" FROM LOC L, ITEM I, LOC L2 WHERE L.\"InvLoc\" = "
               "I.\"InvLoc\"(+) AND I.\"Name\"(+) = 'Tape' AND I.\"InvLoc\" = L2.\"InvLoc\"(+) "
               "ORDER BY 1");
    EXPECT_EQ(r, (Rows{{"", "NULL"}, {"CART", "Cart"}, {"MAIN", "NULL"}}));
}

TEST_F(Semantics, HostileTextStaysAValue) {
    // The caller doubles the quotes of the value '; DROP TABLE LOC; --
    const std::string value = "'''; DROP TABLE LOC; --'";
    EXPECT_EQ(Count("\"Name\" = " + value), "0");
    db.Run("UPDATE ITEM SET \"Name\" = " + value + " WHERE \"Id\" = 4");
    EXPECT_EQ(db.Scalar("SELECT \"Name\" FROM ITEM WHERE \"Id\" = 4"), "'; DROP TABLE LOC; --");
    EXPECT_EQ(db.Scalar("SELECT COUNT(1) FROM LOC"), "3");
}

TEST_F(Semantics, DateFormatsAndBindVariables) {
    EXPECT_EQ(db.Scalar("SELECT TO_CHAR(\"Date\", 'MM/DD/YYYY') FROM ITEM WHERE \"Id\" = 3"),
              "01/15/2027");
    EXPECT_EQ(db.Scalar("SELECT TO_CHAR(\"Date\", 'DD-Mon-YY') FROM ITEM WHERE \"Id\" = 3"),
              "15-Jan-27");
    EXPECT_EQ(db.Scalar("SELECT TO_DATE('15-JAN-2027', 'DD-MON-YYYY') FROM DUAL"), "2027-01-15");
    EXPECT_EQ(db.Scalar("SELECT TO_DATE('1/15/2027') FROM DUAL"), "2027-01-15");
    EXPECT_THROW(db.Scalar("SELECT TO_DATE('31/02/2027', 'DD/MM/YYYY') FROM DUAL"),
                 std::runtime_error);
    EXPECT_EQ(db.Run("SELECT \"Name\" FROM ITEM WHERE \"Id\" = :1 AND \"InvLoc\" = 'MAIN'", {"2"}),
              (Rows{{"gauze"}}));
}

} // namespace

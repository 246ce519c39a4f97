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

    // Every row, columns joined by ',' and rows by ';'.
    std::string All(const std::string& sql) {
        std::string out;
        for (const auto& row : db.Run(sql)) {
            out += out.empty() ? "" : ";";
            for (std::size_t i = 0; i < row.size(); ++i)
                out += (i ? "," : "") + row[i];
        }
        return out;
    }

    TestDb db;
};

// Today is 2027-01-15 unless a case says otherwise.
TEST_F(Semantics, ReadsGiveOraclesResults) {
    // Each statement with its rows, columns joined by ',' and rows by ';'.
    const std::pair<const char*, const char*> cases[] = {
        {R"(SELECT NVL('', 'empty') FROM DUAL)", "empty"},
        {R"(SELECT COUNT(1) FROM DUAL WHERE TRIM('   ') IS NULL)", "1"},
        {R"(SELECT SUBSTR('abc', 5, 2) FROM DUAL)", "NULL"},
        {R"(SELECT "Name" FROM LOC WHERE "InvLoc" = 'MAIN  ')", "Store room"},
        {R"(SELECT "Name" FROM LOC WHERE "InvLoc" = ' ')", "Default"},
        {R"(SELECT COUNT(1) FROM DUAL WHERE CAST('A' AS CHAR(6)) = 'A   ')", "1"},
        {R"(SELECT COUNT(1) FROM ITEM WHERE "Date" > (TRUNC(SYSDATE)-365))", "2"},
        {R"(SELECT TRUNC(SYSDATE) + 1 FROM DUAL)", "2027-01-16"},
        {R"(SELECT "Date" - 1 FROM ITEM WHERE "Id" = 3)", "2027-01-14"},
        {R"(SELECT TRUNC(SYSDATE) - "Date" FROM ITEM WHERE "Id" = 1)", "366.0"},
        {R"(SELECT COUNT(1) FROM ITEM WHERE "Name" LIKE 'g%')", "1"},
        {R"(SELECT COUNT(1) FROM ITEM WHERE UPPER("Name") LIKE UPPER('g%'))", "2"},
        {R"(SELECT SUBSTR("Name", 0, 3) FROM ITEM WHERE "Id" = 3)", "Syr"},
        {R"(SELECT CAST(TRIM(SUBSTR(NVL("Name", ' '), 0, 128)) AS VARCHAR2(128)) FROM ITEM )"
         R"(WHERE "Id" = 3)",
         "Syringe"},
        {R"(SELECT DECODE("Track", NULL, 'none', 1, 'one', 'other') FROM ITEM WHERE "Id" < 4 )"
         R"(ORDER BY "Id")",
         "none;one;other"},
        {R"(SELECT COUNT(1) FROM ITEM WHERE "InvLoc" = 'MAIN' AND ROWNUM < 2)", "1"},
        {R"(SELECT COUNT(1) FROM ITEM WHERE "InvLoc" = 'NONE' AND ROWNUM < 2)", "0"},
        {R"(SELECT COUNT(1) FROM ITEM WHERE "InvLoc" = 'MAIN' AND ROWNUM < 2  UNION SELECT )"
         R"(COUNT(1) FROM LOC WHERE "InvLoc" = 'XX' AND ROWNUM < 2)",
         "0;1"},
        {R"(SELECT "Id" FROM ITEM WHERE "InvLoc" = 'MAIN' AND ROWNUM <= 2)", "1;2"},
        {R"(SELECT "Id" FROM ITEM ORDER BY "Date")", "1;2;3;4"},
        {R"(SELECT "Id" FROM ITEM ORDER BY "Date" DESC)", "4;3;2;1"},
        {R"(SELECT 7 / 2 FROM DUAL)", "3.5"},
        {R"(SELECT "Qty" / 2 FROM ITEM WHERE "Id" = 1)", "3.5"},
        {R"(SELECT NULL || 'a' FROM DUAL)", "a"},
        {R"(SELECT '' || NULL FROM DUAL)", "NULL"},
        {R"(SELECT RTRIM("Name") || ', ' || "InvLoc" FROM ITEM WHERE "Id" = 4)", "Tape, CART"},
        {R"(SELECT L."InvLoc", I."Qty" FROM LOC L, ITEM I WHERE L."InvLoc" = I."InvLoc" (+) )"
         R"(AND I."Name" (+) = 'Gloves' ORDER BY L."InvLoc")",
         ",NULL;CART,NULL;MAIN,7"},
        {R"(SELECT L."InvLoc", L2."Name" FROM LOC L, ITEM I, LOC L2 WHERE L."InvLoc" = )"
         R"(I."InvLoc"(+) AND I."Name"(+) = 'Tape' AND I."InvLoc" = L2."InvLoc"(+) ORDER BY )"
         R"(1)",
         ",NULL;CART,Cart;MAIN,NULL"},
        {R"(SELECT TO_CHAR("Date", 'MM/DD/YYYY') FROM ITEM WHERE "Id" = 3)", "01/15/2027"},
        {R"(SELECT TO_CHAR("Date", 'DD-Mon-YY') FROM ITEM WHERE "Id" = 3)", "15-Jan-27"},
        {R"(SELECT TO_DATE('15-JAN-2027', 'DD-MON-YYYY') FROM DUAL)", "2027-01-15"},
        {R"(SELECT TO_DATE('1/15/2027') FROM DUAL)", "2027-01-15"},
    };
    for (const auto& [sql, rows] : cases)
        EXPECT_EQ(All(sql), rows) << sql;
    EXPECT_THROW(db.Scalar("SELECT TO_DATE('31/02/2027', 'DD/MM/YYYY') FROM DUAL"),
                 std::runtime_error);
    EXPECT_EQ(db.Run("SELECT \"Name\" FROM ITEM WHERE \"Id\" = :1 AND \"InvLoc\" = 'MAIN'", {"2"}),
              (Rows{{"gauze"}}));
    db.today = WSIDate{2027, 1, 17};
    EXPECT_EQ(Count("\"Date\" > (TRUNC(SYSDATE)-365)"), "1");
}

TEST_F(Semantics, WritesStoreOraclesValues) {
    db.Run("UPDATE ITEM SET \"Name\" = '' WHERE \"Id\" = 1");
    EXPECT_EQ(Count("\"Name\" IS NULL"), "1");
    db.Run("INSERT INTO ITEM (\"Id\", \"Date\") VALUES (10, '01/15/2027')");
    db.Run("UPDATE ITEM SET \"Date\" = '2/1/2027' WHERE \"Id\" = 4");
    EXPECT_EQ(db.Scalar("SELECT \"Date\" FROM ITEM WHERE \"Id\" = 10"), "2027-01-15");
    EXPECT_EQ(db.Scalar("SELECT \"Date\" FROM ITEM WHERE \"Id\" = 4"), "2027-02-01");
    // As texts '01/15/2027' sorts before '12/31/2026'.
    EXPECT_EQ(Count("\"Date\" > '12/31/2026'"), "3");
    EXPECT_EQ(Count("\"Date\" BETWEEN '1/1/2026' AND '1/15/2026'"), "1");
}

TEST_F(Semantics, HostileTextStaysAValue) {
    // The caller doubles the quotes of the value '; DROP TABLE LOC; --
    const std::string value = "'''; DROP TABLE LOC; --'";
    EXPECT_EQ(Count("\"Name\" = " + value), "0");
    db.Run("UPDATE ITEM SET \"Name\" = " + value + " WHERE \"Id\" = 4");
    EXPECT_EQ(db.Scalar("SELECT \"Name\" FROM ITEM WHERE \"Id\" = 4"), "'; DROP TABLE LOC; --");
    EXPECT_EQ(db.Scalar("SELECT COUNT(1) FROM LOC"), "3");
}

} // namespace

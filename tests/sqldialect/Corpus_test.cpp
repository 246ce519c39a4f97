// Every statement the module writes must translate, and SQLite must accept the result
// against a schema with the module's tables and views.

#include "TestDb.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace sqldialect;

namespace {

const char* const kSchema = R"(
CREATE TABLE PRODUCT ("Product" INTEGER PRIMARY KEY, "ProductCode" TEXT, "UPCCode" TEXT,
  "Description" TEXT, "PrdType" INTEGER, "PrdCat" TEXT COLLATE RTRIM, "Unit" TEXT,
  "WeightUnit" TEXT, "Vendor" INTEGER, "Manufacturer" TEXT, "InvOType" TEXT COLLATE RTRIM,
  "CostPerUnit" REAL, "CanOrder" INTEGER, "IsDividable" INTEGER, "TrackExpiryDate" INTEGER,
  "Inactive" INTEGER);
CREATE TABLE PRDTYPE ("PrdType" INTEGER PRIMARY KEY, "Description" TEXT);
CREATE TABLE PRDCAT ("PrdType" INTEGER, "PrdCat" TEXT COLLATE RTRIM, "Description" TEXT,
  "Inactive" INTEGER);
CREATE TABLE PRDUNIT ("PrdUnit" INTEGER PRIMARY KEY, "Description" TEXT, "Inactive" INTEGER);
CREATE TABLE VENDOR ("Vendor" INTEGER PRIMARY KEY, "Name" TEXT, "Address1" TEXT, "City" TEXT,
  "Area" TEXT, "Phone" TEXT, "Inactive" INTEGER);
CREATE TABLE CITY ("City" TEXT);
CREATE TABLE PROVINCE ("Province" TEXT);
CREATE TABLE INVLOC ("InvLoc" TEXT COLLATE RTRIM PRIMARY KEY, "Name" TEXT, "Type" INTEGER,
  "BarCode" TEXT, "Inactive" INTEGER);
CREATE TABLE PRDLOC ("Product" INTEGER, "InvLoc" TEXT COLLATE RTRIM, "Bin" TEXT,
  "Stocked" INTEGER, "TrackUsage" INTEGER, "CanOrderFrom" INTEGER, "Balance" REAL,
  "LastCount" REAL, "LastCountDate" TEXT, "MinCount" INTEGER, "ReorderCount" INTEGER,
  "MinToOrder" INTEGER, "StdToOrder" INTEGER, "Inactive" INTEGER);
CREATE TABLE INVLOCMAP ("InvLoc" TEXT COLLATE RTRIM);
CREATE TABLE INVOTYPE ("InvOType" TEXT COLLATE RTRIM PRIMARY KEY, "Description" TEXT,
  "IsExternal" INTEGER, "Inactive" INTEGER);
CREATE TABLE INVADJ ("InvAdj" TEXT COLLATE RTRIM PRIMARY KEY, "Type" INTEGER, "Inactive" INTEGER);
CREATE TABLE INVORDER ("InvOrder" INTEGER PRIMARY KEY, "IsExternal" INTEGER,
  "InvLoc" TEXT COLLATE RTRIM, "InvLocFrom" TEXT COLLATE RTRIM, "Vendor" INTEGER,
  "PONumber" TEXT, "InvOType" TEXT COLLATE RTRIM, "SpecialOrder" INTEGER, "Date" TEXT,
  "Recurs" INTEGER, "ApprovalUser" INTEGER, "Audit" INTEGER, "Inactive" INTEGER);
CREATE TABLE INVORDIT ("InvOrdIt" INTEGER PRIMARY KEY, "InvOrder" INTEGER, "Item" INTEGER,
  "Product" INTEGER, "Description" TEXT, "Quantity" INTEGER, "Unit" TEXT, "QtyFilled" INTEGER,
  "Status" INTEGER, "NeedBy" TEXT, "Comment" TEXT, "WasBackOrdered" INTEGER,
  "PickList" INTEGER, "PickUser" INTEGER);
CREATE TABLE INVREC ("InvRec" INTEGER PRIMARY KEY, "InvLoc" TEXT COLLATE RTRIM,
  "Vendor" INTEGER, "PONumber" TEXT, "Date" TEXT, "Audit" INTEGER);
CREATE TABLE INVITEM ("InvItem" INTEGER PRIMARY KEY, "InvLoc" TEXT COLLATE RTRIM,
  "InvLocFrom" TEXT COLLATE RTRIM, "Product" INTEGER, "Type" INTEGER, "InvRec" INTEGER,
  "InvOrdIt" INTEGER, "Quantity" INTEGER, "Balance" REAL, "CostPerUnit" REAL,
  "ExpiryDate" TEXT, "Audit" INTEGER);
CREATE TABLE INVITDET ("InvItDet" INTEGER PRIMARY KEY, "InvItem" INTEGER, "Type" INTEGER,
  "InvLoc" TEXT COLLATE RTRIM, "Product" INTEGER, "InvAdj" TEXT COLLATE RTRIM,
  "BatchId" INTEGER, "CostPerUnit" REAL, "Audit" INTEGER);
CREATE TABLE AUDITHIS ("Audit" INTEGER PRIMARY KEY, "User" INTEGER, "Date" TEXT);
CREATE TABLE USERS ("User" INTEGER PRIMARY KEY, "Name" TEXT, "First" TEXT, "Middle" TEXT);
CREATE TABLE INVPRODMAP ("Product" INTEGER, "Sundry" TEXT COLLATE RTRIM, "Inactive" INTEGER);
CREATE TABLE INVORDER_VIEW (INVORDER, INACTIVE, PONUMBER, PODATE, VENDORNAME, INVORDIT, ITEM,
  STATUS, PRODUCTID, CATEGORY, PRODUCTCODE, DESCRIPTION, UPCCODE, ORDERQTY, UNIT, QTYFILLED);
CREATE TABLE INVRECEIPT_VIEW (INVREC, INVLOC, INVRECDATE, PONUMBER, PODATE, VENDORNAME, INVITEM,
  ITEM, PRODUCTID, CATEGORY, PRODUCTCODE, DESCRIPTION, UPCCODE, QUANTITY, UNIT, EXPIRYDATE,
  QTYFILLED, RECD);
CREATE TABLE INVFILL_VIEW (INVITEM, BATCHID, FILLED, INVORDER, INACTIVE, PODATE, INVORDIT, ITEM,
  STATUS, PICKLIST, PRODUCTID, PRODUCTCODE, DESCRIPTION, UPCCODE, ORDERQTY, UNIT, QTYFILLED,
  WASBACKORDERED, PRODUCTBIN);
CREATE TABLE INVTRANSFER_VIEW (INVITEM, INVLOC, PRODUCTID, CATEGORY, PRODUCTCODE, DESCRIPTION,
  UPCCODE, UNIT, SCANNED, AUDITID);
)";

// Fills the printf placeholders of a statement template with representative values:
// numbers, a location code, and for a bare %s what the caller puts there (a column list
// after SELECT, a column before LIKE or after ORDER BY, nothing in a condition slot).
std::string Fill(const std::string& t) {
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '%') {
            out += t[i];
        } else if (t.compare(i, 3, "%%s") == 0) {
            i += 2; // formatted twice: the second pass leaves an empty condition slot
        } else if (t.compare(i, 3, "%ld") == 0) {
            out += "42";
            i += 2;
        } else if (t.compare(i, 2, "%d") == 0) {
            out += "1";
            i += 1;
        } else if (t.compare(i, 4, "%.*s") == 0) {
            out += "MAIN";
            i += 3;
        } else if (t.compare(i, 2, "%s") == 0) {
            const std::string before = out.substr(out.size() > 9 ? out.size() - 9 : 0);
            if (i > 0 && t[i - 1] == '\'')
                out += "MAIN";
            else if (before.size() >= 7 && before.compare(before.size() - 7, 7, "SELECT ") == 0)
                out += "*";
            else if (t.compare(i + 2, 5, " like") == 0 ||
                     (before.size() >= 3 && before.compare(before.size() - 3, 3, "BY ") == 0))
                out += "\"PONumber\"";
            i += 1;
        } else {
            out += t[i];
        }
    }
    return out;
}

std::vector<std::string> CorpusLines() {
    std::ifstream in(std::string(TAVEL_TEST_DATA_DIR) + "/oracle-sql-corpus.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

class CorpusDb : public ::testing::Test {
protected:
    void SetUp() override { db.Native(kSchema); }

    // Translates and prepares; returns the failure, empty on success.
    std::string Check(const std::string& oracle) {
        try {
            Translation t = Translate(Normalize(oracle), Target::SQLite, db.hints);
            sqlite3_stmt* s = nullptr;
            int rc = sqlite3_prepare_v2(db.Handle(), t.sql.c_str(), -1, &s, nullptr);
            sqlite3_finalize(s);
            if (rc != SQLITE_OK)
                return std::string(sqlite3_errmsg(db.Handle())) + "\n  in: " + t.sql;
            return {};
        } catch (const TranslateError& e) {
            return e.what();
        }
    }

    sqltest::TestDb db;
};

TEST_F(CorpusDb, EveryStatementTranslatesAndPrepares) {
    std::vector<std::string> lines = CorpusLines();
    ASSERT_GT(lines.size(), 150u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string sql = Fill(lines[i]);
        ASSERT_EQ(sql.find('%'), std::string::npos) << sql;
        EXPECT_EQ(Check(sql), "") << "line " << i + 1 << ": " << sql;
    }
}

// The base statements with the conditions the screens append.
TEST_F(CorpusDb, StatementsWithScreenConditionsTranslateAndPrepare) {
    std::vector<std::string> lines = CorpusLines();
    auto find = [&](const char* start) {
        for (const auto& l : lines)
            if (l.compare(0, std::strlen(start), start) == 0)
                return l;
        return std::string();
    };
    const std::string orders = find("SELECT ORD.\"InvOrder\"");
    const std::string received = find("SELECT %s, (CASE WHEN  II.\"Type\"");
    const std::string levels = find("SELECT PL.\"Product\", CAST(' ' AS CHAR(6))");
    ASSERT_FALSE(orders.empty());
    ASSERT_FALSE(received.empty());
    ASSERT_FALSE(levels.empty());

    auto replaceFirst = [](std::string s, const std::string& from, const std::string& to) {
        std::size_t p = s.find(from);
        return p == std::string::npos ? s : s.replace(p, from.size(), to);
    };
    const std::string pendingConditions =
        " AND P.\"PrdType\" = 3 AND P.\"PrdCat\" = 'SYR' AND ORD.\"IsExternal\" = 0  AND "
        "ORD.\"InvLocFrom\" = 'MAIN'  AND DECODE(PL.\"TrackUsage\", 1, PL.\"Balance\", "
        "PL.\"LastCount\") > 0  AND ORD.\"Date\"  >= '01/15/2027' AND ORD.\"Date\"  <= "
        "'02/15/2027' AND ORD.\"Status\" IN (0,1,2,3,5,8,9) AND ORD.\"Inactive\" = 0";
    const std::string receivedConditions =
        " AND  CASE WHEN II.\"Type\" = 0 THEN IR.\"Date\" ELSE A.\"Date\" END >= '01/15/2027' "
        "AND II.\"InvLoc\" = 'MAIN' AND IR.\"Vendor\" = 4 AND II.\"Type\" = 0";
    const std::string productSearch =
        "SELECT P.*, PL.\"InvLoc\", PL.\"Stocked\", PL.\"TrackUsage\",  PL.\"CanOrderFrom\", "
        "PL2.\"StdToOrder\", PL.\"Inactive\" \"PLInactive\",  PL.\"Balance\", PL.\"LastCount\", "
        "PC.\"Description\" \"PrdCatDesc\",  PT.\"Description\" \"PrdTypeDesc\", V.\"Name\" "
        "\"VendorName\", M.\"Product\" \"Mapped\"  FROM PRODUCT P, PRDCAT PC, PRDTYPE PT, PRDLOC "
        "PL, PRDLOC PL2, VENDOR V, INVPRODMAP M  WHERE P.\"PrdType\" = 2 AND P.\"PrdType\" = "
        "PC.\"PrdType\" AND P.\"PrdCat\" = PC.\"PrdCat\" AND P.\"PrdType\" = PT.\"PrdType\"  AND "
        "P.\"Product\" = PL.\"Product\" (+) AND PL.\"Product\" (+) = -1 AND P.\"Vendor\" = "
        "V.\"Vendor\" (+) AND P.\"Product\" = PL2.\"Product\" (+) AND PL2.\"Product\" (+) = -1 "
        "AND P.\"Inactive\" = 0  AND P.\"Product\" = M.\"Product\" (+) AND M.\"Inactive\"(+) = 0 "
        " AND (UPPER(PC.\"PrdCat\") LIKE UPPER ('SY%') OR UPPER(PC.\"Description\") LIKE UPPER "
        "('SY%')  OR UPPER(PC.\"Description\") LIKE UPPER ('% SY%'))  ORDER BY P.\"PrdCat\", "
        "P.\"ProductCode\"";
    const std::vector<std::string> statements = {
        replaceFirst(orders, "%s", pendingConditions),
        replaceFirst(Fill(replaceFirst(received, "%%s", "@")), "@", receivedConditions),
        replaceFirst(replaceFirst(levels, "%s", " and pl2.\"Inactive\" = 0"), "%s",
                     " AND P.\"PrdType\" = 3"),
        productSearch,
        "SELECT * FROM VENDOR  WHERE UPPER(\"Address1\") LIKE UPPER ('12%') OR UPPER(\"City\") "
        "LIKE UPPER ('12%')  ORDER BY \"Address1\", \"City\""};
    for (const auto& sql : statements) {
        ASSERT_EQ(sql.find("%s"), std::string::npos) << sql;
        EXPECT_EQ(Check(sql), "") << sql;
    }
}

} // namespace

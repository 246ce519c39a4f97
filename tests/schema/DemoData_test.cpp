#include "DemoData.h"
#include "InventoryCodes.h"
#include "Schema.h"
#include "SchemaTestSupport.h"
#include "StockCheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <set>
#include <string>

using schematest::TempDatabase;

namespace {

// One demo database for the whole suite; the tests only read it.
class DemoDataTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        t_ = std::make_unique<TempDatabase>();
        std::string problem;
        created_ = tavel::CreateSchema(t_->db, &problem) && tavel::LoadDemoData(t_->db, &problem);
        problem_ = problem;
    }
    static void TearDownTestSuite() { t_.reset(); }
    void SetUp() override { ASSERT_TRUE(created_) << problem_; }

    static TempDatabase& t() { return *t_; }

    // The demo's "today" as SQLite compares dates.
    static std::string Today() {
        char today[16];
        std::snprintf(today, sizeof today, "%04d-%02d-%02d", schematest::kToday.year,
                      schematest::kToday.month, schematest::kToday.day);
        return today;
    }
    static long long Count(const std::string& sql) { return t().Number(sql); }
    // A rule of the demo that no row may break: the query counts the rows that do.
    static void ExpectNone(const char* rule, const std::string& sql) {
        EXPECT_EQ(Count(sql), 0) << rule;
    }

private:
    static inline std::unique_ptr<TempDatabase> t_;
    static inline bool created_ = false;
    static inline std::string problem_;
};

// The GS1 check digit: weights 3 and 1 alternating from the digit before it.
bool ValidGtin(const std::string& code) {
    if (code.size() != 13 && code.size() != 14)
        return false;
    int sum = 0;
    for (std::size_t i = 0; i + 1 < code.size(); ++i) {
        if (code[i] < '0' || code[i] > '9')
            return false;
        const std::size_t fromRight = code.size() - 2 - i;
        sum += (code[i] - '0') * (fromRight % 2 == 0 ? 3 : 1);
    }
    return code.back() - '0' == (10 - sum % 10) % 10;
}

TEST(DemoGtin, CheckDigitRuleAcceptsKnownCodesAndRefusesAlteredOnes) {
    // Published examples, an EAN-13 and a GTIN-14, then altered or shortened.
    for (const char* good : {"4006381333931", "10012345678902"})
        EXPECT_TRUE(ValidGtin(good)) << good;
    for (const char* bad : {"4006381333932", "10012345678920", "400638133393"})
        EXPECT_FALSE(ValidGtin(bad)) << bad;
}

TEST_F(DemoDataTest, StockCheckFindsNothingWrong) {
    const auto violations = tavel::CheckStock(t().db);
    for (const auto& v : violations)
        ADD_FAILURE() << tavel::RuleName(v.rule) << " " << v.productCode << " at " << v.invLoc
                      << ": " << v.text;
    // There is stock to check, at most locations and in partly used lots.
    EXPECT_GE(Count(R"(SELECT COUNT(DISTINCT "InvLoc") FROM INVITEM WHERE "Balance" > 0)"), 5);
    EXPECT_GT(
        Count(R"(SELECT COUNT(1) FROM INVITEM WHERE "Balance" > 0 AND "Balance" < "Quantity")"), 0);
    ExpectNone("stock only where the product has a row at the location",
               R"(SELECT COUNT(1) FROM INVITEM I WHERE NOT EXISTS (SELECT 1 FROM PRDLOC PL
                  WHERE PL."InvLoc" = I."InvLoc" AND PL."Product" = I."Product"))");
    ExpectNone("no stock, and no stocked row, at a location that holds none",
               R"(SELECT COUNT(1) FROM PRDLOC PL JOIN INVLOC L ON L."InvLoc" = PL."InvLoc"
                  WHERE L."Type" = 2 AND (PL."Stocked" = 1 OR PL."Balance" <> 0))");
}

TEST_F(DemoDataTest, OrderLinesOfEveryStatusKeepItsRule) {
    using namespace tavel::OrdItStatus;
    ExpectNone("a line's fill is what its items brought to the ordering location",
               R"(SELECT COUNT(1) FROM INVORDIT L JOIN INVORDER O ON O."InvOrder" = L."InvOrder"
                  WHERE L."QtyFilled" <> (SELECT COALESCE(SUM(I."Quantity"), 0) FROM INVITEM I
                  WHERE I."InvOrdIt" = L."InvOrdIt" AND I."InvLoc" = O."InvLoc"))");
    const struct {
        short status;
        const char* broken; // lines of the status that break its rule
    } rules[] = {
        {Filled, R"("QtyFilled" < "Quantity")"},
        {PartiallyFilled, R"("QtyFilled" = 0 OR "QtyFilled" >= "Quantity")"},
        {BackOrdered, R"("WasBackOrdered" <> 1 OR "QtyFilled" >= "Quantity")"},
        {OnPickList, R"("PickList" = 0 OR "QtyFilled" <> 0)"},
        {Requested, R"("QtyFilled" <> 0 OR "PickList" <> 0)"},
        {InReview, R"("QtyFilled" <> 0 OR "PickList" <> 0)"},
        {Ordered, R"("QtyFilled" <> 0 OR "PickList" <> 0)"},
        {Purchased, R"("QtyFilled" <> 0)"},
        {Cancelled, R"("QtyFilled" <> 0)"},
        {Closed, "0"},
    };
    // Every status has lines, and they keep its rule.
    for (const auto& r : rules) {
        const std::string lines =
            "SELECT COUNT(1) FROM INVORDIT WHERE \"Status\" = " + std::to_string(r.status);
        EXPECT_GT(Count(lines), 0) << "no line of status " << r.status;
        ExpectNone(r.broken, lines + " AND (" + r.broken + ")");
    }
    ExpectNone("only filled lines, or closed ones, reach their quantity",
               R"(SELECT COUNT(1) FROM INVORDIT WHERE "QtyFilled" >= "Quantity"
                  AND "Status" NOT IN (6, 7))");
    ExpectNone("purchase orders go to vendors, requests to another location",
               R"(SELECT COUNT(1) FROM INVORDER WHERE ("IsExternal" = 1) <> ("Vendor" <> 0)
                  OR ("IsExternal" = 0) <> (COALESCE("InvLocFrom", '') <> ''))");
    ExpectNone("lines are numbered from 1",
               R"(SELECT COUNT(1) FROM INVORDER O WHERE (SELECT MAX("Item") FROM INVORDIT L
                  WHERE L."InvOrder" = O."InvOrder") <> (SELECT COUNT(1) FROM INVORDIT L
                  WHERE L."InvOrder" = O."InvOrder"))");
    // Open lines on purchase orders and on requests alike.
    for (int external : {0, 1})
        EXPECT_GT(Count(R"(SELECT COUNT(1) FROM INVORDIT L JOIN INVORDER O
                            ON O."InvOrder" = L."InvOrder" WHERE L."Status" IN (0, 1, 2, 3, 5, 8, 9)
                            AND O."IsExternal" = )" +
                        std::to_string(external)),
                  0);
    EXPECT_EQ(Count(R"(SELECT COUNT(DISTINCT "PickList") FROM INVORDIT WHERE "PickList" > 0)"), 1);
    // The order types offer both kinds.
    EXPECT_GT(Count(R"(SELECT COUNT(1) FROM INVOTYPE WHERE "IsExternal" = 1)"), 0);
    EXPECT_GT(Count(R"(SELECT COUNT(1) FROM INVOTYPE WHERE "IsExternal" = 0)"), 0);
    ExpectNone("an order's type goes where the order goes",
               R"(SELECT COUNT(1) FROM INVORDER O LEFT JOIN INVOTYPE T ON T."InvOType" =
                  O."InvOType" WHERE T."IsExternal" IS NULL OR T."IsExternal" <> O."IsExternal")");
}

TEST_F(DemoDataTest, SomeLotsAreExpiredAndSomeExpireWithinTheMonth) {
    const std::string today = Today();
    const std::string lots = R"(SELECT COUNT(1) FROM INVITEM WHERE "Balance" > 0 AND
                                "ExpiryDate" IS NOT NULL AND )";
    EXPECT_GT(Count(lots + "\"ExpiryDate\" < '" + today + "'"), 0);
    EXPECT_GT(Count(lots + "\"ExpiryDate\" >= '" + today + "' AND \"ExpiryDate\" <= DATE('" +
                    today + "', '+30 day')"),
              0);
    // Most stock is good for a while yet.
    EXPECT_GT(Count(lots + "\"ExpiryDate\" > DATE('" + today + "', '+90 day')"),
              2 * Count(lots + "\"ExpiryDate\" <= DATE('" + today + "', '+30 day')"));
    ExpectNone("lots carry an expiry date exactly when their product tracks it",
               R"(SELECT COUNT(1) FROM INVITEM I JOIN PRODUCT P ON P."Product" = I."Product"
                  WHERE (P."TrackExpiryDate" = 1) <> (I."ExpiryDate" IS NOT NULL))");
    for (const char* table : {"INVORDER", "INVREC", "AUDITHIS"})
        ExpectNone(table, std::string("SELECT COUNT(1) FROM ") + table + " WHERE \"Date\" > '" +
                              today + "'"); // nothing happened after today
}

TEST_F(DemoDataTest, UpcCodesAreUniqueGtinsWithValidCheckDigits) {
    const auto rows = t().Rows(R"(SELECT "ProductCode", "UPCCode" FROM PRODUCT)");
    ASSERT_FALSE(rows.empty());
    std::set<std::string> seen, lengths;
    for (const auto& row : rows) {
        EXPECT_TRUE(ValidGtin(row[1])) << row[0] << " " << row[1];
        EXPECT_TRUE(seen.insert(row[1]).second) << "UPC of " << row[0] << " used twice";
        lengths.insert(std::to_string(row[1].size()));
    }
    EXPECT_EQ(lengths, (std::set<std::string>{"13", "14"}));
}

TEST_F(DemoDataTest, CatalogueIsCompleteAndRefersOnlyToExistingCodes) {
    const long long products = Count("SELECT COUNT(1) FROM PRODUCT");
    EXPECT_GE(products, 150);
    EXPECT_LE(products, 250);
    EXPECT_GE(Count(R"(SELECT COUNT(DISTINCT "PrdType") FROM PRODUCT)"), 3);
    EXPECT_GE(Count(R"(SELECT COUNT(DISTINCT "PrdCat") FROM PRODUCT)"), 8);
    EXPECT_GE(Count(R"(SELECT COUNT(DISTINCT "Unit") FROM PRODUCT)"), 5);
    EXPECT_EQ(Count(R"(SELECT COUNT(DISTINCT "CostingMethod") FROM PRODUCT)"), 4);
    EXPECT_GT(Count(R"(SELECT COUNT(1) FROM PRODUCT WHERE "IsDividable" = 1)"), 0);
    EXPECT_GT(Count(R"(SELECT COUNT(1) FROM PRODUCT WHERE "IsDividable" = 0)"), 0);
    EXPECT_EQ(Count(R"(SELECT COUNT(DISTINCT "ProductCode") FROM PRODUCT)"), products);
    ExpectNone("codes the scan screens accept",
               R"(SELECT COUNT(1) FROM PRODUCT, TAVELOPT
                  WHERE LENGTH("ProductCode") < "MinProductLength")");
    EXPECT_EQ(Count("SELECT COUNT(1) FROM TAVELOPT"), 1);
    ExpectNone("each product's description, type, category, units and vendor exist",
               R"(SELECT COUNT(1) FROM PRODUCT P WHERE "Description" = ''
        OR NOT EXISTS (SELECT 1 FROM PRDCAT C WHERE C."PrdType" = P."PrdType"
                       AND C."PrdCat" = P."PrdCat")
        OR NOT EXISTS (SELECT 1 FROM PRDUNIT U WHERE UPPER(U."Description") = UPPER(P."Unit"))
        OR NOT EXISTS (SELECT 1 FROM PRDUNIT U WHERE UPPER(U."Description") = UPPER(P."ItemUnit"))
        OR NOT EXISTS (SELECT 1 FROM VENDOR V WHERE V."Vendor" = P."Vendor"))");
    ExpectNone("every product has its default row under the empty location code",
               R"(SELECT COUNT(1) FROM PRODUCT P WHERE NOT EXISTS (SELECT 1 FROM PRDLOC PL
                  WHERE PL."Product" = P."Product" AND PL."InvLoc" = ''))");
    EXPECT_EQ(Count("SELECT COUNT(1) FROM VENDOR"), 5);
    ExpectNone("vendors have an address in a city and province the look-ups know",
               R"(SELECT COUNT(1) FROM VENDOR V WHERE "Address1" = '' OR "Phone" = ''
        OR NOT EXISTS (SELECT 1 FROM CITY C WHERE C."City" = V."City")
        OR NOT EXISTS (SELECT 1 FROM PROVINCE R WHERE R."Province" = V."Province"))");
    ExpectNone("billable items point at products", R"(SELECT COUNT(1) FROM INVPRODMAP M WHERE
                  NOT EXISTS (SELECT 1 FROM PRODUCT P WHERE P."Product" = M."Product"))");
}

TEST_F(DemoDataTest, LocationsCoverEveryTypeAndCodesEveryAdjustmentKind) {
    using namespace tavel;
    for (short type : {LocationType::StoreRoom, LocationType::SupplyRoom, LocationType::NoStock,
                       LocationType::UsePoint})
        EXPECT_GT(Count("SELECT COUNT(1) FROM INVLOC WHERE \"Type\" = " + std::to_string(type)), 0)
            << "location type " << type;
    const long long locations = Count("SELECT COUNT(1) FROM INVLOC");
    EXPECT_GE(locations, 6);
    EXPECT_LE(locations, 8);
    for (short type : {AdjustmentType::Decrease, AdjustmentType::Increase, AdjustmentType::Count})
        EXPECT_GT(Count("SELECT COUNT(1) FROM INVADJ WHERE \"Type\" = " + std::to_string(type)), 0)
            << "adjustment type " << type;
    ExpectNone("details written with a code use a code of their direction",
               R"(SELECT COUNT(1) FROM INVITDET D JOIN INVADJ A ON A."InvAdj" = D."InvAdj"
                  WHERE D."Type" = 2 AND (A."Type" = 0) <> (D."Quantity" < 0))");
    EXPECT_GT(Count(R"(SELECT COUNT(1) FROM INVITDET WHERE "Type" = 2)"), 0);
    EXPECT_GT(Count(R"(SELECT COUNT(1) FROM INVITDET WHERE "Type" = 3)"), 0);
}

TEST_F(DemoDataTest, StaffSignInAndOnlyApproversApprove) {
    std::set<std::string> approvers;
    bool withRight = false, withoutRight = false;
    for (const tavel::DemoUser& u : tavel::kDemoUsers) {
        const std::string id = t().Value(
            std::string("SELECT \"User\" FROM USERS WHERE \"Login\" = '") + u.login + "'");
        EXPECT_FALSE(id.empty()) << u.login;
        if (u.canApprove)
            approvers.insert(id);
        (u.canApprove ? withRight : withoutRight) = true;
    }
    EXPECT_TRUE(withRight);
    EXPECT_TRUE(withoutRight);
    EXPECT_EQ(Count("SELECT COUNT(1) FROM USERS"),
              static_cast<long long>(std::size(tavel::kDemoUsers)));
    EXPECT_EQ(t().Value("SELECT \"Login\" FROM USERS ORDER BY \"User\""), tavel::kDemoAdminLogin);
    // Approved orders and unapproved ones; every approval by a user with the right.
    EXPECT_GT(Count(R"(SELECT COUNT(1) FROM INVORDER WHERE "ApprovalUser" = 0)"), 0);
    const auto approvals =
        t().Rows(R"(SELECT DISTINCT "ApprovalUser" FROM INVORDER WHERE "ApprovalUser" <> 0)");
    EXPECT_FALSE(approvals.empty());
    for (const auto& a : approvals)
        EXPECT_TRUE(approvers.count(a[0])) << "order approved by user " << a[0];
    // Items, receipts, orders and details point at audit entries of real users.
    for (const char* table : {"INVITEM", "INVITDET", "INVREC", "INVORDER"})
        ExpectNone(table, std::string("SELECT COUNT(1) FROM ") + table +
                              " X WHERE NOT EXISTS (SELECT 1 FROM AUDITHIS A, USERS U WHERE "
                              "A.\"Audit\" = X.\"Audit\" AND U.\"User\" = A.\"User\")");
    EXPECT_GE(Count(R"(SELECT COUNT(DISTINCT "User") FROM AUDITHIS)"), 3);
}

// The same day gives the same demo, row for row.
TEST_F(DemoDataTest, LoadingAgainGivesTheSameRows) {
    TempDatabase again;
    std::string problem;
    ASSERT_TRUE(tavel::CreateSchema(again.db, &problem) && tavel::LoadDemoData(again.db, &problem))
        << problem;
    for (const char* table :
         {"PRODUCT", "PRDLOC", "INVLOC", "INVORDER", "INVORDIT", "INVREC", "INVITEM", "INVITDET"}) {
        const std::string sql = std::string("SELECT * FROM ") + table + " ORDER BY 1, 2";
        EXPECT_EQ(again.Rows(sql), t().Rows(sql)) << table;
    }
}

// The views read through the service into their row records, columns in order.
TEST_F(DemoDataTest, OrderViewShowsEachLineWithItsProductAndVendor) {
    WSIInvOrderView row{};
    auto cursor = t().db.Query(__FILE__, __LINE__, "SELECT %s FROM INVORDER_VIEW ORDER BY INVORDIT",
                               WSIResult(WSIInvOrderView::Table(), &row),
                               t().db.GetTableColumns(__LINE__, __FILE__, "INVORDER_VIEW"));
    long long lines = 0;
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        ++lines;
        SCOPED_TRACE(row.INVORDIT);
        auto line =
            t().Rows("SELECT L.\"Quantity\", L.\"QtyFilled\", P.\"ProductCode\", "
                     "P.\"Description\", COALESCE(V.\"Name\", ''), COALESCE(O.\"PONumber\", '') "
                     "FROM INVORDIT L "
                     "JOIN PRODUCT P ON P.\"Product\" = L.\"Product\" "
                     "JOIN INVORDER O ON O.\"InvOrder\" = L.\"InvOrder\" "
                     "LEFT JOIN VENDOR V ON V.\"Vendor\" = O.\"Vendor\" "
                     "WHERE L.\"InvOrdIt\" = " +
                     std::to_string(row.INVORDIT));
        ASSERT_EQ(line.size(), 1u);
        EXPECT_EQ(std::to_string(row.ORDERQTY), line[0][0]);
        EXPECT_EQ(std::to_string(row.QTYFILLED), line[0][1]);
        EXPECT_STREQ(row.PRODUCTCODE, line[0][2].c_str());
        EXPECT_STREQ(row.DESCRIPTION, line[0][3].c_str());
        EXPECT_STREQ(row.VENDORNAME, line[0][4].c_str());
        EXPECT_STREQ(row.PONUMBER, line[0][5].c_str());
        EXPECT_NE(row.CATEGORY[0], '\0');
    }
    EXPECT_EQ(lines, Count("SELECT COUNT(1) FROM INVORDIT"));
}

TEST_F(DemoDataTest, ReceiptViewShowsWhatEachItemBroughtAgainstItsOrderLine) {
    WSIInvReceiptView row{};
    auto cursor = t().db.Query(__FILE__, __LINE__, "SELECT %s FROM INVRECEIPT_VIEW",
                               WSIResult(WSIInvReceiptView::Table(), &row),
                               t().db.GetTableColumns(__LINE__, __FILE__, "INVRECEIPT_VIEW"));
    long long rows = 0, againstLines = 0;
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        ++rows;
        SCOPED_TRACE(row.PRODUCTCODE);
        auto item = t().Rows("SELECT I.\"Quantity\", R.\"InvLoc\", COALESCE(L.\"Quantity\", 0), "
                             "COALESCE(L.\"QtyFilled\", 0), L.\"InvOrdIt\" FROM INVITEM I "
                             "JOIN INVREC R ON R.\"InvRec\" = I.\"InvRec\" "
                             "LEFT JOIN INVORDIT L ON L.\"InvOrdIt\" = I.\"InvOrdIt\" "
                             "WHERE I.\"InvItem\" = " +
                             std::to_string(row.INVITEM));
        ASSERT_EQ(item.size(), 1u);
        EXPECT_EQ(std::to_string(row.RECD), item[0][0]);
        EXPECT_STREQ(row.INVLOC, item[0][1].c_str());
        EXPECT_FALSE(row.INVRECDATE.IsNull());
        if (item[0][4] != "<null>") {
            ++againstLines;
            EXPECT_EQ(std::to_string(row.QUANTITY), item[0][2]);
            EXPECT_EQ(std::to_string(row.QTYFILLED), item[0][3]);
            EXPECT_FALSE(row.PODATE.IsNull());
        }
    }
    EXPECT_EQ(rows, Count(R"(SELECT COUNT(1) FROM INVITEM WHERE "Type" = 0)"));
    EXPECT_GT(againstLines, 0);
    EXPECT_LT(againstLines, rows);
}

TEST_F(DemoDataTest, FillViewShowsFilledAndWaitingLinesOfAPickList) {
    const long pickList = Count("SELECT MAX(\"PickList\") FROM INVORDIT");
    ASSERT_GT(pickList, 0);
    WSIInvFillView row{};
    auto cursor = t().db.Query(
        __FILE__, __LINE__, "SELECT %s FROM INVFILL_VIEW WHERE PICKLIST = %ld ORDER BY ITEM",
        WSIResult(WSIInvFillView::Table(), &row),
        t().db.GetTableColumns(__LINE__, __FILE__, "INVFILL_VIEW"), pickList);
    int filled = 0, waiting = 0;
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        SCOPED_TRACE(row.PRODUCTCODE);
        // The supplying location's bin, where the picker finds the product.
        EXPECT_EQ(t().Value("SELECT PL.\"Bin\" FROM PRDLOC PL, INVORDER O WHERE O.\"InvOrder\" = " +
                            std::to_string(row.INVORDER) +
                            " AND PL.\"InvLoc\" = O.\"InvLocFrom\" AND PL.\"Product\" = " +
                            std::to_string(row.PRODUCTID)),
                  row.PRODUCTBIN);
        if (row.STATUS == tavel::OrdItStatus::Filled) {
            ++filled;
            EXPECT_GT(row.INVITEM, 0);
            EXPECT_GT(row.BATCHID, 0);
            EXPECT_DOUBLE_EQ(row.FILLED, row.QTYFILLED);
        } else {
            ++waiting;
            EXPECT_EQ(row.STATUS, tavel::OrdItStatus::OnPickList);
            EXPECT_EQ(row.INVITEM, 0);
            EXPECT_EQ(row.FILLED, 0);
        }
    }
    EXPECT_GT(filled, 0);
    EXPECT_GT(waiting, 0);
}

TEST_F(DemoDataTest, TransferViewShowsWhatEachMovedItemReceived) {
    WSIInvTransferView row{};
    auto cursor = t().db.Query(__FILE__, __LINE__,
                               "SELECT %s FROM INVTRANSFER_VIEW ORDER BY AUDITID, INVITEM",
                               WSIResult(WSIInvTransferView::Table(), &row),
                               t().db.GetTableColumns(__LINE__, __FILE__, "INVTRANSFER_VIEW"));
    long long moved = 0;
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        SCOPED_TRACE(row.PRODUCTCODE);
        auto item = t().Rows("SELECT \"Quantity\", \"Audit\", \"InvLocFrom\", \"InvLoc\" "
                             "FROM INVITEM WHERE \"InvItem\" = " +
                             std::to_string(row.INVITEM));
        ASSERT_EQ(item.size(), 1u);
        EXPECT_EQ(std::to_string(row.SCANNED), item[0][0]);
        EXPECT_EQ(std::to_string(row.AUDITID), item[0][1]);
        EXPECT_STREQ(row.INVLOC, item[0][3].c_str());
        if (item[0][2] != "<null>" && !item[0][2].empty()) {
            ++moved;
            EXPECT_NE(item[0][2], item[0][3]);
        }
    }
    EXPECT_EQ(moved, Count(R"(SELECT COUNT(1) FROM INVITEM WHERE "Type" = 1)"));
    EXPECT_GT(moved, 0);
}

} // namespace

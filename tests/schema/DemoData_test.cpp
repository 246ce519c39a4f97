#include "DemoData.h"
#include "InventoryCodes.h"
#include "Schema.h"
#include "SchemaTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
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

private:
    static inline std::unique_ptr<TempDatabase> t_;
    static inline bool created_ = false;
    static inline std::string problem_;
};

TEST_F(DemoDataTest, StockItemBalancesAddUpToEachProductLocationBalance) {
    auto mismatches = t().Rows(R"(
        SELECT PL."InvLoc", PL."Product", PL."Balance", COALESCE(S.Total, 0)
          FROM PRDLOC PL
          LEFT JOIN (SELECT "InvLoc", "Product", SUM("Balance") AS Total FROM INVITEM
                      GROUP BY "InvLoc", "Product") S
            ON S."InvLoc" = PL."InvLoc" AND S."Product" = PL."Product"
         WHERE ABS(PL."Balance" - COALESCE(S.Total, 0)) > 0.0001)");
    EXPECT_TRUE(mismatches.empty()) << mismatches[0][0] << " product " << mismatches[0][1];

    // Stock only where the product has a row at the location.
    EXPECT_EQ(t().Number(R"(SELECT COUNT(1) FROM INVITEM I WHERE NOT EXISTS
        (SELECT 1 FROM PRDLOC PL WHERE PL."InvLoc" = I."InvLoc" AND PL."Product" = I."Product"))"),
              0);
    EXPECT_GE(t().Number(R"(SELECT COUNT(1) FROM PRDLOC WHERE "Balance" > 0)"), 15);
}

TEST_F(DemoDataTest, EveryStockItemHoldsBetweenNothingAndWhatCameIn) {
    EXPECT_EQ(t().Number(R"(SELECT COUNT(1) FROM INVITEM
                              WHERE "Balance" < 0 OR "Balance" > "Quantity")"),
              0);
    EXPECT_GT(t().Number(R"(SELECT COUNT(1) FROM INVITEM
                              WHERE "Balance" > 0 AND "Balance" < "Quantity")"),
              0);
}

// The movement details of a stock item explain its balance: what came in less what
// was moved on, used or written off.
TEST_F(DemoDataTest, EachItemsDetailsAddUpToItsBalance) {
    EXPECT_EQ(t().Number(R"(
        SELECT COUNT(1) FROM INVITEM I
         WHERE ABS(I."Balance" - (SELECT COALESCE(SUM(D."Quantity"), 0) FROM INVITDET D
                                   WHERE D."InvItem" = I."InvItem")) > 0.0001)"),
              0);
}

TEST_F(DemoDataTest, OrderLineFillsAreWhatTheirStockItemsBroughtIn) {
    EXPECT_EQ(t().Number(R"(
        SELECT COUNT(1) FROM INVORDIT L JOIN INVORDER O ON O."InvOrder" = L."InvOrder"
         WHERE L."QtyFilled" <> (SELECT COALESCE(SUM(I."Quantity"), 0) FROM INVITEM I
                                  WHERE I."InvOrdIt" = L."InvOrdIt" AND I."InvLoc" = O."InvLoc"))"),
              0);
    // Statuses agree with the quantities.
    EXPECT_EQ(t().Number(R"(SELECT COUNT(1) FROM INVORDIT
                              WHERE ("Status" = 7) <> ("QtyFilled" >= "Quantity"))"),
              0);
    EXPECT_EQ(t().Number(R"(SELECT COUNT(1) FROM INVORDIT
                              WHERE ("Status" = 5) <> ("WasBackOrdered" = 1))"),
              0);
}

TEST_F(DemoDataTest, ClinicHasItsLocationsUserOptionsAndCatalogue) {
    EXPECT_EQ(t().Number("SELECT COUNT(1) FROM INVLOC WHERE \"Type\" = 0"), 1);
    const long long locations = t().Number("SELECT COUNT(1) FROM INVLOC");
    EXPECT_GE(locations, 3);
    EXPECT_LE(locations, 4);
    EXPECT_EQ(t().Value("SELECT \"Login\" FROM USERS"), tavel::kDemoAdminLogin);
    EXPECT_EQ(t().Number("SELECT COUNT(1) FROM USERS"), 1);
    EXPECT_EQ(t().Number("SELECT \"MinProductLength\" FROM TAVELOPT"), 6);
    EXPECT_EQ(t().Number("SELECT COUNT(1) FROM VENDOR"), 2);

    EXPECT_GE(t().Number("SELECT COUNT(1) FROM PRODUCT"), 15);
    EXPECT_EQ(t().Number("SELECT COUNT(1) FROM PRODUCT WHERE LENGTH(\"ProductCode\") < 6"), 0);
    // Every product has its default row under the empty location code.
    EXPECT_EQ(t().Number(R"(SELECT COUNT(1) FROM PRODUCT P WHERE NOT EXISTS
        (SELECT 1 FROM PRDLOC PL WHERE PL."Product" = P."Product" AND PL."InvLoc" = ''))"),
              0);
    // Lots of expiry-tracked products carry their expiry date, others none.
    EXPECT_EQ(t().Number(R"(SELECT COUNT(1) FROM INVITEM I JOIN PRODUCT P
                              ON P."Product" = I."Product"
                              WHERE (P."TrackExpiryDate" = 1) <> (I."ExpiryDate" IS NOT NULL))"),
              0);
    // Items, receipts, orders and details point at audit entries that exist.
    for (const char* table : {"INVITEM", "INVITDET", "INVREC", "INVORDER"})
        EXPECT_EQ(t().Number(std::string("SELECT COUNT(1) FROM ") + table +
                             " X WHERE NOT EXISTS (SELECT 1 FROM AUDITHIS A WHERE A.\"Audit\" "
                             "= X.\"Audit\")"),
                  0)
            << table;
}

TEST_F(DemoDataTest, OrdersShowInternalAndExternalLinesInManyStatuses) {
    EXPECT_GE(t().Number("SELECT COUNT(DISTINCT \"Status\") FROM INVORDIT"), 7);
    EXPECT_GT(t().Number("SELECT COUNT(1) FROM INVORDER WHERE \"IsExternal\" = 1"), 0);
    EXPECT_GT(t().Number("SELECT COUNT(1) FROM INVORDER WHERE \"IsExternal\" = 0"), 0);
    // No order is dated after today.
    char today[16];
    std::snprintf(today, sizeof today, "%04d-%02d-%02d", schematest::kToday.year,
                  schematest::kToday.month, schematest::kToday.day);
    EXPECT_EQ(
        t().Number(std::string("SELECT COUNT(1) FROM INVORDER WHERE \"Date\" > '") + today + "'"),
        0);
}

// The views read through the service into their row records, columns in order.
TEST_F(DemoDataTest, OrderViewShowsEachLineWithItsProductAndVendor) {
    const long order =
        t().Number(R"(SELECT "InvOrder" FROM INVORDER WHERE "PONumber" = 'NMS-24017')");
    WSIInvOrderView row{};
    auto cursor = t().db.Query(__FILE__, __LINE__,
                               "SELECT %s FROM INVORDER_VIEW WHERE INVORDER = %ld ORDER BY ITEM",
                               WSIResult(WSIInvOrderView::Table(), &row),
                               t().db.GetTableColumns(__LINE__, __FILE__, "INVORDER_VIEW"), order);
    int lines = 0;
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        ++lines;
        SCOPED_TRACE(row.ITEM);
        auto line =
            t().Rows("SELECT L.\"Quantity\", L.\"QtyFilled\", P.\"ProductCode\", "
                     "P.\"Description\", V.\"Name\" FROM INVORDIT L "
                     "JOIN PRODUCT P ON P.\"Product\" = L.\"Product\" "
                     "JOIN INVORDER O ON O.\"InvOrder\" = L.\"InvOrder\" "
                     "JOIN VENDOR V ON V.\"Vendor\" = O.\"Vendor\" WHERE L.\"InvOrdIt\" = " +
                     std::to_string(row.INVORDIT));
        ASSERT_EQ(line.size(), 1u);
        EXPECT_EQ(std::to_string(row.ORDERQTY), line[0][0]);
        EXPECT_EQ(std::to_string(row.QTYFILLED), line[0][1]);
        EXPECT_STREQ(row.PRODUCTCODE, line[0][2].c_str());
        EXPECT_STREQ(row.DESCRIPTION, line[0][3].c_str());
        EXPECT_STREQ(row.VENDORNAME, line[0][4].c_str());
        EXPECT_STREQ(row.PONUMBER, "NMS-24017");
        EXPECT_NE(row.CATEGORY[0], '\0');
    }
    EXPECT_EQ(lines, 5);
}

TEST_F(DemoDataTest, ReceiptViewShowsWhatEachItemBroughtAgainstItsOrderLine) {
    WSIInvReceiptView row{};
    auto cursor =
        t().db.Query(__FILE__, __LINE__, "SELECT %s FROM INVRECEIPT_VIEW WHERE PONUMBER = '%s'",
                     WSIResult(WSIInvReceiptView::Table(), &row),
                     t().db.GetTableColumns(__LINE__, __FILE__, "INVRECEIPT_VIEW"), "NMS-24017");
    int rows = 0;
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        ++rows;
        SCOPED_TRACE(row.PRODUCTCODE);
        auto item =
            t().Rows("SELECT I.\"Quantity\", L.\"Quantity\", L.\"QtyFilled\" FROM INVITEM I "
                     "JOIN INVORDIT L ON L.\"InvOrdIt\" = I.\"InvOrdIt\" "
                     "WHERE I.\"InvItem\" = " +
                     std::to_string(row.INVITEM));
        ASSERT_EQ(item.size(), 1u);
        EXPECT_EQ(std::to_string(row.RECD), item[0][0]);
        EXPECT_EQ(std::to_string(row.QUANTITY), item[0][1]);
        EXPECT_EQ(std::to_string(row.QTYFILLED), item[0][2]);
        EXPECT_STREQ(row.INVLOC, "STORE");
        EXPECT_FALSE(row.INVRECDATE.IsNull());
        EXPECT_FALSE(row.PODATE.IsNull());
    }
    EXPECT_EQ(rows, 4);
}

TEST_F(DemoDataTest, FillViewShowsFilledAndWaitingLinesOfAPickList) {
    const long pickList = t().Number("SELECT MAX(\"PickList\") FROM INVORDIT");
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
    EXPECT_EQ(filled, 1);
    EXPECT_EQ(waiting, 1);
}

TEST_F(DemoDataTest, TransferViewShowsWhatEachMovedItemReceived) {
    WSIInvTransferView row{};
    auto cursor = t().db.Query(
        __FILE__, __LINE__,
        "SELECT %s FROM INVTRANSFER_VIEW WHERE INVLOC = '%s' ORDER BY AUDITID, INVITEM",
        WSIResult(WSIInvTransferView::Table(), &row),
        t().db.GetTableColumns(__LINE__, __FILE__, "INVTRANSFER_VIEW"), "TRT1");
    int rows = 0;
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        ++rows;
        SCOPED_TRACE(row.PRODUCTCODE);
        auto item = t().Rows("SELECT \"Quantity\", \"Audit\", \"InvLocFrom\" FROM INVITEM "
                             "WHERE \"InvItem\" = " +
                             std::to_string(row.INVITEM));
        ASSERT_EQ(item.size(), 1u);
        EXPECT_EQ(std::to_string(row.SCANNED), item[0][0]);
        EXPECT_EQ(std::to_string(row.AUDITID), item[0][1]);
        EXPECT_EQ(item[0][2], "STORE");
    }
    EXPECT_GE(rows, 3);
}

} // namespace

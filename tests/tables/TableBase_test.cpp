// How the table base runs the rule hooks around the writes, and how a refusal reaches
// the business layer as an exception.

#include "BIException.h"
#include "DBInvItem.h"
#include "DBInvRec.h"
#include "DBPrdLoc.h"
#include "DBProduct.h"
#include "DBVendor.h"
#include "TablesFixture.h"
#include "TavelOptSource.h"
#include "ThrowDbError.h"

namespace {

// Counts the hooks the base calls.
class SpyPrdLoc : public DBPrdLoc {
public:
    using DBPrdLoc::DBPrdLoc;
    bool VerifyData(DB_OP op) override {
        ++verified;
        return DBPrdLoc::VerifyData(op);
    }
    void AddExtraRecords() override { ++added; }
    int verified = 0;
    int added = 0;
};

} // namespace

TEST_F(TablesTest, InsertDB_WithParentSkipsTheChecksButStillAddsExtraRecords) {
    const long product = AddProduct("GAUZE001");
    for (bool withParent : {false, true}) {
        SpyPrdLoc row(db.get());
        EXPECT_EQ(row.GetError(), 0);
        // A minimum above the reorder count: the check refuses it.
        Set(row, {{"Product", Id(product)}, {"InvLoc", "STORE"}, {"MinCount", "5"}});
        if (withParent)
            row.SetParent(&screen);
        EXPECT_EQ(row.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true), withParent);
        EXPECT_EQ(row.GetError(), withParent ? 0 : 0x4A01);
        EXPECT_EQ(row.verified, withParent ? 0 : 1);
        EXPECT_EQ(row.added, withParent ? 1 : 0);
        EXPECT_EQ(Rows("PRDLOC"), withParent ? 1 : 0);
    }
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(TablesTest, UpdateDB_RefusedByTheCheckReleasesTheLockWhenAsked) {
    const Fields key = {{"Product", Id(AddProduct("GAUZE001"))}, {"InvLoc", "STORE"}};
    Store<WSIPrdLoc>(key);
    std::unique_ptr<WSIDatabase> rivalConnection = Connect();
    WSIDatabase& rivalDb = *rivalConnection;
    for (bool release : {false, true}) {
        DBPrdLoc row(db.get());
        Set(row, key);
        ASSERT_TRUE(row.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
        Set(row, {{"MinCount", "9"}, {"ReorderCount", "1"}});
        EXPECT_FALSE(row.UpdateDB(__FILE__, __LINE__, release, true));
        EXPECT_EQ(row.GetError(), 0x4A01);

        WSIPrdLoc rival(&rivalDb);
        Set(rival, key);
        const bool rivalLocked = rival.GetEqual(__FILE__, __LINE__, dbiWRITELOCK);
        EXPECT_EQ(rivalLocked, release);
        if (rivalLocked)
            rival.ReleaseLock();
        row.ReleaseLock();
    }
    EXPECT_EQ(Rows("PRDLOC", "\"MinCount\" = 0"), 1);
}

TEST_F(TablesTest, DeleteDB_RefusedByTheGuardDeletesNothing) {
    const long product = AddProduct("GAUZE001");
    Store<WSIInvOrdIt>({{"InvOrder", Id(AddOrder(false))}, {"Product", Id(product)}});
    const long receipt = Store<WSIInvRec>({{"InvLoc", "STORE"}});
    Store<WSIInvItem>({{"InvRec", Id(receipt)}, {"Product", Id(product)}, {"InvLoc", "STORE"}});

    DBProduct used(db.get());
    Set(used, {{"Product", Id(product)}});
    ASSERT_TRUE(used.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
    EXPECT_FALSE(used.DeleteDB(__FILE__, __LINE__, true));
    EXPECT_EQ(used.GetError(), kDbErrInUse);
    EXPECT_EQ(Delete<DBInvRec>({{"InvRec", Id(receipt)}}), 0x4804);
    EXPECT_EQ(Rows("PRODUCT") + Rows("INVREC"), 2);
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(TablesTest, RefusedWritesRaiseTheirMappedException) {
    app->SetMinProductLength(4); // at most 999 per stock item
    const long product = AddProduct("GAUZE001");
    Store<WSIInvOrdIt>({{"InvOrder", Id(AddOrder(false))}, {"Product", Id(product)}});

    DBPrdLoc levels(db.get());
    Set(levels, {{"Product", Id(product)},
                 {"InvLoc", "STORE"},
                 {"MinCount", "2"},
                 {"ReorderCount", "2"},
                 {"MaxCount", "1"}});
    EXPECT_FALSE(levels.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true));
    EXPECT_THROW(tavel::ThrowDbError(levels.GetError()), InvalidPrdLocMaxCount);

    DBInvItem item(db.get());
    Set(item, {{"Product", Id(product)}, {"InvLoc", "STORE"}, {"Quantity", "1000"}});
    EXPECT_FALSE(item.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true));
    EXPECT_THROW(tavel::ThrowDbError(item.GetError()), InvalidOrderQuantity);

    EXPECT_THROW(tavel::ThrowDbError(Delete<DBProduct>({{"Product", Id(product)}})), RecordInUse);

    // The framework refuses a second row with the same key: no rule to name, so the
    // caller throws its own fallback.
    Set(levels, {{"MaxCount", "0"}});
    ASSERT_TRUE(levels.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true));
    EXPECT_FALSE(levels.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true));
    EXPECT_EQ(levels.GetError(), kDbErrInsert);
    EXPECT_FALSE(tavel::ThrowDbError(levels.GetError()));
}

TEST_F(TablesTest, InitApp_TakesTheMinimumCodeLengthFromTheSuiteOptions) {
    app->SetSuiteOptions(std::make_unique<TavelOptSource>());
    app->InitApp(1);
    EXPECT_EQ(app->GetMinProductLength(), 6u);
    Store<WSITavelOpt>({{"MinProductLength", "4"}});
    app->InitApp(1);
    EXPECT_EQ(app->GetMinProductLength(), 4u);
    EXPECT_EQ(app->GetMaxQuantityAllowed(), 999u);
}

TEST_F(TablesTest, QuotesInTextValuesStayPartOfTheValue) {
    Store<WSICity>({{"City", "St. John's"}});
    ExpectCases<DBVendor>({},
                          {{"quoted city", DB_INSERT, {{"City", "St. John's"}}, 0, ""},
                           {"injection", DB_INSERT, {{"City", "x' OR '1'='1"}}, 0x4E01, "#28190"}});
}

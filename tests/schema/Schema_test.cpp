#include "Schema.h"
#include "SchemaTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

using schematest::TempDatabase;

namespace {

class SchemaTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string problem;
        ASSERT_TRUE(tavel::CreateSchema(t.db, &problem)) << problem;
    }
    TempDatabase t;
};

TEST_F(SchemaTest, NewSchemaPassesItsCheckAtTheCurrentVersion) {
    tavel::SchemaCheck check = tavel::CheckSchema(t.db);
    EXPECT_TRUE(check.ok) << check.problem;
    EXPECT_EQ(check.version, tavel::kSchemaVersion);
    EXPECT_TRUE(check.problem.empty());
}

struct Damage {
    const char* sql;
    const char* reported;
};

class SchemaDamageTest : public SchemaTest, public ::testing::WithParamInterface<Damage> {};

// Each way a database can differ from what the program needs is named in one line.
TEST_P(SchemaDamageTest, CheckNamesWhatIsWrong) {
    ASSERT_TRUE(t.Exec(GetParam().sql));
    tavel::SchemaCheck check = tavel::CheckSchema(t.db);
    EXPECT_FALSE(check.ok);
    EXPECT_NE(check.problem.find(GetParam().reported), std::string::npos) << check.problem;
    EXPECT_EQ(check.problem.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, SchemaDamageTest,
    ::testing::Values(Damage{"DROP TABLE TVL_SCHEMA", "schema version is missing"},
                      Damage{"UPDATE TVL_SCHEMA SET \"Version\" = 99", "schema version 99"},
                      Damage{"DROP TABLE INVLOCMAP", "table INVLOCMAP is missing"},
                      Damage{"ALTER TABLE PRDLOC DROP COLUMN \"MaxCount\"",
                             "table PRDLOC has no column \"MaxCount\""},
                      Damage{"ALTER TABLE INVOTYPE DROP COLUMN \"ReportLayout\"",
                             "table INVOTYPE has no column \"ReportLayout\""},
                      Damage{"DROP VIEW INVFILL_VIEW", "view INVFILL_VIEW is missing"},
                      Damage{"DROP VIEW INVTRANSFER_VIEW; CREATE VIEW INVTRANSFER_VIEW AS "
                             "SELECT 1 AS INVLOC, 2 AS INVITEM",
                             "view INVTRANSFER_VIEW does not have column INVITEM in place 1"},
                      Damage{"DROP INDEX IX_INVITEM_LOC_PRODUCT",
                             "index IX_INVITEM_LOC_PRODUCT is missing"}));

// A file of version 1 (before the order lists' date index and the practice's letterhead)
// is brought to this version with its rows; an upgrade that fails half way leaves the file
// as it was.
TEST_F(SchemaTest, EarlierVersionIsUpgradedAllOrNothing) {
    const char* const kVersion1 =
        "DROP INDEX IX_INVORDER_DATE; DROP INDEX IX_INVORDIT_PRODUCT_STATUS; "
        "ALTER TABLE TAVELOPT DROP COLUMN \"PracticeName\"; "
        "ALTER TABLE TAVELOPT DROP COLUMN \"Phone\"; "
        "INSERT INTO TAVELOPT (\"TavelOpt\", \"MinProductLength\") VALUES (1, 5); "
        "UPDATE TVL_SCHEMA SET \"Version\" = 1";
    ASSERT_TRUE(t.Exec(kVersion1));
    const char* const kPracticeColumns =
        "SELECT COUNT(1) FROM pragma_table_info('TAVELOPT') WHERE name IN ('PracticeName', "
        "'Phone')";
    // A table in the way of the last index makes the upgrade fail after the first.
    ASSERT_TRUE(t.Exec("CREATE TABLE IX_INVORDER_DATE (x INTEGER)"));
    tavel::SchemaUpgrade failed = tavel::UpgradeSchema(t.db);
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.problem.find("IX_INVORDER_DATE"), std::string::npos) << failed.problem;
    tavel::SchemaCheck check = tavel::CheckSchema(t.db);
    EXPECT_EQ(check.version, 1);
    EXPECT_EQ(t.Number(kPracticeColumns), 0) << "the columns added before the failure stay";
    ASSERT_TRUE(t.Exec("DROP TABLE IX_INVORDER_DATE; ALTER TABLE TAVELOPT ADD COLUMN "
                       "\"PracticeName\" TEXT; ALTER TABLE TAVELOPT ADD COLUMN \"Phone\" TEXT; "
                       "UPDATE TVL_SCHEMA SET \"Version\" = " +
                       std::to_string(tavel::kSchemaVersion)));
    check = tavel::CheckSchema(t.db);
    EXPECT_NE(check.problem.find("index IX_INVORDIT_PRODUCT_STATUS is missing"), std::string::npos)
        << "the index made before the failure was rolled back: " << check.problem;
    ASSERT_TRUE(t.Exec("ALTER TABLE TAVELOPT DROP COLUMN \"PracticeName\"; "
                       "ALTER TABLE TAVELOPT DROP COLUMN \"Phone\""));

    ASSERT_TRUE(t.Exec("UPDATE TVL_SCHEMA SET \"Version\" = 1"));
    tavel::SchemaUpgrade upgrade = tavel::UpgradeSchema(t.db);
    EXPECT_TRUE(upgrade.ok) << upgrade.problem;
    EXPECT_EQ(upgrade.from, 1);
    check = tavel::CheckSchema(t.db);
    EXPECT_TRUE(check.ok) << check.problem;
    EXPECT_EQ(check.version, tavel::kSchemaVersion);
    EXPECT_EQ(t.Number(kPracticeColumns), 2);
    EXPECT_EQ(t.Number("SELECT \"MinProductLength\" FROM TAVELOPT"), 5) << "rows are kept";
    upgrade = tavel::UpgradeSchema(t.db);
    EXPECT_TRUE(upgrade.ok);
    EXPECT_EQ(upgrade.from, tavel::kSchemaVersion) << "nothing is left to do";
}

// Version 3 looked details up by audit alone and order lines by order and product; the
// upgrade puts the wider indexes in their place and adds the list indexes.
TEST_F(SchemaTest, Version3GetsTheListIndexesAndLosesTheOneReplaced) {
    ASSERT_TRUE(t.Exec("DROP INDEX IX_INVITDET_AUDIT_TYPE; DROP INDEX IX_INVREC_DATE; "
                       "DROP INDEX IX_INVITEM_AUDIT; DROP INDEX IX_INVORDIT_ORDER_LINES; "
                       "CREATE INDEX IX_INVITDET_AUDIT ON INVITDET (\"Audit\"); "
                       "CREATE INDEX IX_INVORDIT_ORDER_PRODUCT ON INVORDIT (\"InvOrder\", "
                       "\"Product\"); "
                       "UPDATE TVL_SCHEMA SET \"Version\" = 3"));
    EXPECT_NE(tavel::CheckSchema(t.db).problem.find("version 3"), std::string::npos);
    const tavel::SchemaUpgrade upgrade = tavel::UpgradeSchema(t.db);
    EXPECT_TRUE(upgrade.ok) << upgrade.problem;
    EXPECT_EQ(upgrade.from, 3);
    const tavel::SchemaCheck check = tavel::CheckSchema(t.db);
    EXPECT_TRUE(check.ok) << check.problem;
    EXPECT_EQ(t.Number("SELECT COUNT(1) FROM sqlite_schema WHERE name IN ('IX_INVITDET_AUDIT', "
                       "'IX_INVORDIT_ORDER_PRODUCT')"),
              0);
}

TEST(SchemaCheck, OnlyKnownEarlierVersionsAreUpgraded) {
    TempDatabase none;
    tavel::SchemaUpgrade upgrade = tavel::UpgradeSchema(none.db);
    EXPECT_FALSE(upgrade.ok);
    EXPECT_EQ(upgrade.from, 0);
    EXPECT_FALSE(none.Exec("SELECT 1 FROM TVL_SCHEMA")) << "an empty file got a schema table";

    TempDatabase later;
    ASSERT_TRUE(tavel::CreateSchema(later.db));
    ASSERT_TRUE(later.Exec("UPDATE TVL_SCHEMA SET \"Version\" = 99"));
    upgrade = tavel::UpgradeSchema(later.db);
    EXPECT_FALSE(upgrade.ok);
    EXPECT_EQ(tavel::CheckSchema(later.db).version, 99);
}

// The sequence counters are kept beside the database; counters that are gone (their
// table, then the whole file) are reported missing, not as a file that is only busy.
TEST_F(SchemaTest, CheckNamesAMissingSequence) {
    const std::string counters = t.Path() + ".sequences";
    auto dropTable = [&] {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open_v2(counters.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(raw, "DROP TABLE \"TVL_SEQUENCES\"", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(raw);
    };
    auto removeFile = [&] { std::filesystem::remove(counters); };
    for (const std::function<void()>& damage :
         {std::function<void()>(dropTable), std::function<void()>(removeFile)}) {
        damage();
        tavel::SchemaCheck check = tavel::CheckSchema(t.db);
        EXPECT_FALSE(check.ok);
        EXPECT_FALSE(check.unreadable);
        EXPECT_NE(
            check.problem.find(std::string("sequence ") + tavel::kBatchIdSequence + " is missing"),
            std::string::npos)
            << check.problem;
    }
}

TEST(SchemaCheck, DatabaseWithoutSchemaIsReported) {
    TempDatabase t;
    tavel::SchemaCheck check = tavel::CheckSchema(t.db);
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.version, 0);
    EXPECT_NE(check.problem.find("no inventory schema"), std::string::npos) << check.problem;
}

// A failure late in the creation leaves none of the earlier tables behind.
TEST(SchemaCreation, FailureLeavesNothingBehind) {
    TempDatabase t;
    ASSERT_TRUE(t.Exec("CREATE TABLE INVITDET (x)"));
    std::string problem;
    EXPECT_FALSE(tavel::CreateSchema(t.db, &problem));
    EXPECT_NE(problem.find("table INVITDET"), std::string::npos) << problem;
    EXPECT_EQ(t.Number("SELECT COUNT(1) FROM sqlite_schema WHERE name IN "
                       "('PRODUCT', 'INVITEM', 'TVL_SCHEMA', 'INVORDER_VIEW')"),
              0);
}

TEST_F(SchemaTest, CreatingTwiceIsRefusedAndKeepsTheSchema) {
    ASSERT_TRUE(t.Exec("INSERT INTO INVLOC (\"InvLoc\", \"Name\") VALUES ('STORE', 'Store')"));
    std::string problem;
    EXPECT_FALSE(tavel::CreateSchema(t.db, &problem));
    EXPECT_FALSE(problem.empty());
    EXPECT_TRUE(tavel::CheckSchema(t.db).ok);
    EXPECT_EQ(t.Value("SELECT \"Name\" FROM INVLOC"), "Store");
}

struct Lookup {
    const char* sql;
    const char* index;
};

// The look-ups that stock operations repeat per row are served by their own index.
TEST_F(SchemaTest, RepeatedLookupsUseTheirIndex) {
    const Lookup lookups[] = {
        {R"(SELECT SUM("Balance") FROM INVITEM WHERE "InvLoc" = ?1 AND "Product" = ?2)",
         "IX_INVITEM_LOC_PRODUCT"},
        {R"(SELECT SUM("Balance") FROM INVITEM WHERE "Product" = ?1)", "IX_INVITEM_PRODUCT"},
        {R"(SELECT "InvItem" FROM INVITEM WHERE "InvRec" = ?1 AND "Product" = ?2 AND "Type" = 0)",
         "IX_INVITEM_RECEIPT"},
        {R"(SELECT "Quantity" FROM INVITEM WHERE "InvOrdIt" = ?1)", "IX_INVITEM_ORDERLINE"},
        {R"(SELECT "InvItDet" FROM INVITDET WHERE "InvItem" = ?1 AND "BatchId" = ?2)",
         "IX_INVITDET_ITEM_BATCH"},
        {R"(SELECT DISTINCT "InvItem" FROM INVITDET WHERE "BatchId" = ?1)", "IX_INVITDET_BATCH"},
        {R"(SELECT "InvItDet" FROM INVITDET WHERE "Type" = 6 AND "InvLoc" = ?1 AND "Product" = ?2
            AND "InvAdj" = ?3 AND "BatchId" = ?4)",
         "IX_INVITDET_PRODUCT_LOC"},
        {R"(SELECT "InvOrdIt" FROM INVORDIT WHERE "InvOrder" = ?1 AND "Product" = ?2
            AND "Status" <> 4)",
         "IX_INVORDIT_ORDER_LINES"},
        {R"(SELECT "InvOrdIt" FROM INVORDIT WHERE "PickList" = ?1 AND "Status" = 2)",
         "IX_INVORDIT_PICKLIST_STATUS"},
        {R"(SELECT "InvOrder" FROM INVORDIT WHERE "Product" = ?1 AND "Status" = 5)",
         "IX_INVORDIT_PRODUCT_STATUS"},
        {R"(SELECT "Product" FROM PRODUCT WHERE "ProductCode" = ?1)", "IX_PRODUCT_CODE"},
        {R"(SELECT "Product" FROM PRODUCT WHERE "UPCCode" = ?1)", "IX_PRODUCT_UPC"},
        {R"(SELECT "InvOrder" FROM INVORDER WHERE "PONumber" = ?1)", "IX_INVORDER_PONUMBER"},
        {R"(SELECT "Balance" FROM PRDLOC WHERE "Product" = ?1 AND "InvLoc" = ?2)",
         "sqlite_autoindex_PRDLOC_1"},
        {R"(SELECT "InvRec" FROM INVREC WHERE "Date" >= ?1 AND "Date" <= ?2)", "IX_INVREC_DATE"},
        {R"(SELECT "InvItem" FROM INVITEM WHERE "Audit" = ?1)", "IX_INVITEM_AUDIT"},
        {R"(SELECT "InvItDet" FROM INVITDET WHERE "Audit" = ?1 AND "Type" = 3)",
         "IX_INVITDET_AUDIT_TYPE"},
        {R"(SELECT "Product", SUM("Quantity" - "QtyFilled") FROM INVORDIT WHERE "InvOrder" = ?1
            AND "Status" IN (0, 1, 3) GROUP BY "Product")",
         "IX_INVORDIT_ORDER_LINES"},
    };
    for (const Lookup& l : lookups) {
        SCOPED_TRACE(l.sql);
        std::string plan;
        for (const auto& step : t.Rows(std::string("EXPLAIN QUERY PLAN ") + l.sql))
            plan += step.back() + "\n";
        EXPECT_NE(plan.find(std::string("INDEX ") + l.index + " ("), std::string::npos) << plan;
        EXPECT_EQ(plan.find("SCAN"), std::string::npos) << plan;
    }
}

} // namespace

// A database that cannot grow any more: SQLite held at its present page count, the server
// refusing every new stock item as its disk full (SQLSTATE 53100) or failing with an I/O
// error (58030). Each receipt line is stored whole or not at all, and a full store is told
// to the user as a full disk, another storage fault as a failed write, never as a refusal
// of the line itself.

#include "BIException.h"
#include "BIInvRec.h"
#include "StockFixture.h"

#include <string>

namespace {

class FullStoreTest : public StockTest {
protected:
    // Makes every further stock item fail the way `state` says (server), or the file stop
    // growing (SQLite, where only a full disk can be made without a file layer of our own).
    void FailNewItems(const char* state) {
        if (db->IsServer()) {
            ASSERT_TRUE(Exec(std::string("CREATE FUNCTION tvl_fail_item() RETURNS trigger "
                                         "LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION "
                                         "'no space' USING ERRCODE = '") +
                             state + "'; END $$"));
            ASSERT_TRUE(Exec("CREATE TRIGGER tvl_fail_item BEFORE INSERT ON invitem FOR EACH "
                             "ROW EXECUTE FUNCTION tvl_fail_item()"));
        } else {
            const long pages = static_cast<long>(Scalar("PRAGMA page_count"));
            ASSERT_TRUE(Exec("PRAGMA max_page_count = " + std::to_string(pages)));
        }
    }

    // Receives lines of 5 until one is refused (at most 2,000); returns how many were stored
    // and sets `refusal` to the refusal's message code (1 for any other refusal).
    int ReceiveUntilRefused(long product, unsigned& refusal) {
        BIInvReceive rec(db.get());
        rec.InitBatch(kStore, vendor, nullptr, "", nullptr);
        int stored = 0;
        for (; stored < 2000; ++stored) {
            const std::string before = Snapshot();
            try {
                rec.Add(product, 5, nullptr, ("DN-" + std::to_string(stored)).c_str());
            } catch (BIException& e) {
                EXPECT_EQ(Snapshot(), before) << "half stored at line " << stored;
                refusal = dynamic_cast<DiskFullErr*>(&e)  ? DiskFullErr::kCode
                          : dynamic_cast<StorageErr*>(&e) ? StorageErr::kCode
                                                          : 1;
                break;
            }
        }
        return stored;
    }
};

TEST_F(FullStoreTest, FullStoreIsToldAsFullDiskAndKeepsEveryLineWhole) {
    const long product = AddProduct("GAUZEPAD");
    FailNewItems("53100");
    unsigned refusal = 0;
    const int stored = ReceiveUntilRefused(product, refusal);
    EXPECT_EQ(refusal, DiskFullErr::kCode) << "after " << stored << " lines";
    EXPECT_EQ(db->TransactionLevel(), 0);
    EXPECT_EQ(PrdLocBalance(product, kStore), 5.0 * stored);
    EXPECT_TRUE(Violations().empty());
}

// On the server another fault of its storage is a failed write: the user is told that
// nothing was stored, not that the disk is full. (SQLite's I/O errors are the storage fault
// tests' own, through their file layer.)
TEST_F(FullStoreTest, ServerStorageFaultIsToldAsFailedWrite) {
    if (!db->IsServer())
        GTEST_SKIP() << "SQLite's I/O errors are injected by the storage fault tests";
    const long product = AddProduct("GAUZEPAD");
    FailNewItems("58030");
    unsigned refusal = 0;
    EXPECT_EQ(ReceiveUntilRefused(product, refusal), 0);
    EXPECT_EQ(refusal, StorageErr::kCode);
    EXPECT_EQ(PrdLocBalance(product, kStore), 0.0);
}

} // namespace

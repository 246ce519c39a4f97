// The statements one scanned usage, transfer and count run on SQLite: each case holds the
// count its unit of work may take (begin and commit included), so that a change which reads
// a row once more fails here, and checks what the scan wrote (on PostgreSQL as well).

#include "BIInvAdj.h"
#include "BIInvCount.h"
#include "BIInvTransfer.h"
#include "StatementCounter.h"
#include "StockFixture.h"

#include <functional>

namespace {

namespace Move = tavel::MovementType;
namespace Costing = tavel::CostingMethod;

class ScanStatementsTest : public StockTest {
protected:
    // A product with `lots` lots of two units each at the store, each lot a day younger.
    long ProductWithLots(const char* code, short costing, int lots) {
        WSIProduct::WSIData p = NewProduct(code);
        p.CostingMethod = costing;
        const long product = StoreProduct(p);
        for (int i = 0; i < lots; ++i) {
            Lot lot = MakeLot(2, -1, 2.0);
            lot.audit = AddAudit(
                WSIDate{2026, static_cast<short>(1 + i / 28), static_cast<short>(1 + i % 28)});
            ids.push_back(AddLot(product, kStore, lot));
        }
        return product;
    }
    // Statements `scan` runs, the listing of them going with a failure. Counted on SQLite;
    // on a server the scan runs uncounted (0) and what it wrote is checked all the same.
    int Count(const std::function<void()>& scan, std::string& listing) {
        if (!db->Handle()) {
            scan();
            return 0;
        }
        StatementCounter counter(db->Handle());
        scan();
        listing = counter.Listing();
        return counter.count;
    }
    std::vector<long> ids; // the lots made, oldest first
};

TEST_F(ScanStatementsTest, AUsageRunsAFixedNumberOfStatementsAndTakesTheRightLots) {
    struct Case {
        const char* code;
        short costing;
        short quantity;
        int statements;
        int firstLot, secondLot; // indexes of the lots that give (second: -1 for none)
    };
    const Case cases[] = {
        {"USE-OLD", Costing::OldestFirst, 1, 11, 0, -1},
        {"USE-NEW", Costing::NewestFirst, 3, 14, 49, 48},
        {"USE-AVG", Costing::RunningAverage, 1, 11, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ids.clear();
        const long p = ProductWithLots(c.code, c.costing, 50);
        BIInvAdj adj(db.get());
        std::string listing;
        const int n = Count(
            [&] {
                adj.Adjust(kStore, Move::Usage, p, c.quantity, "", false, false, false, 0, 0, 0, "",
                           0);
            },
            listing);
        EXPECT_LE(n, c.statements) << listing;
        EXPECT_EQ(PrdLocBalance(p, kStore), 100 - c.quantity);
        EXPECT_EQ(Item(ids[c.firstLot]).Balance, 0 + (c.secondLot < 0 ? 1 : 0));
        if (c.secondLot >= 0) {
            EXPECT_EQ(Item(ids[c.secondLot]).Balance, 1);
        }
        EXPECT_EQ(Scalar("SELECT SUM(\"Quantity\") FROM INVITDET WHERE \"Type\" = 3 AND "
                         "\"Product\" = " +
                         Id(p)),
                  -c.quantity);
        EXPECT_EQ(Scalar("SELECT COUNT(1) FROM INVITEM WHERE \"Balance\" < \"Quantity\" AND "
                         "\"Product\" = " +
                         Id(p)),
                  c.secondLot < 0 ? 1 : 2);
    }
    EXPECT_TRUE(Violations().empty());
}

TEST_F(ScanStatementsTest, ATransferRunsAFixedNumberOfStatementsAndMovesRight) {
    const long p = ProductWithLots("XFER", Costing::OldestFirst, 20);
    AddPrdLoc(p, kWard);
    BIInvTransfer transfer(db.get());
    const long batch = transfer.InitBatch(kStore, kWard);
    std::string listing;
    // The first scan makes the arriving item, the second tops it up.
    const int first = Count([&] { transfer.Transfer(p, 1, false, false, false); }, listing);
    EXPECT_LE(first, 19) << listing;
    const int second = Count([&] { transfer.Transfer(p, 1, false, false, false); }, listing);
    EXPECT_LE(second, 18) << listing;

    EXPECT_EQ(PrdLocBalance(p, kStore), 38);
    EXPECT_EQ(PrdLocBalance(p, kWard), 2);
    EXPECT_EQ(Item(ids[0]).Balance, 0);
    EXPECT_EQ(Item(ids[1]).Balance, 2);
    // One arriving item of two, and one detail a side in the batch, each holding both scans.
    EXPECT_EQ(Rows("SELECT \"Quantity\", \"Balance\", \"InvLocFrom\" FROM INVITEM WHERE "
                   "\"InvLoc\" = 'WARD' AND \"Product\" = " +
                   Id(p)),
              (std::vector<std::vector<std::string>>{{"2", "2.0", "STORE"}}));
    EXPECT_EQ(Rows("SELECT \"InvLoc\", \"Quantity\" FROM INVITDET WHERE \"BatchId\" = " +
                   Id(batch) + " ORDER BY \"InvLoc\""),
              (std::vector<std::vector<std::string>>{{"STORE", "-2.0"}, {"WARD", "2.0"}}));
    EXPECT_TRUE(Violations().empty());
}

TEST_F(ScanStatementsTest, ACountRunsAFixedNumberOfStatementsAndLandsOnTheCount) {
    struct Case {
        const char* code;
        short earlier; // a count of the run before, 0 for none
        short counted; // of 10 units in five lots
        int statements;
        double oldest; // the oldest lot's balance after the count
    };
    // One below (the oldest lot gives one); one above an earlier count, which refills the
    // lot that gave.
    const Case cases[] = {{"CNT-BELOW", 0, 9, 16, 1}, {"CNT-ABOVE", 9, 10, 16, 2}};
    BIInvCount count(db.get());
    const long batch = count.InitBatch(kStore, "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ids.clear();
        const long p = ProductWithLots(c.code, Costing::OldestFirst, 5);
        if (c.earlier != 0)
            count.CountProduct(kStore, p, c.earlier, kCountCode);
        std::string listing;
        const int n = Count([&] { count.CountProduct(kStore, p, c.counted, kCountCode); }, listing);
        EXPECT_LE(n, c.statements) << listing;
        const WSIPrdLoc::WSIData pl = PrdLoc(p, kStore);
        EXPECT_EQ(pl.Balance, c.counted);
        EXPECT_EQ(pl.LastCount, c.counted);
        EXPECT_EQ(Item(ids[0]).Balance, c.oldest);
        // No stock made up: the lots held what the count needed.
        EXPECT_EQ(Scalar("SELECT COUNT(1) FROM INVITEM WHERE \"Product\" = " + Id(p)), 5);
        // The run's one count marker for the product, holding the last count.
        EXPECT_EQ(
            Rows("SELECT \"CountValue\", \"BatchId\" FROM INVITDET WHERE \"Type\" = 6 AND "
                 "\"Product\" = " +
                 Id(p)),
            (std::vector<std::vector<std::string>>{{std::to_string(c.counted) + ".0", Id(batch)}}));
    }
    EXPECT_TRUE(Violations().empty());
}

} // namespace

// Transfers, counts, repackaging and splitting on real SQLite data.

#include "BIException.h"
#include "BIInvCount.h"
#include "BIInvRepackage.h"
#include "BIInvSplit.h"
#include "BIInvTransfer.h"
#include "StockFixture.h"

#include <cmath>
#include <set>

namespace {

using Table = std::vector<std::vector<std::string>>;
using tavel::MovementType::Transfer;

class MovesTest : public StockTest {
protected:
    long AddTrackedProduct(const char* code, short costing = tavel::CostingMethod::OldestFirst) {
        WSIProduct::WSIData p = NewProduct(code);
        p.TrackExpiryDate = 1;
        p.CostingMethod = costing;
        return StoreProduct(p);
    }
    // Quantity, balance, cost, expiry, origin and type of the product's stock at a location.
    Table Stock(long product, const char* loc) {
        return Rows(R"(SELECT "Quantity", "Balance", "CostPerUnit", "ExpiryDate", "InvLocFrom",
                              "Type" FROM INVITEM WHERE "Product" = )" +
                    Id(product) + " AND \"InvLoc\" = '" + loc + "' ORDER BY \"InvItem\"");
    }

    static constexpr WSIDate kJune{2026, 6, 1};
    static constexpr WSIDate kSeptember{2026, 9, 1};
    static constexpr WSIDate kLastYear{2025, 12, 31};
};

TEST_F(MovesTest, Transfer_MovesLotByLotCarryingOriginExpiryAndCost) {
    const long p = AddTrackedProduct("SYR");
    const long older = AddLot(p, kStore, MakeLot(3, -1, 2.0, kJune));
    const long newer = AddLot(p, kStore, MakeLot(5, -1, 3.0, kSeptember));
    BIInvTransfer transfer(db.get());
    const long batch = transfer.InitBatch(kStore, kWard);

    transfer.Transfer(p, 4, false, false, false);
    EXPECT_EQ(Item(older).Balance, 0);
    EXPECT_EQ(Item(newer).Balance, 4);
    EXPECT_EQ(Stock(p, kWard), (Table{{"3", "3.0", "2.0", "2026-06-01", "STORE", "1"},
                                      {"1", "1.0", "3.0", "2026-09-01", "STORE", "1"}}));
    EXPECT_EQ(Rows(R"(SELECT "Quantity", "OtherLoc", "BatchId" FROM INVITDET WHERE "InvLoc" =
                      'STORE' AND "Type" = 1 ORDER BY "InvItem")"),
              (Table{{"-3.0", "WARD", Id(batch)}, {"-1.0", "WARD", Id(batch)}}));

    // Like stock arriving again in the batch tops up the item it made.
    transfer.Transfer(p, 2, false, false, false);
    EXPECT_EQ(Stock(p, kWard)[1],
              (std::vector<std::string>{"3", "3.0", "3.0", "2026-09-01", "STORE", "1"}));
    EXPECT_EQ(PrdLocBalance(p, kStore), 2);
    EXPECT_EQ(PrdLocBalance(p, kWard), 6);
    EXPECT_TRUE(Violations().empty());

    // The screen's list: each arrived item once, then null, then the list again.
    std::set<long> listed;
    for (int pass = 0; pass < 2; ++pass) {
        listed.clear();
        while (WSITable* row = transfer.GetNextRow())
            listed.insert(static_cast<WSIInvTransferRow*>(row)->Row().INVITEM);
        EXPECT_EQ(listed.size(), 2u);
    }
    std::unique_ptr<WSITable> last(transfer.GetNewRow());
    const WSIInvTransferView& row = static_cast<WSIInvTransferRow*>(last.get())->Row();
    EXPECT_EQ(row.INVITEM, transfer.GetLastInvItem());
    EXPECT_EQ(row.SCANNED, 3);
    EXPECT_TRUE(listed.count(row.INVITEM));
}

TEST_F(MovesTest, Transfer_WithCreateMissingAddsFoundStockAtTheSourceFirst) {
    const long p = AddProduct("GAUZE");
    AddLot(p, kStore, 3);
    BIInvTransfer transfer(db.get());
    transfer.InitBatch(kStore, kWard);
    transfer.Transfer(p, 5, true, false, false);
    EXPECT_EQ(Scalar(R"(SELECT SUM("Quantity") FROM INVITEM WHERE "InvLoc" = 'STORE' AND
                        "Type" = 2 AND "Balance" = 0)"),
              2);
    EXPECT_EQ(PrdLocBalance(p, kStore), 0);
    EXPECT_EQ(PrdLocBalance(p, kWard), 5);
    EXPECT_TRUE(Violations().empty());
}

TEST_F(MovesTest, Transfer_RefusalsLeaveTheDatabaseAsItWas) {
    const long p = AddTrackedProduct("VAC");
    AddLot(p, kStore, MakeLot(3, -1, 2.0, kJune));
    AddLot(p, kStore, MakeLot(2, -1, 2.0, kLastYear)); // taken second, and expired
    const long undated = AddTrackedProduct("LIDO");
    AddLot(undated, kStore, MakeLot(4, -1, 1.0));
    AddLocation("CLOSED", tavel::LocationType::StoreRoom, 1);
    BIInvTransfer t(db.get());
    auto between = [&](const char* from, const char* to, long product, short quantity) {
        return [&t, from, to, product, quantity] {
            t.InitBatch(from, to);
            t.Transfer(product, quantity, false, false, false);
        };
    };
    ExpectRefused<InvalidTransferFrom>(between("", kWard, p, 1));
    ExpectRefused<InvalidTransferFrom>(between("CLOSED", kWard, p, 1));
    ExpectRefused<InvalidTransferTo>(between(kStore, kStore, p, 1));
    ExpectRefused<InvalidTransferTo>(between(kStore, "CLOSED", p, 1));
    ExpectRefused<InvalidProduct>(between(kStore, kWard, 9999, 1));
    ExpectRefused<InvalidQuantity>(between(kStore, kWard, p, 10000));
    ExpectRefused<MissingInvItem>(between(kStore, kWard, p, 6));
    // The good lot is taken first, then the expired one refuses the whole transfer.
    ExpectRefused<ExpiryDateErr>(between(kStore, kWard, p, 4));
    ExpectRefused<InvalidExpiryDate>(between(kStore, kWard, undated, 1));
}

TEST_F(MovesTest, TransferAll_MovesEveryBalanceOnceAndNotifiesPerProduct) {
    const long oldest = AddProduct("OLDEST");
    WSIProduct::WSIData newestFirst = NewProduct("NEWEST");
    newestFirst.CostingMethod = tavel::CostingMethod::NewestFirst;
    const long newest = StoreProduct(newestFirst);
    const long elsewhere = AddProduct("ELSEWHERE");
    AddLot(oldest, kStore, 3);
    AddLot(newest, kStore, 2);
    AddLot(oldest, kStore, 5);
    // Each transfer takes the newest lot first, so the older row is emptied before it is
    // reached: the balances read before the first transfer are what must move.
    AddLot(newest, kStore, 4);
    AddLot(elsewhere, kWard, 7);

    BIInvTransfer transfer(db.get());
    transfer.InitBatch(kStore, kWard);
    transfer.TransferAll(41);
    EXPECT_EQ(Scalar(R"(SELECT SUM("Balance") FROM INVITEM WHERE "InvLoc" = 'STORE')"), 0);
    EXPECT_EQ(PrdLocBalance(oldest, kWard), 8);
    EXPECT_EQ(PrdLocBalance(newest, kWard), 6);
    EXPECT_EQ(PrdLocBalance(elsewhere, kWard), 7);
    EXPECT_EQ(host.refreshes, (std::vector<StockHost::Refresh>{{41, oldest}, {41, newest}}));
    EXPECT_TRUE(Violations().empty());

    // Nothing left to move: nothing changes and nobody is told.
    host.refreshes.clear();
    const std::string before = Snapshot();
    transfer.TransferAll(41);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(host.refreshes.empty());
}

TEST_F(MovesTest, TransferInvItem_MovesOnlyThatItemAndAbortsTheWholeList) {
    const long p = AddProduct("BANDAGE");
    const long older = AddLot(p, kStore, MakeLot(3, -1, 1.0));
    const long newer = AddLot(p, kStore, MakeLot(5, -1, 4.0));
    BIInvTransfer transfer(db.get());
    transfer.InitBatch(kStore, kWard);

    transfer.BeginTransferInvItem();
    WSIInvItem::WSIData item = Item(newer);
    transfer.TransferInvItem(item, 12);
    transfer.EndTransferInvItem();
    EXPECT_EQ(Item(older).Balance, 3);
    EXPECT_EQ(Item(newer).Balance, 0);
    EXPECT_EQ(Stock(p, kWard), (Table{{"5", "5.0", "4.0", "<null>", "STORE", "1"}}));
    EXPECT_EQ(host.refreshes, (std::vector<StockHost::Refresh>{{12, p}}));

    // A failure in the middle of a list undoes the items already moved in it.
    const std::string before = Snapshot();
    transfer.BeginTransferInvItem();
    item = Item(older);
    transfer.TransferInvItem(item, 12);
    item.Product = 9999;
    EXPECT_THROW(transfer.TransferInvItem(item, 12), InvalidProduct);
    EXPECT_EQ(db->TransactionLevel(), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(MovesTest, CountProduct_BringsTheStockToTheCountAndRecordsIt) {
    struct Case {
        short counted;
        double olderBalance, newerBalance; // the lots after the count
        double created;                    // stock created beyond what the lots hold
    };
    for (const Case& c : {Case{7, 1, 6, 0}, Case{10, 4, 6, 0}, Case{13, 4, 6, 3}}) {
        SCOPED_TRACE(c.counted);
        const long p = AddProduct(("CNT" + std::to_string(c.counted)).c_str());
        const long older = AddLot(p, kStore, 4);
        const long newer = AddLot(p, kStore, 6);
        BIInvCount count(db.get());
        const long batch = count.InitBatch(kStore, "");
        count.CountProduct(kStore, p, c.counted, kCountCode);

        const WSIPrdLoc::WSIData pl = PrdLoc(p, kStore);
        EXPECT_EQ(pl.Balance, c.counted);
        EXPECT_EQ(pl.LastCount, c.counted);
        EXPECT_EQ(pl.LastCountDate, kToday);
        EXPECT_EQ(Item(older).Balance, c.olderBalance);
        EXPECT_EQ(Item(newer).Balance, c.newerBalance);
        EXPECT_EQ(Scalar(R"(SELECT COALESCE(SUM("Balance"), 0) FROM INVITEM WHERE "Product" = )" +
                         Id(p) + " AND \"InvItem\" > " + Id(newer)),
                  c.created);
        // Counting again in the same run updates the run's one count detail.
        count.CountProduct(kStore, p, c.counted, kCountCode);
        EXPECT_EQ(Rows(R"(SELECT "CountValue", "BatchId" FROM INVITDET WHERE "Type" = 6 AND
                          "Product" = )" +
                       Id(p)),
                  (Table{{std::to_string(c.counted) + ".0", Id(batch)}}));
    }
    EXPECT_TRUE(Violations().empty());
}

TEST_F(MovesTest, CountProduct_RefusesLocationsWithoutTheProduct) {
    const long p = AddProduct("GLOVES");
    AddLot(p, kStore, 4);
    AddPrdLoc(p, kWard, 1, 1);
    BIInvCount count(db.get());
    count.InitBatch(kStore, "");
    ExpectRefused<PrdLocErr>([&] { count.CountProduct("NOWHERE", p, 2, kCountCode); });
    ExpectRefused<InactivePrdLocErr>([&] { count.CountProduct(kWard, p, 2, kCountCode); });
    ExpectRefused<InvalidInvAdj>([&] { count.CountProduct(kStore, p, 2, "NONE"); });
}

TEST_F(MovesTest, Repackage_TurnsPartOfOneItemIntoTargetStockUnderOneAuditEntry) {
    const long box = AddProduct("BOX");
    const long piece = AddTrackedProduct("PIECE");
    const long older = AddLot(box, kStore, MakeLot(3, -1, 24.0, kJune));
    const long given = AddLot(box, kStore, MakeLot(2, -1, 30.0, kSeptember));

    BIInvRepackage repackage(db.get());
    repackage.Repackage(given, kStore, box, 1, piece, 12, 2.5);
    EXPECT_EQ(Item(older).Balance, 3);
    EXPECT_EQ(Item(given).Balance, 1);
    EXPECT_EQ(Stock(piece, kStore), (Table{{"12", "12.0", "2.5", "2026-09-01", "<null>", "5"}}));
    EXPECT_EQ(PrdLocBalance(piece, kStore), 12);
    EXPECT_EQ(PrdLocBalance(box, kStore), 4);
    const Table details = Rows(R"(SELECT "Quantity", "Audit", "BatchId" FROM INVITDET WHERE
                                 "Type" = 5 ORDER BY "Quantity")");
    ASSERT_EQ(details.size(), 2u);
    EXPECT_EQ(details[0][0], "-1.0");
    EXPECT_EQ(details[1][0], "12.0");
    EXPECT_EQ(details[0][1], details[1][1]);
    EXPECT_EQ(details[0][2], details[1][2]);
    EXPECT_NE(details[0][2], "0");
    EXPECT_EQ(repackage.GetBatchId(), 0);
    EXPECT_TRUE(Violations().empty());
}

TEST_F(MovesTest, Repackage_RefusalsLeaveTheDatabaseAsItWas) {
    const long box = AddProduct("BOX");
    const long piece = AddProduct("PIECE");
    const long item = AddLot(box, kStore, 2);
    const long atWard = AddLot(box, kWard, 3);
    AddPrdLoc(piece, kWard, 1, 1);
    AddLocation("CLOSED", tavel::LocationType::StoreRoom, 1);
    BIInvRepackage r(db.get());
    auto repackage = [&r](long invItem, const char* loc, long source, short quantity, long target,
                          short targetQuantity, double cost) {
        return
            [=, &r] { r.Repackage(invItem, loc, source, quantity, target, targetQuantity, cost); };
    };
    ExpectRefused<InvalidInvItem>(repackage(0, kStore, box, 1, piece, 12, 1));
    ExpectRefused<InvalidInvItem>(repackage(9999, kStore, box, 1, piece, 12, 1));
    ExpectRefused<InvalidRepackageQuantity>(repackage(item, kStore, box, 3, piece, 12, 1));
    ExpectRefused<InvalidQuantity>(repackage(item, kStore, box, 1, piece, 0, 1));
    ExpectRefused<InvalidCost>(repackage(item, kStore, box, 1, piece, 12, -0.01));
    ExpectRefused<InvalidCost>(repackage(item, kStore, box, 1, piece, 12, std::nan("")));
    ExpectRefused<InvalidLocation>(repackage(item, "", box, 1, piece, 12, 1));
    ExpectRefused<InvalidLocation>(repackage(item, "CLOSED", box, 1, piece, 12, 1));
    ExpectRefused<InvalidProduct>(repackage(item, kStore, box, 1, 9999, 12, 1));
    ExpectRefused<PrdLocInactive>(repackage(atWard, kWard, box, 1, piece, 12, 1));
    // An item of another location or product is not the source: it would give nothing and
    // the target stock would come from nowhere.
    ExpectRefused<InvalidInvItem>(repackage(atWard, kStore, box, 1, piece, 12, 1));
    const long pad = AddProduct("PAD");
    AddLot(pad, kStore, 4);
    ExpectRefused<InvalidInvItem>(repackage(item, kStore, pad, 1, piece, 12, 1));
}

TEST_F(MovesTest, Split_MakesAnItemOfItsOwnThatKeepsTheAuditDate) {
    const long p = AddProduct("FILM");
    Lot lot = MakeLot(10, 6, 3.0, kJune);
    lot.audit = AddAudit(WSIDate{2026, 1, 10});
    const long item = AddLot(p, kStore, lot);

    BIInvSplit split(db.get());
    const long made = split.Split(item, 4, 1.75, kSeptember);
    const WSIInvItem::WSIData left = Item(item), part = Item(made);
    EXPECT_EQ(left.Quantity, 6);
    EXPECT_EQ(left.Balance, 2);
    EXPECT_EQ(part.Quantity, 4);
    EXPECT_EQ(part.Balance, 4);
    EXPECT_EQ(part.CostPerUnit, 1.75);
    EXPECT_EQ(part.ExpiryDate, kSeptember);
    EXPECT_EQ(part.InvLoc, std::string(kStore));
    EXPECT_NE(part.Audit, left.Audit);
    EXPECT_EQ(
        Scalar("SELECT COUNT(1) FROM AUDITHIS WHERE \"Date\" = '2026-01-10' AND \"Audit\" = " +
               Id(part.Audit)),
        1);
    EXPECT_EQ(
        Rows(R"(SELECT "Quantity", "CostPerUnit" FROM INVITDET WHERE "InvItem" = )" + Id(made)),
        (Table{{"4.0", "1.75"}}));
    EXPECT_EQ(PrdLocBalance(p, kStore), 6);
    EXPECT_TRUE(Violations().empty());
}

TEST_F(MovesTest, Split_RefusalsLeaveTheDatabaseAsItWas) {
    const long p = AddProduct("FILM");
    const long item = AddLot(p, kStore, MakeLot(10, 6, 3.0));
    const long orphan = AddLot(p, kStore, 4);
    // An item whose creating detail cannot be found: found out only after the item was
    // reduced.
    Exec("UPDATE INVITEM SET \"Audit\" = " + Id(AddAudit()) + " WHERE \"InvItem\" = " + Id(orphan));
    BIInvSplit s(db.get());
    auto split = [&s](long invItem, short quantity, double cost) {
        return [=, &s] { s.Split(invItem, quantity, cost, kJune); };
    };
    ExpectRefused<InvalidCost>(split(item, 2, -1));
    // Not numbers, or beyond any price: they would spread into the average cost.
    for (double cost :
         {std::nan(""), HUGE_VAL, -HUGE_VAL, std::nextafter(BIInventory::kMaxCost, HUGE_VAL)})
        ExpectRefused<InvalidCost>(split(item, 2, cost));
    ExpectRefused<InvalidInvItem>(split(0, 2, 1));
    ExpectRefused<InvalidInvItem>(split(9999, 2, 1));
    ExpectRefused<InvalidQuantity>(split(item, 0, 1));
    ExpectRefused<InvalidSplitQuantity>(split(item, 10, 1)); // the whole item
    ExpectRefused<InvalidRepackageQuantity>(split(item, 7, 1));
    ExpectRefused<InvItDetErr>(split(orphan, 2, 1));
}

} // namespace

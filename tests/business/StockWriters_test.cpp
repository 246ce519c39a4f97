// The stock writers every movement goes through (product-location balance, order-item
// fill, movement detail), back-ordering and the refresh array.

#include "BIException.h"
#include "BIInventory.h"
#include "DBInvItem.h"
#include "StockFixture.h"

#include <functional>
#include <memory>

namespace {

// The writers are for derived operations; the tests reach them the same way.
class Writers : public BIInventory {
public:
    using BIInventory::BIInventory;
    using BIInventory::UpdateInvItDet;
    using BIInventory::UpdateInvOrdIt;
    using BIInventory::UpdatePrdLoc;
};

class WritersTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        product = AddProduct("SYR3");
        inv = std::make_unique<Writers>(db.get());
    }

    long product = 0;
    std::unique_ptr<Writers> inv;
};

TEST_F(WritersTest, UpdatePrdLoc_CreatesAMissingRowFromTheProductDefaults) {
    Exec("INSERT INTO PRDLOC (\"Product\", \"InvLoc\", \"Bin\", \"Stocked\", \"TrackUsage\", "
         "\"CanOrderFrom\", \"Balance\", \"LastCount\", \"MinCount\", \"ReorderCount\", "
         "\"MaxCount\", \"MinToOrder\", \"StdToOrder\", \"Inactive\") VALUES (" +
         std::to_string(product) + ", '', 'D-9', 1, 0, 1, 0, 0, 2, 3, 9, 1, 4, 0)");
    inv->UpdatePrdLoc(kWard, product, 4);
    WSIPrdLoc::WSIData row = PrdLoc(product, kWard);
    EXPECT_EQ(row.Balance, 4.0);
    EXPECT_STREQ(row.Bin, "D-9");
    EXPECT_EQ(row.TrackUsage, 0);
    EXPECT_EQ(row.ReorderCount, 3);
    inv->UpdatePrdLoc(kWard, product, -1.5);
    EXPECT_EQ(PrdLocBalance(product, kWard), 2.5);
    EXPECT_TRUE(host.warnings.empty());
    // No product, no row: nothing to put the balance on.
    EXPECT_THROW(inv->UpdatePrdLoc(kWard, 0, 1), PrdLocErr);
}

TEST_F(WritersTest, UpdatePrdLoc_AsksToDeactivateAnEmptiedLocationOfAnInactiveProduct) {
    struct Case {
        const char* name;
        short productInactive;
        double change;
        int answer;
        size_t questions;
        short inactiveAfter;
    };
    const Case cases[] = {
        {"inactive product emptied, confirmed", 1, -3, id::OK, 1, 1},
        {"inactive product emptied, declined", 1, -3, id::CANCEL, 1, 0},
        {"inactive product with stock left", 1, -2, id::OK, 0, 0},
        {"active product emptied", 0, -3, id::OK, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long p = AddProduct(c.name);
        AddLot(p, kStore, 3);
        SetProductInactive(p, c.productInactive);
        host.warnings.clear();
        host.warnAnswer = c.answer;
        inv->UpdatePrdLoc(kStore, p, c.change);
        ASSERT_EQ(host.warnings.size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(host.warnings[0].templateId, 25139);
            EXPECT_EQ(host.warnings[0].owner, &mainWindow);
        }
        EXPECT_EQ(PrdLoc(p, kStore).Inactive, c.inactiveAfter);
        EXPECT_EQ(PrdLocBalance(p, kStore), 3 + c.change);
    }
}

TEST_F(WritersTest, UpdatePrdLoc_RefusedByARule_ThrowsThatRulesError) {
    // A row that no longer passes its rules cannot take a balance change; each rule at the
    // value where it starts to refuse (the balance moves by one statement only while every
    // rule holds).
    struct Case {
        const char* name;
        const char* set;
        std::function<void()> expectRefused;
    };
    const auto change = [&] { inv->UpdatePrdLoc(kStore, product, 1); };
    const Case cases[] = {
        {"minimum above reorder point", "\"MinCount\" = 3, \"ReorderCount\" = 2",
         [&] { EXPECT_THROW(change(), InvalidPrdLocMinCount); }},
        {"maximum below minimum", "\"MinCount\" = 2, \"ReorderCount\" = 2, \"MaxCount\" = 1",
         [&] { EXPECT_THROW(change(), InvalidPrdLocMaxCount); }},
        {"standard order below minimum order", "\"MinToOrder\" = 2, \"StdToOrder\" = 1",
         [&] { EXPECT_THROW(change(), InvalidPrdLocStdOrder); }},
        {"inactive, balance coming", "\"Inactive\" = 1",
         [&] { EXPECT_THROW(change(), PrdLocInactive); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long p = AddProduct(c.name);
        AddPrdLoc(p, kStore);
        product = p;
        Exec(std::string("UPDATE PRDLOC SET ") + c.set +
             " WHERE \"Product\" = " + std::to_string(p));
        c.expectRefused();
        EXPECT_EQ(PrdLocBalance(p, kStore), 0.0);
    }
    // At the limits themselves the rules hold and the balance moves.
    const long ok = AddProduct("AT-LIMITS");
    AddPrdLoc(ok, kStore);
    Exec("UPDATE PRDLOC SET \"MinCount\" = 2, \"ReorderCount\" = 2, \"MaxCount\" = 2, "
         "\"MinToOrder\" = 3, \"StdToOrder\" = 3 WHERE \"Product\" = " +
         std::to_string(ok));
    inv->UpdatePrdLoc(kStore, ok, 1);
    EXPECT_EQ(PrdLocBalance(ok, kStore), 1.0);
}

TEST_F(WritersTest, UpdateInvOrdIt_StatusFollowsTheFilledQuantity) {
    struct Case {
        const char* name;
        short wasBackOrdered;
        short change;
        short status;
        short filledAfter;
        short statusAfter;
    };
    const Case cases[] = {
        {"reaches the quantity", 0, 6, -1, 10, tavel::OrdItStatus::Filled},
        {"goes beyond the quantity", 0, 8, -1, 12, tavel::OrdItStatus::Filled},
        {"short", 0, 2, -1, 6, tavel::OrdItStatus::PartiallyFilled},
        {"short, back-ordered before", 1, 2, -1, 6, tavel::OrdItStatus::BackOrdered},
        {"fill taken back", 0, -4, -1, 0, tavel::OrdItStatus::PartiallyFilled},
        {"status named", 0, 6, tavel::OrdItStatus::Closed, 10, tavel::OrdItStatus::Closed},
    };
    const long order = AddOrder(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long line = AddOrdIt(order, AddProduct(c.name), 10, tavel::OrdItStatus::Ordered, 4,
                                   c.wasBackOrdered);
        inv->UpdateInvOrdIt(line, kWard, product, c.change, c.status);
        WSIInvOrdIt::WSIData after = OrdIt(line);
        EXPECT_EQ(after.QtyFilled, c.filledAfter);
        EXPECT_EQ(after.Status, c.statusAfter);
    }
}

TEST_F(WritersTest, UpdateInvOrdIt_TakingBackTheFillOfAnUnorderedLineDeletesIt) {
    const long order = AddOrder(false);
    const long unordered = AddOrdIt(order, product, 0, tavel::OrdItStatus::Filled, 3);
    inv->UpdateInvOrdIt(unordered, kWard, product, -2, -1);
    EXPECT_EQ(OrdIt(unordered).QtyFilled, 1);
    inv->UpdateInvOrdIt(unordered, kWard, product, -1, -1);
    EXPECT_FALSE(OrdItExists(unordered));
    const std::string before = Snapshot();
    inv->UpdateInvOrdIt(0, kWard, product, 5, -1);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_THROW(inv->UpdateInvOrdIt(unordered, kWard, product, 1, -1), RecordInUse);
}

TEST_F(WritersTest, UpdateInvItDet_NewDetail_TakesItsValuesFromItemProductAndCode) {
    Exec("UPDATE PRODUCT SET \"AverageCost\" = 1.75, \"Unit\" = 'Each', \"ItemsPerUnit\" = 1");
    Lot l;
    l.cost = 3.25;
    const long lot = AddLot(product, kStore, l);
    DBInvItem item(db.get());
    item.data.InvItem = lot;
    ASSERT_TRUE(item.GetEqual(__FILE__, __LINE__));
    const double audits = Scalar("SELECT COUNT(1) FROM AUDITHIS");

    struct Case {
        const char* name;
        bool withItem;
        short type;
        const char* code;
        double cost;
        const char* otherLoc;
        double costAfter;
        long batchAfter;
        double countAfter;
        const char* otherLocAfter;
    };
    const Case cases[] = {
        {"item, default cost", true, tavel::MovementType::Usage, "", -1, "", 3.25, 7, 0, ""},
        {"no item, default cost", false, tavel::MovementType::HostIncrease, "", -1, "", 1.75, 7, 0,
         ""},
        {"cost given as 0", false, tavel::MovementType::HostIncrease, "", 0, "", 0, 7, 0, ""},
        {"plain adjustment", true, tavel::MovementType::Adjustment, kLossCode, 2, "", 2, 0, 0, ""},
        {"count", true, tavel::MovementType::Adjustment, kCountCode, -1, "", 3.25, 7, 9, ""},
        {"transfer", true, tavel::MovementType::Transfer, "", -1, "WARD-LONG", 3.25, 7, 0,
         "WARD-L"},
        {"other location of another type", true, tavel::MovementType::Usage, "", -1, kWard, 3.25, 7,
         0, ""},
    };
    long shared = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long audit =
            inv->UpdateInvItDet(0, c.withItem ? &item : nullptr, c.type, kStore, product, -2,
                                shared, c.code, c.cost, 7, 9, c.otherLoc);
        const long det = static_cast<long>(Scalar("SELECT MAX(\"InvItDet\") FROM INVITDET"));
        WSIInvItDet::WSIData d = Detail(det);
        EXPECT_EQ(d.InvItem, c.withItem ? lot : 0);
        EXPECT_EQ(d.Quantity, -2.0);
        EXPECT_STREQ(d.Unit, c.withItem ? kUnit : "Each");
        EXPECT_EQ(d.CostPerUnit, c.costAfter);
        EXPECT_EQ(d.BatchId, c.batchAfter);
        EXPECT_EQ(d.CountValue, c.countAfter);
        EXPECT_STREQ(d.OtherLoc, c.otherLocAfter);
        EXPECT_STREQ(d.InvAdj, c.code);
        // The first call made the audit entry; the others were handed it back.
        EXPECT_EQ(d.Audit, audit);
        if (!shared)
            shared = audit;
        EXPECT_EQ(audit, shared);
    }
    EXPECT_EQ(Scalar("SELECT COUNT(1) FROM AUDITHIS"), audits + 1);
    EXPECT_THROW(inv->UpdateInvItDet(0, &item, 2, kStore, product, 1, 0, "NOCODE", -1, 0, 0, ""),
                 InvalidInvAdj);
    EXPECT_THROW(inv->UpdateInvItDet(0, nullptr, 8, kStore, 9999, 1, 0, "", -1, 0, 0, ""),
                 InvalidProduct);
}

TEST_F(WritersTest, UpdateInvItDet_ExistingDetail_AddsOrCancels) {
    const long lot = AddLot(product, kStore, 4);
    WSIInvItem::WSIData item = Item(lot);
    const long ownAudit = AddAudit();
    struct Case {
        const char* name;
        short type;
        short change;
        bool kept;
        double quantityAfter;
        bool returnsOwnAudit;
    };
    const Case cases[] = {
        {"partly taken back", tavel::MovementType::Usage, -1, true, 3, false},
        {"cancelled", tavel::MovementType::Usage, -4, false, 0, false},
        {"count marker kept at 0", tavel::MovementType::CountMarker, -4, true, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long det = AddDetail(item, c.type, 4, ownAudit);
        const long audit = inv->UpdateInvItDet(det, nullptr, c.type, kStore, product, c.change, 555,
                                               "", -1, 0, 6, "");
        EXPECT_EQ(audit, c.returnsOwnAudit ? ownAudit : 555);
        ASSERT_EQ(DetailExists(det), c.kept);
        if (c.kept) {
            EXPECT_EQ(Detail(det).Quantity, c.quantityAfter);
            EXPECT_EQ(Detail(det).CountValue, 6.0);
        }
    }
    EXPECT_THROW(inv->UpdateInvItDet(99999, nullptr, 3, kStore, product, 1, 0, "", -1, 0, 0, ""),
                 RecordInUse);
}

TEST_F(WritersTest, BackOrder_RefusesLinesThatAreClosedOrFilled) {
    struct Case {
        const char* name;
        short status;
        short quantity;
        short filled;
        bool refusedForStatus;
        bool refusedAsFilled;
    };
    const Case cases[] = {
        {"cancelled", tavel::OrdItStatus::Cancelled, 5, 0, true, false},
        {"back-ordered already", tavel::OrdItStatus::BackOrdered, 5, 1, true, false},
        {"closed", tavel::OrdItStatus::Closed, 5, 1, true, false},
        {"quantity reached", tavel::OrdItStatus::PartiallyFilled, 5, 5, false, true},
        {"filled by status", tavel::OrdItStatus::Filled, 5, 2, false, true},
        {"open and short", tavel::OrdItStatus::PartiallyFilled, 5, 2, false, false},
    };
    const long order = AddOrder(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long line = AddOrdIt(order, AddProduct(c.name), c.quantity, c.status, c.filled);
        const std::string before = Snapshot();
        if (c.refusedForStatus) {
            EXPECT_THROW(inv->BackOrder(line), OrdItStatusErr);
        } else if (c.refusedAsFilled) {
            EXPECT_THROW(inv->BackOrder(line), OrdItFilledErr);
        } else {
            inv->BackOrder(line);
            EXPECT_EQ(OrdIt(line).Status, tavel::OrdItStatus::BackOrdered);
            EXPECT_EQ(OrdIt(line).WasBackOrdered, 1);
            continue;
        }
        EXPECT_EQ(Snapshot(), before);
        // The refusal let go of the row: it can be written again at once.
        EXPECT_FALSE(db->HoldsWriteLock());
    }
    EXPECT_THROW(inv->BackOrder(99999), RecordInUse);
}

TEST_F(WritersTest, AutoBackOrder_LeavesFilledCancelledAndClosedLines) {
    const long order = AddOrder(true);
    const long other = AddOrder(true);
    struct Line {
        short status, quantity, filled, statusAfter;
    };
    using S = decltype(tavel::OrdItStatus::Ordered);
    const Line lines[] = {
        {S(tavel::OrdItStatus::Purchased), 5, 0, S(tavel::OrdItStatus::BackOrdered)},
        {S(tavel::OrdItStatus::PartiallyFilled), 5, 2, S(tavel::OrdItStatus::BackOrdered)},
        {S(tavel::OrdItStatus::Purchased), 5, 5, S(tavel::OrdItStatus::Purchased)},
        {S(tavel::OrdItStatus::Filled), 5, 5, S(tavel::OrdItStatus::Filled)},
        {S(tavel::OrdItStatus::Cancelled), 5, 0, S(tavel::OrdItStatus::Cancelled)},
        {S(tavel::OrdItStatus::Closed), 5, 1, S(tavel::OrdItStatus::Closed)},
    };
    std::vector<long> ids;
    int n = 0;
    for (const Line& l : lines)
        ids.push_back(AddOrdIt(order, AddProduct(("P" + std::to_string(n++)).c_str()), l.quantity,
                               l.status, l.filled));
    const long elsewhere = AddOrdIt(other, product, 5, tavel::OrdItStatus::Purchased);
    const std::string before = Snapshot();
    inv->AutoBackOrder(0);
    EXPECT_EQ(Snapshot(), before);

    inv->AutoBackOrder(order);
    for (size_t i = 0; i < ids.size(); ++i) {
        SCOPED_TRACE(i);
        WSIInvOrdIt::WSIData after = OrdIt(ids[i]);
        EXPECT_EQ(after.Status, lines[i].statusAfter);
        EXPECT_EQ(after.WasBackOrdered, lines[i].statusAfter == tavel::OrdItStatus::BackOrdered);
    }
    EXPECT_EQ(OrdIt(elsewhere).Status, tavel::OrdItStatus::Purchased);
}

TEST_F(WritersTest, RefreshArray_SendsEachProductOnceInInsertionOrder) {
    inv->SendProductArrayRefresh(25010);
    EXPECT_TRUE(host.refreshes.empty());
    inv->AddProductToRefreshArray(8);
    inv->InitRefreshArray(); // starts over
    for (long p : {3L, 1L, 3L, 2L, 1L})
        inv->AddProductToRefreshArray(p);
    inv->SendProductArrayRefresh(25010);
    const std::vector<StockHost::Refresh> sent = {{25010, 3}, {25010, 1}, {25010, 2}};
    EXPECT_EQ(host.refreshes, sent);
    // Sent means gone: a second send has nothing to say.
    inv->SendProductArrayRefresh(25010);
    EXPECT_EQ(host.refreshes, sent);
}

} // namespace

// Adjustments and usage on real SQLite data: the costing orders, counts, stock created for
// what is missing, batch top-ups, received-details corrections, and every refusal leaving
// the database as it was.

#include "BIException.h"
#include "BIInvAdj.h"
#include "StockFixture.h"

#include <cmath>
#include <functional>
#include <numeric>
#include <optional>

namespace {

using Grid = std::vector<std::vector<std::string>>;
namespace Move = tavel::MovementType;
namespace Costing = tavel::CostingMethod;

// Opens AddInvItem to the tests, as the operations built on a batch use it.
class TestBatchAdj : public BIInvBatchAdj {
public:
    using BIInvBatchAdj::AddInvItem;
    using BIInvBatchAdj::BIInvBatchAdj;
};

class AdjustTest : public StockTest {
protected:
    struct Call {
        const char* loc = kStore;
        short type = Move::Adjustment;
        short quantity = 0;
        const char* code = "";
        bool createMissing = false;
        bool allowExpired = false;
        bool allowNoExpiry = false;
        long onlyItem = 0;
        long invOrdIt = 0;
        const char* otherLoc = nullptr;
    };
    // Runs Adjust as its callers do: the unit of work it leaves open on failure is aborted.
    void Run(BIInvAdj& adj, long product, const Call& c) {
        try {
            adj.Adjust(c.loc, c.type, product, c.quantity, c.code, c.createMissing, c.allowExpired,
                       c.allowNoExpiry, 0, c.onlyItem, c.invOrdIt, c.otherLoc, 0);
        } catch (...) {
            db->TransactionAbort();
            throw;
        }
    }
    void Run(long product, const Call& c) {
        BIInvAdj adj(db.get());
        Run(adj, product, c);
    }
    static Call Code(const char* code, short quantity) {
        Call c;
        c.code = code;
        c.quantity = quantity;
        return c;
    }
    static Call Typed(short type, short quantity) {
        Call c;
        c.type = type;
        c.quantity = quantity;
        return c;
    }

    long MaxDetail() { return static_cast<long>(Scalar("SELECT MAX(\"InvItDet\") FROM INVITDET")); }
    // Item, type, quantity, cost of the details written since `after`, in order.
    Grid DetailsAfter(long after) {
        return Rows("SELECT \"InvItem\", \"Type\", \"Quantity\", \"CostPerUnit\" FROM INVITDET "
                    "WHERE \"InvItDet\" > " +
                    Id(after) + " ORDER BY \"InvItDet\"");
    }
    std::vector<double> Balances(const std::vector<long>& items) {
        std::vector<double> out;
        for (long i : items)
            out.push_back(Item(i).Balance);
        return out;
    }
    long Product(short costing, short trackExpiry = 0, double averageCost = 2.5) {
        static int n = 0;
        WSIProduct::WSIData p = NewProduct(("P" + std::to_string(++n)).c_str());
        p.CostingMethod = costing;
        p.TrackExpiryDate = trackExpiry;
        p.AverageCost = averageCost;
        return StoreProduct(p);
    }

    static constexpr WSIDate kJune{2026, 6, 1};
    static constexpr WSIDate kSeptember{2026, 9, 1};
    static constexpr WSIDate kLastMonth{2026, 2, 1};
};

// One stock movement over three lots made oldest first; the lots left and the details
// written (lot index, quantity, cost) tell the order the costing method took them in.
struct CostingCase {
    const char* name;
    short costing;
    std::vector<std::tuple<short, double, double, WSIDate>> lots; // quantity, balance, cost, expiry
    const char* code;
    short quantity;
    std::vector<double> balances;
    std::vector<std::tuple<int, double, double>> details;
};

TEST_F(AdjustTest, CostingMethod_PicksLotsInItsOrderWithOneDetailPerLotAtItsCost) {
    const WSIDate none{};
    // clang-format off
    const std::vector<CostingCase> cases = {
        {"oldest first takes the oldest lot first", Costing::OldestFirst,
         {{3, 3, 2.0, none}, {5, 5, 3.0, none}}, kLossCode, 4,
         {0, 4}, {{0, -3, 2.0}, {1, -1, 3.0}}},
        {"newest first takes the newest lot first", Costing::NewestFirst,
         {{3, 3, 2.0, none}, {5, 5, 3.0, none}}, kLossCode, 4,
         {3, 1}, {{1, -4, 3.0}}},
        {"running average takes the oldest first at the average cost", Costing::RunningAverage,
         {{3, 3, 2.0, none}, {5, 5, 3.0, none}}, kLossCode, 4,
         {0, 4}, {{0, -3, 2.75}, {1, -1, 2.75}}},
        {"earliest expiry first, undated lots last", Costing::EarliestExpiry,
         {{2, 2, 1.0, none}, {3, 3, 2.0, kSeptember}, {5, 5, 3.0, kJune}}, kLossCode, 7,
         {2, 1, 0}, {{2, -5, 3.0}, {1, -2, 2.0}}},
        {"an increase refills partly used lots newest first", Costing::OldestFirst,
         {{3, 0, 2.0, none}, {5, 4, 3.0, none}}, kFoundCode, 2,
         {1, 5}, {{1, 1, 3.0}, {0, 1, 2.0}}},
        {"under newest first an increase refills the oldest first", Costing::NewestFirst,
         {{3, 0, 2.0, none}, {5, 4, 3.0, none}}, kFoundCode, 2,
         {2, 4}, {{0, 2, 2.0}}},
        {"under earliest expiry an increase refills the latest expiry first",
         Costing::EarliestExpiry, {{3, 1, 2.0, kJune}, {5, 4, 3.0, kSeptember}}, kFoundCode, 3,
         {3, 5}, {{1, 1, 3.0}, {0, 2, 2.0}}},
    };
    // clang-format on
    for (const CostingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const long p = Product(c.costing, 0, 2.75);
        std::vector<long> lots;
        for (const auto& [quantity, balance, cost, expiry] : c.lots)
            lots.push_back(AddLot(p, kStore, MakeLot(quantity, balance, cost, expiry)));
        const long before = MaxDetail();

        Run(p, Code(c.code, c.quantity));

        EXPECT_EQ(Balances(lots), c.balances);
        const Grid got = DetailsAfter(before);
        ASSERT_EQ(got.size(), c.details.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            const auto& [lot, quantity, cost] = c.details[i];
            EXPECT_EQ(got[i][0], Id(lots[lot]));
            EXPECT_EQ(got[i][1], "2");
            EXPECT_DOUBLE_EQ(std::stod(got[i][2]), quantity);
            EXPECT_DOUBLE_EQ(std::stod(got[i][3]), cost);
        }
        // All details of one call share one audit entry.
        EXPECT_EQ(Scalar("SELECT COUNT(DISTINCT \"Audit\") FROM INVITDET WHERE \"InvItDet\" > " +
                         Id(before)),
                  1);
        EXPECT_EQ(PrdLocBalance(p, kStore),
                  std::accumulate(c.balances.begin(), c.balances.end(), 0.0));
    }
    EXPECT_EQ(Violations(), std::vector<std::string>{});
}

TEST_F(AdjustTest, Count_SetsLastCountWritesOneMarkerPerBatchAndMovesStockToTheCount) {
    struct Case {
        const char* name;
        short counted;
        std::vector<double> balances;
    };
    for (const Case& c : std::vector<Case>{{"below the balance", 7, {1, 6}},
                                           {"above the balance", 9, {3, 6}},
                                           {"equal to the balance", 8, {2, 6}}}) {
        SCOPED_TRACE(c.name);
        const long p = Product(Costing::OldestFirst);
        const std::vector<long> lots = {AddLot(p, kStore, MakeLot(3, 2, 2.0)),
                                        AddLot(p, kStore, MakeLot(6, 6, 3.0))};
        TestBatchAdj adj(db.get());
        const long batch = adj.InitBatch(kStore, "");
        ASSERT_GT(batch, 0);

        Run(adj, p, Code(kCountCode, c.counted));
        Run(adj, p, Code(kCountCode, c.counted)); // a recount in the same batch

        EXPECT_EQ(Balances(lots), c.balances);
        const WSIPrdLoc::WSIData pl = PrdLoc(p, kStore);
        EXPECT_EQ(pl.LastCount, c.counted);
        EXPECT_EQ(pl.LastCountDate, kToday);
        EXPECT_EQ(pl.Balance, c.counted);
        EXPECT_EQ(Rows("SELECT \"Quantity\", \"CountValue\", \"BatchId\", \"InvAdj\" FROM INVITDET "
                       "WHERE \"Type\" = 6 AND \"Product\" = " +
                       Id(p)),
                  (Grid{{"0.0", std::to_string(c.counted) + ".0", Id(batch), kCountCode}}));
    }
    EXPECT_EQ(Violations(), std::vector<std::string>{});
}

TEST_F(AdjustTest, Count_WithoutABatchKeepsEveryCountWithItsOwnAuditEntry) {
    const long p = Product(Costing::OldestFirst);
    AddLot(p, kStore, MakeLot(10, 10, 2.0));

    Run(p, Code(kCountCode, 7));
    db->SetToday(WSIDate{2026, 3, 16});
    Run(p, Code(kCountCode, 5));

    // An earlier count is history: the next one neither rewrites it nor borrows its audit.
    EXPECT_EQ(Rows("SELECT D.\"CountValue\", D.\"BatchId\", A.\"Date\" FROM INVITDET D, "
                   "AUDITHIS A WHERE D.\"Audit\" = A.\"Audit\" AND D.\"Type\" = 6 AND "
                   "D.\"Product\" = " +
                   Id(p) + " ORDER BY D.\"InvItDet\""),
              (Grid{{"7.0", "0", "2026-03-15"}, {"5.0", "0", "2026-03-16"}}));
    EXPECT_EQ(PrdLocBalance(p, kStore), 5);
    EXPECT_EQ(Violations(), std::vector<std::string>{});
}

TEST_F(AdjustTest, MissingStock_IsRefusedWithItsAmountOrCreatedFirst) {
    struct Case {
        const char* name;
        double lotBalance; // of a lot of 8
        const char* code;
        short quantity;
        double missing;
        double balanceAfter; // of the lot, after createMissing
        Grid created;        // quantity, balance, type, flag, cost of the lot created
    };
    // clang-format off
    for (const Case& c : std::vector<Case>{
             {"a shortage", 8, kLossCode, 10, -2, 0, {{"2", "0.0", "2", "1", "4.25"}}},
             {"more than the lots can take back", 7, kFoundCode, 4, 3, 8,
              {{"3", "3.0", "2", "1", "4.25"}}}}) {
        // clang-format on
        SCOPED_TRACE(c.name);
        const long p = Product(Costing::OldestFirst, 1, 4.25);
        const long lot = AddLot(p, kStore, MakeLot(8, c.lotBalance, 2.0));

        std::optional<MissingInvItem> caught;
        ExpectRefused<MissingInvItem>([&] {
            try {
                Run(p, Code(c.code, c.quantity));
            } catch (const MissingInvItem& e) {
                caught = e;
                throw;
            }
        });
        ASSERT_TRUE(caught);
        EXPECT_EQ(caught->MissingQty, c.missing);
        EXPECT_EQ(caught->AverageCost, 4.25);
        EXPECT_EQ(caught->TrackUsage, 1);
        EXPECT_EQ(caught->TrackExpiryDate, 1);

        Call call = Code(c.code, c.quantity);
        call.createMissing = true;
        Run(p, call);
        EXPECT_EQ(Item(lot).Balance, c.balanceAfter);
        EXPECT_EQ(
            Rows("SELECT \"Quantity\", \"Balance\", \"Type\", \"AdjCreated\", \"CostPerUnit\" "
                 "FROM INVITEM WHERE \"Product\" = " +
                 Id(p) + " AND \"InvItem\" <> " + Id(lot)),
            c.created);
    }
    EXPECT_EQ(Violations(), std::vector<std::string>{});
}

TEST_F(AdjustTest, Batch_TopsUpLikeStockAndAccumulatesRepeatedMovementsInOneDetail) {
    const long p = Product(Costing::OldestFirst);
    TestBatchAdj adj(db.get());
    const long batch = adj.InitBatch(kStore, kWard);

    const long audit =
        adj.AddInvItem(kStore, Move::HostIncrease, p, 3, nullptr, "", 2.0, "", 0, 0, 0, 0);
    const long first = adj.GetLastInvItem();
    EXPECT_EQ(adj.AddInvItem(kStore, Move::HostIncrease, p, 2, nullptr, "", 2.0, "", 0, 0, 0, 0),
              audit);
    EXPECT_EQ(adj.GetLastInvItem(), first);
    adj.AddInvItem(kStore, Move::HostIncrease, p, 4, nullptr, "", 9.0, "", 0, 0, 0, 0);
    const long dearer = adj.GetLastInvItem();
    EXPECT_NE(dearer, first);
    EXPECT_EQ(Rows("SELECT \"InvItem\", \"Quantity\", \"Balance\" FROM INVITEM ORDER BY 1"),
              (Grid{{Id(first), "5", "5.0"}, {Id(dearer), "4", "4.0"}}));
    EXPECT_EQ(Rows("SELECT \"InvItem\", \"Quantity\", \"BatchId\" FROM INVITDET ORDER BY 1"),
              (Grid{{Id(first), "5.0", Id(batch)}, {Id(dearer), "4.0", Id(batch)}}));

    // Taking a top-up back entirely removes the item and its detail.
    EXPECT_EQ(adj.AddInvItem(kStore, Move::HostIncrease, p, -4, nullptr, "", 9.0, "", 0, 0, 0, 0),
              0);
    EXPECT_EQ(adj.GetLastInvItem(), 0);
    EXPECT_EQ(Scalar("SELECT COUNT(1) FROM INVITEM WHERE \"InvItem\" = " + Id(dearer)), 0);
    EXPECT_EQ(Scalar("SELECT COUNT(1) FROM INVITDET WHERE \"InvItem\" = " + Id(dearer)), 0);

    // Two usages of one lot in a batch make one detail.
    const long usageBatch = adj.InitBatch(kStore, "");
    EXPECT_NE(usageBatch, batch);
    Run(adj, p, Typed(Move::Usage, 1));
    Run(adj, p, Typed(Move::Usage, 2));
    EXPECT_EQ(
        Rows("SELECT \"InvItem\", \"Quantity\", \"BatchId\" FROM INVITDET WHERE \"Type\" = 3"),
        (Grid{{Id(first), "-3.0", Id(usageBatch)}}));
    EXPECT_EQ(PrdLocBalance(p, kStore), 2);

    adj.CloseBatch();
    EXPECT_EQ(adj.GetBatchId(), 0);
    Run(adj, p, Typed(Move::Usage, 1));
    EXPECT_EQ(Scalar("SELECT COUNT(1) FROM INVITDET WHERE \"Type\" = 3 AND \"BatchId\" = 0"), 1);
    EXPECT_EQ(Violations(), std::vector<std::string>{});
}

TEST_F(AdjustTest, Batch_TopUpKeepsDatedAndUndatedStockApart) {
    struct Case {
        const char* name;
        const WSIDate* first;
        const WSIDate* second;
        Grid items; // quantity, expiry
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"undated after dated", &kJune, nullptr, {{"3", "2026-06-01"}, {"2", "<null>"}}},
        {"dated after undated", nullptr, &kJune, {{"3", "<null>"}, {"2", "2026-06-01"}}},
        {"two dates", &kJune, &kSeptember, {{"3", "2026-06-01"}, {"2", "2026-09-01"}}},
        {"undated twice", nullptr, nullptr, {{"5", "<null>"}}},
        {"the same date twice", &kJune, &kJune, {{"5", "2026-06-01"}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long p = Product(Costing::OldestFirst, 1);
        TestBatchAdj adj(db.get());
        adj.InitBatch(kStore, "");
        adj.AddInvItem(kStore, Move::HostIncrease, p, 3, c.first, "", 2.0, "", 0, 0, 0, 0);
        adj.AddInvItem(kStore, Move::HostIncrease, p, 2, c.second, "", 2.0, "", 0, 0, 0, 0);
        EXPECT_EQ(Rows("SELECT \"Quantity\", \"ExpiryDate\" FROM INVITEM WHERE \"Product\" = " +
                       Id(p) + " ORDER BY \"InvItem\""),
                  c.items);
    }
    EXPECT_EQ(Violations(), std::vector<std::string>{});
}

TEST_F(AdjustTest, MovementTypes_SignFollowsTypeAndQuantityZeroTouchesNothing) {
    struct Case {
        short type;
        const char* code;
        short quantity;
        double balance; // of the one lot of 5 holding 3
    };
    for (const Case& c : std::vector<Case>{{Move::Usage, "", 2, 1},
                                           {Move::Repackage, "", 2, 1},
                                           {Move::HostDecrease, "", 2, 1},
                                           {Move::HostIncrease, "", 2, 5},
                                           {Move::Adjustment, "", 2, 1},
                                           {Move::Adjustment, kFoundCode, 2, 5},
                                           {Move::HostDecrease, "", -2, 5},
                                           {Move::Repackage, "", 0, 3},
                                           {Move::HostDecrease, "", 0, 3},
                                           {Move::HostIncrease, "", 0, 3}}) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " quantity " + std::to_string(c.quantity));
        const long p = Product(Costing::OldestFirst);
        const long lot = AddLot(p, kStore, MakeLot(5, 3, 2.0));
        const long before = MaxDetail();
        Call call = Typed(c.type, c.quantity);
        call.code = c.code;
        Run(p, call);
        EXPECT_EQ(Item(lot).Balance, c.balance);
        EXPECT_EQ(Scalar("SELECT COUNT(1) FROM INVITDET WHERE \"InvItDet\" > " + Id(before)),
                  c.quantity == 0 ? 0 : 1);
    }
    EXPECT_EQ(Violations(), std::vector<std::string>{});
}

TEST_F(AdjustTest, Transfer_CreatesTheMovedStockAtTheOtherLocationAndFillsTheOrderItem) {
    const long p = Product(Costing::OldestFirst, 1);
    const long lot = AddLot(p, kStore, MakeLot(5, 5, 3.0, kJune));
    const long line = AddOrdIt(AddOrder(false), p, 4, tavel::OrdItStatus::OnPickList);
    Call c = Typed(Move::Transfer, 4);
    c.invOrdIt = line;
    c.otherLoc = kWard;
    Run(p, c);
    EXPECT_EQ(Item(lot).Balance, 1);
    EXPECT_EQ(Rows("SELECT \"Quantity\", \"InvLocFrom\", \"InvOrdIt\", \"ExpiryDate\", "
                   "\"CostPerUnit\" FROM INVITEM WHERE \"InvLoc\" = 'WARD'"),
              (Grid{{"4", kStore, Id(line), "2026-06-01", "3.0"}}));
    EXPECT_EQ(OrdIt(line).QtyFilled, 4);
    EXPECT_EQ(OrdIt(line).Status, tavel::OrdItStatus::Filled);
    EXPECT_EQ(PrdLocBalance(p, kWard), 4);
    EXPECT_EQ(Violations(), std::vector<std::string>{});
}

TEST_F(AdjustTest, ExpiryRules_ApplyToUsageTransfersAndHostDecreasesOfTrackedStock) {
    struct Case {
        const char* name;
        short type;
        WSIDate expiry;
        bool allowExpired, allowNoExpiry;
        int outcome; // 0 passes, 1 ExpiryDateErr, 2 InvalidExpiryDate
    };
    const std::vector<Case> cases = {
        {"usage of an expired lot", Move::Usage, kLastMonth, false, true, 1},
        {"usage of an expired lot, allowed", Move::Usage, kLastMonth, true, false, 0},
        {"usage of an undated lot", Move::Usage, {}, true, false, 2},
        {"usage of an undated lot, allowed", Move::Usage, {}, false, true, 0},
        {"host decrease of an expired lot", Move::HostDecrease, kLastMonth, false, false, 1},
        {"adjustment by code of an expired lot", Move::Adjustment, kLastMonth, false, false, 0},
        {"usage of a lot expiring today", Move::Usage, kToday, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long p = Product(Costing::OldestFirst, 1);
        AddLot(p, kStore, MakeLot(5, 5, 2.0, c.expiry));
        Call call = Typed(c.type, 1);
        call.allowExpired = c.allowExpired;
        call.allowNoExpiry = c.allowNoExpiry;
        if (c.outcome == 1)
            ExpectRefused<ExpiryDateErr>([&] { Run(p, call); });
        else if (c.outcome == 2)
            ExpectRefused<InvalidExpiryDate>([&] { Run(p, call); });
        else
            EXPECT_NO_THROW(Run(p, call));
    }
    // Without usage tracking at the location, lots are not checked.
    const long p = Product(Costing::OldestFirst, 1);
    AddLot(p, kStore, MakeLot(5, 5, 2.0, kLastMonth));
    Exec("UPDATE PRDLOC SET \"TrackUsage\" = 0 WHERE \"Product\" = " + Id(p));
    EXPECT_NO_THROW(Run(p, Typed(Move::HostDecrease, 1)));
    EXPECT_EQ(Violations(), std::vector<std::string>{});
}

TEST_F(AdjustTest, Refusals_LeaveTheDatabaseAsItWas) {
    const long p = Product(Costing::OldestFirst);
    AddLot(p, kStore, MakeLot(5, 4, 2.0));
    const long untracked = Product(Costing::OldestFirst);
    AddLot(untracked, kStore, MakeLot(5, 5, 2.0));
    Exec("UPDATE PRDLOC SET \"TrackUsage\" = 0 WHERE \"Product\" = " + Id(untracked));
    const long idle = Product(Costing::OldestFirst);
    AddPrdLoc(idle, kStore, 1, 1);
    AddLocation("SHUT", tavel::LocationType::StoreRoom, 1);
    AddAdjCode("OLD", tavel::AdjustmentType::Decrease, 1);
    const short max = static_cast<short>(app->GetMaxQuantityAllowed());

    auto with = [&](long product, Call c) { return [this, product, c] { Run(product, c); }; };
    Call atShut = Code(kLossCode, 1);
    atShut.loc = "SHUT";
    Call atNowhere = atShut;
    atNowhere.loc = "NOLOC";
    Call atEmpty = atShut;
    atEmpty.loc = "";
    Call nullCode = Code(kLossCode, 1);
    nullCode.code = nullptr;

    ExpectRefused<InvalidOrderedByLocation>(with(p, atShut));
    ExpectRefused<InvalidOrderedByLocation>(with(p, atNowhere));
    ExpectRefused<InvalidOrderedByLocation>(with(p, atEmpty));
    ExpectRefused<InvalidProduct>(with(p + 1000, Code(kLossCode, 1)));
    ExpectRefused<InvalidQuantity>(with(p, Code(kLossCode, static_cast<short>(max + 1))));
    ExpectRefused<InvalidQuantity>(with(p, Code(kLossCode, static_cast<short>(-max - 1))));
    ExpectRefused<InvalidInvAdj>(with(p, Code("NOSUCH", 1)));
    ExpectRefused<InvalidInvAdj>(with(p, Code("OLD", 1)));
    ExpectRefused<InvalidInvAdj>(with(p, nullCode));
    for (short type : {short(0), short(4), short(6), short(9)})
        ExpectRefused<InvAdjErr>(with(p, Typed(type, 1)));
    ExpectRefused<TrackUsageErr>(with(untracked, Typed(Move::Usage, 1)));
    ExpectRefused<TrackUsageErr>(with(untracked, Typed(Move::Usage, 0)));
    ExpectRefused<InactivePrdLocErr>(with(idle, Typed(Move::Usage, 1)));
    // A product without a row at the ward gets none from a refused movement.
    Call wardLoss = Code(kLossCode, 1);
    wardLoss.loc = kWard;
    ExpectRefused<MissingInvItem>(with(p, wardLoss));
    // A movement of the largest quantity allowed is not refused for its size.
    Call most = Code(kFoundCode, max);
    most.createMissing = true;
    EXPECT_NO_THROW(Run(p, most));
    EXPECT_EQ(PrdLocBalance(p, kStore), 4 + max);
}

TEST_F(AdjustTest, InsideACallersUnitOfWork_OneAbortUndoesEverything) {
    const long p = Product(Costing::OldestFirst);
    AddLot(p, kStore, MakeLot(5, 5, 2.0));
    const std::string before = Snapshot();
    BIInvAdj adj(db.get());
    ASSERT_TRUE(db->TransactionBegin());
    adj.Adjust(kStore, Move::HostDecrease, p, 2, "", false, false, false, 0, 0, 0, nullptr, 0);
    EXPECT_EQ(db->TransactionLevel(), 1);
    EXPECT_THROW(
        adj.Adjust(kStore, Move::HostDecrease, p, 9, "", false, false, false, 0, 0, 0, nullptr, 0),
        MissingInvItem);
    db->TransactionAbort();
    EXPECT_EQ(db->TransactionLevel(), 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(AdjustTest, BrokenStock_IsRefusedBeforeAnythingChanges) {
    const long p = Product(Costing::OldestFirst);
    const long lot = AddLot(p, kStore, MakeLot(5, 4, 2.0));
    Exec("UPDATE PRDLOC SET \"Balance\" = 3 WHERE \"Product\" = " + Id(p));
    ExpectRefused<InvPrdLocBalanceErr>([&] { Run(p, Code(kLossCode, 1)); });
    Exec("UPDATE PRDLOC SET \"Balance\" = 6 WHERE \"Product\" = " + Id(p));
    Exec("UPDATE INVITEM SET \"Balance\" = 6 WHERE \"InvItem\" = " + Id(lot));
    ExpectRefused<InvItemQtyErr>([&] { Run(p, Code(kLossCode, 1)); });
}

TEST_F(AdjustTest, AdjustReceivedDetails_CorrectsTheLotAndCarriesTheCostIntoItsDetails) {
    for (short costing : {Costing::OldestFirst, Costing::RunningAverage}) {
        SCOPED_TRACE("costing " + std::to_string(costing));
        const long p = Product(costing, 1);
        const long lot = AddLot(p, kStore, MakeLot(5, 3, 2.0, kJune)); // received + used details
        BIInvAdj adj(db.get());
        adj.AdjustReceivedDetails(lot, 4.5, kSeptember, "INV-7");
        const WSIInvItem::WSIData item = Item(lot);
        EXPECT_EQ(item.CostPerUnit, 4.5);
        EXPECT_EQ(item.ExpiryDate, kSeptember);
        EXPECT_STREQ(item.RefNo, "INV-7");
        // Under the running average only the detail that brought the lot in changes.
        EXPECT_EQ(Rows("SELECT \"Type\", \"CostPerUnit\" FROM INVITDET WHERE \"InvItem\" = " +
                       Id(lot) + " ORDER BY 1"),
                  (Grid{{"0", "4.5"}, {"3", costing == Costing::RunningAverage ? "2.0" : "4.5"}}));

        ExpectRefused<InvalidExpiryDate>([&] {
            adj.AdjustReceivedDetails(lot, 4.5, WSIDate{2026, 2, 30}, nullptr);
        });
        ExpectRefused<InvalidCost>([&] { adj.AdjustReceivedDetails(lot, -0.01, kJune, nullptr); });
        ExpectRefused<InvalidCost>(
            [&] { adj.AdjustReceivedDetails(lot, std::nan(""), kJune, nullptr); });
        ExpectRefused<InvalidInvItem>([&] { adj.AdjustReceivedDetails(0, 1.0, kJune, nullptr); });
        ExpectRefused<RecordInUse>([&] { adj.AdjustReceivedDetails(lot + 99, 1.0, kJune, ""); });
    }
    // An untracked product ignores the date it is given.
    const long p = Product(Costing::OldestFirst, 0);
    const long lot = AddLot(p, kStore, MakeLot(5, 5, 2.0));
    BIInvAdj(db.get()).AdjustReceivedDetails(lot, 1.25, WSIDate{}, nullptr);
    EXPECT_EQ(Item(lot).CostPerUnit, 1.25);
    EXPECT_TRUE(Item(lot).ExpiryDate.IsNull());
}

} // namespace

// Receiving on real SQLite data: receipt batches with and without a purchase order, line
// matching of Add, Modify and Delete, the average cost, unordered products, back orders,
// the order search and the receiving screen's rows; refusals leave the database as it was.

#include "BIException.h"
#include "BIInvRec.h"
#include "BoundedFormat.h"
#include "StatementCounter.h"
#include "StockFixture.h"

#include <cmath>
#include <functional>
#include <string>

namespace {

namespace Costing = tavel::CostingMethod;
namespace Status = tavel::OrdItStatus;
using Grid = std::vector<std::vector<std::string>>;

class TestReceive : public BIInvReceive {
public:
    using BIInvReceive::BIInvReceive;
    using BIInvReceive::GetNextOrderItemNumber;
};

class ReceiveTest : public StockTest {
protected:
    long Product(const char* code, double cost = 2.5, short method = Costing::OldestFirst,
                 short trackExpiry = 0, double average = 2.5) {
        WSIProduct::WSIData p = NewProduct(code);
        p.CostPerUnit = cost;
        p.AverageCost = average;
        p.CostingMethod = method;
        p.TrackExpiryDate = trackExpiry;
        return StoreProduct(p);
    }
    // An external order to the store under a PO number with one line per product.
    long Order(const char* poNumber) {
        const long order = AddOrder(true);
        Exec(std::string("UPDATE INVORDER SET \"PONumber\" = '") + poNumber +
             "', \"InvLoc\" = 'STORE' WHERE \"InvOrder\" = " + std::to_string(order));
        return order;
    }
    long Line(long order, long product, short quantity, double cost) {
        const long ordIt = AddOrdIt(order, product, quantity, Status::Purchased);
        Exec("UPDATE INVORDIT SET \"CostPerUnit\" = " + std::to_string(cost) +
             " WHERE \"InvOrdIt\" = " + std::to_string(ordIt));
        return ordIt;
    }
    double AverageCost(long product) {
        return Scalar("SELECT \"AverageCost\" FROM PRODUCT WHERE \"Product\" = " +
                      std::to_string(product));
    }
    double Count(const std::string& tableAndWhere) {
        return Scalar("SELECT COUNT(*) FROM " + tableAndWhere);
    }
    // Lines of the product in the receipt: quantity, balance, cost, expiry ("-" for none),
    // order item, reference.
    Grid Lines(long invRec, long product) {
        WSIInvItem item(db.get());
        auto cursor = db->Query(
            __FILE__, __LINE__,
            "SELECT %s FROM INVITEM WHERE \"InvRec\" = %ld AND \"Product\" = %ld ORDER BY "
            "\"InvItem\"",
            item, db->GetTableColumns(__LINE__, __FILE__, "INVITEM"), invRec, product);
        Grid lines;
        for (bool ok = cursor->GetFirst(); ok; ok = cursor->GetNext()) {
            const WSIInvItem::WSIData& d = item.data;
            char balance[32], cost[32], expiry[32] = "-";
            TVL_FORMAT(balance, "%g", d.Balance);
            TVL_FORMAT(cost, "%g", d.CostPerUnit);
            if (!d.ExpiryDate.IsNull())
                TVL_FORMAT(expiry, "%04d-%02d-%02d", d.ExpiryDate.year, d.ExpiryDate.month,
                           d.ExpiryDate.day);
            lines.push_back({std::to_string(d.Quantity), balance, cost, expiry,
                             std::to_string(d.InvOrdIt), d.RefNo});
        }
        return lines;
    }
    void TearDown() override {
        EXPECT_EQ(Violations(), std::vector<std::string>{});
        StockTest::TearDown();
    }
    static constexpr WSIDate kExpiry{2027, 1, 31};
    static constexpr WSIDate kLaterExpiry{2027, 6, 30};
};

TEST_F(ReceiveTest, ReceivingWithoutOrderStoresLinesAtProductCost) {
    const long gauze = Product("GAUZE-4X4", 1.25);
    TestReceive rec(db.get());
    rec.InitBatch(kStore, vendor, nullptr, "", nullptr);
    EXPECT_EQ(rec.GetReceipt().InvRec, 0);
    rec.Add(gauze, 4, nullptr, "INV-1");
    const long invRec = rec.GetReceipt().InvRec;
    ASSERT_NE(invRec, 0);
    EXPECT_EQ(Lines(invRec, gauze), (Grid{{"4", "4", "1.25", "-", "0", "INV-1"}}));
    EXPECT_EQ(PrdLocBalance(gauze, kStore), 4);
    EXPECT_EQ(Rows("SELECT \"Date\", \"InvLoc\", \"Vendor\" FROM INVREC"),
              (Grid{{"2026-03-15", "STORE", std::to_string(vendor)}}));
    EXPECT_EQ(Scalar("SELECT SUM(\"Quantity\") FROM INVITDET WHERE \"Type\" = 0 AND "
                     "\"Product\" = " +
                     std::to_string(gauze)),
              4);
    auto* row = dynamic_cast<WSIReceiptRowCursor*>(rec.GetNewReceiptRow());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Row().RECD, 4);
    EXPECT_STREQ(row->Row().PRODUCTCODE, "GAUZE-4X4");
}

TEST_F(ReceiveTest, AddTopsUpOnlyALineWithTheSameReferenceAndExpiry) {
    struct Case {
        const char* name;
        const char* secondRef;
        WSIDate secondExpiry;
        Grid lines;
    };
    const Case cases[] = {
        {"same", "R1", kExpiry, {{"5", "5", "2.5", "2027-01-31", "0", "R1"}}},
        {"other reference",
         "R2",
         kExpiry,
         {{"2", "2", "2.5", "2027-01-31", "0", "R1"}, {"3", "3", "2.5", "2027-01-31", "0", "R2"}}},
        {"other expiry",
         "R1",
         kLaterExpiry,
         {{"2", "2", "2.5", "2027-01-31", "0", "R1"}, {"3", "3", "2.5", "2027-06-30", "0", "R1"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long p = Product((std::string("P-") + c.name).substr(0, 12).c_str(), 2.5,
                               Costing::OldestFirst, 1);
        TestReceive rec(db.get());
        rec.InitBatch(kStore, 0, nullptr, "", nullptr);
        WSIDate first = kExpiry, second = c.secondExpiry;
        rec.Add(p, 2, &first, "R1");
        rec.Add(p, 3, &second, c.secondRef);
        EXPECT_EQ(Lines(rec.GetReceipt().InvRec, p), c.lines);
        EXPECT_EQ(PrdLocBalance(p, kStore), 5);
    }
}

TEST_F(ReceiveTest, ExpiryDatesAreKeptOnlyForProductsThatTrackThem) {
    const long vaccine = Product("VACCINE", 9.0, Costing::EarliestExpiry, 1);
    const long tape = Product("TAPE-1IN", 0.5);
    TestReceive rec(db.get());
    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    WSIDate expiry = kExpiry;
    // A failed first Add takes the receipt it stored with it.
    ExpectRefused<InvalidExpiryDate>([&] { rec.Add(vaccine, 1, nullptr, ""); });
    EXPECT_EQ(Count("INVREC"), 0);
    WSIDate invalid{2027, 2, 30};
    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    ExpectRefused<InvalidExpiryDate>([&] { rec.Add(vaccine, 1, &invalid, ""); });

    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    rec.Add(vaccine, 2, &expiry, "");
    rec.Add(tape, 3, &expiry, "");
    const long invRec = rec.GetReceipt().InvRec;
    EXPECT_EQ(Lines(invRec, vaccine), (Grid{{"2", "2", "9", "2027-01-31", "0", ""}}));
    EXPECT_EQ(Lines(invRec, tape), (Grid{{"3", "3", "0.5", "-", "0", ""}}));
    auto* row = dynamic_cast<WSIReceiptExpiryCursor*>(rec.GetNewExpiryRow());
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->Row().EXPIRYDATE.IsNull());
    EXPECT_EQ(row->Row().RECD, 3);
}

TEST_F(ReceiveTest, QuantitiesOutsideTheLimitsAreRefused) {
    const long p = Product("GLOVES");
    const short max = static_cast<short>(app->GetMaxQuantityAllowed());
    TestReceive rec(db.get());
    for (short quantity : {short(0), short(-1), static_cast<short>(max + 1)}) {
        SCOPED_TRACE(quantity);
        rec.InitBatch(kStore, 0, nullptr, "", nullptr);
        ExpectRefused<InvalidQuantity>([&] { rec.Add(p, quantity, nullptr, ""); });
    }
    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    rec.Add(p, 2, nullptr, "");
    for (short quantity : {short(0), static_cast<short>(max + 1)})
        ExpectRefused<InvalidQuantity>([&] { rec.Modify(p, quantity, nullptr); });
    ExpectRefused<InvalidProduct>([&] { rec.Add(987654, 1, nullptr, ""); });
}

TEST_F(ReceiveTest, AverageCost) {
    struct Case {
        const char* name;
        short method;
        double average;   // the product's average cost before
        short stock;      // in stock before, one lot
        double stockCost; // that lot's cost
        short received;   // at the product's cost 3.00 (no order)
        double expected;
    };
    const Case cases[] = {
        {"running average", Costing::RunningAverage, 2.0, 10, 2.0, 10, 2.5},
        {"running average uses the kept average", Costing::RunningAverage, 4.0, 10, 2.0, 10, 3.5},
        {"value over quantity ignores the kept average", Costing::OldestFirst, 4.0, 10, 2.0, 10,
         2.5},
        {"rounded to cents", Costing::NewestFirst, 0.0, 3, 1.0, 4, 2.14},
        {"half a cent rounds up", Costing::OldestFirst, 0.0, 7, 2.0, 1, 2.13},
        {"running average rounded", Costing::RunningAverage, 1.0, 2, 1.0, 1, 1.67},
        {"nothing in stock before", Costing::RunningAverage, 7.0, 0, 0.0, 4, 3.0},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long p =
            Product(("AVG-000" + std::to_string(++n)).c_str(), 3.0, c.method, 0, c.average);
        if (c.stock > 0) {
            Lot lot;
            lot.quantity = c.stock;
            lot.cost = c.stockCost;
            AddLot(p, kWard, lot);
        }
        TestReceive rec(db.get());
        rec.InitBatch(kStore, 0, nullptr, "", nullptr);
        rec.Add(p, c.received, nullptr, "");
        EXPECT_DOUBLE_EQ(AverageCost(p), c.expected);
        // Taking the whole receipt back leaves the stock before: with nothing left the
        // average cost is 0.
        rec.Delete(p, -1, nullptr);
        if (c.stock == 0)
            EXPECT_EQ(AverageCost(p), 0.0);
        else
            EXPECT_DOUBLE_EQ(
                AverageCost(p),
                c.method == Costing::RunningAverage
                    ? BIInventory::RoundToCents(
                          (c.expected * (c.stock + c.received) - c.received * 3.0) / c.stock)
                    : c.stockCost);
    }
}

TEST_F(ReceiveTest, UsedLinesAndBalancesThatDisagreeAreRefused) {
    const long saline = Product("SALINE");
    const long water = Product("WATER-1L");
    TestReceive rec(db.get());
    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    rec.Add(saline, 5, nullptr, "");
    rec.Add(water, 5, nullptr, "");
    // Two of the saline line were used since: setting the line again would count them
    // twice, and the refusal says what happened.
    const long line = static_cast<long>(
        Scalar("SELECT \"InvItem\" FROM INVITEM WHERE \"Product\" = " + std::to_string(saline)));
    Exec("UPDATE INVITEM SET \"Balance\" = 3 WHERE \"InvItem\" = " + std::to_string(line));
    Exec("UPDATE PRDLOC SET \"Balance\" = 3 WHERE \"InvLoc\" = 'STORE' AND \"Product\" = " +
         std::to_string(saline));
    AddDetail(Item(line), tavel::MovementType::Usage, -2, AddAudit());
    ExpectRefused<ReceiptLineUsedErr>([&] { rec.Modify(saline, 4, nullptr); });
    ExpectRefused<ReceiptLineUsedErr>([&] { rec.Delete(saline, -1, nullptr); });
    // An untouched line whose location balance is off: the cost update refuses.
    Exec("UPDATE PRDLOC SET \"Balance\" = 4 WHERE \"InvLoc\" = 'STORE' AND \"Product\" = " +
         std::to_string(water));
    ExpectRefused<InvPrdLocBalanceErr>([&] { rec.Modify(water, 4, nullptr); });
    Exec("UPDATE PRDLOC SET \"Balance\" = 5 WHERE \"InvLoc\" = 'STORE' AND \"Product\" = " +
         std::to_string(water));
    // A line whose stock is all still there is changed as before.
    rec.Modify(water, 6, nullptr);
    EXPECT_EQ(PrdLocBalance(water, kStore), 6);
}

TEST_F(ReceiveTest, ReceivingAgainstAnOrderFillsItsLines) {
    const long gauze = Product("GAUZE-4X4", 1.0);
    const long tape = Product("TAPE-1IN", 1.0);
    const long order = Order("PO-7");
    const long gauzeLine = Line(order, gauze, 10, 0.8);
    const long tapeLine = Line(order, tape, 2, 0.6);
    TestReceive rec(db.get());
    rec.InitBatch(kStore, vendor, nullptr, "PO-7", nullptr);
    ASSERT_EQ(rec.GetInvOrder()->InvOrder, order);
    rec.Add(gauze, 4, nullptr, "");
    rec.Add(tape, 2, nullptr, "");
    const long invRec = rec.GetReceipt().InvRec;
    EXPECT_EQ(Lines(invRec, gauze), (Grid{{"4", "4", "0.8", "-", std::to_string(gauzeLine), ""}}));
    EXPECT_EQ(OrdIt(gauzeLine).QtyFilled, 4);
    EXPECT_EQ(OrdIt(gauzeLine).Status, Status::PartiallyFilled);
    EXPECT_EQ(OrdIt(tapeLine).Status, Status::Filled);

    // The screen's list: every line with what this batch received of it.
    Grid listed;
    for (auto* row = dynamic_cast<WSIReceiveOrderCursor*>(rec.GetNextOrderRow()); row;
         row = dynamic_cast<WSIReceiveOrderCursor*>(rec.GetNextOrderRow()))
        listed.push_back({row->Row().PRODUCTCODE, std::to_string(row->Row().ORDERQTY),
                          std::to_string(row->Row().RECD)});
    EXPECT_EQ(listed, (Grid{{"GAUZE-4X4", "10", "4"}, {"TAPE-1IN", "2", "2"}}));

    // Modify sets the quantity; the order line follows the difference.
    rec.Modify(gauze, 10, nullptr);
    EXPECT_EQ(Lines(invRec, gauze),
              (Grid{{"10", "10", "0.8", "-", std::to_string(gauzeLine), ""}}));
    EXPECT_EQ(OrdIt(gauzeLine).QtyFilled, 10);
    EXPECT_EQ(OrdIt(gauzeLine).Status, Status::Filled);
    EXPECT_EQ(PrdLocBalance(gauze, kStore), 10);

    // Delete takes the line, its detail and the fill back; status as asked.
    rec.Delete(tape, Status::Purchased, nullptr);
    EXPECT_EQ(Lines(invRec, tape), Grid{});
    EXPECT_EQ(OrdIt(tapeLine).QtyFilled, 0);
    EXPECT_EQ(OrdIt(tapeLine).Status, Status::Purchased);
    EXPECT_EQ(PrdLocBalance(tape, kStore), 0);
    EXPECT_EQ(Count("INVITDET WHERE \"Product\" = " + std::to_string(tape)), 0);
}

TEST_F(ReceiveTest, ModifyAndDeleteFindTheLineByExpiry) {
    const long p = Product("VACCINE", 5.0, Costing::EarliestExpiry, 1);
    TestReceive rec(db.get());
    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    WSIDate early = kExpiry, late = kLaterExpiry, missing{2028, 1, 1};
    ExpectRefused<NoEntryToModifyErr>([&] { rec.Modify(p, 1, &early); });
    rec.Add(p, 2, &early, "A");
    rec.Add(p, 3, &late, "B");
    const long invRec = rec.GetReceipt().InvRec;
    ExpectRefused<NoEntryToModifyErr>([&] { rec.Modify(p, 1, &missing); });
    const long other = Product("OTHER-1");
    ExpectRefused<NoEntryToModifyErr>([&] { rec.Modify(other, 1, nullptr); });

    rec.Modify(p, 6, &late);
    EXPECT_EQ(Lines(invRec, p), (Grid{{"2", "2", "5", "2027-01-31", "0", "A"},
                                      {"6", "6", "5", "2027-06-30", "0", "B"}}));
    // Without a date the first line of the product is meant.
    rec.Modify(p, 1, nullptr);
    EXPECT_EQ(Lines(invRec, p)[0][0], "1");
    // A Delete that finds nothing changes nothing and does not fail.
    const std::string before = Snapshot();
    rec.Delete(p, -1, &missing);
    EXPECT_EQ(Snapshot(), before);
    rec.Delete(p, -1, &late);
    EXPECT_EQ(Lines(invRec, p), (Grid{{"1", "1", "5", "2027-01-31", "0", "A"}}));
    EXPECT_EQ(PrdLocBalance(p, kStore), 1);
}

TEST_F(ReceiveTest, ModifyAndDeleteWithAReferenceAddressTheLotOfThatDate) {
    const long p = Product("VACCINE", 5.0, Costing::EarliestExpiry, 1);
    TestReceive rec(db.get());
    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    WSIDate early = kExpiry;
    rec.Add(p, 2, &early, "LOT-A");
    rec.Add(p, 3, &early, "LOT-B");
    const long invRec = rec.GetReceipt().InvRec;
    ExpectRefused<NoEntryToModifyErr>([&] { rec.Modify(p, 1, &early, "LOT-C"); });
    rec.Modify(p, 5, &early, "LOT-B");
    EXPECT_EQ(Lines(invRec, p), (Grid{{"2", "2", "5", "2027-01-31", "0", "LOT-A"},
                                      {"5", "5", "5", "2027-01-31", "0", "LOT-B"}}));
    rec.Delete(p, -1, &early, "LOT-B");
    EXPECT_EQ(Lines(invRec, p), (Grid{{"2", "2", "5", "2027-01-31", "0", "LOT-A"}}));
    EXPECT_EQ(PrdLocBalance(p, kStore), 2);
}

TEST_F(ReceiveTest, CloseBatchRemovesAReceiptWithoutLines) {
    const long p = Product("GAUZE-4X4");
    TestReceive rec(db.get());
    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    rec.Add(p, 2, nullptr, "");
    rec.Delete(p, -1, nullptr);
    EXPECT_EQ(Count("INVREC"), 1);
    rec.CloseBatch();
    EXPECT_EQ(Count("INVREC"), 0);
    EXPECT_EQ(rec.GetReceipt().InvRec, 0);

    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    rec.Add(p, 2, nullptr, "");
    rec.CloseBatch();
    EXPECT_EQ(Count("INVREC"), 1);
    // Without a stored receipt Delete does nothing.
    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    const std::string before = Snapshot();
    rec.Delete(p, -1, nullptr);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(ReceiveTest, UnorderedProductsJoinTheOrderWithAnEmptyLine) {
    const long gauze = Product("GAUZE-4X4", 1.5);
    const long extra = Product("EXTRA-1", 4.0);
    const long order = Order("PO-9");
    Line(order, gauze, 5, 1.0);
    TestReceive rec(db.get());
    rec.InitBatch(kStore, 0, nullptr, "PO-9", nullptr);
    rec.Add(gauze, 1, nullptr, "");
    ExpectRefused<InvalidPOProduct>([&] { rec.Add(extra, 2, nullptr, ""); });

    rec.AddOrderItem(extra, 0);
    const long added = static_cast<long>(
        Scalar("SELECT \"InvOrdIt\" FROM INVORDIT WHERE \"Product\" = " + std::to_string(extra)));
    EXPECT_EQ(OrdIt(added).Item, 2);
    EXPECT_EQ(OrdIt(added).Quantity, 0);
    EXPECT_DOUBLE_EQ(OrdIt(added).CostPerUnit, 4.0);
    // An Add that fails again leaves an empty line that the screen takes back.
    rec.CleanupOrderItem(extra);
    EXPECT_FALSE(OrdItExists(added));

    rec.AddOrderItem(extra, 0);
    rec.Add(extra, 2, nullptr, "");
    const long line = static_cast<long>(
        Scalar("SELECT \"InvOrdIt\" FROM INVORDIT WHERE \"Product\" = " + std::to_string(extra)));
    EXPECT_EQ(OrdIt(line).QtyFilled, 2);
    // Cleanup leaves a line that holds a fill.
    rec.CleanupOrderItem(extra);
    EXPECT_TRUE(OrdItExists(line));
    // Taking the only receipt of it back removes the line that was added for it.
    rec.Delete(extra, -1, nullptr);
    EXPECT_FALSE(OrdItExists(line));

    // Adding to a product already ordered raises its quantity; refusals.
    rec.AddOrderItem(gauze, 3);
    EXPECT_EQ(
        Scalar("SELECT \"Quantity\" FROM INVORDIT WHERE \"Product\" = " + std::to_string(gauze)),
        8);
    ExpectRefused<InvalidQuantity>([&] { rec.AddOrderItem(gauze, -1); });
    SetProductInactive(extra, 1);
    ExpectRefused<InvalidProduct>([&] { rec.AddOrderItem(extra, 0); });
    rec.CloseBatch();
    ExpectRefused<InvalidPONumber>([&] { rec.AddOrderItem(gauze, 1); });
}

TEST_F(ReceiveTest, ShortLinesAreBackOrdered) {
    const long gauze = Product("GAUZE-4X4");
    const long tape = Product("TAPE-1IN");
    const long order = Order("PO-3");
    const long gauzeLine = Line(order, gauze, 5, 1.0);
    const long tapeLine = Line(order, tape, 5, 1.0);
    TestReceive rec(db.get());
    rec.InitBatch(kStore, 0, nullptr, "PO-3", nullptr);
    EXPECT_FALSE(rec.PartialReceiptsNotBackOrdered()); // nothing stored yet
    rec.Add(gauze, 5, nullptr, "");
    rec.Add(tape, 2, nullptr, "");
    EXPECT_TRUE(rec.PartialReceiptsNotBackOrdered());
    rec.AutoBackOrder();
    EXPECT_EQ(OrdIt(tapeLine).Status, Status::BackOrdered);
    EXPECT_EQ(OrdIt(gauzeLine).Status, Status::Filled);
    EXPECT_FALSE(rec.PartialReceiptsNotBackOrdered());
    rec.CloseBatch();

    // One product by PO number; refusals change nothing.
    const long order2 = Order("PO-4");
    const long line2 = Line(order2, gauze, 3, 1.0);
    ExpectRefused<InvalidPONumber>([&] { rec.BackOrder("NO-SUCH-PO", 0, gauze); });
    ExpectRefused<InvalidPOProduct>([&] { rec.BackOrder("PO-4", 0, tape); });
    ExpectRefused<InvalidProduct>([&] { rec.BackOrder("PO-4", 0, 987654); });
    rec.BackOrder("PO-4", 0, gauze);
    EXPECT_EQ(OrdIt(line2).Status, Status::BackOrdered);
    EXPECT_EQ(OrdIt(line2).WasBackOrdered, 1);
}

TEST_F(ReceiveTest, LinesClosedAsFilledAreNeitherCountedNorBackOrdered) {
    const long gauze = Product("GAUZE-4X4");
    const long tape = Product("TAPE-1IN");
    const long order = Order("PO-7");
    Line(order, gauze, 5, 1.0);
    const long tapeLine = Line(order, tape, 5, 1.0);
    TestReceive rec(db.get());
    rec.InitBatch(kStore, 0, nullptr, "PO-7", nullptr);
    rec.Add(gauze, 5, nullptr, "");
    rec.Add(tape, 2, nullptr, "");
    // The user closes the short tape line as filled: nothing more is coming.
    Exec("UPDATE INVORDIT SET \"Status\" = 7 WHERE \"InvOrdIt\" = " + std::to_string(tapeLine));
    EXPECT_FALSE(rec.PartialReceiptsNotBackOrdered());
    rec.AutoBackOrder();
    EXPECT_EQ(OrdIt(tapeLine).Status, Status::Filled);
    EXPECT_EQ(OrdIt(tapeLine).WasBackOrdered, 0);
    rec.CloseBatch();
}

TEST_F(ReceiveTest, AProductNoLongerValidRefusesTheReceiptWithItsOwnMessage) {
    const long gauze = Product("GAUZE-4X4");
    TestReceive rec(db.get());
    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    rec.Add(gauze, 2, nullptr, "");
    // The product's category was made inactive since: the cost is written through the
    // product's rules, which no longer accept the product as it stands.
    Exec(std::string("UPDATE PRDCAT SET \"Inactive\" = 1 WHERE \"PrdCat\" = '") + kCat + "'");
    ExpectRefused<ProductPrdCatErr>([&] { rec.Add(gauze, 3, nullptr, ""); });
    ExpectRefused<ProductPrdCatErr>([&] { rec.Modify(gauze, 4, nullptr); });
    EXPECT_EQ(PrdLocBalance(gauze, kStore), 2);
    rec.CloseBatch();
}

TEST_F(ReceiveTest, OrderSearch) {
    // Order numbers 12, 120, 1234 and 13 as text prefixes; one internal order is never found.
    for (long id : {12L, 120L, 1234L, 13L}) {
        Exec("INSERT INTO INVORDER (\"InvOrder\", \"IsExternal\", \"InvLoc\", \"Vendor\", "
             "\"PONumber\", \"Date\", \"Audit\", \"Inactive\", \"ApprovalUser\") VALUES (" +
             std::to_string(id) + ", 1, 'STORE', " + std::to_string(vendor) + ", 'PO-" +
             std::to_string(id) + "', '2026-03-1" + std::to_string(id % 10) + "', " +
             std::to_string(AddAudit()) + ", 0, " + (id == 12 ? std::to_string(user) : "0") + ")");
    }
    Exec("UPDATE INVORDER SET \"IsExternal\" = 0 WHERE \"InvOrder\" = 13");
    TestReceive rec(db.get());
    auto collect = [&](bool found) {
        std::vector<long> ids;
        for (; found; found = rec.FindNextOrder())
            ids.push_back(rec.GetInvOrder()->InvOrder);
        EXPECT_EQ(rec.GetInvOrder()->InvOrder, 0);
        return ids;
    };
    char prefix[] = "12";
    EXPECT_EQ(collect(rec.FindFirstOrder(prefix, false)), (std::vector<long>{12, 120, 1234}));
    char poPrefix[] = "PO-12";
    EXPECT_EQ(collect(rec.FindFirstOrder(poPrefix, true)), (std::vector<long>{12, 120, 1234}));
    EXPECT_EQ(collect(rec.FindFirstOrder(WSIDate{2026, 3, 14})), (std::vector<long>{1234}));
    EXPECT_EQ(collect(rec.FindFirstOrder(WSIDate{})), (std::vector<long>{120, 12, 1234}));

    ASSERT_TRUE(rec.FindOrder("PO-12", 0));
    EXPECT_TRUE(rec.IsOrderApproved());
    char name[64], loc[7];
    EXPECT_EQ(rec.GetOrderVendor(name, sizeof name), vendor);
    EXPECT_STREQ(name, "Acme Medical");
    EXPECT_TRUE(rec.GetOrderByLocation(loc, sizeof loc));
    EXPECT_STREQ(loc, "STORE");
    WSIDate date;
    EXPECT_TRUE(rec.GetOrderDate(date));
    EXPECT_EQ(date, (WSIDate{2026, 3, 12}));
    EXPECT_TRUE(rec.FindOrder(1234, false));
    EXPECT_FALSE(rec.IsOrderApproved());
    EXPECT_FALSE(rec.FindOrder("NOPE", 0));
    EXPECT_FALSE(rec.GetOrderByLocation(loc, sizeof loc));
    EXPECT_EQ(rec.GetOrderVendor(name, sizeof name), 0);
    EXPECT_EQ(rec.GetNextOrderItemNumber("PO-120", 0), 1);
}

// --- Printing.

TEST_F(ReceiveTest, PrintNamesTheLayoutFormulasAndParameters) {
    PrintingHost printer;
    printer.db = db.get();
    printer.mainWindow = &mainWindow;
    printer.texts[BIInvReceive::kReceiptReportTitle] = "Receipt";
    app->AttachHost(&printer);
    using Formulas = std::vector<std::pair<std::string, std::string>>;

    const long p = Product("GAUZE-4X4");
    TestReceive rec(db.get());
    const WSIDate received{2026, 3, 9};
    rec.InitBatch(kStore, vendor, &received, "", nullptr);
    rec.Add(p, 1, nullptr, "");
    rec.Print(&mainWindow, true);
    ASSERT_EQ(printer.engine.reports.size(), 1u);
    {
        const RecordedReport& r = printer.engine.reports[0];
        EXPECT_EQ(r.file, "InvRec.rpt");
        EXPECT_EQ(r.title, "Receipt");
        EXPECT_TRUE(r.preview);
        EXPECT_EQ(r.parent, &mainWindow);
        EXPECT_EQ(r.formulas,
                  (Formulas{{"InvRec", "\"" + std::to_string(rec.GetReceipt().InvRec) + "\""},
                            {"InvRecDate", "\"03/09/2026\""},
                            {"InvRecLoc", "\"STORE\""},
                            {"VendorName", "\"Acme Medical\""}}));
        EXPECT_EQ(r.formulaTypes, (std::vector<int>{2, 2, 2, 2}));
        EXPECT_EQ(r.calls, (std::vector<std::string>{"open", "formulas", "print", "close"}));
    }
    rec.CloseBatch();

    // Against an order: the order and the receipt go as parameters; no vendor, no line.
    const long order = Order("PO-5");
    Line(order, p, 3, 1.0);
    rec.InitBatch(kStore, 0, &received, "PO-5", nullptr);
    rec.Add(p, 1, nullptr, "");
    rec.Print(&mainWindow, false);
    ASSERT_EQ(printer.engine.reports.size(), 2u);
    const RecordedReport& r = printer.engine.reports[1];
    EXPECT_EQ(r.file, "InvOrdRec.rpt");
    EXPECT_FALSE(r.preview);
    EXPECT_EQ(r.formulas, (Formulas{{"InvRecDate", "\"03/09/2026\""}, {"InvRecLoc", "\"STORE\""}}));
    EXPECT_EQ(r.calls, (std::vector<std::string>{"open", "formulas", "formulaError", "parameter",
                                                 "print", "close"}));
    EXPECT_TRUE(r.formulaError);
    ASSERT_EQ(r.parameters.size(), 2u);
    EXPECT_EQ(r.parameters[0].number, order);
    EXPECT_EQ(r.parameters[1].number, rec.GetReceipt().InvRec);
    app->AttachHost(&host);
}

} // namespace

TEST_F(ReceiveTest, AScannedLineRunsAFixedNumberOfStatementsAndReceivesRight) {
    if (!db->Handle())
        GTEST_SKIP() << "statements are counted on SQLite";
    struct Case {
        const char* name;
        const char* poNumber; // "" for a receipt without an order
        const char* secondRef;
        int statements; // the second line's whole unit of work, begin and commit included
    };
    const Case cases[] = {
        {"new line of an ordered product", "PO-9", "B", 15},
        {"new line without an order", "", "B", 12},
        {"line topped up", "PO-9", "A", 17},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string suffix = std::to_string(++n);
        const long gauze = Product(("GAUZE-" + suffix).c_str(), 2.0);
        const long order = Order((std::string("PO-9-") + suffix).c_str());
        Line(order, gauze, 10, 4.0);
        AddPrdLoc(gauze, kStore);
        const std::string po = *c.poNumber ? std::string("PO-9-") + suffix : std::string();
        TestReceive rec(db.get());
        rec.InitBatch(kStore, 0, nullptr, po.c_str(), nullptr);
        rec.Add(gauze, 1, nullptr, "A");
        int statements = 0;
        {
            StatementCounter counter(db->Handle());
            rec.Add(gauze, 3, nullptr, c.secondRef);
            statements = counter.count;
        }
        EXPECT_LE(statements, c.statements);
        // What the fewer statements wrote: balance, average cost at the line's cost (the
        // order's 4.00, else the product's 2.00), the detail and the order line's fill.
        EXPECT_EQ(PrdLocBalance(gauze, kStore), 4);
        EXPECT_DOUBLE_EQ(AverageCost(gauze), *c.poNumber ? 4.0 : 2.0);
        EXPECT_EQ(Count("INVITDET WHERE \"Type\" = 0 AND \"Product\" = " + std::to_string(gauze)),
                  c.secondRef[0] == 'A' ? 1 : 2);
        EXPECT_EQ(Scalar("SELECT SUM(\"Quantity\") FROM INVITDET WHERE \"Product\" = " +
                         std::to_string(gauze)),
                  4);
        EXPECT_EQ(Scalar("SELECT \"QtyFilled\" FROM INVORDIT WHERE \"InvOrder\" = " +
                         std::to_string(order)),
                  *c.poNumber ? 4 : 0);
        rec.CloseBatch();
    }
}

TEST_F(ReceiveTest, AScanTopsUpOnlyTheLineOfItsOwnReference) {
    const long gauze = Product("GAUZE-REF", 2.0);
    AddPrdLoc(gauze, kStore);
    TestReceive rec(db.get());
    rec.InitBatch(kStore, 0, nullptr, "", nullptr);
    // Lines with no reference, one that differs in its last character, and one with a quote.
    for (const char* ref : {"", "LOT-1", "LOT-2", "O'NEIL"})
        rec.Add(gauze, 1, nullptr, ref);
    for (const char* ref : {"O'NEIL", "LOT-2", "", "O'NEIL"})
        rec.Add(gauze, 1, nullptr, ref);
    const auto lines = Rows("SELECT COALESCE(\"RefNo\", ''), \"Quantity\" FROM INVITEM WHERE "
                            "\"Product\" = " +
                            Id(gauze) + " ORDER BY \"InvItem\"");
    EXPECT_EQ(lines, (std::vector<std::vector<std::string>>{
                         {"", "2"}, {"LOT-1", "1"}, {"LOT-2", "2"}, {"O'NEIL", "3"}}));
    EXPECT_EQ(PrdLocBalance(gauze, kStore), 8);
    rec.CloseBatch();
}

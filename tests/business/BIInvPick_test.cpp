// Pick lists and fills of internal orders on real SQLite data.

#include "BIException.h"
#include "BIInvPick.h"
#include "StockFixture.h"

#include <functional>

namespace {

using Table = std::vector<std::vector<std::string>>;
using tavel::OrdItStatus::Filled;
using tavel::OrdItStatus::OnPickList;
using tavel::OrdItStatus::Ordered;
using tavel::OrdItStatus::PartiallyFilled;

class PickTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        printer.db = db.get();
        printer.mainWindow = &mainWindow;
        printer.texts[38557] = "Pick List %ld for %s";
        app->AttachHost(&printer);
    }

    // An internal order of the ward on the store with one line per product and quantity.
    std::vector<long> Request(std::initializer_list<std::pair<long, short>> lines,
                              short inactive = 0) {
        const long order = AddOrder(false, inactive);
        std::vector<long> ids;
        for (const auto& [product, quantity] : lines)
            ids.push_back(AddOrdIt(order, product, quantity, Ordered));
        return ids;
    }
    // Number, location name and code, user name of every open pick list the cursor gives.
    Table OpenLists(BIInvPickList& picks) {
        Table rows;
        while (WSITable* row = picks.GetNextRow()) {
            const WSIOpenPickList& r = static_cast<WSIOpenPickListRow*>(row)->Row();
            rows.push_back({Id(r.PickList), r.InvLocName, r.InvLoc, r.UserName});
        }
        return rows;
    }
    // Order line, stock item, batch, filled and status of every fill row the cursor gives.
    Table FillRows(BIInvFill& fill) {
        Table rows;
        while (WSITable* row = fill.GetNextRow()) {
            const WSIInvFillView& r = static_cast<WSIInvFillRow*>(row)->Row();
            rows.push_back({Id(r.INVORDIT), Id(r.INVITEM), Id(r.BATCHID),
                            std::to_string(static_cast<int>(r.FILLED)), Id(r.STATUS)});
        }
        return rows;
    }

    PrintingHost printer;
};

TEST_F(PickTest, PickList_NumbersStampsAndListsOpenLists) {
    const long p = AddProduct("GAUZE");
    const long q = AddProduct("SWAB");
    const std::vector<long> first = Request({{p, 4}, {q, 2}});
    const std::vector<long> second = Request({{p, 1}});
    const std::vector<long> closed = Request({{p, 3}}, 1);
    const std::vector<long> unmarked = Request({{p, 5}});

    BIInvPickList picks(db.get());
    const long a = picks.InitBatch(kStore, kWard);
    picks.Add(first[0], true);
    picks.Add(first[1], true);
    picks.InitBatch(kStore, kWard);
    picks.Add(closed[0], true);
    const long b = picks.InitBatch(kStore, kWard);
    EXPECT_GT(b, a);
    picks.Add(second[0], true);
    const long c = picks.InitBatch(kStore, kWard);
    picks.Add(unmarked[0], false);

    for (long line : {first[0], first[1], second[0]}) {
        const WSIInvOrdIt::WSIData l = OrdIt(line);
        EXPECT_EQ(l.Status, OnPickList);
        EXPECT_EQ(l.PickUser, user);
        EXPECT_EQ(l.PickDate, kToday);
    }
    EXPECT_EQ(OrdIt(first[1]).PickList, a);
    EXPECT_EQ(OrdIt(second[0]).PickList, b);
    // Unmarked: on the list, status kept, so the list is not one of the open ones.
    EXPECT_EQ(OrdIt(unmarked[0]).PickList, c);
    EXPECT_EQ(OrdIt(unmarked[0]).Status, Ordered);

    // Each list once, ascending; lists of inactive orders or of unmarked lines are not open.
    const Table expected{{Id(a), "WARD", "WARD", "Tester, Tess"},
                         {Id(b), "WARD", "WARD", "Tester, Tess"}};
    EXPECT_EQ(OpenLists(picks), expected);
    EXPECT_EQ(OpenLists(picks), expected) << "the cursor starts over after its end";

    ExpectRefused<RecordInUse>([&] { picks.Add(99999, true); });

    // Clearing takes the lines off but keeps their status.
    picks.ClearBatch(a);
    EXPECT_EQ(OrdIt(first[0]).PickList, 0);
    EXPECT_EQ(OrdIt(first[0]).Status, OnPickList);
    EXPECT_EQ(OpenLists(picks), (Table{expected[1]}));

    picks.CloseBatch();
    EXPECT_EQ(picks.GetPickList(), 0);
}

TEST_F(PickTest, Print_AsksForTheListWithItsNumberAndLocationTitle) {
    AddLocation("CLINIC", tavel::LocationType::SupplyRoom);
    struct Case {
        const char* name;
        long number;     // 0: the current list
        const char* loc; // null or empty: the batch's to-location
        bool preview;
        const char* locName;
    };
    BIInvPickList picks(db.get());
    const long current = picks.InitBatch(kStore, kWard);
    for (const Case& c : {Case{"current list and location", 0, nullptr, true, "WARD"},
                          Case{"empty location", 0, "", false, "WARD"},
                          Case{"given list and location", 4321, "CLINIC", false, "CLINIC"},
                          Case{"unknown location", 7, "NOWHERE", true, ""}}) {
        SCOPED_TRACE(c.name);
        printer.engine.reports.clear();
        picks.Print(&mainWindow, c.preview, c.number, c.loc);
        ASSERT_EQ(printer.engine.reports.size(), 1u);
        const RecordedReport& r = printer.engine.reports[0];
        const std::string number = Id(c.number ? c.number : current);
        const std::string title = "Pick List " + number + " for " + c.locName;
        EXPECT_EQ(r.file, "InvPickList.rpt");
        EXPECT_EQ(r.title, title);
        EXPECT_EQ(r.preview, c.preview);
        EXPECT_EQ(r.parent, &mainWindow);
        using Formula = std::pair<std::string, std::string>;
        EXPECT_EQ(r.formulas, (std::vector<Formula>{{"PickListNum", "\"" + number + "\""},
                                                    {"Title", "\"" + title + "\""}}));
        EXPECT_EQ(r.formulaTypes, (std::vector<int>{2, 2}));
        EXPECT_TRUE(r.formulaError);
        EXPECT_TRUE(r.parameters.empty());
        EXPECT_EQ(r.calls, (std::vector<std::string>{"open", "formulas", "formulaError",
                                                     "parameter", "print", "close"}));
    }
}

TEST_F(PickTest, Fill_MovesStockToTheOrderingLocationAndFillsTheLines) {
    // One product on two orders: each line is filled on its own.
    const long p = AddProduct("SYRINGE");
    AddLot(p, kStore, 4);
    AddLot(p, kStore, 6);
    AddPrdLoc(p, kWard);
    const std::vector<long> lines{Request({{p, 5}})[0], Request({{p, 3}})[0]};
    BIInvPickList picks(db.get());
    const long list = picks.InitBatch(kStore, kWard);
    picks.Add(lines[0], true);
    picks.Add(lines[1], true);

    BIInvFill fill(db.get());
    const long batch = fill.InitBatch(kStore, kWard);
    fill.SetPickList(list);
    fill.BeginFill();
    fill.Fill(lines[0], p, 5, false, false, false, false);
    fill.Fill(lines[1], p, 2, false, false, false, false);
    fill.EndFill();
    EXPECT_EQ(db->TransactionLevel(), 0);

    EXPECT_EQ(OrdIt(lines[0]).QtyFilled, 5);
    EXPECT_EQ(OrdIt(lines[0]).Status, Filled);
    EXPECT_EQ(OrdIt(lines[1]).QtyFilled, 2);
    EXPECT_EQ(OrdIt(lines[1]).Status, PartiallyFilled);
    EXPECT_EQ(PrdLocBalance(p, kStore), 3);
    EXPECT_EQ(PrdLocBalance(p, kWard), 7);
    EXPECT_EQ(Rows(R"(SELECT "InvOrdIt", SUM("Quantity"), MIN("InvLocFrom") FROM INVITEM WHERE
                      "InvLoc" = 'WARD' GROUP BY "InvOrdIt" ORDER BY "InvOrdIt")"),
              (Table{{Id(lines[0]), "5", "STORE"}, {Id(lines[1]), "2", "STORE"}}));
    EXPECT_TRUE(Violations().empty());

    // The screen's list: the lines in order, with what this batch filled into them.
    const Table rows = FillRows(fill);
    ASSERT_FALSE(rows.empty());
    for (const auto& row : rows) {
        EXPECT_EQ(row[2], Id(batch));
        EXPECT_NE(row[1], "0");
    }
    EXPECT_EQ(rows.front()[0], Id(lines[0]));
    EXPECT_EQ(rows.back()[0], Id(lines[1]));
    EXPECT_EQ(rows.back()[3], "2");

    std::unique_ptr<WSITable> last(fill.GetNewRow());
    const WSIInvFillView& row = static_cast<WSIInvFillRow*>(last.get())->Row();
    EXPECT_EQ(row.INVITEM, fill.GetLastInvItem());
    EXPECT_EQ(row.INVORDIT, lines[1]);
    EXPECT_EQ(row.FILLED, 2);

    // With the batch closed the list shows every line of the pick list.
    fill.CloseBatch();
    Table all = FillRows(fill);
    EXPECT_GE(all.size(), 2u);
    EXPECT_EQ(all.front()[0], Id(lines[0]));
}

TEST_F(PickTest, Fill_TakesSubstitutesOfTheSameTypeUnderTheOrderedProduct) {
    const long ordered = AddProduct("GLOVE-M");
    const long substitute = AddProduct("GLOVE-L");
    const long otherType = [&] {
        WSIProduct::WSIData p = NewProduct("SCALPEL");
        p.PrdType = AddPrdType("Instruments");
        return StoreProduct(p);
    }();
    AddLot(substitute, kStore, 5);
    AddLot(otherType, kStore, 5);
    for (long p : {ordered, substitute, otherType})
        AddPrdLoc(p, kWard);
    const long line = Request({{ordered, 4}})[0];

    BIInvFill fill(db.get());
    fill.InitBatch(kStore, kWard);
    ExpectRefused<PrdTypeMatchErr>([&] {
        fill.BeginFill();
        fill.Fill(line, otherType, 2, false, false, false, false);
    });

    fill.BeginFill();
    fill.Fill(line, substitute, 4, false, false, false, false);
    fill.EndFill();
    const WSIInvOrdIt::WSIData l = OrdIt(line);
    EXPECT_EQ(l.Product, ordered);
    EXPECT_EQ(l.QtyFilled, 4);
    EXPECT_EQ(l.Status, Filled);
    EXPECT_EQ(PrdLocBalance(substitute, kWard), 4);
    EXPECT_EQ(PrdLocBalance(ordered, kWard), 0);
    EXPECT_TRUE(Violations().empty());
}

TEST_F(PickTest, Fill_AFailingFillUndoesEveryFillOfTheTransaction) {
    const long p = AddProduct("TAPE");
    AddLot(p, kStore, 20);
    AddLocation("CLOSED", tavel::LocationType::StoreRoom, 1);
    const long good = Request({{p, 9}})[0];
    const long done = AddOrdIt(AddOrder(false), p, 2, Filled, 2);
    const long zero = AddOrdIt(AddOrder(false), p, 0, Ordered);
    const long big = Request({{p, 9999}})[0];
    AddPrdLoc(p, kWard);
    // Products that one of the two locations does not carry.
    const long notAtWard = AddProduct("SWAB");
    AddLot(notAtWard, kStore, 5);
    const long notAtStore = AddProduct("PAD");
    AddPrdLoc(notAtStore, kWard);
    const long swabLine = Request({{notAtWard, 2}})[0];
    const long padLine = Request({{notAtStore, 2}})[0];

    struct Case {
        const char* name;
        const char* from;
        const char* to;
        long line;
        long product;
        short quantity;
        bool allowFilled;
        std::function<void(const std::function<void()>&)> expectThrow;
    };
    auto refuses = [](auto exception) {
        return [](const std::function<void()>& call) { EXPECT_THROW(call(), decltype(exception)); };
    };
    const std::vector<Case> cases{
        {"no source", "", kWard, good, p, 1, false, refuses(InvalidTransferFrom())},
        {"inactive source", "CLOSED", kWard, good, p, 1, false, refuses(InvalidTransferFrom())},
        {"no target", kStore, "", good, p, 1, false, refuses(InvalidTransferTo())},
        {"same location", kStore, kStore, good, p, 1, false, refuses(InvalidTransferTo())},
        {"inactive target", kStore, "CLOSED", good, p, 1, false, refuses(InvalidTransferTo())},
        {"unknown product", kStore, kWard, good, 99999, 1, false, refuses(InvalidProduct())},
        {"beyond the maximum", kStore, kWard, big, p, 10000, false, refuses(InvalidQuantity())},
        {"below minus the maximum", kStore, kWard, good, p, -10000, false,
         refuses(InvalidQuantity())},
        {"no line", kStore, kWard, 0, p, 1, false, refuses(InvalidInvOrdIt())},
        {"unknown line", kStore, kWard, 99999, p, 1, false, refuses(InvalidInvOrdIt())},
        {"line of quantity 0", kStore, kWard, zero, p, 1, false, refuses(InvOrdItQtyZero())},
        {"line filled", kStore, kWard, done, p, 1, false, refuses(InvOrdItFilled())},
        {"more than in stock", kStore, kWard, good, p, 30, false, refuses(MissingInvItem())},
        {"not carried by the ordering location", kStore, kWard, swabLine, notAtWard, 1, false,
         refuses(PrdLocErr())},
        {"not carried by the supplying location", kStore, kWard, padLine, notAtStore, 1, false,
         refuses(PrdLocErr())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = Snapshot();
        BIInvFill fill(db.get());
        fill.InitBatch(kStore, kWard);
        fill.BeginFill();
        fill.Fill(good, p, 1, false, false, false, false); // a good fill goes first
        fill.InitBatch(c.from, c.to);
        c.expectThrow(
            [&] { fill.Fill(c.line, c.product, c.quantity, c.allowFilled, false, false, false); });
        EXPECT_EQ(db->TransactionLevel(), 0);
        EXPECT_EQ(Snapshot(), before);
    }
    EXPECT_TRUE(Violations().empty());

    // The limits themselves are accepted: the maximum (created where missing) and a
    // filled line when allowed.
    BIInvFill fill(db.get());
    fill.InitBatch(kStore, kWard);
    fill.BeginFill();
    fill.Fill(big, p, 9999, false, true, false, false);
    fill.Fill(done, p, 1, true, true, false, false);
    fill.EndFill();
    EXPECT_EQ(OrdIt(big).Status, Filled);
    EXPECT_EQ(OrdIt(done).QtyFilled, 3);
    EXPECT_EQ(PrdLocBalance(p, kWard), 10000);
    EXPECT_TRUE(Violations().empty());
}

} // namespace

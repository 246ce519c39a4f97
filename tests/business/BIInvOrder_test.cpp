// Orders and their lines on real SQLite data: the header written by the first line, line
// numbers, quantity limits, the line state machine, whole-order cancel and purchase, the
// line cursor and printing.

#include "BIException.h"
#include "BIInvOrder.h"
#include "CCrystalReportObj.h"
#include "StockFixture.h"

#include <fstream>
#include <functional>
#include <typeinfo>

namespace {

namespace St = tavel::OrdItStatus;

// Reaches the protected line-number helper.
class TestOrder : public BIInvOrder {
public:
    using BIInvOrder::BIInvOrder;
    using BIInvOrder::GetNextOrderItemNumber;
};

// The exception type a call threw; null when it returned normally.
const std::type_info* Thrown(const std::function<void()>& call) {
    try {
        call();
    } catch (const BIException& e) {
        return &typeid(e);
    }
    return nullptr;
}

class OrderTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        printer.db = db.get();
        printer.mainWindow = &mainWindow;
        printer.texts[BIInvOrder::kOrderReportTitle] = "Inventory Order";
        app->AttachHost(&printer);
        gauze = AddProduct("GAUZE");
        tape = AddProduct("TAPE");
        swab = AddProduct("SWAB");
        for (long p : {gauze, tape, swab}) {
            AddPrdLoc(p, kStore);
            AddPrdLoc(p, kWard);
        }
    }

    WSIInvOrder::WSIData Header(bool external) {
        WSIInvOrder::WSIData o{};
        o.IsExternal = external ? 1 : 0;
        Put(o.InvLoc, kWard);
        Put(o.InvLocFrom, kStore);
        Put(o.InvOType, external ? kExternalType : kInternalType);
        Put(o.PONumber, "PO-1");
        o.Vendor = vendor;
        o.Date = kToday;
        return o;
    }
    static WSIInvOrdIt::WSIData Line(long product, short quantity) {
        WSIInvOrdIt::WSIData l{};
        l.Product = product;
        l.Quantity = quantity;
        Put(l.Unit, kUnit);
        l.CostPerUnit = 4.25;
        return l;
    }
    void SetLimits(long product, short maxCount, short minToOrder) {
        ASSERT_TRUE(Exec("UPDATE PRDLOC SET \"MaxCount\" = " + std::to_string(maxCount) +
                         ", \"MinToOrder\" = " + std::to_string(minToOrder) +
                         " WHERE \"Product\" = " + std::to_string(product) + " AND \"InvLoc\" = '" +
                         kWard + "'"));
    }

    // Stores bytes as the order type's own print layout. Records carry no blob column, so
    // the bytes are bound to a statement of their own.
    void SetOrderTypeLayout(const char* invOType, const std::string& bytes) {
        WSIBVParametersInfo bv;
        bv.AddBytes(bytes);
        bv.AddParameter(invOType);
        long changed = 0;
        ASSERT_EQ(WSITable::QExecBVDirect(
                      __FILE__, __LINE__, bv.Count(), bv.Params(), db.get(),
                      "UPDATE INVOTYPE SET \"ReportLayout\" = :1 WHERE \"InvOType\" = :2",
                      &changed),
                  0);
        ASSERT_EQ(changed, 1);
        ASSERT_EQ(
            Scalar(std::string(
                       "SELECT LENGTH(\"ReportLayout\") FROM INVOTYPE WHERE \"InvOType\" = '") +
                   invOType + "'"),
            static_cast<double>(bytes.size()));
    }

    PrintingHost printer;
    long gauze = 0, tape = 0, swab = 0;
};

// --- Header and lines.

TEST_F(OrderTest, FirstAddWritesHeaderOnceAndNumbersLinesByOrderKind) {
    for (bool external : {false, true}) {
        SCOPED_TRACE(external ? "external" : "internal");
        TestOrder order(db.get());
        WSIInvOrder::WSIData header = Header(external);
        order.Init(&header);
        ASSERT_EQ(order.GetOrderNumber(), 0);
        auto first = Line(gauze, 5);
        Put(first.Comment, "urgent");
        order.Add(&first, false);
        const long id = order.GetOrderNumber();
        ASSERT_GT(id, 0);
        EXPECT_GT(Scalar("SELECT \"Audit\" FROM INVORDER WHERE \"InvOrder\" = " + Id(id)), 0);
        const long line1 = order.GetOrderItemNumber();
        auto second = Line(tape, 2);
        order.Add(&second, false);
        EXPECT_EQ(Scalar("SELECT COUNT(1) FROM INVORDER"), 1);

        const auto one = OrdIt(line1), two = OrdIt(order.GetOrderItemNumber());
        EXPECT_EQ(one.Item, 1);
        EXPECT_EQ(two.Item, 2);
        const short start = external ? St::Ordered : St::Requested;
        EXPECT_EQ(one.Status, start);
        EXPECT_STREQ(one.Comment, "urgent");
        EXPECT_EQ(one.StockedAtLoc, 1);
        // Internal orders carry no vendor, price or purchase-order number; external ones
        // no supplying location.
        EXPECT_DOUBLE_EQ(one.CostPerUnit, external ? 4.25 : 0.0);
        const auto stored = order.GetOrderData();
        EXPECT_STREQ(stored->PONumber, external ? "PO-1" : "");
        EXPECT_STREQ(stored->InvLocFrom, external ? "" : kStore);
        EXPECT_EQ(stored->Vendor, external ? vendor : 0);
        order.CancelOrder();
        EXPECT_EQ(Scalar("SELECT COUNT(1) FROM INVORDIT"), 0);
        EXPECT_EQ(Scalar("SELECT COUNT(1) FROM INVORDER"), 0);
    }
    EXPECT_TRUE(Violations().empty());
}

TEST_F(OrderTest, RefusedFirstAddLeavesNoHeader) {
    TestOrder order(db.get());
    WSIInvOrder::WSIData header = Header(false);
    Put(header.InvLoc, "");
    order.Init(&header);
    auto line = Line(gauze, 1);
    EXPECT_EQ(Thrown([&] { order.Add(&line, false); }), &typeid(OrderAddOrderedByErr));
    EXPECT_EQ(Thrown([&] { order.Add(nullptr, false); }), &typeid(OrderAddErr));
    // An order never stored cannot be read back: its header is cleared with the line.
    EXPECT_STREQ(order.GetOrderData()->InvLocFrom, "");
    EXPECT_STREQ(order.GetOrderData()->InvOType, "");

    // A line refused after the header was written takes the header with it.
    header = Header(false);
    order.Init(&header);
    SetLimits(gauze, 3, 0);
    EXPECT_EQ(Thrown([&] { order.Add(&line, false); }), nullptr);
    const long kept = order.GetOrderNumber();
    TestOrder other(db.get());
    other.Init(&header);
    auto big = Line(tape, 2);
    big.Product = 999999;
    EXPECT_NE(Thrown([&] { other.Add(&big, false); }), nullptr);
    EXPECT_EQ(other.GetOrderNumber(), 0);
    EXPECT_EQ(Scalar("SELECT COUNT(1) FROM INVORDER"), 1);
    EXPECT_TRUE(order.FindOrder(kept));
}

TEST_F(OrderTest, QuantityLimitsOfTheOrderingLocation) {
    struct Case {
        const char* name;
        short special, quantity, maxCount, minToOrder;
        const std::type_info* refusal;
    };
    const Case cases[] = {
        {"zero on a normal order", 0, 0, 0, 0, &typeid(InvalidOrderQuantity)},
        {"zero on a special order passes", 1, 0, 0, 0, nullptr},
        {"zero on a special order still below the minimum", 1, 0, 0, 2,
         &typeid(OrderLessThanMinErr)},
        {"above the maximum", 0, 11, 10, 0, &typeid(OrderMoreThanMaxErr)},
        {"at the maximum", 0, 10, 10, 0, nullptr},
        {"below the minimum", 0, 2, 0, 3, &typeid(OrderLessThanMinErr)},
        {"at the minimum", 0, 3, 10, 3, nullptr},
        {"no limits set", 0, 500, 0, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLimits(gauze, c.maxCount, c.minToOrder);
        TestOrder order(db.get());
        WSIInvOrder::WSIData header = Header(false);
        header.SpecialOrder = c.special;
        order.Init(&header);
        auto line = Line(gauze, c.quantity);
        const std::string before = Snapshot();
        EXPECT_EQ(Thrown([&] { order.Add(&line, false); }), c.refusal);
        if (c.refusal) {
            EXPECT_EQ(Snapshot(), before);
            // The screen may confirm an out-of-limit quantity.
            // A refused first line takes the unsaved header with it; the screen starts over.
            EXPECT_EQ(order.GetOrderNumber(), 0);
            order.Init(&header);
            if (c.quantity > 0) {
                EXPECT_EQ(Thrown([&] { order.Add(&line, true); }), nullptr);
            }
        } else {
            EXPECT_EQ(OrdIt(order.GetOrderItemNumber()).Quantity, c.quantity);
        }
        if (order.GetOrderNumber() != 0)
            order.CancelOrder();
    }
}

TEST_F(OrderTest, ModifyChecksLimitsOnlyWhileTheLineIsStillOpen) {
    SetLimits(gauze, 10, 0);
    struct Case {
        short status;
        const std::type_info* refusal;
    };
    for (const Case c : {Case{St::Ordered, &typeid(OrderMoreThanMaxErr)},
                         Case{St::Requested, &typeid(OrderMoreThanMaxErr)},
                         Case{St::Purchased, nullptr}, Case{St::BackOrdered, nullptr}}) {
        SCOPED_TRACE(c.status);
        const long order = AddOrder(false);
        const long line = AddOrdIt(order, gauze, 4, c.status);
        TestOrder o(db.get());
        ASSERT_TRUE(o.FindOrder(order));
        ASSERT_TRUE(o.FindOrderItem(line));
        auto changed = Line(gauze, 12);
        EXPECT_EQ(Thrown([&] { o.Modify(&changed, false); }), c.refusal);
        EXPECT_EQ(OrdIt(line).Quantity, c.refusal ? 4 : 12);
        short cached = 0;
        EXPECT_TRUE(o.GetOrderItemQuantity(cached));
        EXPECT_EQ(cached, OrdIt(line).Quantity);
    }
    TestOrder none(db.get());
    auto l = Line(gauze, 1);
    EXPECT_EQ(Thrown([&] { none.Modify(&l, false); }), &typeid(OrderModifyErr));
    EXPECT_EQ(Thrown([&] { none.ModifyOrder(nullptr); }), &typeid(OrderModifyErr));
    EXPECT_EQ(Thrown([&] { none.CancelOrder(); }), &typeid(OrderDeleteErr));
    EXPECT_EQ(Thrown([&] { none.Delete(); }), &typeid(OrderDeleteErr));
}

TEST_F(OrderTest, LineNumbersAfterDeletes) {
    TestOrder order(db.get());
    WSIInvOrder::WSIData header = Header(false);
    order.Init(&header);
    EXPECT_EQ(order.GetNextOrderItemNumber(), 0);
    std::vector<long> lines;
    for (long p : {gauze, tape, swab}) {
        auto l = Line(p, 1);
        order.Add(&l, false);
        lines.push_back(order.GetOrderItemNumber());
    }
    ASSERT_EQ(order.GetNextOrderItemNumber(), 4);
    ASSERT_TRUE(order.FindOrderItem(lines[2]));
    order.Delete();
    EXPECT_EQ(order.GetNextOrderItemNumber(), 3);
    ASSERT_TRUE(order.FindOrderItem(lines[1]));
    order.Delete();
    EXPECT_EQ(order.GetNextOrderItemNumber(), 2);
    auto again = Line(tape, 1);
    order.Add(&again, false);
    EXPECT_EQ(OrdIt(order.GetOrderItemNumber()).Item, 2);
    ASSERT_TRUE(order.FindOrderItem(lines[0]));
    order.Delete();
    // The highest number stays, so the next line comes after it.
    EXPECT_EQ(order.GetNextOrderItemNumber(), 3);

    // A line that has moved on cannot be deleted.
    const long filled = AddOrdIt(order.GetOrderNumber(), swab, 2, St::Filled, 2);
    ASSERT_TRUE(order.FindOrderItem(filled));
    EXPECT_EQ(Thrown([&] { order.Delete(); }), &typeid(RecordInUse));
    EXPECT_TRUE(OrdItExists(filled));
}

// --- The state machine of one line.

TEST_F(OrderTest, EveryStatusMoveAllowedOrRefused) {
    struct Case {
        bool external;
        short from, to, quantity, qtyFilled;
        const std::type_info* refusal;
    };
    const auto* review = &typeid(InvalidOrderCannotReview);
    const auto* order = &typeid(InvalidOrderCannotOrder);
    const auto* purchase = &typeid(InvalidOrderCannotPurchase);
    const auto* cancel = &typeid(InvalidOrderCannotCancel);
    const auto* back = &typeid(InvalidOrderCannotBackOrder);
    const auto* close = &typeid(InvalidOrderCannotClose);
    const Case cases[] = {
        {false, St::Requested, St::InReview, 3, 0, nullptr},
        {false, St::InReview, St::InReview, 3, 0, review},
        {false, St::Ordered, St::InReview, 3, 0, review},
        {true, St::Requested, St::InReview, 3, 0, review},
        {false, St::Requested, St::Ordered, 3, 0, nullptr},
        {false, St::InReview, St::Ordered, 3, 0, nullptr},
        {false, St::Ordered, St::Ordered, 3, 0, order},
        {false, St::Purchased, St::Ordered, 3, 0, order},
        {true, St::InReview, St::Ordered, 3, 0, order},
        {true, St::Ordered, St::Purchased, 3, 0, nullptr},
        {true, St::InReview, St::Purchased, 3, 0, nullptr},
        {true, St::Requested, St::Purchased, 3, 0, nullptr},
        {true, St::PartiallyFilled, St::Purchased, 3, 1, purchase},
        {true, St::BackOrdered, St::Purchased, 3, 1, purchase},
        {true, St::Purchased, St::Purchased, 3, 0, purchase},
        {false, St::PartiallyFilled, St::Purchased, 3, 1, nullptr},
        {false, St::Filled, St::Purchased, 3, 3, nullptr},
        {false, St::Ordered, St::Cancelled, 3, 0, nullptr},
        {true, St::BackOrdered, St::Cancelled, 3, 0, nullptr},
        {true, St::OnPickList, St::Cancelled, 3, 0, nullptr},
        {false, St::Cancelled, St::Cancelled, 3, 0, cancel},
        {false, St::Closed, St::Cancelled, 3, 0, cancel},
        {false, St::Filled, St::Cancelled, 3, 0, cancel},
        {false, St::PartiallyFilled, St::Cancelled, 3, 1, cancel},
        {true, St::Purchased, St::Cancelled, 3, 1, cancel},
        {true, St::PartiallyFilled, St::BackOrdered, 3, 1, nullptr},
        {true, St::Purchased, St::BackOrdered, 3, 0, nullptr},
        {false, St::Closed, St::BackOrdered, 3, 1, nullptr},
        {true, St::Cancelled, St::BackOrdered, 3, 0, back},
        {true, St::BackOrdered, St::BackOrdered, 3, 1, back},
        {true, St::Filled, St::BackOrdered, 3, 1, back},
        {true, St::PartiallyFilled, St::BackOrdered, 3, 3, back},
        {true, St::Purchased, St::Closed, 3, 0, nullptr},
        {false, St::BackOrdered, St::Closed, 3, 1, nullptr},
        {true, St::PartiallyFilled, St::Filled, 3, 2, nullptr},
        {true, St::Cancelled, St::Closed, 3, 0, close},
        {true, St::Closed, St::Filled, 3, 0, close},
        {true, St::Filled, St::Closed, 3, 3, close},
        {false, St::Filled, St::OnPickList, 3, 3, nullptr},
        {true, St::Cancelled, St::PartiallyFilled, 3, 0, nullptr},
        {true, St::Closed, St::Requested, 3, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.external ? "external " : "internal ") << c.from << " -> " << c.to);
        const long ord = AddOrder(c.external);
        const long line = AddOrdIt(ord, gauze, c.quantity, c.from, c.qtyFilled);
        const std::string before = Snapshot();
        BIInvOrder o(db.get());
        EXPECT_EQ(Thrown([&] { o.UpdateItemStatus(c.to, ord, line); }), c.refusal);
        if (c.refusal) {
            EXPECT_EQ(Snapshot(), before);
        } else {
            EXPECT_EQ(OrdIt(line).Status, c.to);
            EXPECT_EQ(OrdIt(line).WasBackOrdered, c.to == St::BackOrdered ? 1 : 0);
        }
        // The cached line shows the stored state either way.
        EXPECT_EQ(o.GetOrderItemData()->Status, OrdIt(line).Status);
        EXPECT_EQ(db->TransactionLevel(), 0);
    }
}

TEST_F(OrderTest, StatusOfTheCurrentLineAndMissingIds) {
    const long ord = AddOrder(false);
    const long line = AddOrdIt(ord, gauze, 2, St::Requested);
    BIInvOrder o(db.get());
    ASSERT_TRUE(o.FindOrder(ord));
    ASSERT_TRUE(o.FindOrderItem(line));
    o.UpdateItemStatus(St::InReview, 0, 0);
    EXPECT_EQ(OrdIt(line).Status, St::InReview);
    EXPECT_EQ(Thrown([&] { o.UpdateItemStatus(St::Ordered, ord, 0); }), &typeid(OrderModifyErr));
    EXPECT_EQ(OrdIt(line).Status, St::InReview);
    BIInvOrder none(db.get());
    EXPECT_EQ(Thrown([&] { none.UpdateItemStatus(St::Ordered, 0, 0); }), &typeid(OrderModifyErr));
}

// --- Whole orders.

TEST_F(OrderTest, CancelAllItemsOnlyWithoutDeliveriesOrClosedLines) {
    struct Case {
        const char* name;
        std::vector<std::pair<short, short>> lines; // status, filled
        bool allowed;
    };
    const Case cases[] = {
        {"open lines", {{St::Requested, 0}, {St::Purchased, 0}, {St::Cancelled, 0}}, true},
        {"back-ordered, nothing delivered", {{St::BackOrdered, 0}, {St::Ordered, 0}}, true},
        {"a delivery", {{St::Ordered, 0}, {St::PartiallyFilled, 1}}, false},
        {"a closed line", {{St::Ordered, 0}, {St::Closed, 0}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long ord = AddOrder(true);
        std::vector<long> ids;
        for (auto [status, filled] : c.lines)
            ids.push_back(AddOrdIt(ord,
                                   AddProduct(("P" + std::to_string(ids.size()) + c.name).c_str()),
                                   3, status, filled));
        BIInvOrder o(db.get());
        EXPECT_EQ(o.CanCancelAllItems(ord), c.allowed);
        const std::string before = Snapshot();
        EXPECT_EQ(Thrown([&] { o.CancelAllItems(ord); }),
                  c.allowed ? nullptr : &typeid(InvalidOrderCannotCancel));
        if (!c.allowed) {
            EXPECT_EQ(Snapshot(), before);
        }
        for (long id : ids)
            EXPECT_EQ(OrdIt(id).Status == St::Cancelled, c.allowed);
    }
    BIInvOrder none(db.get());
    EXPECT_FALSE(none.CanCancelAllItems(0));
    EXPECT_EQ(Thrown([&] { none.CancelAllItems(0); }), &typeid(OrderModifyErr));
}

TEST_F(OrderTest, PurchaseAllItemsOfExternalOrders) {
    const long internal = AddOrder(false);
    const long req = AddOrdIt(internal, gauze, 2, St::Requested);
    BIInvOrder o(db.get());
    EXPECT_FALSE(o.CanPurchaseAllItems(internal));
    EXPECT_EQ(Thrown([&] { o.PurchaseAllItems(internal); }), &typeid(InvalidOrderCannotPurchase));
    EXPECT_EQ(OrdIt(req).Status, St::Requested);

    const long ext = AddOrder(true);
    const long a = AddOrdIt(ext, gauze, 2, St::Ordered), b = AddOrdIt(ext, tape, 2, St::InReview),
               c = AddOrdIt(ext, swab, 2, St::Cancelled);
    ASSERT_TRUE(o.FindOrder(ext));
    EXPECT_TRUE(o.CanPurchaseAllItems(0));
    o.PurchaseAllItems(0);
    EXPECT_EQ(OrdIt(a).Status, St::Purchased);
    EXPECT_EQ(OrdIt(b).Status, St::Purchased);
    EXPECT_EQ(OrdIt(c).Status, St::Cancelled);
    EXPECT_TRUE(o.OrderIsPurchased());
    EXPECT_FALSE(o.OrderIsInProgress());

    AddOrdIt(ext, AddProduct("LATE"), 2, St::PartiallyFilled, 1);
    EXPECT_FALSE(o.CanPurchaseAllItems(ext));
    EXPECT_TRUE(o.OrderIsInProgress());
}

// --- Reading.

TEST_F(OrderTest, LineCursorWalksInItemOrderAndStartsOver) {
    const long ord = AddOrder(false);
    AddOrdIt(ord, gauze, 1, St::Requested);
    AddOrdIt(ord, tape, 2, St::Requested);
    AddOrdIt(ord, swab, 3, St::Requested);
    ASSERT_TRUE(Exec("UPDATE INVORDIT SET \"Item\" = 4 - \"Item\", \"Comment\" = '" +
                     std::string(200, 'c') + "'"));
    BIInvOrder o(db.get());
    EXPECT_EQ(o.GetNextOrderRow(), nullptr);
    ASSERT_TRUE(o.FindOrder(ord));
    EXPECT_TRUE(o.OrderHasItems());
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::string> seen;
        while (WSITable* row = o.GetNextOrderRow()) {
            char code[32] = "", item[8] = "", comment[300] = "";
            ASSERT_TRUE(row->GetFieldText("Status", item, sizeof item));
            EXPECT_STREQ(item, "9");
            row->GetFieldText("ProductCode", code, sizeof code);
            row->GetFieldText("Item", item, sizeof item);
            row->GetFieldText("Comment", comment, sizeof comment);
            EXPECT_EQ(std::strlen(comment), 128u);
            seen.push_back(std::string(item) + code);
        }
        EXPECT_EQ(seen, (std::vector<std::string>{"1SWAB", "2TAPE", "3GAUZE"}));
    }
}

TEST_F(OrderTest, FindByPONumberTakesTheNewestActiveOrder) {
    AddOrder(true);
    const long newer = AddOrder(true);
    AddOrder(true, 1);
    ASSERT_TRUE(Exec("UPDATE INVORDER SET \"PONumber\" = 'P''7'"));
    BIInvOrder o(db.get());
    ASSERT_TRUE(o.FindOrder("P'7"));
    EXPECT_EQ(o.GetOrderNumber(), newer); // not the older one, nor the newest, inactive one
    char name[64];
    EXPECT_EQ(o.GetOrderVendor(name), vendor);
    EXPECT_STREQ(name, "Acme Medical");
    EXPECT_FALSE(o.FindOrder("nothing"));
    EXPECT_EQ(o.GetOrderNumber(), 0);
}

// --- Printing.

TEST_F(OrderTest, PrintUsesTheStockLayoutOrTheOrderTypesOwn) {
    const long ord = AddOrder(true);
    BIInvOrder o(db.get());
    o.Print(&mainWindow, true, nullptr);
    EXPECT_TRUE(printer.engine.reports.empty()); // no current order
    ASSERT_TRUE(o.FindOrder(ord));
    o.Print(&mainWindow, true, nullptr);
    ASSERT_EQ(printer.engine.reports.size(), 1u);
    const std::string quoted = "\"" + std::to_string(ord) + "\"";
    {
        const RecordedReport& r = printer.engine.reports[0];
        EXPECT_EQ(r.file, "InvOrder.rpt");
        EXPECT_EQ(r.title, "Inventory Order");
        EXPECT_TRUE(r.preview);
        EXPECT_EQ(r.parent, &mainWindow);
        EXPECT_EQ(r.formulas,
                  (std::vector<std::pair<std::string, std::string>>{{"InvOrder", quoted}}));
        EXPECT_EQ(r.formulaTypes, std::vector<int>{2});
        EXPECT_EQ(r.calls,
                  (std::vector<std::string>{"open", "formulas", "formulaError", "print", "close"}));
        EXPECT_TRUE(r.formulaError);
        EXPECT_FALSE(r.fullPath);
    }

    // The order type's own layout, bytes as stored (a zero and a high byte included).
    const std::string layout("LAYOUT\0A\xFF", 9);
    SetOrderTypeLayout(kExternalType, layout);
    ASSERT_FALSE(HasFatalFailure());
    o.Print(&mainWindow, false, nullptr);
    ASSERT_EQ(printer.engine.reports.size(), 2u);
    const RecordedReport& r = printer.engine.reports[1];
    EXPECT_FALSE(r.preview);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"open", "formulas", "formulaError", "fullPath",
                                                 "print", "close"}));
    EXPECT_TRUE(r.fullPath);
    EXPECT_EQ(r.formulas[0].second, quoted);
    EXPECT_EQ(r.fileContentsAtPrint, layout);
    EXPECT_EQ(std::filesystem::path(r.file).parent_path(), dir / "tmp");
    EXPECT_NE(r.file.find("RPT"), std::string::npos);
}

// --- The report object.

TEST_F(OrderTest, TemporaryPathsAndFormulaValues) {
    char path[1024];
    ASSERT_GT(ConstructTemporaryFilePath(path, "RPT", "CR", "%ld", 42L), 0);
    EXPECT_EQ(std::filesystem::path(path), dir / "tmp" / "RPT_CR_42.tmp");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "tmp"));
    char tooSmall[16];
    EXPECT_EQ(ConstructTemporaryFilePath(tooSmall, "RPT", "CR", "%ld", 42L), -1);
    EXPECT_STREQ(tooSmall, "");

    ST_FORMULAS f;
    SetStringFormula(f, "Title", std::string(600, 'x').c_str());
    EXPECT_EQ(f.nType, 2);
    EXPECT_STREQ(f.szName, "Title");
    const std::string value = f.szValue;
    ASSERT_EQ(value.size(), sizeof f.szValue - 1);
    EXPECT_EQ(value.front(), '"');
    EXPECT_EQ(value.back(), '"');

    // Without an engine nothing is printed and nothing fails.
    CCrystalReportObj report(nullptr, "InvOrder.rpt", "t", 0, nullptr);
    report.SetFormulas(&f, 1);
    EXPECT_FALSE(report.Print(false, true));
}

} // namespace

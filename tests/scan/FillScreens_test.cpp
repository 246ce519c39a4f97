#include "FillScreens_test.h"

#include "BIInvAdj.h"
#include "BIInvOrder.h"
#include "BIInvPick.h"
#include "RecordingReportEngine.h"
#include "StockCheck.h"
#include "WSIInvFillSelectDlg.h"
#include "WSIInvOrderFillDialog.h"
#include "WSIInvPendingOrdersDialog.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"
#include "WSISelectProductLocationDialog.h"

#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

using F = WSIInvOrderFillDialog;
namespace St = tavel::OrdItStatus;

namespace {
// The location rows screen picks loc, as a user double-clicks its row.
int PickLocation(WSISelectProductLocationDialog& d, const char* loc) {
    for (int row = 0; row < d.List()->RowCount(); ++row)
        if (d.List()->ItemText(row, 0).trimmed() == loc)
            d.List()->SelectRow(row);
    d.DoCommand(cm::Ok);
    return d.result();
}

void Show(QWidget& w) {
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w))
        qWarning("a screen did not become active");
}
} // namespace

void FillScreensTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
    host.Start(data->db.get());
    data->AddAdjCode("ADD", tavel::AdjustmentType::Increase, 0);
}

void FillScreensTest::cleanup() {
    host.engine = nullptr;
    data->Close();
    data.reset();
}

long FillScreensTest::Product(const char* code, double storeStock, long prdType) {
    const long p = data->AddProduct(code);
    if (prdType != 0)
        data->Exec("UPDATE PRODUCT SET \"PrdType\" = " + std::to_string(prdType) +
                   " WHERE \"Product\" = " + std::to_string(p));
    for (const char* loc : {"STORE", "WARD", "CLINIC"})
        data->AddPrdLoc(p, loc, 0);
    Stock(p, "STORE", static_cast<short>(storeStock));
    return p;
}

void FillScreensTest::Stock(long product, const char* loc, short quantity) {
    if (quantity == 0)
        return;
    BIInvAdj(data->db.get())
        .Adjust(loc, tavel::MovementType::Adjustment, product, quantity, "ADD", true, true, true, 0,
                0, 0, nullptr, 0);
}

long FillScreensTest::PickList(const std::vector<long>& lines) {
    BIInvPickList pick(data->db.get());
    const long number = pick.InitBatch("STORE", "WARD");
    for (long line : lines)
        pick.Add(line, true);
    pick.CloseBatch();
    return number;
}

std::vector<long> FillScreensTest::Request(const std::vector<std::pair<long, short>>& products) {
    BIInvOrder order(data->db.get());
    WSIInvOrder::WSIData header{};
    ScreensData::Put(header.InvLoc, "WARD");
    ScreensData::Put(header.InvLocFrom, "STORE");
    ScreensData::Put(header.InvOType, "INT");
    header.Date = ScreensData::kToday;
    header.ApprovalUser = data->user;
    order.Init(&header);
    std::vector<long> lines;
    for (const auto& [product, quantity] : products) {
        WSIInvOrdIt::WSIData l{};
        l.Product = product;
        l.Quantity = quantity;
        ScreensData::Put(l.Unit, "Box");
        order.Add(&l, false);
        lines.push_back(order.GetOrderItemNumber());
    }
    return lines;
}

long FillScreensTest::OrderOf(long invOrdIt) {
    return Line(invOrdIt).InvOrder;
}

std::unique_ptr<F> FillScreensTest::OpenFill(long pickList) {
    auto screen = std::make_unique<F>(nullptr, &host, pickList, "STORE", "WARD", true);
    screen->SetScanDelay(60000);
    Show(*screen);
    return screen;
}

void FillScreensTest::Scan(QWidget* entry, const QString& text) {
    QTest::keyClicks(entry, text);
    QTest::keyClick(entry, Qt::Key_Return);
}

double FillScreensTest::Balance(long product, const char* loc) {
    WSIPrdLoc r(data->db.get());
    r.data.Product = product;
    ScreensData::Put(r.data.InvLoc, loc);
    return r.GetEqual(__FILE__, __LINE__) ? r.data.Balance : -1.0;
}

WSIInvOrdIt::WSIData FillScreensTest::Line(long invOrdIt) {
    BIInvOrder order(data->db.get());
    return order.FindOrderItem(invOrdIt) ? *order.GetOrderItemData() : WSIInvOrdIt::WSIData{};
}

QStringList FillScreensTest::Column(F& screen, int col) {
    QStringList out;
    for (int row = 0; row < screen.List()->RowCount(); ++row)
        out << screen.List()->ItemText(row, col);
    return out;
}

bool FillScreensTest::StockConsistent() {
    return tavel::CheckStock(*data->db).empty();
}

std::unique_ptr<SubScreenScript> FillScreensTest::Script(std::function<int(WSIDialog&)> handler) {
    return std::make_unique<SubScreenScript>(std::move(handler));
}

// --- The whole cycle -------------------------------------------------------------------------

void FillScreensTest::Fill_WholeInternalOrderCycle() {
    const long gauze = Product("GAUZE10", 10);
    const long swab = Product("SWAB100", 10);
    const long mask = Product("MASK100", 10);
    const long glove = Product("GLOVE10", 10);
    WSIPrdType otherType(data->db.get());
    ScreensData::Put(otherType.data.Description, "Drugs");
    otherType.InsertDB(__FILE__, __LINE__);
    const long drug = Product("DRUG100", 10, otherType.data.PrdType);
    const long tape = Product("TAPE100", 1);
    const long gown = Product("GOWN100", 0);
    Stock(tape, "CLINIC", 5);
    Stock(gown, "CLINIC", 5);
    QVERIFY(StockConsistent());

    // Two requests of the ward, entered through the order business layer; the second
    // asks for gauze again and for a cushion that is not in the catalogue.
    std::vector<long> lines = Request({{gauze, 3}, {swab, 4}, {mask, 5}, {tape, 4}, {gown, 2}});
    const std::vector<long> second = Request({{gauze, 2}});
    // A line without a catalogue product cannot go through ordering: it is stored ordered.
    const long note = data->AddOrdIt(OrderOf(second[0]), 0, 1, St::Ordered);
    data->Exec("UPDATE INVORDIT SET \"Item\" = 2 WHERE \"InvOrdIt\" = " + std::to_string(note));
    lines.push_back(second[0]);
    lines.push_back(note);
    const long gauze1 = lines[0], swabLine = lines[1], maskLine = lines[2], tapeLine = lines[3],
               gownLine = lines[4], gauze2 = lines[5];

    // Reviewed and ordered from the pending list, then put on a pick list.
    WSIInventoryDialog main(nullptr, &host);
    main.SelectTab(WSIInventoryDialog::TabPending);
    QVERIFY(main.DoCommand(WSIInventoryDialog::IdSearch));
    auto* pending =
        static_cast<WSIInvPendingOrdersDialog*>(main.ListView(WSIInventoryDialog::TabPending));
    QCOMPARE(pending->List()->RowCount(), 7);
    bool reviewed = false;
    for (int row = 0; row < pending->List()->RowCount(); ++row) {
        if (pending->RowRecord(row)->Product == 0)
            continue;
        pending->List()->SelectRow(row);
        if (!reviewed)
            QVERIFY(pending->DoCommand(WSIInvPendingOrdersDialog::CmReviewItemId));
        reviewed = true;
        QVERIFY(pending->DoCommand(WSIInvPendingOrdersDialog::CmOrderItemId));
    }
    for (long line : lines)
        QCOMPARE(Line(line).Status, short(St::Ordered));
    for (int row = 0; row < pending->List()->RowCount(); ++row)
        if (pending->RowRecord(row)->Product != 0)
            pending->List()->SelectRow(row, true);
    host.warnAnswers = {id::CANCEL}; // print it later, from the fill selection
    QVERIFY(main.DoCommand(WSIInventoryDialog::IdPickList));
    const long pickList = Line(gauze1).PickList;
    QVERIFY(pickList > 0);
    // Older data holds lines without a catalogue product, which the line rules no longer
    // let onto a list: this one is put there directly.
    data->Exec("UPDATE INVORDIT SET \"Status\" = 2, \"PickList\" = " + std::to_string(pickList) +
               ", \"PickUser\" = " + std::to_string(data->user) +
               " WHERE \"InvOrdIt\" = " + std::to_string(note));
    for (long line : lines) {
        QCOMPARE(Line(line).Status, short(St::OnPickList));
        QCOMPARE(Line(line).PickList, pickList);
    }

    // The fill is made at the store room's workstation.
    host.profile = std::make_unique<WSIProfile>();
    host.profile->WriteString("Inventory", "Location", "STORE");
    RecordingReportEngine engine;
    host.engine = &engine;
    std::deque<int> moves = {id::OK, id::CANCEL};
    int substitutions = 0;
    bool filled = false;
    auto script = Script([&](WSIDialog& d) -> int {
        if (auto* select = dynamic_cast<WSIInvFillSelectDlg*>(&d)) {
            // The only open pick list is chosen; printed from here.
            if (select->List()->RowCount() != 1 || select->GetPickList() != pickList)
                return id::CANCEL;
            select->DoCommand(WSIInvFillSelectDlg::CmPrintId);
            select->DoCommand(cm::Ok);
            return select->result();
        }
        if (auto* locations = dynamic_cast<WSISelectProductLocationDialog*>(&d))
            return PickLocation(*locations, "CLINIC");
        if (auto* move = dynamic_cast<WSIInvDiscrepencyDialog*>(&d)) {
            const int answer = moves.empty() ? int(id::CANCEL) : moves.front();
            if (!moves.empty())
                moves.pop_front();
            move->DoCommand(answer == id::OK ? cm::Ok : cm::Cancel);
            return move->result();
        }
        if (auto* sub = dynamic_cast<WSIInvSubstituteDialog*>(&d)) {
            ++substitutions;
            sub->SetScanDelay(60000);
            Show(*sub);
            Scan(sub->Entry(), "DRUG100"); // another product type: refused
            Scan(sub->Entry(), "5");
            Scan(sub->Entry(), "GLOVE10");
            // One substitution at most: the entry is closed after it.
            if (sub->Entry()->isEnabled())
                substitutions = -100;
            sub->CommentField()->setPlainText("Gloves instead of masks");
            sub->DoCommand(cm::Cancel);
            return sub->result();
        }
        auto* fill = dynamic_cast<F*>(&d);
        if (!fill)
            return id::CANCEL;
        filled = true;
        fill->SetScanDelay(60000);
        Show(*fill);
        [&] {
            QCOMPARE(fill->List()->RowCount(), 7);
            // 4 of a product on two lines that still need 3 and 2.
            Scan(fill->Entry(), "4");
            Scan(fill->Entry(), "GAUZE10");
            QCOMPARE(fill->List()->ItemText(0, F::ColThisFill), QString("3"));
            QCOMPARE(fill->List()->ItemText(5, F::ColThisFill), QString("1"));
            QCOMPARE(fill->List()->ItemText(0, F::ColToFill), QString("0"));
            QCOMPARE(fill->List()->ItemText(5, F::ColToFill), QString("1"));
            // 6 where 4 were ordered: asked first, the line takes all 6.
            host.warnings.clear();
            Scan(fill->Entry(), "6");
            Scan(fill->Entry(), "SWAB100");
            QCOMPARE(host.warnings, std::vector<int>{F::kWarnOverFill});
            QCOMPARE(fill->List()->ItemText(1, F::ColThisFill), QString("6"));
            // Gloves for the masks, after a product of another type was refused.
            fill->List()->SelectRow(2);
            QVERIFY(fill->DoCommand(F::CmSubstituteId));
            QVERIFY(host.Said(38586));
            QCOMPARE(fill->List()->ItemText(2, F::ColThisFill), QString("5"));
            // The rest: the tape is short at the store and comes from the clinic; the
            // gown's move is cancelled; the line without a product is skipped.
            fill->List()->ClearRowSelection();
            QVERIFY(fill->DoCommand(F::CmAutoFillId));
            QCOMPARE(fill->List()->ItemText(3, F::ColThisFill), QString("4"));
            QCOMPARE(fill->List()->ItemText(4, F::ColThisFill), QString("0"));
            QCOMPARE(fill->List()->ItemText(6, F::ColThisFill), QString("0"));
            QVERIFY(host.Said(F::kMsgSkipped));
            QVERIFY(moves.empty());
            // Closing: the short lines are back-ordered (the question answered Yes).
            host.boxes.clear();
            fill->DoCommand(cm::Cancel);
            QVERIFY(host.Said(F::kWarnBackOrderShort));
        }();
        return fill->result();
    });
    QVERIFY(main.DoCommand(WSIInventoryDialog::IdFill));
    QVERIFY(filled);
    QCOMPARE(substitutions, 1);
    QCOMPARE(engine.reports.size(), std::size_t(1));
    QCOMPARE(engine.reports[0].file, std::string("InvPickList.rpt"));
    QVERIFY(!engine.reports[0].preview);
    QCOMPARE(engine.reports[0].formulas.at(0).second, "\"" + std::to_string(pickList) + "\"");

    struct Expect {
        long line;
        short status;
        short filled;
    };
    for (const Expect& e : {Expect{gauze1, St::Filled, 3}, Expect{gauze2, St::BackOrdered, 1},
                            Expect{swabLine, St::Filled, 6}, Expect{maskLine, St::Filled, 5},
                            Expect{tapeLine, St::Filled, 4}, Expect{gownLine, St::BackOrdered, 0},
                            Expect{note, St::OnPickList, 0}}) {
        QCOMPARE(Line(e.line).Status, e.status);
        QCOMPARE(Line(e.line).QtyFilled, e.filled);
    }
    QCOMPARE(QString::fromUtf8(Line(maskLine).Comment), QString("Gloves instead of masks"));
    struct Stock {
        long product;
        const char* loc;
        double balance;
    };
    for (const Stock& s :
         {Stock{gauze, "STORE", 6}, Stock{gauze, "WARD", 4}, Stock{swab, "STORE", 4},
          Stock{swab, "WARD", 6}, Stock{mask, "STORE", 10}, Stock{mask, "WARD", 0},
          Stock{glove, "STORE", 5}, Stock{glove, "WARD", 5}, Stock{drug, "STORE", 10},
          Stock{tape, "STORE", 0}, Stock{tape, "CLINIC", 2}, Stock{tape, "WARD", 4},
          Stock{gown, "STORE", 0}, Stock{gown, "CLINIC", 5}, Stock{gown, "WARD", 0}}) {
        QCOMPARE(Balance(s.product, s.loc), s.balance);
    }
    QVERIFY(StockConsistent());
}

// --- Refusals ------------------------------------------------------------------------------

void FillScreensTest::Fill_RefusalsLeaveDatabaseAndRows_data() {
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("overFillAnswer");
    QTest::addColumn<bool>("clearPickList");
    QTest::addColumn<unsigned>("message");
    QTest::newRow("not on the pick list") << "1"
                                          << "OTHER10" << int(id::OK) << false << 38540u;
    QTest::newRow("over-filling declined") << "9"
                                           << "GAUZE10" << int(id::CANCEL) << false << 0u;
    // 2 go to the first line, the rest to the last line, whose quantity of 0 refuses it:
    // the first line's fill is undone with it.
    QTest::newRow("refused half way") << "3"
                                      << "GAUZE10" << int(id::OK) << false << 38543u;
    QTest::newRow("pick list cleared elsewhere")
        << "1"
        << "GAUZE10" << int(id::OK) << true << F::kMsgPickListCleared;
}

void FillScreensTest::Fill_RefusalsLeaveDatabaseAndRows() {
    QFETCH(QString, quantity);
    QFETCH(QString, code);
    QFETCH(int, overFillAnswer);
    QFETCH(bool, clearPickList);
    QFETCH(unsigned, message);
    const long gauze = Product("GAUZE10", 10);
    Product("OTHER10", 10);
    const long order = data->AddOrder(false, "WARD", "STORE");
    const long first = data->AddOrdIt(order, gauze, 2, St::Ordered);
    const long empty =
        data->AddOrdIt(data->AddOrder(false, "WARD", "STORE"), gauze, 0, St::Ordered);
    const long pickList = PickList({first, empty});
    auto screen = OpenFill(pickList);
    QCOMPARE(screen->List()->RowCount(), 2);
    if (clearPickList)
        BIInvPickList(data->db.get()).ClearBatch(pickList);
    host.warnAnswers = {overFillAnswer};
    const int errorsBefore = host.Count(SoundKind::Error);

    Scan(screen->Entry(), quantity);
    Scan(screen->Entry(), code);
    QApplication::processEvents();

    if (message != 0)
        QVERIFY2(host.Said(message), qPrintable(QString::number(message)));
    QCOMPARE(host.Count(SoundKind::Error), errorsBefore + 1);
    QCOMPARE(Line(first).QtyFilled, short(0));
    QCOMPARE(Line(empty).QtyFilled, short(0));
    QCOMPARE(Balance(gauze, "STORE"), 10.0);
    QCOMPARE(Balance(gauze, "WARD"), 0.0);
    QCOMPARE(Column(*screen, F::ColThisFill), (QStringList{"0", "0"}));
    QCOMPARE(Column(*screen, F::ColToFill), (QStringList{"2", "0"}));
    QVERIFY(screen->IsNewBatch());
    QVERIFY(StockConsistent());
}

// --- Modify and closing ----------------------------------------------------------------------

void FillScreensTest::Fill_ModifyTakesBackAndCloseBackOrdersOnlyEarlierBackOrders() {
    const long gauze = Product("GAUZE10", 10);
    const long swab = Product("SWAB100", 10);
    const long order = data->AddOrder(false, "WARD", "STORE");
    const long gauzeLine = data->AddOrdIt(order, gauze, 5, St::Ordered);
    data->Exec("UPDATE INVORDIT SET \"WasBackOrdered\" = 1 WHERE \"InvOrdIt\" = " +
               std::to_string(gauzeLine));
    const long swabLine = data->AddOrdIt(order, swab, 3, St::Ordered);
    auto screen = OpenFill(PickList({gauzeLine, swabLine}));

    Scan(screen->Entry(), "3");
    Scan(screen->Entry(), "SWAB100");
    QCOMPARE(Balance(swab, "WARD"), 3.0);
    // A new, smaller total for the line gives the difference back to the store.
    screen->List()->SelectRow(1);
    Scan(screen->Entry(), "1");
    QCOMPARE(screen->List()->ItemText(1, F::ColThisFill), QString("1"));
    QCOMPARE(screen->List()->ItemText(1, F::ColToFill), QString("2"));
    QCOMPARE(Line(swabLine).QtyFilled, short(1));
    QCOMPARE(Balance(swab, "STORE"), 9.0);
    QCOMPARE(Balance(swab, "WARD"), 1.0);

    // Asked once; No still back-orders the line that was on back order before.
    host.boxes.clear();
    host.boxAnswers = {id::NO};
    screen->DoCommand(cm::Cancel);
    int asked = 0;
    const std::string question(host.strings.Get(F::kWarnBackOrderShort));
    for (const ScreensHost::Box& b : host.boxes)
        asked += b.text == question;
    QCOMPARE(asked, 1);
    QCOMPARE(Line(gauzeLine).Status, short(St::BackOrdered));
    QCOMPARE(Line(swabLine).Status, short(St::PartiallyFilled));
    QCOMPARE(screen->result(), int(id::CANCEL));
    QVERIFY(StockConsistent());
}

// --- Fill selection and discrepancy ------------------------------------------------------------

void FillScreensTest::FillSelect_WithoutPickListsAndWithoutChoice() {
    host.profile = std::make_unique<WSIProfile>();
    host.profile->WriteString("Inventory", "Location", "STORE");
    {
        WSIInvFillSelectDlg none(nullptr, &host);
        QVERIFY(!none.UsePickList());
        auto* fromPickList = none.findChild<QRadioButton*>("fromPickList");
        auto* fromOrders = none.findChild<QRadioButton*>("fromOrders");
        QVERIFY(fromPickList && fromOrders);
        QVERIFY(!fromPickList->isEnabled());
        QVERIFY(fromOrders->isChecked());
        QCOMPARE(none.GetFilledBy(), std::string("STORE"));
        none.DoCommand(cm::Ok);
        QCOMPARE(none.result(), int(id::OK));
    }
    const long p = Product("GAUZE10", 10);
    const long first = PickList({data->AddOrdIt(data->AddOrder(false), p, 1, St::Ordered)});
    const long second =
        PickList({data->AddOrdIt(data->AddOrder(false, "CLINIC", "STORE"), p, 1, St::Ordered)});
    WSIInvFillSelectDlg select(nullptr, &host);
    QCOMPARE(select.List()->RowCount(), 2);
    QCOMPARE(select.GetPickList(), first);
    select.List()->ClearRowSelection();
    select.DoCommand(cm::Ok);
    QVERIFY(host.Showed(WSIInvFillSelectDlg::kMsgChoosePickList));
    QVERIFY(select.result() != id::OK);
    select.List()->SelectRow(1);
    QCOMPARE(select.GetPickList(), second);
    QCOMPARE(select.GetOrderedBy(), std::string("CLINIC"));
    // The orders choice forgets the pick list and cannot print.
    auto* fromOrders = select.findChild<QRadioButton*>("fromOrders");
    QVERIFY(fromOrders);
    fromOrders->setChecked(true);
    QCOMPARE(select.GetPickList(), 0L);
    QVERIFY(!select.IsCommandEnabled(WSIInvFillSelectDlg::CmPrintId));
    select.DoCommand(cm::Ok);
    QCOMPARE(select.result(), int(id::OK));
}

void FillScreensTest::Discrepancy_MovesAtMostWhatIsThereAndCancelMovesNothing() {
    const long p = Product("GAUZE10", 10);
    Stock(p, "CLINIC", 5);
    {
        WSIInvDiscrepencyDialog cancelled(nullptr, &host, "STORE", "CLINIC", p, 5);
        cancelled.DoCommand(cm::Cancel);
        QCOMPARE(host.sounds, std::vector<SoundKind>{SoundKind::Error});
    }
    QCOMPARE(Balance(p, "CLINIC"), 5.0);
    QCOMPARE(Balance(p, "STORE"), 10.0);
    {
        // One more than the clinic holds: refused, the screen stays for Cancel.
        WSIInvDiscrepencyDialog tooMuch(nullptr, &host, "STORE", "CLINIC", p, 6);
        tooMuch.DoCommand(cm::Ok);
        QVERIFY(host.Said(38561));
        QVERIFY(tooMuch.result() != id::OK);
    }
    QCOMPARE(Balance(p, "CLINIC"), 5.0);
    // The whole balance there moves: the limit of what the other location holds.
    WSIInvDiscrepencyDialog move(nullptr, &host, "STORE", "CLINIC", p, 5);
    move.DoCommand(cm::Ok);
    QCOMPARE(move.result(), int(id::OK));
    QCOMPARE(host.sounds.back(), SoundKind::Success);
    QCOMPARE(Balance(p, "CLINIC"), 0.0);
    QCOMPARE(Balance(p, "STORE"), 15.0);
    QVERIFY(StockConsistent());
}

// --- Substitution on its own ---------------------------------------------------------------

void FillScreensTest::Substitute_ClosingWithoutScanAndUntouchedQuantity_data() {
    QTest::addColumn<QString>("scan");
    QTest::addColumn<short>("filled");
    QTest::newRow("closed without a scan") << QString() << short(0);
    QTest::newRow("quantity left at 1") << QString("GLOVE10") << short(1);
}

void FillScreensTest::Substitute_ClosingWithoutScanAndUntouchedQuantity() {
    QFETCH(QString, scan);
    QFETCH(short, filled);
    const long mask = Product("MASK100", 10);
    const long glove = Product("GLOVE10", 10);
    const long line = data->AddOrdIt(data->AddOrder(false), mask, 4, St::Ordered);
    BIInvFill fill(data->db.get());
    fill.SetPickList(PickList({line}));
    {
        // The fill screen's first entry: the substitution opens the batch, store first.
        WSIInvSubstituteDialog sub(nullptr, &host, "WARD", "STORE", line, &fill, true);
        sub.SetScanDelay(60000);
        Show(sub);
        if (!scan.isEmpty())
            Scan(sub.Entry(), scan);
        QCOMPARE(sub.Entry()->isEnabled(), scan.isEmpty());
        sub.CommentField()->setPlainText("Ask again on Monday");
        sub.DoCommand(cm::Cancel);
        QCOMPARE(sub.GetSuccess(), !scan.isEmpty());
        QCOMPARE(sub.GetQuantity(), short(1));
    }
    QCOMPARE(Line(line).QtyFilled, filled);
    QCOMPARE(QString::fromUtf8(Line(line).Comment), QString("Ask again on Monday"));
    QCOMPARE(Balance(glove, "WARD"), double(filled));
    QCOMPARE(Balance(glove, "STORE"), 10.0 - filled);
    QVERIFY(StockConsistent());
}

// --- From the orders selected on the main screen ---------------------------------------------

void FillScreensTest::Fill_FromSelectedOrdersOnATemporaryList() {
    host.profile = std::make_unique<WSIProfile>();
    const long gauze = Product("GAUZE10", 10);
    const long mask = Product("MASK100", 10);
    const long order = data->AddOrder(false, "WARD", "STORE");
    const long gauzeLine = data->AddOrdIt(order, gauze, 2, St::Ordered);
    const long maskLine = data->AddOrdIt(order, mask, 3, St::Ordered);
    WSIInventoryDialog main(nullptr, &host);
    main.SelectTab(WSIInventoryDialog::TabPending);
    QVERIFY(main.DoCommand(WSIInventoryDialog::IdSearch));
    auto* pending =
        static_cast<WSIInvPendingOrdersDialog*>(main.ListView(WSIInventoryDialog::TabPending));
    for (int row = 0; row < pending->List()->RowCount(); ++row)
        pending->List()->SelectRow(row, true);

    long listDuringFill = -1;
    int rowsAfterCancel = -1;
    auto script = Script([&](WSIDialog& d) -> int {
        if (auto* select = dynamic_cast<WSIInvFillSelectDlg*>(&d)) {
            select->DoCommand(cm::Ok); // no pick list open: the orders
            return select->UsePickList() ? int(id::CANCEL) : select->result();
        }
        if (auto* fill = dynamic_cast<F*>(&d)) {
            listDuringFill = fill->PickList();
            fill->SetScanDelay(60000);
            Show(*fill);
            Scan(fill->Entry(), "GAUZE10");
            // The line taken off the fill: cancelled, and gone from the list.
            for (int row = 0; row < fill->List()->RowCount(); ++row)
                if (fill->List()->ItemText(row, F::ColProductCode) == "MASK100")
                    fill->List()->SelectRow(row);
            fill->DoCommand(F::CmCancelItemId);
            rowsAfterCancel = fill->List()->RowCount();
            host.boxAnswers = {id::NO};
            fill->DoCommand(cm::Cancel);
            return fill->result();
        }
        return int(id::CANCEL);
    });
    QVERIFY(main.DoCommand(WSIInventoryDialog::IdFill));
    QVERIFY(listDuringFill > 0);
    QCOMPARE(rowsAfterCancel, 1);
    // Taken straight into the fill, the lines keep their status and leave the list after.
    QCOMPARE(Line(gauzeLine).QtyFilled, short(1));
    QCOMPARE(Line(gauzeLine).Status, short(St::PartiallyFilled));
    QCOMPARE(Line(gauzeLine).PickList, 0L);
    QCOMPARE(Line(maskLine).Status, short(St::Cancelled));
    QCOMPARE(Balance(gauze, "WARD"), 1.0);
    QVERIFY(StockConsistent());
}

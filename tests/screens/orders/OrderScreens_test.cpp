#include "OrderScreens_test.h"

#include "BIInvOrder.h"
#include "OrderSuggestions.h"
#include "RecordingReportEngine.h"
#include "WSIComboBox.h"
#include "WSIInvOrderDialog.h"
#include "WSIInvOrderLineDetails.h"
#include "WSIInvPendingOrdersDialog.h"
#include "WSIInvStockViews.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"
#include "WSIProductDialog.h"
#include "WSIProductLocationsDialog.h"
#include "WSIScanEdit.h"
#include "WSISelectProductLocationDialog.h"
#include "WSIVendorDialog.h"
#include "WSIVendorRequestsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using namespace tavel::OrdItStatus;
using Dlg = WSIInvOrderDialog;

// The lines of an order as the business layer reads them, in line order.
std::vector<WSIOrderLineRow> Lines(WSIDatabase* db, long invOrder) {
    std::vector<WSIOrderLineRow> rows;
    BIInvOrder order(db);
    if (!order.FindOrder(invOrder))
        return rows;
    while (WSITable* cursor = order.GetNextOrderRow())
        rows.push_back(static_cast<WSIOrderLineCursor*>(cursor)->Row());
    return rows;
}

const WSIOrderLineRow* LineOf(const std::vector<WSIOrderLineRow>& lines, long product) {
    for (const WSIOrderLineRow& l : lines)
        if (l.Product == product)
            return &l;
    return nullptr;
}

template <class T> T* Field(WSIDialog& screen, int id) {
    T* w = screen.Control<T>(id);
    if (!w)
        qFatal("control %d missing", id);
    return w;
}

// A product code and quantity as staff type them: code, Enter, quantity, Enter.
void TypeLine(Dlg& screen, const char* code, const char* quantity) {
    auto* product = Field<WSIScanEdit>(screen, Dlg::IdProduct);
    auto* qty = Field<QLineEdit>(screen, Dlg::IdQuantity);
    product->selectAll();
    QTest::keyClicks(product, QString::fromLatin1(code));
    QTest::keyClick(product, Qt::Key_Return);
    qty->selectAll();
    QTest::keyClicks(qty, QString::fromLatin1(quantity));
    QTest::keyClick(qty, Qt::Key_Return);
}

void ChooseExternal(Dlg& screen, long vendor, const char* po, const char* orderedBy = "WARD") {
    auto* type = Field<WSIComboBox>(screen, Dlg::IdOrderType);
    type->setCurrentIndex(type->FindValue(1));
    Field<WSIComboBox>(screen, Dlg::IdVendor)->SelectValue(vendor);
    auto* poField = Field<QLineEdit>(screen, Dlg::IdPONumber);
    poField->clear();
    QTest::keyClicks(poField, QString::fromLatin1(po));
    auto* by = Field<WSIComboBox>(screen, Dlg::IdOrderedBy);
    by->setCurrentIndex(by->findText(QString::fromLatin1(orderedBy)));
}

// Runs act on the modal screen of type T that the next call opens (polling until it is
// up), then closes it if act left it open.
template <class T> void OnModal(std::function<void(T&)> act, bool* ran) {
    *ran = false;
    // The pending timer owns the poll; the poll knows itself only weakly, so that the last
    // timer frees it.
    auto poll = std::make_shared<std::function<void(int)>>();
    std::weak_ptr<std::function<void(int)>> self = poll;
    *poll = [act, ran, self](int triesLeft) {
        auto* screen = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!screen) {
            if (auto next = self.lock(); next && triesLeft > 0)
                QTimer::singleShot(10, [next, triesLeft] { (*next)(triesLeft - 1); });
            return;
        }
        *ran = true;
        act(*screen);
        if (screen->isVisible())
            screen->CloseWindow(id::CANCEL);
    };
    QTimer::singleShot(0, [poll] { (*poll)(300); });
}

// Whether a box told the staff the text of code (a business refusal may add a hint after it).
bool Told(const ScreensHost& host, unsigned code) {
    const QString text = host.LoadStringText(code);
    for (const ScreensHost::Box& b : host.boxes)
        if (!text.isEmpty() && QString::fromStdString(b.text).startsWith(text))
            return true;
    return false;
}

int RowOf(WSIListWindow* list, int column, const QString& text) {
    for (int row = 0; row < list->RowCount(); ++row)
        if (list->ItemText(row, column) == text)
            return row;
    return -1;
}

} // namespace

void OrderScreensTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
}

void OrderScreensTest::cleanup() {
    data->Close();
    data.reset();
}

void OrderScreensTest::Suggestion_FollowsStockReorderPointAndOrders_data() {
    QTest::addColumn<short>("track");
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("lastCount");
    QTest::addColumn<short>("reorder");
    QTest::addColumn<double>("orders");
    QTest::addColumn<double>("onOrder");
    QTest::addColumn<short>("std");
    QTest::addColumn<short>("minToOrder");
    QTest::addColumn<bool>("fromLevels");
    QTest::addColumn<short>("onHand");
    QTest::addColumn<double>("suggest");
    // on hand 3, should have 10 + 2 - 3 - 4 = 5
    QTest::newRow("short, standard above") << short(1) << 3.7 << 0.0 << short(10) << 2.0 << 4.0
                                           << short(6) << short(0) << false << short(3) << 6.0;
    QTest::newRow("short, standard below") << short(1) << 3.7 << 0.0 << short(10) << 2.0 << 4.0
                                           << short(2) << short(0) << false << short(3) << 5.0;
    QTest::newRow("minimum to order ignored") << short(1) << 3.7 << 0.0 << short(10) << 2.0 << 4.0
                                              << short(2) << short(40) << false << short(3) << 5.0;
    QTest::newRow("untracked uses last count") << short(0) << 50.0 << 3.0 << short(10) << 0.0 << 0.0
                                               << short(0) << short(0) << false << short(3) << 7.0;
    QTest::newRow("at reorder point, list") << short(1) << 10.0 << 0.0 << short(10) << 0.0 << 0.0
                                            << short(4) << short(0) << false << short(10) << 0.0;
    QTest::newRow("at reorder point, levels") << short(1) << 10.0 << 0.0 << short(10) << 0.0 << 0.0
                                              << short(4) << short(0) << true << short(10) << 4.0;
    QTest::newRow("above, levels, no standard")
        << short(1) << 25.0 << 0.0 << short(10) << 0.0 << 0.0 << short(0) << short(0) << true
        << short(25) << 1.0;
    QTest::newRow("one short of reorder point") << short(1) << 9.9 << 0.0 << short(10) << 0.0 << 0.0
                                                << short(0) << short(0) << false << short(9) << 1.0;
}

void OrderScreensTest::Suggestion_FollowsStockReorderPointAndOrders() {
    QFETCH(short, track);
    QFETCH(double, balance);
    QFETCH(double, lastCount);
    QFETCH(short, reorder);
    QFETCH(double, orders);
    QFETCH(double, onOrder);
    QFETCH(short, std);
    QFETCH(short, minToOrder);
    QFETCH(bool, fromLevels);
    QFETCH(short, onHand);
    QFETCH(double, suggest);
    WSIVendorRequestsData r{};
    r.TrackUsage = track;
    r.Balance = balance;
    r.LastCount = lastCount;
    r.ReorderCount = reorder;
    r.MinCount = 2;
    r.Orders = orders;
    r.OnOrder = onOrder;
    r.StdToOrder = std;
    r.MinToOrder = minToOrder;
    QCOMPARE(tavel::orders::ComputeSuggestion(r, fromLevels), onHand);
    QCOMPARE(r.Suggest, suggest);
    QCOMPARE(r.Need, 2 + orders - onHand);
    QCOMPARE(r.ShouldHave, reorder + orders - onHand - onOrder);
}

void OrderScreensTest::ExternalOrderEnteredChangedApprovedPurchasedPrinted() {
    WSIDatabase* db = data->db.get();
    const long glove = data->AddProduct("GLOVE");
    const long mask = data->AddProduct("MASK");
    RecordingReportEngine engine;
    data->host.engine = &engine;
    data->host.mayApprove = false;

    Dlg entry(nullptr, &data->host, Dlg::kNewOrderTemplate, 0, false);
    entry.show();
    ChooseExternal(entry, data->vendor, "PO-77");
    QVERIFY(!entry.IsCommandEnabled(Dlg::IdPrint)); // nothing stored yet
    TypeLine(entry, "GLOVE", "4");
    const long order = entry.GetInvOrder();
    QVERIFY(order > 0);
    QCOMPARE(Field<QLineEdit>(entry, Dlg::IdOrderNumber)->text(), QString::number(order));
    TypeLine(entry, "MASK", "2");
    std::vector<WSIOrderLineRow> lines = Lines(db, order);
    QCOMPARE(lines.size(), std::size_t(2));
    QCOMPARE(lines[0].Product, glove);
    QCOMPARE(lines[0].Quantity, short(4));
    QCOMPARE(lines[0].Status, short(Ordered)); // lines of vendor orders start ordered
    QCOMPARE(lines[1].Product, mask);
    QCOMPARE(entry.List()->RowCount(), 2);
    QVERIFY(Field<QLabel>(entry, Dlg::IdTotals)->text().contains(QStringLiteral("15.00")));
    {
        BIInvOrder check(db);
        QVERIFY(check.FindOrder(order));
        QVERIFY(check.GetIsExternal());
        QCOMPARE(QString::fromUtf8(check.GetOrderData()->PONumber), QStringLiteral("PO-77"));
        QCOMPARE(check.GetOrderData()->Vendor, data->vendor);
    }

    // Changed in place: the selected line takes the new quantity.
    entry.List()->SelectRow(0);
    QCOMPARE(Field<QLineEdit>(entry, Dlg::IdQuantity)->text(), QStringLiteral("4"));
    auto* qty = Field<QLineEdit>(entry, Dlg::IdQuantity);
    qty->selectAll();
    QTest::keyClicks(qty, QStringLiteral("6"));
    QTest::keyClick(qty, Qt::Key_Return);
    lines = Lines(db, order);
    QCOMPARE(lines.size(), std::size_t(2));
    QCOMPARE(lines[0].Quantity, short(6));

    // Delete asks first; No keeps the line.
    entry.List()->SelectRow(1);
    data->host.boxAnswers = {id::NO};
    QTest::keyClick(entry.List(), Qt::Key_Delete);
    QCOMPARE(Lines(db, order).size(), std::size_t(2));
    data->host.boxAnswers = {id::YES};
    entry.List()->SelectRow(1);
    QTest::keyClick(entry.List(), Qt::Key_Delete);
    QCOMPARE(Lines(db, order).size(), std::size_t(1));
    QCOMPARE(entry.List()->RowCount(), 1);

    // Another code typed over the selected line's, stored without Enter: the new product.
    entry.List()->SelectRow(0);
    auto* productField = Field<WSIScanEdit>(entry, Dlg::IdProduct);
    productField->StopAutoEntry();
    productField->selectAll();
    QTest::keyClicks(productField, QStringLiteral("MASK"));
    productField->StopAutoEntry();
    QVERIFY(entry.DoCommand(Dlg::IdStoreLine));
    QCOMPARE(Lines(db, order).at(0).Product, mask);
    QCOMPARE(Lines(db, order).at(0).Quantity, short(6));

    // Approval needs the right; without it the command does nothing.
    QVERIFY(!entry.DoCommand(Dlg::IdApprove));
    entry.DoCommand(Dlg::IdClose);
    QVERIFY(entry.isHidden());

    data->host.mayApprove = true;
    Dlg edit(nullptr, &data->host, Dlg::kExistingOrderTemplate, order, false);
    edit.show();
    QCOMPARE(Field<QLineEdit>(edit, Dlg::IdPONumber)->text(), QStringLiteral("PO-77"));
    data->host.approvalDenied = true; // an approver barred from this creator's orders
    QVERIFY(edit.DoCommand(Dlg::IdApprove));
    {
        BIInvOrder check(db);
        check.FindOrder(order);
        QCOMPARE(check.GetOrderData()->ApprovalUser, 0L);
    }
    data->host.approvalDenied = false;
    edit.DoCommand(Dlg::IdApprove);
    {
        BIInvOrder check(db);
        check.FindOrder(order);
        QCOMPARE(check.GetOrderData()->ApprovalUser, data->user);
    }
    QCOMPARE(Field<QLineEdit>(edit, Dlg::IdApprovedBy)->text(), QStringLiteral("Tester, Tess"));

    // Purchase needs a vendor and a PO number, before anything is stored.
    auto* vendor = Field<WSIComboBox>(edit, Dlg::IdVendor);
    vendor->setCurrentIndex(0);
    edit.DoCommand(Dlg::IdPurchase);
    QVERIFY(Told(data->host, 38222));
    QCOMPARE(edit.focusWidget(), static_cast<QWidget*>(vendor));
    QCOMPARE(Lines(db, order)[0].Status, short(Ordered));
    vendor->SelectValue(data->vendor);
    auto* po = Field<QLineEdit>(edit, Dlg::IdPONumber);
    po->clear();
    edit.DoCommand(Dlg::IdPurchase);
    QVERIFY(Told(data->host, 38218));
    QCOMPARE(edit.focusWidget(), static_cast<QWidget*>(po));
    QCOMPARE(Lines(db, order)[0].Status, short(Ordered));
    QTest::keyClicks(po, QStringLiteral("PO-78"));
    edit.DoCommand(Dlg::IdPurchase);
    QCOMPARE(Lines(db, order)[0].Status, short(Purchased));
    {
        BIInvOrder check(db);
        check.FindOrder(order);
        QCOMPARE(QString::fromUtf8(check.GetOrderData()->PONumber), QStringLiteral("PO-78"));
    }

    // Printed and previewed through the order report with the order's id.
    edit.DoCommand(Dlg::IdPrint);
    edit.DoCommand(Dlg::IdPreview);
    QCOMPARE(engine.reports.size(), std::size_t(2));
    QCOMPARE(engine.reports[0].file, std::string("InvOrder.rpt"));
    QVERIFY(!engine.reports[0].preview);
    QVERIFY(engine.reports[1].preview);
    QCOMPARE(engine.reports[0].formulas.at(0).second, "\"" + std::to_string(order) + "\"");

    // The main screen heard of every change, under the template that made it.
    const auto heard = [&](int source) {
        return std::count(data->host.updates.begin(), data->host.updates.end(),
                          std::pair<int, long>(source, order));
    };
    QVERIFY(heard(Dlg::kNewOrderTemplate) >= 4);
    QVERIFY(heard(Dlg::kExistingOrderTemplate) >= 2);
}

void OrderScreensTest::RefusalsLeaveDatabaseAndFocusTheField() {
    WSIDatabase* db = data->db.get();
    const long glove = data->AddProduct("GLOVE");
    const long mask = data->AddProduct("MASK");
    data->AddPrdLoc(glove, "STORE", 50);
    data->AddPrdLoc(glove, "WARD", 0);
    data->Exec("UPDATE PRDLOC SET \"MaxCount\" = 10 WHERE \"InvLoc\" = 'WARD'");
    const long used = data->AddOrder(true);
    data->Exec("UPDATE INVORDER SET \"PONumber\" = 'DUP' WHERE \"InvOrder\" = " +
               std::to_string(used));
    const auto orderCount = [db] {
        long n = 0;
        auto q = db->Query(__FILE__, __LINE__, "SELECT COUNT(1) FROM INVORDER", &n);
        return q->GetFirst() ? n : -1L;
    };
    const long before = orderCount();

    struct Case {
        const char* name;
        bool external;
        const char* po;
        bool special;
        const char* code;
        const char* quantity;
        unsigned message;
        int focus;
        bool productEmptied;
    };
    const Case cases[] = {
        {"PO number used this year", true, "DUP", false, "GLOVE", "1", 38143, Dlg::IdPONumber,
         false},
        {"above the maximum count", false, "", false, "GLOVE", "11", 38224, Dlg::IdQuantity, false},
        {"not offered where ordered from", false, "", false, "MASK", "1", 38163, Dlg::IdProduct,
         true},
        {"special item without description", false, "", true, "", "1", 38149, Dlg::IdComment,
         false},
        {"unknown product code", false, "", false, "NOPE", "1", 39900, Dlg::IdProduct, false},
    };
    for (const Case& c : cases) {
        data->host.boxes.clear();
        Dlg entry(nullptr, &data->host, Dlg::kNewOrderTemplate, 0, false);
        entry.show();
        if (c.external)
            ChooseExternal(entry, data->vendor, c.po);
        else
            Field<WSIComboBox>(entry, Dlg::IdOrderedBy)
                ->setCurrentIndex(
                    Field<WSIComboBox>(entry, Dlg::IdOrderedBy)->findText(QStringLiteral("WARD")));
        Field<QCheckBox>(entry, Dlg::IdSpecialOrder)->setChecked(c.special);
        TypeLine(entry, c.code, c.quantity);
        QVERIFY2(Told(data->host, c.message), c.name);
        QVERIFY2(entry.focusWidget() == entry.ControlWidget(c.focus), c.name);
        QCOMPARE(Field<WSIScanEdit>(entry, Dlg::IdProduct)->text().isEmpty(),
                 c.productEmptied || c.code[0] == '\0');
        QVERIFY2(entry.GetInvOrder() == 0, c.name);
        QVERIFY2(orderCount() == before, c.name);
    }

    // At the maximum itself the line is stored; the same product again is refused and
    // the code stays for correcting.
    Dlg entry(nullptr, &data->host, Dlg::kNewOrderTemplate, 0, false);
    entry.show();
    auto* by = Field<WSIComboBox>(entry, Dlg::IdOrderedBy);
    by->setCurrentIndex(by->findText(QStringLiteral("WARD")));
    TypeLine(entry, "GLOVE", "10");
    const long order = entry.GetInvOrder();
    QVERIFY(order > 0);
    QCOMPARE(Lines(db, order).at(0).Quantity, short(10));
    QCOMPARE(Lines(db, order).at(0).Status, short(Requested)); // internal lines start requested
    TypeLine(entry, "GLOVE", "2");
    QVERIFY(Told(data->host, 38147));
    QCOMPARE(entry.focusWidget(), entry.ControlWidget(Dlg::IdProduct));
    QCOMPARE(Field<WSIScanEdit>(entry, Dlg::IdProduct)->text(), QStringLiteral("GLOVE"));
    QCOMPARE(Lines(db, order).size(), std::size_t(1));

    // A line another workstation removed meanwhile: its message, nothing written.
    entry.List()->SelectRow(0);
    data->Exec("DELETE FROM INVORDIT WHERE \"InvOrder\" = " + std::to_string(order));
    data->host.boxes.clear();
    auto* qty = Field<QLineEdit>(entry, Dlg::IdQuantity);
    qty->selectAll();
    QTest::keyClicks(qty, QStringLiteral("3"));
    QTest::keyClick(qty, Qt::Key_Return);
    QVERIFY(Told(data->host, 5005));
    QVERIFY(Lines(db, order).empty());
    (void)mask;
}

void OrderScreensTest::ApprovedSpecialOrderIsLockedWithoutTheRight() {
    data->host.mayApprove = false;
    const long approvedSpecial = data->AddOrder(false); // the fixture's orders are approved
    const long approvedPlain = data->AddOrder(false);
    const long unapprovedSpecial = data->AddOrder(false);
    data->Exec("UPDATE INVORDER SET \"SpecialOrder\" = 1 WHERE \"InvOrder\" IN (" +
               std::to_string(approvedSpecial) + ", " + std::to_string(unapprovedSpecial) + ")");
    data->Exec("UPDATE INVORDER SET \"ApprovalUser\" = 0 WHERE \"InvOrder\" = " +
               std::to_string(unapprovedSpecial));
    struct Case {
        long order;
        bool editAnyway;
        bool mayApprove;
        bool editable;
    };
    for (const Case& c :
         {Case{approvedSpecial, false, false, false}, Case{approvedSpecial, true, false, true},
          Case{approvedSpecial, false, true, true}, Case{approvedPlain, false, false, true},
          Case{unapprovedSpecial, false, false, true}}) {
        data->host.mayApprove = c.mayApprove;
        Dlg entry(nullptr, &data->host, Dlg::kExistingOrderTemplate, c.order, c.editAnyway);
        QCOMPARE(entry.CanEdit(), c.editable);
        QCOMPARE(entry.IsCommandEnabled(Dlg::IdStoreLine), c.editable);
        QCOMPARE(entry.ControlWidget(Dlg::IdProduct)->isEnabled(), c.editable);
        QCOMPARE(entry.ControlWidget(Dlg::IdPONumber)->isEnabled(), c.editable);
        QVERIFY(entry.IsCommandEnabled(Dlg::IdPrint)); // reading is never locked
    }
}

void OrderScreensTest::LevelRowsBecomeAnInternalOrderWithSuggestedQuantities() {
    data->host.profile = std::make_unique<WSIProfile>();
    data->host.profile->WriteString("Inventory", "Location", "WARD");
    const long glove = data->AddProduct("GLOVE");
    const long mask = data->AddProduct("MASK");
    const long gown = data->AddProduct("GOWN");
    for (long p : {glove, mask, gown})
        data->AddPrdLoc(p, "STORE", 100);
    data->AddPrdLoc(glove, "WARD", 3.7);
    data->AddPrdLoc(mask, "WARD", 3.7);
    data->AddPrdLoc(gown, "WARD", 0, 0, 0, 12); // counted, not tracked
    data->Exec("UPDATE PRDLOC SET \"ReorderCount\" = 10 WHERE \"InvLoc\" = 'WARD'");
    data->Exec("UPDATE PRDLOC SET \"StdToOrder\" = 6 WHERE \"InvLoc\" = 'WARD' AND \"Product\" = " +
               std::to_string(glove));
    data->Exec("UPDATE PRDLOC SET \"StdToOrder\" = 2, \"MinToOrder\" = 8 WHERE \"InvLoc\" = 'WARD' "
               "AND \"Product\" = " +
               std::to_string(mask));
    // The clinic asks 2 of each from the ward; the ward waits for 4 of each itself.
    const long asked = data->AddOrder(false, "CLINIC", "WARD");
    data->AddOrdIt(asked, glove, 2, Ordered);
    data->AddOrdIt(asked, mask, 2, Ordered);
    const long waiting = data->AddOrder(false, "WARD", "STORE");
    data->AddOrdIt(waiting, glove, 5, PartiallyFilled, 1);
    data->AddOrdIt(waiting, mask, 4, Requested);
    // Hand calculation (on hand, should have = reorder + orders - on hand - on order):
    //   GLOVE 3, 10 + 2 - 3 - 4 = 5, standard 6 -> 6
    //   MASK  3, 5, standard 2 -> 5 (its minimum to order, 8, takes no part)
    //   GOWN  12 counted, 10 - 12 < 0, chosen anyway -> standard 0 -> 1

    WSIInventoryDialog screen(nullptr, &data->host);
    // The pending list shows every location's lines; the levels list the ward's.
    auto* location = screen.Control<WSIComboBox>(WSIInventoryDialog::IdLocation);
    location->setCurrentIndex(0);
    screen.DoCommand(WSIInventoryDialog::IdSearch);
    location->setCurrentIndex(location->findText(QStringLiteral("WARD")));
    screen.SelectTab(WSIInventoryDialog::TabLevels);
    screen.Control<QCheckBox>(WSIInventoryDialog::IdShowOrderQuantities)->setChecked(true);
    screen.DoCommand(WSIInventoryDialog::IdSearch);
    auto* levels = static_cast<WSIInvLevelsDialog*>(screen.ListView(WSIInventoryDialog::TabLevels));
    levels->CompleteFill();
    for (int row = 0; row < levels->List()->RowCount(); ++row)
        if (QString::fromUtf8(levels->RowRecord(row)->InvLoc).trimmed() == QStringLiteral("WARD"))
            levels->List()->SelectRow(row, true);
    QCOMPARE(levels->List()->SelectedCount(), 3);

    long order = 0;
    int shownLines = 0;
    bool ran = false;
    OnModal<Dlg>(
        [&](Dlg& entry) {
            order = entry.GetInvOrder();
            shownLines = entry.List()->RowCount();
            entry.DoCommand(Dlg::IdClose);
        },
        &ran);
    QVERIFY(levels->RunMenuCommand(WSIInvLevelsDialog::CmAddOrderId));
    QVERIFY(ran);
    QVERIFY(order > 0);
    QCOMPARE(shownLines, 3);
    const std::vector<WSIOrderLineRow> lines = Lines(data->db.get(), order);
    QCOMPARE(lines.size(), std::size_t(3));
    QCOMPARE(LineOf(lines, glove)->Quantity, short(6));
    QCOMPARE(LineOf(lines, mask)->Quantity, short(5));
    QCOMPARE(LineOf(lines, gown)->Quantity, short(1));
    for (const WSIOrderLineRow& l : lines)
        QCOMPARE(l.Status, short(Requested));
    BIInvOrder check(data->db.get());
    QVERIFY(check.FindOrder(order));
    QVERIFY(!check.GetIsExternal());
    QCOMPARE(QString::fromUtf8(check.GetOrderData()->InvLoc), QStringLiteral("WARD"));
    QCOMPARE(QString::fromUtf8(check.GetOrderData()->InvLocFrom), QStringLiteral("STORE"));
    // The new order's lines join the pending list without a new search.
    auto* pending =
        static_cast<WSIInvPendingOrdersDialog*>(screen.ListView(WSIInventoryDialog::TabPending));
    int rowsOfOrder = 0;
    for (int row = 0; row < pending->List()->RowCount(); ++row)
        rowsOfOrder += pending->RowRecord(row)->InvOrder == order;
    QCOMPARE(rowsOfOrder, 3);
}

void OrderScreensTest::VendorRequestsAddChosenProductsAndReportFailuresTogether() {
    const long glove = data->AddProduct("GLOVE");
    const long mask = data->AddProduct("MASK");
    data->AddProduct("GOWN"); // no row at the ward
    data->AddPrdLoc(glove, "WARD", 2);
    data->AddPrdLoc(mask, "WARD", 20);
    data->Exec("UPDATE PRDLOC SET \"ReorderCount\" = 10 WHERE \"InvLoc\" = 'WARD'");
    data->Exec("UPDATE PRDLOC SET \"StdToOrder\" = 3 WHERE \"Product\" = " + std::to_string(mask));

    Dlg entry(nullptr, &data->host, Dlg::kNewOrderTemplate, 0, false);
    entry.show();
    ChooseExternal(entry, data->vendor, "PO-9");
    TypeLine(entry, "GLOVE", "1");
    const long order = entry.GetInvOrder();
    QVERIFY(order > 0);
    QVERIFY(entry.IsCommandEnabled(Dlg::IdOrderRequests));

    QStringList firstList;
    QString gownOnHand;
    bool ran = false;
    OnModal<WSIVendorRequestsDialog>(
        [&](WSIVendorRequestsDialog& requests) {
            WSIListWindow* list = requests.List();
            for (int row = 0; row < list->RowCount(); ++row)
                firstList << list->ItemText(row, 0) + "=" +
                                 list->ItemText(row, WSIVendorRequestsDialog::ColSuggest);
            requests.Control<QCheckBox>(WSIVendorRequestsDialog::IdFullList)->setChecked(true);
            const int gown = RowOf(list, 0, QStringLiteral("GOWN"));
            gownOnHand = list->ItemText(gown, WSIVendorRequestsDialog::ColOnHandCounted);
            list->SelectRow(RowOf(list, 0, QStringLiteral("GLOVE")));
            list->SelectRow(RowOf(list, 0, QStringLiteral("MASK")), true);
            QTest::mouseClick(requests.findChild<QPushButton*>(QStringLiteral("addSelected")),
                              Qt::LeftButton);
        },
        &ran);
    QVERIFY(entry.DoCommand(Dlg::IdOrderRequests));
    QVERIFY(ran);
    // Only what should be ordered at first (10 - 2 = 8); everything with the full list.
    QCOMPARE(firstList, QStringList{QStringLiteral("GLOVE=8")});
    QCOMPARE(gownOnHand, QStringLiteral("-"));

    // MASK needed nothing and comes with its standard quantity; GLOVE was on the order.
    const std::vector<WSIOrderLineRow> lines = Lines(data->db.get(), order);
    QCOMPARE(lines.size(), std::size_t(2));
    QCOMPARE(LineOf(lines, glove)->Quantity, short(1));
    QCOMPARE(LineOf(lines, mask)->Quantity, short(3));
    QCOMPARE(entry.List()->RowCount(), 2);
    QVERIFY(!data->host.boxes.empty());
    const QString told = QString::fromStdString(data->host.boxes.back().text);
    const QStringList parts = told.split(QLatin1Char('\n'));
    QCOMPARE(parts.size(), 2);
    QCOMPARE(parts[0], data->host.LoadStringText(38162));
    QCOMPARE(parts[1], "GLOVE: " + data->host.LoadStringText(38147));
}

void OrderScreensTest::FillingDetailsListDeliveriesOldestFirst() {
    const long glove = data->AddProduct("GLOVE");
    const long order = data->AddOrder(false, "WARD", "STORE");
    const long line = data->AddOrdIt(order, glove, 5, PartiallyFilled, 3);
    const long later = data->AddItem(glove, "WARD", 2, 2, line);
    const long earlier = data->AddItem(glove, "WARD", 1, 1, line);
    const auto dated = [&](long item, const char* date) {
        data->Exec(std::string("UPDATE AUDITHIS SET \"Date\" = '") + date +
                   "' WHERE \"Audit\" = (SELECT \"Audit\" FROM INVITEM WHERE \"InvItem\" = " +
                   std::to_string(item) + ")");
        data->Exec("UPDATE INVITEM SET \"InvLocFrom\" = 'STORE' WHERE \"InvItem\" = " +
                   std::to_string(item));
    };
    dated(later, "2026-03-10");
    dated(earlier, "2026-03-01");

    // Internal: opened from the pending list's command on the filled line.
    WSIInventoryDialog screen(nullptr, &data->host);
    screen.DoCommand(WSIInventoryDialog::IdSearch);
    auto* pending =
        static_cast<WSIInvPendingOrdersDialog*>(screen.ListView(WSIInventoryDialog::TabPending));
    QCOMPARE(pending->List()->RowCount(), 1);
    pending->List()->SelectRow(0);
    QStringList rows;
    bool ran = false;
    OnModal<WSIInvProductFillingDetailsDialog>(
        [&](WSIInvProductFillingDetailsDialog& details) {
            for (int row = 0; row < details.List()->RowCount(); ++row)
                rows << details.List()->Model()->Row(row).cells.join(QLatin1Char('|'));
        },
        &ran);
    QVERIFY(pending->RunMenuCommand(WSIInvPendingOrdersDialog::CmShowFillingDetailsId));
    QVERIFY(ran);
    QCOMPARE(rows, (QStringList{QStringLiteral("STORE|1|03/01/2026|Tester, Tess"),
                                QStringLiteral("STORE|2|03/10/2026|Tester, Tess")}));

    // External: the vendor of each receipt; stock without a receipt names no one.
    const long ext = data->AddOrder(true);
    const long extLine = data->AddOrdIt(ext, glove, 5, PartiallyFilled, 3);
    const long received = data->AddItem(glove, "WARD", 2, 2, extLine, 0, data->AddReceipt("WARD"));
    const long found = data->AddItem(glove, "WARD", 1, 1, extLine);
    dated(received, "2026-03-02");
    dated(found, "2026-03-05");
    WSIInvOrderData record{};
    record.InvOrder = ext;
    record.InvOrdIt = extLine;
    record.IsExternal = 1;
    record.Product = glove;
    record.Quantity = 5;
    std::strcpy(record.VendorName, "Acme Medical");
    WSIInvProductFillingDetailsDialog details(nullptr, &data->host, record);
    QCOMPARE(details.List()->RowCount(), 2);
    QCOMPARE(details.List()->ItemText(0, 0), QStringLiteral("Acme Medical"));
    QCOMPARE(details.List()->ItemText(1, 0), QString());
    QCOMPARE(details.List()->ItemText(1, 1), QStringLiteral("1"));
    QVERIFY(
        details.ControlWidget(WSIInvProductFillingDetailsDialog::IdVendor)->isVisibleTo(&details));
    QVERIFY(!details.ControlWidget(WSIInvProductFillingDetailsDialog::IdFromLocation)
                 ->isVisibleTo(&details));
    QCOMPARE(static_cast<QLineEdit*>(
                 details.ControlWidget(WSIInvProductFillingDetailsDialog::IdProductType))
                 ->text(),
             QStringLiteral("Supplies"));
}

void OrderScreensTest::BackOrderLocationsListWhatIsStillOwed() {
    const long glove = data->AddProduct("GLOVE");
    const long ward = data->AddOrder(false, "WARD", "STORE", WSIDate{2026, 3, 12});
    data->AddOrdIt(ward, glove, 5, BackOrdered, 2);
    const long clinic = data->AddOrder(false, "CLINIC", "STORE", WSIDate{2026, 3, 1});
    data->AddOrdIt(clinic, glove, 2, BackOrdered, 3); // more came than was asked
    data->AddOrdIt(data->AddOrder(false, "WARD", "STORE", {}, 1), glove, 4, BackOrdered);
    data->AddOrdIt(data->AddOrder(false, "WARD", "STORE"), glove, 4, Ordered);
    data->AddOrdIt(data->AddOrder(false, "WARD", "CLINIC"), glove, 4, BackOrdered);
    data->AddOrdIt(ward, data->AddProduct("MASK"), 4, BackOrdered);

    WSIShowBackOrdLocsDialog screen(nullptr, &data->host, glove, "STORE");
    WSIListWindow* list = screen.List();
    QCOMPARE(list->RowCount(), 2);
    QCOMPARE(list->ItemText(0, WSIShowBackOrdLocsDialog::ColOrder), QString::number(clinic));
    QCOMPARE(list->ItemText(0, WSIShowBackOrdLocsDialog::ColLocation), QStringLiteral("CLINIC"));
    QCOMPARE(list->ItemText(0, WSIShowBackOrdLocsDialog::ColOwed), QStringLiteral("0"));
    QCOMPARE(list->ItemText(1, WSIShowBackOrdLocsDialog::ColOrder), QString::number(ward));
    QCOMPARE(list->ItemText(1, WSIShowBackOrdLocsDialog::ColOwed), QStringLiteral("3"));
    QCOMPARE(list->ItemText(1, WSIShowBackOrdLocsDialog::ColDate), QStringLiteral("03/12/2026"));
    for (int row = 0; row < 2; ++row)
        QCOMPARE(list->Marks(row), unsigned(rowmark::BackOrdered));
}

// The product of a line picked in the catalogue's search (ordering mode), and the ordering
// information of the line's product: its locations, the ordering location selected.
void OrderScreensTest::LineProductFromTheCatalogueAndItsOrderingInformation() {
    const long glove = data->AddProduct("GLOVE");
    for (const char* loc : {"STORE", "WARD", "CLINIC"})
        data->AddPrdLoc(glove, loc, 5);
    Dlg entry(nullptr, &data->host, Dlg::kNewOrderTemplate, 0, false);
    entry.show();
    ChooseExternal(entry, data->vendor, "PO-91");

    std::vector<QString> opened;
    int searchRows = -1;
    const WSIModalRunner previous = WSISetModalRunner([&](WSIDialog& screen) {
        opened.push_back(QString::fromLatin1(screen.metaObject()->className()));
        if (auto* search = dynamic_cast<WSIProductDialog*>(&screen)) {
            search->SetKind(tavel::products::ProductSearchKind::ProductCode);
            search->SearchEdit()->setText(QStringLiteral("GLO"));
            search->RunSearch();
            searchRows = search->List()->RowCount();
            search->List()->SelectRow(0);
            screen.setResult(0);
            screen.DoCommand(cm::Ok);
            return screen.result() == 0 ? int(id::CANCEL) : screen.result();
        }
        if (auto* vendors = dynamic_cast<WSIVendorDialog*>(&screen)) {
            vendors->SearchEdit()->setText(QStringLiteral("Acme"));
            vendors->RunSearch();
            vendors->List()->SelectRow(0);
            screen.setResult(0);
            screen.DoCommand(cm::Ok);
            return screen.result() == 0 ? int(id::CANCEL) : screen.result();
        }
        return int(id::CANCEL);
    });
    const auto restore = qScopeGuard([&] { WSISetModalRunner(previous); });

    // The vendor found through the catalogue's vendor search.
    auto* vendor = Field<WSIComboBox>(entry, Dlg::IdVendor);
    vendor->setCurrentIndex(0);
    QCOMPARE(vendor->CurrentValue(0), 0L);
    QVERIFY(entry.DoCommand(Dlg::IdVendorHelp));
    QCOMPARE(opened, std::vector<QString>{QStringLiteral("WSIVendorDialog")});
    QCOMPARE(vendor->CurrentValue(0), data->vendor);
    opened.clear();

    // Ordering information needs a product first.
    data->host.boxes.clear();
    QVERIFY(entry.DoCommand(Dlg::IdOrderingInfo));
    QVERIFY(data->host.Showed(39904));
    QVERIFY(opened.empty());

    QVERIFY(entry.DoCommand(Dlg::IdFindProduct));
    QCOMPARE(opened, std::vector<QString>{QStringLiteral("WSIProductDialog")});
    QCOMPARE(searchRows, 1);
    QCOMPARE(Field<WSIScanEdit>(entry, Dlg::IdProduct)->text().trimmed(), QStringLiteral("GLOVE"));
    auto* qty = Field<QLineEdit>(entry, Dlg::IdQuantity);
    qty->setText(QStringLiteral("3"));
    QTest::keyClick(qty, Qt::Key_Return);
    const std::vector<WSIOrderLineRow> lines = Lines(data->db.get(), entry.GetInvOrder());
    QCOMPARE(lines.size(), std::size_t(1));
    QCOMPARE(lines[0].Product, glove);
    QCOMPARE(lines[0].Quantity, short(3));

    entry.List()->SelectRow(0);
    QVERIFY(entry.DoCommand(Dlg::IdOrderingInfo));
    QCOMPARE(opened.back(), QStringLiteral("WSIProductLocationsDialog"));
}

// An internal order without lines takes its supplier from the search: the user picks which
// of the locations that offer the product it comes from; cancelling that pick keeps the
// search open; a product offered by one location takes it without a question.
void OrderScreensTest::InternalLineTakesTheSupplierPickedInTheSearch() {
    // The ward orders both; it supplies neither.
    const long gauze = data->AddProduct("GAUZE");
    for (const char* loc : {"STORE", "CLINIC", "WARD"})
        data->AddPrdLoc(gauze, loc, 5);
    const long tape = data->AddProduct("TAPE");
    for (const char* loc : {"STORE", "WARD"})
        data->AddPrdLoc(tape, loc, 5);
    data->Exec("UPDATE PRDLOC SET \"CanOrderFrom\" = 0 WHERE \"InvLoc\" = 'WARD'");
    Dlg entry(nullptr, &data->host, Dlg::kNewOrderTemplate, 0, false);
    entry.show();
    auto* type = Field<WSIComboBox>(entry, Dlg::IdOrderType);
    type->setCurrentIndex(type->FindValue(0));
    auto* by = Field<WSIComboBox>(entry, Dlg::IdOrderedBy);
    by->setCurrentIndex(by->findText(QStringLiteral("WARD")));
    auto* from = Field<WSIComboBox>(entry, Dlg::IdOrderedFrom);
    QCOMPARE(from->currentText(), QStringLiteral("STORE"));

    const char* searchFor = "GAUZE";
    QString pickLocation; // "" cancels the pick
    std::vector<int> offered;
    int searchResult = -1;
    const WSIModalRunner previous = WSISetModalRunner([&](WSIDialog& screen) {
        if (auto* pick = dynamic_cast<WSISelectProductLocationDialog*>(&screen)) {
            offered.push_back(pick->List()->RowCount());
            for (int row = 0; row < pick->List()->RowCount(); ++row)
                if (pick->List()->ItemText(row, 0) == pickLocation) {
                    pick->List()->SelectRow(row);
                    pick->DoCommand(cm::Ok);
                    return int(id::OK);
                }
            return int(id::CANCEL);
        }
        if (auto* search = dynamic_cast<WSIProductDialog*>(&screen)) {
            search->SetKind(tavel::products::ProductSearchKind::ProductCode);
            search->SearchEdit()->setText(QString::fromLatin1(searchFor));
            search->RunSearch();
            search->List()->SelectRow(0);
            screen.setResult(0);
            screen.DoCommand(cm::Ok);
            searchResult = screen.result();
            return searchResult == 0 ? int(id::CANCEL) : searchResult;
        }
        return int(id::CANCEL);
    });
    const auto restore = qScopeGuard([&] { WSISetModalRunner(previous); });

    // Cancelled pick: the search stays open and the supplier is unchanged.
    QVERIFY(entry.DoCommand(Dlg::IdFindProduct));
    QCOMPARE(offered, std::vector<int>{2});
    QCOMPARE(searchResult, 0);
    QCOMPARE(from->currentText(), QStringLiteral("STORE"));
    QVERIFY(Field<WSIScanEdit>(entry, Dlg::IdProduct)->text().trimmed().isEmpty());

    pickLocation = QStringLiteral("CLINIC");
    QVERIFY(entry.DoCommand(Dlg::IdFindProduct));
    QCOMPARE(offered.size(), std::size_t(2));
    QCOMPARE(from->currentText(), QStringLiteral("CLINIC"));
    QCOMPARE(Field<WSIScanEdit>(entry, Dlg::IdProduct)->text().trimmed(), QStringLiteral("GAUZE"));

    // One offering location: taken without the pick screen.
    searchFor = "TAPE";
    QVERIFY(entry.DoCommand(Dlg::IdFindProduct));
    QCOMPARE(offered.size(), std::size_t(2));
    QCOMPARE(from->currentText(), QStringLiteral("STORE"));
}

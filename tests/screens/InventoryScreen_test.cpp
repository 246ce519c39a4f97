// The main inventory screen on a seeded database: searches of every tab, the date check,
// refreshes after notifications, sorting, the status commands and the pick-list checks.

#include "InventoryScreen_test.h"

#include "InventoryListRows.h"
#include "WSIComboBox.h"
#include "WSIDateEdit.h"
#include "WSIInvClosedOrdersDialog.h"
#include "WSIInvPendingOrdersDialog.h"
#include "WSIInvStockViews.h"
#include "WSIInventoryDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <map>
#include <set>

using namespace tavel::OrdItStatus;
namespace views = tavel::views;
using Dlg = WSIInventoryDialog;

namespace {

WSIInvPendingOrdersDialog* Pending(Dlg& s, int tab = Dlg::TabPending) {
    return static_cast<WSIInvPendingOrdersDialog*>(s.ListView(tab));
}

std::multiset<short> Statuses(WSIInvPendingOrdersDialog* view) {
    std::multiset<short> out;
    for (int row = 0; row < view->List()->RowCount(); ++row)
        out.insert(view->RowRecord(row)->Status);
    return out;
}

int RowOfItem(WSIInvPendingOrdersDialog* view, long invOrdIt) {
    for (int row = 0; row < view->List()->RowCount(); ++row)
        if (view->RowRecord(row)->InvOrdIt == invOrdIt)
            return row;
    return -1;
}

void ChooseEntry(Dlg& s, int id, const QString& text) {
    auto* box = s.Control<WSIComboBox>(id);
    QVERIFY(box);
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
}

} // namespace

void InventoryScreenTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
}

void InventoryScreenTest::cleanup() {
    data->Close();
    data.reset();
}

std::unique_ptr<Dlg> InventoryScreenTest::NewScreen() {
    return std::make_unique<Dlg>(nullptr, &data->host);
}

void InventoryScreenTest::Search(Dlg& screen, int tab) {
    screen.SelectTab(tab);
    QVERIFY(screen.DoCommand(Dlg::IdSearch));
}

void InventoryScreenTest::PendingAndClosedTabsSplitTheStatuses() {
    const long p = data->AddProduct("GLOVE");
    const long order = data->AddOrder(false);
    for (short status = 0; status <= 9; ++status)
        data->AddOrdIt(order, p, 5, status);
    const long filled = data->AddOrdIt(order, p, 2, Filled, 2);
    data->AddItem(p, "WARD", 2, 2, filled);
    const long ext = data->AddOrder(true);
    data->AddOrdIt(ext, p, 3, Purchased);
    data->AddOrdIt(ext, p, 3, Filled);
    auto screen = NewScreen();

    Search(*screen, Dlg::TabPending);
    QCOMPARE(Statuses(Pending(*screen)), (std::multiset<short>{0, 1, 2, 3, 5, 8, 9}));
    Search(*screen, Dlg::TabPendingExt);
    QCOMPARE(Statuses(Pending(*screen, Dlg::TabPendingExt)), (std::multiset<short>{1}));

    Search(*screen, Dlg::TabClosed);
    auto* closed = static_cast<WSIInvClosedOrdersDialog*>(screen->ListView(Dlg::TabClosed));
    std::multiset<short> statuses;
    int filledRow = -1;
    for (int row = 0; row < closed->List()->RowCount(); ++row) {
        statuses.insert(closed->RowRecord(row)->Status);
        if (closed->RowRecord(row)->InvOrdIt == filled)
            filledRow = row;
    }
    QCOMPARE(statuses, (std::multiset<short>{4, 6, 7, 7}));
    // The filled line shows the date its stock came in.
    QVERIFY(filledRow >= 0);
    QCOMPARE(closed->List()->ItemText(filledRow, 13), QStringLiteral("03/15/2026"));

    // One open status chosen: only that one.
    screen->SelectTab(Dlg::TabPending);
    ChooseEntry(*screen, Dlg::IdOpenStatus, data->host.LoadStringText(38046));
    Search(*screen, Dlg::TabPending);
    QCOMPARE(Statuses(Pending(*screen)), (std::multiset<short>{BackOrdered}));
}

void InventoryScreenTest::PendingFiltersBySupplyingLocationAndType() {
    const long p = data->AddProduct("GLOVE");
    const long q = data->AddProduct("MASK");
    const long fromStore = data->AddOrder(false, "WARD", "STORE");
    const long fromClinic = data->AddOrder(false, "WARD", "CLINIC");
    const long a = data->AddOrdIt(fromStore, p, 5, Ordered);
    const long b = data->AddOrdIt(fromClinic, q, 5, Ordered);
    auto screen = NewScreen();
    ChooseEntry(*screen, Dlg::IdLocation, "CLINIC");
    Search(*screen, Dlg::TabPending);
    QCOMPARE(Pending(*screen)->List()->RowCount(), 1);
    QCOMPARE(Pending(*screen)->RowRecord(0)->InvOrdIt, b);

    ChooseEntry(*screen, Dlg::IdLocation, data->host.LoadStringText(38040));
    data->host.boxes.clear();
    Search(*screen, Dlg::TabPending);
    QCOMPARE(Pending(*screen)->List()->RowCount(), 2);
    // An order date outside the range drops the line.
    data->Exec("UPDATE INVORDER SET \"Date\" = '2025-01-01' WHERE \"InvOrder\" = " +
               std::to_string(fromStore));
    Search(*screen, Dlg::TabPending);
    QCOMPARE(Pending(*screen)->List()->RowCount(), 1);
    QVERIFY(RowOfItem(Pending(*screen), a) < 0);
}

void InventoryScreenTest::LevelsByLocationAndSummed() {
    const long p = data->AddProduct("GLOVE");
    const long q = data->AddProduct("MASK");
    data->AddPrdLoc(p, "STORE", 10);
    data->AddPrdLoc(p, "WARD", 4);
    data->AddPrdLoc(q, "WARD", 0, 0, 0, 6);
    data->AddPrdLoc(q, "CLINIC", 2, 1, 1); // inactive
    const long order = data->AddOrder(false, "WARD", "STORE");
    data->AddOrdIt(order, p, 3, BackOrdered, 1);
    auto screen = NewScreen();
    auto* levels = static_cast<WSIInvLevelsDialog*>(screen->ListView(Dlg::TabLevels));

    ChooseEntry(*screen, Dlg::IdLocation, "STORE");
    Search(*screen, Dlg::TabLevels);
    QCOMPARE(levels->List()->RowCount(), 1);
    QCOMPARE(levels->List()->ItemText(0, 5), QStringLiteral("10"));
    // The store has the glove back-ordered for the ward.
    QVERIFY(levels->List()->Marks(0) & views::kBackOrderLocationMark);

    ChooseEntry(*screen, Dlg::IdLocation, data->host.LoadStringText(38040));
    Search(*screen, Dlg::TabLevels);
    QCOMPARE(levels->List()->RowCount(), 2); // one row per product, inactive place left out
    for (int row = 0; row < 2; ++row) {
        const WSILevelsData* r = levels->RowRecord(row);
        if (r->Product == p) {
            QCOMPARE(levels->List()->ItemText(row, 7), QStringLiteral("14"));
        } else {
            QCOMPARE(r->LastCount, 6.0);
            QVERIFY(levels->List()->ItemText(row, 7).isEmpty());
        }
    }
    screen->Control<QCheckBox>(Dlg::IdIncludeInactive)->setChecked(true);
    screen->Control<QCheckBox>(Dlg::IdPerLocation)->setChecked(true);
    Search(*screen, Dlg::TabLevels);
    QCOMPARE(levels->List()->RowCount(), 4);
}

void InventoryScreenTest::ReceivedAndUsageSearches() {
    const long p = data->AddProduct("GLOVE");
    const long order = data->AddOrder(false, "WARD", "STORE");
    const long line = data->AddOrdIt(order, p, 4, Filled, 4);
    const long received = data->AddItem(p, "WARD", 4, 3, line, 0, data->AddReceipt("WARD"));
    data->AddItem(p, "STORE", 6, 6, 0, 2);
    WSIInvItDet d(data->db.get());
    d.data.InvItem = received;
    d.data.Type = tavel::MovementType::Usage;
    ScreensData::Put(d.data.InvLoc, "WARD");
    d.data.Product = p;
    d.data.Quantity = -1;
    d.data.Audit = data->AddAudit();
    QVERIFY(d.InsertDB(__FILE__, __LINE__));
    auto screen = NewScreen();
    auto* rec = static_cast<WSIInvReceivedDialog*>(screen->ListView(Dlg::TabReceived));

    Search(*screen, Dlg::TabReceived);
    QCOMPARE(rec->List()->RowCount(), 2);
    // The second entry is stock-item type 0.
    screen->Control<WSIComboBox>(Dlg::IdItemType)->setCurrentIndex(1);
    Search(*screen, Dlg::TabReceived);
    QCOMPARE(rec->List()->RowCount(), 1);
    QCOMPARE(rec->RowRecord(0)->InvItem, received);
    QCOMPARE(QString::fromLatin1(rec->RowRecord(0)->OrderedBy).trimmed(), QStringLiteral("WARD"));
    // Fifth and later entries stand for type 5.
    screen->Control<WSIComboBox>(Dlg::IdItemType)->setCurrentIndex(4);
    QCOMPARE(screen->GetSearchParams().itemType, short(5));

    Search(*screen, Dlg::TabUsage);
    auto* usage = static_cast<WSIInvUsageDialog*>(screen->ListView(Dlg::TabUsage));
    QCOMPARE(usage->List()->RowCount(), 1);
    QCOMPARE(usage->List()->ItemText(0, 6), QStringLiteral("1"));
}

void InventoryScreenTest::DatesOutOfOrderShowMessageAndDoNotSearch() {
    const long p = data->AddProduct("GLOVE");
    data->AddOrdIt(data->AddOrder(false), p, 5, Ordered);
    auto screen = NewScreen();
    auto* from = screen->Control<WSIDateEdit>(Dlg::IdFromDate);
    auto* to = screen->Control<WSIDateEdit>(Dlg::IdToDate);
    from->SetDate(QDate(2026, 3, 15));
    to->SetDate(QDate(2026, 3, 15));
    Search(*screen, Dlg::TabPending);
    QCOMPARE(Pending(*screen)->List()->RowCount(), 1); // equal dates search
    QVERIFY(!data->host.Showed(10003));

    Pending(*screen)->List()->Clear();
    from->SetDate(QDate(2026, 3, 16));
    Search(*screen, Dlg::TabPending);
    QVERIFY(data->host.Showed(10003));
    QCOMPARE(Pending(*screen)->List()->RowCount(), 0);

    // A date that is no date stops the search without a message.
    data->host.boxes.clear();
    from->setText("13/45/2026");
    Search(*screen, Dlg::TabPending);
    QVERIFY(data->host.boxes.empty());
    QCOMPARE(Pending(*screen)->List()->RowCount(), 0);
}

void InventoryScreenTest::RefreshUpdatesAndRemovesRows() {
    const long p = data->AddProduct("GLOVE");
    const long other = data->AddProduct("MASK");
    const long order = data->AddOrder(false);
    const long first = data->AddOrdIt(order, p, 5, Ordered);
    const long second = data->AddOrdIt(order, p, 6, Ordered);
    const long third = data->AddOrdIt(order, other, 7, Ordered);
    auto screen = NewScreen();
    Search(*screen, Dlg::TabPending);
    auto* view = Pending(*screen);
    QCOMPARE(view->List()->RowCount(), 3);

    data->Exec("DELETE FROM INVORDIT WHERE \"InvOrdIt\" = " + std::to_string(first));
    data->Exec("UPDATE INVORDIT SET \"Quantity\" = 9 WHERE \"InvOrdIt\" = " +
               std::to_string(second));
    data->Exec("UPDATE INVORDIT SET \"Quantity\" = 8 WHERE \"InvOrdIt\" = " +
               std::to_string(third));
    screen->EvUpdateInfo(25101, p); // a receipt of the glove
    QCOMPARE(view->List()->RowCount(), 2);
    QVERIFY(RowOfItem(view, first) < 0);
    const int row = RowOfItem(view, second);
    QVERIFY(row >= 0);
    QCOMPARE(view->List()->ItemText(row, 8), QStringLiteral("9"));
    // Lines of other products are not re-read.
    QCOMPARE(view->List()->ItemText(RowOfItem(view, third), 8), QStringLiteral("7"));

    // A new order from order entry is appended to the pending list only through mode 2 add.
    const long order2 = data->AddOrder(false);
    data->AddOrdIt(order2, other, 1, Ordered);
    view->RefreshList(views::kRefreshOrder, order2, true);
    QCOMPARE(view->List()->RowCount(), 3);
    // The usage view is never refreshed by notifications; levels are by product.
    data->AddPrdLoc(p, "WARD", 3);
    ChooseEntry(*screen, Dlg::IdLocation, "WARD");
    Search(*screen, Dlg::TabLevels);
    auto* levels = static_cast<WSIInvLevelsDialog*>(screen->ListView(Dlg::TabLevels));
    QCOMPARE(levels->List()->RowCount(), 1);
    data->Exec("UPDATE PRDLOC SET \"Balance\" = 2 WHERE \"Product\" = " + std::to_string(p));
    screen->EvUpdateInfo(25106, p);
    QCOMPARE(levels->List()->ItemText(0, 5), QStringLiteral("2"));
    data->Exec("DELETE FROM PRDLOC WHERE \"Product\" = " + std::to_string(p));
    screen->EvUpdateInfo(25106, -1);
    QCOMPARE(levels->List()->RowCount(), 0);
}

void InventoryScreenTest::SortingByBackOrderedPutsThemFirst() {
    const long p = data->AddProduct("GLOVE");
    const long order = data->AddOrder(false);
    data->AddOrdIt(order, p, 9, Ordered);
    data->AddOrdIt(order, p, 5, BackOrdered, 1);
    data->AddOrdIt(order, p, 3, Purchased);
    data->AddOrdIt(order, p, 8, BackOrdered, 6);
    auto screen = NewScreen();
    Search(*screen, Dlg::TabPending);
    auto* view = Pending(*screen);
    view->EvColumnClick(views::col::PendingBackOrdered);
    QCOMPARE(view->RowRecord(0)->Status, short(BackOrdered));
    QCOMPARE(view->RowRecord(0)->Quantity, short(8)); // 2 outstanding before 4
    QCOMPARE(view->RowRecord(1)->Status, short(BackOrdered));
    QCOMPARE(view->RowRecord(2)->Quantity, short(3));
    QCOMPARE(view->RowRecord(3)->Quantity, short(9));
    QCOMPARE(view->List()->ItemText(0, views::col::PendingBackOrdered), QStringLiteral("2"));
    // The column left of it does not sort.
    QCOMPARE(views::ComparePending(*view->RowRecord(0), *view->RowRecord(3),
                                   views::col::PendingBackOrdered - 1),
             0);
}

void InventoryScreenTest::StatusCommandsChangeDatabaseAndMarks() {
    const long p = data->AddProduct("GLOVE");
    const long order = data->AddOrder(false);
    const long toCancel = data->AddOrdIt(order, p, 5, Ordered);
    const long toBackOrder = data->AddOrdIt(order, data->AddProduct("MASK"), 5, PartiallyFilled, 2);
    const long requested = data->AddOrdIt(order, data->AddProduct("GOWN"), 5, Requested);
    auto screen = NewScreen();
    Search(*screen, Dlg::TabPending);
    auto* view = Pending(*screen);
    using V = WSIInvPendingOrdersDialog;

    // Declined: nothing changes.
    view->List()->SelectRow(RowOfItem(view, toCancel));
    data->host.warnAnswers = {id::CANCEL};
    view->DoCommand(V::CmCancelItemId);
    QCOMPARE(data->Status(toCancel), short(Ordered));
    QCOMPARE(data->host.warnings.back(), 25121);

    view->DoCommand(V::CmCancelItemId);
    QCOMPARE(data->Status(toCancel), short(Cancelled));
    int row = RowOfItem(view, toCancel);
    QVERIFY(view->List()->Marks(row) & views::kCancelledMark);
    QCOMPARE(view->List()->ItemText(row, views::col::Status), data->host.LoadStringText(38045));
    // Cancelled now: cancelling again is refused by the menu rule.
    QVERIFY(!view->IsMenuCommandEnabled(V::CmCancelItemId));

    view->List()->SelectRow(RowOfItem(view, toBackOrder));
    // Something is filled: cancelling is not offered, back-ordering is.
    QVERIFY(!view->IsMenuCommandEnabled(V::CmCancelItemId));
    view->DoCommand(V::CmBackorderId);
    QCOMPARE(data->host.warnings.back(), 25122);
    QCOMPARE(data->Status(toBackOrder), short(BackOrdered));
    row = RowOfItem(view, toBackOrder);
    QVERIFY(view->List()->Marks(row) & views::kBackOrderedMark);
    QVERIFY(!(view->List()->Marks(row) & views::kCancelledMark));

    view->DoCommand(V::CmCloseItemId);
    QCOMPARE(data->Status(toBackOrder), short(Closed));
    QCOMPARE(view->List()->Marks(row) & (views::kBackOrderedMark | views::kCancelledMark), 0u);

    view->List()->SelectRow(RowOfItem(view, requested));
    row = RowOfItem(view, requested);
    QVERIFY(view->List()->Marks(row) & views::kRequestedMark);
    const std::size_t warningsBefore = data->host.warnings.size();
    view->DoCommand(V::CmReviewItemId);
    QCOMPARE(data->Status(requested), short(InReview));
    QCOMPARE(data->host.warnings.size(), warningsBefore); // no question
    QVERIFY(!(view->List()->Marks(row) & views::kRequestedMark));
    QVERIFY(!view->IsMenuCommandEnabled(V::CmReviewItemId));
    view->DoCommand(V::CmOrderItemId);
    QCOMPARE(data->Status(requested), short(Ordered));
    QCOMPARE(view->List()->ItemText(row, views::col::Status), data->host.LoadStringText(38041));
}

void InventoryScreenTest::CancelOrderCancelsEveryLine() {
    const long p = data->AddProduct("GLOVE");
    const long order = data->AddOrder(false);
    const long a = data->AddOrdIt(order, p, 5, Ordered);
    const long b = data->AddOrdIt(order, data->AddProduct("MASK"), 4, Ordered);
    auto screen = NewScreen();
    Search(*screen, Dlg::TabPending);
    auto* view = Pending(*screen);
    view->List()->SelectRow(0);
    QVERIFY(view->IsMenuCommandEnabled(WSIInvPendingOrdersDialog::CmCancelOrderId));
    view->DoCommand(WSIInvPendingOrdersDialog::CmCancelOrderId);
    QCOMPARE(data->host.warnings.back(), 25120);
    QCOMPARE(data->Status(a), short(Cancelled));
    QCOMPARE(data->Status(b), short(Cancelled));
    // The rows were re-read: both show the cancelled status.
    for (int row = 0; row < view->List()->RowCount(); ++row)
        QCOMPARE(view->RowRecord(row)->Status, short(Cancelled));
}

void InventoryScreenTest::FillBatchRefusesMixedLocations() {
    const long p = data->AddProduct("GLOVE");
    const long a = data->AddOrdIt(data->AddOrder(false, "WARD", "STORE"), p, 5, Ordered);
    const long b = data->AddOrdIt(data->AddOrder(false, "WARD", "CLINIC"), p, 5, Ordered);
    auto screen = NewScreen();
    Search(*screen, Dlg::TabPending);
    auto* view = Pending(*screen);
    view->List()->SelectRow(RowOfItem(view, a));
    view->List()->SelectRow(RowOfItem(view, b), true);
    QCOMPARE(screen->CreateFillBatch(nullptr, nullptr, false), 0L);
    QVERIFY(data->host.Showed(38546));
    QCOMPARE(data->Status(a), short(Ordered));
}

void InventoryScreenTest::PickListMessagesAndBatch() {
    const long p = data->AddProduct("GLOVE");
    const long order = data->AddOrder(false, "WARD", "STORE");
    const long a = data->AddOrdIt(order, p, 5, Ordered);
    const long b = data->AddOrdIt(order, data->AddProduct("MASK"), 2, OnPickList);
    const long c = data->AddOrdIt(order, data->AddProduct("GOWN"), 2, OnPickList);
    auto screen = NewScreen();
    screen->SelectTab(Dlg::TabPendingExt);
    screen->DoCommand(Dlg::IdPickList);
    QVERIFY(data->host.Showed(38583));

    Search(*screen, Dlg::TabPending);
    screen->DoCommand(Dlg::IdPickList);
    QVERIFY(data->host.Showed(38548));

    auto* view = Pending(*screen);
    for (long item : {a, b, c})
        view->List()->SelectRow(RowOfItem(view, item), true);
    data->host.warnings.clear();
    data->host.warnAnswers = {id::OK, id::CANCEL}; // put on a new list; do not print
    std::string orderedBy, suppliedBy;
    const long batch = screen->CreateFillBatch(&orderedBy, &suppliedBy, true);
    QVERIFY(batch > 0);
    QCOMPARE(orderedBy, std::string("WARD"));
    QCOMPARE(suppliedBy, std::string("STORE"));
    // Asked once for the two lines already on a pick list, then whether to print.
    QCOMPARE(data->host.warnings, (std::vector<int>{25124, 25125}));
    QCOMPARE(data->Status(a), short(OnPickList));

    // "Print Pick List" = 5: neither asks nor prints.
    data->host.profile = std::make_unique<WSIProfile>();
    data->host.profile->WriteInt("Inventory", "Print Pick List", 5);
    data->host.warnings.clear();
    data->host.warnAnswers = {id::OK};
    QVERIFY(screen->CreateFillBatch(nullptr, nullptr, true) > 0);
    QCOMPARE(data->host.warnings, (std::vector<int>{25124}));
}

void InventoryScreenTest::CountNeedsAnActiveCountCode() {
    data->AddAdjCode("CNT", tavel::AdjustmentType::Count, 1);
    data->AddAdjCode("LOSS", tavel::AdjustmentType::Decrease, 0);
    auto screen = NewScreen();
    QVERIFY(!screen->CountCodesExist());
    data->AddAdjCode("CNT2", tavel::AdjustmentType::Count, 0);
    QVERIFY(screen->CountCodesExist());
}

void InventoryScreenTest::ClosedTabOrderTypeDecidesLocationOrVendor() {
    auto screen = NewScreen();
    screen->SelectTab(Dlg::TabClosed);
    auto* type = screen->Control<WSIComboBox>(Dlg::IdOrderType);
    QCOMPARE(type->count(), 4); // all internal, all external, INT, EXT
    type->setCurrentIndex(1);
    QVERIFY(screen->ControlWidget(Dlg::IdLocation)->isHidden());
    QVERIFY(!screen->ControlWidget(Dlg::IdVendor)->isHidden());
    InventorySearchParameters p = screen->GetSearchParams();
    QVERIFY(p.externalOrderType);
    QCOMPARE(p.orderType[0], '\0');
    type->setCurrentIndex(2);
    QVERIFY(!screen->ControlWidget(Dlg::IdLocation)->isHidden());
    QVERIFY(screen->ControlWidget(Dlg::IdVendor)->isHidden());
    QCOMPARE(std::string(screen->GetSearchParams().orderType), std::string("INT"));

    // Tab 0: only internal types, the first entry is no filter.
    screen->SelectTab(Dlg::TabPending);
    QCOMPARE(type->count(), 2);
    QCOMPARE(screen->GetSearchParams().orderType[0], '\0');
    QVERIFY(screen->ControlWidget(Dlg::IdVendor)->isHidden());
    QVERIFY(!screen->ControlWidget(Dlg::IdWithStockOnly)->isHidden());

    // Levels: order quantities force per-location and allow below-reorder.
    screen->SelectTab(Dlg::TabLevels);
    auto* perLocation = screen->Control<QCheckBox>(Dlg::IdPerLocation);
    auto* below = screen->Control<QCheckBox>(Dlg::IdBelowReorderOnly);
    QVERIFY(!below->isEnabled());
    screen->Control<QCheckBox>(Dlg::IdShowOrderQuantities)->setChecked(true);
    QVERIFY(perLocation->isChecked());
    QVERIFY(!perLocation->isEnabled());
    QVERIFY(below->isEnabled());
    below->setChecked(true);
    screen->Control<QCheckBox>(Dlg::IdShowOrderQuantities)->setChecked(false);
    QVERIFY(!below->isChecked());
    QVERIFY(perLocation->isEnabled());
}

void InventoryScreenTest::CommandsRestrictedAndEveryScreenAvailable() {
    const long p = data->AddProduct("GLOVE");
    const long item = data->AddOrdIt(data->AddOrder(false), p, 5, Ordered);
    auto screen = NewScreen();
    Search(*screen, Dlg::TabPending);
    auto* view = Pending(*screen);
    view->List()->SelectRow(0);
    QVERIFY(view->IsMenuCommandEnabled(WSIInvPendingOrdersDialog::CmCancelItemId));
    data->host.restricted.insert({25002, WSIInvPendingOrdersDialog::CmCancelItemId});
    QVERIFY(!view->IsMenuCommandEnabled(WSIInvPendingOrdersDialog::CmCancelItemId));
    view->DoCommand(WSIInvPendingOrdersDialog::CmCancelItemId);
    QCOMPARE(data->Status(item), short(Ordered));

    // Every screen the window opens exists: its commands are on.
    QVERIFY(view->IsMenuCommandEnabled(WSIInvPendingOrdersDialog::CmEditOrderId));
    for (int id : {int(Dlg::IdSearch), int(Dlg::IdReceive), int(Dlg::IdOrder), int(Dlg::IdCount),
                   int(Dlg::IdFill), int(Dlg::IdTransfer), int(Dlg::IdAdjust), int(Dlg::IdUsage)})
        QVERIFY(screen->IsCommandEnabled(id));

    // The vendor look-up and its clearing work wherever the vendor field is shown.
    auto* vendorHelp = screen->ControlWidget(Dlg::IdVendorHelp);
    auto* vendorClear = screen->ControlWidget(Dlg::IdVendorClear);
    int vendorTabs = 0;
    for (int tab = Dlg::TabPending; tab <= Dlg::TabUsage; ++tab) {
        screen->SelectTab(tab);
        QCOMPARE(vendorHelp->isEnabled(), !vendorHelp->isHidden());
        QCOMPARE(vendorClear->isEnabled(), !vendorClear->isHidden());
        vendorTabs += vendorHelp->isHidden() ? 0 : 1;
    }
    QVERIFY(vendorTabs >= 2);
}

void InventoryScreenTest::TabLeavesTheListButCtrlTabStays() {
    auto screen = NewScreen();
    auto* view = Pending(*screen);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QKeyEvent ctrlTab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
    QKeyEvent f6(QEvent::KeyPress, Qt::Key_F6, Qt::NoModifier);
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QVERIFY(view->PreProcessMsg(&tab));
    QVERIFY(!view->PreProcessMsg(&ctrlTab));
    QVERIFY(view->PreProcessMsg(&f6));
    QVERIFY(!view->PreProcessMsg(&letter));
}

void InventoryScreenTest::PrintSendsTheListToTheHost() {
    auto screen = NewScreen();
    screen->SelectTab(Dlg::TabLevels);
    screen->DoCommand(Dlg::IdPrint);
    QCOMPARE(data->host.printRequests, 1);
    QCOMPARE(QString::fromStdString(data->host.lastPrintTitle), data->host.LoadStringText(38062));
}

void InventoryScreenTest::MaximisingKeepsTheCurrentListShown() {
    QWidget frame;
    auto* screen = new Dlg(&frame, &data->host);
    screen->SelectTab(Dlg::TabReceived);
    frame.show();
    frame.showMaximized();
    QCoreApplication::processEvents();
    QCOMPARE(screen->CurrentTab(), int(Dlg::TabReceived));
    QVERIFY(screen->ListView(Dlg::TabReceived)->isVisible());
    QVERIFY(!screen->ListView(Dlg::TabPending)->isVisible());
}

void InventoryScreenTest::CancelAndMaximiseActOnTheInventoryWindowAlone() {
    // Counts the times the list is hidden: maximising the host's main window does not
    // concern the inventory window and leaves its list alone.
    struct HideSpy : QObject {
        int hides = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            hides += e->type() == QEvent::Hide ? 1 : 0;
            return false;
        }
    } spy;
    QMainWindow main;
    auto* mdi = new QMdiArea(&main);
    main.setCentralWidget(mdi);
    auto* screen = new Dlg(nullptr, &data->host);
    QPointer<QMdiSubWindow> child = mdi->addSubWindow(screen);
    main.show();
    child->show();
    QCoreApplication::processEvents();
    WSIInventoryListDialog* view = screen->ListView(screen->CurrentTab());
    view->installEventFilter(&spy);

    main.showMaximized();
    QCoreApplication::processEvents();
    QCOMPARE(spy.hides, 0);
    view->removeEventFilter(&spy);
    // Maximising the inventory window leaves its list shown over the whole tab.
    child->showMaximized();
    QCoreApplication::processEvents();
    QVERIFY(view->isVisible());
    QCOMPARE(view->size(), view->parentWidget()->size());

    // A list's Cancel asks the inventory window to close; the main window is not asked.
    struct CloseSpy : QObject {
        std::map<QObject*, int> closes;
        bool eventFilter(QObject* watched, QEvent* e) override {
            closes[watched] += e->type() == QEvent::Close ? 1 : 0;
            return false;
        }
    } closeSpy;
    main.installEventFilter(&closeSpy);
    child->installEventFilter(&closeSpy);
    view->DoCommand(cm::Cancel);
    QCOMPARE(closeSpy.closes[child.data()], 1);
    QCOMPARE(closeSpy.closes[&main], 0);
    QVERIFY(main.isVisible());
    main.removeEventFilter(&closeSpy);
    if (child)
        child->removeEventFilter(&closeSpy);
}

void InventoryScreenTest::AFailedSearchKeepsTheRowsAndSaysSo() {
    const long p = data->AddProduct("GLOVE");
    data->AddOrdIt(data->AddOrder(false), p, 5, Ordered);
    auto screen = NewScreen();
    Search(*screen, Dlg::TabPending);
    auto* view = Pending(*screen);
    QCOMPARE(view->List()->RowCount(), 1);
    QVERIFY(!data->host.Showed(WSIInventoryListDialog::kSearchFailedMessage));

    // The query cannot run while a table it reads is away.
    QVERIFY(data->db->ExecNative(__FILE__, __LINE__, "ALTER TABLE VENDOR RENAME TO VENDOR_AWAY"));
    Search(*screen, Dlg::TabPending);
    QCOMPARE(view->List()->RowCount(), 1);
    QVERIFY(data->host.Showed(WSIInventoryListDialog::kSearchFailedMessage));

    QVERIFY(data->db->ExecNative(__FILE__, __LINE__, "ALTER TABLE VENDOR_AWAY RENAME TO VENDOR"));
    data->AddOrdIt(data->AddOrder(false), p, 3, Ordered);
    Search(*screen, Dlg::TabPending);
    QCOMPARE(view->List()->RowCount(), 2);
}

void InventoryScreenTest::ProfileLocationAndOrderEntryNotices() {
    data->host.profile = std::make_unique<WSIProfile>();
    data->host.profile->WriteString("Inventory", "Location", "WARD");
    const long p = data->AddProduct("GLOVE");
    const long order = data->AddOrder(false, "CLINIC", "WARD");
    const long line = data->AddOrdIt(order, p, 5, Ordered);
    data->AddOrdIt(data->AddOrder(false, "CLINIC", "STORE"), p, 5, Ordered);
    auto screen = NewScreen();
    QCOMPARE(screen->Control<WSIComboBox>(Dlg::IdLocation)->currentText(), QStringLiteral("WARD"));
    Search(*screen, Dlg::TabPending);
    QCOMPARE(Pending(*screen)->List()->RowCount(), 1); // supplied by the preset location

    // Order entry changed the order: its rows are re-read by order, whatever the product.
    data->Exec("UPDATE INVORDIT SET \"Quantity\" = 2 WHERE \"InvOrdIt\" = " + std::to_string(line));
    screen->EvUpdateInfo(25030, order);
    QCOMPARE(Pending(*screen)->List()->ItemText(0, 8), QStringLiteral("2"));
    // A notice from a screen that touches no orders leaves the pending rows alone.
    data->Exec("DELETE FROM INVORDIT WHERE \"InvOrdIt\" = " + std::to_string(line));
    screen->EvUpdateInfo(25106, -1);
    QCOMPARE(Pending(*screen)->List()->RowCount(), 1);
    screen->EvUpdateInfo(25101, -1);
    QCOMPARE(Pending(*screen)->List()->RowCount(), 0);
}

// A storekeeper with a scanner in one hand: every step by key, nothing by mouse.
void InventoryScreenTest::KeyboardOnlySearchesChangesTabsAndOpensMenus() {
    WSIPrdType vaccines(data->db.get());
    ScreensData::Put(vaccines.data.Description, "Vaccines");
    QVERIFY(vaccines.InsertDB(__FILE__, __LINE__));
    const long glove = data->AddProduct("GLOVE");
    const long supplies = data->prdType;
    data->prdType = vaccines.data.PrdType;
    const long flu = data->AddProduct("FLUVAC");
    data->prdType = supplies;
    data->AddOrdIt(data->AddOrder(false), glove, 5, Ordered);
    data->AddOrdIt(data->AddOrder(false), flu, 2, Ordered);
    data->AddPrdLoc(glove, "STORE", 10);

    Dlg screen(nullptr, &data->host);
    screen.show();
    QApplication::setActiveWindow(&screen);
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    auto* prdType = screen.Control<WSIComboBox>(Dlg::IdPrdType);
    QVERIFY(prdType);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(prdType));

    // Typing the type's first letters picks it; Enter in the filter searches.
    QTest::keyClicks(prdType, QStringLiteral("Vac"));
    QCOMPARE(prdType->currentText(), QStringLiteral("Vaccines"));
    QTest::keyClick(prdType, Qt::Key_Return);
    auto* pending = Pending(screen);
    QCOMPARE(pending->List()->RowCount(), 1);
    QCOMPARE(pending->RowRecord(0)->Product, flu);

    // Down leaves the filter for the list, with a row to act on.
    QTest::keyClick(prdType, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(pending->List()));
    QCOMPARE(pending->List()->FirstSelected(), 0);

    // Ctrl+Tab three times reaches the levels, whose list takes the focus; F5 searches it.
    prdType->setCurrentIndex(0);
    for (int i = 0; i < 3; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
    }
    QCOMPARE(screen.CurrentTab(), int(Dlg::TabLevels));
    auto* levels = screen.ListView(Dlg::TabLevels)->List();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(levels));
    QCOMPARE(levels->RowCount(), 0);
    QTest::keyClick(levels, Qt::Key_F5);
    QCOMPARE(levels->RowCount(), 1);
    QTest::keyClick(levels, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(screen.CurrentTab(), int(Dlg::TabClosed));
    QVERIFY(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(screen.CurrentTab(), int(Dlg::TabLevels));

    // Ctrl+P prints the list of the tab shown.
    QTest::keyClick(levels, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(data->host.printRequests, 1);
    QCOMPARE(QString::fromStdString(data->host.lastPrintTitle), data->host.LoadStringText(38062));

    // Shift+F10 and the menu key open the selected row's menu.
    levels->SelectRow(0);
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_F10, Qt::ShiftModifier}, std::pair{Qt::Key_Menu, Qt::NoModifier}}) {
        bool opened = false;
        QTimer::singleShot(0, [&opened] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                opened = qobject_cast<QMenu*>(popup) && !popup->actions().isEmpty();
                popup->close();
            }
        });
        QTest::keyClick(levels, key, modifiers);
        QVERIFY(opened);
    }
}

void InventoryScreenTest::MnemonicsAreUniqueOnEveryTabAndReachTheirFields() {
    Dlg screen(nullptr, &data->host);
    screen.show();
    QApplication::setActiveWindow(&screen);
    QVERIFY(QTest::qWaitForWindowActive(&screen));
    const auto mnemonic = [](const QString& text) {
        const int at = text.indexOf(QLatin1Char('&'));
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    for (int tab = 0; tab < Dlg::kTabCount; ++tab) {
        screen.SelectTab(tab);
        std::map<QChar, QString> taken;
        const auto take = [&](const QString& text) {
            const QChar key = mnemonic(text);
            QVERIFY2(!key.isNull(), qPrintable(QStringLiteral("no mnemonic: ") + text));
            const auto [it, added] = taken.emplace(key, text);
            QVERIFY2(added, qPrintable(text + QStringLiteral(" clashes with ") + it->second));
        };
        for (QLabel* label : screen.findChildren<QLabel*>()) {
            if (!label->isVisible() || !label->buddy())
                continue;
            take(label->text());
            QVERIFY(label->buddy()->isVisible());
        }
        for (QAbstractButton* button : screen.findChildren<QAbstractButton*>()) {
            // Look-up buttons ("...", "X") carry an accessible name instead.
            if (!button->isVisible() || !button->accessibleName().isEmpty() ||
                qobject_cast<QTabBar*>(button->parentWidget()))
                continue;
            take(button->text());
        }
        QVERIFY(taken.size() >= 14);
    }
    // Alt+letter on a label reaches its field; on a button runs its command.
    screen.SelectTab(Dlg::TabPending);
    QTest::keyClick(&screen, Qt::Key_L, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), screen.ControlWidget(Dlg::IdLocation));
    data->AddOrdIt(data->AddOrder(false), data->AddProduct("GLOVE"), 5, Ordered);
    QTest::keyClick(&screen, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(Pending(screen)->List()->RowCount(),
                 1); // a button's mnemonic clicks it soon after
}

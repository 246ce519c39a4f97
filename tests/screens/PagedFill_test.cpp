// Paged fills of the main screen's lists on a seeded database. A write hook on the
// connection counts every row written while some list of the screen still has its
// search cursor open: that count must stay 0 whatever a test does through the screen.

#include "PagedFill_test.h"

#include "InventoryListRows.h"
#include "WSIInvPendingOrdersDialog.h"
#include "WSIInvStockViews.h"
#include "WSIInventoryDialog.h"

#include <QTest>
#include <sqlite3.h>

#include <cstring>

using namespace tavel::OrdItStatus;
namespace views = tavel::views;
using Dlg = WSIInventoryDialog;

namespace {

// Far more than the seeded rows: the whole search in the first page.
constexpr int kWholeList = 1 << 20;

WSIDatabase* g_hookedDb = nullptr;
Dlg* g_watched = nullptr;
int g_writesDuringFill = 0;

bool AnyFilling(const Dlg& s) {
    for (int tab = 0; tab < Dlg::kTabCount; ++tab)
        if (s.ListView(tab)->IsFilling())
            return true;
    return false;
}

void OnWrite(void*, int, const char*, const char*, sqlite3_int64) {
    if (g_watched && AnyFilling(*g_watched))
        ++g_writesDuringFill;
}

// Each row as its cells and marks, in list order.
QStringList Snapshot(const WSIListWindow* list) {
    QStringList rows;
    for (int row = 0; row < list->RowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < list->ColumnCount(); ++col)
            cells << list->ItemText(row, col);
        rows << cells.join(QLatin1Char('|')) + QStringLiteral("#%1").arg(list->Marks(row));
    }
    return rows;
}

// Searches tab with the screen's filters, the first page holding firstPage rows.
void SearchPaged(Dlg& s, int tab, int firstPage, int step) {
    s.SelectTab(tab);
    s.ListView(tab)->SetFillPageSizes(firstPage, step);
    QVERIFY(s.DoCommand(Dlg::IdSearch));
}

// The whole search of tab, read before the list first paints.
QStringList FullFill(Dlg& s, int tab) {
    SearchPaged(s, tab, kWholeList, kWholeList);
    return Snapshot(s.ListView(tab)->List());
}

} // namespace

void PagedFillTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
    g_hookedDb = data->db.get();
    sqlite3_update_hook(g_hookedDb->Handle(), OnWrite, nullptr);
    g_writesDuringFill = 0;
}

void PagedFillTest::cleanup() {
    QCOMPARE(g_writesDuringFill, 0);
    sqlite3_update_hook(g_hookedDb->Handle(), nullptr, nullptr);
    g_watched = nullptr;
    screen.reset();
    data->Close();
    data.reset();
}

std::unique_ptr<Dlg> PagedFillTest::NewScreen() {
    auto s = std::make_unique<Dlg>(nullptr, &data->host);
    g_watched = s.get();
    return s;
}

// Orders over several days (the lists sort by date, order and line), open and closed
// lines, stock levels at two places and received stock: more than a few pages of each.
void PagedFillTest::Seed() {
    std::vector<long> products;
    for (const char* code : {"GLOVE", "MASK", "GOWN", "SWAB", "TAPE", "SYRINGE", "GAUZE"}) {
        const long p = data->AddProduct(code);
        products.push_back(p);
        data->AddPrdLoc(p, "STORE", 10);
        data->AddPrdLoc(p, "WARD", 3);
        data->AddItem(p, "STORE", 10, 10, 0, tavel::MovementType::Adjustment);
    }
    const short statuses[] = {Ordered, Requested, BackOrdered, Purchased, PartiallyFilled,
                              Filled,  Cancelled, InReview,    Closed,    OnPickList};
    int n = 0;
    for (short day : {14, 3, 9}) {
        const long order = data->AddOrder(false, "WARD", "STORE", WSIDate{2026, 3, day});
        for (long p : products) {
            const short status = statuses[n++ % 10];
            const long line = data->AddOrdIt(order, p, 5, status, status == PartiallyFilled);
            if (status == Ordered && cancelLine == 0)
                cancelLine = line;
        }
    }
    QVERIFY(cancelLine != 0);
}

void PagedFillTest::PagedFillGivesTheRowsOfAFullFill_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("firstPage");
    QTest::addColumn<int>("step");
    QTest::newRow("pending, pages of 3") << int(Dlg::TabPending) << 2 << 3;
    QTest::newRow("pending, rows one by one") << int(Dlg::TabPending) << 1 << 1;
    QTest::newRow("closed") << int(Dlg::TabClosed) << 2 << 3;
    QTest::newRow("levels") << int(Dlg::TabLevels) << 2 << 2;
    QTest::newRow("received") << int(Dlg::TabReceived) << 3 << 2;
}

void PagedFillTest::PagedFillGivesTheRowsOfAFullFill() {
    QFETCH(int, tab);
    QFETCH(int, firstPage);
    QFETCH(int, step);
    Seed();
    screen = NewScreen();
    const QStringList whole = FullFill(*screen, tab);
    WSIInventoryListDialog* view = screen->ListView(tab);
    QVERIFY(!view->IsFilling());
    QVERIFY2(
        whole.size() > firstPage + step,
        qPrintable(
            QStringLiteral("the seed must span several pages, not %1 rows").arg(whole.size())));

    SearchPaged(*screen, tab, firstPage, step);
    // Only the first page is in before the list paints; the rest comes in idle time.
    QCOMPARE(view->List()->RowCount(), firstPage);
    QVERIFY(view->IsFilling());
    QTRY_VERIFY(!view->IsFilling());
    QCOMPARE(Snapshot(view->List()), whole);
}

void PagedFillTest::WorkDuringAFillSeesEveryRow_data() {
    QTest::addColumn<QString>("work");
    for (const char* work :
         {"sort", "refresh", "status command", "print", "update notice", "complete fill"})
        QTest::newRow(work) << QString::fromLatin1(work);
}

void PagedFillTest::WorkDuringAFillSeesEveryRow() {
    QFETCH(QString, work);
    Seed();
    screen = NewScreen();
    auto* view = static_cast<WSIInvPendingOrdersDialog*>(screen->ListView(Dlg::TabPending));
    const QStringList whole = FullFill(*screen, Dlg::TabPending);
    view->EvColumnClick(views::col::Status);
    const QStringList sortedWhole = Snapshot(view->List());

    SearchPaged(*screen, Dlg::TabPending, 2, 3);
    QVERIFY(view->IsFilling());
    if (work == "sort") {
        view->EvColumnClick(views::col::Status);
        QCOMPARE(Snapshot(view->List()), sortedWhole);
    } else if (work == "refresh") {
        view->RefreshList(views::kRefreshAll, 0, false);
        QCOMPARE(Snapshot(view->List()), whole);
    } else if (work == "status command") {
        // Row 0 is the earliest order's first open line, which may be cancelled.
        view->List()->SelectRow(0);
        const long line = view->RowRecord(0)->InvOrdIt;
        QVERIFY(view->DoCommand(WSIInvPendingOrdersDialog::CmCancelItemId));
        QCOMPARE(data->Status(line), short(Cancelled));
        QCOMPARE(view->List()->RowCount(), whole.size());
    } else if (work == "print") {
        QVERIFY(screen->DoCommand(Dlg::IdPrint));
        QCOMPARE(data->host.printRequests, 1);
        QCOMPARE(Snapshot(view->List()), whole);
    } else if (work == "update notice") {
        screen->EvUpdateInfo(25101, -1);
        QCOMPARE(Snapshot(view->List()), whole);
    } else {
        view->CompleteFill();
        QCOMPARE(Snapshot(view->List()), whole);
    }
    QVERIFY(!view->IsFilling());
}

void PagedFillTest::CommandCompletesEveryListOfTheScreen() {
    Seed();
    screen = NewScreen();
    const int levelRows = FullFill(*screen, Dlg::TabLevels).size();
    SearchPaged(*screen, Dlg::TabPending, 2, 3);
    SearchPaged(*screen, Dlg::TabLevels, 2, 3);
    auto* pending = static_cast<WSIInvPendingOrdersDialog*>(screen->ListView(Dlg::TabPending));
    WSIInventoryListDialog* levels = screen->ListView(Dlg::TabLevels);
    QVERIFY(pending->IsFilling() && levels->IsFilling());
    pending->List()->SelectRow(0);
    QVERIFY(pending->RowRecord(0)->Status != Cancelled);
    const long line = pending->RowRecord(0)->InvOrdIt;
    // A command of one list writes: the other list's search ends first too.
    QVERIFY(pending->DoCommand(WSIInvPendingOrdersDialog::CmCloseItemId));
    QCOMPARE(data->Status(line), short(Closed));
    QVERIFY(!levels->IsFilling());
    QCOMPARE(levels->List()->RowCount(), levelRows);
}

void PagedFillTest::WriteGuardNoticesAWriteDuringAFill() {
    // The guard of every test here: a write that bypasses the screen is counted.
    Seed();
    screen = NewScreen();
    SearchPaged(*screen, Dlg::TabPending, 2, 3);
    QVERIFY(AnyFilling(*screen));
    QVERIFY(data->Exec("UPDATE INVORDIT SET \"Quantity\" = 6 WHERE \"InvOrdIt\" = " +
                       std::to_string(cancelLine)));
    QCOMPARE(g_writesDuringFill, 1);
    g_writesDuringFill = 0;
}

void PagedFillTest::NewSearchDropsTheFillingOne() {
    Seed();
    screen = NewScreen();
    auto* view = static_cast<WSIInvPendingOrdersDialog*>(screen->ListView(Dlg::TabPending));
    screen->SelectTab(Dlg::TabPending);
    view->SetSearchParameters(screen->GetSearchParams());
    InventorySearchParameters p = view->SearchParameters();
    p.openStatus = Requested;
    view->SetFillPageSizes(kWholeList, kWholeList);
    view->SetSearchParameters(p);
    view->Search();
    const QStringList requested = Snapshot(view->List());
    QVERIFY(!requested.isEmpty());

    view->SetFillPageSizes(2, 3);
    QVERIFY(screen->DoCommand(Dlg::IdSearch));
    QVERIFY(view->IsFilling());
    view->SetSearchParameters(p);
    view->Search();
    QTRY_VERIFY(!view->IsFilling());
    // Only the new search's lines: the old cursor added nothing after it.
    QCOMPARE(Snapshot(view->List()), requested);
    for (int row = 0; row < view->List()->RowCount(); ++row)
        QCOMPARE(view->RowRecord(row)->Status, short(Requested));

    // Closing the screen releases a search still open.
    view->SetFillPageSizes(1, 1);
    view->SetSearchParameters(InventorySearchParameters(screen->GetSearchParams()));
    view->Search();
    QVERIFY(view->IsFilling());
    view->DoCommand(cm::Cancel);
    QVERIFY(!view->IsFilling());
}

void PagedFillTest::LinesWithoutDescriptionShowTheProducts() {
    const long b = data->AddProduct("B-PROD");
    const long a = data->AddProduct("A-PROD");
    const long c = data->AddProduct("C-PROD");
    const long order = data->AddOrder(false);
    const long lineB = data->AddOrdIt(order, b, 1, Ordered);
    data->AddOrdIt(order, a, 1, Ordered);
    const long own = data->AddOrdIt(order, c, 1, Ordered);
    QVERIFY(data->Exec("UPDATE INVORDIT SET \"Description\" = 'ZZZ own text' WHERE "
                       "\"InvOrdIt\" = " +
                       std::to_string(own)));
    screen = NewScreen();
    auto* view = static_cast<WSIInvPendingOrdersDialog*>(screen->ListView(Dlg::TabPending));
    FullFill(*screen, Dlg::TabPending);
    const int col = 5; // description
    QCOMPARE(view->List()->ItemText(0, col), QStringLiteral("B-PROD"));
    QCOMPARE(view->List()->ItemText(2, col), QStringLiteral("ZZZ own text"));
    // The list sorts by what it shows.
    view->EvColumnClick(col);
    QCOMPARE(view->List()->ItemText(0, col), QStringLiteral("A-PROD"));
    QCOMPARE(view->List()->ItemText(1, col), QStringLiteral("B-PROD"));
    // A re-read row keeps its product's description.
    screen->EvUpdateInfo(25101, b);
    int row = 0;
    while (view->RowRecord(row)->InvOrdIt != lineB)
        ++row;
    QCOMPARE(view->List()->ItemText(row, col), QStringLiteral("B-PROD"));
    // Closed lines too.
    QVERIFY(data->Exec("UPDATE INVORDIT SET \"Status\" = 6"));
    FullFill(*screen, Dlg::TabClosed);
    QStringList shown;
    for (int r = 0; r < screen->ListView(Dlg::TabClosed)->List()->RowCount(); ++r)
        shown << screen->ListView(Dlg::TabClosed)->List()->ItemText(r, col);
    shown.sort();
    QCOMPARE(shown, (QStringList{"A-PROD", "B-PROD", "ZZZ own text"}));
}

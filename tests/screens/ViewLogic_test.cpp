// The list views' rules without a window: the condition texts, cells, marks, comparers,
// the refresh walk and the checks over selected rows.

#include "ViewLogic_test.h"

#include "InventoryListQueries.h"
#include "InventoryListRows.h"
#include "schema/InventoryCodes.h"

#include <QTest>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

namespace views = tavel::views;
using namespace tavel::OrdItStatus;

namespace {

template <std::size_t N> void Set(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    std::memcpy(field, text, std::min(std::strlen(text), N - 1));
}

InventorySearchParameters AnyStatus() {
    return InventorySearchParameters::AnyStatus();
}

// Position of clause in text, failing the test when it is missing.
std::size_t Where(const std::string& text, const std::string& clause) {
    const std::size_t at = text.find(clause);
    if (at == std::string::npos)
        QTest::qFail(("missing clause: " + clause + "\nin: " + text).c_str(), __FILE__, __LINE__);
    return at;
}

WSIInvOrderData OrderRow(short status, short quantity, short filled) {
    WSIInvOrderData r{};
    r.Status = status;
    r.Quantity = quantity;
    r.QtyFilled = filled;
    r.ApprovalUser = 1;
    return r;
}

} // namespace

void ViewLogicTest::PendingClausesFollowTheParametersInOrder() {
    InventorySearchParameters p = AnyStatus();
    p.prdType = 3;
    Set(p.prdCat, "O'K");
    p.product = 17;
    Set(p.location, "STORE");
    p.withStockOnly = true;
    p.fromDate = {2026, 3, 1};
    p.toDate = {2026, 3, 15};
    Set(p.orderedBy, "WARD");
    Set(p.orderType, "INT");
    p.invOrder = 44;
    const std::string c = views::PendingConditions(p, false);
    const std::vector<std::string> clauses = {
        " AND P.\"PrdType\" = 3",
        " AND P.\"PrdCat\" = 'O''K'",
        " AND P.\"Product\" = 17",
        " AND ORD.\"IsExternal\" = 0 ",
        " AND ORD.\"InvLocFrom\" = 'STORE' ",
        " AND DECODE(PL.\"TrackUsage\", 1, PL.\"Balance\", PL.\"LastCount\") > 0 ",
        " AND ORD.\"Date\"  >= '03/01/2026'",
        " AND ORD.\"Date\"  <= '03/15/2026'",
        " AND ORD.\"InvLoc\" = 'WARD'",
        " AND ORD.\"InvOType\" = 'INT'",
        " AND ORD.\"Status\" IN (0,1,2,3,5,8,9)",
        " AND ORD.\"Inactive\" = 0",
        " AND ORD.\"InvOrder\" = 44",
    };
    std::size_t last = 0;
    for (const std::string& clause : clauses) {
        const std::size_t at = Where(c, clause);
        QVERIFY2(at >= last, clause.c_str());
        last = at;
    }
}

void ViewLogicTest::PendingLeavesOutUnsetClauses() {
    InventorySearchParameters p;
    p.openStatus = 5;
    p.includeInactive = true;
    p.fromDate = {2026, 2, 30}; // no such day: not written
    const std::string c = views::PendingConditions(p, false);
    QCOMPARE(c, std::string(" AND ORD.\"IsExternal\" = 0  AND ORD.\"Status\" = 5"));
}

void ViewLogicTest::PendingExternalFiltersTheVendor() {
    InventorySearchParameters p = AnyStatus();
    p.vendor = 9;
    Set(p.location, "STORE"); // the supplying location is no filter of vendor orders
    const std::string c = views::PendingConditions(p, true);
    Where(c, " AND ORD.\"IsExternal\" = 1  AND ORD.\"Vendor\" = 9 ");
    QVERIFY(c.find("InvLocFrom") == std::string::npos);
}

void ViewLogicTest::ClosedListsOnlyClosedStatuses() {
    InventorySearchParameters p = AnyStatus();
    p.product = 5;
    Set(p.location, "STORE");
    std::string c = views::ClosedConditions(p);
    Where(c, " AND ORD.\"Product\" = 5");
    Where(c, " AND ORD.\"IsExternal\" = 0 AND ORD.\"InvLocFrom\" = 'STORE'");
    Where(c, " AND ORD.\"Status\" IN (4,6,7) AND ORD.\"Inactive\" = 0");

    p.externalOrderType = true;
    p.vendor = 2;
    p.closedStatus = 6;
    c = views::ClosedConditions(p);
    Where(c, " AND ORD.\"IsExternal\" = 1 AND ORD.\"Vendor\" = 2");
    Where(c, " AND ORD.\"Status\" = 6");
    QVERIFY(c.find("InvLocFrom") == std::string::npos);
}

void ViewLogicTest::LevelsInactiveClauseGoesInsideTheSummary() {
    InventorySearchParameters p;
    p.inStockOnly = true;
    views::LevelsConditions c = views::LevelsConditionsOf(p);
    QVERIFY(!c.byLocation);
    QCOMPARE(c.inner, std::string(" and pl2.\"Inactive\" = 0"));
    QCOMPARE(c.main, std::string(" AND (PL.\"TrackUsage\" = 0 OR PL.\"Balance\" > 0)"));

    Set(p.location, "WARD");
    p.showOrderQuantities = true;
    p.belowReorderOnly = true;
    c = views::LevelsConditionsOf(p);
    QVERIFY(c.byLocation);
    QVERIFY(c.withOrders);
    QVERIFY(c.inner.empty());
    const std::size_t loc = Where(c.main, " AND PL.\"InvLoc\" = 'WARD'");
    const std::size_t inactive = Where(c.main, " AND PL.\"Inactive\" = 0");
    const std::size_t reorder = Where(c.main, " AND PL.\"Stocked\" = 1 AND (DECODE(");
    QVERIFY(loc < inactive && inactive < reorder);
}

void ViewLogicTest::ReceivedAndUsageClauses() {
    InventorySearchParameters p = AnyStatus();
    p.fromDate = {2026, 1, 2};
    Set(p.location, "WARD");
    p.vendor = 4;
    p.itemType = 5;
    p.invItem = 12;
    const std::string r = views::ReceivedConditions(p);
    const std::size_t date = Where(
        r, " AND  CASE WHEN II.\"Type\" = 0 THEN IR.\"Date\" ELSE A.\"Date\" END >= '01/02/2026'");
    const std::size_t loc = Where(r, " AND II.\"InvLoc\" = 'WARD'");
    const std::size_t vendor = Where(r, " AND IR.\"Vendor\" = 4");
    const std::size_t type = Where(r, " AND II.\"Type\" = 5");
    const std::size_t item = Where(r, " AND II.\"InvItem\" = 12");
    QVERIFY(date < loc && loc < vendor && vendor < type && type < item);

    const std::string u = views::UsageConditions(p);
    QCOMPARE(u, std::string(" AND A.\"Date\"  >= '01/02/2026' AND II.\"InvLoc\" = 'WARD'"));
}

void ViewLogicTest::FillSlotsPutsTextsInOrder() {
    QCOMPARE(views::FillSlots("a %s b %s c 100%%", "X", "Y"), std::string("a X b Y c 100%"));
}

void ViewLogicTest::PendingCellsAndMarks() {
    ScreensTextHost host;
    WSIInvOrderData r = OrderRow(BackOrdered, 10, 4);
    Set(r.InvLoc, "WARD");
    r.User = 1;
    Set(r.Name, "Smith");
    Set(r.First, "Ann");
    r.CostPerUnit = 1.25;
    Set(r.Comment, "two\r\nlines");
    Set(r.InvLocFrom, "STORE");
    r.TrackUsage = 1;
    r.Stocked = 0;
    r.ApprovalUser = 0;
    const views::Cells c = views::PendingCells(r, &host);
    QCOMPARE(c[3], std::string("WARD - Smith, Ann"));
    QCOMPARE(c[7], host.Text(38046));
    QCOMPARE(c[10], std::string("12.50"));
    QCOMPARE(c[11], std::string("6"));
    QCOMPARE(c[13], std::string("STORE"));
    QCOMPARE(c[17], std::string("two  lines"));
    QCOMPARE(c[18], host.Text(38164));
    QVERIFY(c[19].empty());
    QCOMPARE(views::PendingMarks(r), views::kBackOrderedMark | views::kUnapprovedMark);

    WSIInvOrderData requested = OrderRow(Requested, 1, 0);
    QCOMPARE(views::PendingMarks(requested), views::kRequestedMark);
    requested.Inactive = 1;
    QCOMPARE(views::PendingMarks(requested), views::kCancelledMark);
    // Without a user only the location shows.
    requested.User = 0;
    Set(requested.InvLoc, "CLINIC");
    QCOMPARE(views::OrderedByText(requested), std::string("CLINIC"));
}

void ViewLogicTest::LevelsCellsPerLocationAndSummary() {
    WSILevelsData r{};
    r.TrackUsage = 0;
    r.Balance = 3;
    r.LastCount = 7;
    views::Cells byLoc = views::LevelsCells(r, true);
    QVERIFY(byLoc[5].empty());
    QCOMPARE(byLoc[6], std::string("7"));
    QVERIFY(views::LevelsCells(r, false)[7].empty()); // tracked nowhere: no total
    r.TrackUsage = 2;
    QCOMPARE(views::LevelsCells(r, false)[7], std::string("10"));
    r.Inactive = 1;
    QCOMPARE(views::LevelsMarks(r, true), views::kCancelledMark | views::kBackOrderLocationMark);
}

void ViewLogicTest::ComparersOfTheOtherViews() {
    WSILevelsData a{}, b{};
    a.TrackUsage = 0;
    a.Balance = 50;
    b.TrackUsage = 1;
    b.Balance = 1;
    QVERIFY(views::CompareLevels(a, b, 5) > 0); // tracked first
    QVERIFY(views::CompareLevels(a, b, 6) < 0); // untracked first
    a.TrackUsage = 1;
    a.Balance = 1.4; // doubles compare by their truncated difference
    QCOMPARE(views::CompareLevels(a, b, 5), 0);

    WSIInvOrderData x{}, y{};
    Set(x.InvLoc, "ward");
    Set(y.InvLoc, "WARD");
    Set(x.Name, "Adams");
    Set(y.Name, "baker");
    QVERIFY(views::ComparePending(x, y, 3) < 0); // case-insensitive, then the last name
    x.Date = {2026, 1, 31};
    y.Date = {2026, 2, 1};
    QVERIFY(views::CompareClosed(x, y, 0) < 0);

    WSIUsageData u{}, v{};
    u.Quantity = -5;
    v.Quantity = 3;
    QVERIFY(views::CompareUsage(u, v, 6) > 0); // absolute quantities
    WSIReceivedData r{}, s{};
    r.ExpiryDate = {2027, 1, 1};
    s.ExpiryDate = {2026, 12, 31};
    QVERIFY(views::CompareReceived(r, s, 11) > 0);
}

void ViewLogicTest::RefreshExaminesTheRowThatMovesUp() {
    // Rows 1 and 2 match; row 1's record is gone. Row 2 moves up and must still be read.
    std::vector<int> rows = {10, 11, 12, 13};
    const std::set<int> matching = {11, 12};
    const std::set<int> gone = {11, 12};
    std::vector<int> read;
    const int removed = views::RefreshMatchingRows(
        static_cast<int>(rows.size()), [&](int row) { return matching.count(rows[row]) > 0; },
        [&](int row) {
            read.push_back(rows[row]);
            return gone.count(rows[row]) == 0;
        },
        [&](int row) { rows.erase(rows.begin() + row); });
    QCOMPARE(removed, 2);
    QCOMPARE(read, (std::vector<int>{11, 12}));
    QCOMPARE(rows, (std::vector<int>{10, 13}));

    QVERIFY(views::RowMatches(views::kRefreshProduct, 7, 7, 1, false));
    QVERIFY(!views::RowMatches(views::kRefreshProduct, 7, 8, 7, true));
    QVERIFY(views::RowMatches(views::kRefreshOrder, 7, 8, 7, false));
    QVERIFY(views::RowMatches(views::kRefreshSelected, 7, 8, 9, true));
    QVERIFY(!views::RowMatches(views::kRefreshSelected, 7, 7, 7, false));
}

void ViewLogicTest::FillSelectionChecks_data() {
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<QStringList>("routes"); // "ordering>supplying", "EXT" for a vendor line
    QTest::addColumn<int>("message");
    QTest::addColumn<int>("questions");
    QTest::newRow("one route") << QList<int>{Ordered, PartiallyFilled}
                               << QStringList{"WARD>STORE", "WARD>STORE"} << 0 << 0;
    QTest::newRow("other supplier")
        << QList<int>{Ordered, Ordered} << QStringList{"WARD>STORE", "WARD>CLINIC"} << 38546 << 0;
    QTest::newRow("other orderer")
        << QList<int>{Ordered, Ordered} << QStringList{"WARD>STORE", "CLINIC>STORE"} << 38546 << 0;
    QTest::newRow("vendor line") << QList<int>{Ordered, Ordered} << QStringList{"WARD>STORE", "EXT"}
                                 << 38576 << 0;
    QTest::newRow("closed line") << QList<int>{Ordered, Closed}
                                 << QStringList{"WARD>STORE", "WARD>STORE"} << 38547 << 0;
    QTest::newRow("asked once") << QList<int>{OnPickList, OnPickList}
                                << QStringList{"WARD>STORE", "WARD>STORE"} << 0 << 1;
    QTest::newRow("nothing") << QList<int>{} << QStringList{} << 38548 << 0;
}

void ViewLogicTest::FillSelectionChecks() {
    QFETCH(QList<int>, statuses);
    QFETCH(QStringList, routes);
    QFETCH(int, message);
    QFETCH(int, questions);
    std::vector<WSIInvOrderData> data;
    for (int i = 0; i < statuses.size(); ++i) {
        WSIInvOrderData r = OrderRow(static_cast<short>(statuses[i]), 5, 0);
        r.InvOrdIt = 100 + i;
        if (routes[i] == "EXT") {
            r.IsExternal = 1;
        } else {
            const QStringList parts = routes[i].split('>');
            Set(r.InvLoc, parts[0].toLatin1().constData());
            Set(r.InvLocFrom, parts[1].toLatin1().constData());
        }
        data.push_back(r);
    }
    std::vector<const WSIInvOrderData*> rows;
    for (const auto& r : data)
        rows.push_back(&r);
    int asked = 0;
    const views::FillSelection s = views::CheckFillSelection(rows, [&] {
        ++asked;
        return true;
    });
    QCOMPARE(static_cast<int>(s.message), message);
    QCOMPARE(asked, questions);
    if (message == 0) {
        QCOMPARE(s.orderedBy, std::string("WARD"));
        QCOMPARE(s.suppliedBy, std::string("STORE"));
        QCOMPARE(s.orderItems.size(), data.size());
    }
}

void ViewLogicTest::DecliningTheOnPickListQuestionStops() {
    WSIInvOrderData r = OrderRow(OnPickList, 5, 0);
    const views::FillSelection s = views::CheckFillSelection({&r}, [] { return false; });
    QVERIFY(!s.Ok());
    QVERIFY(s.declined);
    QVERIFY(s.orderItems.empty());
}

void ViewLogicTest::TransferNeedsUntouchedReceiptsOfOneLocation() {
    WSIReceivedData a{}, b{};
    Set(a.OrderedBy, "WARD");
    Set(b.OrderedBy, "WARD");
    a.Quantity = b.Quantity = 4;
    a.Balance = b.Balance = 4;
    QCOMPARE(views::CommonOrderingLocation({&a, &b}), std::string("WARD"));
    b.Balance = 3; // partly used
    QVERIFY(views::CommonOrderingLocation({&a, &b}).empty());
    b.Balance = 4;
    Set(b.OrderedBy, "CLINIC");
    QVERIFY(views::CommonOrderingLocation({&a, &b}).empty());
    Set(b.OrderedBy, "WARD");
    b.Type = 1;
    QVERIFY(views::CommonOrderingLocation({&a, &b}).empty());
}

void ViewLogicTest::OneOrderNeedsOneVendor() {
    WSILevelsData a{}, none{}, b{};
    Set(a.VendorName, "Acme");
    Set(b.VendorName, "Bolt");
    QVERIFY(views::VendorsAllowOneOrder({&a, &none, &b}));
    QVERIFY(!views::VendorsAllowOneOrder({&a, &b}));
    QVERIFY(views::VendorsAllowOneOrder({&a, &a}));
}

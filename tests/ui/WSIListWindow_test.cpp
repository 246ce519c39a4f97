#include "UiTest.h"
#include "WSIListWindow.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

namespace {

struct OrderLine {
    long id;
    int status;
};

// A list of n rows "r0".."r<n-1>" with two columns.
void Fill(WSIListWindow& list, int n) {
    list.AddColumn(QStringLiteral("Id"), 60);
    list.AddColumn(QStringLiteral("Status"), 80);
    for (int i = 0; i < n; ++i)
        list.AppendRow({QStringLiteral("r%1").arg(i), QString::number(i % 2)},
                       WSIRowData::Make(OrderLine{i, i % 2}));
}

QStringList Column(const WSIListWindow& list, int col) {
    QStringList out;
    for (int r = 0; r < list.RowCount(); ++r)
        out.append(list.ItemText(r, col));
    return out;
}

} // namespace

void UiTest::List_RowsCellsAndMarks() {
    WSIListWindow list;
    Fill(list, 3);
    QCOMPARE(list.InsertRow(1, {QStringLiteral("new")}), 1);
    QCOMPARE(list.InsertRow(99, {QStringLiteral("end")}), 4); // out of range appends
    QCOMPARE(Column(list, 0), (QStringList{"r0", "new", "r1", "r2", "end"}));
    QCOMPARE(list.Model()->rowCount(), 5);

    QVERIFY(list.UpdateRow(2, {QStringLiteral("R1"), QStringLiteral("x")}));
    QVERIFY(list.SetItemText(1, 1, QStringLiteral("filled")));
    QCOMPARE(list.ItemText(2, 0), QStringLiteral("R1"));
    QCOMPARE(list.ItemText(1, 1), QStringLiteral("filled"));
    QCOMPARE(list.ItemText(1, 5), QString());
    QVERIFY(!list.UpdateRow(5, {}));
    // Updating texts keeps the row's data.
    QVERIFY(list.RowData<OrderLine>(2) != nullptr);
    QCOMPARE(list.RowData<OrderLine>(2)->id, 1L);
    // Data comes back only as the type stored.
    QVERIFY(list.RowData<int>(2) == nullptr);
    QVERIFY(list.RowData<OrderLine>(1) == nullptr);

    QVERIFY(list.SetMark(0, rowmark::Cancelled, true));
    QVERIFY(list.SetMark(0, rowmark::BackOrdered, true));
    QVERIFY(list.SetMark(0, rowmark::Cancelled, false));
    QCOMPARE(list.Marks(0), rowmark::BackOrdered);
    QCOMPARE(list.Model()->data(list.Model()->index(0, 1), WSIListModel::MarksRole).toUInt(),
             rowmark::BackOrdered);

    QVERIFY(list.RemoveRow(1));
    QVERIFY(!list.RemoveRow(10));
    QCOMPARE(Column(list, 0), (QStringList{"r0", "R1", "r2", "end"}));
    QCOMPARE(list.Marks(0), rowmark::BackOrdered); // marks stay with their row
}

void UiTest::List_RemovedRowsFreeTheirData() {
    WSIListWindow list;
    list.AddColumn(QStringLiteral("A"), 50);
    std::vector<std::weak_ptr<OrderLine>> refs;
    for (long i = 0; i < 4; ++i) {
        auto p = std::make_shared<OrderLine>(OrderLine{i, 0});
        refs.push_back(p);
        list.AppendRow({QString::number(i)}, WSIRowData(std::move(p)));
    }
    list.RemoveRow(1);
    QVERIFY(refs[1].expired());
    QVERIFY(!refs[0].expired());

    list.SetRowData(0, std::make_shared<OrderLine>(OrderLine{9, 0}));
    QVERIFY(refs[0].expired());
    QCOMPARE(list.RowData<OrderLine>(0)->id, 9L);

    list.Clear();
    QVERIFY(refs[2].expired());
    QVERIFY(refs[3].expired());
    QCOMPARE(list.RowCount(), 0);
    QCOMPARE(list.ColumnCount(), 1); // columns survive a clear
}

void UiTest::List_SortIsStableAndSelectionFollowsRows() {
    WSIListWindow list;
    Fill(list, 40);    // statuses alternate 0 1 0 1 ...; enough rows to defeat insertion sort
    list.SelectRow(3); // r3
    int seenColumn = -1;
    list.Sort(
        [&](const WSIListRow& a, const WSIListRow& b, int column) {
            seenColumn = column;
            return b.Data<OrderLine>()->status - a.Data<OrderLine>()->status; // 1s first
        },
        7);
    QCOMPARE(seenColumn, 7);
    // Equal rows keep their order: the odd rows ascending, then the even rows.
    QStringList expected;
    for (int i = 1; i < 40; i += 2)
        expected.append(QStringLiteral("r%1").arg(i));
    for (int i = 0; i < 40; i += 2)
        expected.append(QStringLiteral("r%1").arg(i));
    QCOMPARE(Column(list, 0), expected);
    QCOMPARE(list.SelectedRows(), std::vector<int>{1});
    QCOMPARE(list.ItemText(list.FirstSelected(), 0), QStringLiteral("r3"));

    // A comparer that finds everything equal leaves the order unchanged.
    list.Sort([](const WSIListRow&, const WSIListRow&, int) { return 0; }, 0);
    QCOMPARE(Column(list, 0), expected);
}

void UiTest::List_SelectionIsReportedInRowOrder() {
    WSIListWindow list;
    Fill(list, 5);
    QCOMPARE(list.FirstSelected(), -1);
    QCOMPARE(list.SelectedCount(), 0);
    list.SelectRow(3);
    list.SelectRow(1, true);
    list.SelectRow(4, true);
    QCOMPARE(list.SelectedRows(), (std::vector<int>{1, 3, 4}));
    QCOMPARE(list.FirstSelected(), 1);
    QCOMPARE(list.SelectedCount(), 3);
    list.SelectRow(2); // without add: replaces
    QCOMPARE(list.SelectedRows(), std::vector<int>{2});
    list.RemoveRow(2);
    QCOMPARE(list.FirstSelected(), -1);
    list.SelectRow(0);
    list.ClearRowSelection();
    QCOMPARE(list.SelectedCount(), 0);
}

void UiTest::List_ZeroWidthHidesColumnAndPrintTextSkipsIt() {
    WSIListWindow list;
    list.AddColumn(QStringLiteral("Code"), 70);
    list.AddColumn(QStringLiteral("Vendor"), 0);
    list.AddColumn(QStringLiteral("Qty"), 40);
    list.AppendRow({QStringLiteral("A1"), QStringLiteral("Acme"), QStringLiteral("3")});
    list.AppendRow({QStringLiteral("B2"), QStringLiteral("Bolt"), QStringLiteral("5")});
    QCOMPARE(list.GetColumnWidth(1), 0);
    QCOMPARE(list.GetColumnWidth(0), 70);
    QCOMPARE(list.VisibleColumns(), (std::vector<int>{0, 2}));
    QCOMPARE(list.LinesToText(), QStringLiteral("Code\tQty\nA1\t3\nB2\t5"));

    list.SetColumnWidth(1, 90);
    list.SetColumnWidth(2, 0);
    QCOMPARE(list.GetColumnWidth(1), 90);
    QCOMPARE(list.DefinedColumnWidth(2), 40);
    QCOMPARE(list.LinesToText(), QStringLiteral("Code\tVendor\nA1\tAcme\nB2\tBolt"));
}

void UiTest::List_RefreshExaminesSuccessorOfRemovedRow() {
    WSIListWindow list;
    Fill(list, 6); // r0..r5, odd rows have status 1
    QStringList examined;
    // Rows r1 and r2 are gone from the database; the others are re-read.
    const int removed =
        list.RefreshRows([&](int row) { return list.ItemText(row, 0) != QLatin1String("r4"); },
                         [&](int row) {
                             const QString id = list.ItemText(row, 0);
                             examined.append(id);
                             if (id == QLatin1String("r1") || id == QLatin1String("r2"))
                                 return false;
                             list.SetItemText(row, 1, QStringLiteral("fresh"));
                             return true;
                         });
    QCOMPARE(removed, 2);
    QCOMPARE(examined, (QStringList{"r0", "r1", "r2", "r3", "r5"}));
    QCOMPARE(Column(list, 0), (QStringList{"r0", "r3", "r4", "r5"}));
    QCOMPARE(Column(list, 1), (QStringList{"fresh", "fresh", "0", "fresh"}));

    QVERIFY(!list.RefreshRow(0, [](int) { return false; }));
    QCOMPARE(list.ItemText(0, 0), QStringLiteral("r3"));
}

void UiTest::List_BatchReachesViewAsOneInsert() {
    WSIListWindow list;
    list.AddColumn(QStringLiteral("N"), 50);
    QSignalSpy inserted(list.Model(), &QAbstractItemModel::rowsInserted);
    list.BeginBatch();
    for (int i = 0; i < 20000; ++i)
        list.AppendRow({QString::number(i)});
    QCOMPARE(list.RowCount(), 20000);
    QCOMPARE(list.Model()->rowCount(), 0); // views learn of the rows at the end
    QCOMPARE(inserted.count(), 0);
    list.EndBatch();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(list.Model()->rowCount(), 20000);
    QCOMPARE(list.Model()->data(list.Model()->index(19999, 0)).toString(), QStringLiteral("19999"));

    // A change other than an append publishes what the batch holds so far.
    list.BeginBatch();
    list.AppendRow({QStringLiteral("a")});
    list.SetItemText(0, 0, QStringLiteral("first"));
    QCOMPARE(list.Model()->rowCount(), 20001);
    list.EndBatch();
    QCOMPARE(list.Model()->data(list.Model()->index(0, 0)).toString(), QStringLiteral("first"));
}

void UiTest::List_ContextMenuOnlyWithSelectedRow() {
    WSIListWindow list;
    Fill(list, 3);
    list.resize(300, 300);
    list.show();
    QSignalSpy menus(&list, &WSIListWindow::contextMenuRequested);

    // Below the last row, with nothing selected: no menu.
    const QPoint blank(10, 280);
    QContextMenuEvent none(QContextMenuEvent::Mouse, blank, list.viewport()->mapToGlobal(blank));
    QCoreApplication::sendEvent(list.viewport(), &none);
    QCOMPARE(menus.count(), 0);

    // On a row: it is selected and the menu is asked for at the click position.
    const QPoint onRow = list.visualRect(list.Model()->index(2, 0)).center();
    const QPoint global = list.viewport()->mapToGlobal(onRow);
    QContextMenuEvent click(QContextMenuEvent::Mouse, onRow, global);
    QCoreApplication::sendEvent(list.viewport(), &click);
    QCOMPARE(menus.count(), 1);
    QCOMPARE(menus[0][0].toPoint(), global);
    QCOMPARE(menus[0][1].toInt(), 2);

    // With rows selected, a click on blank space still asks, for the first selected row.
    list.SelectRow(1, true);
    QCoreApplication::sendEvent(list.viewport(), &none);
    QCOMPARE(menus.count(), 2);
    QCOMPARE(menus[1][1].toInt(), 1);
}

void UiTest::List_HeaderClickCallsViewHandler() {
    WSIListWindow list;
    Fill(list, 2);
    list.resize(300, 200);
    list.show();
    std::vector<int> clicked;
    list.SetColumnClickHandler([&](int c) { clicked.push_back(c); });
    QHeaderView* header = list.horizontalHeader();
    const int x = header->sectionViewportPosition(1) + header->sectionSize(1) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    QCOMPARE(clicked, std::vector<int>{1});
    // The header click alone does not reorder: sorting is the view's decision.
    QCOMPARE(list.ItemText(0, 0), QStringLiteral("r0"));
}

void UiTest::List_MarksDecideRowColourByPriority() {
    WSIListWindow list;
    Fill(list, 3);
    list.SetMarks(0, rowmark::BackOrdered | rowmark::Requested);
    list.SetMarks(1, rowmark::Cancelled | rowmark::BackOrdered);
    WSIListModel* m = list.Model();
    const auto bg = [&](int row) {
        return m->data(m->index(row, 1), Qt::BackgroundRole).value<QBrush>().color();
    };
    QCOMPARE(bg(0), WSIListModel::MarkColor(rowmark::BackOrdered));
    // Cancelled wins: greyed text, no mark background.
    QVERIFY(!m->data(m->index(1, 1), Qt::BackgroundRole).isValid());
    QCOMPARE(m->data(m->index(1, 1), Qt::ForegroundRole).value<QBrush>().color(),
             WSIListModel::MarkColor(rowmark::Cancelled));
    QVERIFY(!m->data(m->index(2, 1), Qt::BackgroundRole).isValid());
    // Every mark has its own colour, so the legend can tell them apart.
    const unsigned marks[] = {rowmark::Cancelled, rowmark::BackOrdered, rowmark::Unapproved,
                              rowmark::BackOrderLocation, rowmark::Requested};
    for (unsigned a : marks)
        for (unsigned b : marks)
            QCOMPARE(WSIListModel::MarkColor(a) == WSIListModel::MarkColor(b), a == b);
    WSIMarkLegend legend(rowmark::BackOrdered | rowmark::Unapproved);
    QVERIFY(!legend.Text(rowmark::BackOrdered).isEmpty());
    QVERIFY(legend.Text(rowmark::Requested).isEmpty());
    legend.SetText(rowmark::Unapproved, QStringLiteral("Waiting for approval"));
    QCOMPARE(legend.Text(rowmark::Unapproved), QStringLiteral("Waiting for approval"));
}

void UiTest::List_FormattedRowsFollowTheirRecords() {
    WSIListWindow list;
    list.AddColumn(QStringLiteral("Id"), 60);
    list.AddColumn(QStringLiteral("Status"), 80);
    list.Model()->SetCellFormatter([](const WSIListRow& row) {
        const OrderLine* r = row.Data<OrderLine>();
        return QStringList{QStringLiteral("L%1").arg(r->id), QStringLiteral("s%1").arg(r->status)};
    });
    for (long i = 0; i < 4; ++i)
        list.AppendRow({}, WSIRowData::Make(OrderLine{i, static_cast<int>(i) % 2}));
    QVERIFY(list.Model()->Row(2).cells.isEmpty()); // the row keeps its record alone
    const auto shown = [&](int row, int col) {
        return list.Model()->data(list.Model()->index(row, col)).toString();
    };
    QCOMPARE(shown(2, 1), QStringLiteral("s0"));
    QCOMPARE(Column(list, 0), (QStringList{"L0", "L1", "L2", "L3"}));
    QCOMPARE(shown(0, 0), QStringLiteral("L0"));

    // Every change that moves or replaces a row shows the row now in its place.
    list.Sort(
        [](const WSIListRow& a, const WSIListRow& b, int) {
            return static_cast<int>(b.Data<OrderLine>()->id - a.Data<OrderLine>()->id);
        },
        0);
    QCOMPARE(shown(0, 0), QStringLiteral("L3"));
    QCOMPARE(list.LinesToText(), QStringLiteral("Id\tStatus\nL3\ts1\nL2\ts0\nL1\ts1\nL0\ts0"));
    QCOMPARE(shown(0, 1), QStringLiteral("s1"));
    list.SetRowData(0, std::make_shared<OrderLine>(OrderLine{9, 7}));
    QCOMPARE(shown(0, 1), QStringLiteral("s7"));
    QVERIFY(list.RemoveRow(0));
    QCOMPARE(shown(0, 0), QStringLiteral("L2"));
    list.InsertRow(0, {}, WSIRowData::Make(OrderLine{5, 5}));
    QCOMPARE(shown(0, 0), QStringLiteral("L5"));

    // A text set by hand stays beside the formatted ones until the row is formatted again.
    QVERIFY(list.SetItemText(1, 1, QStringLiteral("changed")));
    QCOMPARE(list.Model()->RowTexts(1), (QStringList{"L2", "changed"}));
    list.SetRowData(1, std::make_shared<OrderLine>(OrderLine{8, 3}));
    QCOMPARE(list.ItemText(1, 0), QStringLiteral("L2"));
    QVERIFY(list.UpdateRow(1, {}));
    QCOMPARE(list.Model()->RowTexts(1), (QStringList{"L8", "s3"}));
    QCOMPARE(list.ItemText(1, 2), QString());
}

// A list of the main screen saved as CSV from its context menu and the main screen's
// Export button, then read back as a spreadsheet would.

#include "ListExport_test.h"

#include "CsvTestFiles.h"
#include "ListCsvExport.h"
#include "WSICodeTableDialogs.h"
#include "WSIInvStockViews.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"
#include "schema/InventoryCodes.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>

#include <fstream>
#include <iterator>
#include <sstream>

using Dlg = WSIInventoryDialog;

namespace {

constexpr unsigned kMsgCannotWrite = 40330;

using csvtest::ReadAll;
using csvtest::Rows;

} // namespace

void ListExportTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void ListExportTest::cleanup() {
    tavel::csvexport::SetSaveChooser(nullptr);
    data->Close();
    data.reset();
    dir.reset();
}

void ListExportTest::ReceivedListSavedAsTheSpreadsheetReadsIt() {
    const long p = data->AddProduct("GAUZE");
    WSIProduct product(data->db.get());
    product.data.Product = p;
    QVERIFY(product.GetEqual(__FILE__, __LINE__));
    ScreensData::Put(product.data.Description, "Gauze 4\"x4\", sterile");
    QVERIFY(product.UpdateDB(__FILE__, __LINE__));
    WSIInvItem item(data->db.get());
    const long line = data->AddOrdIt(data->AddOrder(false), p, 12, tavel::OrdItStatus::Filled, 12);
    item.data.InvItem = data->AddItem(p, "WARD", 12, 7.5, line, 0, data->AddReceipt("WARD"));
    QVERIFY(item.GetEqual(__FILE__, __LINE__));
    item.data.ExpiryDate = WSIDate{2027, 6, 30};
    QVERIFY(item.UpdateDB(__FILE__, __LINE__));

    Dlg screen(nullptr, &data->host);
    screen.SelectTab(Dlg::TabReceived);
    QVERIFY(screen.DoCommand(Dlg::IdSearch));
    auto* view = static_cast<WSIInvReceivedDialog*>(screen.ListView(Dlg::TabReceived));
    QCOMPARE(view->List()->RowCount(), 1);

    QStringList suggested;
    const QString path = dir->filePath("received.csv");
    tavel::csvexport::SetSaveChooser([&](QWidget*, const QString& name) {
        suggested << name;
        return path;
    });
    // From the main screen's button...
    QVERIFY(screen.DoCommand(Dlg::IdExportCsv));
    const std::string fromButton = ReadAll(path);
    QFile::remove(path);
    // ...and from the list's own menu, with no row selected.
    view->List()->ClearRowSelection();
    std::unique_ptr<QMenu> menu(view->CreateContextMenu(nullptr));
    auto* action = menu->findChild<QAction*>(QStringLiteral("ExportCsv"));
    QVERIFY(action);
    QVERIFY(action->isEnabled());
    action->trigger();
    QCOMPARE(ReadAll(path), fromButton);
    QCOMPARE(suggested.size(), 2);
    QVERIFY(suggested.front().endsWith(QStringLiteral(".csv")));

    // RFC 4180 rows; no byte-order mark.
    QVERIFY(fromButton.rfind("\r\n") == fromButton.size() - 2);
    QVERIFY(fromButton[0] != '\xEF');
    const auto rows = Rows(fromButton);
    QCOMPARE(rows.size(), std::size_t(2));
    const WSIListModel& model = *view->List()->Model();
    std::vector<std::string> headings;
    for (int c = 0; c < model.ColumnCount(); ++c)
        if (view->List()->GetColumnWidth(c) > 0)
            headings.push_back(model.ColumnAt(c).heading.toStdString());
    QVERIFY(rows[0] == headings);
    const std::vector<std::string>& row = rows[1];
    const auto has = [&](const std::string& field) {
        return std::find(row.begin(), row.end(), field) != row.end();
    };
    QVERIFY(has("Gauze 4\"x4\", sterile"));
    QVERIFY(has("2027-06-30")); // expiry
    QVERIFY(has("2026-03-15")); // the day it came in
    QVERIFY(has("7.50"));
    const QRegularExpression shownDate(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}$"));
    for (const std::string& f : row)
        QVERIFY2(!shownDate.match(QString::fromStdString(f)).hasMatch(), f.c_str());
}

void ListExportTest::CancelledOrUnwritableSaveWritesNothing() {
    const long p = data->AddProduct("GAUZE");
    const long line = data->AddOrdIt(data->AddOrder(false), p, 1, tavel::OrdItStatus::Filled, 1);
    data->AddItem(p, "WARD", 1, 1, line, 0, data->AddReceipt("WARD"));
    Dlg screen(nullptr, &data->host);
    screen.SelectTab(Dlg::TabReceived);
    QVERIFY(screen.DoCommand(Dlg::IdSearch));

    tavel::csvexport::SetSaveChooser([](QWidget*, const QString&) { return QString(); });
    QVERIFY(screen.DoCommand(Dlg::IdExportCsv));
    QVERIFY(QDir(dir->path()).isEmpty());
    QVERIFY(data->host.boxes.empty());

    const QString missing = dir->filePath("no such folder/received.csv");
    tavel::csvexport::SetSaveChooser([&](QWidget*, const QString&) { return missing; });
    QVERIFY(screen.DoCommand(Dlg::IdExportCsv));
    QVERIFY(data->host.Showed(kMsgCannotWrite));
    QVERIFY(!QFile::exists(missing));
}

void ListExportTest::CodeTableSavedWholeFromItsScreen() {
    WSIPrdUnit unit(data->db.get());
    ScreensData::Put(unit.data.Description, "Pack, 10");
    unit.data.Inactive = 1;
    QVERIFY(unit.InsertDB(__FILE__, __LINE__));
    const QString path = dir->filePath("units.csv");
    tavel::csvexport::SetSaveChooser([&](QWidget*, const QString&) { return path; });

    // A look-up offers no export; the screen itself saves every row, inactive ones too.
    WSIUnitsDialog lookup(nullptr, &data->host, nullptr, true);
    QVERIFY(!lookup.DoCommand(WSIUnitsDialog::CmExportCsv));
    QVERIFY(!QFile::exists(path));
    WSIUnitsDialog screen(nullptr, &data->host);
    QVERIFY(screen.DoCommand(WSIUnitsDialog::CmExportCsv));
    QCOMPARE(QString::fromStdString(ReadAll(path)),
             QStringLiteral("PrdUnit,Description,IsDividable,Inactive\r\n"
                            "1,Box,1,0\r\n"
                            "%1,\"Pack, 10\",0,1\r\n")
                 .arg(unit.data.PrdUnit));
}

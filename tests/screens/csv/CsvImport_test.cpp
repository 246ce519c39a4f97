// Importing a file from the import screen as staff do it: the report first, the rows only
// after a confirmation; and the product and vendor searches saving their lists.

#include "CsvImport_test.h"

#include "BoundedFormat.h"
#include "CsvTestFiles.h"
#include "DBProduct.h"
#include "DBVendor.h"
#include "ListCsvExport.h"
#include "SearchCsvExport.h"
#include "WSIInvCsvImportDialog.h"
#include "WSIListWindow.h"
#include "WSIProductDialog.h"
#include "WSIVendorDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <fstream>
#include <iterator>
#include <sstream>

using Import = WSIInvCsvImportDialog;
using tavel::csv::ListKind;

namespace {

constexpr const char* kLocationHeader = "InvLoc,Name,Type,BarCode,Inactive\r\n";
constexpr unsigned kMsgNotFlag = 40307;
constexpr unsigned kMsgNothingListed = 40411;

bool LocationExists(WSIDatabase* db, const char* code) {
    WSIInvLoc loc(db);
    loc.InitRecord();
    ScreensData::Put(loc.data.InvLoc, code);
    return loc.GetEqual(__FILE__, __LINE__);
}

QStringList ReportRow(const Import& screen, int row) {
    QStringList cells;
    for (int c = 0; c < 3; ++c)
        cells << screen.ReportList()->ItemText(row, c);
    return cells;
}

template <class... A> std::string Filled(const ScreensHost& host, unsigned code, A... args) {
    char text[1024];
    TVL_FORMAT(text, host.LoadStringText(code).toStdString().c_str(), args...);
    return text;
}

} // namespace

void CsvImportTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void CsvImportTest::cleanup() {
    Import::SetOpenChooser(nullptr);
    tavel::csvexport::SetSaveChooser(nullptr);
    data->Close();
    data.reset();
    dir.reset();
}

QString CsvImportTest::WriteFile(const char* name, const std::string& text) {
    const QString path = dir->filePath(QString::fromLatin1(name));
    std::ofstream(path.toStdString(), std::ios::binary) << text;
    return path;
}

void CsvImportTest::BadRowListedAndNothingImportedUntilSkippedAndConfirmed() {
    const QString path =
        WriteFile("rooms.csv", std::string(kLocationHeader) + "EXAM1,Exam room 1,1,,0\r\n"
                                                              "EXAM2,Exam room 2,1,,2\r\n"
                                                              "EXAM3,Exam room 3,1,,0\r\n");
    Import screen(nullptr, &data->host);
    screen.SetKind(ListKind::Locations);
    auto* columns = screen.findChild<QLabel*>("columns");
    QVERIFY(columns);
    QCOMPARE(columns->text() + "\r\n", QString::fromLatin1(kLocationHeader));
    auto* file = screen.findChild<QLineEdit*>("file");
    auto* skipBad = screen.findChild<QCheckBox*>("skipBad");
    QVERIFY(file && skipBad);
    file->setText(path);

    // Enter in the file field imports and leaves the screen open; the bad row is listed
    // and nothing is asked or kept.
    screen.show();
    file->setFocus();
    QTest::keyClick(file, Qt::Key_Return);
    QVERIFY(screen.isVisible());
    QCOMPARE(screen.ReportList()->RowCount(), 1);
    QCOMPARE(ReportRow(screen, 0),
             (QStringList{"3", "Inactive", data->host.LoadStringText(kMsgNotFlag)}));
    QCOMPARE(screen.Summary(), QStringLiteral("3 rows read, 1 bad: nothing imported"));
    QVERIFY(data->host.boxes.empty());
    QVERIFY(!LocationExists(data->db.get(), "EXAM1"));

    // Skipping bad rows asks first; No keeps the database as it was.
    skipBad->setChecked(true);
    data->host.boxAnswers = {id::NO};
    QVERIFY(screen.DoCommand(Import::IdImport));
    QCOMPARE(data->host.boxes.size(), std::size_t(1));
    QCOMPARE(data->host.boxes[0].text,
             Filled(data->host, Import::kMsgConfirmSkipping, 2L, 3L, "rooms.csv", 1L));
    QCOMPARE(screen.Summary(), data->host.LoadStringText(Import::kMsgCancelled));
    QVERIFY(!LocationExists(data->db.get(), "EXAM1"));

    data->host.boxAnswers = {id::YES};
    QVERIFY(screen.DoCommand(Import::IdImport));
    QCOMPARE(data->host.boxes.size(), std::size_t(2));
    QCOMPARE(screen.Summary(), QStringLiteral("2 of 3 rows imported, the bad rows skipped"));
    QCOMPARE(screen.ReportList()->RowCount(), 1);
    QCOMPARE(screen.ReportList()->ItemText(0, Import::ColLine), QStringLiteral("3"));
    QVERIFY(LocationExists(data->db.get(), "EXAM1"));
    QVERIFY(!LocationExists(data->db.get(), "EXAM2"));
    QVERIFY(LocationExists(data->db.get(), "EXAM3"));
    QCOMPARE(data->db->TransactionLevel(), 0);
}

void CsvImportTest::DryRunWritesNothingAndACleanFileAsksFirst() {
    const QString path =
        WriteFile("vendors.csv", "Vendor,Name,Address1,Address2,City,Province,PostalCode,Area,"
                                 "Phone,Fax,Notes,Inactive\r\n"
                                 ",Borealis Supply,,,,,,,,,,0\r\n"
                                 ",\"Cardinal, Ltd\",,,,,,,,,,1\r\n");
    Import screen(nullptr, &data->host);
    screen.SetKind(ListKind::Vendors);
    screen.findChild<QLineEdit*>("file")->setText(path);
    auto* dryRun = screen.findChild<QCheckBox*>("dryRun");
    QVERIFY(dryRun);
    const auto vendors = [&] {
        QStringList names;
        DBVendor v(data->db.get());
        for (bool more = v.GetFirst(); more; more = v.GetNext())
            names << QString::fromUtf8(v.data.Name);
        names.sort();
        return names;
    };

    dryRun->setChecked(true);
    QVERIFY(screen.DoCommand(Import::IdImport));
    QCOMPARE(screen.Summary(), QStringLiteral("2 rows checked, nothing written (dry run)"));
    QCOMPARE(screen.ReportList()->RowCount(), 0);
    QVERIFY(data->host.boxes.empty());
    QCOMPARE(vendors(), QStringList{"Acme Medical"});

    dryRun->setChecked(false);
    data->host.boxAnswers = {id::YES};
    QVERIFY(screen.DoCommand(Import::IdImport));
    QCOMPARE(data->host.boxes.size(), std::size_t(1));
    QCOMPARE(data->host.boxes[0].text,
             Filled(data->host, Import::kMsgConfirmAll, 2L, "vendors.csv"));
    QCOMPARE(screen.Summary(), QStringLiteral("2 of 2 rows imported"));
    QCOMPARE(vendors(), (QStringList{"Acme Medical", "Borealis Supply", "Cardinal, Ltd"}));
}

void CsvImportTest::MissingFileIsSaidAndBrowseFillsTheField() {
    Import screen(nullptr, &data->host);
    QVERIFY(screen.DoCommand(Import::IdImport));
    QVERIFY(data->host.Showed(Import::kMsgNoFile));

    const QString missing = dir->filePath("none.csv");
    QString askedIn;
    Import::SetOpenChooser([&](QWidget*, const QString& folder) {
        askedIn = folder;
        return missing;
    });
    QVERIFY(screen.DoCommand(Import::IdBrowse));
    auto* file = screen.findChild<QLineEdit*>("file");
    QCOMPARE(QDir::fromNativeSeparators(file->text()), missing);
    QVERIFY(screen.DoCommand(Import::IdImport));
    const QByteArray name = missing.toUtf8();
    QCOMPARE(data->host.boxes.back().text,
             Filled(data->host, Import::kMsgCannotOpen, name.constData()));
    QCOMPARE(screen.ReportList()->RowCount(), 0);
    // A second browse starts in the folder of the file named.
    QVERIFY(screen.DoCommand(Import::IdBrowse));
    QCOMPARE(QDir(askedIn), QDir(dir->path()));
}

void CsvImportTest::ProductAndVendorSearchesSaveTheirListedRows() {
    data->AddProduct("GLV-100");
    data->AddProduct("GAU-4X4");
    const QString path = dir->filePath("saved.csv");
    QStringList suggested;
    tavel::csvexport::SetSaveChooser([&](QWidget*, const QString& name) {
        suggested << name;
        return path;
    });

    DBProduct product(data->db.get());
    WSIProductDialog products(nullptr, 25013, &product, &data->host, false);
    // Nothing listed yet: said, and no file.
    QVERIFY(products.DoCommand(tavel::products::kCmExportCsv));
    QVERIFY(data->host.Showed(kMsgNothingListed));
    QVERIFY(!QFile::exists(path));

    products.SearchEdit()->setText(QStringLiteral("_"));
    QCOMPARE(products.RunSearch(), 2);
    // From the list's context menu, as from the button.
    std::unique_ptr<QMenu> menu(products.CreateContextMenu(nullptr));
    QAction* exportAction = nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == QStringLiteral("E&xport..."))
            exportAction = a;
    QVERIFY(exportAction && exportAction->isEnabled());
    exportAction->trigger();
    auto rows = csvtest::Rows(csvtest::ReadAll(path));
    QCOMPARE(rows.size(), std::size_t(3));
    QCOMPARE(QString::fromStdString(rows[0][0]),
             products.List()->ColumnHeading(WSIProductDialog::ColCode));
    for (int r = 0; r < 2; ++r)
        QCOMPARE(QString::fromStdString(rows[r + 1][0]),
                 products.List()->ItemText(r, WSIProductDialog::ColCode));

    DBVendor vendor(data->db.get());
    WSIVendorDialog vendors(nullptr, 25009, &vendor, &data->host, false);
    vendors.SearchEdit()->setText(QStringLiteral("_"));
    QCOMPARE(vendors.RunSearch(), 1);
    QVERIFY(vendors.DoCommand(tavel::products::kCmExportCsv));
    rows = csvtest::Rows(csvtest::ReadAll(path));
    QCOMPARE(rows.size(), std::size_t(2));
    QVERIFY(std::find(rows[1].begin(), rows[1].end(), "Acme Medical") != rows[1].end());
    QCOMPARE(suggested, (QStringList{"products.csv", "vendors.csv"}));
}

#include "CountScreen_test.h"

#include "BIInvAdj.h"
#include "StockCheck.h"
#include "UnitOfWork.h"
#include "WSIInvCountDialog.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>

#include <string>

using C = WSIInvCountDialog;

namespace {
constexpr char kFound[] = "FOUND";
constexpr char kCount[] = "CNT";
} // namespace

void CountScreenTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
    host.Start(data->db.get());
    data->AddAdjCode(kFound, tavel::AdjustmentType::Increase, 0);
    data->AddAdjCode(kCount, tavel::AdjustmentType::Count, 0);
}

void CountScreenTest::cleanup() {
    data->Close();
    data.reset();
}

std::unique_ptr<C> CountScreenTest::Open(const char* location) {
    auto screen = std::make_unique<C>(nullptr, &host);
    screen->SetScanDelay(60000);
    auto* loc = screen->findChild<QComboBox*>("location");
    for (int i = 0; loc && i < loc->count(); ++i)
        if (loc->itemText(i).startsWith(QString::fromLatin1(location) + "\t"))
            loc->setCurrentIndex(i);
    screen->CmSearch();
    screen->show();
    screen->activateWindow();
    if (!QTest::qWaitForWindowActive(screen.get()))
        qWarning("the count screen did not become active");
    return screen;
}

void CountScreenTest::Scan(C& screen, const QString& text) {
    QTest::keyClicks(screen.Entry(), text);
    QTest::keyClick(screen.Entry(), Qt::Key_Return);
}

long CountScreenTest::Product(const char* code, short balance, short trackUsage, short inactive) {
    const long p = data->AddProduct(code);
    data->AddPrdLoc(p, "WARD", 0, trackUsage, 0);
    if (balance > 0) {
        // Stock that came in as stock does: through an increase, with its detail.
        WSIDatabase* db = data->db.get();
        BIInvAdj adj(db);
        db->TransactionBegin();
        adj.Adjust("WARD", tavel::MovementType::Adjustment, p, balance, kFound, true, false, false,
                   0, 0, 0, "", 0);
        tavel::EndTransaction(db);
    }
    if (inactive)
        data->Exec("UPDATE PRDLOC SET \"Inactive\" = 1 WHERE \"Product\" = " + std::to_string(p));
    return p;
}

WSIPrdLoc::WSIData CountScreenTest::PrdLoc(long product, const char* loc) {
    WSIPrdLoc r(data->db.get());
    r.data.Product = product;
    ScreensData::Put(r.data.InvLoc, loc);
    r.GetEqual(__FILE__, __LINE__);
    return r.data;
}

std::vector<CountScreenTest::Marker> CountScreenTest::Markers(long product) {
    WSIDatabase* db = data->db.get();
    WSIInvItDet::WSIData row{};
    auto cursor = db->Query(__FILE__, __LINE__,
                            "SELECT %s FROM INVITDET WHERE \"Product\" = %ld AND \"Type\" = %d "
                            "ORDER BY \"InvItDet\"",
                            WSIResult(WSIInvItDet::Table(), &row),
                            db->GetTableColumns(__LINE__, __FILE__, "INVITDET"), product,
                            int(tavel::MovementType::CountMarker));
    std::vector<Marker> markers;
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext())
        markers.push_back({row.BatchId, row.CountValue});
    return markers;
}

bool CountScreenTest::StockConsistent() {
    return tavel::CheckStock(*data->db).empty();
}

// --- Counting ------------------------------------------------------------------------------

void CountScreenTest::Count_ScansAddUpAndAChangedRowReplaces() {
    const long glove = Product("GLOVE01", 10);
    const long mask = Product("MASK001", 2);
    auto screen = Open();
    auto* list = screen->List();
    auto* progress = screen->findChild<QLabel*>("progress");
    auto* location = screen->findChild<QComboBox*>("location");
    QVERIFY(progress && location);
    QCOMPARE(list->RowCount(), 2);
    QCOMPARE(progress->text(), QString("Counted 0 of 2 products; 2 not counted yet."));
    // One active count code: nothing to choose, the list is hidden.
    QVERIFY(!screen->findChild<QComboBox*>("countCode")->isVisible());

    // 3 and 2 of the same product make a count of 5.
    Scan(*screen, "3");
    Scan(*screen, "GLOVE01");
    QVERIFY(screen->BatchId() > 0);
    QVERIFY(!location->isEnabled()); // one batch counts one location
    Scan(*screen, "2");
    Scan(*screen, "GLOVE01");
    QCOMPARE(PrdLoc(glove).LastCount, 5.0);
    QCOMPARE(PrdLoc(glove).Balance, 5.0);
    QCOMPARE(PrdLoc(glove).LastCountDate, ScreensData::kToday);
    const int row = screen->RowOf(glove);
    QCOMPARE(list->ItemText(row, C::ColCounted), QString("5"));
    QCOMPARE(list->ItemText(row, C::ColLastCount), QString("5"));
    QCOMPARE(screen->findChild<QLabel*>("feedbackQuantity")->text(), QString("5"));
    QCOMPARE(progress->text(), QString("Counted 1 of 2 products; 1 not counted yet."));
    QTRY_VERIFY(host.Count(SoundKind::Success) > 0);
    QCOMPARE(host.Count(SoundKind::Error), 0);
    QCOMPARE(host.refreshes.back(), std::make_pair(C::kTemplate, glove));

    // Changing the row replaces the count instead of adding to it.
    list->SelectRow(row);
    Scan(*screen, "4");
    QCOMPARE(PrdLoc(glove).LastCount, 4.0);
    QCOMPARE(PrdLoc(glove).Balance, 4.0);
    QCOMPARE(list->ItemText(screen->RowOf(glove), C::ColCounted), QString("4"));
    list->ClearRowSelection();

    // Nothing found is a count too; every count of this opening carries one batch.
    Scan(*screen, "0");
    Scan(*screen, "MASK001");
    QCOMPARE(PrdLoc(mask).Balance, 0.0);
    QCOMPARE(list->ItemText(screen->RowOf(mask), C::ColCounted), QString("0"));
    QCOMPARE(progress->text(), QString("All 2 products on the list are counted."));
    const std::vector<Marker> gloveMarkers = Markers(glove);
    QCOMPARE(gloveMarkers.size(), std::size_t(1)); // a recount corrects the batch's marker
    QCOMPARE(gloveMarkers[0].batch, screen->BatchId());
    QCOMPARE(gloveMarkers[0].count, 4.0);
    QCOMPARE(Markers(mask).at(0).batch, screen->BatchId());
    QVERIFY(host.boxes.empty());
    QVERIFY(StockConsistent());

    // Opened again, the screen starts a new batch: nothing is counted in it yet.
    auto again = Open();
    QCOMPARE(again->List()->ItemText(again->RowOf(glove), C::ColCounted), QString());
    QCOMPARE(again->List()->ItemText(again->RowOf(glove), C::ColLastCount), QString("4"));
    Scan(*again, "GLOVE01");
    QCOMPARE(PrdLoc(glove).LastCount, 1.0);
    QVERIFY(again->BatchId() != screen->BatchId());
    QVERIFY(StockConsistent());
}

void CountScreenTest::Count_Gs1ScanCarriesItsCount() {
    const long box = Product("SYRBOX1", 0);
    data->Exec("UPDATE PRODUCT SET \"UPCCode\" = '09506000134352' WHERE \"Product\" = " +
               std::to_string(box));
    auto screen = Open();
    // A case label with its count: each scan adds the case's 12.
    Scan(*screen, "(01)09506000134352(30)12");
    Scan(*screen, "(01)09506000134352(30)12");
    QCOMPARE(PrdLoc(box).LastCount, 24.0);
    QCOMPARE(PrdLoc(box).Balance, 24.0);
    // The largest quantity allowed passes; one more is refused and changes nothing.
    const unsigned most = tavel::CurrentInventoryApp()->GetMaxQuantityAllowed();
    screen->List()->SelectRow(screen->RowOf(box));
    Scan(*screen, "1");
    screen->List()->ClearRowSelection();
    Scan(*screen, QString("(01)09506000134352(30)%1").arg(most - 1));
    QCOMPARE(PrdLoc(box).LastCount, double(most));
    Scan(*screen, QString("(01)09506000134352(30)%1").arg(most + 1));
    QVERIFY(host.Showed(38512));
    QCOMPARE(PrdLoc(box).LastCount, double(most));
    QVERIFY(screen->Entry()->text().isEmpty());
    QVERIFY(StockConsistent());
}

void CountScreenTest::Count_Refused_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<unsigned>("message");
    QTest::newRow("inactive at the location") << "OLDGLV1" << 38530u;
    QTest::newRow("not held at the location") << "CLINIC1" << 38505u;
    QTest::newRow("no such product") << "NOSUCH1" << 38504u;
}

void CountScreenTest::Count_Refused() {
    QFETCH(QString, code);
    QFETCH(unsigned, message);
    const long glove = Product("GLOVE01", 6);
    Product("OLDGLV1", 3, 0, 1);
    const long clinicOnly = data->AddProduct("CLINIC1");
    data->AddPrdLoc(clinicOnly, "CLINIC", 0, 0);
    int subScreens = 0;
    SubScreenScript script([&subScreens](WSIDialog&) {
        ++subScreens;
        return int(id::CANCEL);
    });
    auto screen = Open();

    Scan(*screen, code);
    QVERIFY(host.Said(message));
    QCOMPARE(host.boxes.size(), std::size_t(1));
    // The message and nothing else: no question, no screen that adds the product.
    QVERIFY(host.warnings.empty());
    QCOMPARE(subScreens, 0);
    QTRY_COMPARE(host.Count(SoundKind::Error), 1);
    QVERIFY(screen->Entry()->text().isEmpty());
    QVERIFY(screen->Entry()->hasFocus());
    QCOMPARE(screen->BatchId(), 0L); // the batch of a refused first count is forgotten
    QVERIFY(screen->findChild<QComboBox*>("location")->isEnabled());
    QVERIFY(Markers(clinicOnly).empty());
    WSIPrdLoc notHeld(data->db.get());
    notHeld.data.Product = clinicOnly;
    ScreensData::Put(notHeld.data.InvLoc, "WARD");
    QVERIFY(!notHeld.GetEqual(__FILE__, __LINE__)); // the count did not create the row
    QVERIFY(StockConsistent());

    // Ready for the next scan, which opens a fresh batch.
    Scan(*screen, "GLOVE01");
    QVERIFY(screen->BatchId() > 0);
    QCOMPARE(PrdLoc(glove).LastCount, 1.0);
    QCOMPARE(Markers(glove).at(0).batch, screen->BatchId());
    QVERIFY(StockConsistent());
}

void CountScreenTest::Count_NeedsALocationAndACode_data() {
    QTest::addColumn<QString>("withdraw");
    QTest::addColumn<unsigned>("message");
    QTest::newRow("no active location") << "UPDATE INVLOC SET \"Inactive\" = 1" << 40050u;
    QTest::newRow("no active count code") << "UPDATE INVADJ SET \"Inactive\" = 1" << 38212u;
}

void CountScreenTest::Count_NeedsALocationAndACode() {
    QFETCH(QString, withdraw);
    QFETCH(unsigned, message);
    const long glove = Product("GLOVE01", 6);
    data->Exec(withdraw.toStdString());
    auto screen = Open();
    Scan(*screen, "GLOVE01");
    QVERIFY(host.Showed(message));
    QCOMPARE(screen->BatchId(), 0L);
    QVERIFY(Markers(glove).empty());
    QCOMPARE(PrdLoc(glove).Balance, 6.0);
    QVERIFY(screen->Entry()->text().isEmpty());
}

// --- The list ------------------------------------------------------------------------------

void CountScreenTest::List_WideningSortingAndNotCountedOnly() {
    const long b = Product("BBB001", 1);
    const long a = Product("AAA001", 1);
    const long tracked = Product("TRK001", 4, 1);
    const long inactive = Product("OFF001", 0, 0, 1);
    // Bins put B before A: the default order is by bin.
    data->Exec("UPDATE PRDLOC SET \"Bin\" = 'A1' WHERE \"Product\" = " + std::to_string(b));
    data->Exec("UPDATE PRDLOC SET \"Bin\" = 'B1' WHERE \"Product\" = " + std::to_string(a));
    data->AddAdjCode("CNT2", tavel::AdjustmentType::Count, 0);
    auto screen = Open();
    auto* list = screen->List();
    QVERIFY(screen->findChild<QComboBox*>("countCode")->isVisible());
    QCOMPARE(list->RowCount(), 2);
    QCOMPARE(screen->RowOf(b), 0);
    QCOMPARE(screen->RowOf(tracked), -1);
    QCOMPARE(screen->RowOf(inactive), -1);

    // A heading click lists in that column's order; the next search by bin again.
    list->horizontalHeader()->sectionClicked(C::ColProductCode);
    QCOMPARE(screen->RowOf(a), 0);
    QCOMPARE(screen->SortColumn(), int(C::kDefaultSort));
    screen->DoCommand(C::CmSearchId);
    QCOMPARE(screen->RowOf(b), 0);

    // The two boxes widen the list; a usage-tracking row shows its balance.
    auto* withTracked = screen->findChild<QCheckBox*>("includeTrackUsage");
    auto* withInactive = screen->findChild<QCheckBox*>("includeInactive");
    QVERIFY(withTracked && withInactive);
    withTracked->setChecked(true);
    QCOMPARE(list->RowCount(), 3);
    QCOMPARE(list->ItemText(screen->RowOf(tracked), C::ColBalance), QString("4"));
    withInactive->setChecked(true);
    QCOMPARE(list->RowCount(), 4);

    // Not counted only: what is counted leaves the list, and a further scan of it still adds.
    Scan(*screen, "AAA001");
    auto* pending = screen->findChild<QCheckBox*>("notCountedOnly");
    QVERIFY(pending);
    pending->setChecked(true);
    QCOMPARE(list->RowCount(), 3);
    QCOMPARE(screen->RowOf(a), -1);
    Scan(*screen, "BBB001");
    QCOMPARE(list->RowCount(), 2);
    QCOMPARE(screen->RowOf(b), -1);
    Scan(*screen, "AAA001");
    QCOMPARE(PrdLoc(a).LastCount, 2.0);
    QCOMPARE(screen->findChild<QLabel*>("progress")->text(),
             QString("Counted 2 of 4 products; 2 not counted yet."));
    pending->setChecked(false);
    QCOMPARE(list->ItemText(screen->RowOf(a), C::ColCounted), QString("2"));
    QVERIFY(StockConsistent());
}

void CountScreenTest::List_EachHeadingSortsByItsColumn_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("product code") << int(C::ColProductCode)
                                  << QStringList{"AAA001", "BBB001", "CCC001"};
    QTest::newRow("description") << int(C::ColDescription)
                                 << QStringList{"BBB001", "CCC001", "AAA001"};
    QTest::newRow("bin") << int(C::ColBin) << QStringList{"CCC001", "BBB001", "AAA001"};
    QTest::newRow("unit") << int(C::ColUnit) << QStringList{"CCC001", "AAA001", "BBB001"};
    QTest::newRow("balance") << int(C::ColBalance) << QStringList{"AAA001", "BBB001", "CCC001"};
    QTest::newRow("counted first")
        << int(C::ColCounted) << QStringList{"BBB001", "AAA001", "CCC001"};
}

void CountScreenTest::List_EachHeadingSortsByItsColumn() {
    QFETCH(int, column);
    QFETCH(QStringList, codes);
    struct Seed {
        const char* code;
        short balance;
        const char* description;
        const char* unit;
        const char* bin;
        const char* lastCount;
    };
    const Seed seeds[] = {{"AAA001", 1, "Zinc tape", "Box", "C1", "0"},
                          {"BBB001", 3, "Alcohol swab", "Pack", "B1", "0"},
                          {"CCC001", 5, "Mask", "Bag", "A1", "2"}};
    for (const Seed& s : seeds) {
        const std::string id = std::to_string(Product(s.code, s.balance, 1));
        data->Exec(std::string("UPDATE PRODUCT SET \"Description\" = '") + s.description +
                   "', \"Unit\" = '" + s.unit + "' WHERE \"Product\" = " + id);
        data->Exec(std::string("UPDATE PRDLOC SET \"Bin\" = '") + s.bin +
                   "', \"LastCount\" = " + s.lastCount + " WHERE \"Product\" = " + id);
    }
    auto screen = Open();
    screen->findChild<QCheckBox*>("includeTrackUsage")->setChecked(true);
    Scan(*screen, "3"); // BBB001 as it stands: counted, its balance kept
    Scan(*screen, "BBB001");
    screen->List()->horizontalHeader()->sectionClicked(column);
    QStringList listed;
    for (int row = 0; row < screen->List()->RowCount(); ++row)
        listed << screen->List()->ItemText(row, C::ColProductCode);
    QCOMPARE(listed, codes);
}

void CountScreenTest::List_LongListFillsInStepsAndIsWholeBeforeACount() {
    const int products = C::kFirstPage + 20;
    for (int i = 0; i < products; ++i)
        Product(QString("ITEM%1").arg(i, 3, 10, QChar('0')).toLatin1().constData(), 0);
    host.profile = std::make_unique<WSIProfile>();
    host.profile->WriteString("Inventory", "Location", "WARD");
    const auto restore = qScopeGuard([this] { host.profile.reset(); });
    C screen(nullptr, &host);
    // The first page at once, the rest later.
    QCOMPARE(screen.List()->RowCount(), int(C::kFirstPage));
    // A count of a product not read yet: the list is whole first, and its row shows it.
    QTest::keyClicks(screen.Entry(), "ITEM119");
    QTest::keyClick(screen.Entry(), Qt::Key_Return);
    QCOMPARE(screen.List()->RowCount(), products);
    QCOMPARE(screen.ListedProducts(), products);
    QCOMPARE(screen.List()->ItemText(products - 1, C::ColProductCode), QString("ITEM119"));
    QCOMPARE(screen.List()->ItemText(products - 1, C::ColCounted), QString("1"));
    QCOMPARE(screen.CountedProducts(), 1);

    // Left alone, a new search fills the whole list by itself.
    screen.CmSearch();
    QTRY_COMPARE(screen.List()->RowCount(), products);
    QCOMPARE(screen.RowOf(screen.List()->RowData<WSICountLine>(products - 1)->product),
             products - 1);
}

void CountScreenTest::MainScreen_CountNeedsAnActiveCountCode() {
    data->Exec("UPDATE INVADJ SET \"Inactive\" = 1 WHERE \"Type\" = " +
               std::to_string(tavel::AdjustmentType::Count));
    int opened = 0;
    SubScreenScript script([&opened](WSIDialog& d) {
        opened += dynamic_cast<C*>(&d) != nullptr;
        return int(id::CANCEL);
    });
    WSIInventoryDialog main(nullptr, &host);
    QVERIFY(main.IsCommandEnabled(WSIInventoryDialog::IdCount));
    QVERIFY(main.DoCommand(WSIInventoryDialog::IdCount));
    QVERIFY(host.Showed(38212));
    QCOMPARE(opened, 0);

    data->Exec("UPDATE INVADJ SET \"Inactive\" = 0 WHERE \"InvAdj\" = 'CNT'");
    host.boxes.clear();
    QVERIFY(main.DoCommand(WSIInventoryDialog::IdCount));
    QCOMPARE(opened, 1);
    QVERIFY(host.boxes.empty());
}

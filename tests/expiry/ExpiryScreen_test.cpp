#include "ExpiryScreen_test.h"

#include "DBPrdLoc.h"
#include "LocationChoice.h"
#include "RecordingReportEngine.h"
#include "StockCheck.h"
#include "WSIInvAdjDialog.h"
#include "WSIInvExpiryWatchDialog.h"
#include "WSIInvTransferDialog.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using W = WSIInvExpiryWatchDialog;
using tavel::scan::ChooseLocation;
using tavel::scan::ChosenLocation;

void ExpiryScreenTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
    host.Start(data->db.get());
    data->AddAdjCode("DEC", tavel::AdjustmentType::Decrease, 0);
    data->AddAdjCode("EXP", tavel::AdjustmentType::Decrease, 0);
    // Today is 03/15/2026.
    vaccine = Lot("VACC01", "WARD", 5, {2026, 3, 10});
    gauze = Lot("GAUZE1", "WARD", 8, {2026, 4, 14});
    syringe = Lot("SYRNG1", "STORE", 4, {2026, 4, 15});
    saline = Lot("SALINE", "STORE", 9, {2026, 9, 30});
    QVERIFY(vaccine && gauze && syringe && saline);
}

void ExpiryScreenTest::cleanup() {
    data->Close();
    data.reset();
}

long ExpiryScreenTest::Lot(const char* code, const char* loc, short quantity,
                           const WSIDate& expiry) {
    const long p = data->AddProduct(code);
    data->Exec("UPDATE PRODUCT SET \"TrackExpiryDate\" = 1 WHERE \"Product\" = " +
               std::to_string(p));
    data->AddPrdLoc(p, loc, quantity);
    const long item = data->AddItem(p, loc, quantity, quantity);
    data->Exec("UPDATE INVITEM SET \"ExpiryDate\" = '" + std::to_string(expiry.year) + "-" +
               (expiry.month < 10 ? "0" : "") + std::to_string(expiry.month) + "-" +
               (expiry.day < 10 ? "0" : "") + std::to_string(expiry.day) +
               "' WHERE \"InvItem\" = " + std::to_string(item));
    // The receipt's detail, so that the lot's history adds up to its balance.
    WSIInvItDet d(data->db.get());
    d.data.InvItem = item;
    d.data.Type = tavel::MovementType::Receipt;
    ScreensData::Put(d.data.InvLoc, loc);
    d.data.Product = p;
    d.data.Quantity = quantity;
    d.data.CostPerUnit = 2.5;
    d.data.Audit = data->AddAudit();
    return d.InsertDB(__FILE__, __LINE__) ? p : 0;
}

double ExpiryScreenTest::Balance(long product, const char* loc) {
    DBPrdLoc prdLoc(data->db.get());
    return prdLoc.GetPrdLoc(product, loc, false) ? prdLoc.data.Balance : -1.0;
}

bool ExpiryScreenTest::StockConsistent() {
    const auto violations = tavel::CheckStock(*data->db);
    for (const auto& v : violations)
        qWarning("%s: %s", tavel::RuleName(v.rule), v.text.c_str());
    return violations.empty();
}

namespace {
QStringList Column(const WSIListWindow& list, int column) {
    QStringList out;
    for (int row = 0; row < list.RowCount(); ++row)
        out << list.ItemText(row, column);
    return out;
}
} // namespace

void ExpiryScreenTest::WindowAndLocationChooseTheLots() {
    W watch(nullptr, &host);
    auto* window = watch.findChild<QComboBox*>("window");
    auto* location = watch.findChild<QComboBox*>("location");
    auto* until = watch.findChild<QLineEdit*>("untilDate");
    auto* summary = watch.findChild<QLabel*>("summary");
    QVERIFY(window && location && until && summary);
    WSIListWindow* list = watch.List();

    // 30 days: the expired lot first, then the one on the window's last day; not the 31st.
    QCOMPARE(Column(*list, W::ColProduct), QStringList({"VACC01", "GAUZE1"}));
    QCOMPARE(Column(*list, W::ColDaysLeft), QStringList({"-5", "30"}));
    QCOMPARE(Column(*list, W::ColStatus), QStringList({"Expired", "Within 30 days"}));
    QCOMPARE(Column(*list, W::ColExpires), QStringList({"03/10/2026", "04/14/2026"}));
    QCOMPARE(Column(*list, W::ColValue), QStringList({"12.50", "20.00"}));
    QVERIFY(summary->text().contains("32.50"));
    QCOMPARE(W::UrgencyColor(watch.Lots()[0].urgency),
             W::UrgencyColor(tavel::ExpiryUrgency::Expired));

    window->setCurrentIndex(1); // 60 days
    QCOMPARE(Column(*list, W::ColProduct), QStringList({"VACC01", "GAUZE1", "SYRNG1"}));
    QCOMPARE(list->ItemText(2, W::ColStatus), QString("Within 60 days"));
    QVERIFY(location->findData("STORE") > 0);
    location->setCurrentIndex(location->findData("STORE"));
    QCOMPARE(Column(*list, W::ColProduct), QStringList({"SYRNG1"}));

    // A day of one's own: the last day counts, a day that does not exist is refused.
    window->setCurrentIndex(W::kWindowByDate);
    QVERIFY(until->isEnabled());
    until->setText("09/30/2026");
    QVERIFY(watch.DoCommand(W::IdSearch));
    QCOMPARE(Column(*list, W::ColProduct), QStringList({"SYRNG1", "SALINE"}));
    until->setText("09/29/2026");
    QVERIFY(watch.DoCommand(W::IdSearch));
    QCOMPARE(Column(*list, W::ColProduct), QStringList({"SYRNG1"}));
    host.ClearRecords();
    until->setText("02/30/2026");
    QVERIFY(watch.DoCommand(W::IdSearch));
    QVERIFY(host.Said(W::kMsgBadDate));
    QCOMPARE(list->RowCount(), 1); // the last good list stays

    // All locations, 90 days, sorted by a click on a heading.
    location->setCurrentIndex(0);
    window->setCurrentIndex(2);
    emit list->horizontalHeader()->sectionClicked(W::ColProduct);
    QCOMPARE(Column(*list, W::ColProduct), QStringList({"GAUZE1", "SYRNG1", "VACC01"}));
    emit list->horizontalHeader()->sectionClicked(W::ColDaysLeft);
    QCOMPARE(Column(*list, W::ColProduct), QStringList({"VACC01", "GAUZE1", "SYRNG1"}));
}

void ExpiryScreenTest::ExpiredLotWrittenOffThroughTheAdjustmentScreen() {
    W watch(nullptr, &host);
    watch.List()->SelectRow(0);
    QCOMPARE(watch.List()->ItemText(0, W::ColProduct), QString("VACC01"));
    bool opened = false;
    {
        SubScreenScript script([&](WSIDialog& d) {
            auto* adj = dynamic_cast<WSIInvAdjDialog*>(&d);
            if (!adj)
                return int(id::CANCEL);
            opened = true;
            auto* quantity = adj->findChild<QLineEdit*>("quantity");
            if (adj->LocationCode() != "WARD" || adj->CodeField()->text() != "EXP" ||
                adj->Entry()->text() != "VACC01" || !quantity || quantity->text() != "5")
                return int(id::CANCEL);
            // Enter confirms what the watch filled in.
            adj->SetScanDelay(60000);
            adj->show();
            adj->activateWindow();
            if (!QTest::qWaitForWindowActive(adj))
                return int(id::CANCEL);
            QTest::keyClick(adj->Entry(), Qt::Key_Return);
            return int(id::CANCEL);
        });
        QVERIFY(watch.DoCommand(W::IdAdjust));
    }
    QVERIFY(opened);
    QVERIFY(host.boxes.empty());
    QCOMPARE(Balance(vaccine, "WARD"), 0.0);
    QVERIFY(StockConsistent());
    // Written off, the lot has left the watch.
    QCOMPARE(Column(*watch.List(), W::ColProduct), QStringList({"GAUZE1"}));
}

void ExpiryScreenTest::LotMovedThroughTheTransferScreen() {
    data->AddPrdLoc(gauze, "STORE", 0);
    W watch(nullptr, &host);
    watch.List()->SelectRow(1);
    QCOMPARE(watch.List()->ItemText(1, W::ColProduct), QString("GAUZE1"));
    bool opened = false;
    {
        SubScreenScript script([&](WSIDialog& d) {
            auto* t = dynamic_cast<WSIInvTransferDialog*>(&d);
            if (!t)
                return int(id::CANCEL);
            opened = true;
            auto* from = t->findChild<QComboBox*>("transferFrom");
            auto* to = t->findChild<QComboBox*>("transferTo");
            auto* quantity = t->findChild<QLineEdit*>("quantity");
            if (t->CurrentMode() != WSIInvTransferDialog::Mode::ByProduct || !from || !to ||
                !quantity || ChosenLocation(*from) != "WARD" || quantity->text() != "8" ||
                t->Entry()->text() != "GAUZE1" || !ChooseLocation(*to, "STORE"))
                return int(id::CANCEL);
            t->SetScanDelay(60000);
            t->show();
            t->activateWindow();
            if (!QTest::qWaitForWindowActive(t))
                return int(id::CANCEL);
            QTest::keyClick(t->Entry(), Qt::Key_Return);
            return int(id::OK);
        });
        QVERIFY(watch.DoCommand(W::IdTransfer));
    }
    QVERIFY(opened);
    QCOMPARE(Balance(gauze, "WARD"), 0.0);
    QCOMPARE(Balance(gauze, "STORE"), 8.0);
    QVERIFY(StockConsistent());
    // The lot now lies at the store room, with its expiry day.
    QCOMPARE(watch.List()->RowCount(), 2);
    QCOMPARE(watch.List()->ItemText(1, W::ColLocation).left(5), QString("STORE"));
}

void ExpiryScreenTest::WithoutExpiredStockCodeTheUserPicksOne() {
    data->Exec("UPDATE INVADJ SET \"Inactive\" = 1 WHERE \"InvAdj\" = 'EXP'");
    W watch(nullptr, &host);
    watch.List()->ClearRowSelection();
    // Nothing selected: said so, nothing opens.
    bool opened = false;
    {
        SubScreenScript script([&](WSIDialog&) {
            opened = true;
            return int(id::CANCEL);
        });
        watch.CmAdjust();
        QVERIFY(host.Said(W::kMsgSelectLot));
        QVERIFY(!opened);
        watch.List()->SelectRow(0);
        QString code = "-";
        SubScreenScript pick([&](WSIDialog& d) {
            if (auto* adj = dynamic_cast<WSIInvAdjDialog*>(&d))
                code = adj->CodeField()->text();
            return int(id::CANCEL);
        });
        watch.CmAdjust();
        QCOMPARE(code, QString()); // left for the user to choose
    }
    // A lot used up at another workstation meanwhile is said, and the list read again.
    data->Exec("UPDATE INVITEM SET \"Balance\" = 0 WHERE \"Product\" = " + std::to_string(vaccine));
    host.ClearRecords();
    watch.List()->SelectRow(0);
    watch.CmTransfer();
    QVERIFY(host.Said(W::kMsgLotGone));
    QCOMPARE(Column(*watch.List(), W::ColProduct), QStringList({"GAUZE1"}));
}

void ExpiryScreenTest::MainScreenCommandOpensTheWatch() {
    WSIInventoryDialog main(nullptr, &host);
    std::vector<std::string> products;
    SubScreenScript script([&](WSIDialog& d) {
        if (auto* watch = dynamic_cast<W*>(&d))
            for (const auto& lot : watch->Lots())
                products.push_back(lot.productCode);
        return int(id::CANCEL);
    });
    QVERIFY(main.DoCommand(WSIInventoryDialog::IdExpiry));
    QCOMPARE(products, (std::vector<std::string>{"VACC01", "GAUZE1"}));
}

void ExpiryScreenTest::PrintPassesTheWindowAndLocation() {
    RecordingReportEngine recording;
    host.engine = &recording;
    W watch(nullptr, &host);
    auto* window = watch.findChild<QComboBox*>("window");
    auto* location = watch.findChild<QComboBox*>("location");
    QVERIFY(window && location);
    window->setCurrentIndex(1); // 60 days: the last day is 05/14/2026
    location->setCurrentIndex(location->findData("STORE"));
    QVERIFY(watch.DoCommand(W::IdPrint));
    // And for every location.
    location->setCurrentIndex(0);
    QVERIFY(watch.DoCommand(W::IdPrint));
    host.engine = nullptr;

    QCOMPARE(recording.reports.size(), std::size_t(2));
    // Formula values travel between double quotes.
    using Formulas = std::vector<std::pair<std::string, std::string>>;
    const Formulas store = {{"UntilYear", "\"2026\""},
                            {"UntilMonth", "\"5\""},
                            {"UntilDay", "\"14\""},
                            {"AllLocations", "\"0\""},
                            {"InvLoc", "\"STORE\""}};
    const Formulas all = {{"UntilYear", "\"2026\""},
                          {"UntilMonth", "\"5\""},
                          {"UntilDay", "\"14\""},
                          {"AllLocations", "\"1\""},
                          {"InvLoc", "\"\""}};
    QCOMPARE(recording.reports[0].file, std::string(W::kReportFile));
    QVERIFY(recording.reports[0].preview);
    QVERIFY(recording.reports[0].formulas == store);
    QVERIFY(recording.reports[1].formulas == all);
}

#include "MoveScreens_test.h"

#include "DBPrdLoc.h"
#include "LocationChoice.h"
#include "StockCheck.h"
#include "WSICodeTableDialogs.h"
#include "WSIInvAdjDialog.h"
#include "WSIInvStockViews.h"
#include "WSIInvTransferDialog.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using T = WSIInvTransferDialog;
using tavel::scan::ChooseLocation;

namespace {
constexpr WSIDate kExpired{2026, 1, 31}; // before the fixture's today
} // namespace

void MoveScreensTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
    host.ClearRecords();
    host.db = data->db.get();
    tavel::CurrentInventoryApp()->AttachHost(&host);
    tavel::CurrentInventoryApp()->SetMinProductLength(6);
    data->AddAdjCode("DEC", tavel::AdjustmentType::Decrease, 0);
    data->AddAdjCode("INC", tavel::AdjustmentType::Increase, 0);
    data->AddAdjCode("CNT", tavel::AdjustmentType::Count, 0);
    data->AddAdjCode("OLD", tavel::AdjustmentType::Decrease, 1);
}

void MoveScreensTest::cleanup() {
    data->Close();
    data.reset();
}

void MoveScreensTest::Show(WSIInvScanDialog& screen) {
    screen.SetScanDelay(60000);
    screen.show();
    screen.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&screen));
}

void MoveScreensTest::Scan(WSIInvScanDialog& screen, const QString& text) {
    QTest::keyClicks(screen.Entry(), text);
    QTest::keyClick(screen.Entry(), Qt::Key_Return);
}

long MoveScreensTest::Product(const char* code, const char* loc, short quantity, double balance,
                              short trackUsage) {
    const long p = data->AddProduct(code);
    data->AddPrdLoc(p, loc, balance, trackUsage);
    if (quantity > 0)
        Lot(p, loc, quantity, balance);
    return p;
}

long MoveScreensTest::Lot(long product, const char* loc, short quantity, double balance,
                          long invOrdIt, long invRec) {
    const long item = data->AddItem(product, loc, quantity, balance, invOrdIt, 0, invRec);
    // Its history: what came in, and what has been used of it since.
    auto detail = [&](short type, double q) {
        WSIInvItDet d(data->db.get());
        d.data.InvItem = item;
        d.data.Type = type;
        ScreensData::Put(d.data.InvLoc, loc);
        d.data.Product = product;
        d.data.Quantity = q;
        d.data.CostPerUnit = 2.5;
        d.data.Audit = data->AddAudit();
        return d.InsertDB(__FILE__, __LINE__);
    };
    bool stored = detail(tavel::MovementType::Receipt, quantity);
    if (balance < quantity)
        stored = detail(tavel::MovementType::Usage, balance - quantity) && stored;
    return stored ? item : 0;
}

double MoveScreensTest::Balance(long product, const char* loc) {
    DBPrdLoc prdLoc(data->db.get());
    return prdLoc.GetPrdLoc(product, loc, false) ? prdLoc.data.Balance : -1.0;
}

double MoveScreensTest::LastCount(long product, const char* loc) {
    DBPrdLoc prdLoc(data->db.get());
    return prdLoc.GetPrdLoc(product, loc, false) ? prdLoc.data.LastCount : -1.0;
}

int MoveScreensTest::Items(long product, const char* loc, const char* from) {
    long count = 0;
    const std::string sql = "SELECT COUNT(1) FROM INVITEM WHERE \"Product\" = %ld AND \"InvLoc\" = "
                            "'%s'" +
                            std::string(from ? " AND \"InvLocFrom\" = '%s'" : "");
    auto q = data->db->Query(__FILE__, __LINE__, sql.c_str(), &count, product, loc, from);
    return q->GetFirst() ? static_cast<int>(count) : -1;
}

bool MoveScreensTest::Choose(WSIInvTransferDialog& screen, const char* from, const char* to) {
    auto* fromList = screen.findChild<QComboBox*>("transferFrom");
    auto* toList = screen.findChild<QComboBox*>("transferTo");
    return fromList && toList && ChooseLocation(*fromList, from) && ChooseLocation(*toList, to);
}

bool MoveScreensTest::StockConsistent() {
    const auto violations = tavel::CheckStock(*data->db);
    for (const auto& v : violations)
        qWarning("%s: %s", tavel::RuleName(v.rule), v.text.c_str());
    return violations.empty();
}

// --- Transfer ------------------------------------------------------------------------------

void MoveScreensTest::Transfer_ScansAddUpAndAModifiedRowMovesTheDifference() {
    const long glove = Product("GLOVE01", "STORE", 10, 10);
    data->AddPrdLoc(glove, "WARD", 0);
    T screen(nullptr, &host);
    QVERIFY(Choose(screen, "STORE", "WARD"));
    auto* from = screen.findChild<QComboBox*>("transferFrom");
    auto* to = screen.findChild<QComboBox*>("transferTo");
    auto* byProduct = screen.findChild<QRadioButton*>("modeByProduct");
    auto* all = screen.findChild<QRadioButton*>("modeAll");
    auto* selected = screen.findChild<QRadioButton*>("modeSelected");
    QVERIFY(byProduct && all && selected);
    Show(screen);
    // Opened without the received list, from a store room: scanning is the only way.
    QVERIFY(byProduct->isChecked());
    QVERIFY(!selected->isEnabled());
    QVERIFY(!all->isEnabled());

    Scan(screen, "4");
    Scan(screen, "GLOVE01");
    QVERIFY(!from->isEnabled() && !to->isEnabled() && !byProduct->isEnabled());
    QTRY_COMPARE(host.Count(SoundKind::Success), 1);
    Scan(screen, "GLOVE01");
    QTRY_COMPARE(host.Count(SoundKind::Success), 2);
    QCOMPARE(screen.List()->RowCount(), 1);
    QCOMPARE(screen.List()->ItemText(0, T::ColQuantity), QString("5"));
    QCOMPARE(screen.List()->ItemText(0, T::ColProductCode), QString("GLOVE01"));
    QCOMPARE(Balance(glove, "STORE"), 5.0);
    QCOMPARE(Balance(glove, "WARD"), 5.0);
    // Like stock arriving in one batch is one stock item, which remembers its origin.
    QCOMPARE(Items(glove, "WARD", "STORE"), 1);

    // The row's new total is 3: two go back.
    screen.List()->SelectRow(0);
    Scan(screen, "3");
    QCOMPARE(screen.List()->ItemText(0, T::ColQuantity), QString("3"));
    QCOMPARE(Balance(glove, "STORE"), 7.0);
    QCOMPARE(Balance(glove, "WARD"), 3.0);
    QCOMPARE(screen.findChild<QLabel*>("feedbackQuantity")->text(), QString("3"));
    QTRY_COMPARE(host.Count(SoundKind::Success), 3);
    QCOMPARE(host.Count(SoundKind::Error), 0);
    QCOMPARE(host.refreshes.back(), std::make_pair(T::kTemplate, glove));
    QVERIFY(host.boxes.empty());
    QVERIFY(StockConsistent());

    // The list prints through the host under its title.
    QVERIFY(screen.DoCommand(T::CmPrintId));
    QCOMPARE(host.printRequests, 1);
    QCOMPARE(QString::fromStdString(host.lastPrintTitle), host.LoadStringText(T::kTitleMessage));
    QVERIFY(!host.lastPrintTitle.empty());

    // A new transfer frees the locations again.
    screen.DoCommand(T::CmClearId);
    QCOMPARE(screen.List()->RowCount(), 0);
    QVERIFY(from->isEnabled() && to->isEnabled());
}

void MoveScreensTest::Transfer_RefusedScansMoveNothing_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<bool>("deactivateTo");
    QTest::addColumn<unsigned>("message");
    QTest::newRow("more than the location holds") << "STORE"
                                                  << "WARD"
                                                  << "11" << false << 38561u;
    QTest::newRow("from a location without stock") << "CLINIC"
                                                   << "WARD"
                                                   << "1" << false << 38561u;
    QTest::newRow("to the same location") << "STORE"
                                          << "STORE"
                                          << "1" << false << 38536u;
    QTest::newRow("to a location deactivated meanwhile") << "STORE"
                                                         << "CLINIC"
                                                         << "1" << true << 38536u;
}

void MoveScreensTest::Transfer_RefusedScansMoveNothing() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, quantity);
    QFETCH(bool, deactivateTo);
    QFETCH(unsigned, message);
    const long glove = Product("GLOVE01", "STORE", 10, 10);
    for (const char* loc : {"WARD", "CLINIC"})
        data->AddPrdLoc(glove, loc, 0);
    T screen(nullptr, &host);
    QVERIFY(Choose(screen, qPrintable(from), qPrintable(to)));
    auto* fromList = screen.findChild<QComboBox*>("transferFrom");
    auto* toList = screen.findChild<QComboBox*>("transferTo");
    if (deactivateTo)
        data->Exec("UPDATE INVLOC SET \"Inactive\" = 1 WHERE \"InvLoc\" = '" + to.toStdString() +
                   "'");
    Show(screen);
    Scan(screen, quantity);
    Scan(screen, "GLOVE01");

    QVERIFY(host.Said(message));
    QCOMPARE(host.boxes.size(), std::size_t(1));
    QTRY_COMPARE(host.Count(SoundKind::Error), 1);
    QCOMPARE(host.Count(SoundKind::Success), 0);
    QCOMPARE(Balance(glove, "STORE"), 10.0);
    QCOMPARE(Balance(glove, "WARD"), 0.0);
    QCOMPARE(Balance(glove, "CLINIC"), 0.0);
    QCOMPARE(Items(glove, "STORE"), 1);
    QCOMPARE(screen.List()->RowCount(), 0);
    // Nothing is stored: the locations can still be changed, the entry waits for a scan.
    QVERIFY(screen.IsNewBatch());
    QVERIFY(fromList->isEnabled() && toList->isEnabled());
    QVERIFY(screen.Entry()->text().isEmpty());
    QCOMPARE(screen.CurrentProduct(), 0L);
    QVERIFY(StockConsistent());
}

void MoveScreensTest::Transfer_RowTotalBeyondOneMovementIsRefusedWhenModified() {
    // Five lots of 9,999 (the most a lot holds), each of its own cost so that each arrives as
    // a lot of its own: the row adds up to 49,995, more than a 16-bit quantity.
    const long glove = Product("GLOVE01", "STORE", 0, 0);
    for (int i = 0; i < 5; ++i)
        QVERIFY(Lot(glove, "STORE", 9999, 9999));
    data->Exec("UPDATE INVITEM SET \"CostPerUnit\" = \"InvItem\"");
    data->Exec("UPDATE INVITDET SET \"CostPerUnit\" = \"InvItem\"");
    data->Exec("UPDATE PRDLOC SET \"Balance\" = 49995 WHERE \"InvLoc\" = 'STORE'");
    data->AddPrdLoc(glove, "WARD", 0);
    T screen(nullptr, &host);
    QVERIFY(Choose(screen, "STORE", "WARD"));
    Show(screen);
    for (int i = 0; i < 5; ++i) {
        Scan(screen, "9999");
        Scan(screen, "GLOVE01");
    }
    QVERIFY(host.boxes.empty());
    QCOMPARE(screen.List()->ItemText(0, T::ColQuantity), QString("49995"));
    QCOMPARE(Balance(glove, "WARD"), 49995.0);

    // Back to 1 would move 49,994 at once: refused, nothing moves.
    screen.List()->SelectRow(0);
    Scan(screen, "1");
    QVERIFY(host.Showed(38512));
    QCOMPARE(Balance(glove, "WARD"), 49995.0);
    QCOMPARE(Balance(glove, "STORE"), 0.0);
    QCOMPARE(screen.List()->ItemText(0, T::ColQuantity), QString("49995"));
    QVERIFY(StockConsistent());
}

void MoveScreensTest::Transfer_AllModeEmptiesATypeTwoLocation() {
    data->AddLocation("CART", tavel::LocationType::NoStock);
    const long glove = Product("GLOVE01", "CART", 4, 4);
    const long mask = Product("MASK001", "CART", 3, 2);
    const long swab = Product("SWAB001", "STORE", 5, 5);
    for (long p : {glove, mask})
        data->AddPrdLoc(p, "STORE", 0);
    T screen(nullptr, &host);
    QVERIFY(Choose(screen, "STORE", "STORE"));
    auto* from = screen.findChild<QComboBox*>("transferFrom");
    auto* all = screen.findChild<QRadioButton*>("modeAll");
    auto* add = screen.findChild<QPushButton*>("add");
    QVERIFY(all && add);
    Show(screen);
    QVERIFY(!all->isEnabled());
    QVERIFY(ChooseLocation(*from, "CART"));
    QVERIFY(all->isEnabled());
    all->click();
    QVERIFY(!screen.Entry()->isEnabled());
    QVERIFY(screen.findChild<QLineEdit*>("quantity")->isHidden());

    // A user the host keeps from adding cannot start it.
    host.restricted.insert({T::kTemplate, T::CmAddId});
    screen.EvCommandEnable();
    QVERIFY(!add->isEnabled());
    host.restricted.clear();
    screen.EvCommandEnable();
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(Balance(glove, "CART"), 0.0);
    QCOMPARE(Balance(mask, "CART"), 0.0);
    QCOMPARE(Balance(glove, "STORE"), 4.0);
    QCOMPARE(Balance(mask, "STORE"), 2.0);
    QCOMPARE(Balance(swab, "STORE"), 5.0);
    QCOMPARE(Items(mask, "STORE", "CART"), 1);
    QCOMPARE(screen.List()->RowCount(), 2);
    QCOMPARE(screen.List()->ItemText(0, T::ColProductCode), QString("GLOVE01"));
    QCOMPARE(screen.List()->ItemText(0, T::ColQuantity), QString("4"));
    QCOMPARE(screen.List()->ItemText(1, T::ColQuantity), QString("2"));
    // Done: the batch keeps its mode, and everything cannot be moved twice.
    QVERIFY(!add->isEnabled());
    QVERIFY(!all->isEnabled() && !from->isEnabled());
    QVERIFY(std::count(host.refreshes.begin(), host.refreshes.end(),
                       std::make_pair(T::kTemplate, mask)) == 1);
    QTRY_COMPARE(host.Count(SoundKind::Success), 1);
    QVERIFY(StockConsistent());
}

void MoveScreensTest::Transfer_AllModeRefusalKeepsWhatMovedBefore() {
    data->AddLocation("CART", tavel::LocationType::NoStock);
    const long glove = Product("GLOVE01", "CART", 4, 4);
    // The mask's records disagree (the location says 5, its lot 3): its transfer is refused.
    const long mask = Product("MASK001", "CART", 3, 3);
    data->Exec("UPDATE PRDLOC SET \"Balance\" = 5 WHERE \"Product\" = " + std::to_string(mask));
    for (long p : {glove, mask})
        data->AddPrdLoc(p, "STORE", 0);
    T screen(nullptr, &host);
    QVERIFY(Choose(screen, "CART", "STORE"));
    Show(screen);
    screen.findChild<QRadioButton*>("modeAll")->click();
    QVERIFY(screen.DoCommand(T::CmAddId));

    QVERIFY(host.Said(38575));
    QCOMPARE(Balance(glove, "STORE"), 4.0);
    QCOMPARE(Balance(mask, "CART"), 5.0);
    QCOMPARE(Balance(mask, "STORE"), 0.0);
    // What moved is listed and belongs to the batch: the locations are fixed now.
    QCOMPARE(screen.List()->RowCount(), 1);
    QCOMPARE(screen.List()->ItemText(0, T::ColProductCode), QString("GLOVE01"));
    QVERIFY(!screen.IsNewBatch());
    QVERIFY(!screen.findChild<QComboBox*>("transferFrom")->isEnabled());
    QTRY_COMPARE(host.Count(SoundKind::Error), 1);
}

void MoveScreensTest::MainScreen_TransferOfSelectedReceivedItemsAndTheOtherCommands() {
    const long glove = Product("GLOVE01", "STORE", 0, 0);
    const long mask = Product("MASK001", "STORE", 0, 0);
    const long order = data->AddOrder(true, "WARD");
    const long rec = data->AddReceipt("STORE");
    QVERIFY(Lot(glove, "STORE", 6, 6, data->AddOrdIt(order, glove, 6, 7, 6), rec));
    QVERIFY(Lot(mask, "STORE", 2, 2, data->AddOrdIt(order, mask, 2, 7, 2), rec));
    data->Exec("UPDATE PRDLOC SET \"Balance\" = 6 WHERE \"Product\" = " + std::to_string(glove));
    data->Exec("UPDATE PRDLOC SET \"Balance\" = 2 WHERE \"Product\" = " + std::to_string(mask));
    for (long p : {glove, mask})
        data->AddPrdLoc(p, "WARD", 0);

    WSIInventoryDialog main(nullptr, &host);
    // Adjust and Usage open their screens; Transfer is checked below.
    for (int command : {int(WSIInventoryDialog::IdAdjust), int(WSIInventoryDialog::IdUsage)}) {
        int template_ = 0;
        SubScreenScript script([&template_](WSIDialog& d) {
            if (dynamic_cast<WSIInvAdjBaseDialog*>(&d))
                template_ = d.TemplateId();
            return int(id::CANCEL);
        });
        QVERIFY(main.DoCommand(command));
        QCOMPARE(template_, command == WSIInventoryDialog::IdAdjust ? WSIInvAdjDialog::kTemplate
                                                                    : WSIInvUsageDlg::kTemplate);
    }
    main.SelectTab(WSIInventoryDialog::TabReceived);
    QVERIFY(main.DoCommand(WSIInventoryDialog::IdSearch));
    auto* view = static_cast<WSIInvReceivedDialog*>(main.ListView(WSIInventoryDialog::TabReceived));
    QCOMPARE(view->List()->RowCount(), 2);
    view->List()->SelectRow(0);
    view->List()->SelectRow(1, true);

    bool opened = false;
    {
        SubScreenScript script([&](WSIDialog& d) {
            auto* t = dynamic_cast<T*>(&d);
            if (!t)
                return int(id::CANCEL);
            opened = true;
            // The selection decides: the ordering location is the destination.
            if (t->CurrentMode() != T::Mode::Selected)
                return int(id::CANCEL);
            auto* to = t->findChild<QComboBox*>("transferTo");
            auto* from = t->findChild<QComboBox*>("transferFrom");
            if (tavel::scan::ChosenLocation(*to) != "WARD" ||
                tavel::scan::ChosenLocation(*from) != "STORE" || t->Entry()->isEnabled())
                return int(id::CANCEL);
            t->DoCommand(T::CmAddId);
            return t->List()->RowCount() == 2 && !to->isEnabled() ? int(id::OK) : int(id::NO);
        });
        QVERIFY(main.DoCommand(WSIInventoryDialog::IdTransfer));
    }
    QVERIFY(opened);
    QCOMPARE(Balance(glove, "STORE"), 0.0);
    QCOMPARE(Balance(mask, "STORE"), 0.0);
    QCOMPARE(Balance(glove, "WARD"), 6.0);
    QCOMPARE(Balance(mask, "WARD"), 2.0);
    QCOMPARE(Items(glove, "WARD", "STORE"), 1);
    QVERIFY(host.boxes.empty());
    QVERIFY(StockConsistent());
}

void MoveScreensTest::Transfer_SelectedModeWithoutCommonLocationRefuses() {
    const long glove = Product("GLOVE01", "STORE", 6, 6);
    data->AddPrdLoc(glove, "WARD", 0);
    WSIReceivedData row{};
    row.InvItem = 1;
    row.Product = glove;
    row.Balance = 6;
    std::snprintf(row.InvLoc, sizeof row.InvLoc, "STORE");
    T screen(
        nullptr, &host, [&row] { return std::vector<const WSIReceivedData*>{&row}; }, "");
    auto* selected = screen.findChild<QRadioButton*>("modeSelected");
    QVERIFY(selected);
    Show(screen);
    QVERIFY(selected->isEnabled());
    QVERIFY(!selected->isChecked());
    selected->click();
    QVERIFY(screen.DoCommand(T::CmAddId));
    QVERIFY(host.Showed(T::kMsgNoOrderingLocation));
    QCOMPARE(Balance(glove, "STORE"), 6.0);
    QCOMPARE(Balance(glove, "WARD"), 0.0);
    QVERIFY(screen.IsNewBatch());
}

// --- Adjustment and usage ------------------------------------------------------------------

void MoveScreensTest::Adjust_CodeTypeDecidesTheChange_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("lastCount");
    QTest::addColumn<int>("countDetails");
    // One lot of 10 with 6 left.
    QTest::newRow("decrease") << "DEC"
                              << "2" << 4.0 << 0.0 << 0;
    QTest::newRow("increase into the lot's room") << "INC"
                                                  << "3" << 9.0 << 0.0 << 0;
    QTest::newRow("count below the balance") << "CNT"
                                             << "5" << 5.0 << 5.0 << 1;
    QTest::newRow("count of an empty shelf") << "CNT"
                                             << "0" << 0.0 << 0.0 << 1;
    QTest::newRow("count equal to the balance") << "CNT"
                                                << "6" << 6.0 << 6.0 << 1;
}

void MoveScreensTest::Adjust_CodeTypeDecidesTheChange() {
    QFETCH(QString, code);
    QFETCH(QString, quantity);
    QFETCH(double, balance);
    QFETCH(double, lastCount);
    QFETCH(int, countDetails);
    const long glove = Product("GLOVE01", "WARD", 10, 6);
    WSIInvAdjDialog screen(nullptr, &host);
    auto* loc = screen.findChild<QComboBox*>("location");
    QVERIFY(loc && screen.CodeField());
    QVERIFY(ChooseLocation(*loc, "WARD"));
    Show(screen);
    screen.CodeField()->setText(code);
    QVERIFY(!screen.findChild<QLabel*>("adjCodeDescription")->text().isEmpty());
    Scan(screen, quantity);
    Scan(screen, "GLOVE01");

    QVERIFY(host.boxes.empty());
    QCOMPARE(Balance(glove, "WARD"), balance);
    QCOMPARE(LastCount(glove, "WARD"), lastCount);
    long details = 0;
    auto q = data->db->Query(
        __FILE__, __LINE__,
        "SELECT COUNT(1) FROM INVITDET WHERE \"Type\" = 6 AND \"Product\" = %ld", &details, glove);
    QVERIFY(q->GetFirst());
    QCOMPARE(int(details), countDetails);
    // The outcome stays in view; the entry is ready for the next product.
    QCOMPARE(screen.findChild<QLabel*>("feedbackQuantity")->text(), quantity);
    QCOMPARE(screen.findChild<QLabel*>("feedbackDescription")->text(), QString("GLOVE01"));
    QCOMPARE(screen.CurrentProduct(), 0L);
    QCOMPARE(screen.findChild<QLineEdit*>("quantity")->text(), QString("1"));
    QVERIFY(screen.Entry()->hasFocus());
    QTRY_COMPARE(host.Count(SoundKind::Success), 1);
    QCOMPARE(host.refreshes.back(), std::make_pair(WSIInvAdjDialog::kTemplate, glove));
    QVERIFY(StockConsistent());
}

void MoveScreensTest::Adjust_RefusalRepeatedAfterItsQuestion_data() {
    QTest::addColumn<bool>("usage");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("lotQuantity");
    QTest::addColumn<double>("lotBalance");
    QTest::addColumn<short>("trackUsage");
    QTest::addColumn<int>("expiry"); // 0 none, 1 expired, 2 not tracked
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("warning");   // the warning screen asked, 0 for none
    QTest::addColumn<QString>("asked"); // what the question box says, "" for none
    QTest::addColumn<double>("balance");

    QTest::newRow("shortage, yes creates the missing stock")
        << false << "DEC" << 6 << 6.0 << short(1) << 2 << "8" << int(id::YES) << 0 << "is 2 short"
        << 0.0;
    QTest::newRow("shortage, no stores nothing") << false << "DEC" << 6 << 6.0 << short(1) << 2
                                                 << "8" << int(id::NO) << 0 << "is 2 short" << 6.0;
    QTest::newRow("more than the lots take back, yes makes a new lot")
        << false << "INC" << 10 << 10.0 << short(1) << 2 << "3" << int(id::YES) << 0
        << "adds 3 more" << 13.0;
    QTest::newRow("shortage where usage is not tracked, no question")
        << false << "DEC" << 6 << 6.0 << short(0) << 2 << "8" << int(id::YES) << 0 << "" << 0.0;
    QTest::newRow("expired lot, yes uses it")
        << true << "" << 5 << 5.0 << short(1) << 1 << "2" << int(id::OK) << 25108 << "" << 3.0;
    QTest::newRow("expired lot, no stores nothing")
        << true << "" << 5 << 5.0 << short(1) << 1 << "2" << int(id::CANCEL) << 25108 << "" << 5.0;
    QTest::newRow("undated lot, yes uses it")
        << true << "" << 5 << 5.0 << short(1) << 0 << "2" << int(id::OK) << 25117 << "" << 3.0;
}

void MoveScreensTest::Adjust_RefusalRepeatedAfterItsQuestion() {
    QFETCH(bool, usage);
    QFETCH(QString, code);
    QFETCH(int, lotQuantity);
    QFETCH(double, lotBalance);
    QFETCH(short, trackUsage);
    QFETCH(int, expiry);
    QFETCH(QString, quantity);
    QFETCH(int, answer);
    QFETCH(int, warning);
    QFETCH(QString, asked);
    QFETCH(double, balance);
    const long p =
        Product("VACC001", "WARD", static_cast<short>(lotQuantity), lotBalance, trackUsage);
    if (expiry != 2)
        data->Exec("UPDATE PRODUCT SET \"TrackExpiryDate\" = 1 WHERE \"Product\" = " +
                   std::to_string(p));
    if (expiry == 1) {
        WSIInvItem item(data->db.get());
        QVERIFY(item.GetFirst());
        item.data.ExpiryDate = kExpired;
        QVERIFY(item.UpdateDB(__FILE__, __LINE__));
    }
    if (warning)
        host.warnAnswers = {answer};
    else
        host.boxAnswers = {answer};

    std::unique_ptr<WSIInvAdjBaseDialog> screen;
    if (usage)
        screen = std::make_unique<WSIInvUsageDlg>(nullptr, &host);
    else
        screen = std::make_unique<WSIInvAdjDialog>(nullptr, &host);
    QVERIFY(ChooseLocation(*screen->LocationList(), "WARD"));
    if (!usage)
        static_cast<WSIInvAdjDialog&>(*screen).CodeField()->setText(code);
    Show(*screen);
    Scan(*screen, quantity);
    Scan(*screen, "VACC001");

    QCOMPARE(host.warnings, warning ? std::vector<int>{warning} : std::vector<int>{});
    QCOMPARE(host.boxes.size(), std::size_t(asked.isEmpty() ? 0 : 1));
    if (!asked.isEmpty())
        QVERIFY(QString::fromStdString(host.boxes[0].text).contains(asked));
    QCOMPARE(Balance(p, "WARD"), balance);
    const bool stored = answer == id::YES || answer == id::OK;
    QTRY_COMPARE(host.Count(stored ? SoundKind::Success : SoundKind::Error), 1);
    QCOMPARE(host.Count(stored ? SoundKind::Error : SoundKind::Success), 0);
    QCOMPARE(screen->CurrentProduct(), 0L);
    QVERIFY(screen->Entry()->text().isEmpty());
    QVERIFY(StockConsistent());
}

void MoveScreensTest::Adjust_CodeLookUpAndInactiveCode() {
    const long glove = Product("GLOVE01", "WARD", 10, 6);
    WSIInvAdjDialog screen(nullptr, &host);
    QVERIFY(ChooseLocation(*screen.LocationList(), "WARD"));
    Show(screen);
    {
        SubScreenScript pick([](WSIDialog& d) {
            auto* codes = dynamic_cast<WSIInvAdjCodesDialog*>(&d);
            if (!codes || !codes->IsLookup() || !codes->LoadList() ||
                !codes->SelectByValue(0, "INC"))
                return int(id::CANCEL);
            codes->DoCommand(cm::Ok);
            return codes->result();
        });
        QVERIFY(screen.DoCommand(WSIInvAdjDialog::CmInvAdjId));
    }
    QCOMPARE(screen.CodeField()->text(), QString("INC"));
    QVERIFY(screen.Entry()->hasFocus());
    Scan(screen, "2");
    Scan(screen, "GLOVE01");
    QCOMPARE(Balance(glove, "WARD"), 8.0);

    // An inactive code is refused, and the code field is where to fix it.
    screen.CodeField()->setText("OLD");
    screen.Entry()->setFocus();
    Scan(screen, "GLOVE01");
    QVERIFY(host.Said(38527));
    QCOMPARE(Balance(glove, "WARD"), 8.0);
    QTRY_VERIFY(screen.CodeField()->hasFocus());
    QTRY_COMPARE(host.Count(SoundKind::Error), 1);
    QVERIFY(StockConsistent());
}

void MoveScreensTest::Adjust_TabFollowsReadingOrder() {
    WSIInvAdjDialog screen(nullptr, &host);
    Show(screen);
    auto* lookUp = screen.findChild<QPushButton*>("adjCodeLookUp");
    QVERIFY(lookUp);
    const std::vector<QWidget*> order = {screen.LocationList(), screen.CodeField(), lookUp,
                                         screen.Entry()};
    screen.LocationList()->setFocus();
    for (std::size_t i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), order[i]);
    }
    for (std::size_t i = order.size() - 1; i > 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QTRY_COMPARE(QApplication::focusWidget(), order[i - 1]);
    }
}

void MoveScreensTest::Usage_NotTrackedIsANoticeWithoutMessageBox() {
    const long glove = Product("GLOVE01", "WARD", 10, 10, 0);
    WSIInvUsageDlg screen(nullptr, &host);
    QVERIFY(ChooseLocation(*screen.LocationList(), "WARD"));
    Show(screen);
    Scan(screen, "5");
    Scan(screen, "GLOVE01");

    QVERIFY(host.boxes.empty());
    QTRY_COMPARE(host.Count(SoundKind::Notice), 1);
    QCOMPARE(host.Count(SoundKind::Error), 0);
    QCOMPARE(host.Count(SoundKind::Success), 0);
    QCOMPARE(screen.findChild<QLabel*>("feedbackQuantity")->text(), QString("N/A"));
    QCOMPARE(screen.findChild<QLabel*>("feedbackDescription")->text(), QString("GLOVE01"));
    QCOMPARE(screen.findChild<QLabel*>("feedbackStatus")->text(), host.LoadStringText(38529));
    QCOMPARE(Balance(glove, "WARD"), 10.0);
    QCOMPARE(Items(glove, "WARD"), 1);
    QCOMPARE(screen.findChild<QLineEdit*>("quantity")->text(), QString("1"));
    QVERIFY(screen.Entry()->text().isEmpty());
    QVERIFY(screen.Entry()->hasFocus());
    QVERIFY(StockConsistent());
}

#include "LotScreens_test.h"

#include "QtReportEngine.h"
#include "RecordingReportEngine.h"
#include "StockCheck.h"
#include "WSIDateEdit.h"
#include "WSIInvProductOverviewDialog.h"
#include "WSIInvRepackageProductDialog.h"
#include "WSIInvSplitDialog.h"
#include "WSIInvStockViews.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"
#include "WSIProductDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using Inv = WSIInventoryDialog;
using Rp = WSIInvRepackageProductDialog;
using Sp = WSIInvSplitDialog;

namespace {

QString Shown(QWidget& screen, const char* name) {
    auto* label = screen.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

// Replaces the field's text as staff type it (each key an edit).
void Type(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

int RowOfItem(WSIInvReceivedDialog* view, long invItem) {
    for (int row = 0; row < view->List()->RowCount(); ++row)
        if (view->RowRecord(row) && view->RowRecord(row)->InvItem == invItem)
            return row;
    return -1;
}

} // namespace

void LotsHost::NotifyUpdate(int source, long id) {
    ScanHost::NotifyUpdate(source, id);
    if (inventory)
        inventory->EvUpdateInfo(source, id);
}

void LotsHost::ProductRefresh(int source, long product) {
    ScanHost::ProductRefresh(source, product);
    if (inventory)
        inventory->EvUpdateInfo(source, product);
}

void LotScreensTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
    host = std::make_unique<LotsHost>();
    host->db = data->db.get();
    tavel::CurrentInventoryApp()->AttachHost(host.get());
}

void LotScreensTest::cleanup() {
    data->Close();
    data.reset();
    host.reset();
}

long LotScreensTest::Product(const char* code, const char* unit, short itemsPerUnit,
                             const char* upc) {
    const long product = data->AddProduct(code);
    WSIProduct p(data->db.get());
    p.data.Product = product;
    p.GetEqual(__FILE__, __LINE__);
    ScreensData::Put(p.data.Unit, unit);
    ScreensData::Put(p.data.UPCCode, upc);
    p.data.ItemsPerUnit = itemsPerUnit;
    p.UpdateDB(__FILE__, __LINE__);
    return product;
}

long LotScreensTest::AddLot(long product, const char* loc, const Lot& lot, WSIDate used) {
    WSIDatabase* db = data->db.get();
    WSIInvItem item(db);
    item.data.InvItem =
        data->AddItem(product, loc, lot.quantity, lot.balance, 0, 0, data->AddReceipt(loc));
    item.GetEqual(__FILE__, __LINE__);
    item.data.CostPerUnit = lot.cost;
    item.data.ExpiryDate = lot.expiry;
    item.data.ItemsPerUnit = lot.itemsPerUnit;
    item.data.Audit = data->AddAudit(lot.received);
    item.UpdateDB(__FILE__, __LINE__);
    const auto detail = [&](short type, double quantity, long audit) {
        WSIInvItDet d(db);
        d.data.InvItem = item.data.InvItem;
        d.data.Type = type;
        ScreensData::Put(d.data.InvLoc, loc);
        d.data.Product = product;
        d.data.Quantity = quantity;
        d.data.CostPerUnit = lot.cost;
        d.data.Audit = audit;
        d.InsertDB(__FILE__, __LINE__);
    };
    detail(tavel::MovementType::Receipt, lot.quantity, item.data.Audit);
    if (lot.balance < lot.quantity)
        detail(tavel::MovementType::Usage, lot.balance - lot.quantity, data->AddAudit(used));
    data->AddPrdLoc(product, loc, lot.balance);
    return item.data.InvItem;
}

WSIInvItem::WSIData LotScreensTest::Item(long invItem) {
    WSIInvItem r(data->db.get());
    r.data.InvItem = invItem;
    r.GetEqual(__FILE__, __LINE__);
    return r.data;
}

long LotScreensTest::Count(const char* sql) {
    long n = -1;
    auto q = data->db->Query(__FILE__, __LINE__, "%s", &n, sql);
    q->GetFirst();
    return n;
}

bool LotScreensTest::StockConsistent() {
    const auto violations = tavel::CheckStock(*data->db);
    for (const auto& v : violations)
        qWarning("%s: %s", tavel::RuleName(v.rule), v.text.c_str());
    return violations.empty();
}

std::unique_ptr<Inv> LotScreensTest::Inventory(int tab, bool perLocation) {
    auto screen = std::make_unique<Inv>(nullptr, host.get());
    for (int id : {int(Inv::IdFromDate), int(Inv::IdToDate)})
        screen->Control<WSIDateEdit>(id)->clear();
    screen->SelectTab(tab);
    if (auto* box = screen->Control<QCheckBox>(Inv::IdPerLocation))
        box->setChecked(perLocation);
    screen->DoCommand(Inv::IdSearch);
    host->inventory = screen.get();
    return screen;
}

// --- Repackaging -------------------------------------------------------------------------

void LotScreensTest::Repackage_TargetFollowsItemsPerUnit_data() {
    QTest::addColumn<short>("sourcePerUnit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<long>("singleItems");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("cost");
    // 3 boxes at 24.00: a total value of 72.00.
    QTest::newRow("same unit, by code") << short(12) << "BOX6" << 36L << "6"
                                        << "12.00";
    QTest::newRow("same unit, by UPC code") << short(12) << "0614141000012" << 36L << "6"
                                            << "12.00";
    QTest::newRow("unit case ignored") << short(12) << "PACK12" << 36L << "3"
                                       << "24.00";
    QTest::newRow("remainder dropped") << short(12) << "BOX5" << 36L << "7"
                                       << "10.29";
    QTest::newRow("less than one target unit") << short(2) << "PACK12" << 6L << "0"
                                               << "0.00";
    QTest::newRow("source per unit below 1 counts 1") << short(0) << "SINGLE" << 3L << "3"
                                                      << "24.00";
    QTest::newRow("other unit") << short(12) << "CASE" << 36L << "0"
                                << "0.00";
    QTest::newRow("no such product") << short(12) << "NOPE" << 36L << "0"
                                     << "0.00";
    QTest::newRow("empty") << short(12) << "" << 36L << "0"
                           << "0.00";
}

void LotScreensTest::Repackage_TargetFollowsItemsPerUnit() {
    QFETCH(short, sourcePerUnit);
    QFETCH(QString, typed);
    QFETCH(long, singleItems);
    QFETCH(QString, quantity);
    QFETCH(QString, cost);
    Product("BOX6", "Box", 6, "0614141000012");
    Product("BOX5", "Box", 5);
    Product("PACK12", "BOX", 12);
    Product("SINGLE", "Box", 1);
    Product("CASE", "Case", 6);
    WSIReceivedData row{};
    ScreensData::Put(row.ProductCode, "BOX12");
    ScreensData::Put(row.Unit, "Box");
    row.ItemsPerUnit = sourcePerUnit;
    row.Balance = 3;
    row.Quantity = 5;
    row.CostPerUnit = 24;
    Rp screen(nullptr, host.get(), row);
    QCOMPARE(Shown(screen, "totalValue"), QStringLiteral("72.00"));
    QCOMPARE(screen.SingleItems(), singleItems);
    screen.TargetProductField()->setText(typed);
    QCOMPARE(screen.NewQuantityField()->text(), quantity);
    QCOMPARE(screen.NewCostField()->text(), cost);
    const bool known = typed != "NOPE" && !typed.isEmpty();
    QCOMPARE(screen.TargetProduct() != 0, known);
    QCOMPARE(Shown(screen, "unitNote").isEmpty(), typed != "CASE");
    if (typed == "NOPE")
        QCOMPARE(Shown(screen, "targetDescription"), host->LoadStringText(40201));
}

void LotScreensTest::RepackageBoxesOfTwelveIntoBoxesOfSixFromTheReceivedList() {
    const long box12 = Product("BOX12", "Box", 12);
    const long box6 = Product("BOX6", "box", 6);
    data->AddPrdLoc(box6, "STORE", 0);
    Lot lot;
    lot.quantity = 5;
    lot.balance = 3;
    lot.cost = 24;
    lot.itemsPerUnit = 12;
    lot.expiry = {2027, 5, 31};
    const long source = AddLot(box12, "STORE", lot);
    auto screen = Inventory(Inv::TabReceived);
    auto* view = static_cast<WSIInvReceivedDialog*>(screen->ListView(Inv::TabReceived));
    const int row = RowOfItem(view, source);
    QVERIFY(row >= 0);
    view->List()->SelectRow(row);
    QVERIFY(view->IsMenuCommandEnabled(WSIInvReceivedDialog::CmRepackageProductId));

    QStringList seen;
    {
        SubScreenScript script([&](WSIDialog& d) {
            if (auto* search = dynamic_cast<WSIProductDialog*>(&d)) {
                search->SetKind(tavel::products::ProductSearchKind::ProductCode);
                search->SearchEdit()->setText("BOX6");
                search->RunSearch();
                search->List()->SelectRow(0);
                search->DoCommand(cm::Ok);
                return search->result();
            }
            auto* dlg = dynamic_cast<Rp*>(&d);
            if (!dlg)
                return int(id::CANCEL);
            dlg->show();
            seen << Shown(*dlg, "singleItems") << Shown(*dlg, "totalValue");
            // A code typed and ended with Enter does not close the screen; the product
            // search finds the product meant.
            QTest::keyClicks(dlg->TargetProductField(), "BOX");
            QTest::keyClick(dlg->TargetProductField(), Qt::Key_Return);
            seen << Shown(*dlg, "targetDescription");
            dlg->DoCommand(Rp::IdProductHelp);
            seen << (dlg->isVisible() && dlg->result() != id::OK ? "open" : "closed")
                 << dlg->NewQuantityField()->text() << dlg->NewCostField()->text();
            // Two boxes only: 24 items, 4 boxes of 6 at 12.00; then 8 typed by hand: 6.00.
            Type(dlg->OldQuantityField(), "2");
            seen << dlg->NewQuantityField()->text() << dlg->NewCostField()->text();
            Type(dlg->NewQuantityField(), "8");
            seen << dlg->NewCostField()->text();
            // Back to the whole balance as worked out.
            Type(dlg->OldQuantityField(), "3");
            dlg->DoCommand(cm::Ok);
            return dlg->result();
        });
        QVERIFY(view->RunMenuCommand(WSIInvReceivedDialog::CmRepackageProductId));
    }
    const QStringList expected = {
        "36", "72.00", host->LoadStringText(40201), "open", "6", "12.00", "4", "12.00", "6.00"};
    QCOMPARE(seen, expected);
    QVERIFY2(host->boxes.empty(), host->boxes.empty() ? "" : host->boxes[0].text.c_str());
    QCOMPARE(Item(source).Balance, 0.0);
    WSIInvItem made(data->db.get());
    auto q = data->db->Query(
        __FILE__, __LINE__,
        "SELECT %s FROM INVITEM WHERE \"Product\" = %ld AND \"InvLoc\" = 'STORE'", WSIResult(made),
        data->db->GetTableColumns(__LINE__, __FILE__, "INVITEM"), box6);
    QVERIFY(q->GetFirst());
    QCOMPARE(made.data.Quantity, short(6));
    QCOMPARE(made.data.Balance, 6.0);
    QCOMPARE(made.data.CostPerUnit, 12.0);
    QVERIFY(!q->GetNext());
    QVERIFY(StockConsistent());
    // Both products are refreshed, and the lot's row shows what is left.
    QCOMPARE(host->updates.back(), std::make_pair(Rp::kTemplate, box12));
    QCOMPARE(host->refreshes.back(), std::make_pair(Rp::kTemplate, box6));
    QCOMPARE(view->RowRecord(RowOfItem(view, source))->Balance, 0.0);
    view->List()->SelectRow(RowOfItem(view, source));
    QVERIFY(!view->IsMenuCommandEnabled(WSIInvReceivedDialog::CmRepackageProductId));
}

void LotScreensTest::RepackageRefusalsWriteNothing() {
    const long box12 = Product("BOX12", "Box", 12);
    Product("BOX6", "Box", 6);
    Product("CASE", "Case", 6);
    Lot lot;
    lot.quantity = 5;
    lot.balance = 3;
    lot.cost = 24;
    lot.itemsPerUnit = 12;
    const long source = AddLot(box12, "STORE", lot);
    auto screen = Inventory(Inv::TabReceived);
    auto* view = static_cast<WSIInvReceivedDialog*>(screen->ListView(Inv::TabReceived));
    const WSIReceivedData row = *view->RowRecord(RowOfItem(view, source));
    const long items = Count("SELECT COUNT(1) FROM INVITEM");
    const long details = Count("SELECT COUNT(1) FROM INVITDET");

    struct Case {
        const char* name;
        const char* oldQuantity;
        const char* target;
        const char* newQuantity; // null: as worked out
        const char* cost;        // null: as worked out
        unsigned message;
        const char* focus;
    };
    const Case cases[] = {
        {"nothing to repackage", "0", "BOX6", nullptr, nullptr, 38512, "oldQuantity"},
        {"more than the balance", "4", "BOX6", nullptr, nullptr, 38198, "oldQuantity"},
        {"quantity empty", "", "BOX6", nullptr, nullptr, 45032, "oldQuantity"},
        {"target empty", "3", "", "6", "12.00", 45032, "targetProduct"},
        {"target unknown", "3", "NOPE", "6", "12.00", 40201, "targetProduct"},
        {"target quantity empty", "3", "BOX6", "", nullptr, 45032, "newQuantity"},
        {"cost empty", "3", "BOX6", nullptr, "", 45032, "newCost"},
        {"cost not a number", "3", "BOX6", nullptr, "12,00", 39705, "newCost"},
        {"cost negative", "3", "BOX6", nullptr, "-1", 39705, "newCost"},
        {"other unit: target quantity 0", "3", "CASE", nullptr, nullptr, 38512, "newQuantity"},
    };
    for (const Case& c : cases) {
        host->boxes.clear();
        Rp dlg(nullptr, host.get(), row);
        dlg.TargetProductField()->setText(c.target);
        dlg.OldQuantityField()->setText(c.oldQuantity);
        if (c.newQuantity)
            dlg.NewQuantityField()->setText(c.newQuantity);
        if (c.cost)
            dlg.NewCostField()->setText(c.cost);
        dlg.show();
        dlg.DoCommand(cm::Ok);
        QVERIFY2(dlg.result() != id::OK, c.name);
        QVERIFY2(host->boxes.size() == 1 && host->Said(c.message), c.name);
        QVERIFY2(dlg.focusWidget() && dlg.focusWidget()->objectName() == c.focus, c.name);
        QVERIFY2(Count("SELECT COUNT(1) FROM INVITEM") == items, c.name);
        QVERIFY2(Count("SELECT COUNT(1) FROM INVITDET") == details, c.name);
    }
    QCOMPARE(Item(source).Balance, 3.0);
    QVERIFY(host->updates.empty() && host->refreshes.empty());
    QVERIFY(StockConsistent());
}

// --- Split -------------------------------------------------------------------------------

void LotScreensTest::SplitFourOffAtNewCostAndExpiryKeepsTheAge() {
    const long gauze = data->AddProduct("GAUZE");
    data->Exec("UPDATE PRODUCT SET \"TrackExpiryDate\" = 1 WHERE \"Product\" = " +
               std::to_string(gauze));
    Lot lot;
    lot.quantity = 10;
    lot.balance = 6;
    lot.cost = 2.5;
    lot.expiry = {2026, 12, 31};
    const long old = AddLot(gauze, "STORE", lot);
    auto screen = Inventory(Inv::TabReceived);
    auto* view = static_cast<WSIInvReceivedDialog*>(screen->ListView(Inv::TabReceived));
    const int rows = view->List()->RowCount();
    view->List()->SelectRow(RowOfItem(view, old));
    QVERIFY(view->IsMenuCommandEnabled(WSIInvReceivedDialog::CmSplitReceiptId));

    host->warnAnswers = {id::OK};
    long made = 0;
    QStringList seen;
    {
        SubScreenScript script([&](WSIDialog& d) {
            auto* dlg = dynamic_cast<Sp*>(&d);
            if (!dlg)
                return int(id::CANCEL);
            dlg->show();
            seen << Shown(*dlg, "receiptDate") << Shown(*dlg, "oldValue");
            QTest::keyClicks(dlg->QuantityField(), "4");
            seen << Shown(*dlg, "oldQuantity") << Shown(*dlg, "oldBalance")
                 << Shown(*dlg, "oldValue") << Shown(*dlg, "newBalance") << Shown(*dlg, "newValue");
            Type(dlg->CostField(), "3.10");
            seen << Shown(*dlg, "newValue");
            dlg->ExpiryField()->setText("06/30/2027");
            dlg->DoCommand(cm::Ok);
            made = dlg->GetNewInvItem();
            return dlg->result();
        });
        QVERIFY(view->RunMenuCommand(WSIInvReceivedDialog::CmSplitReceiptId));
    }
    const QStringList expected = {"03/15/2026", "15.00", "6 Box", "2 Box",
                                  "15.00",      "4 Box", "10.00", "12.40"};
    QCOMPARE(seen, expected);
    QCOMPARE(host->warnings, std::vector<int>{Sp::kWarnCostChanged});
    QVERIFY(made > 0);
    const WSIInvItem::WSIData before = Item(old);
    QCOMPARE(before.Quantity, short(6));
    QCOMPARE(before.Balance, 2.0);
    const WSIInvItem::WSIData after = Item(made);
    QCOMPARE(after.Quantity, short(4));
    QCOMPARE(after.Balance, 4.0);
    QCOMPARE(after.CostPerUnit, 3.1);
    QCOMPARE(after.ExpiryDate, (WSIDate{2027, 6, 30}));
    // The new lot is as old as the lot it came from, so it is taken first as before.
    WSIAuditHis audit(data->db.get());
    audit.data.Audit = after.Audit;
    QVERIFY(audit.GetEqual(__FILE__, __LINE__));
    QCOMPARE(audit.data.Date, (WSIDate{2026, 1, 10}));
    QVERIFY(after.Audit != before.Audit);
    QCOMPARE(Count(("SELECT COUNT(1) FROM PRDLOC WHERE \"Balance\" = 6 AND \"Product\" = " +
                    std::to_string(gauze))
                       .c_str()),
             1L);
    QVERIFY(StockConsistent());
    // The list shows the old lot's new balance and the new lot.
    QCOMPARE(view->List()->RowCount(), rows + 1);
    QCOMPARE(view->RowRecord(RowOfItem(view, old))->Balance, 2.0);
    QVERIFY(RowOfItem(view, made) >= 0);
    QCOMPARE(host->refreshes.back(), std::make_pair(Sp::kTemplate, gauze));
}

void LotScreensTest::SplitRefusalsWriteNothing() {
    const long gauze = data->AddProduct("GAUZE");
    Lot lot;
    lot.quantity = 10;
    lot.balance = 4;
    lot.expiry = {2026, 12, 31};
    const long old = AddLot(gauze, "STORE", lot);
    auto screen = Inventory(Inv::TabReceived);
    auto* view = static_cast<WSIInvReceivedDialog*>(screen->ListView(Inv::TabReceived));
    WSIReceivedData row = *view->RowRecord(RowOfItem(view, old));
    row.TrackExpiryDate = 1;
    const long items = Count("SELECT COUNT(1) FROM INVITEM");

    struct Case {
        const char* name;
        const char* quantity;
        const char* cost;
        const char* expiry;
        int warnAnswer;   // answer to the cost question
        unsigned message; // 0: no message
        const char* focus;
    };
    const Case cases[] = {
        {"quantity empty", "", "2.50", "12/31/2026", id::OK, 45032, "newQuantity"},
        {"quantity 0", "0", "2.50", "12/31/2026", id::OK, 38512, "newQuantity"},
        {"the whole lot", "10", "2.50", "12/31/2026", id::OK, 38228, "newQuantity"},
        {"more than the balance", "5", "2.50", "12/31/2026", id::OK, 38198, "newQuantity"},
        {"expiry empty", "4", "2.50", "", id::OK, 45032, "expiry"},
        {"expiry not a date", "4", "2.50", "02/30/2027", id::OK, 40200, "expiry"},
        {"cost empty", "4", "", "12/31/2026", id::OK, 45032, "newCost"},
        {"cost not a number", "4", "two", "12/31/2026", id::OK, 39705, "newCost"},
        {"new cost declined", "4", "3.00", "12/31/2026", id::CANCEL, 0, "newCost"},
    };
    for (const Case& c : cases) {
        host->boxes.clear();
        host->warnings.clear();
        host->warnAnswers = {c.warnAnswer};
        Sp dlg(nullptr, host.get(), row);
        dlg.show();
        dlg.QuantityField()->setText(c.quantity);
        dlg.CostField()->setText(c.cost);
        dlg.ExpiryField()->setText(c.expiry);
        dlg.DoCommand(cm::Ok);
        QVERIFY2(dlg.result() != id::OK && dlg.GetNewInvItem() == 0, c.name);
        QVERIFY2(c.message ? host->boxes.size() == 1 && host->Said(c.message) : host->boxes.empty(),
                 c.name);
        QVERIFY2((c.message == 0) == (host->warnings.size() == 1), c.name);
        QVERIFY2(dlg.focusWidget() && dlg.focusWidget()->objectName() == c.focus, c.name);
        QVERIFY2(Count("SELECT COUNT(1) FROM INVITEM") == items, c.name);
    }
    QCOMPARE(Item(old).Balance, 4.0);
    QVERIFY(host->updates.empty());

    // The largest split the lot allows passes; the new lot's value follows quantity and cost;
    // a host that writes dates day first sees the date so.
    host->dateFormat = 2;
    host->boxes.clear();
    Sp dlg(nullptr, host.get(), row);
    QCOMPARE(Shown(dlg, "receiptDate"), QStringLiteral("15/03/2026"));
    dlg.QuantityField()->setText("3");
    QCOMPARE(Shown(dlg, "newValue"), QStringLiteral("7.50"));
    dlg.QuantityField()->setText("4");
    dlg.DoCommand(cm::Ok);
    QVERIFY(host->boxes.empty());
    QCOMPARE(dlg.result(), int(id::OK));
    QCOMPARE(Item(old).Balance, 0.0);
    QCOMPARE(Item(dlg.GetNewInvItem()).Balance, 4.0);
    QVERIFY(StockConsistent());
}

// --- Overview ----------------------------------------------------------------------------

void LotScreensTest::OverviewPreviewsTheProductsMovementsAtTheLocation() {
    const long gauze = data->AddProduct("GAUZE");
    const long tape = data->AddProduct("TAPE");
    Lot lot;
    lot.quantity = 10;
    lot.balance = 7;
    lot.cost = 4.25;
    AddLot(gauze, "STORE", lot, {2026, 3, 10}); // received 01/10, 3 used 03/10
    lot.received = {2026, 2, 2};
    AddLot(gauze, "WARD", lot, {2026, 2, 20}); // elsewhere: not in the overview
    lot.received = {2026, 3, 12};
    AddLot(tape, "STORE", lot, {2026, 3, 13}); // another product: not either

    // A summary row has no location to show.
    auto summary = Inventory(Inv::TabLevels, false);
    auto* sumView = static_cast<WSIInvLevelsDialog*>(summary->ListView(Inv::TabLevels));
    QVERIFY(sumView->List()->RowCount() > 0);
    sumView->List()->SelectRow(0);
    bool opened = false;
    {
        SubScreenScript script([&](WSIDialog&) {
            opened = true;
            return int(id::CANCEL);
        });
        QVERIFY(sumView->RunMenuCommand(WSIInvLevelsDialog::CmShowProductOverviewId));
    }
    QVERIFY(!opened);
    QVERIFY(host->Said(38226));
    summary.reset();

    RecordingReportEngine recording;
    host->engine = &recording;
    auto screen = Inventory(Inv::TabLevels, true);
    auto* view = static_cast<WSIInvLevelsDialog*>(screen->ListView(Inv::TabLevels));
    int row = -1;
    for (int r = 0; r < view->List()->RowCount(); ++r)
        if (view->RowRecord(r)->Product == gauze &&
            QByteArray(view->RowRecord(r)->InvLoc).trimmed() == "STORE")
            row = r;
    QVERIFY(row >= 0);
    view->List()->SelectRow(row);
    QVERIFY(view->IsMenuCommandEnabled(WSIInvLevelsDialog::CmShowProductOverviewId));
    QStringList seen;
    {
        SubScreenScript script([&](WSIDialog& d) {
            auto* dlg = dynamic_cast<WSIInvProductOverviewDialog*>(&d);
            if (!dlg)
                return int(id::CANCEL);
            seen << (dlg->StartDateField()->isEnabled() ? "enabled" : "disabled")
                 << dlg->StartDateField()->text();
            dlg->UseStartDateBox()->setChecked(true);
            seen << (dlg->StartDateField()->isEnabled() ? "enabled" : "disabled")
                 << dlg->StartDateField()->text();
            // A date of its own stays when the box is set again.
            dlg->StartDateField()->setText("3/1/2026");
            dlg->UseStartDateBox()->setChecked(false);
            dlg->UseStartDateBox()->setChecked(true);
            seen << dlg->StartDateField()->text();
            dlg->ShowAllCountsBox()->setChecked(true);
            dlg->DoCommand(cm::Ok);
            return dlg->result();
        });
        QVERIFY(view->RunMenuCommand(WSIInvLevelsDialog::CmShowProductOverviewId));
    }
    const QStringList expectedSeen = {"disabled", "", "enabled", "02/15/2026", "3/1/2026"};
    QCOMPARE(seen, expectedSeen);
    QCOMPARE(recording.reports.size(), std::size_t(1));
    const RecordedReport& report = recording.reports[0];
    QCOMPARE(report.file, std::string("PrdOverview.rpt"));
    QCOMPARE(QString::fromStdString(report.title), host->LoadStringText(38195));
    QVERIFY(report.preview);
    const std::vector<std::string> calls = {"open", "formulas", "formulaError", "print", "close"};
    QCOMPARE(report.calls, calls);
    QVERIFY(report.formulaError);
    const std::string id = "\"" + std::to_string(gauze) + "\"";
    const std::vector<std::pair<std::string, std::string>> eight = {
        {"Product", id},           {"InvLoc", "\"STORE\""}, {"UseStartDate", "\"1\""},
        {"StartYear", "\"2026\""}, {"StartMonth", "\"3\""}, {"StartDay", "\"1\""},
        {"ShowAllInvCnt", "\"1\""}};
    QVERIFY(report.formulas == eight);

    // The screen itself: five formulas without a start date; a start date that is not a
    // date is refused and nothing is printed.
    WSIInvProductOverviewDialog dlg(nullptr, host.get(), gauze, "STORE");
    std::vector<std::pair<std::string, std::string>> formulas;
    QVERIFY(dlg.Formulas(formulas));
    const std::vector<std::pair<std::string, std::string>> five = {
        {"Product", std::to_string(gauze)},
        {"InvLoc", "STORE"},
        {"UseStartDate", "0"},
        {"ShowAllInvCnt", "0"}};
    QVERIFY(formulas == five);
    dlg.UseStartDateBox()->setChecked(true);
    dlg.StartDateField()->setText("2/30/2026");
    host->boxes.clear();
    dlg.DoCommand(cm::Ok);
    QVERIFY(host->Said(10003));
    QCOMPARE(recording.reports.size(), std::size_t(1));
    QVERIFY(dlg.result() != id::OK);

    // Rendered: every movement of the product at the location, or those since the date.
    tavel::report::QtReportEngine real(data->db.get());
    host->engine = &real;
    const std::string pdf = (data->dir / "overview.pdf").string();
    real.SetPdfOutput(pdf);
    WSIInvProductOverviewDialog all(nullptr, host.get(), gauze, "STORE");
    all.DoCommand(cm::Ok);
    const QString allText = PdfText(pdf);
    QVERIFY2(allText.contains("All movements"), qPrintable(allText));
    QVERIFY2(allText.contains("01/10/2026") && allText.contains("03/10/2026"), qPrintable(allText));
    QVERIFY2(!allText.contains("02/02/2026") && !allText.contains("03/12/2026"),
             qPrintable(allText));
    std::filesystem::remove(pdf);
    WSIInvProductOverviewDialog since(nullptr, host.get(), gauze, "STORE");
    since.UseStartDateBox()->setChecked(true);
    since.StartDateField()->setText("03/01/2026");
    since.DoCommand(cm::Ok);
    const QString sinceText = PdfText(pdf);
    QVERIFY2(sinceText.contains("Movements since 3/1/2026"), qPrintable(sinceText));
    QVERIFY2(sinceText.contains("03/10/2026") && !sinceText.contains("01/10/2026"),
             qPrintable(sinceText));
}

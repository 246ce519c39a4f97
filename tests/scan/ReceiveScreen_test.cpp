#include "ReceiveScreen_test.h"

#include "BIInvRec.h"
#include "StockCheck.h"
#include "WSIBarCodeView.h"
#include "WSIComboBox.h"
#include "WSIDateEdit.h"
#include "WSIInvAdjustCostsDialog.h"
#include "WSIInvExpiryDialog.h"
#include "WSIInvReceiveDialog.h"
#include "WSIInvStockViews.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"
#include "WSIProductOrderDialog.h"
#include "WSIScanEdit.h"
#include "WSIVendorDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

using R = WSIInvReceiveDialog;
namespace St = tavel::OrdItStatus;

void ReceiveScreenTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
    host.Attach(data->db.get());
}

void ReceiveScreenTest::cleanup() {
    data->Close();
    data.reset();
}

std::unique_ptr<R> ReceiveScreenTest::Open(const char* location) {
    auto screen = std::make_unique<R>(nullptr, &host);
    screen->SetScanDelay(60000);
    auto* loc = screen->findChild<QComboBox*>("location");
    for (int i = 0; loc && i < loc->count(); ++i)
        if (loc->itemText(i).startsWith(QString::fromLatin1(location) + "\t"))
            loc->setCurrentIndex(i);
    screen->show();
    screen->activateWindow();
    if (!QTest::qWaitForWindowActive(screen.get()))
        qWarning("the receiving screen did not become active");
    return screen;
}

std::unique_ptr<R> ReceiveScreenTest::OpenOrder(const char* po) {
    auto screen = Open();
    screen->findChild<QLineEdit*>("poNumber")->setText(po);
    screen->EvPOChange();
    return screen;
}

void ReceiveScreenTest::Scan(R& screen, const QString& text) {
    // A scanner sends the group separator as Ctrl+], the rest as plain keys.
    const QStringList parts = text.split(QChar(WSIScanEdit::kGroupSeparator));
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            const QString gs(QChar(WSIScanEdit::kGroupSeparator));
            QTest::sendKeyEvent(QTest::Press, screen.Entry(), Qt::Key_BracketRight, gs,
                                Qt::ControlModifier);
            QTest::sendKeyEvent(QTest::Release, screen.Entry(), Qt::Key_BracketRight, gs,
                                Qt::ControlModifier);
        }
        QTest::keyClicks(screen.Entry(), parts[i]);
    }
    QTest::keyClick(screen.Entry(), Qt::Key_Return);
}

long ReceiveScreenTest::AddPO(const char* po, const char* loc) {
    const long order = data->AddOrder(true, loc);
    data->Exec("UPDATE INVORDER SET \"PONumber\" = '" + std::string(po) +
               "' WHERE \"InvOrder\" = " + std::to_string(order));
    return order;
}

long ReceiveScreenTest::Product(const char* code, bool tracksExpiry) {
    const long p = data->AddProduct(code);
    data->AddPrdLoc(p, "WARD", 0);
    data->AddPrdLoc(p, "CLINIC", 0);
    if (tracksExpiry)
        data->Exec("UPDATE PRODUCT SET \"TrackExpiryDate\" = 1 WHERE \"Product\" = " +
                   std::to_string(p));
    return p;
}

std::vector<ReceiveScreenTest::Line> ReceiveScreenTest::Lines(long product) {
    WSIDatabase* db = data->db.get();
    WSIInvItem::WSIData row{};
    auto cursor = db->Query(__FILE__, __LINE__,
                            "SELECT %s FROM INVITEM WHERE \"Product\" = %ld AND \"Type\" = 0 "
                            "ORDER BY \"InvItem\"",
                            WSIResult(WSIInvItem::Table(), &row),
                            db->GetTableColumns(__LINE__, __FILE__, "INVITEM"), product);
    std::vector<Line> lines;
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext())
        lines.push_back(
            {row.InvItem, row.InvRec, row.Quantity, row.ExpiryDate, row.RefNo, row.InvOrdIt});
    return lines;
}

short ReceiveScreenTest::Filled(long invOrdIt) {
    WSIInvOrdIt r(data->db.get());
    r.data.InvOrdIt = invOrdIt;
    r.GetEqual(__FILE__, __LINE__);
    return r.data.QtyFilled;
}

bool ReceiveScreenTest::StockConsistent() {
    return tavel::CheckStock(*data->db).empty();
}

std::unique_ptr<SubScreenScript> ReceiveScreenTest::AnswerExpiry(std::vector<QString> dates) {
    expiryDates_.assign(dates.begin(), dates.end());
    return std::make_unique<SubScreenScript>([this](WSIDialog& d) {
        auto* expiry = dynamic_cast<WSIInvExpiryDialog*>(&d);
        if (!expiry || expiryDates_.empty())
            return int(id::CANCEL);
        const QString date = expiryDates_.front();
        expiryDates_.pop_front();
        if (date.isEmpty())
            return int(id::CANCEL);
        expiry->Field()->setText(date);
        expiry->DoCommand(cm::Ok);
        return expiry->result();
    });
}

// --- Entry -------------------------------------------------------------------------------

void ReceiveScreenTest::Entry_TakesCodesAndQuantitiesByLength_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("quantityField");
    QTest::addColumn<unsigned>("message");
    QTest::addColumn<int>("stored");
    // Minimum product length 6: at most 4 digits make a quantity.
    QTest::newRow("quantity") << "12"
                              << "12" << 0u << 0;
    QTest::newRow("four digits, the most") << "9999"
                                           << "9999" << 0u << 0;
    QTest::newRow("five digits") << "12345"
                                 << "1" << 38512u << 0;
    QTest::newRow("short text") << "GLOVE"
                                << "1" << 38512u << 0;
    QTest::newRow("zero") << "0"
                          << "" << 38148u << 0;
    QTest::newRow("code") << "GLOVE01"
                          << "1" << 0u << 1;
    QTest::newRow("code after blanks") << "   GLOVE01"
                                       << "1" << 0u << 1;
    QTest::newRow("unknown code") << "NOSUCH1"
                                  << "1" << 38504u << 0;
    QTest::newRow("4000 characters of noise") << QString(4000, QChar('x')) << "1" << 38504u << 0;
}

void ReceiveScreenTest::Entry_TakesCodesAndQuantitiesByLength() {
    QFETCH(QString, entry);
    QFETCH(QString, quantityField);
    QFETCH(unsigned, message);
    QFETCH(int, stored);
    const long p = Product("GLOVE01");
    auto screen = Open();
    Scan(*screen, entry);
    auto* quantity = screen->findChild<QLineEdit*>("quantity");
    QVERIFY(quantity);
    QCOMPARE(quantity->text(), quantityField);
    QCOMPARE(host.boxes.size(), std::size_t(message ? 1 : 0));
    if (message)
        QVERIFY(host.Showed(message));
    const std::vector<Line> lines = Lines(p);
    QCOMPARE(int(lines.size()), stored ? 1 : 0);
    if (stored)
        QCOMPARE(int(lines[0].quantity), stored);
    QTRY_COMPARE(host.Count(message ? SoundKind::Error : SoundKind::Success),
                 message || stored ? 1 : 0);
    QVERIFY(screen->Entry()->text().isEmpty() || !stored);
}

void ReceiveScreenTest::Entry_QuantityFirstThenCodeAndAutoEntryAfterDelay() {
    const long p = Product("GLOVE01");
    auto screen = Open();
    Scan(*screen, "3");
    Scan(*screen, "GLOVE01");
    QCOMPARE(Lines(p).at(0).quantity, short(3));
    QCOMPARE(screen->findChild<QLabel*>("feedbackQuantity")->text(), QString("3"));

    // A scanner that sends no Enter: the code is entered once the field is still.
    screen->SetScanDelay(30);
    QTest::keyClicks(screen->Entry(), "GLOVE01");
    QVERIFY(Lines(p).at(0).quantity == 3);
    QTRY_COMPARE(Lines(p).at(0).quantity, short(4));
    QCOMPARE(Lines(p).size(), std::size_t(1));
    QTRY_COMPARE(host.Count(SoundKind::Success), 2);
    QCOMPARE(host.refreshes.back(), std::make_pair(R::kTemplate, p));
    QVERIFY(StockConsistent());
}

// --- Receiving an order --------------------------------------------------------------------

void ReceiveScreenTest::Receive_WholeOrderLineByLine() {
    const long glove = Product("GLOVE01");
    const long mask = Product("MASK001");
    const long swab = Product("SWAB001");
    const long order = AddPO("PO-7");
    const long l1 = data->AddOrdIt(order, glove, 2, St::Purchased);
    const long l2 = data->AddOrdIt(order, mask, 3, St::Purchased);
    const long l3 = data->AddOrdIt(order, swab, 1, St::Purchased);
    auto screen = Open();
    auto* po = screen->findChild<QLineEdit*>("poNumber");
    QVERIFY(po);
    po->setText("PO-7");
    screen->EvPOChange();
    QCOMPARE(screen->List()->RowCount(), 3);
    QCOMPARE(screen->findChild<QLineEdit*>("vendor")->text(), QString("Acme Medical"));

    Scan(*screen, "2");
    Scan(*screen, "GLOVE01");
    QVERIFY(!po->isEnabled()); // the header belongs to the stored receipt now
    for (int i = 0; i < 3; ++i)
        Scan(*screen, "MASK001");
    Scan(*screen, "SWAB001");

    for (int row = 0; row < 3; ++row) {
        QCOMPARE(screen->List()->ItemText(row, R::ColReceived),
                 screen->List()->ItemText(row, R::ColOrdered));
        QCOMPARE(screen->List()->ItemText(row, R::ColThisReceipt),
                 screen->List()->ItemText(row, R::ColOrdered));
    }
    QCOMPARE(Filled(l1), short(2));
    QCOMPARE(Filled(l2), short(3));
    QCOMPARE(Filled(l3), short(1));
    for (long line : {l1, l2, l3})
        QCOMPARE(data->Status(line), short(St::Filled));
    QCOMPARE(screen->List()->ItemText(1, R::ColStatus), host.LoadStringText(38041 + St::Filled));
    const long invRec = Lines(glove).at(0).invRec;
    QVERIFY(invRec != 0);
    QCOMPARE(Lines(mask).size(), std::size_t(1));
    QCOMPARE(Lines(mask).at(0).invRec, invRec);
    QCOMPARE(Lines(swab).at(0).invOrdIt, l3);
    QVERIFY(StockConsistent());

    // Nothing short: closing asks nothing.
    screen->setResult(0);
    screen->DoCommand(cm::Cancel);
    QVERIFY(!host.Showed(R::kWarnBackOrderShort));
    QCOMPARE(screen->result(), int(id::CANCEL));
}

void ReceiveScreenTest::Receive_ExpiryDatesGiveRowsUnderTheirLine() {
    const long vacc = Product("VACC001", true);
    const long order = AddPO("PO-8");
    const long line = data->AddOrdIt(order, vacc, 20, St::Purchased);
    auto screen = OpenOrder("PO-8");
    auto script = AnswerExpiry({"12/31/2027", "06/30/2027", "12/31/2027", "", "06/30/2027"});

    Scan(*screen, "4");
    Scan(*screen, "VACC001");
    Scan(*screen, "VACC001");
    Scan(*screen, "VACC001");
    // Order-line row, then one row per expiry date, each new date under the last.
    QCOMPARE(screen->List()->RowCount(), 3);
    QCOMPARE(screen->List()->ItemText(0, R::ColReceived), QString("6"));
    QCOMPARE(screen->List()->ItemText(0, R::ColThisReceipt), QString());
    QCOMPARE(screen->List()->ItemText(1, R::ColExpiry), QString("12/31/2027"));
    QCOMPARE(screen->List()->ItemText(1, R::ColThisReceipt), QString("5"));
    QCOMPARE(screen->List()->ItemText(2, R::ColExpiry), QString("06/30/2027"));
    QCOMPARE(screen->List()->ItemText(2, R::ColThisReceipt), QString("1"));
    QCOMPARE(Lines(vacc).size(), std::size_t(2));

    // The expiry screen cancelled: error, nothing stored.
    Scan(*screen, "VACC001");
    QCOMPARE(Filled(line), short(6));
    QTRY_COMPARE(host.Count(SoundKind::Error), 1);

    // Enter on the order-line row takes a new lot rather than changing the row.
    screen->List()->SelectRow(0);
    Scan(*screen, "2");
    QCOMPARE(screen->List()->ItemText(2, R::ColThisReceipt), QString("3"));
    QCOMPARE(Filled(line), short(8));

    // Modify on the order-line row is refused; on an expiry row it sets that line.
    screen->List()->SelectRow(0);
    QTest::keyClicks(screen->Entry(), "9");
    host.boxes.clear();
    QVERIFY(screen->DoCommand(R::CmModifyId));
    QVERIFY(host.Showed(R::kMsgModifyExpiryLine));
    QCOMPARE(Filled(line), short(8));
    screen->List()->SelectRow(1);
    Scan(*screen, "7");
    QCOMPARE(screen->List()->ItemText(1, R::ColThisReceipt), QString("7"));
    QCOMPARE(screen->List()->ItemText(0, R::ColReceived), QString("10"));
    QCOMPARE(Filled(line), short(10));

    // Deleting an expiry row removes its line only.
    screen->List()->SelectRow(2);
    QVERIFY(screen->DoCommand(R::CmDeleteId));
    QCOMPARE(screen->List()->RowCount(), 2);
    const std::vector<Line> left = Lines(vacc);
    QCOMPARE(left.size(), std::size_t(1));
    QCOMPARE(left[0].quantity, short(7));
    QCOMPARE(left[0].expiry, (WSIDate{2027, 12, 31}));
    QCOMPARE(Filled(line), short(7));
    QVERIFY(StockConsistent());
}

void ReceiveScreenTest::Receive_ModifyAndDeleteFromTheKeyboard() {
    const long glove = Product("GLOVE01");
    const long loose = Product("LOOSE01");
    const long order = AddPO("PO-9");
    const long line = data->AddOrdIt(order, glove, 6, St::Purchased);
    auto screen = OpenOrder("PO-9");
    Scan(*screen, "GLOVE01");
    Scan(*screen, "LOOSE01"); // not on the order: refused, the order holds no such line
    QVERIFY(host.Said(38515));
    QVERIFY(Lines(loose).empty());

    // Selecting the row switches to modify mode: the entry takes its new quantity.
    screen->List()->SelectRow(0);
    QCOMPARE(screen->findChild<QLabel*>("modeLabel")->text(), host.LoadStringText(28679));
    QVERIFY(screen->findChild<QLineEdit*>("quantity")->isHidden());
    Scan(*screen, "5");
    QCOMPARE(Lines(glove).at(0).quantity, short(5));
    QCOMPARE(Filled(line), short(5));
    QCOMPARE(screen->List()->ItemText(0, R::ColReceived), QString("5"));

    // Space in the list goes back to the entry field.
    screen->List()->setFocus();
    QTest::keyClick(screen->List(), Qt::Key_Space);
    QVERIFY(screen->Entry()->hasFocus());

    // Alt+D deletes after the question: No keeps the line, Yes removes it.
    host.boxAnswers = {id::NO};
    QTest::keyClick(screen.get(), Qt::Key_D, Qt::AltModifier);
    QCOMPARE(Lines(glove).size(), std::size_t(1));
    QTest::keyClick(screen.get(), Qt::Key_D, Qt::AltModifier);
    QVERIFY(Lines(glove).empty());
    QCOMPARE(Filled(line), short(0));
    QCOMPARE(screen->List()->RowCount(), 1); // the order line stays, with nothing received
    QCOMPARE(screen->List()->ItemText(0, R::ColThisReceipt), QString());
    QVERIFY(!screen->IsCommandEnabled(R::CmDeleteId));
    QVERIFY(StockConsistent());
}

void ReceiveScreenTest::Receive_AutoReceiveSkipsReceivedAndMetLines() {
    const long glove = Product("GLOVE01");
    const long mask = Product("MASK001");
    const long swab = Product("SWAB001");
    const long order = AddPO("PO-10");
    const long l1 = data->AddOrdIt(order, glove, 4, St::Purchased);
    const long l2 = data->AddOrdIt(order, mask, 2, St::Purchased);
    data->AddOrdIt(order, swab, 3, St::PartiallyFilled, 3);
    auto screen = OpenOrder("PO-10");
    Scan(*screen, "GLOVE01");
    host.refreshes.clear();
    QVERIFY(screen->DoCommand(R::CmAutoReceiveId));
    QCOMPARE(Filled(l1), short(1));
    QCOMPARE(Filled(l2), short(2));
    QVERIFY(Lines(swab).empty());
    // One refresh for the run, not one per line.
    QCOMPARE(host.refreshes, (std::vector<std::pair<int, long>>{{R::kTemplate, mask}}));
    QVERIFY(StockConsistent());
}

void ReceiveScreenTest::Receive_ShortReceiptAsksToBackOrderOnClose_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<short>("status");
    QTest::addColumn<bool>("closed");
    QTest::newRow("yes") << int(id::YES) << short(St::BackOrdered) << true;
    QTest::newRow("no") << int(id::NO) << short(St::PartiallyFilled) << true;
    QTest::newRow("cancel") << int(id::CANCEL) << short(St::PartiallyFilled) << false;
}

void ReceiveScreenTest::Receive_ShortReceiptAsksToBackOrderOnClose() {
    QFETCH(int, answer);
    QFETCH(short, status);
    QFETCH(bool, closed);
    const long glove = Product("GLOVE01");
    const long order = AddPO("PO-11");
    const long line = data->AddOrdIt(order, glove, 5, St::Purchased);
    auto screen = OpenOrder("PO-11");
    Scan(*screen, "2");
    Scan(*screen, "GLOVE01");
    screen->setResult(0);
    host.boxAnswers = {answer};
    screen->DoCommand(cm::Cancel);
    QVERIFY(host.Showed(R::kWarnBackOrderShort));
    QCOMPARE(data->Status(line), status);
    QCOMPARE(screen->result() == id::CANCEL, closed);
    if (!closed) {
        // The receipt stays open: the next scan goes into it.
        Scan(*screen, "GLOVE01");
        const std::vector<Line> lines = Lines(glove);
        QCOMPARE(lines.size(), std::size_t(1));
        QCOMPARE(lines[0].quantity, short(3));
    }
    QVERIFY(StockConsistent());
}

void ReceiveScreenTest::Receive_RefusalsStoreNothing() {
    const long glove = Product("GLOVE01");
    const long order = AddPO("PO-12", "CLINIC");
    data->AddOrdIt(order, glove, 5, St::Purchased);
    auto screen = Open("WARD");
    auto* po = screen->findChild<QLineEdit*>("poNumber");
    po->setText("PO-12");
    screen->EvPOChange();

    // An order of another location: asked first; declined, nothing is stored.
    host.warnAnswers = {id::CANCEL};
    Scan(*screen, "GLOVE01");
    QCOMPARE(host.warnings, std::vector<int>{R::kWarnOtherLocation});
    QVERIFY(host.Showed(R::kMsgOtherLocationDeclined));
    QVERIFY(Lines(glove).empty());
    QVERIFY(screen->IsNewBatch());
    QVERIFY(po->isEnabled());
    QTRY_COMPARE(host.Count(SoundKind::Error), 1);

    // A PO number that names no order needs a valid PO date.
    for (const char* date : {"", "13/45/2026"}) {
        host.boxes.clear();
        po->setText("NOPE");
        screen->EvPOChange();
        screen->findChild<WSIDateEdit*>("poDate")->setText(date);
        Scan(*screen, "GLOVE01");
        QVERIFY(host.Said(38503));
        QVERIFY(Lines(glove).empty());
    }
    screen->findChild<WSIDateEdit*>("poDate")->setText("03/01/2026");
    Scan(*screen, "GLOVE01");
    QCOMPARE(Lines(glove).size(), std::size_t(1));
    QCOMPARE(Lines(glove).at(0).invOrdIt, 0L);
    QVERIFY(StockConsistent());
}

void ReceiveScreenTest::Receive_LineCommandsNewReferenceAndNewPO() {
    const long glove = Product("GLOVE01");
    const long mask = Product("MASK001");
    const long order = AddPO("PO-13");
    const long l1 = data->AddOrdIt(order, glove, 5, St::Purchased);
    const long l2 = data->AddOrdIt(order, mask, 2, St::Purchased);
    auto screen = OpenOrder("PO-13");
    QVERIFY(!screen->IsCommandEnabled(R::CmVendorId)); // the order names its vendor
    Scan(*screen, "2");
    Scan(*screen, "GLOVE01");

    // Back order needs a selected line that is short; Alt+B runs it.
    QVERIFY(!screen->IsCommandEnabled(R::CmBackOrderId));
    screen->List()->SelectRow(0);
    QVERIFY(screen->IsCommandEnabled(R::CmBackOrderId));
    QTest::keyClick(screen.get(), Qt::Key_B, Qt::AltModifier);
    QCOMPARE(data->Status(l1), short(St::BackOrdered));
    QVERIFY(screen->List()->Marks(0) & rowmark::BackOrdered);
    screen->List()->ClearRowSelection();
    QVERIFY(!screen->IsCommandEnabled(R::CmCloseItemId));
    screen->List()->SelectRow(1);
    QVERIFY(screen->DoCommand(R::CmCloseItemId));
    QCOMPARE(host.warnings.back(), R::kWarnCloseLine);
    QCOMPARE(data->Status(l2), short(St::Closed));
    screen->List()->ClearRowSelection();

    // A new reference number starts a new receipt for the same order.
    QVERIFY(screen->DoCommand(R::CmNewRefNoId));
    auto* ref = screen->findChild<QLineEdit*>("refNo");
    QVERIFY(ref->isEnabled());
    ref->setText("R2");
    Scan(*screen, "GLOVE01");
    const std::vector<Line> lines = Lines(glove);
    QCOMPARE(lines.size(), std::size_t(2));
    QVERIFY(lines[1].invRec != lines[0].invRec);
    QCOMPARE(lines[1].refNo, std::string("R2"));
    QCOMPARE(lines[1].invOrdIt, l1);

    // Nothing short that is not back-ordered: a new PO asks nothing and clears the header.
    host.boxes.clear();
    QVERIFY(screen->DoCommand(R::CmNewPOId));
    QVERIFY(!host.Showed(R::kWarnBackOrderShort));
    QCOMPARE(screen->List()->RowCount(), 0);
    QVERIFY(screen->findChild<QLineEdit*>("poNumber")->isEnabled());
    QVERIFY(screen->IsNewBatch());
    // The vendor comes from the catalogue's vendor search.
    SubScreenScript pick([](WSIDialog& d) {
        auto* search = dynamic_cast<WSIVendorDialog*>(&d);
        if (!search)
            return int(id::CANCEL);
        search->SearchEdit()->setText("Acme");
        search->RunSearch();
        if (search->List()->RowCount() != 1)
            return int(id::CANCEL);
        search->List()->SelectRow(0);
        d.setResult(0);
        d.DoCommand(cm::Ok);
        return d.result() == 0 ? int(id::CANCEL) : d.result();
    });
    QVERIFY(screen->DoCommand(R::CmVendorId));
    QCOMPARE(screen->Vendor(), data->vendor);
    QCOMPARE(screen->findChild<QLineEdit*>("vendor")->text(), QString("Acme Medical"));
    QVERIFY(StockConsistent());

    // The last scan's data, with control characters made visible.
    QCOMPARE(WSIBarCodeView::Describe("ABC\x1d"
                                      "12")
                 .left(9),
             QString("ABC<GS>12"));
}

namespace {
const QChar kGS(0x1d);
} // namespace

void ReceiveScreenTest::Receive_Gs1LotsOfOneDateAreRowsOfTheirOwn() {
    const long vacc = Product("VACC001", true);
    // The catalogue keeps the GTIN-13 form; the label carries the GTIN-14.
    data->Exec("UPDATE PRODUCT SET \"UPCCode\" = '9506000134352' WHERE \"Product\" = " +
               std::to_string(vacc));
    const long order = AddPO("PO-14");
    const long line = data->AddOrdIt(order, vacc, 10, St::Purchased);
    auto screen = OpenOrder("PO-14");
    std::vector<QString> shown;
    SubScreenScript confirm([&shown](WSIDialog& d) {
        auto* expiry = dynamic_cast<WSIInvExpiryDialog*>(&d);
        if (!expiry)
            return int(id::CANCEL);
        shown.push_back(expiry->Field()->text() + " " + expiry->findChild<QLabel*>("lot")->text());
        QTest::keyClick(expiry->Field(), Qt::Key_Return); // the user confirms with Enter
        return expiry->result();
    });
    // AIM identifier, the lot last; then the lot first, closed by the group separator.
    Scan(*screen, "]d20109506000134352172712311"
                  "0LOT-A");
    Scan(*screen, "3");
    Scan(*screen, QString("010950600013435210LOT-B") + kGS + "17271231");
    QCOMPARE(shown, (std::vector<QString>{"12/31/2027 LOT-A", "12/31/2027 LOT-B"}));
    QCOMPARE(screen->List()->RowCount(), 3);
    QCOMPARE(screen->List()->ItemText(1, R::ColReference), QString("LOT-A"));
    QCOMPARE(screen->List()->ItemText(2, R::ColReference), QString("LOT-B"));
    QCOMPARE(screen->List()->ItemText(2, R::ColThisReceipt), QString("3"));
    QVERIFY(screen->RawBarCode().find('\x1d') != std::string::npos);

    // Each lot's row changes and goes on its own.
    screen->List()->SelectRow(2);
    Scan(*screen, "5");
    screen->List()->SelectRow(1);
    QVERIFY(screen->DoCommand(R::CmDeleteId));
    const std::vector<Line> lines = Lines(vacc);
    QCOMPARE(lines.size(), std::size_t(1));
    QCOMPARE(lines[0].refNo, std::string("LOT-B"));
    QCOMPARE(lines[0].quantity, short(5));
    QCOMPARE(lines[0].expiry, (WSIDate{2027, 12, 31}));
    QCOMPARE(Filled(line), short(5));
    QVERIFY(StockConsistent());
}

void ReceiveScreenTest::Receive_MalformedGs1IsRefused() {
    const long vacc = Product("VACC001", true);
    data->Exec("UPDATE PRODUCT SET \"UPCCode\" = '09506000134352' WHERE \"Product\" = " +
               std::to_string(vacc));
    auto screen = Open();
    SubScreenScript never([](WSIDialog&) { return int(id::CANCEL); });
    const std::pair<QString, unsigned> cases[] = {
        {"(01)09506000134353(10)LOT-A", 39751}, // check digit
        {"0109506000134352171300"
         "10LOT-A",
         39752},                         // month 13
        {"]C1(01)0950600013435", 39750}, // GTIN cut short
        {QString("0109506000134352") + kGS + kGS + "10", 39750},
    };
    int refused = 0;
    for (const auto& [text, code] : cases) {
        host.boxes.clear();
        Scan(*screen, text);
        QVERIFY2(host.Showed(code), qPrintable(text));
        QCOMPARE(host.boxes.size(), std::size_t(1));
        QVERIFY(screen->Entry()->text().isEmpty());
        ++refused;
        QTRY_COMPARE(host.Count(SoundKind::Error), refused);
    }
    QVERIFY(Lines(vacc).empty());
}

// --- The screens around receiving ------------------------------------------------------------

void ReceiveScreenTest::Expiry_EmptyPastAndTodayDates() {
    WSIProduct::WSIData prd{};
    std::strcpy(prd.Description, "Vaccine");
    prd.PrdType = data->prdType;
    std::strcpy(prd.PrdCat, "CAT");
    struct Case {
        const char* date;
        std::deque<int> answers;
        bool accepted;
        std::size_t warnings;
    };
    // Today is 03/15/2026.
    const Case cases[] = {{"", {}, false, 0},
                          {"02/30/2026", {}, false, 0},
                          {"03/14/2026", {id::CANCEL}, false, 1},
                          {"03/14/2026", {id::OK}, true, 1},
                          {"03/15/2026", {}, true, 0}};
    for (const Case& c : cases) {
        host.warnings.clear();
        host.boxes.clear();
        host.warnAnswers = c.answers;
        WSIInvExpiryDialog dialog(nullptr, &host, prd);
        QCOMPARE(dialog.findChild<QLabel*>("category")->text(), QString("Gloves"));
        dialog.Field()->setText(c.date);
        dialog.DoCommand(cm::Ok);
        WSIDate date{};
        QCOMPARE(dialog.GetExpiry(date), c.accepted);
        QCOMPARE(host.warnings.size(), c.warnings);
        QCOMPARE(host.Showed(WSIInvExpiryDialog::kMsgBadDate), !c.accepted && c.warnings == 0);
    }
}

void ReceiveScreenTest::CostCorrection_FromTheReceivedList() {
    const long vacc = Product("VACC001", true);
    const long item = data->AddItem(vacc, "WARD", 4, 4, 0, 0, data->AddReceipt("WARD"));
    {
        WSIInvItem r(data->db.get());
        r.data.InvItem = item;
        QVERIFY(r.GetEqual(__FILE__, __LINE__));
        r.data.ExpiryDate = WSIDate{2027, 1, 31};
        QVERIFY(r.UpdateDB(__FILE__, __LINE__));
    }
    WSIInventoryDialog main(nullptr, &host);
    // The main screen's Receive opens the receiving screen.
    bool receiving = false;
    {
        SubScreenScript opened([&receiving](WSIDialog& d) {
            receiving = dynamic_cast<WSIInvReceiveDialog*>(&d) != nullptr;
            return int(id::CANCEL);
        });
        QVERIFY(main.DoCommand(WSIInventoryDialog::IdReceive));
    }
    QVERIFY(receiving);
    main.SelectTab(WSIInventoryDialog::TabReceived);
    QVERIFY(main.DoCommand(WSIInventoryDialog::IdSearch));
    auto* view = static_cast<WSIInvReceivedDialog*>(main.ListView(WSIInventoryDialog::TabReceived));
    view->List()->SelectRow(0);
    QVERIFY(view->IsMenuCommandEnabled(WSIInvReceivedDialog::CmAdjustCostsId));

    auto correct = [&](const QString& cost, const QString& expiry, const QString& refNo) {
        return std::make_unique<SubScreenScript>([=](WSIDialog& d) {
            auto* dlg = dynamic_cast<WSIInvAdjustCostsDialog*>(&d);
            if (!dlg)
                return int(id::CANCEL);
            if (dlg->ExpiryField()->isHidden())
                return int(id::NO);
            dlg->CostField()->setText(cost);
            dlg->ExpiryField()->setText(expiry);
            dlg->RefNoField()->setText(refNo);
            dlg->DoCommand(cm::Ok);
            return dlg->result() == id::OK ? int(id::OK) : int(id::CANCEL);
        });
    };
    auto read = [&] {
        WSIInvItem r(data->db.get());
        r.data.InvItem = item;
        r.GetEqual(__FILE__, __LINE__);
        return r.data;
    };
    {
        // The cost unchanged: the date and reference are stored without a question.
        auto script = correct("2.50", "02/28/2027", "LOT-9");
        QVERIFY(view->RunMenuCommand(WSIInvReceivedDialog::CmAdjustCostsId));
    }
    QVERIFY(host.warnings.empty());
    QCOMPARE(read().ExpiryDate, (WSIDate{2027, 2, 28}));
    QCOMPARE(std::string(read().RefNo), std::string("LOT-9"));
    QCOMPARE(view->RowRecord(0)->ExpiryDate, (WSIDate{2027, 2, 28}));
    {
        // A new cost asks first; declined, nothing changes.
        host.warnAnswers = {id::CANCEL};
        auto script = correct("3.10", "02/28/2027", "LOT-9");
        view->RunMenuCommand(WSIInvReceivedDialog::CmAdjustCostsId);
    }
    QCOMPARE(host.warnings, std::vector<int>{WSIInvAdjustCostsDialog::kWarnCostChanged});
    QCOMPARE(read().CostPerUnit, 2.5);
    {
        auto script = correct("3.10", "02/28/2027", "LOT-9");
        view->RunMenuCommand(WSIInvReceivedDialog::CmAdjustCostsId);
    }
    QCOMPARE(read().CostPerUnit, 3.1);
    QCOMPARE(host.refreshes.back(), std::make_pair(WSIInvAdjustCostsDialog::kTemplate, vacc));

    // Without expiry tracking the date is not shown, and the lot stays correctable.
    WSIReceivedData plain = *view->RowRecord(0);
    plain.TrackExpiryDate = 0;
    WSIInvAdjustCostsDialog dialog(nullptr, &host, plain);
    QVERIFY(dialog.ExpiryField()->isHidden());
    QVERIFY(dialog.findChild<QLabel*>("expiryLabel")->isHidden());
    dialog.RefNoField()->setText("LOT-10");
    dialog.DoCommand(cm::Ok);
    QCOMPARE(std::string(read().RefNo), std::string("LOT-10"));
}

void ReceiveScreenTest::OrderSearch_FindsAndHandsTheOrderToReceiving() {
    const long glove = Product("GLOVE01");
    data->AddOrdIt(AddPO("PO-1"), glove, 1, St::Purchased);
    const long wanted = AddPO("PO-12");
    data->AddOrdIt(wanted, glove, 2, St::Purchased);
    AddPO("X-3");
    {
        WSIProductOrderDialog search(nullptr, &host);
        search.KindField()->setCurrentIndex(WSIProductOrderDialog::KindPONumber);
        search.SearchEdit()->setText("PO-1");
        QCOMPARE(search.RunSearch(), 2); // a prefix search
        QVERIFY(search.DateField()->isHidden());
        search.KindField()->setCurrentIndex(WSIProductOrderDialog::KindOrderDate);
        QCOMPARE(search.List()->RowCount(), 0);
        QVERIFY(search.SearchEdit()->isHidden());
        search.DateField()->setText("13/40/2026");
        QCOMPARE(search.RunSearch(), 0);
        QVERIFY(host.Showed(WSIProductOrderDialog::kMsgBadDate));
        search.DateField()->clear();
        QCOMPARE(search.RunSearch(), 3); // every external order
        search.KindField()->setCurrentIndex(WSIProductOrderDialog::KindPONumber);
        search.SearchEdit()->setText("ZZZ");
        QCOMPARE(search.RunSearch(), 0);
        QVERIFY(host.Showed(WSIProductOrderDialog::kMsgNoOrders));
    }
    auto screen = Open();
    SubScreenScript script([](WSIDialog& d) {
        auto* search = dynamic_cast<WSIProductOrderDialog*>(&d);
        if (!search)
            return int(id::CANCEL);
        search->KindField()->setCurrentIndex(WSIProductOrderDialog::KindPONumber);
        search->SearchEdit()->setText("PO-12");
        search->RunSearch();
        search->List()->setFocus();
        search->DoCommand(cm::Ok);
        return search->result();
    });
    QVERIFY(screen->DoCommand(R::CmPOSearchId));
    QCOMPARE(screen->findChild<QLineEdit*>("poNumber")->text(), QString("PO-12"));
    QCOMPARE(screen->List()->RowCount(), 1);
    QCOMPARE(screen->List()->ItemText(0, R::ColOrdered), QString("2"));
    QCOMPARE(screen->Receive().GetInvOrder()->InvOrder, wanted);
}

#include "WSIInvAdjDialog.h"

#include "BIException.h"
#include "BIInvAdj.h"
#include "DBInvAdj.h"
#include "LocationChoice.h"
#include "Records.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSICodeTableDialogs.h"
#include "WSIDatabase.h"
#include "WSIScanEdit.h"
#include "schema/InventoryCodes.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <cstdio>

// --- WSIInvAdjBaseDialog -------------------------------------------------------------------

WSIInvAdjBaseDialog::WSIInvAdjBaseDialog(QWidget* parent, WSIApplication* module, int templateId)
    : WSIInvScanDialog(parent, module, templateId) {
    adj_ = std::make_unique<BIInvAdj>(Db());
    location_ = new QComboBox(this);
    location_->setObjectName("location");
    location_->setMinimumContentsLength(24);
    auto* grid = headerGrid_ = new QGridLayout;
    auto* label = new QLabel(tr("&Location:"), this);
    label->setBuddy(location_);
    grid->addWidget(label, 0, 0);
    grid->addWidget(location_, 0, 1);
    grid->setColumnStretch(3, 1);
    HeaderLayout()->addLayout(grid);
    setTabOrder(location_, Entry());
    tavel::scan::FillActiveLocations(*location_, Db(),
                                     tavel::scan::InventoryProfileLocation(module, "Location"));

    ModeLabel()->setText(tr("&Product:"));
    // The extra height goes below the feedback, not between the header's rows.
    BodyLayout()->addStretch(1);
    ButtonRow()->addStretch();
    QPushButton* close = AddCommandButton(cm::Cancel, tr("Close"));
    close->setObjectName("close");
    close->setAutoDefault(false);
    ButtonRow()->addWidget(close);
    resize(900, 170);
}

WSIInvAdjBaseDialog::~WSIInvAdjBaseDialog() = default;

std::string WSIInvAdjBaseDialog::LocationCode() const {
    return tavel::scan::ChosenLocation(*location_);
}

void WSIInvAdjBaseDialog::FinishOpening(QWidget* next) {
    Reset();
    if (location_->currentIndex() < 0)
        location_->setFocus();
    else
        next->setFocus();
}

void WSIInvAdjBaseDialog::Reset() {
    SetCurrentProduct(0, 1);
    SetQuantityField("1");
    Entry()->SetTextQuietly(QString());
    Entry()->StopAutoEntry();
}

void WSIInvAdjBaseDialog::Refused() {
    ErrorSignal();
    ErrorFeedback();
    Reset();
    SetNextFocusItem();
}

bool WSIInvAdjBaseDialog::AskMissing(double amount) {
    // The warning's text carries the amount, so it is asked as a message with it filled in.
    QString text = LoadString(amount < 0 ? kWarnShort : kWarnExtra);
    text.replace(QStringLiteral("%g"), QString::number(std::fabs(amount), 'g'));
    return MessageBox(text, mb::YESNO | mb::ICONQUESTION) == id::YES;
}

void WSIInvAdjBaseDialog::AskThenRepeat(int warning, const std::function<void()>& repeat) {
    if (Module() && Module()->WarnDialog(this, warning) == id::OK)
        repeat();
    else
        Refused();
}

void WSIInvAdjBaseDialog::DoScan(bool handled, bool createMissing, bool allowExpired,
                                 bool allowNoExpiry) {
    TVL_TRACE("WSIInvAdjBaseDialog::DoScan");
    const std::string loc = LocationCode();
    SetType();
    SetInvAdj();
    const long product = CurrentProduct();
    const short quantity = Quantity();
    try {
        tavel::InTransaction(Db(), [&] {
            adj_->Adjust(loc.c_str(), type_, product, quantity, invAdj_.c_str(), createMissing,
                         allowExpired, allowNoExpiry, 0, 0, 0, nullptr, 0);
        });
    } catch (MissingInvItem& e) {
        // Where usage is not tracked the stock records are only an estimate: the missing
        // stock is created without asking.
        if (e.TrackUsage == 0 || AskMissing(e.MissingQty))
            DoScan(handled, true, allowExpired, true);
        else
            Refused();
        return;
    } catch (InvalidExpiryDate&) {
        AskThenRepeat(kWarnNoExpiry, [&] { DoScan(handled, createMissing, allowExpired, true); });
        return;
    } catch (ExpiryDateErr&) {
        AskThenRepeat(kWarnExpired, [&] { DoScan(handled, createMissing, true, allowNoExpiry); });
        return;
    } catch (TrackUsageErr&) {
        // Not an error at the shelf: the location simply does not record this product's use.
        NoticeFeedback(LoadString(kMsgNotTracked));
        ShowFeedback(tr("N/A"), product);
        Reset();
        SetNextFocusItem();
        return;
    } catch (BIException& e) {
        const bool location = dynamic_cast<InvalidLocation*>(&e) != nullptr ||
                              dynamic_cast<InvalidOrderedByLocation*>(&e) != nullptr;
        const bool code = dynamic_cast<InvalidInvAdj*>(&e) != nullptr;
        ErrorSignal();
        ErrorFeedback();
        Reset();
        ShowRefusal(QString::fromUtf8(e.GetErrMsg(true)));
        if (location)
            location_->setFocus();
        else if (code)
            FocusCode();
        return;
    } catch (...) {
        ErrorSignal();
        Reset();
        SetNextFocusItem();
        throw;
    }
    ShowFeedback();
    Reset();
    SuccessFeedback();
    SetNextFocusItem();
    if (Module()) {
        Module()->NotifyUpdate(TemplateId(), 0);
        Module()->ProductRefresh(TemplateId(), product);
    }
}

// --- WSIInvAdjDialog -----------------------------------------------------------------------

WSIInvAdjDialog::WSIInvAdjDialog(QWidget* parent, WSIApplication* module)
    : WSIInvAdjBaseDialog(parent, module, kTemplate) {
    setWindowTitle(tr("Adjust Stock"));
    code_ = new QLineEdit(this);
    code_->setObjectName("adjCode");
    code_->setMaxLength(6);
    code_->setMaximumWidth(90);
    codeDescription_ = new QLabel(this);
    codeDescription_->setObjectName("adjCodeDescription");
    QPushButton* lookUp = AddCommandButton(CmInvAdjId, tr("Co&des..."));
    lookUp->setObjectName("adjCodeLookUp");
    lookUp->setAutoDefault(false);
    auto* label = new QLabel(tr("&Adjustment code:"), this);
    label->setBuddy(code_);
    QGridLayout* grid = HeaderGrid();
    auto* row = new QHBoxLayout;
    row->addWidget(code_);
    row->addWidget(lookUp);
    row->addWidget(codeDescription_, 1);
    grid->addWidget(label, 1, 0);
    grid->addLayout(row, 1, 1, 1, 3);
    // Reading order: location, code, its look-up, then the entry.
    setTabOrder(LocationList(), code_);
    setTabOrder(code_, lookUp);
    setTabOrder(lookUp, Entry());
    SetCommand(CmInvAdjId, [this] { CmInvAdj(); });
    connect(code_, &QLineEdit::textChanged, this, [this] { ShowCodeDescription(); });
    // Enter in the code field goes on to the entry, not to the screen's Enter.
    connect(code_, &QLineEdit::returnPressed, this, [this] { SetNextFocusItem(); });
    FinishOpening(code_);
}

void WSIInvAdjDialog::SetType() {
    type_ = tavel::MovementType::Adjustment;
}

void WSIInvAdjDialog::SetInvAdj() {
    invAdj_ = code_->text().trimmed().left(6).toStdString();
}

void WSIInvAdjDialog::FocusCode() {
    code_->setFocus();
    code_->selectAll();
}

void WSIInvAdjDialog::ShowCodeDescription() {
    QString text;
    bool count = false;
    const QByteArray code = code_->text().trimmed().left(6).toUtf8();
    if (!code.isEmpty() && Db()) {
        WSIInvAdj adj(Db());
        std::snprintf(adj.data.InvAdj, sizeof adj.data.InvAdj, "%s", code.constData());
        if (adj.GetEqual(__FILE__, __LINE__)) {
            const QString kind =
                adj.data.Type == tavel::AdjustmentType::Increase ? tr("increases stock")
                : adj.data.Type == tavel::AdjustmentType::Count  ? tr("count")
                                                                 : tr("decreases stock");
            text = QString::fromUtf8(adj.data.Description) + " (" + kind + ")";
            if (adj.data.Inactive)
                text += " - " + tr("inactive");
            count = adj.data.Type == tavel::AdjustmentType::Count;
        }
    }
    codeDescription_->setText(text);
    // An empty shelf is counted as 0; for any other code 0 changes nothing and is refused.
    SetAllowZeroQuantity(count);
}

void WSIInvAdjDialog::CmInvAdj() {
    TVL_TRACE("WSIInvAdjDialog::CmInvAdj");
    if (Db()) {
        DBInvAdj table(Db());
        table.InitRecord();
        {
            WSIInvAdjCodesDialog codes(this, Module(), &table, true);
            WSIRunModal(codes);
        }
        if (table.IsRecord())
            code_->setText(QString::fromUtf8(table.data.InvAdj).trimmed());
    }
    SetNextFocusItem();
}

// --- WSIInvUsageDlg ------------------------------------------------------------------------

WSIInvUsageDlg::WSIInvUsageDlg(QWidget* parent, WSIApplication* module)
    : WSIInvAdjBaseDialog(parent, module, kTemplate) {
    setWindowTitle(tr("Usage"));
    FinishOpening(Entry());
}

void WSIInvUsageDlg::SetType() {
    type_ = tavel::MovementType::Usage;
}

void WSIInvUsageDlg::SetInvAdj() {
    invAdj_.clear();
}

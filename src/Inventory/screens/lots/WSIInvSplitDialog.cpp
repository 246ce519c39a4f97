#include "WSIInvSplitDialog.h"

#include "BIException.h"
#include "BIInvSplit.h"
#include "BoundedFormat.h"
#include "LotEntry.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDateEdit.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace lots = tavel::lots;

namespace {
// The row's date as the host writes dates.
QString RowDate(const WSIDate& date, int dateFormat) {
    if (date.IsNull())
        return QString();
    char text[32];
    if (dateFormat == 1)
        TVL_FORMAT(text, "%02d/%02d/%d", date.month, date.day, date.year);
    else
        TVL_FORMAT(text, "%02d/%02d/%d", date.day, date.month, date.year);
    return QString::fromLatin1(text);
}
} // namespace

WSIInvSplitDialog::WSIInvSplitDialog(QWidget* parent, WSIApplication* module,
                                     const WSIReceivedData& row)
    : WSIDialog(parent, module, kTemplate), row_(row) {
    TVL_TRACE("WSIInvSplitDialog::WSIInvSplitDialog");
    setObjectName(QStringLiteral("WSIInvSplitDialog"));
    setWindowTitle(tr("Split Lot"));
    const QString unit = QString::fromUtf8(row.Unit).trimmed();
    const auto withUnit = [unit](const QString& figure) { return figure + " " + unit; };

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    int r = 0;
    grid->addWidget(new QLabel(tr("Product:"), this), r, 0);
    grid->addWidget(lots::ValueLabel(this, "product", lots::ProductText(row)), r++, 1, 1, 2);
    auto* thisLot = new QLabel(tr("This lot"), this);
    auto* newLot = new QLabel(tr("New lot"), this);
    QFont bold = thisLot->font();
    bold.setBold(true);
    thisLot->setFont(bold);
    newLot->setFont(bold);
    grid->addWidget(thisLot, r, 1);
    grid->addWidget(newLot, r++, 2);

    oldQuantity_ = lots::ValueLabel(this, "oldQuantity", withUnit(QString::number(row.Quantity)));
    newQuantity_ = lots::QuantityField(this, "newQuantity", QString());
    auto* quantityLabel = new QLabel(tr("&Quantity:"), this);
    quantityLabel->setBuddy(newQuantity_);
    auto* newQuantityRow = new QHBoxLayout;
    newQuantityRow->addWidget(newQuantity_, 1);
    newQuantityRow->addWidget(lots::ValueLabel(this, "newUnit", unit));
    grid->addWidget(quantityLabel, r, 0);
    grid->addWidget(oldQuantity_, r, 1);
    grid->addLayout(newQuantityRow, r++, 2);

    oldBalance_ = lots::ValueLabel(this, "oldBalance", withUnit(lots::Whole(row.Balance)));
    newQuantityEcho_ = lots::ValueLabel(this, "newBalance", withUnit(QStringLiteral("0")));
    grid->addWidget(new QLabel(tr("Balance:"), this), r, 0);
    grid->addWidget(oldBalance_, r, 1);
    grid->addWidget(newQuantityEcho_, r++, 2);

    newCost_ = new QLineEdit(lots::Money(row.CostPerUnit), this);
    newCost_->setObjectName("newCost");
    newCost_->setAlignment(Qt::AlignRight);
    auto* costLabel = new QLabel(tr("Unit &cost:"), this);
    costLabel->setBuddy(newCost_);
    grid->addWidget(costLabel, r, 0);
    grid->addWidget(lots::ValueLabel(this, "oldCost", lots::Money(row.CostPerUnit)), r, 1);
    grid->addWidget(newCost_, r++, 2);

    oldValue_ = lots::ValueLabel(this, "oldValue", lots::Money(row.CostPerUnit * row.Balance));
    newValue_ = lots::ValueLabel(this, "newValue", lots::Money(0));
    grid->addWidget(new QLabel(tr("Value:"), this), r, 0);
    grid->addWidget(oldValue_, r, 1);
    grid->addWidget(newValue_, r++, 2);

    grid->addWidget(new QLabel(tr("Received:"), this), r, 0);
    const int dateFormat = module ? module->DateFormat() : 1;
    grid->addWidget(lots::ValueLabel(this, "receiptDate", RowDate(row.Date, dateFormat)), r++, 1);

    expiry_ = new WSIDateEdit(this);
    expiry_->setObjectName("expiry");
    expiry_->SetDate(row.ExpiryDate);
    auto* expiryLabel = new QLabel(tr("&Expires:"), this);
    expiryLabel->setBuddy(expiry_);
    grid->addWidget(expiryLabel, r, 0);
    grid->addWidget(lots::ValueLabel(this, "oldExpiry", RowDate(row.ExpiryDate, dateFormat)), r, 1);
    grid->addWidget(expiry_, r++, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    layout->addSpacing(8);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setObjectName("ok");
    BindCommandButton(cm::Ok, box->button(QDialogButtonBox::Ok));
    BindCommandButton(cm::Cancel, box->button(QDialogButtonBox::Cancel));
    layout->addWidget(box);

    connect(newQuantity_, &QLineEdit::textChanged, this, [this] { EvNewQuantityChanged(); });
    connect(newCost_, &QLineEdit::textChanged, this, [this] { EvNewCostChanged(); });
    newQuantity_->setFocus();
}

void WSIInvSplitDialog::EvNewQuantityChanged() {
    long q = 0;
    lots::ReadQuantity(newQuantity_, q);
    const QString unit = QString::fromUtf8(row_.Unit).trimmed();
    oldQuantity_->setText(QString::number(row_.Quantity - q) + " " + unit);
    oldBalance_->setText(lots::Whole(row_.Balance - q) + " " + unit);
    oldValue_->setText(lots::Money((row_.Quantity - q) * row_.CostPerUnit));
    newQuantityEcho_->setText(QString::number(q) + " " + unit);
    EvNewCostChanged();
}

void WSIInvSplitDialog::EvNewCostChanged() {
    long q = 0;
    double cost = 0;
    lots::ReadQuantity(newQuantity_, q);
    lots::ReadCost(newCost_, cost);
    newValue_->setText(lots::Money(q * cost));
}

bool WSIInvSplitDialog::Validate() {
    long q = 0;
    if (!lots::CheckQuantity(*this, newQuantity_, q))
        return false;
    // At least one unit stays in the old lot.
    if (q >= row_.Quantity)
        return lots::Refuse(*this, kMsgWholeLot, newQuantity_);
    if (q > row_.Balance)
        return lots::Refuse(*this, kMsgAboveBalance, newQuantity_);
    if (expiry_->IsEmpty()) {
        if (Tracked())
            return lots::Refuse(*this, kMsgRequired, expiry_);
    } else if (!expiry_->IsValid()) {
        return lots::Refuse(*this, kMsgBadExpiry, expiry_);
    }
    double cost = 0;
    return lots::CheckCost(*this, newCost_, cost) &&
           lots::ConfirmNewCost(*this, newCost_, cost, row_.CostPerUnit);
}

void WSIInvSplitDialog::CmOk() {
    TVL_TRACE("WSIInvSplitDialog::CmOk");
    if (!Validate())
        return;
    long q = 0;
    double cost = 0;
    lots::ReadQuantity(newQuantity_, q);
    lots::ReadCost(newCost_, cost);
    const WSIDate expiry = expiry_->GetDate();
    try {
        WSIWaitCursor wait;
        BIInvSplit split(Module()->GetDb());
        newInvItem_ = split.Split(row_.InvItem, static_cast<short>(q), cost, expiry);
    } catch (BIException& e) {
        lots::ShowRefusal(*this, e);
        if (dynamic_cast<InvalidCost*>(&e))
            newCost_->setFocus();
        else
            newQuantity_->setFocus();
        return;
    }
    CloseWindow(id::OK);
    Module()->NotifyUpdate(kTemplate, 0);
    Module()->ProductRefresh(kTemplate, row_.Product);
}

#include "WSIInvRepackageProductDialog.h"

#include "BIException.h"
#include "BIInvRepackage.h"
#include "DBProduct.h"
#include "LotEntry.h"
#include "ProductLookups.h"
#include "SqlText.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

namespace lots = tavel::lots;

namespace {
// How much of the typed text names the product: its code or its UPC code.
constexpr int kCodeChars = 20;
constexpr int kUpcChars = 30;
} // namespace

WSIInvRepackageProductDialog::WSIInvRepackageProductDialog(QWidget* parent, WSIApplication* module,
                                                           const WSIReceivedData& row)
    : WSIDialog(parent, module, kTemplate), row_(row),
      target_(std::make_unique<DBProduct>(module ? module->GetDb() : nullptr)) {
    TVL_TRACE("WSIInvRepackageProductDialog::WSIInvRepackageProductDialog");
    setObjectName(QStringLiteral("WSIInvRepackageProductDialog"));
    setWindowTitle(tr("Repackage"));
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    layout->addLayout(columns);

    // The lot being repackaged.
    auto* source = new QGroupBox(tr("From this lot"), this);
    auto* from = new QFormLayout(source);
    from->addRow(tr("Product:"), lots::ValueLabel(source, "product", lots::ProductText(row)));
    oldQuantity_ = lots::QuantityField(source, "oldQuantity", lots::Whole(row.Balance));
    auto* oldLabel = new QLabel(tr("&Quantity:"), source);
    oldLabel->setBuddy(oldQuantity_);
    from->addRow(oldLabel, oldQuantity_);
    from->addRow(tr("Unit:"), lots::ValueLabel(source, "unit", QString::fromUtf8(row.Unit)));
    from->addRow(tr("Items per unit:"),
                 lots::ValueLabel(source, "itemsPerUnit", QString::number(row.ItemsPerUnit)));
    from->addRow(tr("Item unit:"),
                 lots::ValueLabel(source, "itemUnit", QString::fromUtf8(row.ItemUnit)));
    from->addRow(tr("Unit cost:"),
                 lots::ValueLabel(source, "unitCost", lots::Money(row.CostPerUnit)));
    totalValueLabel_ =
        lots::ValueLabel(source, "totalValue", lots::Money(row.CostPerUnit * row.Balance));
    from->addRow(tr("Total value:"), totalValueLabel_);
    singleItems_ = static_cast<long>(row.Balance) * PerUnit(row.ItemsPerUnit);
    totalValue_ = row.CostPerUnit * row.Balance;
    singleItemsLabel_ = lots::ValueLabel(source, "singleItems", QString::number(singleItems_));
    from->addRow(tr("Single items:"), singleItemsLabel_);
    columns->addWidget(source);

    // The product it becomes.
    auto* into = new QGroupBox(tr("Into"), this);
    auto* to = new QFormLayout(into);
    targetProduct_ = new QLineEdit(into);
    targetProduct_->setObjectName("targetProduct");
    targetProduct_->setMaxLength(kUpcChars);
    targetProduct_->installEventFilter(this);
    auto* find = AddCommandButton(IdProductHelp, tr("&Find..."));
    find->setObjectName("productHelp");
    auto* productRow = new QHBoxLayout;
    productRow->addWidget(targetProduct_, 1);
    productRow->addWidget(find);
    auto* productLabel = new QLabel(tr("&Product:"), into);
    productLabel->setBuddy(targetProduct_);
    to->addRow(productLabel, productRow);
    targetDescription_ = lots::ValueLabel(into, "targetDescription");
    targetDescription_->setWordWrap(true);
    to->addRow(tr("Description:"), targetDescription_);
    newQuantity_ = lots::QuantityField(into, "newQuantity", QStringLiteral("0"));
    auto* newLabel = new QLabel(tr("Q&uantity:"), into);
    newLabel->setBuddy(newQuantity_);
    to->addRow(newLabel, newQuantity_);
    targetUnit_ = lots::ValueLabel(into, "targetUnit");
    to->addRow(tr("Unit:"), targetUnit_);
    targetItemsPerUnit_ = lots::ValueLabel(into, "targetItemsPerUnit");
    to->addRow(tr("Items per unit:"), targetItemsPerUnit_);
    targetItemUnit_ = lots::ValueLabel(into, "targetItemUnit");
    to->addRow(tr("Item unit:"), targetItemUnit_);
    newCost_ = new QLineEdit(lots::Money(0), into);
    newCost_->setObjectName("newCost");
    newCost_->setAlignment(Qt::AlignRight);
    auto* costLabel = new QLabel(tr("Unit &cost:"), into);
    costLabel->setBuddy(newCost_);
    to->addRow(costLabel, newCost_);
    columns->addWidget(into);

    // Why the quantity was not worked out, when the units differ.
    unitNote_ = lots::ValueLabel(this, "unitNote");
    unitNote_->setWordWrap(true);
    layout->addWidget(unitNote_);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setObjectName("ok");
    BindCommandButton(cm::Ok, box->button(QDialogButtonBox::Ok));
    BindCommandButton(cm::Cancel, box->button(QDialogButtonBox::Cancel));
    layout->addWidget(box);

    SetCommand(IdProductHelp, [this] { CmProductHelp(); });
    connect(oldQuantity_, &QLineEdit::textEdited, this, [this] { EvOldQuantityChanged(); });
    connect(targetProduct_, &QLineEdit::textChanged, this, [this] { UpdateOtherFields(); });
    connect(newQuantity_, &QLineEdit::textEdited, this, [this] { EvNewQuantityChanged(); });
    ClearTarget();
    targetProduct_->setFocus();
}

WSIInvRepackageProductDialog::~WSIInvRepackageProductDialog() = default;

long WSIInvRepackageProductDialog::TargetProduct() const {
    return target_->IsRecord() ? target_->data.Product : 0;
}

void WSIInvRepackageProductDialog::EvOldQuantityChanged() {
    long quantity = 0;
    lots::ReadQuantity(oldQuantity_, quantity);
    singleItems_ = quantity * PerUnit(row_.ItemsPerUnit);
    totalValue_ = quantity * row_.CostPerUnit;
    singleItemsLabel_->setText(QString::number(singleItems_));
    totalValueLabel_->setText(lots::Money(totalValue_));
    UpdateOtherFields();
}

void WSIInvRepackageProductDialog::ClearTarget() {
    target_->InitRecord();
    ShowTarget();
}

void WSIInvRepackageProductDialog::ShowTarget() {
    const bool found = TargetProduct() != 0;
    const WSIProduct::WSIData& t = target_->data;
    targetDescription_->setText(found ? QString::fromUtf8(t.Description) : QString());
    targetUnit_->setText(found ? QString::fromUtf8(t.Unit) : QString());
    targetItemsPerUnit_->setText(QString::number(found ? t.ItemsPerUnit : 0));
    targetItemUnit_->setText(found ? QString::fromUtf8(t.ItemUnit) : QString());
}

void WSIInvRepackageProductDialog::UpdateOtherFields() {
    TVL_TRACE("WSIInvRepackageProductDialog::UpdateOtherFields");
    const QByteArray typed = targetProduct_->text().trimmed().toUtf8();
    long quantity = 0;
    double cost = 0;
    unitNote_->clear();
    if (typed.isEmpty()) {
        ClearTarget();
    } else {
        const std::string code(typed.constData(), std::min<std::size_t>(typed.size(), kCodeChars));
        if (!target_->IsRecord() ||
            code != QByteArray(target_->data.ProductCode).trimmed().toStdString()) {
            const std::string codeSql = tavel::EscapeQuotes(code.c_str());
            const std::string upcSql = tavel::EscapeQuotes(
                std::string(typed.constData(), std::min<std::size_t>(typed.size(), kUpcChars))
                    .c_str());
            target_->InitRecord();
            if (WSIDatabase* db = Module() ? Module()->GetDb() : nullptr) {
                WSIWaitCursor wait;
                auto q = db->Query(__FILE__, __LINE__,
                                   "SELECT %s FROM PRODUCT P WHERE P.\"ProductCode\"='%.*s' OR "
                                   "P.\"UPCCode\"='%.*s' ",
                                   WSIResult(*target_),
                                   db->GetTableColumns(__LINE__, __FILE__, "PRODUCT", "P"),
                                   static_cast<int>(codeSql.size()), codeSql.c_str(),
                                   static_cast<int>(upcSql.size()), upcSql.c_str());
                if (!q->GetFirst())
                    target_->InitRecord();
            }
        }
        ShowTarget();
        if (TargetProduct() != 0) {
            if (QString::fromUtf8(target_->data.Unit)
                    .trimmed()
                    .compare(QString::fromUtf8(row_.Unit).trimmed(), Qt::CaseInsensitive) == 0) {
                // Whole target units only: single items left over stay out of the count.
                quantity = singleItems_ / PerUnit(target_->data.ItemsPerUnit);
                cost = quantity > 0 ? totalValue_ / quantity : 0;
            } else {
                unitNote_->setText(tr("The target is counted in %1, the lot in %2: enter the "
                                      "target quantity and its unit cost yourself.")
                                       .arg(QString::fromUtf8(target_->data.Unit).trimmed(),
                                            QString::fromUtf8(row_.Unit).trimmed()));
            }
        } else {
            targetDescription_->setText(LoadString(kMsgNoTarget));
        }
    }
    newQuantity_->setText(QString::number(std::min(quantity, lots::kMaxQuantity)));
    newCost_->setText(lots::Money(cost));
}

void WSIInvRepackageProductDialog::EvNewQuantityChanged() {
    long quantity = 0;
    lots::ReadQuantity(newQuantity_, quantity);
    newCost_->setText(lots::Money(quantity > 0 ? totalValue_ / quantity : 0));
}

void WSIInvRepackageProductDialog::CmProductHelp() {
    TVL_TRACE("WSIInvRepackageProductDialog::CmProductHelp");
    const tavel::products::ProductChoice choice = tavel::products::LookUpProduct(this, Module());
    if (choice.product != 0)
        targetProduct_->setText(QString::fromUtf8(choice.productCode.c_str()).trimmed());
    newQuantity_->setFocus();
}

bool WSIInvRepackageProductDialog::eventFilter(QObject* watched, QEvent* event) {
    // A code typed or scanned into the target field ends with Enter; it must not close
    // the screen.
    if (watched == targetProduct_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return WSIDialog::eventFilter(watched, event);
}

bool WSIInvRepackageProductDialog::Validate() {
    long oldQuantity = 0;
    if (!lots::CheckQuantity(*this, oldQuantity_, oldQuantity))
        return false;
    if (oldQuantity > row_.Balance)
        return lots::Refuse(*this, kMsgAboveBalance, oldQuantity_);
    if (targetProduct_->text().trimmed().isEmpty())
        return lots::Refuse(*this, kMsgRequired, targetProduct_);
    if (TargetProduct() == 0)
        return lots::Refuse(*this, kMsgNoTarget, targetProduct_);
    // A target quantity of 0 (another unit) is left to the repackaging to refuse.
    long newQuantity = 0;
    if (lots::ReadQuantity(newQuantity_, newQuantity) == lots::Entry::Empty)
        return lots::Refuse(*this, kMsgRequired, newQuantity_);
    double cost = 0;
    return lots::CheckCost(*this, newCost_, cost);
}

void WSIInvRepackageProductDialog::FocusFor(BIException& e) {
    if (dynamic_cast<InvalidRepackageQuantity*>(&e))
        oldQuantity_->setFocus();
    else if (dynamic_cast<InvalidQuantity*>(&e))
        newQuantity_->setFocus();
    else if (dynamic_cast<InvalidCost*>(&e))
        newCost_->setFocus();
    else
        targetProduct_->setFocus();
}

void WSIInvRepackageProductDialog::CmOk() {
    TVL_TRACE("WSIInvRepackageProductDialog::CmOk");
    if (!Validate())
        return;
    long oldQuantity = 0;
    long newQuantity = 0;
    double cost = 0;
    lots::ReadQuantity(oldQuantity_, oldQuantity);
    lots::ReadQuantity(newQuantity_, newQuantity);
    lots::ReadCost(newCost_, cost);
    const long target = TargetProduct();
    try {
        WSIWaitCursor wait;
        BIInvRepackage repackage(Module()->GetDb());
        repackage.Repackage(row_.InvItem, row_.InvLoc, row_.Product,
                            static_cast<short>(oldQuantity), target,
                            static_cast<short>(newQuantity), cost);
    } catch (BIException& e) {
        lots::ShowRefusal(*this, e);
        FocusFor(e);
        return;
    }
    CloseWindow(id::OK);
    // The lot's product, then the product it became: both lists re-read their rows.
    Module()->NotifyUpdate(kTemplate, row_.Product);
    Module()->ProductRefresh(kTemplate, target);
}

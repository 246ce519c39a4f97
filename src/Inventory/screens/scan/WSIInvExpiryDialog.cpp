#include "WSIInvExpiryDialog.h"

#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIDateEdit.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

namespace {
bool Before(const WSIDate& a, const WSIDate& b) {
    if (a.year != b.year)
        return a.year < b.year;
    if (a.month != b.month)
        return a.month < b.month;
    return a.day < b.day;
}
} // namespace

WSIInvExpiryDialog::WSIInvExpiryDialog(QWidget* parent, WSIApplication* module,
                                       const WSIProduct::WSIData& product)
    : WSIDialog(parent, module, kTemplate) {
    setWindowTitle(tr("Expiry Date"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    QString category;
    if (WSIDatabase* db = module ? module->GetDb() : nullptr) {
        WSIPrdCat cat(db);
        cat.data.PrdType = product.PrdType;
        std::memcpy(cat.data.PrdCat, product.PrdCat, sizeof cat.data.PrdCat);
        if (cat.GetEqual(__FILE__, __LINE__))
            category = QString::fromUtf8(cat.data.Description);
    }
    auto* description = new QLabel(QString::fromUtf8(product.Description), this);
    description->setObjectName("description");
    auto* categoryLabel = new QLabel(category, this);
    categoryLabel->setObjectName("category");
    lot_ = new QLabel(this);
    lot_->setObjectName("lot");
    date_ = new WSIDateEdit(this);
    date_->setObjectName("expiry");
    form->addRow(tr("Product:"), description);
    form->addRow(tr("Category:"), categoryLabel);
    form->addRow(tr("Lot:"), lot_);
    form->addRow(tr("&Expiry date:"), date_);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    BindCommandButton(cm::Ok, box->button(QDialogButtonBox::Ok));
    BindCommandButton(cm::Cancel, box->button(QDialogButtonBox::Cancel));
    box->button(QDialogButtonBox::Ok)->setObjectName("ok");
    layout->addWidget(box);
    date_->setFocus();
}

void WSIInvExpiryDialog::SetExpiry(const WSIDate& date) {
    date_->SetDate(date);
}

void WSIInvExpiryDialog::SetLot(const QString& lot) {
    lot_->setText(lot);
}

bool WSIInvExpiryDialog::GetExpiry(WSIDate& date) const {
    date = accepted_;
    return !accepted_.IsNull();
}

void WSIInvExpiryDialog::CmOk() {
    TVL_TRACE("WSIInvExpiryDialog::CmOk");
    accepted_ = {};
    WSIDate today{};
    if (WSIDatabase* db = Module() ? Module()->GetDb() : nullptr)
        db->GetCurrentDate(today);
    if (date_->IsEmpty() || !date_->IsValid()) {
        MessageBox(kMsgBadDate, mb::OK | mb::ICONEXCLAMATION);
        date_->setFocus();
        return;
    }
    const WSIDate date = date_->GetDate();
    // A lot already past its date is taken only when the user says so.
    if (Before(date, today) && (!Module() || Module()->WarnDialog(this, kWarnExpired) != id::OK)) {
        date_->setFocus();
        return;
    }
    accepted_ = date;
    CloseWindow(id::OK);
}

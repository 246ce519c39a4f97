#include "WSIInvAdjustCostsDialog.h"

#include "BIException.h"
#include "BIInvAdj.h"
#include "LotEntry.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDateEdit.h"

#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lots = tavel::lots;

#include <cmath>

WSIInvAdjustCostsDialog::WSIInvAdjustCostsDialog(QWidget* parent, WSIApplication* module,
                                                 const WSIReceivedData& row)
    : WSIDialog(parent, module, kTemplate), row_(row) {
    setWindowTitle(tr("Correct Received Lot"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    auto label = [this](const QString& text, const char* name) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    auto* date = new WSIDateEdit(this);
    date->setObjectName("receiptDate");
    date->setEnabled(false);
    if (!row.Date.IsNull())
        date->SetDate(row.Date);
    form->addRow(tr("Received:"), date);
    form->addRow(tr("Product:"), label(QString::fromUtf8(row.ProductCode).trimmed() + "  " +
                                           QString::fromUtf8(row.ProductDesc),
                                       "product"));
    form->addRow(tr("Location:"), label(QString::fromUtf8(row.InvLoc).trimmed(), "location"));
    form->addRow(tr("Quantity:"), label(QString::number(row.Quantity), "quantity"));
    form->addRow(
        tr("Balance:"),
        label(QString::number(static_cast<long>(std::floor(row.Balance + 0.5))), "balance"));
    cost_ = new QLineEdit(QString::number(row.CostPerUnit, 'f', 2), this);
    cost_->setObjectName("cost");
    form->addRow(tr("&Cost per unit:"), cost_);
    expiry_ = new WSIDateEdit(this);
    expiry_->setObjectName("expiry");
    expiry_->SetDate(row.ExpiryDate);
    expiryLabel_ = new QLabel(tr("&Expiry date:"), this);
    expiryLabel_->setObjectName("expiryLabel");
    expiryLabel_->setBuddy(expiry_);
    form->addRow(expiryLabel_, expiry_);
    expiry_->setVisible(Tracked());
    expiryLabel_->setVisible(Tracked());
    refNo_ = new QLineEdit(QString::fromUtf8(row.RefNo), this);
    refNo_->setObjectName("refNo");
    refNo_->setMaxLength(50);
    form->addRow(tr("&Reference:"), refNo_);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    BindCommandButton(cm::Ok, box->button(QDialogButtonBox::Ok));
    BindCommandButton(cm::Cancel, box->button(QDialogButtonBox::Cancel));
    layout->addWidget(box);
    cost_->setFocus();
}

bool WSIInvAdjustCostsDialog::Validate() {
    // A product without expiry tracking stays correctable: its hidden date is not checked.
    if (Tracked()) {
        if (expiry_->IsEmpty()) {
            MessageBox(kMsgRequired, mb::OK | mb::ICONINFORMATION);
            expiry_->setFocus();
            return false;
        }
        if (!expiry_->IsValid()) {
            expiry_->setFocus();
            return false;
        }
    }
    double cost = 0;
    return lots::CheckCost(*this, cost_, cost) &&
           lots::ConfirmNewCost(*this, cost_, cost, row_.CostPerUnit);
}

void WSIInvAdjustCostsDialog::CmOk() {
    TVL_TRACE("WSIInvAdjustCostsDialog::CmOk");
    if (!Validate())
        return;
    const double cost = cost_->text().trimmed().toDouble();
    const WSIDate expiry = Tracked() ? expiry_->GetDate() : row_.ExpiryDate;
    const QByteArray refNo = refNo_->text().left(50).toUtf8();
    try {
        BIInvAdj adjust(Module()->GetDb());
        adjust.AdjustReceivedDetails(row_.InvItem, cost, expiry, refNo.constData());
    } catch (BIException& e) {
        MessageBox(QString::fromUtf8(e.GetErrMsg(true)), mb::OK | mb::ICONEXCLAMATION);
        // The cost checks belong to the cost field, the rest to the expiry date.
        if (dynamic_cast<InvalidCost*>(&e) || !Tracked())
            cost_->setFocus();
        else
            expiry_->setFocus();
        return;
    }
    CloseWindow(id::OK);
    Module()->NotifyUpdate(kTemplate, 0);
    Module()->ProductRefresh(kTemplate, row_.Product);
}

#include "LotEntry.h"

#include "BIException.h"
#include "BIInventory.h"
#include "WSIApplication.h"
#include "WSIDialog.h"

#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace tavel::lots {

QString Whole(double quantity) {
    return QString::number(static_cast<long>(std::floor(quantity + 0.5)));
}

QString Money(double amount) {
    return QString::number(BIInventory::RoundToCents(amount), 'f', 2);
}

QString ProductText(const WSIReceivedData& row) {
    return QString::fromUtf8(row.ProductCode).trimmed() + "  " +
           QString::fromUtf8(row.ProductDesc).trimmed();
}

QLabel* ValueLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLineEdit* QuantityField(QWidget* parent, const char* name, const QString& text) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(QLatin1String(name));
    field->setValidator(new QIntValidator(0, static_cast<int>(kMaxQuantity), field));
    field->setAlignment(Qt::AlignRight);
    return field;
}

Entry ReadQuantity(const QLineEdit* field, long& quantity) {
    quantity = 0;
    const QString text = field->text().trimmed();
    if (text.isEmpty())
        return Entry::Empty;
    bool ok = false;
    quantity = text.toLong(&ok);
    if (!ok || quantity < 0 || quantity > kMaxQuantity) {
        quantity = 0;
        return Entry::Invalid;
    }
    return Entry::Ok;
}

Entry ReadCost(const QLineEdit* field, double& cost) {
    cost = 0;
    const QString text = field->text().trimmed();
    if (text.isEmpty())
        return Entry::Empty;
    bool ok = false;
    cost = text.toDouble(&ok);
    if (!ok || !BIInventory::IsValidCost(cost)) {
        cost = 0;
        return Entry::Invalid;
    }
    return Entry::Ok;
}

bool Refuse(WSIDialog& screen, unsigned code, QWidget* field) {
    screen.MessageBox(code, mb::OK | mb::ICONINFORMATION);
    field->setFocus();
    return false;
}

bool CheckQuantity(WSIDialog& screen, QLineEdit* field, long& quantity) {
    switch (ReadQuantity(field, quantity)) {
    case Entry::Empty:
        return Refuse(screen, kMsgRequired, field);
    case Entry::Invalid:
        return Refuse(screen, kMsgBadQuantity, field);
    case Entry::Ok:
        break;
    }
    return quantity >= 1 || Refuse(screen, kMsgBadQuantity, field);
}

bool CheckCost(WSIDialog& screen, QLineEdit* field, double& cost) {
    switch (ReadCost(field, cost)) {
    case Entry::Empty:
        return Refuse(screen, kMsgRequired, field);
    case Entry::Invalid:
        return Refuse(screen, kMsgBadCost, field);
    case Entry::Ok:
        break;
    }
    return true;
}

bool ConfirmNewCost(WSIDialog& screen, QLineEdit* field, double cost, double lotCost) {
    if (std::fabs(cost - lotCost) < 0.005)
        return true;
    if (screen.Module() && screen.Module()->WarnDialog(&screen, kWarnCostChanged) == id::OK)
        return true;
    field->setFocus();
    return false;
}

void ShowRefusal(WSIDialog& screen, BIException& e) {
    screen.MessageBox(QString::fromUtf8(e.GetErrMsg(true)), mb::OK | mb::ICONEXCLAMATION);
}

} // namespace tavel::lots

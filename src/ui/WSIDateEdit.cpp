#include "WSIDateEdit.h"

#include "Clock.h"

#include <QPalette>

WSIDateEdit::WSIDateEdit(QWidget* parent) : QLineEdit(parent) {
    setPlaceholderText(QStringLiteral("mm/dd/yyyy"));
    setMaxLength(10);
    normalText_ = palette().color(QPalette::Text);
    connect(this, &QLineEdit::textChanged, this, [this] { UpdateLook(); });
}

bool WSIDateEdit::IsEmpty() const {
    return text().trimmed().isEmpty();
}

bool WSIDateEdit::IsValid() const {
    return Parse(text()).isValid();
}

QDate WSIDateEdit::Date() const {
    return Parse(text());
}

WSIDate WSIDateEdit::GetDate() const {
    const QDate d = Date();
    if (!d.isValid())
        return {};
    return WSIDate{static_cast<short>(d.year()), static_cast<short>(d.month()),
                   static_cast<short>(d.day())};
}

void WSIDateEdit::SetDate(const QDate& date) {
    setText(date.isValid() ? Format(date) : QString());
}

void WSIDateEdit::SetDate(const WSIDate& date) {
    SetDate(date.IsNull() ? QDate() : QDate(date.year, date.month, date.day));
}

QDate WSIDateEdit::Parse(const QString& text) {
    WSIDate d;
    if (!tavel::ParseEntryDate(text.toStdString(), tavel::DateForm::MonthDayYear, d))
        return {};
    return QDate(d.year, d.month, d.day);
}

QString WSIDateEdit::Format(const QDate& date) {
    return date.toString(QStringLiteral("MM/dd/yyyy"));
}

void WSIDateEdit::UpdateLook() {
    // A wrong date shows in red at once; the screen still decides what to do with it.
    QPalette p = palette();
    p.setColor(QPalette::Text, IsEmpty() || IsValid() ? normalText_ : QColor(Qt::red));
    setPalette(p);
}

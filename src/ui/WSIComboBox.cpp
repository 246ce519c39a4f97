#include "WSIComboBox.h"

WSIComboBox::WSIComboBox(QWidget* parent) : QComboBox(parent) {}

int WSIComboBox::AddEntry(const QString& text, long value) {
    addItem(text, QVariant::fromValue<qlonglong>(value));
    return count() - 1;
}

long WSIComboBox::Value(int index, long fallback) const {
    if (index < 0 || index >= count())
        return fallback;
    const QVariant v = itemData(index);
    return v.isValid() ? static_cast<long>(v.toLongLong()) : fallback;
}

long WSIComboBox::CurrentValue(long fallback) const {
    return Value(currentIndex(), fallback);
}

int WSIComboBox::FindValue(long value) const {
    return findData(QVariant::fromValue<qlonglong>(value));
}

bool WSIComboBox::SelectValue(long value) {
    const int i = FindValue(value);
    if (i < 0)
        return false;
    setCurrentIndex(i);
    return true;
}

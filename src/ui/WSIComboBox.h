#pragma once

// A drop-down whose entries each carry a number (a type id, a status code), so a
// screen asks for the value of the chosen entry instead of parsing its text.

#include <QComboBox>

class WSIComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit WSIComboBox(QWidget* parent = nullptr);

    // Appends an entry; returns its index.
    int AddEntry(const QString& text, long value);
    // Value of entry index; fallback when index is out of range.
    long Value(int index, long fallback = -1) const;
    // Value of the chosen entry; fallback when none is chosen.
    long CurrentValue(long fallback = -1) const;
    // First entry carrying value, -1 when none.
    int FindValue(long value) const;
    // Chooses the first entry carrying value; false (choice unchanged) when none does.
    bool SelectValue(long value);
};

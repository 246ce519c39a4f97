#pragma once

// A date field that may be left empty, which a date picker cannot. It shows and
// takes dates as month/day/year and says whether its text is a valid date, so a
// screen can tell "no date" from "a wrong date".

#include "Record.h"

#include <QColor>
#include <QDate>
#include <QLineEdit>

class WSIDateEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit WSIDateEdit(QWidget* parent = nullptr);

    // Nothing but blanks in the field.
    bool IsEmpty() const;
    // The text is a date that exists: M/D/YYYY (one or two digit month and day) or
    // M/D/YY, whose year is taken in 1950..2049; years 1900..2199 only.
    bool IsValid() const;
    // The date shown; a null date when the field is empty or invalid.
    QDate Date() const;
    WSIDate GetDate() const;

    // Shows date as MM/DD/YYYY; a null date empties the field.
    void SetDate(const QDate& date);
    void SetDate(const WSIDate& date);

    // Parses text as the field does; a null date when it is no date.
    static QDate Parse(const QString& text);
    static QString Format(const QDate& date);

private:
    void UpdateLook();

    QColor normalText_;
};

#pragma once

// The bar-code content screen: the complete data of the last scan, with the group
// separators made visible and, for GS1 data, the fields the parser found.

#include "WSIDialog.h"

#include <string>

class QPlainTextEdit;

class WSIBarCodeView : public WSIDialog {
    Q_OBJECT

public:
    WSIBarCodeView(QWidget* parent, WSIApplication* module, int templateId, const std::string& raw);

    // The text shown: control characters as <GS>, <RS>, ..., then the parsed fields.
    static QString Describe(const std::string& raw);
    QString Text() const;

private:
    QPlainTextEdit* text_;
};

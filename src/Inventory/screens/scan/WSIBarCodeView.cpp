#include "WSIBarCodeView.h"

#include "WSIBarCodeFuncs.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

WSIBarCodeView::WSIBarCodeView(QWidget* parent, WSIApplication* module, int templateId,
                               const std::string& raw)
    : WSIDialog(parent, module, templateId) {
    setWindowTitle(tr("Bar Code"));
    auto* layout = new QVBoxLayout(this);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("barCodeText");
    text_->setReadOnly(true);
    text_->setPlainText(Describe(raw));
    layout->addWidget(text_);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Close, this);
    BindCommandButton(cm::Cancel, box->button(QDialogButtonBox::Close));
    layout->addWidget(box);
    resize(480, 260);
}

QString WSIBarCodeView::Text() const {
    return text_->toPlainText();
}

QString WSIBarCodeView::Describe(const std::string& raw) {
    static const char* const kNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                           "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                           "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                           "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    QString shown;
    for (unsigned char c : raw) {
        if (c < 32)
            shown += QStringLiteral("<%1>").arg(QLatin1String(kNames[c]));
        else
            shown += QChar(c);
    }
    WSIBarCodeFuncs parser;
    if (raw.empty() || !parser.ScanBarCode(raw.c_str(), 3) || !parser.Fields().isGs1)
        return shown;
    const WSIBarCodeFields& f = parser.Fields();
    shown += "\n";
    for (const auto& [ai, value] : f.elements)
        shown += QStringLiteral("\n(%1) %2")
                     .arg(QString::fromStdString(ai), QString::fromStdString(value));
    if (!f.error.empty())
        shown += "\n" + QString::fromStdString(f.error);
    return shown;
}

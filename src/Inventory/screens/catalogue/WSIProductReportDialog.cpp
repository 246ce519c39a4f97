#include "WSIProductReportDialog.h"

#include "BoundedFormat.h"
#include "CCrystalReportObj.h"
#include "Records.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIComboBox.h"
#include "WSIDatabase.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr unsigned kMsgAll = 38040;
constexpr unsigned kMsgPreview = 38122;
constexpr unsigned kMsgProductReport = 38123;
constexpr unsigned kMsgTitle = 38023;
constexpr const char* kReportFile = "Product.rpt";
} // namespace

WSIProductReportDialog::WSIProductReportDialog(QWidget* parent, int templateId, bool preview,
                                               WSIApplication* module)
    : WSIDialog(parent, module, templateId), preview_(preview),
      type0_(new QRadioButton(tr("&Catalogue"), this)),
      type1_(new QRadioButton(tr("&One location"), this)), prdType0_(new WSIComboBox(this)),
      order0_(new WSIComboBox(this)), style_(new WSIComboBox(this)),
      prdType1_(new WSIComboBox(this)), location_(new WSIComboBox(this)),
      order1_(new WSIComboBox(this)), label_(new QLabel(this)) {
    TVL_TRACE("WSIProductReportDialog::WSIProductReportDialog");
    setObjectName(QStringLiteral("WSIProductReportDialog"));
    const QString all = LoadString(kMsgAll);
    const QString title = LoadString(kMsgProductReport);
    setWindowTitle(title);
    label_->setText(title);
    if (preview_) {
        const QString previewText = LoadString(kMsgPreview);
        setWindowTitle(previewText + QLatin1Char(' ') + title);
        label_->setText(previewText);
    }
    QFont big = label_->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.25);
    label_->setFont(big);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    struct Named {
        int id;
        QWidget* widget;
        const char* name;
    };
    for (const Named& n :
         {Named{IdType0, type0_, "type0"}, Named{IdType1, type1_, "type1"},
          Named{IdPrdType0, prdType0_, "prdType0"}, Named{IdOrder0, order0_, "order0"},
          Named{IdStyle, style_, "style"}, Named{IdPrdType1, prdType1_, "prdType1"},
          Named{IdLocation, location_, "location"}, Named{IdOrder1, order1_, "order1"},
          Named{IdLabel, label_, "label"}}) {
        n.widget->setObjectName(QLatin1String(n.name));
        AddControl(n.id, n.widget);
    }

    const auto group = [&](QRadioButton* radio,
                           std::initializer_list<std::pair<QString, QWidget*>> rows) {
        auto* box = new QGroupBox(this);
        auto* grid = new QGridLayout(box);
        grid->addWidget(radio, 0, 0, 1, 2);
        int r = 1;
        for (const auto& [text, widget] : rows) {
            auto* label = new QLabel(text, box);
            label->setBuddy(widget);
            grid->addWidget(label, r, 0);
            grid->addWidget(widget, r, 1);
            ++r;
        }
        grid->setColumnStretch(1, 1);
        layout->addWidget(box);
    };
    group(type0_,
          {{tr("Product &type"), prdType0_}, {tr("O&rder by"), order0_}, {tr("&Style"), style_}});
    group(type1_, {{tr("Product t&ype"), prdType1_},
                   {tr("&Location"), location_},
                   {tr("Or&der by"), order1_}});

    for (WSIComboBox* types : {prdType0_, prdType1_})
        types->AddEntry(all, -1);
    if (WSIDatabase* db = Module() ? Module()->GetDb() : nullptr) {
        WSIPrdType type(db);
        for (bool found = type.GetFirst(); found; found = type.GetNext())
            for (WSIComboBox* types : {prdType0_, prdType1_})
                types->AddEntry(QString::fromUtf8(type.data.Description), type.data.PrdType);
        WSIInvLoc loc(db);
        for (bool found = loc.GetFirst(); found; found = loc.GetNext())
            location_->AddEntry(QString::fromUtf8(loc.data.InvLoc).trimmed(), 0);
    }
    // The entries' order is the report's: their index is what it receives.
    order0_->addItems({tr("Product code"), tr("Description"), tr("Product type and category")});
    order1_->addItems({tr("Product code"), tr("Description"), tr("Bin")});
    style_->addItems({tr("Short list"), tr("Full list")});
    for (WSIComboBox* combo : {prdType0_, prdType1_, order0_, order1_, style_, location_})
        combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AddCommandButton(CmPreview, tr("Pre&view")));
    QPushButton* ok = AddCommandButton(cm::Ok, preview_ ? tr("Pre&view and close") : tr("&Print"));
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(AddCommandButton(cm::Cancel, tr("Cancel")));
    layout->addLayout(buttons);
    SetCommand(CmPreview, [this] { ProductReport(CurrentChoice(), true); });

    // The two choices sit in separate boxes, so they are made exclusive explicitly.
    auto* types = new QButtonGroup(this);
    types->addButton(type0_, 0);
    types->addButton(type1_, 1);
    type0_->setChecked(true);
    connect(types, &QButtonGroup::idToggled, this, [this] { CmReportTypeRadio(); });
    CmReportTypeRadio();
}

void WSIProductReportDialog::CmReportTypeRadio() {
    const bool catalogue = type0_->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(prdType0_), static_cast<QWidget*>(order0_),
                       static_cast<QWidget*>(style_)})
        w->setEnabled(catalogue);
    for (QWidget* w : {static_cast<QWidget*>(prdType1_), static_cast<QWidget*>(location_),
                       static_cast<QWidget*>(order1_)})
        w->setEnabled(!catalogue);
}

WSIProductReportDialog::Choice WSIProductReportDialog::CurrentChoice() const {
    Choice c;
    if (type0_->isChecked()) {
        c.reportType = 0;
        c.prdType = prdType0_->CurrentValue(-1);
        c.orderBy = std::max(order0_->currentIndex(), 0);
        c.style = std::max(style_->currentIndex(), 0);
    } else {
        c.reportType = 1;
        c.prdType = prdType1_->CurrentValue(-1);
        c.orderBy = std::max(order1_->currentIndex(), 0);
        if (location_->currentIndex() >= 0)
            c.invLoc = location_->currentText().left(128).toStdString();
    }
    return c;
}

void WSIProductReportDialog::CmOk() {
    TVL_TRACE("WSIProductReportDialog::CmOk");
    ProductReport(CurrentChoice(), preview_);
    CloseWindow(id::OK);
}

bool WSIProductReportDialog::ProductReport(const Choice& choice, bool preview) {
    TVL_TRACE("WSIProductReportDialog::ProductReport");
    WSIWaitCursor wait;
    ST_FORMULAS formulas[5];
    char value[256];
    TVL_FORMAT(value, "%d", choice.reportType);
    SetStringFormula(formulas[0], "ReportType", value);
    TVL_FORMAT(value, "%ld", choice.prdType);
    SetStringFormula(formulas[1], "PrdType", value);
    TVL_FORMAT(value, "%s", choice.invLoc.c_str());
    SetStringFormula(formulas[2], "InvLoc", value);
    TVL_FORMAT(value, "%d", choice.orderBy);
    SetStringFormula(formulas[3], "OrderBy", value);
    TVL_FORMAT(value, "%d", choice.style);
    SetStringFormula(formulas[4], "ReportStyle", value);
    char title[512] = "";
    if (Module())
        Module()->LoadString(kMsgTitle, title, sizeof title);
    auto report =
        std::make_unique<CCrystalReportObj>(Module() ? Module()->GetCrystalEngine() : nullptr,
                                            kReportFile, title, preview ? 1 : 0, this);
    report->SetFormulas(formulas, 5);
    const bool printed = report->Print(false, true);
    report.reset();
    return printed;
}

#include "WSIInvProductOverviewDialog.h"

#include "BIInventory.h"
#include "BoundedFormat.h"
#include "CCrystalReportObj.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIDateEdit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr const char* kReportFile = "PrdOverview.rpt";
constexpr int kMaxFormulas = 8;
} // namespace

WSIInvProductOverviewDialog::WSIInvProductOverviewDialog(QWidget* parent, WSIApplication* module,
                                                         long product, const char* invLoc)
    : WSIDialog(parent, module, kTemplate), product_(product), invLoc_(invLoc ? invLoc : "") {
    TVL_TRACE("WSIInvProductOverviewDialog::WSIInvProductOverviewDialog");
    setObjectName(QStringLiteral("WSIInvProductOverviewDialog"));
    setWindowTitle(LoadString(kMsgTitle));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    QString productText;
    if (WSIDatabase* db = module ? module->GetDb() : nullptr) {
        BIInventory inventory(db);
        char code[64] = {};
        char description[128] = {};
        if (inventory.FindProduct(product, false) && inventory.GetProductCode(code, sizeof code) &&
            inventory.GetProductDescription(description, sizeof description))
            productText = QString::fromUtf8(code).trimmed() + "  " + QString::fromUtf8(description);
    }
    auto* productLabel = new QLabel(productText, this);
    productLabel->setObjectName("product");
    form->addRow(tr("Product:"), productLabel);
    auto* locationLabel = new QLabel(QString::fromUtf8(invLoc_.c_str()).trimmed(), this);
    locationLabel->setObjectName("location");
    form->addRow(tr("Location:"), locationLabel);

    useStartDate_ = new QCheckBox(tr("Only movements since a &start date"), this);
    useStartDate_->setObjectName("useStartDate");
    form->addRow(useStartDate_);
    startDate_ = new WSIDateEdit(this);
    startDate_->setObjectName("startDate");
    auto* startLabel = new QLabel(tr("Start &date:"), this);
    startLabel->setBuddy(startDate_);
    form->addRow(startLabel, startDate_);
    showAllCounts_ = new QCheckBox(tr("Show &all counts, also those before the start date"), this);
    showAllCounts_->setObjectName("showAllCounts");
    form->addRow(showAllCounts_);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setText(tr("Pre&view"));
    box->button(QDialogButtonBox::Ok)->setObjectName("ok");
    BindCommandButton(cm::Ok, box->button(QDialogButtonBox::Ok));
    BindCommandButton(cm::Cancel, box->button(QDialogButtonBox::Cancel));
    layout->addWidget(box);

    connect(useStartDate_, &QCheckBox::toggled, this, [this] { EvUseStartDate(); });
    EvUseStartDate();
}

void WSIInvProductOverviewDialog::EvUseStartDate() {
    const bool use = useStartDate_->isChecked();
    startDate_->setEnabled(use);
    if (!use || !startDate_->IsEmpty())
        return;
    WSIDate today{};
    if (WSIDatabase* db = Module() ? Module()->GetDb() : nullptr)
        db->GetCurrentDate(today);
    const QDate base =
        today.IsNull() ? QDate::currentDate() : QDate(today.year, today.month, today.day);
    // One month back, the period the inventory lists start with too.
    startDate_->SetDate(base.addMonths(-1));
}

bool WSIInvProductOverviewDialog::Formulas(
    std::vector<std::pair<std::string, std::string>>& formulas) const {
    formulas.clear();
    const bool useStart = useStartDate_->isChecked();
    if (useStart && !startDate_->IsValid())
        return false;
    char value[32];
    TVL_FORMAT(value, "%ld", product_);
    formulas.emplace_back("Product", value);
    formulas.emplace_back("InvLoc", invLoc_);
    TVL_FORMAT(value, "%d", useStart ? 1 : 0);
    formulas.emplace_back("UseStartDate", value);
    if (useStart) {
        const WSIDate start = startDate_->GetDate();
        TVL_FORMAT(value, "%d", start.year);
        formulas.emplace_back("StartYear", value);
        TVL_FORMAT(value, "%d", start.month);
        formulas.emplace_back("StartMonth", value);
        TVL_FORMAT(value, "%d", start.day);
        formulas.emplace_back("StartDay", value);
    }
    TVL_FORMAT(value, "%d", showAllCounts_->isChecked() ? 1 : 0);
    formulas.emplace_back("ShowAllInvCnt", value);
    return true;
}

void WSIInvProductOverviewDialog::CmOk() {
    TVL_TRACE("WSIInvProductOverviewDialog::CmOk");
    std::vector<std::pair<std::string, std::string>> values;
    if (!Formulas(values)) {
        MessageBox(kMsgBadDate, mb::OK | mb::ICONINFORMATION);
        startDate_->setFocus();
        return;
    }
    {
        WSIWaitCursor wait;
        ST_FORMULAS formulas[kMaxFormulas];
        int count = 0;
        for (const auto& [name, value] : values)
            SetStringFormula(formulas[count++], name.c_str(), value.c_str());
        char title[512] = "";
        if (Module())
            Module()->LoadString(kMsgTitle, title, sizeof title);
        auto report = std::make_unique<CCrystalReportObj>(
            Module() ? Module()->GetCrystalEngine() : nullptr, kReportFile, title, 1, this);
        report->SetFormulas(formulas, count);
        report->SetFormulaError(true);
        report->Print(false, true);
    }
    CloseWindow(id::OK);
}

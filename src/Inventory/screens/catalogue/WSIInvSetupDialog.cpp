#include "WSIInvSetupDialog.h"

#include "BICatalogue.h"
#include "BIInventory.h"
#include "InventoryModule.h"
#include "Records.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIComboBox.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "WSIProfile.h"
#include "schema/InventoryCodes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>

namespace {

constexpr const char* kSection = "Inventory";
constexpr const char* kKeyLocation = "Location";
constexpr const char* kKeyOrderType = "Order Type";
constexpr const char* kKeyOrderFrom = "Order From";
constexpr const char* kKeyTransferFrom = "Transfer From";
constexpr const char* kKeyTransferTo = "Transfer To";
constexpr int kCodeWidth = 6;
constexpr int kOrderFromWidth = 50;

constexpr unsigned kMsgLengthRange = 38599;
constexpr unsigned kMsgCodesShorter = 38609;
constexpr unsigned kMsgNoOptionsRecord = 39804;

// A profile value as the screens read it: at most width characters.
std::string Cut(const QString& text, int width) {
    return text.left(width).toStdString();
}

void SelectText(WSIComboBox* combo, const QString& text) {
    combo->setCurrentIndex(text.isEmpty() ? combo->findText(QString()) : combo->findText(text));
}

} // namespace

WSIInvSetupDialog::WSIInvSetupDialog(QWidget* parent, WSIApplication* module)
    : WSIDialog(parent, module, kTemplate), location_(new WSIComboBox(this)),
      orderType_(new WSIComboBox(this)), orderFromVendor_(new WSIComboBox(this)),
      orderFromLocation_(new WSIComboBox(this)), orderFromLabel_(nullptr),
      transferFrom_(new WSIComboBox(this)), transferTo_(new WSIComboBox(this)),
      minLength_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("WSIInvSetupDialog"));
    setWindowTitle(tr("Inventory Setup"));
    auto* layout = new QVBoxLayout(this);

    auto* workstation = new QFormLayout;
    auto* header = new QLabel(tr("Defaults of this workstation"), this);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    layout->addWidget(header);
    layout->addLayout(workstation);
    const auto add = [&](QFormLayout* form, const QString& text, int id, QWidget* field,
                         const char* name) {
        field->setObjectName(QLatin1String(name));
        AddControl(id, field);
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        form->addRow(label, field);
        return label;
    };
    add(workstation, tr("&Location"), IdLocation, location_, "location");
    add(workstation, tr("Order &type"), IdOrderType, orderType_, "orderType");
    // The two order-from lists share one row: only the one that fits the order type shows.
    auto* orderFrom = new QWidget(this);
    auto* orderFromRow = new QHBoxLayout(orderFrom);
    orderFromRow->setContentsMargins(0, 0, 0, 0);
    orderFromRow->addWidget(orderFromVendor_);
    orderFromRow->addWidget(orderFromLocation_);
    orderFromVendor_->setObjectName(QStringLiteral("orderFromVendor"));
    orderFromLocation_->setObjectName(QStringLiteral("orderFromLocation"));
    AddControl(IdOrderFromVendor, orderFromVendor_);
    AddControl(IdOrderFromLocation, orderFromLocation_);
    orderFromLabel_ = new QLabel(tr("Order &from"), this);
    workstation->addRow(orderFromLabel_, orderFrom);
    add(workstation, tr("Transfer f&rom"), IdTransferFrom, transferFrom_, "transferFrom");
    add(workstation, tr("Transfer t&o"), IdTransferTo, transferTo_, "transferTo");

    auto* practiceHeader = new QLabel(tr("Settings of the practice"), this);
    practiceHeader->setFont(bold);
    layout->addSpacing(8);
    layout->addWidget(practiceHeader);
    auto* practice = new QFormLayout;
    layout->addLayout(practice);
    minLength_->setMaxLength(3);
    minLength_->setMaximumWidth(80);
    add(practice, tr("&Minimum product-code length"), IdMinLength, minLength_, "minLength");
    auto* note = new QLabel(tr("Scanned entries shorter than this are read as quantities."), this);
    note->setWordWrap(true);
    practice->addRow(QString(), note);

    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* ok = AddCommandButton(cm::Ok, tr("OK"));
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(AddCommandButton(cm::Cancel, tr("Cancel")));
    layout->addLayout(buttons);

    connect(orderType_, &QComboBox::currentIndexChanged, this,
            [this] { EvOrderTypeComboChange(); });
    for (QComboBox* combo :
         {location_, orderType_, orderFromVendor_, orderFromLocation_, transferFrom_, transferTo_})
        combo->setMinimumContentsLength(24);
    SetupWindow();
}

void WSIInvSetupDialog::SetupWindow() {
    TVL_TRACE("WSIInvSetupDialog::SetupWindow");
    WSIProfile* profile = Module() ? Module()->GetProfile() : nullptr;
    const auto read = [profile](const char* key) {
        return profile ? QString::fromStdString(profile->GetString(kSection, key)) : QString();
    };
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (db) {
        WSIInvLoc loc(db);
        for (bool found = loc.GetFirst(); found; found = loc.GetNext()) {
            if (loc.data.Type == tavel::LocationType::NoStock || loc.data.Inactive)
                continue;
            const QString code = QString::fromUtf8(loc.data.InvLoc).trimmed();
            for (WSIComboBox* combo : {location_, transferFrom_, transferTo_})
                combo->AddEntry(code, 0);
        }
        WSIInvOType type(db);
        for (bool found = type.GetFirst(); found; found = type.GetNext())
            if (!type.data.Inactive)
                orderType_->AddEntry(QString::fromUtf8(type.data.InvOType).trimmed(),
                                     type.data.IsExternal);
    }
    orderType_->blockSignals(true);
    location_->setCurrentIndex(location_->findText(read(kKeyLocation)));
    orderType_->setCurrentIndex(orderType_->findText(read(kKeyOrderType)));
    transferFrom_->setCurrentIndex(transferFrom_->findText(read(kKeyTransferFrom)));
    transferTo_->setCurrentIndex(transferTo_->findText(read(kKeyTransferTo)));
    orderType_->blockSignals(false);
    PopulateOrderFromCombos(read(kKeyOrderFrom));
    EnableOrderFromCombos();

    long length =
        tavel::CurrentInventoryApp() ? tavel::CurrentInventoryApp()->GetMinProductLength() : 0;
    if (db) {
        WSITavelOpt options(db);
        if (options.GetFirst())
            length = options.data.MinProductLength;
    }
    minLength_->setText(QString::number(length));
}

void WSIInvSetupDialog::PopulateOrderFromCombos(const QString& orderFrom) {
    TVL_TRACE("WSIInvSetupDialog::PopulateOrderFromCombos");
    orderFromVendor_->clear();
    orderFromLocation_->clear();
    orderFromVendor_->AddEntry(QString(), 0);
    orderFromLocation_->AddEntry(QString(), 0);
    if (WSIDatabase* db = Module() ? Module()->GetDb() : nullptr) {
        WSIVendor vendor(db);
        auto cursor =
            db->Query(__FILE__, __LINE__,
                      R"sql(SELECT %s FROM VENDOR WHERE "Inactive" = 0 ORDER BY "Name" )sql",
                      WSIResult(vendor), db->GetTableColumns(__LINE__, __FILE__, "VENDOR"));
        for (bool found = cursor->GetFirst(); found; found = cursor->GetNext())
            orderFromVendor_->AddEntry(QString::fromUtf8(vendor.data.Name), vendor.data.Vendor);
        BIInventory inventory(db);
        WSIInvLoc loc(db);
        for (bool found = loc.GetFirst(); found; found = loc.GetNext())
            if (loc.data.Type != tavel::LocationType::NoStock && !loc.data.Inactive &&
                inventory.LocationAllowsOrders(loc.data.InvLoc))
                orderFromLocation_->AddEntry(QString::fromUtf8(loc.data.InvLoc).trimmed(), 0);
    }
    SelectText(orderFromVendor_, orderFrom);
    SelectText(orderFromLocation_, orderFrom);
}

bool WSIInvSetupDialog::IsExternalOrderType() const {
    return orderType_->currentIndex() >= 0 && orderType_->CurrentValue(0) != 0;
}

void WSIInvSetupDialog::EnableOrderFromCombos() {
    const bool external = IsExternalOrderType();
    orderFromVendor_->setVisible(external);
    orderFromLocation_->setVisible(!external);
    orderFromLabel_->setBuddy(external ? static_cast<QWidget*>(orderFromVendor_)
                                       : static_cast<QWidget*>(orderFromLocation_));
}

void WSIInvSetupDialog::EvOrderTypeComboChange() {
    EnableOrderFromCombos();
}

bool WSIInvSetupDialog::Validate() {
    TVL_TRACE("WSIInvSetupDialog::Validate");
    bool isNumber = false;
    const int length = minLength_->text().trimmed().toInt(&isNumber);
    if (!isNumber || length < kMinLength || length > kMaxLength) {
        MessageBox(kMsgLengthRange, mb::OK | mb::ICONEXCLAMATION);
        minLength_->setFocus();
        minLength_->selectAll();
        return false;
    }
    // Codes shorter than the minimum would be read as quantities at the scanner.
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    const int shortest = db ? BICatalogue(db).ShortestProductCode() : 0;
    if (shortest > 0 && shortest < length) {
        MessageBox(kMsgCodesShorter, mb::OK | mb::ICONEXCLAMATION);
        minLength_->setFocus();
        minLength_->selectAll();
        return false;
    }
    return true;
}

void WSIInvSetupDialog::CmOk() {
    TVL_TRACE("WSIInvSetupDialog::CmOk");
    if (!Validate())
        return;
    if (WSIProfile* profile = Module() ? Module()->GetProfile() : nullptr) {
        const WSIComboBox* orderFrom =
            IsExternalOrderType() ? orderFromVendor_ : orderFromLocation_;
        profile->WriteString(kSection, kKeyLocation, Cut(location_->currentText(), kCodeWidth));
        profile->WriteString(kSection, kKeyOrderType, Cut(orderType_->currentText(), kCodeWidth));
        profile->WriteString(kSection, kKeyOrderFrom,
                             Cut(orderFrom->currentText(), kOrderFromWidth));
        profile->WriteString(kSection, kKeyTransferFrom,
                             Cut(transferFrom_->currentText(), kCodeWidth));
        profile->WriteString(kSection, kKeyTransferTo, Cut(transferTo_->currentText(), kCodeWidth));
        profile->Save();
    }
    const short length = static_cast<short>(minLength_->text().trimmed().toInt());
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    const bool stored = db && BICatalogue(db).SaveMinProductLength(length);
    if (WSIInventoryApp* app = tavel::CurrentInventoryApp())
        app->SetMinProductLength(static_cast<unsigned>(length));
    if (!stored)
        MessageBox(kMsgNoOptionsRecord, mb::OK | mb::ICONINFORMATION);
    CloseWindow(id::OK);
}

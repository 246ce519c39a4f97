#include "WSIInvOrderDialog.h"

#include "BIException.h"
#include "BIInvOrder.h"
#include "InventoryModule.h"
#include "OrderSuggestions.h"
#include "ProductLookups.h"
#include "SqlText.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIBarCodeFuncs.h"
#include "WSIComboBox.h"
#include "WSIDatabase.h"
#include "WSIDateEdit.h"
#include "WSIInventoryApp.h"
#include "WSIListWindow.h"
#include "WSIProfile.h"
#include "WSIScanEdit.h"
#include "WSIVendorRequestsDialog.h"
#include "schema/InventoryCodes.h"

#include <QCheckBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstring>
#include <map>

namespace {

using namespace tavel::OrdItStatus;

// Messages of this screen.
constexpr unsigned kUnknownProductMessage = 39900;
constexpr unsigned kUnsavedHeaderMessage = 39901;
constexpr unsigned kDeleteLineMessage = 39902;
constexpr unsigned kNoLineSelectedMessage = 39903;
constexpr unsigned kNoProductMessage = 39904;
constexpr unsigned kInactiveVendorMessage = 39905;
constexpr unsigned kCollectedFailuresMessage = 38162;

constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

template <std::size_t N> void Put(char (&out)[N], const QString& text) {
    const QByteArray bytes = text.trimmed().toUtf8();
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(bytes.size()), N - 1);
    std::memset(out, 0, N);
    std::memcpy(out, bytes.constData(), n);
}

QString Trimmed(const char* text) {
    return QString::fromUtf8(text).trimmed();
}

QString DateText(const WSIDate& d) {
    return d.IsNull() ? QString() : WSIDateEdit::Format(QDate(d.year, d.month, d.day));
}

WSIDate ToDate(const WSIDateEdit* field) {
    return field->IsEmpty() ? WSIDate{} : field->GetDate();
}

QString Money(double value) {
    return QString::number(value, 'f', 2);
}

} // namespace

long LookupOrderProduct(WSIDialog* parent, const QString& code) {
    // A typed product code or UPC code, or a scanned bar code (a GS1 string finds its
    // product by the GTIN's stored forms).
    WSIApplication* module = parent ? parent->Module() : nullptr;
    if (!module || !module->GetDb() || code.trimmed().isEmpty())
        return 0;
    BIInventory lookup(module->GetDb());
    const QByteArray text = code.trimmed().toUtf8();
    WSIBarCodeFuncs scan;
    if (scan.ScanBarCode(text.constData(), WSIBarCodeFuncs::kModeGs1 | WSIBarCodeFuncs::kModePlain))
        if (const long product = lookup.FindProductByBarCode(scan))
            return product;
    return lookup.FindProduct(text.constData(), false);
}

WSIInvOrderDialog::WSIInvOrderDialog(QWidget* parent, WSIApplication* module, int templateId,
                                     long invOrder, bool editAnyway)
    : WSIDialog(parent, module, templateId),
      order_(std::make_unique<BIInvOrder>(module ? module->GetDb() : nullptr)),
      editAnyway_(editAnyway) {
    TVL_TRACE("WSIInvOrderDialog::WSIInvOrderDialog");
    setObjectName(QStringLiteral("orderEntry"));
    if (invOrder > 0 && order_->FindOrder(invOrder)) {
        existing_ = true;
        inProgress_ = order_->OrderIsInProgress();
        purchased_ = order_->OrderIsPurchased();
    }
    mayApprove_ = module && module->CanApprove(kApproveRight);
    setWindowTitle(tr("Inventory Order"));
    auto* layout = new QVBoxLayout(this);
    BuildHeader(layout);
    BuildEntry(layout);
    list_ = new WSIListWindow(this);
    list_->setObjectName(QStringLiteral("orderLines"));
    const struct {
        const char* heading;
        int width;
        bool right;
    } columns[kColumnCount] = {
        {"Line", 40, true},     {"Product", 100, false}, {"Description", 220, false},
        {"Qty", 50, true},      {"Unit", 60, false},     {"Unit Cost", 80, true},
        {"Total", 80, true},    {"Need By", 85, false},  {"Comment", 180, false},
        {"Status", 110, false}, {"Filled", 50, true},
    };
    for (const auto& c : columns)
        list_->AddColumn(tr(c.heading), c.width,
                         c.right ? kRight : Qt::AlignLeft | Qt::AlignVCenter);
    AddControl(kListId, list_);
    layout->addWidget(list_, 1);
    connect(list_, &WSIListWindow::rowSelectionChanged, this,
            [this] { SelectLine(list_->FirstSelected()); });
    list_->installEventFilter(this);
    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("totals"));
    AddControl(IdTotals, totals_);
    layout->addWidget(totals_);
    BuildButtons(layout);
    FillSelectors();
    ShowOrder();
    LoadLines();
    resize(1024, 768);
    EnableFields();
}

WSIInvOrderDialog::~WSIInvOrderDialog() = default;

// --- Building -------------------------------------------------------------------------

void WSIInvOrderDialog::BuildHeader(QVBoxLayout* layout) {
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    const auto named = [this](QWidget* w, int id, const char* name) {
        w->setObjectName(QLatin1String(name));
        AddControl(id, w);
        return w;
    };

    orderNumber_ = new QLineEdit(this);
    orderNumber_->setReadOnly(true);
    named(orderNumber_, IdOrderNumber, "orderNumber");
    grid->addWidget(label(tr("Order"), orderNumber_), 0, 0);
    grid->addWidget(orderNumber_, 0, 1);

    date_ = new WSIDateEdit(this);
    named(date_, IdDate, "orderDate");
    grid->addWidget(label(tr("&Date"), date_), 0, 2);
    grid->addWidget(date_, 0, 3);

    orderType_ = new WSIComboBox(this);
    named(orderType_, IdOrderType, "orderType");
    grid->addWidget(label(tr("Order t&ype"), orderType_), 1, 0);
    grid->addWidget(orderType_, 1, 1);

    special_ = new QCheckBox(tr("&Special order"), this);
    named(special_, IdSpecialOrder, "specialOrder");
    grid->addWidget(special_, 1, 3);
    internalOnly_.push_back(special_);

    orderedBy_ = new WSIComboBox(this);
    named(orderedBy_, IdOrderedBy, "orderedBy");
    grid->addWidget(label(tr("Ordered &by"), orderedBy_), 2, 0);
    grid->addWidget(orderedBy_, 2, 1);

    orderedFrom_ = new WSIComboBox(this);
    named(orderedFrom_, IdOrderedFrom, "orderedFrom");
    QLabel* fromLabel = label(tr("Ordered &from"), orderedFrom_);
    grid->addWidget(fromLabel, 2, 2);
    grid->addWidget(orderedFrom_, 2, 3);
    internalOnly_.insert(internalOnly_.end(), {fromLabel, orderedFrom_});

    vendor_ = new WSIComboBox(this);
    named(vendor_, IdVendor, "vendor");
    AddControl(IdSpecialVendor, vendor_);
    QLabel* vendorLabel = label(tr("&Vendor"), vendor_);
    grid->addWidget(vendorLabel, 3, 0);
    // The list holds the active vendors; the catalogue's vendor search finds one by name,
    // city or phone.
    auto* vendorHelp = new QPushButton(QStringLiteral("..."), this);
    vendorHelp->setObjectName(QStringLiteral("vendorHelp"));
    vendorHelp->setAccessibleName(tr("Find a vendor"));
    vendorHelp->setToolTip(tr("Find a vendor"));
    vendorHelp->setMaximumWidth(28);
    vendorHelp->setAutoDefault(false); // Enter at the scanner must not open the search
    BindCommandButton(IdVendorHelp, vendorHelp);
    auto* vendorBox = new QHBoxLayout;
    vendorBox->addWidget(vendor_, 1);
    vendorBox->addWidget(vendorHelp);
    grid->addLayout(vendorBox, 3, 1);
    vendorRow_ = {vendorLabel, vendor_, vendorHelp};
    SetCommand(IdVendorHelp, [this] { CmVendorHelp(); });

    poNumber_ = new QLineEdit(this);
    poNumber_->setMaxLength(ColWidth::PONumber);
    named(poNumber_, IdPONumber, "poNumber");
    QLabel* poLabel = label(tr("PO n&umber"), poNumber_);
    grid->addWidget(poLabel, 3, 2);
    grid->addWidget(poNumber_, 3, 3);
    externalOnly_.insert(externalOnly_.end(), {poLabel, poNumber_});

    approvedBy_ = new QLineEdit(this);
    approvedBy_->setReadOnly(true);
    named(approvedBy_, IdApprovedBy, "approvedBy");
    grid->addWidget(label(tr("Approved by"), approvedBy_), 4, 0);
    grid->addWidget(approvedBy_, 4, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    connect(orderType_, &QComboBox::currentIndexChanged, this, [this] {
        HeaderChanged();
        EnableFields();
    });
    connect(special_, &QCheckBox::toggled, this, [this] {
        HeaderChanged();
        EnableFields();
    });
    connect(vendor_, &QComboBox::currentIndexChanged, this, [this] {
        HeaderChanged();
        EnableFields();
    });
    for (QComboBox* box :
         {static_cast<QComboBox*>(orderedBy_), static_cast<QComboBox*>(orderedFrom_)})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { HeaderChanged(); });
    connect(poNumber_, &QLineEdit::textEdited, this, [this] { HeaderChanged(); });
    connect(date_, &QLineEdit::textEdited, this, [this] { HeaderChanged(); });
}

void WSIInvOrderDialog::BuildEntry(QVBoxLayout* layout) {
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    const auto add = [&](QWidget* w, int id, const char* name, const QString& text, int col) {
        w->setObjectName(QLatin1String(name));
        AddControl(id, w);
        auto* l = new QLabel(text, this);
        l->setBuddy(w);
        grid->addWidget(l, 0, col);
        grid->addWidget(w, 1, col);
        return l;
    };
    productField_ = new WSIScanEdit(this);
    if (Module())
        productField_->SetScanDelay(WSIScanEdit::ScanDelayFromProfile(Module()->GetProfile()));
    add(productField_, IdProduct, "product", tr("P&roduct"), 0);
    quantity_ = new QLineEdit(this);
    const int maxQuantity =
        tavel::CurrentInventoryApp()
            ? static_cast<int>(tavel::CurrentInventoryApp()->GetMaxQuantityAllowed())
            : 9999;
    quantity_->setValidator(new QIntValidator(0, maxQuantity, quantity_));
    add(quantity_, IdQuantity, "quantity", tr("&Quantity"), 1);
    unit_ = new QLineEdit(this);
    unit_->setReadOnly(true);
    unit_->setFocusPolicy(Qt::NoFocus);
    add(unit_, IdUnit, "unit", tr("Unit"), 2);
    unitCost_ = new QLineEdit(this);
    auto* costValidator = new QDoubleValidator(0, 9999999, 2, unitCost_);
    costValidator->setNotation(QDoubleValidator::StandardNotation);
    unitCost_->setValidator(costValidator);
    QLabel* costLabel = add(unitCost_, IdUnitCost, "unitCost", tr("Unit &cost"), 3);
    externalOnly_.insert(externalOnly_.end(), {costLabel, unitCost_});
    needBy_ = new WSIDateEdit(this);
    add(needBy_, IdNeedBy, "needBy", tr("&Need by"), 4);
    description_ = new QLineEdit(this);
    description_->setMaxLength(ColWidth::LineDescription);
    add(description_, IdDescription, "description", tr("D&escription"), 5);
    comment_ = new QLineEdit(this);
    comment_->setMaxLength(ColWidth::Comment);
    add(comment_, IdComment, "comment", tr("Co&mment"), 6);
    grid->setColumnStretch(5, 2);
    grid->setColumnStretch(6, 2);

    auto* buttons = new QHBoxLayout;
    for (auto [id, text] :
         {std::pair{IdStoreLine, tr("&Add Line")}, std::pair{IdNewLine, tr("Ne&w Line")},
          std::pair{IdDeleteLine, tr("De&lete Line")},
          std::pair{IdFindProduct, tr("Loo&k Up Product...")},
          std::pair{IdOrderingInfo, tr("Orderin&g Info...")}}) {
        QPushButton* b = AddCommandButton(id, text);
        b->setObjectName(QStringLiteral("command%1").arg(id));
        buttons->addWidget(b);
    }
    buttons->addStretch();
    grid->addLayout(buttons, 2, 0, 1, 7);

    SetCommand(IdStoreLine, [this] { CmStoreLine(); });
    SetCommand(IdNewLine, [this] { CmNewLine(); });
    SetCommand(IdDeleteLine, [this] { CmDeleteLine(); });
    SetCommand(IdFindProduct, [this] { CmFindProduct(); });
    SetCommand(IdOrderingInfo, [this] { CmOrderingInfo(); });
    // The product is looked up as soon as it is entered (Enter or the scanner's pause);
    // Enter in the quantity stores the line.
    connect(productField_, &WSIScanEdit::entered, this, [this] {
        if (EnterProduct()) {
            quantity_->setFocus();
            quantity_->selectAll();
        }
    });
    // A typed change names another product: it is looked up again before the line is stored.
    connect(productField_, &WSIScanEdit::codeChanged, this, [this] { product_ = 0; });
    // Enter in any field of the line stores it, as in the quantity.
    for (QLineEdit* field :
         {quantity_, unitCost_, static_cast<QLineEdit*>(needBy_), description_, comment_})
        connect(field, &QLineEdit::returnPressed, this, [this] { DoCommand(IdStoreLine); });
}

void WSIInvOrderDialog::BuildButtons(QVBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    for (auto [id, text] :
         {std::pair{IdOrderRequests, tr("Vendor Reques&ts...")},
          std::pair{IdApprove, tr("Appr&ove")}, std::pair{IdPurchase, tr("Purc&hase")},
          std::pair{IdPrint, tr("Pr&int")}, std::pair{IdPreview, tr("&Preview")}}) {
        QPushButton* b = AddCommandButton(id, text);
        b->setObjectName(QStringLiteral("command%1").arg(id));
        row->addWidget(b);
    }
    row->addStretch();
    QPushButton* close = AddCommandButton(IdClose, tr("Close"));
    close->setObjectName(QStringLiteral("command%1").arg(IdClose));
    row->addWidget(close);
    SetCommand(IdOrderRequests, [this] { CmAddOrderRequests(); });
    SetCommand(IdApprove, [this] { CmApprove(); });
    SetCommand(IdPurchase, [this] { CmPurchase(); });
    SetCommand(IdPrint, [this] { CmPrint(false); });
    SetCommand(IdPreview, [this] { CmPrint(true); });
    SetCommand(IdClose, [this] { CmClose(); });
}

void WSIInvOrderDialog::FillSelectors() {
    TVL_TRACE("WSIInvOrderDialog::FillSelectors");
    loading_ = true;
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (db) {
        WSIInvOType type(db);
        for (bool found = type.GetFirst(); found; found = type.GetNext())
            if (!type.data.Inactive)
                orderType_->AddEntry(Trimmed(type.data.InvOType) + QStringLiteral(" - ") +
                                         Trimmed(type.data.Description),
                                     type.data.IsExternal);
        WSIInvLoc loc(db);
        for (bool found = loc.GetFirst(); found; found = loc.GetNext()) {
            if (loc.data.Inactive)
                continue;
            const QString code = Trimmed(loc.data.InvLoc);
            orderedBy_->AddEntry(code, loc.data.Type);
            orderedFrom_->AddEntry(code, loc.data.Type);
        }
        vendor_->AddEntry(QString(), 0);
        WSIVendor vendor(db);
        for (bool found = vendor.GetFirst(); found; found = vendor.GetNext())
            if (!vendor.data.Inactive)
                vendor_->AddEntry(Trimmed(vendor.data.Name), vendor.data.Vendor);
    }
    // A new order is placed by this workstation's location, today, internally, on the
    // first store room that is not the ordering location.
    std::string preset;
    if (Module() && Module()->GetProfile())
        preset = Module()->GetProfile()->GetString("Inventory", "Location", "").substr(0, 6);
    const int presetIndex = orderedBy_->findText(QString::fromStdString(preset).trimmed());
    orderedBy_->setCurrentIndex(presetIndex >= 0 ? presetIndex : 0);
    int fromIndex = -1;
    for (int i = 0; i < orderedFrom_->count() && fromIndex < 0; ++i)
        if (orderedFrom_->Value(i) == tavel::LocationType::StoreRoom &&
            orderedFrom_->itemText(i) != orderedBy_->currentText())
            fromIndex = i;
    orderedFrom_->setCurrentIndex(fromIndex);
    orderType_->setCurrentIndex(orderType_->FindValue(0));
    vendor_->setCurrentIndex(0);
    if (db)
        date_->SetDate(db->Today());
    loading_ = false;
}

// --- Order level ------------------------------------------------------------------------

long WSIInvOrderDialog::GetInvOrder() const {
    return order_->GetOrderNumber();
}

bool WSIInvOrderDialog::GetIsExternal() const {
    return order_->GetOrderNumber() > 0 ? order_->GetIsExternal() : IsExternalType();
}

bool WSIInvOrderDialog::IsExternalType() const {
    return orderType_->currentIndex() >= 0 && orderType_->CurrentValue(0) != 0;
}

long WSIInvOrderDialog::VendorId() const {
    return vendor_->currentIndex() >= 0 ? vendor_->CurrentValue(0) : 0;
}

void WSIInvOrderDialog::HeaderChanged() {
    if (loading_)
        return;
    headerChanged_ = true;
    modified_ = true;
}

void WSIInvOrderDialog::ShowOrder() {
    TVL_TRACE("WSIInvOrderDialog::ShowOrder");
    const long id = order_->GetOrderNumber();
    orderNumber_->setText(id > 0 ? QString::number(id) : tr("(new)"));
    if (id <= 0)
        return;
    loading_ = true;
    const WSIInvOrder::WSIData* d = order_->GetOrderData();
    const QString type = Trimmed(d->InvOType);
    for (int i = 0; i < orderType_->count(); ++i)
        if (orderType_->itemText(i).section(QStringLiteral(" - "), 0, 0) == type)
            orderType_->setCurrentIndex(i);
    orderedBy_->setCurrentIndex(orderedBy_->findText(Trimmed(d->InvLoc)));
    orderedFrom_->setCurrentIndex(orderedFrom_->findText(Trimmed(d->InvLocFrom)));
    vendor_->setCurrentIndex(std::max(0, vendor_->FindValue(d->Vendor)));
    poNumber_->setText(Trimmed(d->PONumber));
    date_->SetDate(d->Date);
    special_->setChecked(d->SpecialOrder != 0);
    approvedBy_->setText(d->ApprovalUser > 0 ? UserName(d->ApprovalUser) : QString());
    loading_ = false;
}

QString WSIInvOrderDialog::UserName(long user) const {
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!db || user <= 0)
        return QString();
    WSIUsers u(db);
    u.data.User = user;
    if (!u.GetEqual(__FILE__, __LINE__))
        return QString();
    const QString first = Trimmed(u.data.First);
    return first.isEmpty() ? Trimmed(u.data.Name)
                           : Trimmed(u.data.Name) + QStringLiteral(", ") + first;
}

WSIInvOrder::WSIData WSIInvOrderDialog::HeaderData() const {
    WSIInvOrder::WSIData d{};
    if (order_->GetOrderNumber() > 0)
        d = *order_->GetOrderData(); // keeps the id, approval, audit and recurrence
    d.IsExternal = IsExternalType() ? 1 : 0;
    Put(d.InvOType, orderType_->currentText().section(QStringLiteral(" - "), 0, 0));
    Put(d.InvLoc, orderedBy_->currentText());
    Put(d.InvLocFrom, orderedFrom_->currentText());
    d.Vendor = VendorId();
    Put(d.PONumber, poNumber_->text());
    d.SpecialOrder = special_->isChecked() ? 1 : 0;
    d.Date = date_->IsValid() ? date_->GetDate() : WSIDate{};
    return d;
}

bool WSIInvOrderDialog::CanEdit() const {
    if (mayApprove_ || editAnyway_ || !existing_)
        return true;
    const WSIInvOrder::WSIData* d = order_->GetOrderData();
    // An approved special order is locked for users who may not approve.
    return !(d->SpecialOrder == 1 && d->ApprovalUser > 0);
}

bool WSIInvOrderDialog::SaveOrder() {
    TVL_TRACE("WSIInvOrderDialog::SaveOrder");
    if (order_->GetOrderNumber() == 0)
        return false;
    if (!headerChanged_)
        return true;
    const WSIInvOrder::WSIData d = HeaderData();
    try {
        order_->ModifyOrder(&d);
    } catch (BIException& e) {
        HandleBIException(e);
        return false;
    }
    headerChanged_ = false;
    modified_ = false;
    NotifyHost();
    return true;
}

void WSIInvOrderDialog::HandleBIException(BIException& e) {
    TVL_TRACE("WSIInvOrderDialog::HandleBIException");
    MessageBox(QString::fromUtf8(e.GetErrMsg(true)), mb::OK | mb::ICONEXCLAMATION,
               QStringLiteral(""));
    QWidget* field = nullptr;
    bool empty = false;
    if (dynamic_cast<InvalidLocation*>(&e) || dynamic_cast<InvalidOrderedByLocation*>(&e))
        field = orderedBy_;
    else if (dynamic_cast<InvalidOrderedFromLocation*>(&e) ||
             dynamic_cast<InvalidOrderSameLocations*>(&e))
        field = orderedFrom_;
    else if (dynamic_cast<InvalidOrderType*>(&e))
        field = orderType_;
    else if (dynamic_cast<InvalidOrderVendor*>(&e))
        field = vendor_; // one field serves external and special orders
    else if (dynamic_cast<InvalidOrderPO*>(&e))
        field = poNumber_;
    else if (dynamic_cast<InvalidOrderCannotBeSpecial*>(&e))
        field = special_;
    else if (dynamic_cast<InvalidOrderDate*>(&e))
        field = date_;
    else if (dynamic_cast<InvalidOrderProduct*>(&e) ||
             dynamic_cast<InvalidOrderDuplicateProduct*>(&e))
        field = productField_;
    else if (dynamic_cast<InvalidOrderQuantity*>(&e) || dynamic_cast<OrderMoreThanMaxErr*>(&e) ||
             dynamic_cast<OrderLessThanMinErr*>(&e))
        field = quantity_;
    else if (dynamic_cast<InvalidOrderSpecialComment*>(&e))
        field = comment_;
    else if (dynamic_cast<InvalidOrderCannotOrderFrom*>(&e) ||
             dynamic_cast<InvalidOrderProductNoReq*>(&e)) {
        field = productField_;
        empty = true;
    }
    if (!field)
        return;
    if (empty) {
        productField_->SetTextQuietly(QString());
        product_ = 0;
    }
    field->setFocus();
}

void WSIInvOrderDialog::NotifyHost() {
    if (Module() && order_->GetOrderNumber() > 0)
        Module()->NotifyUpdate(TemplateId(), order_->GetOrderNumber());
}

void WSIInvOrderDialog::CmApprove() {
    TVL_TRACE("WSIInvOrderDialog::CmApprove");
    if (!mayApprove_ || order_->GetOrderNumber() == 0 || !Module())
        return;
    WSIDatabase* db = Module()->GetDb();
    long creator = 0;
    std::unique_ptr<WSITable> q =
        db->Query(__FILE__, __LINE__, "SELECT \"User\" FROM AUDITHIS WHERE \"Audit\" = %ld",
                  &creator, order_->GetOrderData()->Audit);
    if (q->GetFirst() && creator > 0 && Module()->RestrictedApprovalDenied(kApproveRight, creator))
        return;
    const bool wasModified = modified_;
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    const long user = app ? app->GetCurrentUser() : db->GetCurrentUser();
    const long before = order_->GetOrderData()->ApprovalUser;
    order_->GetOrderData()->ApprovalUser = user;
    headerChanged_ = true;
    if (SaveOrder()) {
        approvedBy_->setText(UserName(user));
        LoadLines();
    } else {
        order_->GetOrderData()->ApprovalUser = before;
    }
    modified_ = wasModified;
    EnableFields();
}

void WSIInvOrderDialog::CmPurchase() {
    TVL_TRACE("WSIInvOrderDialog::CmPurchase");
    try {
        if (VendorId() == 0)
            throw VendorRequiredToPurchase();
        if (poNumber_->text().trimmed().isEmpty())
            throw PORequiredToPurchase();
    } catch (BIException& e) {
        // Nothing is stored before both are there.
        HandleBIException(e);
        if (VendorId() == 0)
            vendor_->setFocus();
        else
            poNumber_->setFocus();
        return;
    }
    if (!SaveOrder())
        return;
    try {
        order_->PurchaseAllItems(order_->GetOrderNumber());
    } catch (BIException& e) {
        HandleBIException(e);
        return;
    }
    purchased_ = true;
    LoadLines();
    modified_ = false;
    NotifyHost();
    EnableFields();
}

void WSIInvOrderDialog::CmPrint(bool preview) {
    TVL_TRACE("WSIInvOrderDialog::CmPrint");
    if (order_->GetOrderNumber() == 0 || !SaveOrder())
        return;
    WSIWaitCursor wait;
    order_->Print(this, preview, nullptr);
}

void WSIInvOrderDialog::CmClose() {
    TVL_TRACE("WSIInvOrderDialog::CmClose");
    if (order_->GetOrderNumber() > 0 && headerChanged_ && !SaveOrder())
        return;
    CloseWindow(id::OK);
}

void WSIInvOrderDialog::CmCancel() {
    TVL_TRACE("WSIInvOrderDialog::CmCancel");
    if (order_->GetOrderNumber() > 0 && headerChanged_ && CanEdit()) {
        const int answer = MessageBox(kUnsavedHeaderMessage, mb::YESNOCANCEL | mb::ICONQUESTION);
        if (answer == id::CANCEL)
            return;
        if (answer == id::YES && !SaveOrder())
            return;
    }
    CloseWindow(id::CANCEL);
}

void WSIInvOrderDialog::EnableFields() {
    TVL_TRACE("WSIInvOrderDialog::EnableFields");
    const bool editable = CanEdit();
    const long id = order_->GetOrderNumber();
    const bool external = IsExternalType();
    const bool hasLines = id > 0 && list_ && list_->RowCount() > 0;
    for (QWidget* w : externalOnly_)
        w->setVisible(external);
    for (QWidget* w : internalOnly_)
        w->setVisible(!external);
    for (QWidget* w : vendorRow_)
        w->setVisible(external || special_->isChecked());
    // The kind of an order is fixed once it has lines.
    orderType_->setEnabled(editable && !hasLines);
    for (QWidget* w : std::initializer_list<QWidget*>{orderedBy_, orderedFrom_, vendor_, poNumber_,
                                                      date_, special_, productField_, quantity_,
                                                      unitCost_, needBy_, description_, comment_})
        w->setEnabled(editable);
    const bool lineCurrent = order_->GetOrderItemNumber() > 0;
    EnableCommand(IdStoreLine, editable);
    EnableCommand(IdNewLine, editable);
    EnableCommand(IdDeleteLine, editable && lineCurrent);
    EnableCommand(IdFindProduct, editable);
    EnableCommand(IdVendorHelp, editable);
    EnableCommand(IdOrderingInfo, true);
    if (auto* store = Control<QPushButton>(IdStoreLine))
        store->setText(lineCurrent ? tr("Ch&ange Line") : tr("&Add Line"));
    EnableCommand(IdOrderRequests, editable && VendorId() > 0);
    EnableCommand(IdApprove, mayApprove_ && id > 0);
    EnableCommand(IdPurchase, editable && external && id > 0);
    EnableCommand(IdPrint, id > 0);
    EnableCommand(IdPreview, id > 0);
}

// --- Lines ----------------------------------------------------------------------------

void WSIInvOrderDialog::LoadLines() {
    TVL_TRACE("WSIInvOrderDialog::LoadLines");
    WSIWaitCursor wait;
    const long current = order_->GetOrderItemNumber();
    list_->blockSignals(true);
    list_->Clear();
    const long id = order_->GetOrderNumber();
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (id > 0 && db) {
        // The line walk carries neither costs nor product descriptions: one read of them
        // for the whole order.
        struct CostRow {
            long invOrdIt;
            double cost;
            char productDesc[ColWidth::ProductDesc + 1];
        } costRow{};
        static const ColumnDesc kColumns[] = {
            TVL_COL(CostRow, invOrdIt, Id, 0, false), TVL_COL(CostRow, cost, Amount, 0, false),
            TVL_COL(CostRow, productDesc, Text, ColWidth::ProductDesc, false)};
        static const TableDesc kDesc{"ORDER_LINE_COST", kColumns, 3, sizeof(CostRow)};
        std::unique_ptr<WSITable> q = db->Query(
            __FILE__, __LINE__,
            "SELECT I.\"InvOrdIt\", I.\"CostPerUnit\", P.\"Description\" FROM INVORDIT I, "
            "PRODUCT P WHERE I.\"InvOrder\" = %ld AND I.\"Product\" = P.\"Product\" (+)",
            WSIResult(kDesc, &costRow), id);
        std::map<long, std::pair<double, QString>> extra;
        for (bool found = q->GetFirst(); found; found = q->GetNext())
            extra[costRow.invOrdIt] = {costRow.cost, Trimmed(costRow.productDesc)};
        std::vector<WSIListRow> rows;
        while (WSITable* cursor = order_->GetNextOrderRow()) {
            const WSIOrderLineRow& r = static_cast<WSIOrderLineCursor*>(cursor)->Row();
            const auto& [cost, productDesc] = extra[r.InvOrdIt];
            // A line keeps its own description only for items outside the catalogue.
            const QString description =
                Trimmed(r.Description).isEmpty() ? productDesc : Trimmed(r.Description);
            WSIListRow row;
            row.cells = QStringList{QString::number(r.Item),
                                    Trimmed(r.ProductCode),
                                    description,
                                    QString::number(r.Quantity),
                                    Trimmed(r.Unit),
                                    Money(cost),
                                    Money(std::floor(r.Quantity * cost * 100 + 0.5) / 100),
                                    DateText(r.NeedBy),
                                    Trimmed(r.Comment),
                                    LoadString(38041 + static_cast<unsigned>(r.Status)),
                                    QString::number(r.QtyFilled)};
            row.data = WSIRowData::Make(r);
            if (r.Status == Cancelled)
                row.marks = rowmark::Cancelled;
            else if (r.Status == BackOrdered)
                row.marks = rowmark::BackOrdered;
            rows.push_back(std::move(row));
        }
        list_->Model()->SetRows(std::move(rows));
    }
    // The current line stays selected after the list is read again.
    for (int row = 0; current > 0 && row < list_->RowCount(); ++row)
        if (const WSIOrderLineRow* r = list_->RowData<WSIOrderLineRow>(row);
            r && r->InvOrdIt == current)
            list_->SelectRow(row);
    list_->blockSignals(false);
    ShowTotals();
}

void WSIInvOrderDialog::ShowTotals() {
    double total = 0;
    int lines = 0;
    for (int row = 0; row < list_->RowCount(); ++row) {
        const WSIOrderLineRow* r = list_->RowData<WSIOrderLineRow>(row);
        if (!r || r->Status == Cancelled)
            continue;
        ++lines;
        total += list_->ItemText(row, ColTotal).toDouble();
    }
    totals_->setText(tr("%n line(s), total %1", nullptr, lines).arg(Money(total)));
}

void WSIInvOrderDialog::SelectLine(int row) {
    TVL_TRACE("WSIInvOrderDialog::SelectLine");
    const WSIOrderLineRow* r = row >= 0 ? list_->RowData<WSIOrderLineRow>(row) : nullptr;
    if (!r || !order_->FindOrderItem(r->InvOrdIt)) {
        EnableFields();
        return;
    }
    const WSIInvOrdIt::WSIData* line = order_->GetOrderItemData();
    product_ = line->Product;
    productField_->SetTextQuietly(Trimmed(r->ProductCode));
    quantity_->setText(QString::number(line->Quantity));
    unit_->setText(Trimmed(line->Unit));
    unitCost_->setText(Money(line->CostPerUnit));
    needBy_->SetDate(line->NeedBy);
    description_->setText(Trimmed(line->Description));
    comment_->setText(Trimmed(line->Comment));
    EnableFields();
}

bool WSIInvOrderDialog::EnterProduct() {
    TVL_TRACE("WSIInvOrderDialog::EnterProduct");
    const QString code = productField_->text().trimmed();
    if (code.isEmpty()) {
        // A special order may hold an item outside the catalogue, named by its description.
        product_ = 0;
        return true;
    }
    const long product = LookupOrderProduct(this, code);
    if (product == 0) {
        MessageBox(kUnknownProductMessage, mb::OK | mb::ICONEXCLAMATION);
        productField_->setFocus();
        productField_->selectAll();
        return false;
    }
    BIInventory reader(Module()->GetDb());
    reader.FindProduct(product, false);
    char text[128] = {};
    product_ = product;
    if (reader.GetProductCode(text, sizeof text))
        productField_->SetTextQuietly(Trimmed(text));
    if (reader.GetProductUnit(text, sizeof text))
        unit_->setText(Trimmed(text));
    if (reader.GetProductDescription(text, sizeof text))
        description_->setText(Trimmed(text));
    double cost = 0;
    if (reader.GetProductCost(cost))
        unitCost_->setText(Money(cost));
    return true;
}

WSIInvOrdIt::WSIData WSIInvOrderDialog::EntryData() const {
    WSIInvOrdIt::WSIData d{};
    if (order_->GetOrderItemNumber() > 0)
        d = *order_->GetOrderItemData();
    d.Product = product_;
    d.Quantity = static_cast<short>(quantity_->text().toInt());
    Put(d.Unit, unit_->text());
    d.CostPerUnit = unitCost_->text().toDouble();
    d.NeedBy = needBy_->IsValid() ? ToDate(needBy_) : WSIDate{};
    Put(d.Description, description_->text());
    Put(d.Comment, comment_->text());
    return d;
}

bool WSIInvOrderDialog::PrepareHeaderForLine() {
    if (order_->GetOrderNumber() == 0) {
        const WSIInvOrder::WSIData header = HeaderData();
        order_->Init(&header);
        headerChanged_ = false;
        return true;
    }
    return SaveOrder();
}

void WSIInvOrderDialog::CmStoreLine() {
    TVL_TRACE("WSIInvOrderDialog::CmStoreLine");
    if (!CanEdit())
        return;
    // A code typed without Enter is looked up now.
    const QString shownCode = product_ > 0 ? QString() : productField_->text().trimmed();
    if (!shownCode.isEmpty() && !EnterProduct())
        return;
    if (!PrepareHeaderForLine())
        return;
    const WSIInvOrdIt::WSIData line = EntryData();
    try {
        if (order_->GetOrderItemNumber() > 0)
            order_->Modify(&line, false);
        else
            order_->Add(&line, false);
    } catch (BIException& e) {
        HandleBIException(e);
        ShowOrder();
        EnableFields();
        return;
    }
    AfterLineChange();
}

// The catalogue's product search in ordering mode, for the ordering location; the chosen
// product is entered as if typed.
void WSIInvOrderDialog::CmFindProduct() {
    TVL_TRACE("WSIInvOrderDialog::CmFindProduct");
    if (!CanEdit())
        return;
    // An internal order without lines still has its supplier open: the product's own
    // supplying location, picked in the search, becomes the order's.
    const bool supplierOpen = !IsExternalType() && (!list_ || list_->RowCount() == 0);
    const tavel::products::ProductChoice choice = tavel::products::LookUpProduct(
        this, Module(), 0, 1, orderedBy_->currentText().trimmed().toStdString(), 25023,
        supplierOpen);
    if (choice.product == 0)
        return;
    if (supplierOpen && !choice.orderFrom.empty() &&
        QString::fromStdString(choice.orderFrom) != orderedBy_->currentText().trimmed()) {
        const int from = orderedFrom_->findText(QString::fromStdString(choice.orderFrom));
        if (from >= 0)
            orderedFrom_->setCurrentIndex(from);
    }
    productField_->setText(QString::fromStdString(choice.productCode));
    if (EnterProduct()) {
        quantity_->setFocus();
        quantity_->selectAll();
    }
}

void WSIInvOrderDialog::CmVendorHelp() {
    TVL_TRACE("WSIInvOrderDialog::CmVendorHelp");
    if (!CanEdit())
        return;
    const long vendor = tavel::products::LookUpVendor(this, Module());
    if (vendor > 0 && !vendor_->SelectValue(vendor))
        MessageBox(kInactiveVendorMessage, mb::OK | mb::ICONINFORMATION);
}

// The current product's locations, the ordering location selected: where it is stocked
// and how it is ordered there. Only an order the user may change may change them.
void WSIInvOrderDialog::CmOrderingInfo() {
    TVL_TRACE("WSIInvOrderDialog::CmOrderingInfo");
    if (product_ <= 0) {
        MessageBox(kNoProductMessage, mb::OK | mb::ICONINFORMATION);
        return;
    }
    tavel::products::ShowProductLocations(
        this, Module(), product_, orderedBy_->currentText().trimmed().toStdString(), !CanEdit());
}

void WSIInvOrderDialog::CmDeleteLine() {
    TVL_TRACE("WSIInvOrderDialog::CmDeleteLine");
    if (!CanEdit())
        return;
    if (order_->GetOrderItemNumber() == 0) {
        MessageBox(kNoLineSelectedMessage, mb::OK | mb::ICONINFORMATION);
        return;
    }
    if (MessageBox(kDeleteLineMessage, mb::YESNO | mb::ICONQUESTION) != id::YES)
        return;
    try {
        order_->Delete();
    } catch (BIException& e) {
        HandleBIException(e);
        return;
    }
    AfterLineChange();
}

void WSIInvOrderDialog::AfterLineChange() {
    order_->ClearOrderItem();
    CmNewLine();
    ShowOrder();
    LoadLines();
    NotifyHost();
    EnableFields();
}

void WSIInvOrderDialog::CmNewLine() {
    order_->ClearOrderItem();
    product_ = 0;
    list_->blockSignals(true);
    list_->ClearRowSelection();
    list_->blockSignals(false);
    productField_->SetTextQuietly(QString());
    for (QLineEdit* f :
         {quantity_, unit_, unitCost_, static_cast<QLineEdit*>(needBy_), description_, comment_})
        f->clear();
    productField_->setFocus();
    EnableFields();
}

// --- Suggestions ------------------------------------------------------------------------

void WSIInvOrderDialog::showEvent(QShowEvent* event) {
    WSIDialog::showEvent(event);
    if (setUp_)
        return;
    setUp_ = true;
    AddLevelData();
    productField_->setFocus();
}

void WSIInvOrderDialog::AddLevelData() {
    TVL_TRACE("WSIInvOrderDialog::AddLevelData");
    if (!levelData_ || levelData_->empty() || !Module())
        return;
    WSIWaitCursor wait;
    std::string message = LoadString(kCollectedFailuresMessage).toStdString();
    bool added = false;
    bool failed = false;
    WSIDatabase* db = Module()->GetDb();
    const std::string vendorName = levelData_->front().VendorName;
    long vendor = 0;
    std::unique_ptr<WSITable> q =
        db->Query(__FILE__, __LINE__, "SELECT \"Vendor\" FROM VENDOR WHERE \"Name\" = '%s'",
                  &vendor, tavel::EscapeQuotes(vendorName.c_str()).c_str());
    if (!q->GetFirst())
        vendor = 0;
    vendor_->setCurrentIndex(std::max(0, vendor_->FindValue(vendor)));
    std::string location;
    if (Module()->GetProfile())
        location = Module()->GetProfile()->GetString("Inventory", "Location", "").substr(0, 7);
    const std::string productList = tavel::orders::LevelProductList(*levelData_);
    const std::string sql =
        tavel::orders::SuggestionSql(0, vendor, productList.c_str(), location.c_str());
    for (const WSIVendorRequestsData& request : tavel::orders::ReadSuggestions(db, sql, true))
        AddOrder(request, added, failed, message);
    RefreshAfterOrder(added, failed, message);
}

void WSIInvOrderDialog::CmAddOrderRequests() {
    TVL_TRACE("WSIInvOrderDialog::CmAddOrderRequests");
    const std::string location = orderedBy_->currentText().left(7).toStdString();
    const long leaveOut = TemplateId() == kNewOrderTemplate ? order_->GetOrderNumber() : 0;
    WSIVendorRequestsDialog requests(this, Module(), VendorId(), location.c_str(), leaveOut);
    requests.Execute();
    std::string message = LoadString(kCollectedFailuresMessage).toStdString();
    bool added = false;
    bool failed = false;
    while (const WSIVendorRequestsData* request = requests.GetNextVendorRequest())
        AddOrder(*request, added, failed, message);
    RefreshAfterOrder(added, failed, message);
}

void WSIInvOrderDialog::AddOrder(const WSIVendorRequestsData& request, bool& added, bool& failed,
                                 std::string& message) {
    try {
        AddVendorReqest(request, true);
        added = true;
    } catch (BIException& e) {
        // Each product on its own: the others are still added, the failures told together.
        message += "\n";
        message += QString::fromUtf8(request.ProductCode).trimmed().toStdString();
        message += ": ";
        message += e.GetErrMsg(false);
        failed = true;
    }
}

void WSIInvOrderDialog::AddVendorReqest(const WSIVendorRequestsData& request,
                                        bool skipQuantityCheck) {
    TVL_TRACE("WSIInvOrderDialog::AddVendorReqest");
    if (order_->GetOrderNumber() == 0) {
        const WSIInvOrder::WSIData header = HeaderData();
        order_->Init(&header);
        headerChanged_ = false;
    } else {
        SaveOrder();
    }
    WSIInvOrdIt::WSIData line{};
    CopyVendorRequest(line, request);
    order_->ClearOrderItem();
    order_->Add(&line, skipQuantityCheck);
}

void WSIInvOrderDialog::CopyVendorRequest(WSIInvOrdIt::WSIData& line,
                                          const WSIVendorRequestsData& request) {
    line.Product = request.Product;
    std::memcpy(line.Description, request.ProductDesc,
                std::min(sizeof line.Description - 1, std::strlen(request.ProductDesc)));
    line.Quantity = static_cast<short>(std::trunc(request.Suggest));
    std::memcpy(line.Unit, request.Unit, std::min(sizeof line.Unit - 1, std::strlen(request.Unit)));
    line.CostPerUnit = request.CostPerUnit;
}

void WSIInvOrderDialog::RefreshAfterOrder(bool added, bool failed, const std::string& message) {
    TVL_TRACE("WSIInvOrderDialog::RefreshAfterOrder");
    if (failed)
        MessageBox(QString::fromStdString(message), mb::OK | mb::ICONINFORMATION,
                   QStringLiteral(""));
    if (added) {
        order_->ClearOrderItem();
        LoadLines();
        CmNewLine();
        ShowOrder();
        NotifyHost();
    }
    EnableFields();
}

bool WSIInvOrderDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            DoCommand(IdDeleteLine);
            return true;
        }
        if (key->key() == Qt::Key_Space) {
            quantity_->setFocus();
            return true;
        }
    }
    return WSIDialog::eventFilter(watched, event);
}

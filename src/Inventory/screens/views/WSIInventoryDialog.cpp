#include "WSIInventoryDialog.h"

#include "BIException.h"
#include "BIInvPick.h"
#include "BIInventory.h"
#include "DBPrdCat.h"
#include "InventoryListRows.h"
#include "OrderScreens.h"
#include "ProductLookups.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSICodeTableDialogs.h"
#include "WSIComboBox.h"
#include "WSIDatabase.h"
#include "WSIDateEdit.h"
#include "WSIInvClosedOrdersDialog.h"
#include "WSIInvCountDialog.h"
#include "WSIInvFillSelectDlg.h"
#include "WSIInvOrderFillDialog.h"
#include "WSIInvPendingOrdersDialog.h"
#include "WSIInvReceiveDialog.h"
#include "WSIInvSetupDialog.h"
#include "WSIInvStockViews.h"
#include "WSIListWindow.h"
#include "WSIProfile.h"
#include "schema/InventoryCodes.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

namespace views = tavel::views;
using namespace tavel::OrdItStatus;

constexpr unsigned kAllEntry = 38040;
// Blanking a text field writes this many spaces.
constexpr int kBlankWidth = 47;

struct TabDef {
    unsigned title;
    int r, g, b;
};
constexpr TabDef kTabs[WSIInventoryDialog::kTabCount] = {
    {38060, 116, 172, 210}, {38592, 116, 172, 210}, {38061, 132, 194, 226},
    {38062, 164, 215, 242}, {38064, 126, 192, 192}, {38065, 84, 178, 158},
};

struct StatusEntry {
    unsigned text;
    short value;
};
constexpr StatusEntry kOpenStatuses[] = {
    {kAllEntry, -1},    {38050, Requested},  {38049, InReview},        {38041, Ordered},
    {38042, Purchased}, {38043, OnPickList}, {38044, PartiallyFilled}, {38046, BackOrdered},
};
constexpr StatusEntry kClosedStatuses[] = {
    {kAllEntry, -1}, {38045, Cancelled}, {38047, Closed}, {38048, Filled}};

std::string Trim(const std::string& s) {
    const auto end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

template <std::size_t N> void CopyCode(char (&out)[N], const std::string& text) {
    const std::string t = Trim(text);
    std::size_t n = std::min(t.size(), N - 1);
    std::memcpy(out, t.data(), n);
    out[n] = '\0';
}

// The combo entry's text as a code, "" for the first entry.
std::string EntryCode(const WSIComboBox* box, int minIndex) {
    if (box->currentIndex() < minIndex)
        return std::string();
    return box->currentText().toStdString();
}

} // namespace

WSIInventoryDialog::WSIInventoryDialog(QWidget* parent, WSIApplication* module, int templateId)
    : WSIDialog(parent, module, templateId, Qt::Widget),
      selection_(std::make_unique<BIInventory>(module ? module->GetDb() : nullptr)) {
    TVL_TRACE("WSIInventoryDialog::WSIInventoryDialog");
    selection_->ClearProduct();
    auto* layout = new QVBoxLayout(this);
    BuildFilterArea();
    BuildTabs();
    BuildButtons();
    (void)layout;
    FillSelectors();
    LoadOrderTypes();
    EnableFields();
    SetCommand(cm::Ok, [] {}); // Enter does not close the screen
    InstallKeyboard();
}

WSIInventoryDialog::~WSIInventoryDialog() = default;

void WSIInventoryDialog::SetDefaultResolution(int width, int height, double) {
    resize(width, height);
}

// --- Building -----------------------------------------------------------------------

void WSIInventoryDialog::BuildFilterArea() {
    auto* grid = new QGridLayout;
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);
    // Every label names its field with a mnemonic: Alt+letter reaches the field.
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    const auto lookup = [this](int id, const QString& text, const QString& name) {
        auto* b = new QPushButton(text, this);
        b->setAccessibleName(name);
        b->setToolTip(name);
        b->setMaximumWidth(28);
        BindCommandButton(id, b);
        return b;
    };

    prdType_ = new WSIComboBox(this);
    AddControl(IdPrdType, prdType_);
    grid->addWidget(label(tr("Produ&ct type"), prdType_), 0, 0);
    grid->addWidget(prdType_, 0, 1, 1, 3);

    category_ = new QLineEdit(this);
    category_->setReadOnly(true);
    AddControl(IdCategory, category_);
    grid->addWidget(label(tr("Cate&gory"), category_), 1, 0);
    grid->addWidget(category_, 1, 1);
    grid->addWidget(lookup(IdCategoryHelp, QStringLiteral("..."), tr("Choose a category")), 1, 2);
    grid->addWidget(lookup(IdCategoryClear, QStringLiteral("X"), tr("Clear the category")), 1, 3);

    product_ = new QLineEdit(this);
    product_->setReadOnly(true);
    AddControl(IdProduct, product_);
    grid->addWidget(label(tr("Pro&duct"), product_), 2, 0);
    grid->addWidget(product_, 2, 1);
    grid->addWidget(lookup(IdProductHelp, QStringLiteral("..."), tr("Choose a product")), 2, 2);
    grid->addWidget(lookup(IdProductClear, QStringLiteral("X"), tr("Clear the product")), 2, 3);

    location_ = new WSIComboBox(this);
    AddControl(IdLocation, location_);
    locationLabel_ = label(tr("&Location"), location_);
    grid->addWidget(locationLabel_, 0, 4);
    grid->addWidget(location_, 0, 5);

    orderedBy_ = new WSIComboBox(this);
    AddControl(IdOrderedBy, orderedBy_);
    orderedByLabel_ = label(tr("Ordered &by"), orderedBy_);
    grid->addWidget(orderedByLabel_, 1, 4);
    grid->addWidget(orderedBy_, 1, 5);

    fromDate_ = new WSIDateEdit(this);
    toDate_ = new WSIDateEdit(this);
    AddControl(IdFromDate, fromDate_);
    AddControl(IdToDate, toDate_);
    datesLabel_ = label(tr("Fro&m / to"), fromDate_);
    grid->addWidget(datesLabel_, 2, 4);
    auto* dates = new QHBoxLayout;
    dates->addWidget(fromDate_);
    dates->addWidget(toDate_);
    grid->addLayout(dates, 2, 5);

    orderType_ = new WSIComboBox(this);
    itemType_ = new WSIComboBox(this);
    AddControl(IdOrderType, orderType_);
    AddControl(IdItemType, itemType_);
    typeLabel_ = label(tr("T&ype"), orderType_);
    grid->addWidget(typeLabel_, 0, 6);
    grid->addWidget(orderType_, 0, 7);
    grid->addWidget(itemType_, 0, 8);

    openStatus_ = new WSIComboBox(this);
    closedStatus_ = new WSIComboBox(this);
    AddControl(IdOpenStatus, openStatus_);
    AddControl(IdClosedStatus, closedStatus_);
    statusLabel_ = label(tr("St&atus"), openStatus_);
    grid->addWidget(statusLabel_, 1, 6);
    grid->addWidget(openStatus_, 1, 7);
    grid->addWidget(closedStatus_, 1, 8);

    vendor_ = new QLineEdit(this);
    vendor_->setReadOnly(true);
    AddControl(IdVendor, vendor_);
    vendorLabel_ = label(tr("&Vendor"), vendor_);
    grid->addWidget(vendorLabel_, 2, 6);
    grid->addWidget(vendor_, 2, 7);
    auto* vendorButtons = new QHBoxLayout;
    vendorButtons->addWidget(lookup(IdVendorHelp, QStringLiteral("..."), tr("Choose a vendor")));
    vendorButtons->addWidget(lookup(IdVendorClear, QStringLiteral("X"), tr("Clear the vendor")));
    grid->addLayout(vendorButtons, 2, 8);

    const auto check = [this](int id, const QString& text) {
        auto* box = new QCheckBox(text, this);
        AddControl(id, box);
        return box;
    };
    withStockOnly_ = check(IdWithStockOnly, tr("&With stock only"));
    perLocation_ = check(IdPerLocation, tr("Per loc&ation"));
    includeInactive_ = check(IdIncludeInactive, tr("&Include inactive"));
    inStockOnly_ = check(IdInStockOnly, tr("In stock onl&y"));
    showOrderQuantities_ = check(IdShowOrderQuantities, tr("S&how order quantities"));
    belowReorderOnly_ = check(IdBelowReorderOnly, tr("&Below reorder only"));
    auto* checks = new QHBoxLayout;
    for (QCheckBox* box : {withStockOnly_, perLocation_, includeInactive_, inStockOnly_,
                           showOrderQuantities_, belowReorderOnly_})
        checks->addWidget(box);
    checks->addStretch();
    grid->addLayout(checks, 3, 0, 1, 9);

    SetCommand(IdCategoryHelp, [this] { CmCategoryHelp(); });
    SetCommand(IdCategoryClear, [this] { CmCategoryClear(); });
    SetCommand(IdProductClear, [this] { CmProductClear(); });
    SetCommand(IdVendorClear, [this] { CmVendorClear(); });
    SetCommand(IdShowOrderQuantities, [this] { CmShowOrderQuantities(); });
    connect(showOrderQuantities_, &QCheckBox::toggled, this,
            [this] { DoCommand(IdShowOrderQuantities); });
    connect(prdType_, &QComboBox::currentIndexChanged, this,
            [this] { EvProductTypeComboChanged(); });
    connect(orderType_, &QComboBox::currentIndexChanged, this, [this] { EnableFields(); });
    connect(location_, &QComboBox::currentIndexChanged, this, [this] { EnableFields(); });
    SetCommand(IdProductHelp, [this] { CmProductHelp(); });
    SetCommand(IdVendorHelp, [this] { CmVendorHelp(); });
}

void WSIInventoryDialog::BuildTabs() {
    tabs_ = new QTabWidget(this);
    AddControl(IdTab, tabs_);
    static_cast<QVBoxLayout*>(layout())->addWidget(tabs_, 1);
    WSIApplication* module = Module();
    views_[TabPending] = new WSIInvPendingOrdersDialog(this, module);
    views_[TabPendingExt] = new WSIInvPendingExtOrdersDialog(this, module);
    views_[TabClosed] = new WSIInvClosedOrdersDialog(this, module);
    views_[TabLevels] = new WSIInvLevelsDialog(this, module);
    views_[TabReceived] = new WSIInvReceivedDialog(this, module);
    views_[TabUsage] = new WSIInvUsageDialog(this, module);
    for (int tab = 0; tab < kTabCount; ++tab) {
        WSIInventoryListDialog* view = views_[tab];
        const QColor colour = TabColor(tab);
        QPalette palette = view->palette();
        palette.setColor(QPalette::Window, colour);
        view->setPalette(palette);
        view->setAutoFillBackground(true);
        QPixmap swatch(12, 12);
        swatch.fill(colour);
        tabs_->addTab(view, QIcon(swatch), LoadString(TabTitle(tab)));
    }
    tabs_->setCurrentIndex(TabPending);
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { EvTabChange(); });
}

void WSIInventoryDialog::AddCommandButtonTo(QLayout* layout, int id, const QString& text) {
    layout->addWidget(AddCommandButton(id, text));
}

void WSIInventoryDialog::BuildButtons() {
    auto* row = new QHBoxLayout;
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
    AddCommandButtonTo(row, IdSearch, tr("&Search"));
    AddCommandButtonTo(row, IdPrint, tr("&Print"));
    AddCommandButtonTo(row, IdOrder, tr("&Order"));
    AddCommandButtonTo(row, IdReceive, tr("&Receive"));
    AddCommandButtonTo(row, IdFill, tr("&Fill"));
    AddCommandButtonTo(row, IdPickList, tr("Pic&k List"));
    AddCommandButtonTo(row, IdTransfer, tr("&Transfer"));
    AddCommandButtonTo(row, IdAdjust, tr("Ad&just"));
    AddCommandButtonTo(row, IdUsage, tr("&Usage"));
    AddCommandButtonTo(row, IdCount, tr("Cou&nt"));
    AddCommandButtonTo(row, IdExpiry, tr("E&xpiry"));
    AddCommandButtonTo(row, IdSetup, tr("S&etup"));
    row->addStretch();
    SetCommand(IdSearch, [this] { CmSearch(); });
    SetRowCommand(IdPrint, [this] { CmPrint(); });
    SetRowCommand(IdExportCsv, [this] { CmExportCsv(); });
    SetRowCommand(IdPickList, [this] { CmPickList(); });
    SetRowCommand(IdOrder, [this] { Order(nullptr); });
    SetRowCommand(IdReceive, [this] { CmReceive(); });
    SetRowCommand(IdFill, [this] { CmFill(); });
    SetRowCommand(IdTransfer, [this] { CmTransfer(); });
    SetRowCommand(IdAdjust, [this] { CmAdjust(); });
    SetRowCommand(IdUsage, [this] { CmUsage(); });
    SetRowCommand(IdCount, [this] { CmCount(); });
    SetRowCommand(IdExpiry, [this] { CmExpiry(); });
    SetCommand(IdSetup, [this] { CmSetup(); });
}

void WSIInventoryDialog::InstallKeyboard() {
    const auto shortcut = [this](const QKeySequence& keys, auto action) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::Key_F5), [this] { DoCommand(IdSearch); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { DoCommand(IdPrint); });
    // The button row has no letter left for it: the list is saved as CSV by Ctrl+E or from
    // the list's context menu.
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { DoCommand(IdExportCsv); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { StepTab(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [this] { StepTab(-1); });
    filterFields_ = {prdType_,
                     category_,
                     product_,
                     location_,
                     orderedBy_,
                     fromDate_,
                     toDate_,
                     orderType_,
                     itemType_,
                     openStatus_,
                     closedStatus_,
                     vendor_,
                     withStockOnly_,
                     perLocation_,
                     includeInactive_,
                     inStockOnly_,
                     showOrderQuantities_,
                     belowReorderOnly_};
    for (QWidget* field : filterFields_)
        field->installEventFilter(this);
}

void WSIInventoryDialog::StepTab(int step) {
    tabs_->setCurrentIndex((CurrentTab() + step + kTabCount) % kTabCount);
    FocusList();
}

void WSIInventoryDialog::FocusList() {
    WSIInventoryListDialog* view = ListView(CurrentTab());
    if (!view)
        return;
    WSIListWindow* list = view->List();
    list->setFocus(Qt::ShortcutFocusReason);
    if (list->FirstSelected() < 0 && list->RowCount() > 0)
        list->SelectRow(0);
}

void WSIInventoryDialog::SetRowCommand(int id, CommandHandler handler) {
    SetCommand(id, [this, handler = std::move(handler)] {
        CompleteFills();
        handler();
    });
}

void WSIInventoryDialog::CompleteFills() const {
    for (WSIInventoryListDialog* view : views_)
        if (view)
            view->CompleteFill();
}

void WSIInventoryDialog::FillSelectors() {
    TVL_TRACE("WSIInventoryDialog::FillSelectors");
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    const QString all = LoadString(kAllEntry);

    prdType_->blockSignals(true);
    prdType_->AddEntry(all, -1);
    if (db) {
        WSIPrdType type(db);
        for (bool found = type.GetFirst(); found; found = type.GetNext())
            prdType_->AddEntry(QString::fromUtf8(type.data.Description), type.data.PrdType);
    }
    prdType_->setCurrentIndex(0);
    prdType_->blockSignals(false);

    std::string preset;
    if (Module() && Module()->GetProfile())
        preset = Module()->GetProfile()->GetString("Inventory", "Location", "").substr(0, 6);
    preset = Trim(preset);
    location_->blockSignals(true);
    location_->AddEntry(all, -1);
    orderedBy_->AddEntry(all, -1);
    int presetIndex = 0;
    if (db) {
        WSIInvLoc loc(db);
        for (bool found = loc.GetFirst(); found; found = loc.GetNext()) {
            const std::string code = Trim(loc.data.InvLoc);
            const int index = location_->AddEntry(QString::fromStdString(code), loc.data.Type);
            if (!preset.empty() && code == preset)
                presetIndex = index;
            if (loc.data.Type == tavel::LocationType::StoreRoom ||
                loc.data.Type == tavel::LocationType::SupplyRoom)
                orderedBy_->AddEntry(QString::fromStdString(code), loc.data.Type);
        }
    }
    location_->setCurrentIndex(presetIndex);
    orderedBy_->setCurrentIndex(0);
    location_->blockSignals(false);

    for (const StatusEntry& e : kOpenStatuses)
        openStatus_->AddEntry(LoadString(e.text), e.value);
    for (const StatusEntry& e : kClosedStatuses)
        closedStatus_->AddEntry(LoadString(e.text), e.value);
    openStatus_->setCurrentIndex(0);
    closedStatus_->setCurrentIndex(0);

    // Index minus one is the stock-item type; later entries stand for repackaged stock.
    itemType_->AddEntry(all, -1);
    itemType_->AddEntry(tr("Received"), tavel::MovementType::Receipt);
    itemType_->AddEntry(tr("Transferred"), tavel::MovementType::Transfer);
    itemType_->AddEntry(tr("Adjusted"), tavel::MovementType::Adjustment);
    itemType_->AddEntry(tr("Repackaged"), tavel::MovementType::Repackage);
    itemType_->setCurrentIndex(0);

    SetDefaultDates();
}

void WSIInventoryDialog::SetDefaultDates() {
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    QDate today = QDate::currentDate();
    if (db) {
        const WSIDate d = db->Today();
        today = QDate(d.year, d.month, d.day);
    }
    toDate_->SetDate(today);
    // One month back: the period the lists show unless the user asks otherwise.
    fromDate_->SetDate(today.addMonths(-1));
}

QColor WSIInventoryDialog::TabColor(int tab) {
    if (tab < 0 || tab >= kTabCount)
        return QColor();
    return QColor(kTabs[tab].r, kTabs[tab].g, kTabs[tab].b);
}

unsigned WSIInventoryDialog::TabTitle(int tab) {
    return tab >= 0 && tab < kTabCount ? kTabs[tab].title : 0;
}

int WSIInventoryDialog::CurrentTab() const {
    return tabs_->currentIndex();
}

void WSIInventoryDialog::SelectTab(int tab) {
    tabs_->setCurrentIndex(tab);
}

WSIInventoryListDialog* WSIInventoryDialog::ListView(int tab) const {
    return tab >= 0 && tab < kTabCount ? views_[tab] : nullptr;
}

bool WSIInventoryDialog::IsShowOrderQuantitiesChecked() const {
    return showOrderQuantities_->isChecked();
}

// --- Order types and field visibility -----------------------------------------------

void WSIInventoryDialog::LoadOrderTypes() {
    TVL_TRACE("WSIInventoryDialog::LoadOrderTypes");
    const int tab = CurrentTab();
    if (tab > TabClosed)
        return;
    WSIWaitCursor wait;
    orderType_->blockSignals(true);
    orderType_->clear();
    const char* condition = "";
    if (tab == TabClosed) {
        orderType_->AddEntry(LoadString(38181), 0);
        orderType_->AddEntry(LoadString(38182), 1);
    } else {
        const bool external = tab == TabPendingExt;
        orderType_->AddEntry(LoadString(external ? 38182 : 38181), external ? 1 : 0);
        condition = external ? " WHERE \"IsExternal\" = 1 " : " WHERE \"IsExternal\" = 0 ";
    }
    if (WSIDatabase* db = Module() ? Module()->GetDb() : nullptr) {
        WSIInvOType type(db);
        std::unique_ptr<WSITable> q =
            db->Query(__FILE__, __LINE__, "SELECT %s FROM INVOTYPE %s", type,
                      db->GetTableColumns(__LINE__, __FILE__, "INVOTYPE"), condition);
        for (bool found = q->GetFirst(); found; found = q->GetNext())
            orderType_->AddEntry(QString::fromStdString(Trim(type.data.InvOType)),
                                 type.data.IsExternal);
    }
    orderType_->setCurrentIndex(0);
    orderType_->blockSignals(false);
}

void WSIInventoryDialog::ShowField(QWidget* w, bool show) {
    w->setVisible(show);
    w->setEnabled(show);
}

void WSIInventoryDialog::ShowCommand(int id, bool show) {
    QWidget* w = ControlWidget(id);
    w->setVisible(show);
    w->setEnabled(show);
}

void WSIInventoryDialog::EnableFields() {
    TVL_TRACE("WSIInventoryDialog::EnableFields");
    const int tab = CurrentTab();
    const long typeValue = orderType_->currentIndex() >= 0 ? orderType_->CurrentValue(-1) : -1;
    bool location = tab == TabPending || tab == TabLevels || tab == TabReceived || tab == TabUsage;
    bool vendor = tab == TabPendingExt || tab == TabReceived;
    if (tab == TabClosed) {
        location = orderType_->currentIndex() >= 0 && typeValue == 0;
        vendor = orderType_->currentIndex() >= 0 && typeValue != 0;
    }
    const bool orderedBy = tab <= TabClosed;
    const bool dates = tab != TabLevels;
    const bool orderType = tab <= TabClosed;
    const bool itemType = tab == TabReceived;
    const bool openStatus = tab == TabPending || tab == TabPendingExt;
    const bool closedStatus = tab == TabClosed;

    ShowField(location_, location);
    ShowField(locationLabel_, location);
    ShowField(orderedBy_, orderedBy);
    ShowField(orderedByLabel_, orderedBy);
    ShowField(fromDate_, dates);
    ShowField(toDate_, dates);
    ShowField(datesLabel_, dates);
    ShowField(orderType_, orderType);
    ShowField(itemType_, itemType);
    ShowField(typeLabel_, orderType || itemType);
    typeLabel_->setBuddy(itemType ? static_cast<QWidget*>(itemType_) : orderType_);
    ShowField(openStatus_, openStatus);
    ShowField(closedStatus_, closedStatus);
    ShowField(statusLabel_, openStatus || closedStatus);
    statusLabel_->setBuddy(closedStatus ? static_cast<QWidget*>(closedStatus_) : openStatus_);
    ShowField(vendor_, vendor);
    ShowField(vendorLabel_, vendor);
    ShowCommand(IdVendorHelp, vendor);
    ShowCommand(IdVendorClear, vendor);
    ShowField(withStockOnly_, tab == TabPending);
    ShowField(includeInactive_, tab <= TabLevels);
    const bool levels = tab == TabLevels;
    ShowField(perLocation_, levels && location_->currentIndex() <= 0);
    perLocation_->setEnabled(perLocation_->isEnabled() && !showOrderQuantities_->isChecked());
    ShowField(inStockOnly_, levels);
    ShowField(showOrderQuantities_, levels);
    ShowField(belowReorderOnly_, levels);
    belowReorderOnly_->setEnabled(levels && showOrderQuantities_->isChecked());
}

// --- Searching ------------------------------------------------------------------------

InventorySearchParameters WSIInventoryDialog::GetSearchParams() const {
    TVL_TRACE("WSIInventoryDialog::GetSearchParams");
    InventorySearchParameters p;
    char code[16] = {};
    long value = 0;
    const bool hasCategory = selection_->GetPrdCatId(code, sizeof code) && code[0] != '\0';
    if ((prdType_->currentIndex() > 0 || hasCategory) && selection_->GetPrdTypeId(value))
        p.prdType = value;
    if (hasCategory)
        CopyCode(p.prdCat, code);
    if (selection_->GetProductId(value))
        p.product = value;
    CopyCode(p.location, EntryCode(location_, 1));
    if (selection_->GetVendorId(value))
        p.vendor = value;
    if (!fromDate_->IsEmpty() && fromDate_->IsValid())
        p.fromDate = fromDate_->GetDate();
    if (!toDate_->IsEmpty() && toDate_->IsValid())
        p.toDate = toDate_->GetDate();
    CopyCode(p.orderedBy, EntryCode(orderedBy_, 1));
    // The first entries (all internal, all external) are no order type.
    CopyCode(p.orderType, EntryCode(orderType_, CurrentTab() == TabClosed ? 2 : 1));
    int itemType = itemType_->currentIndex() - 1;
    p.itemType = static_cast<short>(itemType > 2 ? 5 : itemType);
    p.openStatus = static_cast<short>(openStatus_->CurrentValue(-1));
    p.closedStatus = static_cast<short>(closedStatus_->CurrentValue(-1));
    p.withStockOnly = withStockOnly_->isChecked();
    p.perLocation = perLocation_->isChecked();
    p.includeInactive = includeInactive_->isChecked();
    p.externalOrderType = orderType_->currentIndex() >= 0 && orderType_->CurrentValue(0) != 0;
    p.inStockOnly = inStockOnly_->isChecked();
    p.showOrderQuantities = showOrderQuantities_->isChecked();
    p.belowReorderOnly = belowReorderOnly_->isChecked();
    return p;
}

void WSIInventoryDialog::CmSearch() {
    TVL_TRACE("WSIInventoryDialog::CmSearch");
    // A date field that is shown must hold a date or nothing; it marks itself when not.
    for (WSIDateEdit* field : {fromDate_, toDate_})
        if (!field->isHidden() && !field->IsEmpty() && !field->IsValid()) {
            field->setFocus();
            return;
        }
    if (!fromDate_->isHidden() && fromDate_->IsValid() && toDate_->IsValid() &&
        fromDate_->Date() > toDate_->Date()) {
        MessageBox(10003, mb::OK | mb::ICONINFORMATION);
        fromDate_->setFocus();
        return;
    }
    WSIInventoryListDialog* view = ListView(CurrentTab());
    if (!view)
        return;
    view->SetSearchParameters(GetSearchParams());
    view->Search();
}

void WSIInventoryDialog::CmPrint() {
    CompleteFills();
    if (WSIInventoryListDialog* view = ListView(CurrentTab()))
        view->Print();
}

void WSIInventoryDialog::CmExportCsv() {
    if (WSIInventoryListDialog* view = ListView(CurrentTab()))
        view->ExportCsv();
}

void WSIInventoryDialog::EvTabChange() {
    EnableFields();
    LoadOrderTypes();
}

// --- Selection cache --------------------------------------------------------------

void WSIInventoryDialog::BlankField(QLineEdit* field) {
    field->setText(QString(kBlankWidth, QLatin1Char(' ')));
}

void WSIInventoryDialog::ShowCategoryAndProduct() {
    char text[128] = {};
    BlankField(category_);
    if (selection_->GetPrdCatDescription(text, sizeof text))
        category_->setText(QString::fromUtf8(text));
    BlankField(product_);
    if (selection_->GetProductDescription(text, sizeof text))
        product_->setText(QString::fromUtf8(text));
}

void WSIInventoryDialog::EvProductTypeComboChanged() {
    TVL_TRACE("WSIInventoryDialog::EvProductTypeComboChanged");
    if (prdType_->currentIndex() < 0)
        selection_->ClearPrdType();
    else
        selection_->FindPrdType(prdType_->CurrentValue(-1));
    ShowCategoryAndProduct();
}

void WSIInventoryDialog::CmProductHelp() {
    TVL_TRACE("WSIInventoryDialog::CmProductHelp");
    long prdType = 0;
    if (!selection_->GetPrdTypeId(prdType))
        prdType = 0;
    const tavel::products::ProductChoice choice =
        tavel::products::LookUpProduct(this, Module(), prdType);
    BlankField(product_);
    if (choice.product > 0)
        selection_->FindProduct(choice.product, false);
    else
        selection_->ClearProduct();
    // The product brings its type and category with it.
    long type = 0;
    if (selection_->GetPrdTypeId(type) && type > 0) {
        prdType_->blockSignals(true);
        prdType_->SelectValue(type);
        prdType_->blockSignals(false);
    }
    ShowCategoryAndProduct();
}

void WSIInventoryDialog::CmVendorHelp() {
    TVL_TRACE("WSIInventoryDialog::CmVendorHelp");
    const long vendor = tavel::products::LookUpVendor(this, Module());
    BlankField(vendor_);
    if (vendor > 0 && selection_->FindVendor(vendor)) {
        char name[128] = {};
        if (selection_->GetVendorName(name, sizeof name))
            vendor_->setText(QString::fromUtf8(name));
    } else {
        selection_->ClearVendor();
    }
}

void WSIInventoryDialog::CmCategoryHelp() {
    TVL_TRACE("WSIInventoryDialog::CmCategoryHelp");
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!db || prdType_->currentIndex() < 0)
        return;
    DBPrdCat table(db);
    table.InitRecord();
    table.data.PrdType = prdType_->CurrentValue(-1);
    {
        WSIProductCategoriesDialog lookup(this, Module(), &table, true);
        lookup.Execute();
    }
    BlankField(category_);
    char text[128] = {};
    if (table.IsRecord() && selection_->FindPrdCat(table.data.PrdType, table.data.PrdCat, false)) {
        // The description is there whether or not a product is chosen too.
        selection_->GetPrdCatDescription(text, sizeof text);
        category_->setText(QString::fromUtf8(text));
    } else if (!table.IsRecord()) {
        selection_->ClearPrdCat();
    }
    BlankField(product_);
    if (selection_->GetProductDescription(text, sizeof text))
        product_->setText(QString::fromUtf8(text));
}

void WSIInventoryDialog::CmSetup() {
    TVL_TRACE("WSIInventoryDialog::CmSetup");
    CompleteFills();
    WSIInvSetupDialog setup(this, Module());
    setup.Execute();
}

void WSIInventoryDialog::CmCategoryClear() {
    selection_->ClearPrdCat();
    BlankField(category_);
    BlankField(product_);
}

void WSIInventoryDialog::CmProductClear() {
    selection_->ClearProduct();
    BlankField(product_);
}

void WSIInventoryDialog::CmVendorClear() {
    selection_->ClearVendor();
    BlankField(vendor_);
}

void WSIInventoryDialog::CmShowOrderQuantities() {
    TVL_TRACE("WSIInventoryDialog::CmShowOrderQuantities");
    if (showOrderQuantities_->isChecked()) {
        perLocation_->setChecked(true);
        perLocation_->setEnabled(false);
        belowReorderOnly_->setEnabled(true);
    } else {
        perLocation_->setEnabled(location_->currentIndex() <= 0);
        belowReorderOnly_->setChecked(false);
        belowReorderOnly_->setEnabled(false);
    }
}

// --- Transactions -------------------------------------------------------------------

void WSIInventoryDialog::Order(const std::vector<WSILevelsData>* levelData) {
    TVL_TRACE("WSIInventoryDialog::Order");
    CompleteFills();
    bool external = false;
    const long invOrder = tavel::orders::NewOrder(this, levelData, &external);
    if (invOrder != 0)
        views_[external ? TabPendingExt : TabPending]->RefreshList(views::kRefreshOrder, invOrder,
                                                                   true);
    if (UsageTracker* tracker = Module() ? Module()->GetUsageTracker() : nullptr)
        tracker->TrackEvent(0, 6, external ? 11 : 10, 10, {});
}

long WSIInventoryDialog::CreateFillBatch(std::string* orderedByOut, std::string* filledByOut,
                                         bool askToPrint) {
    TVL_TRACE("WSIInventoryDialog::CreateFillBatch");
    CompleteFills();
    auto* pending = static_cast<WSIInvPendingOrdersDialog*>(views_[TabPending]);
    std::vector<const WSIInvOrderData*> rows;
    for (int row : pending->List()->SelectedRows())
        rows.push_back(pending->RowRecord(row));
    const views::FillSelection check = views::CheckFillSelection(
        rows, [this] { return Module() && Module()->WarnDialog(this, 25124) == id::OK; });
    if (!check.Ok()) {
        if (check.message != 0)
            MessageBox(check.message, mb::OK | mb::ICONINFORMATION);
        return 0;
    }
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!db)
        return 0;
    BIInvPickList pick(db);
    long batch = 0;
    try {
        batch = pick.InitBatch(check.suppliedBy.c_str(), check.orderedBy.c_str());
        for (long item : check.orderItems)
            pick.Add(item, askToPrint);
        if (askToPrint) {
            const long setting =
                Module()->GetProfile()
                    ? Module()->GetProfile()->GetInt("Inventory", "Print Pick List", 0)
                    : 0;
            const bool print =
                setting == 1 || (setting == 0 && Module()->WarnDialog(this, 25125) == id::OK);
            if (print)
                pick.Print(this, false, 0, nullptr);
        }
    } catch (BIException& e) {
        MessageBox(QString::fromUtf8(e.GetErrMsg(true)), mb::OK | mb::ICONEXCLAMATION);
        return 0;
    }
    if (orderedByOut)
        *orderedByOut = check.orderedBy;
    if (filledByOut)
        *filledByOut = check.suppliedBy;
    return batch;
}

void WSIInventoryDialog::CmReceive() {
    TVL_TRACE("WSIInventoryDialog::CmReceive");
    WSIInvReceiveDialog receive(this, Module());
    WSIRunModal(receive);
}

void WSIInventoryDialog::CmFill() {
    TVL_TRACE("WSIInventoryDialog::CmFill");
    CompleteFills();
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!db)
        return;
    WSIInvFillSelectDlg select(this, Module());
    if (WSIRunModal(select) != id::OK)
        return;
    const bool stored = select.UsePickList();
    long batch = 0;
    std::string orderedBy;
    std::string filledBy;
    if (stored) {
        batch = select.GetPickList();
        orderedBy = select.GetOrderedBy();
        filledBy = select.GetFilledBy();
    } else {
        batch = CreateFillBatch(&orderedBy, &filledBy, false);
        if (batch == 0)
            return;
    }
    {
        WSIInvOrderFillDialog fill(this, Module(), batch, filledBy.c_str(), orderedBy.c_str(),
                                   stored);
        WSIRunModal(fill);
    }
    // The lines taken straight into this fill leave their temporary pick list.
    if (!stored)
        BIInvPickList(db).ClearBatch(batch);
    views_[TabPending]->RefreshList(views::kRefreshSelected, -1, false);
}

void WSIInventoryDialog::CmPickList() {
    TVL_TRACE("WSIInventoryDialog::CmPickList");
    CompleteFills();
    if (CurrentTab() != TabPending) {
        MessageBox(38583, mb::OK | mb::ICONINFORMATION);
        return;
    }
    CreateFillBatch(nullptr, nullptr, true);
    views_[TabPending]->RefreshList(views::kRefreshSelected, -1, false);
}

void WSIInventoryDialog::CmCount() {
    TVL_TRACE("WSIInventoryDialog::CmCount");
    if (!CountCodesExist()) {
        MessageBox(WSIInvCountDialog::kMsgNoCountCode, mb::OK | mb::ICONINFORMATION);
        return;
    }
    WSIInvCountDialog count(this, Module());
    WSIRunModal(count);
}

bool WSIInventoryDialog::CountCodesExist() const {
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!db)
        return false;
    long count = 0;
    std::unique_ptr<WSITable> q = db->Query(
        __FILE__, __LINE__,
        "SELECT COUNT(1) FROM INVADJ  WHERE \"Type\" = %d AND \"Inactive\" = 0 AND ROWNUM < 2",
        &count, static_cast<int>(tavel::AdjustmentType::Count));
    return q->GetFirst() && count > 0;
}

std::string WSIInventoryDialog::TransferLocation(bool* anySelected) const {
    CompleteFills();
    auto* received = static_cast<WSIInvReceivedDialog*>(views_[TabReceived]);
    std::vector<const WSIReceivedData*> rows;
    for (int row : received->List()->SelectedRows())
        rows.push_back(received->RowRecord(row));
    if (anySelected)
        *anySelected = !rows.empty();
    return views::CommonOrderingLocation(rows);
}

// --- Notifications ----------------------------------------------------------------

void WSIInventoryDialog::RefreshTab(int tab, long source, long id) {
    (void)source;
    WSIInventoryListDialog* view = views_[tab];
    if (id == -1)
        view->RefreshList(views::kRefreshAll, 0, false);
    else
        view->RefreshList(views::kRefreshProduct, id, false);
}

void WSIInventoryDialog::EvUpdateInfo(long source, long id) {
    TVL_TRACE("WSIInventoryDialog::EvUpdateInfo");
    CompleteFills();
    std::vector<int> tabs;
    switch (source) {
    case 25021: // order entry, new or existing order: the order's rows
    case 25030:
        for (int tab : {TabPending, TabPendingExt, TabClosed})
            views_[tab]->RefreshList(views::kRefreshOrder, id, false);
        return;
    case 25101:
        tabs = {TabPending, TabPendingExt, TabClosed, TabLevels};
        break;
    case 25111:
        tabs = {TabPending, TabClosed, TabLevels, TabReceived};
        break;
    case 25107:
    case 25106:
    case 25112:
    case 25027:
        tabs = {TabLevels, TabReceived};
        break;
    case 25028:
    case 25035:
        tabs = {TabReceived};
        break;
    default:
        return;
    }
    for (int tab : tabs)
        RefreshTab(tab, source, id);
}

void WSIInventoryDialog::EvSysCommand(bool maximize) {
    if (!maximize)
        return;
    // The list is hidden while the window changes size, then shown again and its tab
    // selected again, so that it takes the new size at once.
    WSIInventoryListDialog* view = ListView(CurrentTab());
    if (!view)
        return;
    view->hide();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    view->show();
    tabs_->setCurrentIndex(CurrentTab());
}

QWidget* WSIInventoryDialog::Frame() const {
    // window() of an MDI child is the host's main window: the child is met on the way.
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<QMdiSubWindow*>(w))
            return w;
    return window();
}

void WSIInventoryDialog::showEvent(QShowEvent* event) {
    // Staff start with the filters: the first one has the focus when the screen opens.
    if (!focusedOnce_) {
        focusedOnce_ = true;
        prdType_->setFocus(Qt::OtherFocusReason);
    }
    // The frame that holds the screen reports its maximising here.
    if (QWidget* frame = Frame(); frame && frame != this && frame != watchedFrame_) {
        if (watchedFrame_)
            watchedFrame_->removeEventFilter(this);
        frame->installEventFilter(this);
        watchedFrame_ = frame;
    }
    WSIDialog::showEvent(event);
}

void WSIInventoryDialog::keyPressEvent(QKeyEvent* event) {
    // Keys a list view passes on (Tab, F4, F6) move on in this screen.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        focusNextPrevChild(event->key() == Qt::Key_Tab);
        return;
    }
    WSIDialog::keyPressEvent(event);
}

bool WSIInventoryDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        std::find(filterFields_.begin(), filterFields_.end(), watched) != filterFields_.end()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            DoCommand(IdSearch);
            return true;
        }
        if (plain && key->key() == Qt::Key_Down) {
            FocusList();
            return true;
        }
    }
    // Only the change into the maximised state: the frame may report one change in steps.
    if (watched == watchedFrame_ && event->type() == QEvent::WindowStateChange &&
        !(static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMaximized))
        EvSysCommand(watchedFrame_->isMaximized());
    return WSIDialog::eventFilter(watched, event);
}

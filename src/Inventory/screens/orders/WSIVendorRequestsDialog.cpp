#include "WSIVendorRequestsDialog.h"

#include "OrderSuggestions.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInvOrderLineDetails.h"
#include "WSIListWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

QString Trimmed(const char* text) {
    return QString::fromUtf8(text).trimmed();
}

QString Whole(double value) {
    return QString::number(static_cast<long>(std::trunc(value)));
}

int ByDifference(double a, double b) {
    return static_cast<int>(std::trunc(a) - std::trunc(b));
}

} // namespace

WSIVendorRequestsDialog::WSIVendorRequestsDialog(QWidget* parent, WSIApplication* module,
                                                 long vendor, const char* invLoc, long leaveOut)
    : WSIDialog(parent, module, kTemplate), vendor_(vendor),
      invLoc_(std::string(invLoc ? invLoc : "").substr(0, 7)), leaveOut_(leaveOut) {
    TVL_TRACE("WSIVendorRequestsDialog::SetupWindow");
    setObjectName(QStringLiteral("vendorRequests"));
    setWindowTitle(tr("Vendor Requests"));
    auto* layout = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    layout->addLayout(header);
    auto* form = new QFormLayout;
    header->addLayout(form, 1);
    char name[64] = {};
    if (WSIDatabase* db = module ? module->GetDb() : nullptr) {
        WSIVendor v(db);
        v.data.Vendor = vendor_;
        if (v.GetEqual(__FILE__, __LINE__))
            std::snprintf(name, sizeof name, "%s", v.data.Name);
    }
    AddReadOnlyField(this, form, IdVendorName, tr("Vendor"), Trimmed(name));
    AddReadOnlyField(this, form, IdLocation, tr("Location"),
                     QString::fromStdString(invLoc_).trimmed());
    expand_ = new QCheckBox(tr("&More columns"), this);
    expand_->setObjectName(QStringLiteral("expand"));
    AddControl(IdExpand, expand_);
    fullList_ = new QCheckBox(tr("&All products of the vendor"), this);
    fullList_->setObjectName(QStringLiteral("fullList"));
    AddControl(IdFullList, fullList_);
    auto* boxes = new QVBoxLayout;
    boxes->addWidget(fullList_);
    boxes->addWidget(expand_);
    header->addLayout(boxes);

    list_ = new WSIListWindow(this);
    list_->setObjectName(QStringLiteral("requestList"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const struct {
        const char* heading;
        int width;
        bool right;
    } columns[kColumnCount] = {
        {"Product", 90, false},  {"Category", 110, false},  {"Description", 210, false},
        {"Unit", 60, false},     {"Order Type", 70, false}, {"On Hand", 65, true},
        {"Counted", 65, true},   {"Orders", 60, true},      {"Min", 50, true},
        {"Need", 50, true},      {"On Order", 65, true},    {"Reorder", 60, true},
        {"Min Order", 70, true}, {"Std Order", 70, true},   {"Suggest", 65, true},
    };
    for (const auto& c : columns)
        list_->AddColumn(tr(c.heading), c.width,
                         c.right ? kRight : Qt::AlignLeft | Qt::AlignVCenter);
    AddControl(kListId, list_);
    layout->addWidget(list_, 1);
    list_->SetColumnClickHandler([this](int column) { EvColumnClick(column); });
    connect(list_, &WSIListWindow::rowActivated, this, [this] { EvClose(); });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* add =
        buttons->addButton(tr("Add &Selected to Order"), QDialogButtonBox::AcceptRole);
    add->setObjectName(QStringLiteral("addSelected"));
    add->setAutoDefault(false);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this] { EvClose(); });
    connect(cancel, &QPushButton::clicked, this, [this] { DoCommand(cm::Cancel); });
    layout->addWidget(buttons);

    SetCommand(IdExpand, [this] { CmExpand(); });
    SetCommand(IdFullList, [this] { CmFullList(); });
    connect(expand_, &QCheckBox::toggled, this, [this] { DoCommand(IdExpand); });
    connect(fullList_, &QCheckBox::toggled, this, [this] { DoCommand(IdFullList); });
    resize(1280, 600);
    expandWidth_ = list_->DefinedColumnWidth(ColMinToOrder);
    CmExpand();
    LoadList();
}

void WSIVendorRequestsDialog::LoadList() {
    TVL_TRACE("WSIVendorRequestsDialog::LoadList");
    WSIWaitCursor wait;
    list_->Clear();
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!db)
        return;
    const std::string sql =
        tavel::orders::SuggestionSql(leaveOut_, vendor_, nullptr, invLoc_.c_str());
    WSIVendorRequestsData r{};
    std::unique_ptr<WSITable> q = db->Query(
        __FILE__, __LINE__, "%s", WSIResult(WSIVendorRequestsData::Table(), &r), sql.c_str());
    const bool full = fullList_->isChecked();
    std::vector<WSIListRow> rows;
    for (bool found = q->GetFirst(); found; found = q->GetNext()) {
        const short onHand = tavel::orders::ComputeSuggestion(r, false);
        if (!full && r.Suggest <= 0)
            continue;
        WSIListRow row;
        row.cells = QStringList{Trimmed(r.ProductCode), Trimmed(r.CategoryDesc),
                                Trimmed(r.ProductDesc), Trimmed(r.Unit), Trimmed(r.InvOType)};
        for (int col = ColOnHandTracked; col < kColumnCount; ++col)
            row.cells << QString();
        // A product the location does not stock shows "-" rather than a misleading 0.
        const QString onHandText =
            onHand == 0 && r.Stocked != 1 ? QStringLiteral("-") : QString::number(onHand);
        row.cells[r.TrackUsage != 0 ? ColOnHandTracked : ColOnHandCounted] = onHandText;
        row.cells[ColOrders] = Whole(r.Orders);
        row.cells[ColMinCount] = QString::number(r.MinCount);
        row.cells[ColNeed] = Whole(r.Need);
        row.cells[ColOnOrder] = Whole(r.OnOrder);
        row.cells[ColReorderCount] = QString::number(r.ReorderCount);
        row.cells[ColMinToOrder] = QString::number(r.MinToOrder);
        row.cells[ColStdToOrder] = QString::number(r.StdToOrder);
        row.cells[ColSuggest] = Whole(r.Suggest);
        row.data = WSIRowData::Make(r);
        rows.push_back(std::move(row));
    }
    list_->Model()->SetRows(std::move(rows));
}

void WSIVendorRequestsDialog::CmFullList() {
    LoadList();
}

void WSIVendorRequestsDialog::CmExpand() {
    const bool expanded = expand_->isChecked();
    for (int col : {ColNeed, ColReorderCount, ColMinToOrder, ColStdToOrder})
        list_->SetColumnWidth(col, expanded ? expandWidth_ : 0);
}

void WSIVendorRequestsDialog::EvClose() {
    TVL_TRACE("WSIVendorRequestsDialog::EvClose");
    chosen_.clear();
    next_ = 0;
    for (int row : list_->SelectedRows()) {
        const WSIVendorRequestsData* r = list_->RowData<WSIVendorRequestsData>(row);
        if (!r)
            continue;
        WSIVendorRequestsData copy = *r;
        // Chosen by hand although it needs nothing: at least the standard quantity, or 1.
        if (copy.Suggest == 0)
            copy.Suggest = std::max<short>(copy.StdToOrder, 1);
        chosen_.push_back(copy);
    }
    collected_ = true;
    CloseWindow(id::OK);
}

void WSIVendorRequestsDialog::CmCancel() {
    chosen_.clear();
    collected_ = true;
    CloseWindow(id::CANCEL);
}

void WSIVendorRequestsDialog::closeEvent(QCloseEvent* event) {
    // The window's close box takes the selection as the Add button does.
    if (!collected_) {
        EvClose();
        event->ignore();
        return;
    }
    WSIDialog::closeEvent(event);
}

const WSIVendorRequestsData* WSIVendorRequestsDialog::GetNextVendorRequest() {
    if (next_ >= chosen_.size()) {
        next_ = 0;
        return nullptr;
    }
    return &chosen_[next_++];
}

int WSIVendorRequestsDialog::Compare(const WSIVendorRequestsData& a, const WSIVendorRequestsData& b,
                                     int column) {
    const auto text = [](const char* x, const char* y) {
        return QString::compare(Trimmed(x), Trimmed(y), Qt::CaseInsensitive);
    };
    switch (column) {
    case ColProductCode:
        return text(a.ProductCode, b.ProductCode);
    case ColCategory:
        if (int c = text(a.CategoryDesc, b.CategoryDesc))
            return c;
        if (int c = text(a.ProductCode, b.ProductCode))
            return c;
        return text(a.InvOType, b.InvOType);
    case ColDescription:
        return text(a.ProductDesc, b.ProductDesc);
    case ColUnit:
        return text(a.Unit, b.Unit);
    case ColOrderType:
        return text(a.InvOType, b.InvOType);
    case ColOnHandTracked:
        return ByDifference(a.Balance, b.Balance);
    case ColOnHandCounted:
        return ByDifference(a.LastCount, b.LastCount);
    case ColOrders:
        return ByDifference(a.Orders, b.Orders);
    case ColMinCount:
        return a.MinCount - b.MinCount;
    case ColNeed:
        return ByDifference(a.Need, b.Need);
    case ColOnOrder:
        return ByDifference(a.OnOrder, b.OnOrder);
    case ColReorderCount:
        return a.ReorderCount - b.ReorderCount;
    case ColMinToOrder:
        return a.MinToOrder - b.MinToOrder;
    case ColStdToOrder:
        return a.StdToOrder - b.StdToOrder;
    case ColSuggest:
        return ByDifference(a.Suggest, b.Suggest);
    default:
        return 0;
    }
}

void WSIVendorRequestsDialog::EvColumnClick(int column) {
    list_->Sort(
        [](const WSIListRow& a, const WSIListRow& b, int col) {
            const WSIVendorRequestsData* ra = a.Data<WSIVendorRequestsData>();
            const WSIVendorRequestsData* rb = b.Data<WSIVendorRequestsData>();
            return ra && rb ? Compare(*ra, *rb, col) : 0;
        },
        column);
}

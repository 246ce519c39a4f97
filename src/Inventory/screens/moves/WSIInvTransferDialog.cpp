#include "WSIInvTransferDialog.h"

#include "BIException.h"
#include "BIInvTransfer.h"
#include "BIInventory.h"
#include "LocationChoice.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSIDatabase.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"
#include "schema/InventoryCodes.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <map>

namespace {
// One line of the list: the product and what this batch moved of it. Several scans of the
// largest quantity add up past a 16-bit quantity, so the total is kept apart.
struct TransferLine : WSIScanLine {
    int moved = 0;
    void Add(int amount) {
        moved += amount;
        quantity = static_cast<short>(std::clamp(moved, SHRT_MIN, SHRT_MAX));
    }
};
} // namespace

WSIInvTransferDialog::WSIInvTransferDialog(QWidget* parent, WSIApplication* module,
                                           ReceivedRows received, const std::string& orderingLoc)
    : WSIInvScanListDialog(parent, module, kTemplate), received_(std::move(received)),
      orderingLoc_(orderingLoc.substr(0, 6)) {
    setWindowTitle(tr("Transfer"));
    transfer_ = std::make_unique<BIInvTransfer>(Db());
    BuildHeader();
    BuildButtons();

    const QStringList headings = {tr("Product Code"), tr("Description"), tr("Category"),
                                  tr("Unit"),         tr("Quantity"),    tr("UPC Code")};
    const int widths[] = {130, 280, 140, 70, 80, 140};
    for (int i = 0; i < headings.size(); ++i)
        List()->AddColumn(headings[i], widths[i],
                          (i == ColQuantity ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    List()->horizontalHeader()->setStretchLastSection(true);
    SetQuantityColumn(ColQuantity);
    // Headings sort; the quantity as a number, the rest as text.
    List()->SetColumnClickHandler([this](int column) {
        List()->Sort(
            [](const WSIListRow& a, const WSIListRow& b, int col) {
                if (col == ColQuantity)
                    return a.cells[col].toInt() - b.cells[col].toInt();
                return QString::localeAwareCompare(a.cells[col], b.cells[col]);
            },
            column);
    });
    resize(960, 600);

    // Opening: the profile's locations, the mode the caller's selection allows.
    tavel::scan::FillActiveLocations(
        *from_, Db(), tavel::scan::InventoryProfileLocation(module, "Transfer From"));
    tavel::scan::FillActiveLocations(*to_, Db(),
                                     tavel::scan::InventoryProfileLocation(module, "Transfer To"));
    if (!orderingLoc_.empty()) {
        const int keep = to_->currentIndex();
        if (tavel::scan::ChooseLocation(*to_, orderingLoc_))
            orderingIndex_ = to_->currentIndex();
        to_->setCurrentIndex(keep);
    }
    selected_->setEnabled(static_cast<bool>(received_));
    if (received_ && !orderingLoc_.empty()) {
        selected_->setChecked(true);
        // The selected items move from where they lie: that location, when they share one.
        std::string lies;
        for (const WSIReceivedData* row : received_()) {
            const std::string at = row ? tavel::scan::TrimmedCode(row->InvLoc) : std::string();
            if (lies.empty())
                lies = at;
            else if (at != lies)
                lies.clear();
            if (lies.empty())
                break;
        }
        if (!lies.empty())
            tavel::scan::ChooseLocation(*from_, lies);
    } else {
        byProduct_->setChecked(true);
    }
    connect(from_, &QComboBox::currentIndexChanged, this, [this] { EvTransferFromChanged(); });
    EvTransferFromChanged();
    EvProductRadio();
    CmClear();
    if (from_->currentIndex() < 0)
        from_->setFocus();
    else if (to_->currentIndex() < 0)
        to_->setFocus();
}

WSIInvTransferDialog::~WSIInvTransferDialog() = default;

void WSIInvTransferDialog::BuildHeader() {
    auto* grid = new QGridLayout;
    HeaderLayout()->addLayout(grid);
    from_ = new QComboBox(this);
    from_->setObjectName("transferFrom");
    to_ = new QComboBox(this);
    to_->setObjectName("transferTo");
    for (QComboBox* c : {from_, to_})
        c->setMinimumContentsLength(24);
    auto* fromLabel = new QLabel(tr("&From:"), this);
    fromLabel->setBuddy(from_);
    auto* toLabel = new QLabel(tr("T&o:"), this);
    toLabel->setBuddy(to_);
    grid->addWidget(fromLabel, 0, 0);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(toLabel, 0, 2);
    grid->addWidget(to_, 0, 3);

    byProduct_ = new QRadioButton(tr("B&y product"), this);
    byProduct_->setObjectName("modeByProduct");
    all_ = new QRadioButton(tr("&Everything at the location"), this);
    all_->setObjectName("modeAll");
    selected_ = new QRadioButton(tr("Selected &received items"), this);
    selected_->setObjectName("modeSelected");
    auto* group = new QButtonGroup(this);
    auto* modes = new QHBoxLayout;
    for (auto [button, id] : {std::pair{byProduct_, int(IdByProduct)}, std::pair{all_, int(IdAll)},
                              std::pair{selected_, int(IdSelected)}}) {
        group->addButton(button, id);
        AddControl(id, button);
        modes->addWidget(button);
    }
    modes->addStretch();
    // Reading order: the locations, the mode, then the entry.
    QWidget* order[] = {from_, to_, byProduct_, all_, selected_, Entry()};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    grid->addLayout(modes, 1, 0, 1, 5);
    grid->setColumnStretch(4, 1);
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            EvProductRadio();
    });
}

void WSIInvTransferDialog::BuildButtons() {
    QPushButton* add = AddListButton(CmAddId, tr("&Add"), "add");
    add->setAutoDefault(false);
    AddListButton(CmModifyId, tr("&Modify"), "modify")->setAutoDefault(false);
    AddListButton(CmClearId, tr("&New Transfer"), "clear")->setAutoDefault(false);
    AddListButton(CmPreviewId, tr("Pre&view"), "preview")->setAutoDefault(false);
    AddListButton(CmPrintId, tr("&Print"), "print")->setAutoDefault(false);
    ButtonRow()->addStretch();
    QPushButton* close = AddCommandButton(cm::Cancel, tr("Close"));
    close->setObjectName("close");
    close->setAutoDefault(false);
    ButtonRow()->addWidget(close);
    SetCommand(CmAddId, [this] { CmAdd(); });
}

WSIInvItem::WSIData WSIInvTransferDialog::StockItemOf(const WSIReceivedData& row) {
    // The received row begins with the stock item's columns: copied column by column.
    WSIInvItem::WSIData item{};
#define TVL_COPY_ITEM_COLUMN(name, type, width, key)                                               \
    std::memcpy(&item.name, &row.name, sizeof item.name);
    TVL_INVITEM_COLUMNS(TVL_COPY_ITEM_COLUMN)
#undef TVL_COPY_ITEM_COLUMN
    return item;
}

WSIInvTransferDialog::Mode WSIInvTransferDialog::CurrentMode() const {
    if (all_->isChecked())
        return Mode::All;
    if (selected_->isChecked())
        return Mode::Selected;
    return Mode::ByProduct;
}

// --- Locations and mode ------------------------------------------------------------------

void WSIInvTransferDialog::EvTransferFromChanged() {
    const std::string from = tavel::scan::ChosenLocation(*from_);
    WSIInvLoc loc(Db());
    std::snprintf(loc.data.InvLoc, sizeof loc.data.InvLoc, "%s", from.c_str());
    const bool noStock = !from.empty() && Db() && loc.GetEqual(__FILE__, __LINE__) &&
                         loc.data.Type == tavel::LocationType::NoStock;
    if (!noStock) {
        const bool wasAll = all_->isChecked();
        all_->setEnabled(false);
        if (wasAll) {
            byProduct_->setChecked(true);
            EvProductRadio();
        }
    } else {
        all_->setEnabled(newBatch_);
    }
}

void WSIInvTransferDialog::EvProductRadio() {
    const Mode mode = CurrentMode();
    if (mode == Mode::ByProduct) {
        Entry()->setEnabled(true);
        Reset();
    } else {
        Entry()->SetTextQuietly(QString());
        Entry()->setEnabled(false);
        Entry()->StopAutoEntry();
        EnableCommand(CmProductId, false);
        ProductButton()->hide();
        QuantityField()->hide();
        QuantityLabel()->hide();
        if (mode == Mode::Selected && orderingIndex_ >= 0)
            to_->setCurrentIndex(orderingIndex_);
    }
    EvCommandEnable();
}

void WSIInvTransferDialog::EnableHeader(bool enable) {
    for (QWidget* w : {static_cast<QWidget*>(from_), static_cast<QWidget*>(to_),
                       static_cast<QWidget*>(byProduct_)})
        w->setEnabled(enable);
    // The other two options keep the conditions they are offered under.
    selected_->setEnabled(enable && static_cast<bool>(received_));
    if (enable)
        EvTransferFromChanged();
    else
        all_->setEnabled(false);
}

void WSIInvTransferDialog::LockFields(bool lock) {
    // A started batch keeps its locations and mode whatever the selection does.
    EnableHeader(!lock && newBatch_);
}

void WSIInvTransferDialog::BatchStarted() {
    newBatch_ = false;
    EnableHeader(false);
    EvCommandEnable();
}

void WSIInvTransferDialog::EvCommandEnable() {
    WSIInvScanListDialog::EvCommandEnable();
    if (!transfer_)
        return;
    const bool restricted = Module() && Module()->IsCommandRestricted(TemplateId(), CmAddId);
    const bool allDone = CurrentMode() == Mode::All && !newBatch_;
    EnableCommand(CmAddId, !restricted && !allDone);
}

// --- Entry -------------------------------------------------------------------------------

void WSIInvTransferDialog::CmOk() {
    switch (CurrentMode()) {
    case Mode::ByProduct:
        WSIInvScanListDialog::CmOk();
        break;
    case Mode::All:
        // Enter moves everything only as long as the add command would.
        DoCommand(CmAddId);
        break;
    case Mode::Selected:
        break;
    }
}

void WSIInvTransferDialog::CmAdd() {
    switch (CurrentMode()) {
    case Mode::Selected:
        if (!received_) {
            ErrorSignal();
            ShowRefusal(kMsgNoReceivedView);
        } else if (orderingLoc_.empty()) {
            ErrorSignal();
            ShowRefusal(kMsgNoOrderingLocation);
        } else {
            DoTransferSelected();
        }
        break;
    case Mode::ByProduct:
        // The entry itself records its usage event.
        WSIInvScanListDialog::CmAdd();
        return;
    case Mode::All:
        DoTransferAll();
        break;
    }
    if (Module())
        if (UsageTracker* tracker = Module()->GetUsageTracker())
            tracker->TrackEvent(TemplateId(), 0, 0, 0, {});
}

void WSIInvTransferDialog::OpenBatch(const std::string& from, const std::string& to) {
    if (newBatch_)
        transfer_->InitBatch(from.c_str(), to.c_str());
}

void WSIInvTransferDialog::DoScan(bool, bool, bool, bool) {
    TVL_TRACE("WSIInvTransferDialog::DoScan");
    const long product = CurrentProduct();
    const short quantity = Quantity();
    if (!RunBusiness([&] {
            OpenBatch(tavel::scan::ChosenLocation(*from_), tavel::scan::ChosenLocation(*to_));
            transfer_->Transfer(product, quantity, false, false, false);
        })) {
        Entry()->SetTextQuietly(QString());
        return;
    }
    if (newBatch_)
        BatchStarted();

    int row = RowOf(product);
    if (row >= 0) {
        auto* line = List()->RowData<TransferLine>(row);
        line->Add(quantity);
        List()->SetItemText(row, ColQuantity, QString::number(line->moved));
    } else {
        std::unique_ptr<WSITable> cursor(transfer_->GetNewRow());
        const WSIInvTransferView& r = static_cast<WSIInvTransferRow*>(cursor.get())->Row();
        auto line = std::make_shared<TransferLine>();
        line->product = product;
        line->Add(quantity);
        line->rawBarCode = RawBarCode();
        row = List()->AppendRow({QString::fromUtf8(r.PRODUCTCODE), QString::fromUtf8(r.DESCRIPTION),
                                 QString::fromUtf8(r.CATEGORY), QString::fromUtf8(r.UNIT),
                                 QString::number(quantity), QString::fromUtf8(r.UPCCODE)},
                                WSIRowData(line));
    }
    List()->ShowRow(row);
    ShowFeedback(QString::number(quantity), product);
    PrepareForNextItem();
    SuccessFeedback();
    SetNextFocusItem();
    Notify(product);
}

void WSIInvTransferDialog::DoModify(int row) {
    TVL_TRACE("WSIInvTransferDialog::DoModify");
    auto* line = List()->RowData<TransferLine>(row);
    if (!line)
        return;
    // The entry is the row's new total: only the difference moves (back, when negative).
    const short total = Quantity();
    const int difference = total - line->moved;
    const long product = line->product;
    if (difference < SHRT_MIN || difference > SHRT_MAX) {
        // Far beyond what one movement may carry; the business layer would say the same.
        ErrorSignal();
        ShowRefusal(kMsgInvalidQuantity);
        ErrorFeedback();
        Entry()->SetTextQuietly(QString());
        return;
    }
    if (difference != 0 && !RunBusiness([&] {
            transfer_->Transfer(product, static_cast<short>(difference), false, false, false);
        })) {
        Entry()->SetTextQuietly(QString());
        return;
    }
    line->Add(difference);
    List()->SetItemText(row, ColQuantity, QString::number(total));
    ShowFeedback(QString::number(total), product);
    PrepareForNextItem();
    SuccessFeedback();
    SetNextFocusItem();
    Notify(product);
}

void WSIInvTransferDialog::DoTransferAll() {
    TVL_TRACE("WSIInvTransferDialog::DoTransferAll");
    WSIWaitCursor wait;
    const bool moved = RunBusiness([&] {
        OpenBatch(tavel::scan::ChosenLocation(*from_), tavel::scan::ChosenLocation(*to_));
        transfer_->TransferAll(TemplateId());
    });
    // Each product moves in a unit of work of its own: what moved before a refusal stays
    // moved, and the list shows it.
    RefreshList();
    if (moved || List()->RowCount() > 0)
        BatchStarted();
    if (!moved)
        return;
    ClearFeedback();
    SuccessFeedback();
    List()->setFocus();
    if (Module())
        Module()->NotifyUpdate(TemplateId(), 0);
}

void WSIInvTransferDialog::DoTransferSelected() {
    TVL_TRACE("WSIInvTransferDialog::DoTransferSelected");
    WSIWaitCursor wait;
    WSIDatabase* db = Db();
    const int level = db->TransactionLevel();
    const bool moved = RunBusiness([&] {
        try {
            transfer_->BeginTransferInvItem();
            OpenBatch(tavel::scan::ChosenLocation(*from_), orderingLoc_);
            for (const WSIReceivedData* row : received_()) {
                if (!row)
                    continue;
                WSIInvItem::WSIData item = StockItemOf(*row);
                transfer_->TransferInvItem(item, TemplateId());
            }
            transfer_->EndTransferInvItem();
        } catch (...) {
            // The selected items move together or not at all.
            tavel::AbortTransactionsAbove(db, level);
            throw;
        }
    });
    if (!moved)
        return;
    BatchStarted();
    RefreshList();
    ClearFeedback();
    SuccessFeedback();
    List()->setFocus();
    if (Module())
        Module()->NotifyUpdate(TemplateId(), 0);
}

// --- List ----------------------------------------------------------------------------------

int WSIInvTransferDialog::RowOf(long product) const {
    for (int row = 0; row < List()->RowCount(); ++row)
        if (const auto* line = List()->RowData<TransferLine>(row); line && line->product == product)
            return row;
    return -1;
}

void WSIInvTransferDialog::RefreshList() {
    TVL_TRACE("WSIInvTransferDialog::RefreshList");
    // The rows are the stock items that arrived; one list row per product sums them.
    std::map<long, int> rowOf;
    List()->ClearRowSelection();
    List()->BeginBatch();
    List()->Clear();
    while (WSITable* t = transfer_->GetNextRow()) {
        const WSIInvTransferView& r = static_cast<WSIInvTransferRow*>(t)->Row();
        const auto found = rowOf.find(r.PRODUCTID);
        if (found != rowOf.end()) {
            auto* line = List()->RowData<TransferLine>(found->second);
            line->Add(r.SCANNED);
            List()->SetItemText(found->second, ColQuantity, QString::number(line->moved));
            continue;
        }
        auto line = std::make_shared<TransferLine>();
        line->product = r.PRODUCTID;
        line->Add(r.SCANNED);
        rowOf[r.PRODUCTID] =
            List()->AppendRow({QString::fromUtf8(r.PRODUCTCODE), QString::fromUtf8(r.DESCRIPTION),
                               QString::fromUtf8(r.CATEGORY), QString::fromUtf8(r.UNIT),
                               QString::number(r.SCANNED), QString::fromUtf8(r.UPCCODE)},
                              WSIRowData(line));
    }
    List()->EndBatch();
}

void WSIInvTransferDialog::ClearBatch() {
    // A new transfer: the batch closes, the locations and the mode are free again.
    transfer_->CloseBatch();
    newBatch_ = true;
    List()->ClearRowSelection();
    List()->Clear();
    EnableHeader(true);
    EvProductRadio();
}

void WSIInvTransferDialog::Notify(long product) {
    if (!Module())
        return;
    Module()->NotifyUpdate(TemplateId(), 0);
    Module()->ProductRefresh(TemplateId(), product);
}

void WSIInvTransferDialog::CmPrint() {
    if (!Module())
        return;
    char title[200] = {};
    Module()->LoadString(kTitleMessage, title, sizeof title);
    PrintListRequest request;
    request.view = this;
    request.list = List();
    request.title = title;
    Module()->SendMainWindowMessage(hostmsg::kPrintList, &request);
}

void WSIInvTransferDialog::CmPreview() {
    CmPrint();
}

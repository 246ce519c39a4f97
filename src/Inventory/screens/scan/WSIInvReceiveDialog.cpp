#include "WSIInvReceiveDialog.h"

#include "BIException.h"
#include "BIInvOrder.h"
#include "BIInvRec.h"
#include "LineCommands.h"
#include "LocationChoice.h"
#include "ScanLookups.h"
#include "Trace.h"
#include "WSIDatabase.h"
#include "WSIDateEdit.h"
#include "WSIInvExpiryDialog.h"
#include "WSIListWindow.h"
#include "WSIProductOrderDialog.h"
#include "WSIProfile.h"
#include "WSIScanEdit.h"
#include "schema/InventoryCodes.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>

namespace {
QString DateText(const WSIDate& d) {
    return d.IsNull() ? QString() : WSIDateEdit::Format(QDate(d.year, d.month, d.day));
}
} // namespace

WSIInvReceiveDialog::WSIInvReceiveDialog(QWidget* parent, WSIApplication* module)
    : WSIInvScanListDialog(parent, module, kTemplate) {
    setWindowTitle(tr("Receive"));
    receive_ = std::make_unique<BIInvReceive>(Db());
    BuildHeader();
    BuildButtons();

    const QStringList headings = {tr("Item"),           tr("Product Code"), tr("Description"),
                                  tr("Unit"),           tr("Ordered"),      tr("Status"),
                                  tr("Expiry"),         tr("Received"),     tr("This Receipt"),
                                  tr("Lot / Reference")};
    const int widths[] = {40, 110, 240, 60, 70, 100, 90, 75, 90, 130};
    for (int i = 0; i < headings.size(); ++i) {
        const bool number =
            i == ColItem || i == ColOrdered || i == ColReceived || i == ColThisReceipt;
        List()->AddColumn(headings[i], widths[i],
                          (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    SetQuantityColumn(ColThisReceipt);
    SetCompareColumns(ColReceived, ColOrdered);
    resize(1100, 640);

    FillLocations();
    WSIDate today{};
    if (Db())
        Db()->GetCurrentDate(today);
    receiptDate_->SetDate(today);
    List()->horizontalHeader()->setStretchLastSection(true);
    CmClear();
    if (poNumber_->isEnabled() && location_->currentIndex() >= 0)
        poNumber_->setFocus();
}

WSIInvReceiveDialog::~WSIInvReceiveDialog() = default;

void WSIInvReceiveDialog::BuildHeader() {
    auto* grid = new QGridLayout;
    HeaderLayout()->addLayout(grid);
    auto addField = [&](int row, int col, const QString& label, QWidget* field, const char* name) {
        field->setObjectName(name);
        auto* l = new QLabel(label, this);
        l->setBuddy(field);
        grid->addWidget(l, row, col * 2);
        grid->addWidget(field, row, col * 2 + 1);
    };
    location_ = new QComboBox(this);
    poNumber_ = new QLineEdit(this);
    poNumber_->setMaxLength(20);
    poDate_ = new WSIDateEdit(this);
    receiptDate_ = new WSIDateEdit(this);
    refNo_ = new QLineEdit(this);
    refNo_->setMaxLength(50);
    vendorName_ = new QLineEdit(this);
    vendorName_->setReadOnly(true);
    orderedBy_ = new QLabel(this);
    addField(0, 0, tr("&Location:"), location_, "location");
    addField(0, 1, tr("P&O number:"), poNumber_, "poNumber");
    addField(0, 2, tr("PO da&te:"), poDate_, "poDate");
    addField(1, 0, tr("Receipt dat&e:"), receiptDate_, "receiptDate");
    addField(1, 1, tr("&Reference:"), refNo_, "refNo");
    addField(1, 2, tr("Ordered by:"), orderedBy_, "orderedBy");
    auto* vendorRow = new QHBoxLayout;
    vendorRow->addWidget(vendorName_, 1);
    QPushButton* vendorButton = AddCommandButton(CmVendorId, tr("&Find Vendor..."));
    vendorButton->setObjectName("vendorLookUp");
    vendorRow->addWidget(vendorButton);
    QPushButton* poSearch = AddCommandButton(CmPOSearchId, tr("F&ind Order..."));
    poSearch->setObjectName("poSearch");
    vendorRow->addWidget(poSearch);
    vendorName_->setObjectName("vendor");
    auto* vendorLabel = new QLabel(tr("Vendor:"), this);
    grid->addWidget(vendorLabel, 2, 0);
    grid->addLayout(vendorRow, 2, 1, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);

    SetCommand(CmVendorId, [this] { CmVendor(); });
    SetCommand(CmPOSearchId, [this] { CmPOSearch(); });
    connect(poNumber_, &QLineEdit::editingFinished, this, [this] {
        if (poNumber_->text() != lastPO_)
            EvPOChange();
    });
}

void WSIInvReceiveDialog::BuildButtons() {
    AddListButton(CmClearId, tr("Clear"), "clear");
    AddListButton(CmModifyId, tr("Modify"), "modify");
    AddListButton(CmDeleteId, tr("Delete"), "delete");
    AddListButton(CmBackOrderId, tr("Back Order"), "backOrder");
    AddListButton(CmAutoReceiveId, tr("Receive All"), "autoReceive");
    AddListButton(CmNewPOId, tr("New PO"), "newPO");
    AddListButton(CmNewRefNoId, tr("New Reference"), "newRefNo");
    AddListButton(CmPreviewId, tr("Preview"), "preview");
    AddListButton(CmPrintId, tr("Print"), "print");
    tavel::scan::AddCloseButton(this, ButtonRow());
    SetCommand(CmAutoReceiveId, [this] { CmAutoReceive(); });
    SetCommand(CmNewPOId, [this] { CmNewPO(); });
    SetCommand(CmNewRefNoId, [this] { CmNewRefNo(); });
    SetCommand(CmBackOrderLineId, [this] { CmBackOrder(); });
    SetCommand(CmCancelItemId, [this] { CmCancelItem(); });
    SetCommand(CmCloseItemId, [this] { CmCloseItem(); });
    // The line commands, also on the list's context menu.
    tavel::scan::InstallLineMenu(this, List(),
                                 {{CmModifyId, tr("Modify")},
                                  {CmDeleteId, tr("Delete")},
                                  {CmBackOrderLineId, tr("Back Order")},
                                  {CmCancelItemId, tr("Cancel Line")},
                                  {CmCloseItemId, tr("Close Line")}});
    EvCommandEnable();
}

void WSIInvReceiveDialog::EvCommandEnable() {
    WSIInvScanListDialog::EvCommandEnable();
    // The line commands follow the base's back-order rule; cancel and close need an order line.
    EnableCommand(CmBackOrderLineId, IsCommandEnabled(CmBackOrderId));
    const int row = SelectedLine();
    const auto* l = row >= 0 ? static_cast<const WSIReceiveLine*>(LineAt(row)) : nullptr;
    const bool line = l && l->invOrdIt != 0;
    EnableCommand(CmCancelItemId, line);
    EnableCommand(CmCloseItemId, line);
}

void WSIInvReceiveDialog::FillLocations() {
    tavel::scan::FillActiveLocations(*location_, Db(), Module() ? Module()->GetProfile() : nullptr);
}

std::string WSIInvReceiveDialog::SetInvLoc() const {
    return tavel::scan::ChosenLocation(*location_);
}

WSIScanLine* WSIInvReceiveDialog::LineAt(int row) const {
    return List()->RowData<WSIReceiveLine>(row);
}

QString WSIInvReceiveDialog::StatusText(short status) const {
    return LoadString(38041u + static_cast<unsigned>(status));
}

bool WSIInvReceiveDialog::TracksExpiry(long product, WSIProduct::WSIData* out) const {
    if (!Db())
        return false;
    WSIProduct p(Db());
    p.data.Product = product;
    if (!p.GetEqual(__FILE__, __LINE__))
        return false;
    if (out)
        *out = p.data;
    return p.data.TrackExpiryDate != 0;
}

// --- The order ---------------------------------------------------------------------------

void WSIInvReceiveDialog::EvPOChange() {
    TVL_TRACE("WSIInvReceiveDialog::EvPOChange");
    lastPO_ = poNumber_->text();
    const QByteArray po = poNumber_->text().trimmed().toUtf8();
    if (!po.isEmpty() && receive_->FindOrder(po.constData(), 0))
        UpdateDialogWithInvOrder();
    else
        ClearOrderFields();
    RefreshList();
}

void WSIInvReceiveDialog::SetOrder(long invOrder) {
    if (invOrder == 0 || !receive_->FindOrder(invOrder, true))
        return;
    poNumber_->setText(QString::fromUtf8(receive_->GetInvOrder()->PONumber));
    lastPO_ = poNumber_->text();
    UpdateDialogWithInvOrder();
    RefreshList();
}

void WSIInvReceiveDialog::UpdateDialogWithInvOrder() {
    char loc[8] = "";
    receive_->GetOrderByLocation(loc, sizeof loc);
    WSIInvLoc l(Db());
    std::memcpy(l.data.InvLoc, loc, sizeof l.data.InvLoc);
    orderedBy_->setText(l.GetEqual(__FILE__, __LINE__) ? QString::fromUtf8(l.data.Name)
                                                       : QString::fromUtf8(loc));
    WSIDate date{};
    if (receive_->GetOrderDate(date) && !date.IsNull()) {
        poDate_->SetDate(date);
        poDate_->setEnabled(false);
    }
    char name[64] = "";
    vendor_ = receive_->GetOrderVendor(name, sizeof name);
    vendorName_->setText(QString::fromUtf8(name));
    EnableCommand(CmVendorId, vendor_ == 0);
}

void WSIInvReceiveDialog::ClearOrderFields() {
    orderedBy_->clear();
    poDate_->SetDate(QDate());
    poDate_->setEnabled(newBatch_);
    vendor_ = 0;
    vendorName_->clear();
    EnableCommand(CmVendorId, newBatch_);
}

void WSIInvReceiveDialog::RefreshList() {
    TVL_TRACE("WSIInvReceiveDialog::RefreshList");
    WSIWaitCursor wait;
    List()->Clear();
    List()->BeginBatch();
    long lastOrdIt = -1;
    for (WSITable* t = receive_->GetNextOrderRow(); t; t = receive_->GetNextOrderRow()) {
        const WSIReceiveOrderRow& r = static_cast<WSIReceiveOrderCursor*>(t)->Row();
        // An order line with several receipt lines (expiry dates) comes once per line.
        if (r.INVORDIT == lastOrdIt)
            continue;
        lastOrdIt = r.INVORDIT;
        auto line = std::make_shared<WSIReceiveLine>();
        line->product = r.PRODUCTID;
        line->quantity = r.RECD;
        line->status = r.STATUS;
        line->invOrder = r.INVORDER;
        line->invOrdIt = r.INVORDIT;
        const QStringList cells = {QString::number(r.ITEM),
                                   QString::fromUtf8(r.PRODUCTCODE),
                                   QString::fromUtf8(r.DESCRIPTION),
                                   QString::fromUtf8(r.UNIT),
                                   QString::number(r.ORDERQTY),
                                   StatusText(r.STATUS),
                                   QString(),
                                   QString::number(r.QTYFILLED),
                                   r.RECD ? QString::number(r.RECD) : QString(),
                                   QString()};
        List()->AppendRow(cells, WSIRowData(line),
                          r.STATUS == tavel::OrdItStatus::BackOrdered ? rowmark::BackOrdered : 0u);
    }
    List()->EndBatch();
    EvCommandEnable();
}

// --- The batch ---------------------------------------------------------------------------

void WSIInvReceiveDialog::OpenBatch() {
    TVL_TRACE("WSIInvReceiveDialog::InitBatch");
    receivingLoc_ = SetInvLoc();
    WSIDate receiptDate{};
    if (receiptDate_->IsValid())
        receiptDate = receiptDate_->GetDate();
    else
        Db()->GetCurrentDate(receiptDate);
    const QByteArray po = poNumber_->text().trimmed().toUtf8();
    WSIDate poDate{};
    const bool havePODate = poDate_->IsValid();
    if (havePODate)
        poDate = poDate_->GetDate();
    else if (!po.isEmpty())
        throw InvalidPODate();
    const bool found = receive_->GetInvOrder()->InvOrder != 0 ||
                       (!po.isEmpty() && receive_->FindOrder(po.constData(), 0));
    if (found) {
        char orderLoc[8] = "";
        receive_->GetOrderByLocation(orderLoc, sizeof orderLoc);
        if (tavel::scan::TrimmedCode(orderLoc) != receivingLoc_ &&
            (!Module() || Module()->WarnDialog(this, kWarnOtherLocation) != id::OK))
            throw InvRecDiffInvLocErr();
    }
    receive_->InitBatch(receivingLoc_.c_str(), vendor_, &receiptDate, po.constData(),
                        havePODate ? &poDate : nullptr);
}

void WSIInvReceiveDialog::EnableHeader(bool enable) {
    location_->setEnabled(enable);
    receiptDate_->setEnabled(enable);
    poNumber_->setEnabled(enable);
    poDate_->setEnabled(enable && !(receive_->GetInvOrder()->InvOrder != 0 &&
                                    !receive_->GetInvOrder()->Date.IsNull()));
    refNo_->setEnabled(enable);
    EnableCommand(CmVendorId, enable && vendor_ == 0);
    EnableCommand(CmPOSearchId, enable);
}

void WSIInvReceiveDialog::LockFields(bool lock) {
    // While a line is selected only its quantity is entered; the header waits.
    if (lock) {
        location_->setEnabled(false);
        receiptDate_->setEnabled(false);
        poNumber_->setEnabled(false);
        poDate_->setEnabled(false);
        refNo_->setEnabled(false);
    } else {
        EnableHeader(newBatch_);
    }
}

void WSIInvReceiveDialog::ClearBatch() {}

void WSIInvReceiveDialog::DoScan(bool, bool, bool, bool) {
    TVL_TRACE("WSIInvReceiveDialog::DoScan");
    if (ReceiveCurrent() && !autoReceive_) {
        SuccessFeedback();
        SetNextFocusItem();
    }
}

bool WSIInvReceiveDialog::ReceiveCurrent() {
    const long product = CurrentProduct();
    const short quantity = Quantity();
    WSIProduct::WSIData prd{};
    try {
        if (newBatch_)
            OpenBatch();
        WSIDate expiry{};
        const bool tracked = TracksExpiry(product, &prd);
        // A lot from the scanned data addresses the line when the header gives no reference.
        const WSIBarCodeFields& scan = BarCode().Fields();
        const bool scanned = !RawBarCode().empty() && scan.isGs1;
        std::string refNo = refNo_->text().trimmed().toStdString();
        const bool lot = refNo.empty() && scanned && !scan.lot.empty();
        if (lot)
            refNo = scan.lot.substr(0, 50);
        if (tracked) {
            WSIInvExpiryDialog dialog(this, Module(), prd);
            if (scanned && scan.hasExpiry)
                dialog.SetExpiry(WSIDate{static_cast<short>(scan.expiryYear),
                                         static_cast<short>(scan.expiryMonth),
                                         static_cast<short>(scan.expiryDay)});
            if (lot)
                dialog.SetLot(QString::fromStdString(refNo));
            if (WSIRunModal(dialog) != id::OK || !dialog.GetExpiry(expiry)) {
                ErrorSignal();
                ErrorFeedback();
                SetNextFocusItem();
                return false;
            }
        }
        receive_->Add(product, quantity, tracked ? &expiry : nullptr, refNo.c_str());
        if (newBatch_) {
            newBatch_ = false;
            EnableHeader(false);
        }
        UpdateList(product, quantity, tracked ? &expiry : nullptr, refNo, lot);
    } catch (BIException& e) {
        ErrorSignal();
        if (dynamic_cast<InvRecDiffInvLocErr*>(&e))
            ShowRefusal(kMsgOtherLocationDeclined);
        else
            ShowRefusal(QString::fromUtf8(e.GetErrMsg(true)));
        ErrorFeedback();
        Entry()->SetTextQuietly(QString());
        return false;
    }
    ShowFeedback(QString::number(quantity), product);
    PrepareForNextItem();
    if (!autoReceive_)
        Notify(product);
    return true;
}

void WSIInvReceiveDialog::Notify(long product) {
    if (!Module())
        return;
    Module()->NotifyUpdate(TemplateId(), 0);
    Module()->ProductRefresh(TemplateId(), product);
}

void WSIInvReceiveDialog::SetNumber(int row, int col, int value) {
    List()->SetItemText(row, col, value == 0 ? QString() : QString::number(value));
}

void WSIInvReceiveDialog::MarkBackOrderLocation(int row, long product, short quantity) {
    const bool on = quantity != 0 && receive_->IsOnBackOrderFromLoc(product, receivingLoc_.c_str());
    List()->SetMark(row, rowmark::BackOrderLocation, on);
}

int WSIInvReceiveDialog::AddSubRow(int below, const WSIReceiveLine& parent, short quantity,
                                   const WSIDate* expiry, const std::string& refNo, bool lot) {
    auto line = std::make_shared<WSIReceiveLine>();
    line->product = parent.product;
    line->quantity = quantity;
    line->status = parent.status;
    line->invOrder = parent.invOrder;
    line->invOrdIt = parent.invOrdIt;
    line->expiry = expiry ? *expiry : WSIDate{};
    line->refNo = refNo;
    line->subRow = true;
    line->lot = lot;
    line->rawBarCode = RawBarCode();
    QStringList cells;
    for (int c = 0; c < List()->ColumnCount(); ++c)
        cells << QString();
    cells[ColProductCode] = List()->ItemText(OrderRowOf(below), ColProductCode);
    cells[ColExpiry] = expiry ? DateText(*expiry) : QString();
    cells[ColThisReceipt] = QString::number(quantity);
    cells[ColReference] = QString::fromStdString(refNo);
    return List()->InsertRow(below + 1, cells, WSIRowData(line));
}

void WSIInvReceiveDialog::UpdateList(long product, short quantity, const WSIDate* expiry,
                                     const std::string& refNo, bool lot) {
    auto lineOf = [this](int row) { return static_cast<WSIReceiveLine*>(LineAt(row)); };
    const bool subRows = expiry != nullptr || lot;
    int first = -1;
    int last = -1;
    for (int row = 0; row < List()->RowCount(); ++row) {
        const WSIReceiveLine* l = lineOf(row);
        if (l && l->product == product) {
            if (first < 0)
                first = row;
            last = row;
        } else if (first >= 0) {
            break;
        }
    }
    int changed = -1;
    if (first < 0) {
        // A product received without an order line: its receipt row, and maybe a sub-row.
        WSITable* t = receive_->GetNewReceiptRow();
        const WSIInvReceiptView& r = static_cast<WSIReceiptRowCursor*>(t)->Row();
        auto line = std::make_shared<WSIReceiveLine>();
        line->product = product;
        line->quantity = subRows ? 0 : quantity;
        line->rawBarCode = RawBarCode();
        const QStringList cells = {r.ITEM ? QString::number(r.ITEM) : QString(),
                                   QString::fromUtf8(r.PRODUCTCODE),
                                   QString::fromUtf8(r.DESCRIPTION),
                                   QString::fromUtf8(r.UNIT),
                                   QString(),
                                   QString(),
                                   QString(),
                                   QString::number(quantity),
                                   subRows ? QString() : QString::number(quantity),
                                   subRows ? QString() : QString::fromStdString(refNo)};
        first = List()->AppendRow(cells, WSIRowData(line));
        changed = subRows ? AddSubRow(first, *line, quantity, expiry, refNo, lot) : first;
    } else {
        WSIReceiveLine* order = lineOf(first);
        const int received = CellNumber(first, ColReceived) + quantity;
        SetNumber(first, ColReceived, received);
        const int ordered = CellNumber(first, ColOrdered);
        if (ordered > 0 && ordered <= received)
            List()->SetMark(first, rowmark::BackOrdered, false);
        if (!subRows) {
            order->quantity = static_cast<short>(order->quantity + quantity);
            SetNumber(first, ColThisReceipt, order->quantity);
            changed = first;
        } else {
            for (int row = first + 1; row <= last; ++row) {
                WSIReceiveLine* l = lineOf(row);
                const bool sameDate = expiry ? l->expiry == *expiry : l->expiry.IsNull();
                if (l->subRow && sameDate && l->refNo == refNo) {
                    l->quantity = static_cast<short>(l->quantity + quantity);
                    SetNumber(row, ColThisReceipt, l->quantity);
                    changed = row;
                    break;
                }
            }
            if (changed < 0)
                changed = AddSubRow(last, *order, quantity, expiry, refNo, lot);
        }
    }
    MarkBackOrderLocation(changed, product, quantity);
    ShowLineStatus(OrderRowOf(changed));
    List()->ShowRow(changed);
}

void WSIInvReceiveDialog::ShowLineStatus(int orderRow) {
    auto* l = static_cast<WSIReceiveLine*>(LineAt(orderRow));
    if (!l || l->subRow || l->invOrdIt == 0 || !Db())
        return;
    WSIInvOrdIt line(Db());
    line.data.InvOrdIt = l->invOrdIt;
    if (!line.GetEqual(__FILE__, __LINE__))
        return;
    l->status = line.data.Status;
    List()->SetItemText(orderRow, ColStatus, StatusText(l->status));
}

int WSIInvReceiveDialog::OrderRowOf(int row) const {
    while (row > 0) {
        const auto* l = static_cast<const WSIReceiveLine*>(LineAt(row));
        if (!l || !l->subRow)
            break;
        --row;
    }
    return row;
}

// --- Entry on a selected row --------------------------------------------------------------

void WSIInvReceiveDialog::CmOk() {
    const int row = SelectedLine();
    const auto* l = row >= 0 ? static_cast<const WSIReceiveLine*>(LineAt(row)) : nullptr;
    // An order-line row of an expiry-tracked product takes a new lot, not a new quantity.
    if (l && !l->subRow && TracksExpiry(l->product)) {
        CmAdd();
        return;
    }
    WSIInvScanListDialog::CmOk();
}

void WSIInvReceiveDialog::DoModify(int row) {
    TVL_TRACE("WSIInvReceiveDialog::DoModify");
    auto* l = static_cast<WSIReceiveLine*>(LineAt(row));
    if (!l)
        return;
    const short quantity = Quantity();
    const bool tracked = TracksExpiry(l->product);
    if (!l->subRow && (tracked || (row + 1 < List()->RowCount() && LineAt(row + 1) &&
                                   static_cast<WSIReceiveLine*>(LineAt(row + 1))->subRow))) {
        ErrorSignal();
        ShowRefusal(tracked ? kMsgModifyExpiryLine : kMsgModifyLotLine);
        ErrorFeedback();
        return;
    }
    if (l->quantity == 0) {
        // Nothing of this line is in the receipt yet: the quantity is received.
        if (ReceiveCurrent() && !autoReceive_) {
            SuccessFeedback();
            SetNextFocusItem();
        }
        return;
    }
    WSIDate expiry = l->expiry;
    if (!RunBusiness([&] {
            receive_->Modify(l->product, quantity,
                             l->subRow && !expiry.IsNull() ? &expiry : nullptr,
                             l->lot ? l->refNo.c_str() : nullptr);
        }))
        return;
    const short old = l->quantity;
    l->quantity = quantity;
    SetNumber(row, ColThisReceipt, quantity);
    const int order = OrderRowOf(row);
    const int received = CellNumber(order, ColReceived) - old + quantity;
    SetNumber(order, ColReceived, received);
    const int ordered = CellNumber(order, ColOrdered);
    if (ordered > 0 && ordered <= received)
        List()->SetMark(order, rowmark::BackOrdered, false);
    ShowLineStatus(order);
    ShowFeedback(QString::number(quantity), l->product);
    PrepareForNextItem();
    if (!autoReceive_) {
        SuccessFeedback();
        SetNextFocusItem();
        Notify(l->product);
    }
}

void WSIInvReceiveDialog::DoDelete(int row, long product, short quantity) {
    TVL_TRACE("WSIInvReceiveDialog::DoDelete");
    auto* l = static_cast<WSIReceiveLine*>(LineAt(row));
    if (!l)
        return;
    WSIDate expiry = l->expiry;
    if (!RunBusiness([&] {
            receive_->Delete(product, -1, l->subRow && !expiry.IsNull() ? &expiry : nullptr,
                             l->lot ? l->refNo.c_str() : nullptr);
        }))
        return;
    const int order = OrderRowOf(row);
    l->quantity = 0;
    SetNumber(row, ColThisReceipt, 0);
    List()->SetMark(row, rowmark::BackOrderLocation, false);
    SetNumber(order, ColReceived, CellNumber(order, ColReceived) - quantity);
    int select = row;
    if (l->subRow) {
        List()->RemoveRow(row);
        select = row - 1;
    }
    // A line that existed only for this receipt goes with it.
    const bool orderHasSubRows = order + 1 < List()->RowCount() && LineAt(order + 1) &&
                                 static_cast<WSIReceiveLine*>(LineAt(order + 1))->subRow;
    if (CellNumber(order, ColOrdered) == 0 && CellNumber(order, ColReceived) == 0 &&
        !orderHasSubRows) {
        List()->RemoveRow(order);
        select = order - 1;
    } else {
        ShowLineStatus(order);
    }
    if (select >= 0 && select < List()->RowCount())
        List()->SelectRow(select);
    else
        List()->ClearRowSelection();
    ClearFeedback();
    PrepareForNextItem();
    SuccessFeedback();
    List()->setFocus();
    Notify(product);
}

void WSIInvReceiveDialog::DoBackOrder(int row) {
    auto* l = static_cast<WSIReceiveLine*>(LineAt(row));
    if (!l)
        return;
    const QByteArray po = poNumber_->text().trimmed().toUtf8();
    if (!RunBusiness([&] { receive_->BackOrder(po.constData(), l->invOrder, l->product); }))
        return;
    l->status = tavel::OrdItStatus::BackOrdered;
    List()->SetItemText(row, ColStatus, StatusText(l->status));
    List()->SetMark(row, rowmark::BackOrdered, true);
    PrepareForNextItem();
    SuccessFeedback();
    List()->setFocus();
}

void WSIInvReceiveDialog::CmCancelItem() {
    SetLineStatus(kWarnCancelLine, tavel::OrdItStatus::Cancelled);
}

void WSIInvReceiveDialog::CmCloseItem() {
    SetLineStatus(kWarnCloseLine, tavel::OrdItStatus::Closed);
}

void WSIInvReceiveDialog::SetLineStatus(int warnTemplate, short status) {
    const int row = SelectedLine();
    auto* l = row >= 0 ? static_cast<WSIReceiveLine*>(LineAt(OrderRowOf(row))) : nullptr;
    if (!l || l->invOrdIt == 0 || !Module() || Module()->WarnDialog(this, warnTemplate) != id::OK)
        return;
    if (!RunBusiness([&] { BIInvOrder(Db()).UpdateItemStatus(status, l->invOrder, l->invOrdIt); }))
        return;
    const long product = l->product;
    const int order = OrderRowOf(row);
    l->status = status;
    List()->SetItemText(order, ColStatus, StatusText(status));
    List()->SetMark(order, rowmark::BackOrdered, false);
    List()->SetMark(order, rowmark::Cancelled, status == tavel::OrdItStatus::Cancelled);
    Notify(product);
}

// --- Automatic receive ---------------------------------------------------------------------

void WSIInvReceiveDialog::CmAutoReceive() {
    TVL_TRACE("WSIInvReceiveDialog::CmAutoReceive");
    WSIWaitCursor wait;
    autoReceive_ = true;
    receive_->InitRefreshArray();
    for (int row = 0; row < List()->RowCount() && autoReceive_; ++row) {
        const auto* l = static_cast<const WSIReceiveLine*>(LineAt(row));
        if (!l || l->subRow)
            continue;
        const int ordered = CellNumber(row, ColOrdered);
        const int received = CellNumber(row, ColReceived);
        if (CellNumber(row, ColThisReceipt) != 0 || received >= ordered)
            continue;
        const long product = l->product;
        List()->SelectRow(row);
        Entry()->SetTextQuietly(QString::number(ordered - received));
        const int before = List()->RowCount();
        CmOk();
        receive_->AddProductToRefreshArray(product);
        // A refusal stops the run: what was received stays.
        if (List()->RowCount() == before && CellNumber(row, ColThisReceipt) == 0 &&
            CellNumber(row, ColReceived) == received) {
            break;
        }
    }
    List()->ClearRowSelection();
    SetNextFocusItem();
    autoReceive_ = false;
    receive_->SendProductArrayRefresh(TemplateId());
    if (Module())
        Module()->NotifyUpdate(TemplateId(), 0);
    SuccessFeedback();
}

// --- Finishing ---------------------------------------------------------------------------

bool WSIInvReceiveDialog::HandleBackOrders() {
    TVL_TRACE("WSIInvReceiveDialog::HandleBackOrders");
    if (receive_->PartialReceiptsNotBackOrdered()) {
        const int answer =
            MessageBox(LoadString(kWarnBackOrderShort), mb::YESNOCANCEL | mb::ICONQUESTION);
        if (answer == id::CANCEL)
            return false;
        if (answer == id::YES && !RunBusiness([this] { receive_->AutoBackOrder(); }))
            return false;
    }
    receive_->CloseBatch();
    return true;
}

void WSIInvReceiveDialog::CmCancel() {
    if (HandleBackOrders())
        CloseWindow(id::CANCEL);
}

void WSIInvReceiveDialog::CmNewPO() {
    if (!HandleBackOrders())
        return;
    newBatch_ = true;
    WSIDate today{};
    Db()->GetCurrentDate(today);
    receiptDate_->SetDate(today);
    poNumber_->clear();
    lastPO_.clear();
    refNo_->clear();
    ClearOrderFields();
    List()->ClearRowSelection();
    List()->Clear();
    EnableHeader(true);
    Reset();
    if (location_->currentIndex() < 0)
        location_->setFocus();
    else
        poNumber_->setFocus();
}

void WSIInvReceiveDialog::CmNewRefNo() {
    receive_->CloseBatch();
    // The order stays the receipt's: it is found again for the next line.
    const QByteArray po = poNumber_->text().trimmed().toUtf8();
    if (!po.isEmpty())
        receive_->FindOrder(po.constData(), 0);
    newBatch_ = true;
    refNo_->clear();
    refNo_->setEnabled(true);
    Reset();
    refNo_->setFocus();
}

bool WSIInvReceiveDialog::HandleInvalidProduct(const char* code) {
    if (Module() && Module()->WarnDialog(this, kWarnAddProduct) == id::OK) {
        const std::string shortCode = std::string(code).substr(0, 30);
        if (const long product = AddProductWithCode(this, shortCode)) {
            SetCurrentProduct(product, Quantity());
            return true;
        }
    }
    return WSIInvScanListDialog::HandleInvalidProduct(code);
}

void WSIInvReceiveDialog::CmVendor() {
    long vendor = 0;
    std::string name;
    if (OpenVendorLookUp(this, vendor, name)) {
        vendor_ = vendor;
        vendorName_->setText(QString::fromStdString(name));
    }
}

void WSIInvReceiveDialog::CmPOSearch() {
    WSIProductOrderDialog search(this, Module());
    if (WSIRunModal(search) == id::OK && search.ChosenOrder() != 0)
        SetOrder(search.ChosenOrder());
}

void WSIInvReceiveDialog::CmPrint() {
    receive_->Print(this, false);
}

void WSIInvReceiveDialog::CmPreview() {
    receive_->Print(this, true);
}

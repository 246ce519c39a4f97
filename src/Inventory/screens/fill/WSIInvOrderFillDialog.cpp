#include "WSIInvOrderFillDialog.h"

#include "BIException.h"
#include "BIInvOrder.h"
#include "BIInvPick.h"
#include "LineCommands.h"
#include "ProductLookups.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSIDatabase.h"
#include "WSIInvFillSelectDlg.h"
#include "WSIListWindow.h"
#include "WSIProfile.h"
#include "WSIScanEdit.h"
#include "schema/InventoryCodes.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace St = tavel::OrdItStatus;

namespace {
std::string Trimmed(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

template <std::size_t N> void CopyCode(char (&out)[N], const char* in) {
    const std::string t = Trimmed(in);
    const std::size_t n = std::min(t.size(), N - 1);
    std::memcpy(out, t.data(), n);
    out[n] = '\0';
}

bool IsNumberColumn(int col) {
    using F = WSIInvOrderFillDialog;
    return col == F::ColOrder || col == F::ColItem || col == F::ColOrdered || col == F::ColToFill ||
           col == F::ColThisFill;
}
} // namespace

WSIInvOrderFillDialog::WSIInvOrderFillDialog(QWidget* parent, WSIApplication* module, long pickList,
                                             const char* supplyingLoc, const char* orderingLoc,
                                             bool showPickList)
    : WSIInvScanListDialog(parent, module, kTemplate), pickList_(pickList) {
    TVL_TRACE("WSIInvOrderFillDialog::WSIInvOrderFillDialog");
    setWindowTitle(tr("Fill Orders"));
    fill_ = std::make_unique<BIInvFill>(Db());
    fill_->SetPickList(pickList);
    BuildHeader(supplyingLoc, orderingLoc, showPickList);
    BuildButtons();

    const QStringList headings = {
        tr("Order"), tr("Item"),    tr("Product Code"), tr("Description"), tr("Unit"),
        tr("Bin"),   tr("Ordered"), tr("Status"),       tr("To Fill"),     tr("This Fill")};
    const int widths[] = {60, 40, 110, 240, 60, 70, 70, 110, 70, 75};
    for (int i = 0; i < headings.size(); ++i)
        List()->AddColumn(headings[i], widths[i],
                          (IsNumberColumn(i) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    // The description takes the room the screen has; the figures keep their widths.
    List()->horizontalHeader()->setStretchLastSection(false);
    List()->horizontalHeader()->setSectionResizeMode(ColDescription, QHeaderView::Stretch);
    List()->SetColumnClickHandler([this](int column) {
        List()->Sort(
            [](const WSIListRow& a, const WSIListRow& b, int col) {
                if (IsNumberColumn(col)) {
                    const int x = a.Text(col).toInt();
                    const int y = b.Text(col).toInt();
                    return x < y ? -1 : x > y ? 1 : 0;
                }
                return a.Text(col).localeAwareCompare(b.Text(col));
            },
            column);
    });
    SetQuantityColumn(ColThisFill);
    SetCompareColumns(ColThisFill, ColOrdered);
    resize(1100, 640);
    CmClear();
    RefreshList();
}

WSIInvOrderFillDialog::~WSIInvOrderFillDialog() = default;

void WSIInvOrderFillDialog::BuildHeader(const char* supplyingLoc, const char* orderingLoc,
                                        bool showPickList) {
    auto* grid = new QGridLayout;
    HeaderLayout()->addLayout(grid);
    supplying_ = new QComboBox(this);
    supplying_->setObjectName("supplying");
    ordering_ = new QComboBox(this);
    ordering_->setObjectName("ordering");
    for (QComboBox* box : {supplying_, ordering_})
        box->setMinimumContentsLength(28);
    orderingName_ = new QLabel(this);
    orderingName_->setObjectName("orderingName");
    pickListLabel_ = new QLabel(this);
    pickListLabel_->setObjectName("pickList");
    auto* fromLabel = new QLabel(tr("&Filled by:"), this);
    fromLabel->setBuddy(supplying_);
    auto* toLabel = new QLabel(tr("&Ordered by:"), this);
    toLabel->setBuddy(ordering_);
    grid->addWidget(fromLabel, 0, 0);
    grid->addWidget(supplying_, 0, 1);
    grid->addWidget(toLabel, 0, 2);
    grid->addWidget(ordering_, 0, 3);
    grid->addWidget(orderingName_, 0, 4);
    grid->addWidget(pickListLabel_, 0, 5);
    grid->setColumnStretch(4, 1);

    std::string preset = Trimmed(supplyingLoc);
    std::string profileLoc;
    if (Module() && Module()->GetProfile())
        profileLoc = Trimmed(
            Module()->GetProfile()->GetString("Inventory", "Location", "").substr(0, 6).c_str());
    const std::string ordered = Trimmed(orderingLoc);
    int supplyIndex = -1;
    int profileIndex = -1;
    int orderIndex = -1;
    if (Db()) {
        WSIInvLoc loc(Db());
        for (bool found = loc.GetFirst(); found; found = loc.GetNext()) {
            if (loc.data.Inactive != 0)
                continue;
            const std::string code = Trimmed(loc.data.InvLoc);
            const QString entry =
                QString::fromStdString(code) + "\t" + QString::fromUtf8(loc.data.Name);
            supplying_->addItem(entry);
            ordering_->addItem(entry);
            const int index = supplying_->count() - 1;
            if (code == preset)
                supplyIndex = index;
            if (code == profileLoc)
                profileIndex = index;
            if (code == ordered) {
                orderIndex = index;
                orderingName_->setText(QString::fromUtf8(loc.data.Name));
            }
        }
    }
    supplying_->setCurrentIndex(supplyIndex >= 0 ? supplyIndex : profileIndex);
    ordering_->setCurrentIndex(orderIndex);
    if (showPickList)
        pickListLabel_->setText(tr("Pick list %1").arg(pickList_));
}

void WSIInvOrderFillDialog::BuildButtons() {
    AddListButton(CmClearId, tr("Clear"), "clear");
    AddListButton(CmModifyId, tr("Modify"), "modify");
    AddListButton(CmBackOrderId, tr("Back Order"), "backOrder");
    AddListButton(CmAutoFillId, tr("Fill A&ll"), "autoFill");
    AddListButton(CmSubstituteId, tr("Subs&titute..."), "substitute");
    AddListButton(CmCancelItemId, tr("Cancel Line"), "cancelLine");
    AddListButton(CmCloseItemId, tr("Close Line"), "closeLine");
    AddListButton(CmPreviewId, tr("Preview"), "preview");
    AddListButton(CmPrintId, tr("Print"), "print");
    tavel::scan::AddCloseButton(this, ButtonRow());
    SetCommand(CmAutoFillId, [this] { CmAutoFill(); });
    SetCommand(CmSubstituteId, [this] { CmSubstitute(); });
    SetCommand(CmCancelItemId, [this] { CmCancelItem(); });
    SetCommand(CmCloseItemId, [this] { CmCloseItem(); });
    tavel::scan::InstallLineMenu(this, List(),
                                 {{CmModifyId, tr("Modify")},
                                  {CmBackOrderId, tr("Back Order")},
                                  {CmSubstituteId, tr("Substitute...")},
                                  {CmCancelItemId, tr("Cancel Line")},
                                  {CmCloseItemId, tr("Close Line")}});
    EvCommandEnable();
}

void WSIInvOrderFillDialog::EvCommandEnable() {
    WSIInvScanListDialog::EvCommandEnable();
    const WSIFillLine* line = FillLineAt(SelectedLine());
    EnableCommand(CmAutoFillId, List()->RowCount() > 0);
    EnableCommand(CmSubstituteId, line != nullptr);
    EnableCommand(CmCancelItemId, line != nullptr);
    EnableCommand(CmCloseItemId, line != nullptr);
}

WSIScanLine* WSIInvOrderFillDialog::LineAt(int row) const {
    return List()->RowData<WSIFillLine>(row);
}

WSIFillLine* WSIInvOrderFillDialog::FillLineAt(int row) const {
    return row >= 0 ? List()->RowData<WSIFillLine>(row) : nullptr;
}

std::string WSIInvOrderFillDialog::LocationOf(const QComboBox* box) const {
    return box->currentText().left(23).section('\t', 0, 0).left(6).toStdString();
}

QString WSIInvOrderFillDialog::StatusText(short status) const {
    return LoadString(38041u + static_cast<unsigned>(status));
}

// --- The list ------------------------------------------------------------------------------

void WSIInvOrderFillDialog::RefreshList() {
    TVL_TRACE("WSIInvOrderFillDialog::RefreshList");
    WSIWaitCursor wait;
    const long batch = fill_->GetBatchId();
    struct Row {
        std::shared_ptr<WSIFillLine> line;
        QStringList cells;
        short ordered;
    };
    std::vector<Row> rows;
    long lastLine = -1;
    // The cursor is read to its end before anything else is asked of the database.
    while (WSITable* t = fill_->GetNextRow()) {
        const WSIInvFillView& r = static_cast<WSIInvFillRow*>(t)->Row();
        const bool thisBatch = batch != 0 && r.BATCHID == batch;
        if (r.INVORDIT == lastLine) {
            if (thisBatch && !rows.empty() && rows.back().line->invOrdIt == r.INVORDIT)
                rows.back().line->quantity =
                    static_cast<short>(rows.back().line->quantity + std::lround(r.FILLED));
            continue;
        }
        lastLine = r.INVORDIT;
        if (r.STATUS == St::Cancelled || r.STATUS == St::Closed || r.STATUS == St::Filled)
            continue;
        auto line = std::make_shared<WSIFillLine>();
        line->product = r.PRODUCTID;
        line->quantity = thisBatch ? static_cast<short>(std::lround(r.FILLED)) : 0;
        line->status = r.STATUS;
        line->invOrder = r.INVORDER;
        line->invOrdIt = r.INVORDIT;
        line->filled = r.QTYFILLED;
        line->wasBackOrdered = r.WASBACKORDERED != 0;
        rows.push_back({line,
                        {QString::number(r.INVORDER), QString::number(r.ITEM),
                         QString::fromUtf8(r.PRODUCTCODE), QString::fromUtf8(r.DESCRIPTION),
                         QString::fromUtf8(r.UNIT), QString::fromUtf8(r.PRODUCTBIN),
                         QString::number(r.ORDERQTY), QString(), QString(), QString()},
                        r.ORDERQTY});
    }
    List()->BeginBatch();
    List()->ClearRowSelection();
    List()->Clear();
    for (Row& r : rows) {
        const WSIFillLine& l = *r.line;
        r.cells[ColStatus] = StatusText(l.status);
        r.cells[ColToFill] = QString::number(std::max(0, r.ordered - l.filled));
        r.cells[ColThisFill] = QString::number(l.quantity);
        unsigned marks = 0;
        if (l.status == St::BackOrdered)
            marks |= rowmark::BackOrdered;
        if (!fill_->IsOrderApproved(l.invOrdIt))
            marks |= rowmark::Unapproved;
        List()->AppendRow(r.cells, WSIRowData(r.line), marks);
    }
    List()->EndBatch();
    EvCommandEnable();
}

void WSIInvOrderFillDialog::UpdateList(int row, short quantity) {
    WSIFillLine* line = FillLineAt(row);
    if (!line)
        return;
    line->filled = static_cast<short>(line->filled + quantity);
    line->quantity = static_cast<short>(line->quantity + quantity);
    if (line->rawBarCode.empty())
        line->rawBarCode = RawBarCode();
    const int ordered = CellNumber(row, ColOrdered);
    const int toFill = std::max(0, ordered - line->filled);
    List()->SetItemText(row, ColThisFill, QString::number(line->quantity));
    List()->SetItemText(row, ColToFill, QString::number(toFill));
    if (toFill == 0)
        List()->SetMark(row, rowmark::BackOrdered, false);
    BIInvOrder order(Db());
    if (order.FindOrderItem(line->invOrdIt))
        line->status = order.GetOrderItemData()->Status;
    if (line->filled < ordered && line->wasBackOrdered) {
        line->status = St::BackOrdered;
        List()->SetMark(row, rowmark::BackOrdered, true);
    }
    List()->SetItemText(row, ColStatus, StatusText(line->status));
}

// --- Entries -------------------------------------------------------------------------------

void WSIInvOrderFillDialog::CmOk() {
    const WSIFillLine* line = FillLineAt(SelectedLine());
    if (line && line->product == 0) {
        Entry()->StopAutoEntry();
        Entry()->SetTextQuietly(QString());
        if (automatic_) {
            ++skipped_;
        } else {
            ErrorSignal();
            ShowRefusal(kMsgNoProduct);
        }
        ErrorFeedback();
        return;
    }
    WSIInvScanListDialog::CmOk();
}

void WSIInvOrderFillDialog::DoScan(bool, bool createMissing, bool allowExpired,
                                   bool allowNoExpiry) {
    TVL_TRACE("WSIInvOrderFillDialog::DoScan");
    const long product = CurrentProduct();
    const short quantity = Quantity();
    std::vector<Share> shares;
    const int selected = SelectedLine();
    if (const WSIFillLine* line = FillLineAt(selected)) {
        shares.push_back({selected, line->invOrdIt, quantity});
    } else {
        // Each of the product's lines, in list order, gets what it still needs.
        int left = quantity;
        int last = -1;
        for (int row = 0; row < List()->RowCount(); ++row) {
            const WSIFillLine* l = FillLineAt(row);
            if (!l || l->product != product)
                continue;
            last = row;
            const int need = CellNumber(row, ColToFill);
            if (need > 0 && left > 0) {
                const int give = std::min(left, need);
                shares.push_back({row, l->invOrdIt, static_cast<short>(give)});
                left -= give;
            }
        }
        if (left > 0 && last >= 0) {
            if (!Module() || Module()->WarnDialog(this, kWarnOverFill) != id::OK) {
                ErrorSignal();
                ErrorFeedback();
                SetNextFocusItem();
                return;
            }
            if (!shares.empty() && shares.back().row == last)
                shares.back().quantity = static_cast<short>(shares.back().quantity + left);
            else
                shares.push_back({last, FillLineAt(last)->invOrdIt, static_cast<short>(left)});
        } else if (left > 0) {
            // Not on the pick list: the fill of line 0 is refused with its message.
            shares.push_back({-1, 0, static_cast<short>(left)});
        }
    }
    if (!StillOnPickList(shares) ||
        !RunFills(product, shares, createMissing, allowExpired, allowNoExpiry))
        return;
    for (const Share& s : shares)
        UpdateList(s.row, s.quantity);
    GiveFeedback(product, quantity);
}

void WSIInvOrderFillDialog::DoModify(int row) {
    TVL_TRACE("WSIInvOrderFillDialog::DoModify");
    WSIFillLine* line = FillLineAt(row);
    if (!line || line->product == 0) {
        ErrorSignal();
        ShowRefusal(kMsgNoProduct);
        ErrorFeedback();
        return;
    }
    // The entry is the row's new total: the difference is filled, or taken back.
    const short diff = static_cast<short>(Quantity() - line->quantity);
    if (diff != 0) {
        const std::vector<Share> shares = {{row, line->invOrdIt, diff}};
        if (!StillOnPickList(shares) || !RunFills(line->product, shares, false, false, false))
            return;
        UpdateList(row, diff);
    }
    GiveFeedback(line->product, line->quantity);
}

bool WSIInvOrderFillDialog::StillOnPickList(const std::vector<Share>& shares) {
    BIInvOrder order(Db());
    for (const Share& s : shares) {
        if (s.invOrdIt == 0)
            continue;
        if (!order.FindOrderItem(s.invOrdIt) || order.GetOrderItemData()->PickList != pickList_) {
            ErrorSignal();
            ShowRefusal(kMsgPickListCleared);
            ErrorFeedback();
            return false;
        }
    }
    return true;
}

bool WSIInvOrderFillDialog::RunFills(long product, const std::vector<Share>& shares,
                                     bool createMissing, bool allowExpired, bool allowNoExpiry) {
    WSIDatabase* db = Db();
    if (!db)
        return false;
    const std::string from = LocationOf(supplying_);
    const std::string to = LocationOf(ordering_);
    // Stock taken back can be short only at the ordering location: no move offered then.
    const bool delivering =
        std::all_of(shares.begin(), shares.end(), [](const Share& s) { return s.quantity > 0; });
    for (;;) {
        const int level = db->TransactionLevel();
        try {
            WSIWaitCursor wait;
            fill_->BeginFill();
            if (newBatch_)
                fill_->InitBatch(from.c_str(), to.c_str());
            for (const Share& s : shares)
                fill_->Fill(s.invOrdIt, product, s.quantity, true, createMissing, allowExpired,
                            allowNoExpiry);
            fill_->EndFill();
        } catch (MissingInvItem& e) {
            tavel::AbortTransactionsAbove(db, level);
            // Short at the supplying location: settled by a move, then the entry again.
            const bool shortHere = delivering && e.MissingQty < 0;
            if (shortHere && OfferMove(product, -e.MissingQty))
                continue;
            ErrorSignal();
            // A declined move was the answer; anything else is said as it is.
            if (!shortHere)
                ShowRefusal(QString::fromUtf8(e.GetErrMsg(true)));
            ErrorFeedback();
            SetNextFocusItem();
            return false;
        } catch (BIException& e) {
            tavel::AbortTransactionsAbove(db, level);
            ErrorSignal();
            ShowRefusal(QString::fromUtf8(e.GetErrMsg(true)));
            ErrorFeedback();
            return false;
        }
        if (newBatch_) {
            newBatch_ = false;
            supplying_->setEnabled(false);
            ordering_->setEnabled(false);
        }
        return true;
    }
}

bool WSIInvOrderFillDialog::OfferMove(long product, double missing) {
    TVL_TRACE("WSIInvOrderFillDialog::OfferMove");
    if (MessageBox(kMsgOfferMove, mb::YESNO | mb::ICONQUESTION) != id::YES)
        return false;
    const std::string supplying = LocationOf(supplying_);
    const std::string from = tavel::products::SelectProductLocation(this, Module(), product, true);
    if (from.empty())
        return false;
    if (Trimmed(from.c_str()) == supplying) {
        ShowRefusal(kMsgSameLocation);
        return false;
    }
    const auto quantity = static_cast<short>(std::ceil(missing - 1e-9));
    WSIInvDiscrepencyDialog move(this, Module(), supplying.c_str(), from.c_str(), product,
                                 quantity);
    move.SetSoundFeedback(false);
    if (WSIRunModal(move) != id::OK)
        return false;
    Notify(product);
    return true;
}

void WSIInvOrderFillDialog::GiveFeedback(long product, short quantity) {
    ShowFeedback(QString::number(quantity), product);
    PrepareForNextItem();
    if (!automatic_) {
        SuccessFeedback();
        SetNextFocusItem();
        Notify(product);
    }
}

void WSIInvOrderFillDialog::Notify(long product) {
    if (!Module())
        return;
    Module()->NotifyUpdate(TemplateId(), 0);
    Module()->ProductRefresh(TemplateId(), product);
}

// --- Line commands -------------------------------------------------------------------------

void WSIInvOrderFillDialog::CmAutoFill() {
    TVL_TRACE("WSIInvOrderFillDialog::CmAutoFill");
    automatic_ = true;
    skipped_ = 0;
    WSIWaitCursor wait;
    fill_->InitRefreshArray();
    for (int row = 0; row < List()->RowCount(); ++row) {
        const WSIFillLine* line = FillLineAt(row);
        const int toFill = CellNumber(row, ColToFill);
        if (!line || CellNumber(row, ColThisFill) != 0 || toFill == 0)
            continue;
        List()->SelectRow(row);
        Entry()->SetTextQuietly(QString::number(toFill));
        CmOk();
        if (line->product != 0)
            fill_->AddProductToRefreshArray(line->product);
    }
    List()->ClearRowSelection();
    SetNextFocusItem();
    if (skipped_ > 0)
        MessageBox(kMsgSkipped, mb::OK | mb::ICONINFORMATION);
    fill_->SendProductArrayRefresh(TemplateId());
    if (Module())
        Module()->NotifyUpdate(TemplateId(), 0);
    automatic_ = false;
}

void WSIInvOrderFillDialog::CmSubstitute() {
    TVL_TRACE("WSIInvOrderFillDialog::CmSubstitute");
    const int row = SelectedLine();
    WSIFillLine* line = FillLineAt(row);
    if (!line) {
        ShowRefusal(kMsgSelectLine);
        return;
    }
    if (!StillOnPickList({{row, line->invOrdIt, 0}}))
        return;
    const std::string from = LocationOf(supplying_);
    const std::string to = LocationOf(ordering_);
    WSIInvSubstituteDialog substitute(this, Module(), to.c_str(), from.c_str(), line->invOrdIt,
                                      fill_.get(), newBatch_);
    WSIRunModal(substitute);
    if (!substitute.GetSuccess())
        return;
    if (newBatch_) {
        newBatch_ = false;
        supplying_->setEnabled(false);
        ordering_->setEnabled(false);
    }
    UpdateList(row, substitute.GetQuantity());
    ShowFeedback(QString::number(line->quantity), line->product);
    PrepareForNextItem();
    SuccessFeedback();
    Notify(line->product);
}

void WSIInvOrderFillDialog::DoBackOrder(int row) {
    TVL_TRACE("WSIInvOrderFillDialog::DoBackOrder");
    WSIFillLine* line = FillLineAt(row);
    if (!line || !RunBusiness([&] { fill_->BackOrder(line->invOrdIt); }))
        return;
    line->status = St::BackOrdered;
    line->wasBackOrdered = true;
    List()->SetItemText(row, ColStatus, StatusText(line->status));
    List()->SetMark(row, rowmark::BackOrdered, true);
    PrepareForNextItem();
    if (!automatic_) {
        SuccessFeedback();
        List()->setFocus();
        Notify(line->product);
    }
}

void WSIInvOrderFillDialog::CmCancelItem() {
    SetLineStatus(kWarnCancelLine, St::Cancelled);
}

void WSIInvOrderFillDialog::CmCloseItem() {
    SetLineStatus(kWarnCloseLine, St::Closed);
}

void WSIInvOrderFillDialog::SetLineStatus(int warnTemplate, short status) {
    const int row = SelectedLine();
    const WSIFillLine* line = FillLineAt(row);
    if (!line || !Module() || Module()->WarnDialog(this, warnTemplate) != id::OK)
        return;
    if (!RunBusiness(
            [&] { BIInvOrder(Db()).UpdateItemStatus(status, line->invOrder, line->invOrdIt); }))
        return;
    // A cancelled or closed line is no longer one to fill.
    const long product = line->product;
    List()->ClearRowSelection();
    List()->RemoveRow(row);
    SuccessFeedback();
    Notify(product);
}

void WSIInvOrderFillDialog::CmPreview() {
    BIInvPickList(Db()).Print(this, true, pickList_, LocationOf(ordering_).c_str());
}

void WSIInvOrderFillDialog::CmPrint() {
    BIInvPickList(Db()).Print(this, false, pickList_, LocationOf(ordering_).c_str());
}

// --- Closing -------------------------------------------------------------------------------

bool WSIInvOrderFillDialog::HandleBackOrders() {
    TVL_TRACE("WSIInvOrderFillDialog::HandleBackOrders");
    bool filled = false;
    bool shortRows = false;
    for (int row = 0; row < List()->RowCount(); ++row) {
        const WSIFillLine* line = FillLineAt(row);
        if (!line)
            continue;
        filled = filled || line->quantity != 0;
        shortRows =
            shortRows || (CellNumber(row, ColToFill) > 0 && line->status != St::BackOrdered);
    }
    bool all = false;
    if (filled && shortRows) {
        const int answer =
            MessageBox(LoadString(kWarnBackOrderShort), mb::YESNOCANCEL | mb::ICONQUESTION);
        if (answer == id::CANCEL)
            return false;
        all = answer == id::YES;
    }
    AutoBackOrder(all);
    fill_->CloseBatch();
    return true;
}

void WSIInvOrderFillDialog::AutoBackOrder(bool all) {
    automatic_ = true;
    bool any = false;
    for (int row = 0; row < List()->RowCount(); ++row) {
        const WSIFillLine* line = FillLineAt(row);
        // A line without a catalogue product cannot pass the line rules: left as it is.
        if (!line || line->product == 0 || CellNumber(row, ColToFill) <= 0 ||
            line->status == St::BackOrdered)
            continue;
        // Lines back-ordered before go back on back order even without the question.
        if (!all && !line->wasBackOrdered)
            continue;
        const long product = line->product;
        DoBackOrder(row);
        if (Module())
            Module()->ProductRefresh(TemplateId(), product);
        any = true;
    }
    automatic_ = false;
    if (any) {
        List()->setFocus();
        if (Module())
            Module()->NotifyUpdate(TemplateId(), 0);
    }
}

void WSIInvOrderFillDialog::CmCancel() {
    if (HandleBackOrders())
        CloseWindow(id::CANCEL);
}

// --- Substitution --------------------------------------------------------------------------

WSIInvSubstituteDialog::WSIInvSubstituteDialog(QWidget* parent, WSIApplication* module,
                                               const char* firstLoc, const char* secondLoc,
                                               long invOrdIt, BIInvFill* fill, bool batch)
    : WSIInvScanDialog(parent, module, kTemplate), invOrdIt_(invOrdIt), fill_(fill), batch_(batch) {
    TVL_TRACE("WSIInvSubstituteDialog::WSIInvSubstituteDialog");
    setWindowTitle(tr("Substitute"));
    CopyCode(firstLoc_, firstLoc);
    CopyCode(secondLoc_, secondLoc);
    auto* form = new QFormLayout;
    HeaderLayout()->addLayout(form);
    const auto field = [this, form](const QString& label, const QString& text, const char* name) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        form->addRow(label, l);
    };
    char code[64] = "";
    char unit[51] = "";
    char description[51] = "";
    BIInvOrder order(Db());
    WSIInvOrdIt::WSIData line{};
    if (Db() && order.FindOrderItem(invOrdIt))
        line = *order.GetOrderItemData();
    if (line.Product != 0 && Selection().FindProduct(line.Product, false) != 0) {
        Selection().GetProductCode(code, sizeof code);
        Selection().GetProductUnit(unit, sizeof unit);
        Selection().GetProductDescription(description, sizeof description);
    }
    // A line's own description, when it has one, is what the ward asked for.
    const QString asked = QString::fromUtf8(line.Description).trimmed();
    field(tr("Ordered product:"), QString::fromUtf8(code), "orderedProduct");
    field(tr("Unit:"), QString::fromUtf8(unit[0] ? unit : line.Unit), "orderedUnit");
    field(tr("Ordered:"), QString::number(line.Quantity), "orderedQuantity");
    field(tr("Description:"), asked.isEmpty() ? QString::fromUtf8(description) : asked,
          "lineDescription");
    comment_ = new QPlainTextEdit(this);
    comment_->setObjectName("comment");
    comment_->setPlainText(QString::fromUtf8(line.Comment));
    comment_->setMaximumHeight(70);
    form->addRow(tr("&Comment:"), comment_);
    ModeLabel()->setText(tr("&Substitute:"));
    BodyLayout()->addStretch();
    tavel::scan::AddCloseButton(this, ButtonRow());
    resize(640, 360);
    ResetInput(true);
    Entry()->setFocus();
}

WSIInvSubstituteDialog::~WSIInvSubstituteDialog() = default;

void WSIInvSubstituteDialog::DoScan(bool, bool createMissing, bool allowExpired,
                                    bool allowNoExpiry) {
    TVL_TRACE("WSIInvSubstituteDialog::DoScan");
    WSIDatabase* db = Db();
    if (!db || !fill_)
        return;
    const long product = CurrentProduct();
    const short quantity = Quantity();
    const int level = db->TransactionLevel();
    const bool stored = RunBusiness([&] {
        try {
            fill_->BeginFill();
            if (batch_)
                fill_->InitBatch(secondLoc_, firstLoc_);
            fill_->Fill(invOrdIt_, product, quantity, true, createMissing, allowExpired,
                        allowNoExpiry);
            fill_->EndFill();
        } catch (...) {
            tavel::AbortTransactionsAbove(db, level);
            throw;
        }
    });
    if (!stored) {
        Entry()->SetTextQuietly(QString());
        return;
    }
    quantity_ = quantity;
    success_ = true;
    Entry()->SetTextQuietly(QString());
    QuantityField()->clear();
    // One substitution at most.
    Entry()->setEnabled(false);
    EnableCommand(CmProductId, false);
    ShowFeedback(QString::number(quantity), product);
    SuccessFeedback();
}

void WSIInvSubstituteDialog::CmCancel() {
    TVL_TRACE("WSIInvSubstituteDialog::EvClose");
    BIInvOrder order(Db());
    if (Db() && order.FindOrderItem(invOrdIt_)) {
        WSIInvOrdIt::WSIData line = *order.GetOrderItemData();
        const QByteArray text = comment_->toPlainText().toUtf8();
        if (text != QByteArray(line.Comment)) {
            std::memset(line.Comment, 0, sizeof line.Comment);
            std::memcpy(line.Comment, text.constData(),
                        std::min<std::size_t>(text.size(), sizeof line.Comment - 1));
            if (!RunBusiness([&] { order.Modify(&line, true); }))
                return;
        }
    }
    CloseWindow(success_ ? id::OK : id::CANCEL);
}

#include "WSIInvPendingOrdersDialog.h"

#include "BIException.h"
#include "BIInvOrder.h"
#include "InventoryListQueries.h"
#include "InventoryListRows.h"
#include "OrderScreens.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

namespace {

using namespace tavel::OrdItStatus;
namespace views = tavel::views;

constexpr WSIInventoryListDialog::ColumnDef kPendingColumns[views::kOrderColumns] = {
    {"Date", 80},    {"Order", 60},        {"PO Number", 90}, {"Ordered By", 160},
    {"Product", 90}, {"Description", 200}, {"Bin", 60},       {"Status", 100},
    {"Qty", 50},     {"Filled", 50},       {"Value", 70},     {"Back-Ordered", 80},
    {"Unit", 60},    {"From", 70},         {"Vendor", 140},   {"Order Type", 70},
    {"Need By", 80}, {"Comment", 200},     {"Balance", 70},   {"Last Count", 70},
};

} // namespace

WSIInvPendingOrdersDialog::WSIInvPendingOrdersDialog(WSIInventoryDialog* mainScreen,
                                                     WSIApplication* module, int templateId)
    : WSIInvPendingOrdersDialog(mainScreen, module, templateId, false) {}

WSIInvPendingOrdersDialog::WSIInvPendingOrdersDialog(WSIInventoryDialog* mainScreen,
                                                     WSIApplication* module, int templateId,
                                                     bool external)
    : WSIInventoryListDialog(mainScreen, module, templateId, kMenuId), external_(external) {
    BuildColumns();
    ShowRecordsWith<WSIInvOrderData>(
        [this](const WSIInvOrderData& r) { return views::PendingCells(r, Module()); });
    BuildMenu();
    ShowHideColumns();
    connect(List(), &WSIListWindow::rowActivated, this, [this] { DoCommand(CmEditOrderId); });
}

void WSIInvPendingOrdersDialog::BuildColumns() {
    AddColumns(kPendingColumns);
}

void WSIInvPendingOrdersDialog::BuildMenu() {
    const auto single = [this] { return SingleSelection(); };
    // The order entry screen tells the main screen what it changed; the rows follow that.
    AddMenuCommand({CmEditOrderId, tr("Edit Order"), single,
                    [this] { tavel::orders::EditOrder(this, Selected()->InvOrder, false); }});
    AddMenuCommand({CmUpdateOrderId, tr("Update Special Order"),
                    [this] { return SingleSelection() && Selected() && Selected()->SpecialOrder; },
                    [this] { tavel::orders::EditOrder(this, Selected()->InvOrder, true); }});
    AddMenuCommand(
        {CmShowFillingDetailsId, tr("Filling Details"),
         [this] { return SingleSelection() && Selected() && Selected()->QtyFilled >= 1; },
         [this] { tavel::orders::ShowFillingDetails(this, *Selected()); }});
    AddMenuCommand({CmBackorderId, tr("Back-Order Item"),
                    [this] {
                        const WSIInvOrderData* r = Selected();
                        return SingleSelection() && r && r->Status != Cancelled &&
                               r->Status != BackOrdered && r->QtyFilled < r->Quantity;
                    },
                    [this] { CmBackorder(); }});
    const auto cancellable = [this] {
        const WSIInvOrderData* r = Selected();
        return SingleSelection() && r && r->Status != Cancelled && r->Status != Closed &&
               r->Status != Filled && r->QtyFilled == 0;
    };
    AddMenuCommand({CmCancelItemId, tr("Cancel Item"), cancellable, [this] { CmCancelItem(); }});
    AddMenuCommand({CmCancelOrderId, tr("Cancel Order"),
                    [this, cancellable] {
                        if (!cancellable())
                            return false;
                        BIInvOrder order(Db());
                        return order.CanCancelAllItems(Selected()->InvOrder);
                    },
                    [this] { CmCancelOrder(); }});
    AddMenuCommand({CmCloseItemId, tr("Close Item"),
                    [this] {
                        const WSIInvOrderData* r = Selected();
                        return SingleSelection() && r && r->Status != Cancelled &&
                               r->Status != Closed && r->Status != Filled;
                    },
                    [this] { CmCloseItem(); }});
    if (external_)
        return; // external lines skip review and ordering
    AddMenuCommand({CmReviewItemId, tr("Review Item"),
                    [this] {
                        const WSIInvOrderData* r = Selected();
                        return SingleSelection() && r && r->Status == Requested;
                    },
                    [this] { CmReviewItem(); }});
    AddMenuCommand({CmOrderItemId, tr("Order Item"),
                    [this] {
                        const WSIInvOrderData* r = Selected();
                        return SingleSelection() && r &&
                               (r->Status == Requested || r->Status == InReview);
                    },
                    [this] { CmOrderItem(); }});
}

const WSIInvOrderData* WSIInvPendingOrdersDialog::RowRecord(int row) const {
    return RecordOf<WSIInvOrderData>(row);
}

const WSIInvOrderData* WSIInvPendingOrdersDialog::Selected() const {
    return RowRecord(List()->FirstSelected());
}

std::string WSIInvPendingOrdersDialog::GetExtraWhereClause() const {
    return views::PendingExtraWhereClause(params_, false);
}

std::unique_ptr<WSITable> WSIInvPendingOrdersDialog::GetSearchTable() {
    TVL_TRACE("WSIInvPendingOrdersDialog::GetSearchTable");
    if (!Db())
        return nullptr;
    return OpenRecordQuery(views::PendingOrdersSql(Db(), params_, external_));
}

std::unique_ptr<WSITable> WSIInvPendingOrdersDialog::OpenRecordQuery(const std::string& sql) {
    if (!Db())
        return nullptr;
    return Db()->Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvOrderData::Table(), &record_),
                       sql.c_str());
}

void WSIInvPendingOrdersDialog::BeforeSearch() {
    descriptions_ = views::ReadProductDescriptions(Db());
}

WSIListRow WSIInvPendingOrdersDialog::RowFromRecord() {
    views::UseProductDescription(record_, descriptions_);
    return RecordRow(record_, views::PendingMarks(record_));
}

void WSIInvPendingOrdersDialog::UpdateRowFromRecord(int row) {
    views::UseProductDescription(record_, descriptions_);
    StoreRecord(row, record_);
}

void WSIInvPendingOrdersDialog::UpdateSpecialColumns(int row) {
    const WSIInvOrderData* r = RowRecord(row);
    if (!r)
        return;
    WSIInventoryListDialog::UpdateSpecialColumns(row);
    List()->SetMarks(row, views::PendingMarks(*r));
}

int WSIInvPendingOrdersDialog::CompareRows(const WSIListRow& a, const WSIListRow& b,
                                           int column) const {
    return CompareRecords(a, b, column, views::ComparePending);
}

void WSIInvPendingOrdersDialog::DoRefreshList(int mode, long id, bool add) {
    TVL_TRACE("WSIInvPendingOrdersDialog::RefreshList");
    if (mode == views::kRefreshOrder && add) {
        params_.invOrder = id;
        std::unique_ptr<WSITable> table = GetSearchTable();
        params_.invOrder = 0;
        if (table)
            AppendRecords(*table);
        return;
    }
    const std::vector<int> selected = List()->SelectedRows();
    RefreshRowsWith(
        [&](int row) {
            const WSIInvOrderData* r = RowRecord(row);
            return r && views::RowMatches(mode, id, r->Product, r->InvOrder, IsSelected(row));
        },
        [&](int row) {
            const WSIInvOrderData* r = RowRecord(row);
            return views::OrderLineSql(Db(), r->InvOrder, r->InvOrdIt);
        });
}

void WSIInvPendingOrdersDialog::ShowHideColumns() {
    WSIListWindow* list = List();
    const int col1 =
        list->GetColumnWidth(1) > 0 ? list->GetColumnWidth(1) : list->DefinedColumnWidth(1);
    if (!external_) {
        list->SetColumnWidth(views::col::PendingBalance,
                             list->DefinedColumnWidth(views::col::PendingBalance));
        list->SetColumnWidth(views::col::PendingLastCount,
                             list->DefinedColumnWidth(views::col::PendingLastCount));
        list->SetColumnWidth(views::col::OrderBin, col1);
        list->SetColumnWidth(views::col::PendingSupplyingLoc,
                             list->DefinedColumnWidth(views::col::PendingSupplyingLoc));
        list->SetColumnWidth(views::col::PendingVendorName, 0);
        list->SetColumnWidth(views::col::OrderPONumber, 0);
    } else {
        list->SetColumnWidth(views::col::OrderPONumber, col1 + 1);
        list->SetColumnWidth(views::col::PendingVendorName,
                             list->DefinedColumnWidth(views::col::PendingVendorName));
        list->SetColumnWidth(views::col::PendingSupplyingLoc, 0);
        list->SetColumnWidth(views::col::PendingBalance, 0);
        list->SetColumnWidth(views::col::PendingLastCount, 0);
        list->SetColumnWidth(views::col::OrderBin, 0);
    }
}

void WSIInvPendingOrdersDialog::showEvent(QShowEvent* event) {
    ShowHideColumns();
    WSIInventoryListDialog::showEvent(event);
}

void WSIInvPendingOrdersDialog::ChangeStatus(int warnTemplate, short status, unsigned statusText,
                                             unsigned setMarks, unsigned clearMarks) {
    const int row = List()->FirstSelected();
    const WSIInvOrderData* r = RowRecord(row);
    if (!r || !Module())
        return;
    if (warnTemplate != 0 && Module()->WarnDialog(this, warnTemplate) != id::OK)
        return;
    try {
        BIInvOrder order(Db());
        order.UpdateItemStatus(status, r->InvOrder, r->InvOrdIt);
    } catch (BIException& e) {
        ShowError(e);
        return;
    }
    // The row's copy follows the database, so that the menu rules see the new status.
    auto copy = std::make_shared<WSIInvOrderData>(*r);
    copy->Status = status;
    List()->SetRowData(row, copy);
    List()->SetItemText(row, views::col::Status, LoadString(statusText));
    unsigned marks = List()->Marks(row);
    marks = (marks | setMarks) & ~clearMarks;
    List()->SetMarks(row, marks);
}

void WSIInvPendingOrdersDialog::CmBackorder() {
    TVL_TRACE("WSIInvPendingOrdersDialog::CmBackorder");
    ChangeStatus(25122, BackOrdered, 38046, views::kBackOrderedMark, views::kCancelledMark);
}

void WSIInvPendingOrdersDialog::CmCancelItem() {
    TVL_TRACE("WSIInvPendingOrdersDialog::CmCancelItem");
    ChangeStatus(25121, Cancelled, 38045, views::kCancelledMark, views::kBackOrderedMark);
}

void WSIInvPendingOrdersDialog::CmCloseItem() {
    TVL_TRACE("WSIInvPendingOrdersDialog::CmCloseItem");
    ChangeStatus(25123, Closed, 38047, 0, views::kCancelledMark | views::kBackOrderedMark);
}

void WSIInvPendingOrdersDialog::CmReviewItem() {
    TVL_TRACE("WSIInvPendingOrdersDialog::CmReviewItem");
    ChangeStatus(0, InReview, 38049, 0, views::kRequestedMark);
}

void WSIInvPendingOrdersDialog::CmOrderItem() {
    TVL_TRACE("WSIInvPendingOrdersDialog::CmOrderItem");
    ChangeStatus(0, Ordered, 38041, 0, views::kRequestedMark);
}

void WSIInvPendingOrdersDialog::CmCancelOrder() {
    TVL_TRACE("WSIInvPendingOrdersDialog::CmCancelOrder");
    const WSIInvOrderData* r = Selected();
    if (!r || !Module())
        return;
    const long invOrder = r->InvOrder;
    try {
        BIInvOrder order(Db());
        if (!order.CanCancelAllItems(invOrder))
            return;
        if (Module()->WarnDialog(this, 25120) != id::OK)
            return;
        order.CancelAllItems(invOrder);
    } catch (BIException& e) {
        ShowError(e);
        return;
    }
    RefreshList(views::kRefreshOrder, invOrder, false);
}

WSIInvPendingExtOrdersDialog::WSIInvPendingExtOrdersDialog(WSIInventoryDialog* mainScreen,
                                                           WSIApplication* module, int templateId)
    : WSIInvPendingOrdersDialog(mainScreen, module, templateId, true) {}

std::string WSIInvPendingExtOrdersDialog::GetExtraWhereClause() const {
    return views::PendingExtraWhereClause(params_, true);
}

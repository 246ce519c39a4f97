#include "WSIInvClosedOrdersDialog.h"

#include "BoundedFormat.h"
#include "InventoryListQueries.h"
#include "InventoryListRows.h"
#include "OrderScreens.h"
#include "SqlText.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"

namespace {

namespace views = tavel::views;

constexpr WSIInventoryListDialog::ColumnDef kClosedColumns[views::kClosedColumns] = {
    {"Date", 80},    {"Order", 60},         {"PO Number", 90},  {"Ordered By", 160},
    {"Product", 90}, {"Description", 200},  {"Bin", 60},        {"Status", 100},
    {"Qty", 50},     {"Filled", 50},        {"Unit", 60},       {"From", 70},
    {"Vendor", 140}, {"Last Received", 90}, {"Order Type", 70},
};

} // namespace

WSIInvClosedOrdersDialog::WSIInvClosedOrdersDialog(WSIInventoryDialog* mainScreen,
                                                   WSIApplication* module, int templateId)
    : WSIInventoryListDialog(mainScreen, module, templateId, kMenuId) {
    AddColumns(kClosedColumns);
    ShowRecordsWith<WSIInvOrderData>(
        [this](const WSIInvOrderData& r) { return views::ClosedCells(r, Module()); });
    vendorWidth_ = List()->DefinedColumnWidth(views::col::ClosedVendorName);
    supplyingWidth_ = List()->DefinedColumnWidth(views::col::ClosedSupplyingLoc);
    connect(List(), &WSIListWindow::rowActivated, this, [this] { DoCommand(CmEditOrderId); });
    const auto selected = [this] { return RowRecord(List()->FirstSelected()); };
    AddMenuCommand({CmEditOrderId, tr("Edit Order"), nullptr, [this, selected] {
                        tavel::orders::EditOrder(this, selected()->InvOrder, false);
                    }});
    AddMenuCommand(
        {CmUpdateOrderId, tr("Update Special Order"),
         [selected] { return selected() && selected()->SpecialOrder != 0; },
         [this, selected] { tavel::orders::EditOrder(this, selected()->InvOrder, true); }});
    AddMenuCommand({CmShowFillingDetailsId, tr("Filling Details"),
                    [selected] { return selected() && selected()->QtyFilled >= 1; },
                    [this, selected] { tavel::orders::ShowFillingDetails(this, *selected()); }});
}

const WSIInvOrderData* WSIInvClosedOrdersDialog::RowRecord(int row) const {
    return RecordOf<WSIInvOrderData>(row);
}

void WSIInvClosedOrdersDialog::BeforeSearch() {
    descriptions_ = views::ReadProductDescriptions(Db());
    WSIListWindow* list = List();
    const int col1 = list->GetColumnWidth(1);
    if (params_.externalOrderType) {
        list->SetColumnWidth(views::col::OrderBin, 0);
        if (list->GetColumnWidth(views::col::ClosedSupplyingLoc) > 0)
            supplyingWidth_ = list->GetColumnWidth(views::col::ClosedSupplyingLoc);
        list->SetColumnWidth(views::col::ClosedSupplyingLoc, 0);
        list->SetColumnWidth(views::col::ClosedVendorName, vendorWidth_);
        list->SetColumnWidth(views::col::OrderPONumber, col1);
    } else {
        list->SetColumnWidth(views::col::OrderBin, col1);
        const int current = list->GetColumnWidth(views::col::ClosedSupplyingLoc);
        list->SetColumnWidth(views::col::ClosedSupplyingLoc,
                             current > 0 ? current : supplyingWidth_);
        if (list->GetColumnWidth(views::col::ClosedVendorName) > 0)
            vendorWidth_ = list->GetColumnWidth(views::col::ClosedVendorName);
        list->SetColumnWidth(views::col::ClosedVendorName, 0);
        list->SetColumnWidth(views::col::OrderPONumber, 0);
    }
}

std::unique_ptr<WSITable> WSIInvClosedOrdersDialog::GetSearchTable() {
    TVL_TRACE("WSIInvClosedOrdersDialog::GetSearchTable");
    if (!Db())
        return nullptr;
    return OpenRecordQuery(views::ClosedOrdersSql(Db(), params_));
}

std::unique_ptr<WSITable> WSIInvClosedOrdersDialog::OpenRecordQuery(const std::string& sql) {
    if (!Db())
        return nullptr;
    return Db()->Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvOrderData::Table(), &record_),
                       sql.c_str());
}

WSIDate WSIInvClosedOrdersDialog::LastReceipt(const WSIInvOrderData& r) const {
    WSIDate date{};
    if (!Db())
        return date;
    std::unique_ptr<WSITable> q = Db()->Query(
        __FILE__, __LINE__,
        "SELECT MAX(A.\"Date\") FROM INVITEM I, AUDITHIS A  WHERE I.\"InvLoc\" = '%s' AND "
        "I.\"Product\" = %ld AND I.\"InvOrdIt\" = %ld  AND I.\"Audit\" = A.\"Audit\"",
        &date, tavel::EscapeQuotes(r.InvLoc).c_str(), r.Product, r.InvOrdIt);
    if (!q->GetFirst())
        date = WSIDate{};
    return date;
}

WSIListRow WSIInvClosedOrdersDialog::RowFromRecord() {
    views::UseProductDescription(record_, descriptions_);
    record_.LastReceived = LastReceipt(record_);
    return RecordRow(record_);
}

void WSIInvClosedOrdersDialog::UpdateRowFromRecord(int row) {
    views::UseProductDescription(record_, descriptions_);
    record_.LastReceived = LastReceipt(record_);
    StoreRecord(row, record_);
}

int WSIInvClosedOrdersDialog::CompareRows(const WSIListRow& a, const WSIListRow& b,
                                          int column) const {
    return CompareRecords(a, b, column, views::CompareClosed);
}

void WSIInvClosedOrdersDialog::DoRefreshList(int mode, long id, bool) {
    TVL_TRACE("WSIInvClosedOrdersDialog::RefreshList");
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

#include "WSIInvStockViews.h"

#include "ProductLookups.h"
#include "WSIInvAdjustCostsDialog.h"
#include "WSIInvProductOverviewDialog.h"
#include "WSIInvRepackageProductDialog.h"
#include "WSIInvScanDialog.h"
#include "WSIInvSplitDialog.h"

#include "BIInventory.h"
#include "InventoryListQueries.h"
#include "InventoryListRows.h"
#include "OrderScreens.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInvAdjustCostsDialog.h"
#include "WSIInvScanDialog.h"
#include "WSIInventoryDialog.h"
#include "schema/InventoryCodes.h"

namespace {

namespace views = tavel::views;

constexpr WSIInventoryListDialog::ColumnDef kLevelsColumns[views::kLevelsColumns] = {
    {"Location", 70},     {"Type", 110},     {"Category", 110},  {"Product", 90},
    {"Description", 200}, {"Balance", 70},   {"Last Count", 70}, {"Total", 70},
    {"Unit", 60},         {"Ordered", 60},   {"On Order", 60},   {"Reorder", 60},
    {"Min Order", 60},    {"Std Order", 60}, {"Bin", 60},        {"Vendor", 140},
};

constexpr WSIInventoryListDialog::ColumnDef kReceivedColumns[views::kReceivedColumns] = {
    {"Location", 70},     {"Date", 80},    {"PO Number", 90}, {"Type", 40},        {"Product", 90},
    {"Description", 200}, {"Qty", 50},     {"Balance", 60},   {"Unit", 60},        {"Vendor", 140},
    {"Unit Cost", 70},    {"Expires", 80}, {"Reference", 90}, {"Ordered By", 160},
};

constexpr WSIInventoryListDialog::ColumnDef kUsageColumns[views::kUsageColumns] = {
    {"Location", 70}, {"Date", 80},         {"Type", 110}, {"Category", 110},
    {"Product", 90},  {"Description", 200}, {"Qty", 60},   {"Code", 70},
};

std::string Trim(const char* text) {
    std::string s(text ? text : "");
    const auto end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// Rows of a stock view chosen for a refresh: mode 2 stands for the products of the order.
std::vector<std::pair<int, long>> ExpandOrderMode(WSIDatabase* db, int mode, long id) {
    std::vector<std::pair<int, long>> passes;
    if (mode == views::kRefreshOrder) {
        for (long product : ProductsOfOrder(db, id))
            passes.push_back({views::kRefreshProduct, product});
    } else {
        passes.push_back({mode, id});
    }
    return passes;
}

} // namespace

std::vector<long> ProductsOfOrder(WSIDatabase* db, long invOrder) {
    std::vector<long> products;
    if (!db)
        return products;
    long product = 0;
    std::unique_ptr<WSITable> q =
        db->Query(__FILE__, __LINE__, "SELECT \"Product\" FROM INVORDIT WHERE \"InvOrder\" = %ld",
                  &product, invOrder);
    for (bool found = q->GetFirst(); found; found = q->GetNext())
        products.push_back(product);
    return products;
}

// --- Levels --------------------------------------------------------------------------

WSIInvLevelsDialog::WSIInvLevelsDialog(WSIInventoryDialog* mainScreen, WSIApplication* module,
                                       int templateId)
    : WSIInventoryListDialog(mainScreen, module, templateId, kMenuId) {
    AddColumns(kLevelsColumns);
    ShowRecordsWith<WSILevelsData>(
        [this](const WSILevelsData& r) { return views::LevelsCells(r, byLocation_); });
    AddMenuCommand({CmShowProductLocationsId, tr("Product Locations"), nullptr,
                    [this] { CmShowProductLocations(); }});
    AddMenuCommand({CmShowProductOverviewId, tr("Product Overview"), nullptr,
                    [this] { CmShowProductOverview(); }});
    AddMenuCommand({CmShowBackOrdLocsId, tr("Back-Order Locations"),
                    [this] {
                        const int row = List()->FirstSelected();
                        return row >= 0 && RowRecord(row) &&
                               (List()->Marks(row) & views::kBackOrderLocationMark);
                    },
                    [this] {
                        const WSILevelsData* r = RowRecord(List()->FirstSelected());
                        tavel::orders::ShowBackOrderLocations(this, r->Product,
                                                              Trim(r->InvLoc).c_str());
                    }});
    AddMenuCommand({CmAddOrderId, tr("Add to Order"),
                    [this] { return MainScreen() && MainScreen()->IsShowOrderQuantitiesChecked(); },
                    [this] { CmAddOrder(); }});
    AddMenuCommand({CmBinLabelsId, tr("Bin Labels"), nullptr, [this] { CmBinLabels(); }});
}

const WSILevelsData* WSIInvLevelsDialog::RowRecord(int row) const {
    return RecordOf<WSILevelsData>(row);
}

void WSIInvLevelsDialog::BeforeSearch() {
    const bool byLocation = params_.location[0] != '\0' || params_.perLocation;
    WSIListWindow* list = List();
    for (int col : {0, 14, 5, 6, 11, 12, 13})
        list->SetColumnWidth(col, byLocation ? list->DefinedColumnWidth(col) : 0);
    list->SetColumnWidth(7, byLocation ? 0 : list->DefinedColumnWidth(7));
    for (int col : {9, 10})
        list->SetColumnWidth(col, params_.showOrderQuantities ? list->DefinedColumnWidth(col) : 0);
}

void WSIInvLevelsDialog::ReadBackOrderedLocations() {
    backOrdered_.clear();
    if (!Db())
        return;
    struct Pair {
        long product;
        char invLoc[16];
    } pair{};
    static const ColumnDesc kColumns[] = {
        TVL_COL(Pair, product, Id, 0, false),
        TVL_COL(Pair, invLoc, Code, 15, false),
    };
    static const TableDesc kDesc{"BACKORDER_LOC_ROW", kColumns, 2, sizeof(Pair)};
    std::unique_ptr<WSITable> q = Db()->Query(
        __FILE__, __LINE__,
        "SELECT DISTINCT I.\"Product\", O.\"InvLocFrom\" FROM INVORDIT I, INVORDER O WHERE "
        "I.\"Status\" = %d AND I.\"InvOrder\" = O.\"InvOrder\" AND O.\"Inactive\" = 0",
        WSIResult(kDesc, &pair), static_cast<int>(tavel::OrdItStatus::BackOrdered));
    for (bool found = q->GetFirst(); found; found = q->GetNext())
        backOrdered_.insert({pair.product, Trim(pair.invLoc)});
}

std::unique_ptr<WSITable> WSIInvLevelsDialog::GetSearchTable() {
    TVL_TRACE("WSIInvLevelsDialog::GetSearchTable");
    if (!Db())
        return nullptr;
    const views::LevelsConditions c = views::LevelsConditionsOf(params_);
    byLocation_ = c.byLocation;
    withOrders_ = c.withOrders;
    if (byLocation_)
        ReadBackOrderedLocations();
    return OpenRecordQuery(views::LevelsSql(Db(), params_));
}

std::unique_ptr<WSITable> WSIInvLevelsDialog::OpenRecordQuery(const std::string& sql) {
    if (!Db())
        return nullptr;
    return Db()->Query(__FILE__, __LINE__, "%s", WSIResult(WSILevelsData::Table(), &record_),
                       sql.c_str());
}

unsigned WSIInvLevelsDialog::MarksOf(const WSILevelsData& r, bool fromSearch) const {
    if (!byLocation_)
        return 0;
    const bool backOrdered =
        fromSearch ? backOrdered_.count({r.Product, Trim(r.InvLoc)}) > 0
                   : Inventory().IsOnBackOrderFromLoc(r.Product, Trim(r.InvLoc).c_str());
    return views::LevelsMarks(r, backOrdered);
}

WSIListRow WSIInvLevelsDialog::RowFromRecord() {
    return RecordRow(record_, MarksOf(record_, true));
}

void WSIInvLevelsDialog::UpdateRowFromRecord(int row) {
    StoreRecord(row, record_);
}

void WSIInvLevelsDialog::UpdateSpecialColumns(int row) {
    const WSILevelsData* r = RowRecord(row);
    if (!r)
        return;
    WSIInventoryListDialog::UpdateSpecialColumns(row);
    List()->SetMarks(row, MarksOf(*r, false));
}

int WSIInvLevelsDialog::CompareRows(const WSIListRow& a, const WSIListRow& b, int column) const {
    return CompareRecords(a, b, column, views::CompareLevels);
}

void WSIInvLevelsDialog::DoRefreshList(int mode, long id, bool) {
    TVL_TRACE("WSIInvLevelsDialog::RefreshList");
    for (const auto& [passMode, passId] : ExpandOrderMode(Db(), mode, id)) {
        RefreshRowsWith(
            [&](int row) {
                const WSILevelsData* r = RowRecord(row);
                return r && views::RowMatches(passMode, passId, r->Product, 0, IsSelected(row));
            },
            [&](int row) {
                const WSILevelsData* r = RowRecord(row);
                return views::LevelsRowSql(Db(), byLocation_, withOrders_, r->Product,
                                           Trim(r->InvLoc).c_str());
            });
    }
}

void WSIInvLevelsDialog::CmAddOrder() {
    TVL_TRACE("WSIInvLevelsDialog::CmAddOrder");
    std::vector<const WSILevelsData*> rows;
    for (int row : List()->SelectedRows())
        rows.push_back(RowRecord(row));
    if (!views::VendorsAllowOneOrder(rows)) {
        MessageBox(38593);
        return;
    }
    std::vector<WSILevelsData> levelData;
    for (const WSILevelsData* r : rows)
        if (r)
            levelData.push_back(*r);
    if (MainScreen())
        MainScreen()->Order(&levelData);
}

void WSIInvLevelsDialog::CmShowProductLocations() {
    TVL_TRACE("WSIInvLevelsDialog::CmShowProductLocations");
    if (const WSILevelsData* r = RowRecord(List()->FirstSelected()))
        tavel::products::SelectProductLocation(this, Module(), r->Product, false, false);
}

void WSIInvLevelsDialog::CmShowProductOverview() {
    TVL_TRACE("WSIInvLevelsDialog::CmShowProductOverview");
    const WSILevelsData* r = RowRecord(List()->FirstSelected());
    if (!r)
        return;
    if (Trim(r->InvLoc).empty()) {
        MessageBox(38226);
        return;
    }
    WSIInvProductOverviewDialog overview(this, Module(), r->Product, Trim(r->InvLoc).c_str());
    WSIRunModal(overview);
}

// --- Received ------------------------------------------------------------------------

WSIInvReceivedDialog::WSIInvReceivedDialog(WSIInventoryDialog* mainScreen, WSIApplication* module,
                                           int templateId)
    : WSIInventoryListDialog(mainScreen, module, templateId, kMenuId) {
    AddColumns(kReceivedColumns);
    ShowRecordsWith<WSIReceivedData>(views::ReceivedCells);
    const auto one = [this] { return List()->SelectedCount() == 1; };
    AddMenuCommand({CmSplitReceiptId, tr("Split Receipt"),
                    [this, one] {
                        const WSIReceivedData* r = RowRecord(List()->FirstSelected());
                        return one() && r && r->Balance > 0;
                    },
                    [this] { CmSplitReceipt(); }});
    AddMenuCommand({CmRepackageProductId, tr("Repackage"),
                    [this, one] {
                        const WSIReceivedData* r = RowRecord(List()->FirstSelected());
                        return one() && r && r->IsDividable != 0 && r->Balance > 0;
                    },
                    [this] { CmRepackageProduct(); }});
    AddMenuCommand({CmAdjustCostsId, tr("Adjust Costs"), one, [this] { CmAdjustCosts(); }});
    AddMenuCommand({CmLotLabelsId, tr("Lot Labels"), nullptr, [this] { CmLotLabels(); }});
}

void WSIInvReceivedDialog::CmAdjustCosts() {
    const int row = List()->FirstSelected();
    const WSIReceivedData* r = RowRecord(row);
    if (!r)
        return;
    const WSIReceivedData copy = *r;
    WSIInvAdjustCostsDialog dialog(this, Module(), copy);
    // The correction notifies the host, which refreshes the lists; the row here is read
    // again at once so that it shows what was stored.
    if (WSIRunModal(dialog) == id::OK)
        RefreshList(3, 0, false);
}

void WSIInvReceivedDialog::CmSplitReceipt() {
    TVL_TRACE("WSIInvReceivedDialog::CmSplitReceipt");
    const WSIReceivedData* r = RowRecord(List()->FirstSelected());
    if (!r)
        return;
    const WSIReceivedData copy = *r;
    WSIInvSplitDialog dialog(this, Module(), copy);
    if (WSIRunModal(dialog) != id::OK)
        return;
    RefreshList(3, 0, false);
    if (dialog.GetNewInvItem() <= 0)
        return;
    // The new lot joins the list under the same search.
    params_.invItem = dialog.GetNewInvItem();
    std::unique_ptr<WSITable> table = GetSearchTable();
    params_.invItem = 0;
    if (table)
        AppendRecords(*table);
}

void WSIInvReceivedDialog::CmRepackageProduct() {
    TVL_TRACE("WSIInvReceivedDialog::CmRepackageProduct");
    const WSIReceivedData* r = RowRecord(List()->FirstSelected());
    if (!r)
        return;
    const WSIReceivedData copy = *r;
    WSIInvRepackageProductDialog dialog(this, Module(), copy);
    if (WSIRunModal(dialog) == id::OK)
        RefreshList(3, 0, false);
}

const WSIReceivedData* WSIInvReceivedDialog::RowRecord(int row) const {
    return RecordOf<WSIReceivedData>(row);
}

std::unique_ptr<WSITable> WSIInvReceivedDialog::GetSearchTable() {
    TVL_TRACE("WSIInvReceivedDialog::GetSearchTable");
    if (!Db())
        return nullptr;
    return OpenRecordQuery(views::ReceivedSql(Db(), params_));
}

std::unique_ptr<WSITable> WSIInvReceivedDialog::OpenRecordQuery(const std::string& sql) {
    if (!Db())
        return nullptr;
    return Db()->Query(__FILE__, __LINE__, "%s", WSIResult(WSIReceivedData::Table(), &record_),
                       sql.c_str());
}

WSIListRow WSIInvReceivedDialog::RowFromRecord() {
    return RecordRow(record_);
}

void WSIInvReceivedDialog::UpdateRowFromRecord(int row) {
    StoreRecord(row, record_);
}

int WSIInvReceivedDialog::CompareRows(const WSIListRow& a, const WSIListRow& b, int column) const {
    return CompareRecords(a, b, column, views::CompareReceived);
}

void WSIInvReceivedDialog::DoRefreshList(int mode, long id, bool) {
    TVL_TRACE("WSIInvReceivedDialog::RefreshList");
    for (const auto& [passMode, passId] : ExpandOrderMode(Db(), mode, id)) {
        RefreshRowsWith(
            [&](int row) {
                const WSIReceivedData* r = RowRecord(row);
                return r && views::RowMatches(passMode, passId, r->Product, 0, IsSelected(row));
            },
            [&](int row) { return views::ReceivedRowSql(Db(), RowRecord(row)->InvItem); });
    }
}

// --- Usage ---------------------------------------------------------------------------

WSIInvUsageDialog::WSIInvUsageDialog(WSIInventoryDialog* mainScreen, WSIApplication* module,
                                     int templateId)
    : WSIInventoryListDialog(mainScreen, module, templateId, 0) {
    AddColumns(kUsageColumns);
    ShowRecordsWith<WSIUsageData>(views::UsageCells);
}

const WSIUsageData* WSIInvUsageDialog::RowRecord(int row) const {
    return RecordOf<WSIUsageData>(row);
}

std::unique_ptr<WSITable> WSIInvUsageDialog::GetSearchTable() {
    TVL_TRACE("WSIInvUsageDialog::GetSearchTable");
    if (!Db())
        return nullptr;
    return OpenRecordQuery(views::UsageSql(Db(), params_));
}

std::unique_ptr<WSITable> WSIInvUsageDialog::OpenRecordQuery(const std::string& sql) {
    if (!Db())
        return nullptr;
    return Db()->Query(__FILE__, __LINE__, "%s", WSIResult(WSIUsageData::Table(), &record_),
                       sql.c_str());
}

WSIListRow WSIInvUsageDialog::RowFromRecord() {
    return RecordRow(record_);
}

void WSIInvUsageDialog::UpdateRowFromRecord(int row) {
    StoreRecord(row, record_);
}

int WSIInvUsageDialog::CompareRows(const WSIListRow& a, const WSIListRow& b, int column) const {
    return CompareRecords(a, b, column, views::CompareUsage);
}

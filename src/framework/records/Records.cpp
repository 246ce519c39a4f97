#include "Records.h"

#include "TableRegistry.h"

TVL_TABLE_DESC(WSIProduct, "PRODUCT", TVL_PRODUCT_COLUMNS)
TVL_TABLE_DESC(WSIPrdType, "PRDTYPE", TVL_PRDTYPE_COLUMNS)
TVL_TABLE_DESC(WSIPrdCat, "PRDCAT", TVL_PRDCAT_COLUMNS)
TVL_TABLE_DESC(WSIPrdUnit, "PRDUNIT", TVL_PRDUNIT_COLUMNS)
TVL_TABLE_DESC(WSIVendor, "VENDOR", TVL_VENDOR_COLUMNS)
TVL_TABLE_DESC(WSICity, "CITY", TVL_CITY_COLUMNS)
TVL_TABLE_DESC(WSIProvince, "PROVINCE", TVL_PROVINCE_COLUMNS)

TVL_TABLE_DESC(WSIInvLoc, "INVLOC", TVL_INVLOC_COLUMNS)
TVL_TABLE_DESC(WSIPrdLoc, "PRDLOC", TVL_PRDLOC_COLUMNS)
TVL_TABLE_DESC(WSIInvLocMap, "INVLOCMAP", TVL_INVLOCMAP_COLUMNS)
TVL_TABLE_DESC(WSIInvOType, "INVOTYPE", TVL_INVOTYPE_COLUMNS)
TVL_TABLE_DESC(WSIInvAdj, "INVADJ", TVL_INVADJ_COLUMNS)

TVL_TABLE_DESC(WSIInvOrder, "INVORDER", TVL_INVORDER_COLUMNS)
TVL_TABLE_DESC(WSIInvOrdIt, "INVORDIT", TVL_INVORDIT_COLUMNS)
TVL_TABLE_DESC(WSIInvRec, "INVREC", TVL_INVREC_COLUMNS)
TVL_TABLE_DESC(WSIInvItem, "INVITEM", TVL_INVITEM_COLUMNS)
TVL_TABLE_DESC(WSIInvItDet, "INVITDET", TVL_INVITDET_COLUMNS)

TVL_TABLE_DESC(WSIAuditHis, "AUDITHIS", TVL_AUDITHIS_COLUMNS)
TVL_TABLE_DESC(WSIUsers, "USERS", TVL_USERS_COLUMNS)
TVL_TABLE_DESC(WSILogin, "TVL_LOGIN", TVL_LOGIN_COLUMNS)
TVL_TABLE_DESC(WSIUserRight, "TVL_USERRIGHT", TVL_USERRIGHT_COLUMNS)
TVL_TABLE_DESC(WSISundry, "SUNDRY", TVL_SUNDRY_COLUMNS)
TVL_TABLE_DESC(WSIInvProdMap, "INVPRODMAP", TVL_INVPRODMAP_COLUMNS)
TVL_TABLE_DESC(WSITavelOpt, "TAVELOPT", TVL_TAVELOPT_COLUMNS)

TVL_ROW_DESC(WSIInvOrderView, "INVORDER_VIEW", TVL_INVORDER_VIEW_COLUMNS)
TVL_ROW_DESC(WSIInvReceiptView, "INVRECEIPT_VIEW", TVL_INVRECEIPT_VIEW_COLUMNS)
TVL_ROW_DESC(WSIInvFillView, "INVFILL_VIEW", TVL_INVFILL_VIEW_COLUMNS)
TVL_ROW_DESC(WSIInvTransferView, "INVTRANSFER_VIEW", TVL_INVTRANSFER_VIEW_COLUMNS)
TVL_ROW_DESC(WSIReceiveOrderRow, "RECEIVE_ORDER_ROW", TVL_RECEIVE_ORDER_ROW_COLUMNS)

TVL_ROW_DESC(WSIInvOrderData, "ORDER_LIST_ROW", TVL_INVORDER_DATA_COLUMNS)
TVL_ROW_DESC(WSILevelsData, "LEVELS_LIST_ROW", TVL_LEVELS_DATA_COLUMNS)
TVL_ROW_DESC(WSIReceivedData, "RECEIVED_LIST_ROW", TVL_RECEIVED_DATA_COLUMNS)
TVL_ROW_DESC(WSIUsageData, "USAGE_LIST_ROW", TVL_USAGE_DATA_COLUMNS)
TVL_ROW_DESC(WSIVendorRequestsData, "VENDOR_REQUESTS_ROW", TVL_VENDOR_REQUESTS_COLUMNS)
TVL_ROW_DESC(WSIProductSearchData, "PRODUCT_SEARCH_ROW", TVL_PRODUCT_SEARCH_COLUMNS)

// Function-local statics: a Table() descriptor is built on first use, so the lists are too.
std::span<const TableDesc* const> RecordTables() {
    static const TableDesc* const tables[] = {
        &WSIAuditHis::Table(),  &WSIUsers::Table(),      &WSITavelOpt::Table(),
        &WSIProvince::Table(),  &WSICity::Table(),       &WSIVendor::Table(),
        &WSIPrdType::Table(),   &WSIPrdCat::Table(),     &WSIPrdUnit::Table(),
        &WSIInvOType::Table(),  &WSIInvAdj::Table(),     &WSIProduct::Table(),
        &WSISundry::Table(),    &WSIInvProdMap::Table(), &WSIInvLoc::Table(),
        &WSIInvLocMap::Table(), &WSIPrdLoc::Table(),     &WSIInvOrder::Table(),
        &WSIInvOrdIt::Table(),  &WSIInvRec::Table(),     &WSIInvItem::Table(),
        &WSIInvItDet::Table(),  &WSILogin::Table(),      &WSIUserRight::Table(),
    };
    return tables;
}

std::span<const TableDesc* const> ViewRows() {
    static const TableDesc* const views[] = {
        &WSIInvOrderView::Table(),
        &WSIInvReceiptView::Table(),
        &WSIInvFillView::Table(),
        &WSIInvTransferView::Table(),
    };
    return views;
}

std::span<const TableDesc* const> QueryResultRows() {
    static const TableDesc* const rows[] = {
        &WSIReceiveOrderRow::Table(),   &WSIInvOrderData::Table(), &WSILevelsData::Table(),
        &WSIReceivedData::Table(),      &WSIUsageData::Table(),    &WSIVendorRequestsData::Table(),
        &WSIProductSearchData::Table(),
    };
    return rows;
}

void RegisterRecords() {
    for (const TableDesc* t : RecordTables())
        RegisterTable(*t);
    for (auto list : {ViewRows(), QueryResultRows()})
        for (const TableDesc* r : list)
            RegisterView(*r);
}

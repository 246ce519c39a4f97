#pragma once

// Rows of the read-only views, columns in select order. The views themselves are
// defined with the schema; their column names are upper case and unquoted in SQL.

#include "ColumnWidths.h"
#include "RecordMacros.h"

// One row per order line with its order, vendor and product. PODATE is the order's
// "Date"; DESCRIPTION the product's, or the line's for an item outside the catalogue.
#define TVL_INVORDER_VIEW_COLUMNS(X)                                                               \
    X(INVORDER, Id, 0, false)                                                                      \
    X(INACTIVE, Flag, 0, false)                                                                    \
    X(PONUMBER, Text, ColWidth::PONumber, false)                                                   \
    X(PODATE, Date, 0, false)                                                                      \
    X(VENDORNAME, Text, ColWidth::VendorName, false)                                               \
    X(INVORDIT, Id, 0, false)                                                                      \
    X(ITEM, Count, 0, false)                                                                       \
    X(STATUS, Count, 0, false)                                                                     \
    X(PRODUCTID, Id, 0, false)                                                                     \
    X(CATEGORY, Text, ColWidth::CodeDesc, false)                                                   \
    X(PRODUCTCODE, Text, ColWidth::ProductCode, false)                                             \
    X(DESCRIPTION, Text, ColWidth::ProductDesc, false)                                             \
    X(UPCCODE, Text, ColWidth::UPCCode, false)                                                     \
    X(ORDERQTY, Count, 0, false)                                                                   \
    X(UNIT, Text, ColWidth::Unit, false)                                                           \
    X(QTYFILLED, Count, 0, false)

// One row per received stock item with its receipt and, when received against an
// order, its order line: QUANTITY and QTYFILLED are the line's, RECD the item's own
// quantity.
#define TVL_INVRECEIPT_VIEW_COLUMNS(X)                                                             \
    X(INVREC, Id, 0, false)                                                                        \
    X(INVLOC, Code, ColWidth::InvLoc, false)                                                       \
    X(INVRECDATE, Date, 0, false)                                                                  \
    X(PONUMBER, Text, ColWidth::PONumber, false)                                                   \
    X(PODATE, Date, 0, false)                                                                      \
    X(VENDORNAME, Text, ColWidth::VendorName, false)                                               \
    X(INVITEM, Id, 0, false)                                                                       \
    X(ITEM, Count, 0, false)                                                                       \
    X(PRODUCTID, Id, 0, false)                                                                     \
    X(CATEGORY, Text, ColWidth::CodeDesc, false)                                                   \
    X(PRODUCTCODE, Text, ColWidth::ProductCode, false)                                             \
    X(DESCRIPTION, Text, ColWidth::ProductDesc, false)                                             \
    X(UPCCODE, Text, ColWidth::UPCCode, false)                                                     \
    X(QUANTITY, Count, 0, false)                                                                   \
    X(UNIT, Text, ColWidth::Unit, false)                                                           \
    X(EXPIRYDATE, Date, 0, false)                                                                  \
    X(QTYFILLED, Count, 0, false)                                                                  \
    X(RECD, Count, 0, false)

// One row per order line, or, for a line something was filled for, one per stock item
// that filled it at the ordering location: INVITEM, BATCHID and FILLED (the quantity
// that batch moved into the item) are null for a line with nothing filled. PRODUCTBIN
// is the bin at the supplying location. PICKLIST 0: the line is on no pick list.
#define TVL_INVFILL_VIEW_COLUMNS(X)                                                                \
    X(INVITEM, Id, 0, false)                                                                       \
    X(BATCHID, Id, 0, false)                                                                       \
    X(FILLED, Amount, 0, false)                                                                    \
    X(INVORDER, Id, 0, false)                                                                      \
    X(INACTIVE, Flag, 0, false)                                                                    \
    X(PODATE, Date, 0, false)                                                                      \
    X(INVORDIT, Id, 0, false)                                                                      \
    X(ITEM, Count, 0, false)                                                                       \
    X(STATUS, Count, 0, false)                                                                     \
    X(PICKLIST, Id, 0, false)                                                                      \
    X(PRODUCTID, Id, 0, false)                                                                     \
    X(PRODUCTCODE, Text, ColWidth::ProductCode, false)                                             \
    X(DESCRIPTION, Text, ColWidth::ProductDesc, false)                                             \
    X(UPCCODE, Text, ColWidth::UPCCode, false)                                                     \
    X(ORDERQTY, Count, 0, false)                                                                   \
    X(UNIT, Text, ColWidth::Unit, false)                                                           \
    X(QTYFILLED, Count, 0, false)                                                                  \
    X(WASBACKORDERED, Flag, 0, false)                                                              \
    X(PRODUCTBIN, Text, ColWidth::Bin, false)

// One row per stock item with its product. SCANNED is the item's quantity (what a
// transfer moved into it), AUDITID its audit id.
#define TVL_INVTRANSFER_VIEW_COLUMNS(X)                                                            \
    X(INVITEM, Id, 0, false)                                                                       \
    X(INVLOC, Code, ColWidth::InvLoc, false)                                                       \
    X(PRODUCTID, Id, 0, false)                                                                     \
    X(CATEGORY, Text, ColWidth::CodeDesc, false)                                                   \
    X(PRODUCTCODE, Text, ColWidth::ProductCode, false)                                             \
    X(DESCRIPTION, Text, ColWidth::ProductDesc, false)                                             \
    X(UPCCODE, Text, ColWidth::UPCCode, false)                                                     \
    X(UNIT, Text, ColWidth::Unit, false)                                                           \
    X(SCANNED, Count, 0, false)                                                                    \
    X(AUDITID, Id, 0, false)

// The receiving list's order-line row: the order view plus what this receipt took in.
#define TVL_RECEIVE_ORDER_ROW_COLUMNS(X)                                                           \
    TVL_INVORDER_VIEW_COLUMNS(X)                                                                   \
    X(RECD, Count, 0, false)

TVL_ROW_RECORD(WSIInvOrderView, TVL_INVORDER_VIEW_COLUMNS);
TVL_ROW_RECORD(WSIInvReceiptView, TVL_INVRECEIPT_VIEW_COLUMNS);
TVL_ROW_RECORD(WSIInvFillView, TVL_INVFILL_VIEW_COLUMNS);
TVL_ROW_RECORD(WSIInvTransferView, TVL_INVTRANSFER_VIEW_COLUMNS);
TVL_ROW_RECORD(WSIReceiveOrderRow, TVL_RECEIVE_ORDER_ROW_COLUMNS);

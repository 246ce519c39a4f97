#pragma once

// Result rows of the list and suggestion queries, which join several tables. Each row
// is filled in select order, so the column lists below follow the select lists of the
// statements they belong to. Rows that start with a table's whole column list reuse
// that table's list, so they follow it when the table changes.

#include "CatalogueRecords.h"
#include "ColumnWidths.h"
#include "RecordMacros.h"
#include "StockRecords.h"

// Order lines of the pending and closed lists: the order and line fields, an empty
// date the closed list fills with the date of the last receipt, the product, the
// supplying location's product row, and the user who created the order.
#define TVL_INVORDER_DATA_COLUMNS(X)                                                               \
    X(InvOrder, Id, 0, false)                                                                      \
    X(InvOrdIt, Id, 0, false)                                                                      \
    X(IsExternal, Flag, 0, false)                                                                  \
    X(InvLoc, Code, ColWidth::InvLoc, false)                                                       \
    X(Vendor, Id, 0, false)                                                                        \
    X(PONumber, Text, ColWidth::PONumber, false)                                                   \
    X(InvLocFrom, Code, ColWidth::InvLoc, false)                                                   \
    X(InvOType, Code, ColWidth::InvOType, false)                                                   \
    X(SpecialOrder, Flag, 0, false)                                                                \
    X(Date, Date, 0, false)                                                                        \
    X(Inactive, Flag, 0, false)                                                                    \
    X(ApprovalUser, Int, 0, false)                                                                 \
    X(Item, Count, 0, false)                                                                       \
    X(Product, Id, 0, false)                                                                       \
    X(Quantity, Count, 0, false)                                                                   \
    X(Unit, Text, ColWidth::Unit, false)                                                           \
    X(NeedBy, Date, 0, false)                                                                      \
    X(Comment, Text, ColWidth::ListComment, false)                                                 \
    X(Status, Count, 0, false)                                                                     \
    X(QtyFilled, Count, 0, false)                                                                  \
    X(Description, Text, ColWidth::LineDescription, false)                                         \
    X(Audit, Id, 0, false)                                                                         \
    X(LastReceived, Date, 0, false)                                                                \
    X(ProductCode, Text, ColWidth::ProductCode, false)                                             \
    X(CostPerUnit, Amount, 0, false)                                                               \
    X(Bin, Text, ColWidth::Bin, false)                                                             \
    X(VendorName, Text, ColWidth::VendorName, false)                                               \
    X(Stocked, Flag, 0, false)                                                                     \
    X(TrackUsage, Flag, 0, false)                                                                  \
    X(Balance, Amount, 0, false)                                                                   \
    X(LastCount, Amount, 0, false)                                                                 \
    X(User, Int, 0, false)                                                                         \
    X(Name, Text, ColWidth::PersonName, false)                                                     \
    X(First, Text, ColWidth::PersonName, false)                                                    \
    X(Middle, Text, ColWidth::PersonName, false)

// Stock levels, per product location or summed per product ("TrackUsage" is then the
// number of locations that track usage).
#define TVL_LEVELS_DATA_COLUMNS(X)                                                                 \
    X(Product, Id, 0, false)                                                                       \
    X(InvLoc, Code, ColWidth::InvLoc, false)                                                       \
    X(Bin, Text, ColWidth::Bin, false)                                                             \
    X(TrackUsage, Count, 0, false)                                                                 \
    X(Balance, Amount, 0, false)                                                                   \
    X(LastCount, Amount, 0, false)                                                                 \
    X(ReorderCount, Count, 0, false)                                                               \
    X(Inactive, Flag, 0, false)                                                                    \
    X(MinToOrder, Count, 0, false)                                                                 \
    X(StdToOrder, Count, 0, false)                                                                 \
    X(TypeDesc, Text, ColWidth::CodeDesc, false)                                                   \
    X(CategoryDesc, Text, ColWidth::CodeDesc, false)                                               \
    X(ProductCode, Text, ColWidth::ProductCode, false)                                             \
    X(ProductDesc, Text, ColWidth::ProductDesc, false)                                             \
    X(Unit, Text, ColWidth::Unit, false)                                                           \
    X(VendorName, Text, ColWidth::VendorName, false)                                               \
    X(Orders, Amount, 0, false)                                                                    \
    X(OnOrder, Amount, 0, false)

// Received stock: the stock item, its date (the receipt's for received stock, else
// the audit entry's), receipt, product, ordering location and the order's creator.
#define TVL_RECEIVED_DATA_COLUMNS(X)                                                               \
    TVL_INVITEM_COLUMNS(X)                                                                         \
    X(Date, Date, 0, false)                                                                        \
    X(PONumber, Text, ColWidth::PONumber, false)                                                   \
    X(VendorName, Text, ColWidth::VendorName, false)                                               \
    X(ProductCode, Text, ColWidth::ProductCode, false)                                             \
    X(ProductDesc, Text, ColWidth::ProductDesc, false)                                             \
    X(IsDividable, Flag, 0, false)                                                                 \
    X(TrackExpiryDate, Flag, 0, false)                                                             \
    X(OrderedBy, Code, ColWidth::InvLoc, false)                                                    \
    X(User, Int, 0, false)                                                                         \
    X(Name, Text, ColWidth::PersonName, false)                                                     \
    X(First, Text, ColWidth::PersonName, false)                                                    \
    X(Middle, Text, ColWidth::PersonName, false)

// Usage details: the detail, then its stock item's location ("InvLoc" in the select
// list, renamed here because the detail has one too), date and product ("Product").
#define TVL_USAGE_DATA_COLUMNS(X)                                                                  \
    TVL_INVITDET_COLUMNS(X)                                                                        \
    X(ItemLoc, Code, ColWidth::InvLoc, false)                                                      \
    X(Date, Date, 0, false)                                                                        \
    X(TypeDesc, Text, ColWidth::CodeDesc, false)                                                   \
    X(CategoryDesc, Text, ColWidth::CodeDesc, false)                                               \
    X(ProductId, Id, 0, false)                                                                     \
    X(ProductCode, Text, ColWidth::ProductCode, false)                                             \
    X(ProductDesc, Text, ColWidth::ProductDesc, false)

// A vendor's products with what a location holds and has on order; "Need",
// "ShouldHave" and "Suggest" come back 0 and are computed by the screen.
#define TVL_VENDOR_REQUESTS_COLUMNS(X)                                                             \
    X(Product, Id, 0, false)                                                                       \
    X(ProductCode, Text, ColWidth::ProductCode, false)                                             \
    X(PrdCat, Code, ColWidth::PrdCat, false)                                                       \
    X(CategoryDesc, Text, ColWidth::CodeDesc, false)                                               \
    X(ProductDesc, Text, ColWidth::ProductDesc, false)                                             \
    X(Unit, Text, ColWidth::Unit, false)                                                           \
    X(CostPerUnit, Amount, 0, false)                                                               \
    X(InvOType, Code, ColWidth::InvOType, false)                                                   \
    X(Stocked, Flag, 0, false)                                                                     \
    X(TrackUsage, Flag, 0, false)                                                                  \
    X(Balance, Amount, 0, false)                                                                   \
    X(LastCount, Amount, 0, false)                                                                 \
    X(Orders, Amount, 0, false)                                                                    \
    X(MinCount, Count, 0, false)                                                                   \
    X(Need, Amount, 0, false)                                                                      \
    X(ReorderCount, Count, 0, false)                                                               \
    X(ShouldHave, Amount, 0, false)                                                                \
    X(MinToOrder, Count, 0, false)                                                                 \
    X(StdToOrder, Count, 0, false)                                                                 \
    X(Suggest, Amount, 0, false)                                                                   \
    X(OnOrder, Amount, 0, false)

// Product search: the product, its row at the chosen location, the standard order
// quantity at the ordering location, descriptions, vendor, and "Mapped" (the product
// id when it is linked to an active billable item).
#define TVL_PRODUCT_SEARCH_COLUMNS(X)                                                              \
    TVL_PRODUCT_COLUMNS(X)                                                                         \
    X(InvLoc, Code, ColWidth::InvLoc, false)                                                       \
    X(Stocked, Flag, 0, false)                                                                     \
    X(TrackUsage, Flag, 0, false)                                                                  \
    X(CanOrderFrom, Flag, 0, false)                                                                \
    X(StdToOrder, Count, 0, false)                                                                 \
    X(PLInactive, Flag, 0, false)                                                                  \
    X(Balance, Amount, 0, false)                                                                   \
    X(LastCount, Amount, 0, false)                                                                 \
    X(PrdCatDesc, Text, ColWidth::CodeDesc, false)                                                 \
    X(PrdTypeDesc, Text, ColWidth::CodeDesc, false)                                                \
    X(VendorName, Text, ColWidth::VendorName, false)                                               \
    X(Mapped, Id, 0, false)

TVL_ROW_RECORD(WSIInvOrderData, TVL_INVORDER_DATA_COLUMNS);
TVL_ROW_RECORD(WSILevelsData, TVL_LEVELS_DATA_COLUMNS);
TVL_ROW_RECORD(WSIReceivedData, TVL_RECEIVED_DATA_COLUMNS);
TVL_ROW_RECORD(WSIUsageData, TVL_USAGE_DATA_COLUMNS);
TVL_ROW_RECORD(WSIVendorRequestsData, TVL_VENDOR_REQUESTS_COLUMNS);
TVL_ROW_RECORD(WSIProductSearchData, TVL_PRODUCT_SEARCH_COLUMNS);

#pragma once

// Record classes of orders, order lines, receipts, stock items and stock-movement
// details. New rows get their id from the database when the key is 0.

#include "ColumnWidths.h"
#include "RecordMacros.h"

// "InvLoc" orders; "InvLocFrom" supplies an internal order, "Vendor" an external one.
// "Recurs" is the short order setting the order screen keeps beside "ApprovalUser":
// only orders with 0 or 2 count in outstanding quantities. "ApprovalUser" is 0 until
// a user approves the order.
#define TVL_INVORDER_COLUMNS(X)                                                                    \
    X(InvOrder, Id, 0, true)                                                                       \
    X(IsExternal, Flag, 0, false)                                                                  \
    X(InvLoc, Code, ColWidth::InvLoc, false)                                                       \
    X(InvLocFrom, Code, ColWidth::InvLoc, false)                                                   \
    X(Vendor, Id, 0, false)                                                                        \
    X(PONumber, Text, ColWidth::PONumber, false)                                                   \
    X(InvOType, Code, ColWidth::InvOType, false)                                                   \
    X(SpecialOrder, Flag, 0, false)                                                                \
    X(Date, Date, 0, false)                                                                        \
    X(ApprovalUser, Int, 0, false)                                                                 \
    X(Recurs, Count, 0, false)                                                                     \
    X(Audit, Id, 0, false)                                                                         \
    X(Inactive, Flag, 0, false)

// "Item" numbers the lines of one order from 1. "Product" 0 is an item outside the
// catalogue named by "Description". "CostPerUnit" is the unit cost of an external
// order's line. "PickList" 0 is on no pick list; "PickUser" and "PickDate" say who
// made the list and when. "StockedAtLoc" and "StockedAtFrom" copy PRDLOC "Stocked"
// of the ordering and of the supplying location when the line is written.
#define TVL_INVORDIT_COLUMNS(X)                                                                    \
    X(InvOrdIt, Id, 0, true)                                                                       \
    X(InvOrder, Id, 0, false)                                                                      \
    X(Item, Count, 0, false)                                                                       \
    X(Product, Id, 0, false)                                                                       \
    X(Description, Text, ColWidth::LineDescription, false)                                         \
    X(Quantity, Count, 0, false)                                                                   \
    X(Unit, Text, ColWidth::Unit, false)                                                           \
    X(CostPerUnit, Amount, 0, false)                                                               \
    X(QtyFilled, Count, 0, false)                                                                  \
    X(Status, Count, 0, false)                                                                     \
    X(NeedBy, Date, 0, false)                                                                      \
    X(Comment, Text, ColWidth::Comment, false)                                                     \
    X(WasBackOrdered, Flag, 0, false)                                                              \
    X(PickList, Id, 0, false)                                                                      \
    X(PickUser, Int, 0, false)                                                                     \
    X(PickDate, Date, 0, false)                                                                    \
    X(StockedAtLoc, Flag, 0, false)                                                                \
    X(StockedAtFrom, Flag, 0, false)

// A receipt batch: "Date" is the receipt date, "PODate" the purchase order's.
#define TVL_INVREC_COLUMNS(X)                                                                      \
    X(InvRec, Id, 0, true)                                                                         \
    X(InvLoc, Code, ColWidth::InvLoc, false)                                                       \
    X(Vendor, Id, 0, false)                                                                        \
    X(PONumber, Text, ColWidth::PONumber, false)                                                   \
    X(Date, Date, 0, false)                                                                        \
    X(PODate, Date, 0, false)                                                                      \
    X(Audit, Id, 0, false)

// A stock item: one lot of a product at a location. "Quantity" is what came in,
// "Balance" what is left; "Audit" orders items by age. "InvLocFrom" names the
// location a moved lot came from; "AdjCreated" marks stock created by an adjustment.
#define TVL_INVITEM_COLUMNS(X)                                                                     \
    X(InvItem, Id, 0, true)                                                                        \
    X(InvLoc, Code, ColWidth::InvLoc, false)                                                       \
    X(InvLocFrom, Code, ColWidth::InvLoc, false)                                                   \
    X(Product, Id, 0, false)                                                                       \
    X(Type, Count, 0, false)                                                                       \
    X(InvRec, Id, 0, false)                                                                        \
    X(InvOrdIt, Id, 0, false)                                                                      \
    X(Quantity, Count, 0, false)                                                                   \
    X(Balance, Amount, 0, false)                                                                   \
    X(CostPerUnit, Amount, 0, false)                                                               \
    X(ExpiryDate, Date, 0, false)                                                                  \
    X(Unit, Text, ColWidth::Unit, false)                                                           \
    X(ItemsPerUnit, Count, 0, false)                                                               \
    X(ItemUnit, Text, ColWidth::Unit, false)                                                       \
    X(AdjCreated, Flag, 0, false)                                                                  \
    X(RefNo, Text, ColWidth::RefNo, false)                                                         \
    X(Audit, Id, 0, false)

// One stock movement of one stock item. "Quantity" is signed. "CountValue" holds the
// counted quantity of a count (and of any detail changed later); "OtherLoc" the other
// location of a movement between locations. "BatchId" groups the details of one run.
#define TVL_INVITDET_COLUMNS(X)                                                                    \
    X(InvItDet, Id, 0, true)                                                                       \
    X(InvItem, Id, 0, false)                                                                       \
    X(Type, Count, 0, false)                                                                       \
    X(InvLoc, Code, ColWidth::InvLoc, false)                                                       \
    X(Product, Id, 0, false)                                                                       \
    X(InvAdj, Code, ColWidth::InvAdj, false)                                                       \
    X(BatchId, Id, 0, false)                                                                       \
    X(Quantity, Amount, 0, false)                                                                  \
    X(Unit, Text, ColWidth::Unit, false)                                                           \
    X(ItemsPerUnit, Count, 0, false)                                                               \
    X(CostPerUnit, Amount, 0, false)                                                               \
    X(CountValue, Amount, 0, false)                                                                \
    X(OtherLoc, Code, ColWidth::InvLoc, false)                                                     \
    X(Audit, Id, 0, false)

TVL_TABLE_RECORD(WSIInvOrder, TVL_INVORDER_COLUMNS);
TVL_TABLE_RECORD(WSIInvOrdIt, TVL_INVORDIT_COLUMNS);
TVL_TABLE_RECORD(WSIInvRec, TVL_INVREC_COLUMNS);
TVL_TABLE_RECORD(WSIInvItem, TVL_INVITEM_COLUMNS);
TVL_TABLE_RECORD(WSIInvItDet, TVL_INVITDET_COLUMNS);

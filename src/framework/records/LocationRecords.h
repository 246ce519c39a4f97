#pragma once

// Record classes of inventory locations, product locations and the codes that stock
// movements and orders refer to.

#include "ColumnWidths.h"
#include "RecordMacros.h"

// "Type": 0 and 1 may be ordered from, 2 holds no stock of its own, 3 is never
// ordered from.
#define TVL_INVLOC_COLUMNS(X)                                                                      \
    X(InvLoc, Code, ColWidth::InvLoc, true)                                                        \
    X(Name, Text, ColWidth::PlaceName, false)                                                      \
    X(Type, Count, 0, false)                                                                       \
    X(BarCode, Text, ColWidth::BarCode, false)                                                     \
    X(Inactive, Flag, 0, false)

// One row per product and location; the row with the empty location code carries the
// product's defaults. A location that tracks usage keeps its stock in "Balance", one
// that does not keeps it as "LastCount". "MaxCount" 0 means no maximum.
#define TVL_PRDLOC_COLUMNS(X)                                                                      \
    X(Product, Id, 0, true)                                                                        \
    X(InvLoc, Code, ColWidth::InvLoc, true)                                                        \
    X(Bin, Text, ColWidth::Bin, false)                                                             \
    X(Stocked, Flag, 0, false)                                                                     \
    X(TrackUsage, Flag, 0, false)                                                                  \
    X(CanOrderFrom, Flag, 0, false)                                                                \
    X(Balance, Amount, 0, false)                                                                   \
    X(LastCount, Amount, 0, false)                                                                 \
    X(LastCountDate, Date, 0, false)                                                               \
    X(MinCount, Count, 0, false)                                                                   \
    X(ReorderCount, Count, 0, false)                                                               \
    X(MaxCount, Count, 0, false)                                                                   \
    X(MinToOrder, Count, 0, false)                                                                 \
    X(StdToOrder, Count, 0, false)                                                                 \
    X(Inactive, Flag, 0, false)

// Link of an inventory location to the suite's own location list ("Location").
#define TVL_INVLOCMAP_COLUMNS(X)                                                                   \
    X(InvLoc, Code, ColWidth::InvLoc, true)                                                        \
    X(Location, Int, 0, false)

// "IsExternal" 1: orders of this type go to a vendor, 0: to another location. An order
// type's own printed-order layout is kept outside the record (see the schema).
#define TVL_INVOTYPE_COLUMNS(X)                                                                    \
    X(InvOType, Code, ColWidth::InvOType, true)                                                    \
    X(Description, Text, ColWidth::CodeDesc, false)                                                \
    X(IsExternal, Flag, 0, false)                                                                  \
    X(Inactive, Flag, 0, false)

// "Type": 0 decreases stock, 1 increases it, 2 is a count code.
#define TVL_INVADJ_COLUMNS(X)                                                                      \
    X(InvAdj, Code, ColWidth::InvAdj, true)                                                        \
    X(Description, Text, ColWidth::CodeDesc, false)                                                \
    X(Type, Count, 0, false)                                                                       \
    X(Inactive, Flag, 0, false)

TVL_TABLE_RECORD(WSIInvLoc, TVL_INVLOC_COLUMNS);
TVL_TABLE_RECORD(WSIPrdLoc, TVL_PRDLOC_COLUMNS);
TVL_TABLE_RECORD(WSIInvLocMap, TVL_INVLOCMAP_COLUMNS);
TVL_TABLE_RECORD(WSIInvOType, TVL_INVOTYPE_COLUMNS);
TVL_TABLE_RECORD(WSIInvAdj, TVL_INVADJ_COLUMNS);

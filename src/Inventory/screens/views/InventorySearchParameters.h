#pragma once

#include "Record.h"

// The filter values the main inventory screen hands to a list view. A plain record,
// copied by value; every field is zero unless the screen sets it.
struct InventorySearchParameters {
    static constexpr int kCodeSize = 7;

    long prdType = 0;
    char prdCat[kCodeSize] = {};
    long product = 0;
    char location[kCodeSize] = {};
    long vendor = 0;
    WSIDate fromDate{};
    WSIDate toDate{};
    char orderedBy[kCodeSize] = {};
    char orderType[kCodeSize] = {};
    short itemType = 0;     // -1 any, else the stock-item type 0, 1, 2 or 5
    short openStatus = 0;   // -1 every open status
    short closedStatus = 0; // -1 every closed status
    bool withStockOnly = false;
    bool perLocation = false;
    bool includeInactive = false;
    bool externalOrderType = false;
    bool inStockOnly = false;
    bool showOrderQuantities = false;
    bool belowReorderOnly = false;
    // Set by a list view only for the duration of a single-order or single-item query.
    long invOrder = 0;
    long invItem = 0;

    // Every open and every closed status and every stock-item type, no other filter.
    static InventorySearchParameters AnyStatus() {
        InventorySearchParameters p;
        p.itemType = -1;
        p.openStatus = -1;
        p.closedStatus = -1;
        return p;
    }
};

#pragma once

// What to order of a product: the suggestion the levels list and the vendor requests
// screen both compute from stock, reorder point, what others ask of the location and
// what the location has on order. Plain C++, so that tests and benchmarks use it
// without a window.

#include "Records.h"

#include <string>
#include <vector>

class WSIDatabase;

namespace tavel::orders {

// The suggestion statement: one vendor's active products with the location's product
// row, what internal orders still ask from the location ("Orders") and what the
// location still has on order ("OnOrder"); leaveOut is an order whose lines do not
// count (0 for none). productList, when not null, is the level-data condition
// (" AND P."Product" IN(...) ") that narrows the products.
std::string SuggestionSql(long leaveOut, long vendor, const char* productList, const char* invLoc);

// " AND P."Product" IN(1, 2, 3) " over the products of the level rows, in their order.
std::string LevelProductList(const std::vector<WSILevelsData>& rows);

// Fills Need, ShouldHave and Suggest of r and returns the on-hand quantity it used (the
// whole part of the balance of a tracked product, of the last count otherwise).
// fromLevelData: a product chosen from the levels list is ordered even when it needs
// nothing (at least its standard quantity, or 1); the vendor requests list then
// suggests 0.
short ComputeSuggestion(WSIVendorRequestsData& r, bool fromLevelData);

// The suggestion rows of the statement, each with its suggestion computed.
std::vector<WSIVendorRequestsData> ReadSuggestions(WSIDatabase* db, const std::string& sql,
                                                   bool fromLevelData);

} // namespace tavel::orders

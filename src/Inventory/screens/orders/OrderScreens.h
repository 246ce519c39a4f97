#pragma once

// How the main screen and its lists open the order screens, each modal over parent.

#include "Records.h"

#include <vector>

class WSIDialog;

namespace tavel::orders {

// The order entry screen on a stored order (template 25030). editAnyway lets a user
// without the approval right change an approved special order.
void EditOrder(WSIDialog* parent, long invOrder, bool editAnyway);

// A new order (template 25021), filled with suggestions for the level rows when given.
// Returns the order's id (0 when none was stored); external tells its kind.
long NewOrder(WSIDialog* parent, const std::vector<WSILevelsData>* levelData, bool* external);

// Where the stock that filled the line came from.
void ShowFillingDetails(WSIDialog* parent, const WSIInvOrderData& line);

// The locations whose back-ordered lines of product wait on invLoc.
void ShowBackOrderLocations(WSIDialog* parent, long product, const char* invLoc);

} // namespace tavel::orders

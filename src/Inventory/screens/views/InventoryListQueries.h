#pragma once

// The queries of the six list views of the main inventory screen: the condition text
// each view appends to its base statement, and the whole statement, as plain functions
// so that benchmarks and tests can build them without a window.

#include "InventorySearchParameters.h"

#include <string>
#include <unordered_map>

class WSIDatabase;

namespace tavel::views {

// Capacity of a condition text, terminator included; longer texts are cut.
inline constexpr int kConditionSize = 4096;

// A date written into SQL the way every list view writes it: "MM/DD/YYYY"; "" when the
// date is not a real calendar date.
std::string SqlDate(const WSIDate& date);

// Pending order lines. The extra clause of the view (internal or external) comes in
// place as the fourth clause.
std::string PendingExtraWhereClause(const InventorySearchParameters& p, bool external);
std::string PendingConditions(const InventorySearchParameters& p, bool external);
std::string ClosedConditions(const InventorySearchParameters& p);

// The levels view has two condition texts: `inner` goes into the per-product sum of the
// summary statement (its first slot), `main` into the outer statement.
struct LevelsConditions {
    std::string main;
    std::string inner;
    bool byLocation = false;
    bool withOrders = false;
};
LevelsConditions LevelsConditionsOf(const InventorySearchParameters& p);
std::string ReceivedConditions(const InventorySearchParameters& p);
// The clause ReceivedConditions adds for a date range ("MM/DD/YYYY" texts, either may be
// empty) so that the range is found through date indexes; it leaves the rows as they are.
std::string ReceivedDateCandidates(const std::string& from, const std::string& to);
std::string UsageConditions(const InventorySearchParameters& p);

// Puts the texts into the "%s" slots of base in order ("%%" reads as "%").
std::string FillSlots(const std::string& base, const std::string& first,
                      const std::string& second = std::string());

// The whole statement of each view for the given parameters.
std::string PendingOrdersSql(WSIDatabase* db, const InventorySearchParameters& p, bool external);
std::string ClosedOrdersSql(WSIDatabase* db, const InventorySearchParameters& p);
std::string LevelsSql(WSIDatabase* db, const InventorySearchParameters& p);
std::string ReceivedSql(WSIDatabase* db, const InventorySearchParameters& p);
std::string UsageSql(WSIDatabase* db, const InventorySearchParameters& p);

// The base statements with a fixed condition, used to re-read single rows.
std::string OrderLineSql(WSIDatabase* db, long invOrder, long invOrdIt);
std::string LevelsRowSql(WSIDatabase* db, bool byLocation, bool withOrders, long product,
                         const char* invLoc);
std::string ReceivedRowSql(WSIDatabase* db, long invItem);

// Every product's description by product id, in one read (empty without a database).
std::unordered_map<long, std::string> ReadProductDescriptions(WSIDatabase* db);

} // namespace tavel::views

#pragma once

// The stock invariant, checked over a whole database: for each product at each location
// the stock items' balances add up to the product location's "Balance"; every stock item
// holds 0 <= "Balance" <= "Quantity"; and the movement details of a stock item add up to
// its balance (the detail that created it, plus every movement out of it or back into
// it since). Stock operations keep it after every movement and every refusal.

#include <string>
#include <vector>

class WSIDatabase;

namespace tavel {

// One broken rule, with where it is broken.
struct StockViolation {
    enum class Rule {
        LocationBalance, // stock items and product location disagree
        ItemBalance,     // a stock item's balance outside 0..quantity
        ItemDetails,     // a stock item's details do not add up to its balance
        OrphanDetail,    // a detail names a stock item that does not exist
    };
    Rule rule;
    long product = 0;
    std::string productCode;
    std::string invLoc;
    long invItem = 0; // 0 for a product location
    std::string text; // what is wrong, in figures
};

// The rule's name as printed: "location-balance", "item-balance", ...
const char* RuleName(StockViolation::Rule rule);

// Every violation in the database, product locations first, then stock items and their
// details in id order. Empty when the stock is consistent.
std::vector<StockViolation> CheckStock(WSIDatabase& db);

} // namespace tavel

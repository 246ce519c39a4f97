#include "StockCheck.h"

#include "BoundedFormat.h"
#include "RecordMacros.h"
#include "Records.h"
#include "Trace.h"
#include "WSIDatabase.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

namespace {

#define TVL_CHECK_PRDLOC_COLUMNS(X)                                                                \
    X(Product, Id, 0, false)                                                                       \
    X(InvLoc, Code, ColWidth::InvLoc, false)                                                       \
    X(Balance, Amount, 0, false)
#define TVL_CHECK_ITEM_COLUMNS(X)                                                                  \
    X(InvItem, Id, 0, false)                                                                       \
    X(Product, Id, 0, false)                                                                       \
    X(InvLoc, Code, ColWidth::InvLoc, false)                                                       \
    X(Quantity, Count, 0, false)                                                                   \
    X(Balance, Amount, 0, false)
#define TVL_CHECK_DETAIL_COLUMNS(X)                                                                \
    X(InvItem, Id, 0, false)                                                                       \
    X(Quantity, Amount, 0, false)                                                                  \
    X(Details, Int, 0, false)
#define TVL_CHECK_PRODUCT_COLUMNS(X)                                                               \
    X(Product, Id, 0, false)                                                                       \
    X(ProductCode, Text, ColWidth::ProductCode, false)

TVL_ROW_RECORD(CheckPrdLocRow, TVL_CHECK_PRDLOC_COLUMNS);
TVL_ROW_RECORD(CheckItemRow, TVL_CHECK_ITEM_COLUMNS);
TVL_ROW_RECORD(CheckDetailRow, TVL_CHECK_DETAIL_COLUMNS);
TVL_ROW_RECORD(CheckProductRow, TVL_CHECK_PRODUCT_COLUMNS);
TVL_ROW_DESC(CheckPrdLocRow, "CHECK_PRDLOC", TVL_CHECK_PRDLOC_COLUMNS)
TVL_ROW_DESC(CheckItemRow, "CHECK_ITEM", TVL_CHECK_ITEM_COLUMNS)
TVL_ROW_DESC(CheckDetailRow, "CHECK_DETAIL", TVL_CHECK_DETAIL_COLUMNS)
TVL_ROW_DESC(CheckProductRow, "CHECK_PRODUCT", TVL_CHECK_PRODUCT_COLUMNS)

// Calls f(row) for every row of sql.
template <class Row, class F> void ForEachRow(WSIDatabase& db, const char* sql, F f) {
    Row row{};
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "%s", WSIResult(Row::Table(), &row), sql);
    for (bool ok = cursor->GetFirst(); ok; ok = cursor->GetNext()) {
        f(row);
        row = Row{};
    }
}

// A quantity as text, with as many digits as it takes to tell two different values apart
// (a sum that misses by a rounding error must not print as equal).
std::string Figure(double value) {
    char text[32];
    FormatInto(__LINE__, __FILE__, text, "%.15g", value);
    double back = 0;
    if (std::sscanf(text, "%lf", &back) != 1 || back != value)
        FormatInto(__LINE__, __FILE__, text, "%.17g", value);
    return text;
}

using Key = std::pair<long, std::string>;

// Location codes compare blank-padded in the database ('CART1 ' is CART1), which groups
// them so; the keys here must compare the same way.
Key KeyOf(long product, const char* invLoc) {
    std::string code(invLoc);
    code.erase(code.find_last_not_of(' ') + 1);
    return {product, code};
}

} // namespace

namespace tavel {

const char* RuleName(StockViolation::Rule rule) {
    TVL_TRACE("tavel::RuleName");
    switch (rule) {
    case StockViolation::Rule::LocationBalance:
        return "location-balance";
    case StockViolation::Rule::ItemBalance:
        return "item-balance";
    case StockViolation::Rule::ItemDetails:
        return "item-details";
    case StockViolation::Rule::OrphanDetail:
        return "orphan-detail";
    }
    return "";
}

std::vector<StockViolation> CheckStock(WSIDatabase& db) {
    TVL_TRACE("tavel::CheckStock");
    std::map<long, std::string> codes;
    ForEachRow<CheckProductRow>(
        db, "SELECT \"Product\", \"ProductCode\" FROM PRODUCT",
        [&](const CheckProductRow& r) { codes[r.Product] = r.ProductCode; });

    // Each product location against its stock items; stock items at a location the
    // product has no row for count against a balance of 0.
    std::map<Key, double> locationBalance;
    std::map<Key, double> itemSum;
    ForEachRow<CheckPrdLocRow>(
        db,
        "SELECT \"Product\", \"InvLoc\", \"Balance\" FROM PRDLOC WHERE "
        "\"InvLoc\" IS NOT NULL AND \"InvLoc\" <> ' '",
        [&](const CheckPrdLocRow& r) { locationBalance[KeyOf(r.Product, r.InvLoc)] += r.Balance; });
    std::vector<CheckItemRow> items;
    ForEachRow<CheckItemRow>(db,
                             "SELECT \"InvItem\", \"Product\", \"InvLoc\", \"Quantity\", "
                             "\"Balance\" FROM INVITEM ORDER BY \"InvItem\"",
                             [&](const CheckItemRow& r) { items.push_back(r); });
    // The database's own sums are what the stock operations compare, so compare those.
    ForEachRow<CheckPrdLocRow>(
        db,
        "SELECT \"Product\", \"InvLoc\", SUM(\"Balance\") FROM INVITEM "
        "GROUP BY \"Product\", \"InvLoc\"",
        [&](const CheckPrdLocRow& r) { itemSum[KeyOf(r.Product, r.InvLoc)] += r.Balance; });

    std::vector<StockViolation> out;
    std::map<Key, bool> keys;
    for (const auto& [key, balance] : locationBalance)
        keys[key] = true;
    for (const auto& [key, sum] : itemSum)
        keys[key] = true;
    for (const auto& [key, unused] : keys) {
        (void)unused;
        auto pl = locationBalance.find(key);
        auto it = itemSum.find(key);
        const double sum = it == itemSum.end() ? 0.0 : it->second;
        if (pl == locationBalance.end()) {
            if (sum != 0.0)
                out.push_back({StockViolation::Rule::LocationBalance, key.first, codes[key.first],
                               key.second, 0,
                               "stock items hold " + Figure(sum) + " without a product location"});
        } else if (pl->second != sum) {
            out.push_back({StockViolation::Rule::LocationBalance, key.first, codes[key.first],
                           key.second, 0,
                           "product location balance " + Figure(pl->second) + ", stock items " +
                               Figure(sum)});
        }
    }

    for (const CheckItemRow& r : items)
        if (r.Balance < 0 || r.Balance > r.Quantity)
            out.push_back({StockViolation::Rule::ItemBalance, r.Product, codes[r.Product], r.InvLoc,
                           r.InvItem,
                           "balance " + Figure(r.Balance) + " outside 0.." + Figure(r.Quantity)});

    // Count markers carry no stock item; every other detail belongs to one.
    std::map<long, CheckDetailRow> details;
    ForEachRow<CheckDetailRow>(db,
                               "SELECT \"InvItem\", SUM(\"Quantity\"), COUNT(1) FROM INVITDET "
                               "WHERE \"InvItem\" <> 0 GROUP BY \"InvItem\"",
                               [&](const CheckDetailRow& r) { details[r.InvItem] = r; });
    for (const CheckItemRow& r : items) {
        auto d = details.find(r.InvItem);
        if (d == details.end()) {
            // A batch may cancel an emptied item's only detail; stock left needs its history.
            if (r.Balance != 0.0)
                out.push_back({StockViolation::Rule::ItemDetails, r.Product, codes[r.Product],
                               r.InvLoc, r.InvItem,
                               "no movement details for a balance of " + Figure(r.Balance)});
            continue;
        }
        if (d->second.Quantity != r.Balance)
            out.push_back({StockViolation::Rule::ItemDetails, r.Product, codes[r.Product], r.InvLoc,
                           r.InvItem,
                           "details add up to " + Figure(d->second.Quantity) + ", balance " +
                               Figure(r.Balance)});
        details.erase(d);
    }
    for (const auto& [invItem, d] : details) {
        char count[32];
        FormatInto(__LINE__, __FILE__, count, "%ld", d.Details);
        out.push_back({StockViolation::Rule::OrphanDetail, 0, "", "", invItem,
                       std::string(count) + " details of a stock item that does not exist"});
    }
    return out;
}

} // namespace tavel

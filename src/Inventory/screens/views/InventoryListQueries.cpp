#include "InventoryListQueries.h"

#include "BIInventory.h"
#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "Trace.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <cstdlib>
#include <cstring>

namespace tavel::views {

namespace {

// A condition text of at most kConditionSize - 1 characters, built clause by clause.
class Conditions {
public:
    void Append(const char* clause) {
        const std::size_t room = kConditionSize - 1 - text_.size();
        text_.append(clause, std::min(std::strlen(clause), room));
    }
    void Append(const std::string& clause) { Append(clause.c_str()); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

std::string Quoted(const char* text) {
    return EscapeQuotes(text);
}

// The clauses on product type, category and product every view starts with; only the
// alias of the product column differs.
void AppendCatalogueClauses(Conditions& c, const InventorySearchParameters& p,
                            const char* productColumn) {
    char clause[kConditionSize];
    if (p.prdType > 0) {
        TVL_FORMAT(clause, " AND P.\"PrdType\" = %ld", p.prdType);
        c.Append(clause);
    }
    if (p.prdCat[0] != '\0') {
        TVL_FORMAT(clause, " AND P.\"PrdCat\" = '%s'", Quoted(p.prdCat).c_str());
        c.Append(clause);
    }
    if (p.product > 0) {
        TVL_FORMAT(clause, " AND %s = %ld", productColumn, p.product);
        c.Append(clause);
    }
}

// Order date range, ordering location and order type, shared by pending and closed.
void AppendOrderClauses(Conditions& c, const InventorySearchParameters& p) {
    char clause[kConditionSize];
    const std::string from = SqlDate(p.fromDate);
    if (!from.empty()) {
        TVL_FORMAT(clause, " AND ORD.\"Date\"  >= '%s'", from.c_str());
        c.Append(clause);
    }
    const std::string to = SqlDate(p.toDate);
    if (!to.empty()) {
        TVL_FORMAT(clause, " AND ORD.\"Date\"  <= '%s'", to.c_str());
        c.Append(clause);
    }
    if (p.orderedBy[0] != '\0') {
        TVL_FORMAT(clause, " AND ORD.\"InvLoc\" = '%s'", Quoted(p.orderedBy).c_str());
        c.Append(clause);
    }
    if (p.orderType[0] != '\0') {
        TVL_FORMAT(clause, " AND ORD.\"InvOType\" = '%s'", Quoted(p.orderType).c_str());
        c.Append(clause);
    }
}

std::string BaseStatement(WSIDatabase* db, int which, bool byLocation, bool withOrders) {
    BIInventory inv(db);
    char base[BIInventory::kSearchStringSize];
    inv.GetSearchString(base, which, byLocation, withOrders);
    return base;
}

// A date range as conditions on `column`: " AND column >= 'from' AND column <= 'to'", each
// bound left out when it is empty.
std::string DateRange(const char* column, const std::string& from, const std::string& to) {
    char clause[kConditionSize];
    std::string out;
    if (!from.empty()) {
        TVL_FORMAT(clause, " AND %s >= '%s'", column, from.c_str());
        out += clause;
    }
    if (!to.empty()) {
        TVL_FORMAT(clause, " AND %s <= '%s'", column, to.c_str());
        out += clause;
    }
    return out;
}

} // namespace

std::string SqlDate(const WSIDate& date) {
    if (!tavel::tables::IsValidDate(date))
        return std::string();
    char text[32];
    TVL_FORMAT(text, "%02d/%02d/%04d", date.month, date.day, date.year);
    return text;
}

std::string PendingExtraWhereClause(const InventorySearchParameters& p, bool external) {
    TVL_TRACE("tavel::views::PendingExtraWhereClause");
    std::string text;
    if (external) {
        text = " AND ORD.\"IsExternal\" = 1 ";
        if (p.vendor != 0)
            text += " AND ORD.\"Vendor\" = " + std::to_string(p.vendor) + " ";
        return text;
    }
    text = " AND ORD.\"IsExternal\" = 0 ";
    if (p.location[0] != '\0')
        text += " AND ORD.\"InvLocFrom\" = '" + Quoted(p.location) + "' ";
    if (p.withStockOnly)
        text += " AND DECODE(PL.\"TrackUsage\", 1, PL.\"Balance\", PL.\"LastCount\") > 0 ";
    return text;
}

std::string PendingConditions(const InventorySearchParameters& p, bool external) {
    TVL_TRACE("tavel::views::PendingConditions");
    Conditions c;
    char clause[kConditionSize];
    AppendCatalogueClauses(c, p, "P.\"Product\"");
    c.Append(PendingExtraWhereClause(p, external));
    AppendOrderClauses(c, p);
    if (p.openStatus != -1) {
        TVL_FORMAT(clause, " AND ORD.\"Status\" = %d", p.openStatus);
    } else {
        using namespace tavel::OrdItStatus;
        TVL_FORMAT(clause, " AND ORD.\"Status\" IN (%d,%d,%d,%d,%d,%d,%d)", Ordered, Purchased,
                   OnPickList, PartiallyFilled, BackOrdered, InReview, Requested);
    }
    c.Append(clause);
    if (!p.includeInactive)
        c.Append(" AND ORD.\"Inactive\" = 0");
    if (p.invOrder > 0) {
        TVL_FORMAT(clause, " AND ORD.\"InvOrder\" = %ld", p.invOrder);
        c.Append(clause);
    }
    return c.Text();
}

std::string ClosedConditions(const InventorySearchParameters& p) {
    TVL_TRACE("tavel::views::ClosedConditions");
    Conditions c;
    char clause[kConditionSize];
    AppendCatalogueClauses(c, p, "ORD.\"Product\"");
    if (p.externalOrderType) {
        c.Append(" AND ORD.\"IsExternal\" = 1");
        if (p.vendor > 0) {
            TVL_FORMAT(clause, " AND ORD.\"Vendor\" = %ld", p.vendor);
            c.Append(clause);
        }
    } else {
        c.Append(" AND ORD.\"IsExternal\" = 0");
        if (p.location[0] != '\0') {
            TVL_FORMAT(clause, " AND ORD.\"InvLocFrom\" = '%s'", Quoted(p.location).c_str());
            c.Append(clause);
        }
    }
    AppendOrderClauses(c, p);
    if (p.closedStatus != -1) {
        TVL_FORMAT(clause, " AND ORD.\"Status\" = %d", p.closedStatus);
    } else {
        using namespace tavel::OrdItStatus;
        TVL_FORMAT(clause, " AND ORD.\"Status\" IN (%d,%d,%d)", Cancelled, Closed, Filled);
    }
    c.Append(clause);
    if (!p.includeInactive)
        c.Append(" AND ORD.\"Inactive\" = 0");
    return c.Text();
}

LevelsConditions LevelsConditionsOf(const InventorySearchParameters& p) {
    TVL_TRACE("tavel::views::LevelsConditionsOf");
    LevelsConditions out;
    out.byLocation = p.location[0] != '\0' || p.perLocation;
    out.withOrders = p.showOrderQuantities;
    Conditions main;
    Conditions inner;
    char clause[kConditionSize];
    AppendCatalogueClauses(main, p, "PL.\"Product\"");
    if (p.location[0] != '\0') {
        TVL_FORMAT(clause, " AND PL.\"InvLoc\" = '%s'", Quoted(p.location).c_str());
        main.Append(clause);
    }
    if (p.inStockOnly)
        main.Append(" AND (PL.\"TrackUsage\" = 0 OR PL.\"Balance\" > 0)");
    if (!p.includeInactive) {
        if (out.byLocation)
            main.Append(" AND PL.\"Inactive\" = 0");
        else
            inner.Append(" and pl2.\"Inactive\" = 0");
    }
    if (p.belowReorderOnly)
        main.Append(" AND PL.\"Stocked\" = 1 AND (DECODE(PL.\"TrackUsage\", 1, PL.\"Balance\", "
                    "PL.\"LastCount\") - NVL(Orders.\"Qty\", 0) + NVL(OnOrder.\"Qty\", 0)) <= "
                    "PL.\"ReorderCount\"");
    out.main = main.Text();
    out.inner = inner.Text();
    return out;
}

// The received date of a stock item is its receipt's date for a receipt and its audit's
// date otherwise, which no index can serve. Whichever applies, the item's receipt or its
// audit falls in the range, so the stock items of the receipts and of the audits dated in
// the range hold every row: both are found through date indexes, and the rows' own
// condition still decides.
std::string ReceivedDateCandidates(const std::string& from, const std::string& to) {
    if (from.empty() && to.empty())
        return std::string();
    return " AND II.\"InvItem\" IN (SELECT RI.\"InvItem\" FROM INVITEM RI, INVREC RR WHERE "
           "RI.\"InvRec\" = RR.\"InvRec\"" +
           DateRange("RR.\"Date\"", from, to) +
           " UNION ALL SELECT RI.\"InvItem\" FROM INVITEM RI, AUDITHIS RA WHERE RI.\"Audit\" = "
           "RA.\"Audit\"" +
           DateRange("RA.\"Date\"", from, to) + ")";
}

std::string ReceivedConditions(const InventorySearchParameters& p) {
    TVL_TRACE("tavel::views::ReceivedConditions");
    Conditions c;
    char clause[kConditionSize];
    AppendCatalogueClauses(c, p, "P.\"Product\"");
    const std::string from = SqlDate(p.fromDate);
    if (!from.empty()) {
        TVL_FORMAT(clause,
                   " AND  CASE WHEN II.\"Type\" = 0 THEN IR.\"Date\" ELSE A.\"Date\" END >= '%s'",
                   from.c_str());
        c.Append(clause);
    }
    const std::string to = SqlDate(p.toDate);
    if (!to.empty()) {
        TVL_FORMAT(clause,
                   " AND  CASE WHEN II.\"Type\" = 0 THEN IR.\"Date\" ELSE A.\"Date\" END <= '%s'",
                   to.c_str());
        c.Append(clause);
    }
    if (p.location[0] != '\0') {
        TVL_FORMAT(clause, " AND II.\"InvLoc\" = '%s'", Quoted(p.location).c_str());
        c.Append(clause);
    }
    if (p.vendor > 0) {
        TVL_FORMAT(clause, " AND IR.\"Vendor\" = %ld", p.vendor);
        c.Append(clause);
    }
    if (p.itemType != -1) {
        TVL_FORMAT(clause, " AND II.\"Type\" = %d", p.itemType);
        c.Append(clause);
    }
    if (p.invItem > 0) {
        TVL_FORMAT(clause, " AND II.\"InvItem\" = %ld", p.invItem);
        c.Append(clause);
    }
    c.Append(ReceivedDateCandidates(from, to));
    return c.Text();
}

std::string UsageConditions(const InventorySearchParameters& p) {
    TVL_TRACE("tavel::views::UsageConditions");
    Conditions c;
    char clause[kConditionSize];
    AppendCatalogueClauses(c, p, "P.\"Product\"");
    const std::string from = SqlDate(p.fromDate);
    if (!from.empty()) {
        TVL_FORMAT(clause, " AND A.\"Date\"  >= '%s'", from.c_str());
        c.Append(clause);
    }
    const std::string to = SqlDate(p.toDate);
    if (!to.empty()) {
        TVL_FORMAT(clause, " AND A.\"Date\"  <= '%s'", to.c_str());
        c.Append(clause);
    }
    if (p.location[0] != '\0') {
        TVL_FORMAT(clause, " AND II.\"InvLoc\" = '%s'", Quoted(p.location).c_str());
        c.Append(clause);
    }
    return c.Text();
}

std::string FillSlots(const std::string& base, const std::string& first,
                      const std::string& second) {
    std::string out;
    out.reserve(base.size() + first.size() + second.size());
    int slot = 0;
    for (std::size_t i = 0; i < base.size(); ++i) {
        if (base[i] == '%' && i + 1 < base.size()) {
            if (base[i + 1] == 's') {
                out += slot == 0 ? first : slot == 1 ? second : std::string();
                ++slot;
                ++i;
                continue;
            }
            if (base[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += base[i];
    }
    return out;
}

std::string PendingOrdersSql(WSIDatabase* db, const InventorySearchParameters& p, bool external) {
    return FillSlots(BaseStatement(db, 0, true, false), PendingConditions(p, external));
}

std::string ClosedOrdersSql(WSIDatabase* db, const InventorySearchParameters& p) {
    return FillSlots(BaseStatement(db, 0, true, false), ClosedConditions(p));
}

std::string LevelsSql(WSIDatabase* db, const InventorySearchParameters& p) {
    const LevelsConditions c = LevelsConditionsOf(p);
    return FillSlots(BaseStatement(db, 1, c.byLocation, c.withOrders), c.inner, c.main);
}

std::string ReceivedSql(WSIDatabase* db, const InventorySearchParameters& p) {
    return FillSlots(BaseStatement(db, 2, true, false), ReceivedConditions(p));
}

std::string UsageSql(WSIDatabase* db, const InventorySearchParameters& p) {
    return FillSlots(BaseStatement(db, 3, true, false), UsageConditions(p));
}

std::string OrderLineSql(WSIDatabase* db, long invOrder, long invOrdIt) {
    char clause[kConditionSize];
    TVL_FORMAT(clause, " AND ORD.\"InvOrder\" = %ld AND ORD.\"InvOrdIt\" = %ld ", invOrder,
               invOrdIt);
    return FillSlots(BaseStatement(db, 0, true, false), clause);
}

std::string LevelsRowSql(WSIDatabase* db, bool byLocation, bool withOrders, long product,
                         const char* invLoc) {
    char clause[kConditionSize];
    if (byLocation)
        TVL_FORMAT(clause, " AND PL.\"Product\" = %ld AND PL.\"InvLoc\" = '%s' ", product,
                   Quoted(invLoc).c_str());
    else
        TVL_FORMAT(clause, " AND PL.\"Product\" = %ld ", product);
    return FillSlots(BaseStatement(db, 1, byLocation, withOrders), std::string(), clause);
}

std::string ReceivedRowSql(WSIDatabase* db, long invItem) {
    char clause[kConditionSize];
    TVL_FORMAT(clause, " AND II.\"InvItem\" = %ld ", invItem);
    return FillSlots(BaseStatement(db, 2, true, false), clause);
}

std::unordered_map<long, std::string> ReadProductDescriptions(WSIDatabase* db) {
    std::unordered_map<long, std::string> out;
    WSIDatabase::TextResult result;
    if (!db || !db->QueryText(__FILE__, __LINE__,
                              "SELECT \"Product\", \"Description\" FROM PRODUCT WHERE "
                              "\"Description\" IS NOT NULL",
                              WSIBVParametersInfo(), result))
        return out;
    out.reserve(result.rows.size());
    for (const std::vector<std::string>& row : result.rows)
        if (row.size() == 2)
            out.emplace(std::strtol(row[0].c_str(), nullptr, 10), row[1]);
    return out;
}

} // namespace tavel::views

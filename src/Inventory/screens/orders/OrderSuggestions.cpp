#include "OrderSuggestions.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <algorithm>
#include <cmath>

namespace tavel::orders {

std::string SuggestionSql(long leaveOut, long vendor, const char* productList, const char* invLoc) {
    using namespace tavel::OrdItStatus;
    // The open statuses: what is still to be supplied.
    const int s[] = {Ordered, InReview, Requested, Purchased, BackOrdered, PartiallyFilled};
    const std::string loc = EscapeQuotes(invLoc ? invLoc : "");
    char sql[4096];
    TVL_FORMAT(
        sql,
        "SELECT P.\"Product\", P.\"ProductCode\", P.\"PrdCat\",  C.\"Description\" "
        "\"CategoryDesc\", P.\"Description\" \"ProductDesc\", P.\"Unit\", P.\"CostPerUnit\",  "
        "P.\"InvOType\", PL.\"Stocked\", PL.\"TrackUsage\", PL.\"Balance\", PL.\"LastCount\",  "
        "Orders.\"Qty\" \"Orders\", PL.\"MinCount\", 0 \"Need\", PL.\"ReorderCount\", 0 "
        "\"ShouldHave\",  PL.\"MinToOrder\", PL.\"StdToOrder\", 0 \"Suggest\", OnOrder.\"Qty\" "
        "\"OnOrder\"  FROM PRODUCT P, PRDLOC PL, PRDCAT C, \t(select it.\"Product\", "
        "i.\"InvLocFrom\", sum(it.\"Quantity\"-it.\"QtyFilled\") \"Qty\" \t\tfrom invorder i, "
        "invordit it, invotype t \t\twhere i.\"InvOrder\" = it.\"InvOrder\" and i.\"InvOType\" = "
        "t.\"InvOType\" \t\tand i.\"InvOrder\" <> %ld and t.\"IsExternal\" = 0 and i.\"Recurs\" "
        "in (0,2) \t\tand i.\"Date\" <= trunc(sysdate) and i.\"Inactive\" = 0 and it.\"Status\" "
        "in (%d,%d,%d,%d,%d,%d) \t\tgroup by it.\"Product\", i.\"InvLocFrom\" ) Orders, "
        "\t(select it.\"Product\", i.\"InvLoc\", sum(it.\"Quantity\"-it.\"QtyFilled\") \"Qty\" "
        "\t\tfrom invorder i, invordit it, invotype t \t\twhere i.\"InvOrder\" = it.\"InvOrder\" "
        "and i.\"InvOType\" = t.\"InvOType\" \t\tand i.\"InvOrder\" <> %ld and i.\"Recurs\" in "
        "(0,2) \t\tand i.\"Date\" <= trunc(sysdate) and i.\"Inactive\" = 0 and it.\"Status\" in "
        "(%d,%d,%d,%d,%d,%d) \t\tgroup by it.\"Product\", i.\"InvLoc\" ) OnOrder  WHERE "
        "P.\"Vendor\" = %ld %s AND P.\"Product\" = PL.\"Product\" (+) AND PL.\"InvLoc\" (+) = '%s' "
        " "
        "AND P.\"PrdType\" = C.\"PrdType\" AND P.\"PrdCat\" = C.\"PrdCat\"  AND P.\"Product\" = "
        "Orders.\"Product\" (+) AND Orders.\"InvLocFrom\" (+) = '%s'  AND P.\"Product\" = "
        "OnOrder.\"Product\" (+) AND OnOrder.\"InvLoc\" (+) = '%s'  AND P.\"Inactive\" = 0 AND "
        "PL.\"Inactive\" (+) = 0 AND C.\"Inactive\" = 0  ORDER BY \"CategoryDesc\", "
        "\"ProductCode\", \"InvOType\"",
        leaveOut, s[0], s[1], s[2], s[3], s[4], s[5], leaveOut, s[0], s[1], s[2], s[3], s[4], s[5],
        vendor, productList ? productList : "", loc.c_str(), loc.c_str(), loc.c_str());
    return sql;
}

std::string LevelProductList(const std::vector<WSILevelsData>& rows) {
    std::string text = " AND P.\"Product\" IN(";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += std::to_string(rows[i].Product);
    }
    return text + ") ";
}

short ComputeSuggestion(WSIVendorRequestsData& r, bool fromLevelData) {
    const short onHand =
        static_cast<short>(std::trunc(r.TrackUsage != 0 ? r.Balance : r.LastCount));
    r.Need = r.MinCount + r.Orders - onHand;
    r.ShouldHave = r.ReorderCount + r.Orders - onHand - r.OnOrder;
    if (r.ShouldHave > 0)
        r.Suggest = std::max<double>(std::trunc(r.ShouldHave), r.StdToOrder);
    else if (fromLevelData)
        r.Suggest = std::max<short>(r.StdToOrder, 1);
    else
        r.Suggest = 0;
    return onHand;
}

std::vector<WSIVendorRequestsData> ReadSuggestions(WSIDatabase* db, const std::string& sql,
                                                   bool fromLevelData) {
    std::vector<WSIVendorRequestsData> rows;
    if (!db)
        return rows;
    WSIVendorRequestsData row{};
    std::unique_ptr<WSITable> q = db->Query(
        __FILE__, __LINE__, "%s", WSIResult(WSIVendorRequestsData::Table(), &row), sql.c_str());
    for (bool found = q->GetFirst(); found; found = q->GetNext()) {
        ComputeSuggestion(row, fromLevelData);
        rows.push_back(row);
    }
    return rows;
}

} // namespace tavel::orders

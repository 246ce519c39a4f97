#include "ProductQueries.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "Trace.h"
#include "WSIBarCodeFuncs.h"
#include "WSIDatabase.h"

#include <cctype>

namespace tavel::products {

namespace {

// The product statement outgrows the usual 1,024 characters: the PRODUCT column list
// alone takes about 400.
constexpr std::size_t kSqlSize = 4096;
using SqlBuffer = char[kSqlSize];

constexpr const char* kProductHead =
    "SELECT %s, PL.\"InvLoc\", PL.\"Stocked\", PL.\"TrackUsage\",  PL.\"CanOrderFrom\", "
    "PL2.\"StdToOrder\", PL.\"Inactive\" \"PLInactive\",  PL.\"Balance\", PL.\"LastCount\", "
    "PC.\"Description\" \"PrdCatDesc\",  PT.\"Description\" \"PrdTypeDesc\", V.\"Name\" "
    "\"VendorName\", M.\"Product\" \"Mapped\"  FROM PRODUCT P, PRDCAT PC, PRDTYPE PT, PRDLOC PL, "
    "PRDLOC PL2, VENDOR V, INVPRODMAP M  WHERE %sP.\"PrdType\" = PC.\"PrdType\" AND P.\"PrdCat\" = "
    "PC.\"PrdCat\" AND P.\"PrdType\" = PT.\"PrdType\"  ";

// Without a location no product-location data is joined (no row has product -1).
constexpr const char* kNoLocationTail = "AND P.\"Product\" = PL.\"Product\" (+) AND PL.\"Product\" "
                                        "(+) = -1 AND P.\"Vendor\" = V.\"Vendor\" (+)";
constexpr const char* kForLocationTail = " AND P.\"Product\" = PL2.\"Product\" AND PL2.\"InvLoc\" "
                                         "= '%s' ";
constexpr const char* kNoForLocationTail = " AND P.\"Product\" = PL2.\"Product\" (+) AND "
                                           "PL2.\"Product\" (+) = -1 ";
// Only products held at the location.
constexpr const char* kHeldTail =
    "AND P.\"Product\" = PL.\"Product\" AND PL.\"InvLoc\" = '%s' AND P.\"Vendor\" = V.\"Vendor\" "
    "(+)  AND P.\"Product\" = PL2.\"Product\" AND PL2.\"InvLoc\" = '%s' ";
// Every product, with its data at the location where it has a row.
constexpr const char* kIncludeTail =
    "AND P.\"Product\" = PL.\"Product\" (+) AND PL.\"InvLoc\" (+) = '%s' AND P.\"Vendor\" = "
    "V.\"Vendor\" (+)  AND P.\"Product\" = PL2.\"Product\" (+) AND PL2.\"InvLoc\" (+) = '%s' ";

struct KindSql {
    const char* clause; // with the text (every %s is the text)
    const char* order;  // without a text
};

constexpr KindSql kKinds[] = {
    {" AND (UPPER(PC.\"PrdCat\") LIKE UPPER ('%s%%') OR UPPER(PC.\"Description\") LIKE UPPER "
     "('%s%%')  OR UPPER(PC.\"Description\") LIKE UPPER ('%% %s%%'))  ORDER BY P.\"PrdCat\", "
     "P.\"ProductCode\"",
     " ORDER BY PT.\"Description\", P.\"PrdCat\", P.\"ProductCode\""},
    {" AND UPPER(P.\"ProductCode\") LIKE UPPER ('%s%%') ORDER BY P.\"ProductCode\"",
     " ORDER BY P.\"ProductCode\""},
    {" AND UPPER(P.\"Description\") LIKE UPPER ('%%%s%%') ORDER BY P.\"Description\", "
     "P.\"PrdCat\", P.\"ProductCode\"",
     " ORDER BY P.\"Description\", P.\"PrdCat\", P.\"ProductCode\""},
    {" AND UPPER(V.\"Name\") LIKE UPPER ('%%%s%%') ORDER BY V.\"Name\", P.\"PrdCat\", "
     "P.\"ProductCode\"",
     " ORDER BY V.\"Name\", P.\"PrdCat\", P.\"ProductCode\""},
    {" AND UPPER(P.\"Manufacturer\") LIKE UPPER ('%%%s%%') ORDER BY P.\"Manufacturer\", "
     "P.\"PrdCat\", P.\"ProductCode\"",
     " ORDER BY P.\"Manufacturer\", P.\"PrdCat\", P.\"ProductCode\""},
    {" AND UPPER(P.\"UPCCode\") LIKE UPPER ('%s%%') ORDER BY P.\"UPCCode\", P.\"PrdCat\", "
     "P.\"ProductCode\"",
     " ORDER BY P.\"UPCCode\", P.\"PrdCat\", P.\"ProductCode\""},
};

const KindSql& KindOf(ProductSearchKind kind) {
    int index = static_cast<int>(kind) - 1;
    if (index < 0 || index >= static_cast<int>(std::size(kKinds)))
        index = static_cast<int>(ProductSearchKind::Description) - 1;
    return kKinds[index];
}

// The vendor search reads at most 100 characters of its field: its statement and the
// literal check of its rows both use this much.
std::string VendorSearchText(const std::string& text) {
    return text.substr(0, 100);
}

// Upper-cased copies, as UPPER() compares them.
std::string Upper(const char* text) {
    std::string s = text ? text : "";
    for (char& ch : s)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

bool StartsWith(const char* value, const std::string& upperText) {
    return Upper(value).rfind(upperText, 0) == 0;
}

bool Contains(const char* value, const std::string& upperText) {
    return Upper(value).find(upperText) != std::string::npos;
}

// The text as the statement used it, upper-cased; "" when no wildcard can have matched.
std::string LiteralFilter(const std::string& text) {
    if (SearchLiteral(text).empty() || text.find_first_of("%_") == std::string::npos)
        return std::string();
    return Upper(text.c_str());
}

} // namespace

bool ProductRowMatches(const ProductSearch& search, const WSIProductSearchRow& row) {
    const std::string t = LiteralFilter(search.text);
    if (t.empty())
        return true;
    switch (search.kind) {
    case ProductSearchKind::Category:
        return StartsWith(row.PrdCat, t) || StartsWith(row.PrdCatDesc, t) ||
               Contains(row.PrdCatDesc, " " + t);
    case ProductSearchKind::ProductCode:
        return StartsWith(row.ProductCode, t);
    case ProductSearchKind::Vendor:
        return Contains(row.VendorName, t);
    case ProductSearchKind::Manufacturer:
        return Contains(row.Manufacturer, t);
    case ProductSearchKind::UPCCode:
        return StartsWith(row.UPCCode, t);
    case ProductSearchKind::Description:
    default:
        return Contains(row.Description, t);
    }
}

bool VendorRowMatches(VendorSearchKind kind, const std::string& text,
                      const WSIVendor::WSIData& row) {
    const std::string t = LiteralFilter(VendorSearchText(text));
    if (t.empty())
        return true;
    switch (kind) {
    case VendorSearchKind::AddressOrCity:
        return StartsWith(row.Address1, t) || StartsWith(row.City, t);
    case VendorSearchKind::Phone:
        return StartsWith(row.Phone, t);
    case VendorSearchKind::Name:
    default:
        return Contains(row.Name, t);
    }
}

std::string SearchLiteral(const std::string& text) {
    if (text.empty() || text[0] == '_')
        return std::string();
    return EscapeQuotes(text.c_str());
}

std::string ProductSearchSql(WSIDatabase& db, const ProductSearch& search) {
    TVL_TRACE("tavel::products::ProductSearchSql");
    const char* columns = db.GetTableColumns(__LINE__, __FILE__, "PRODUCT", "P");
    char typePrefix[128] = "";
    if (search.prdType > 0)
        TVL_FORMAT(typePrefix, "P.\"PrdType\" = %ld AND ", search.prdType);
    SqlBuffer part;
    TVL_FORMAT(part, kProductHead, columns, typePrefix);
    std::string sql = part;

    const std::string location = EscapeQuotes(search.location.c_str());
    const std::string forLocation = EscapeQuotes(search.forLocation.c_str());
    if (location.empty()) {
        sql += kNoLocationTail;
        if (!forLocation.empty()) {
            TVL_FORMAT(part, kForLocationTail, forLocation.c_str());
            sql += part;
        } else {
            sql += kNoForLocationTail;
        }
    } else {
        // The second row is the caller's ordering location when it has one.
        const std::string& second = forLocation.empty() ? location : forLocation;
        TVL_FORMAT(part, search.includeNotHeld ? kIncludeTail : kHeldTail, location.c_str(),
                   second.c_str());
        sql += part;
    }

    if (search.mode == kOrderingMode && !location.empty() && !search.includeNotHeld)
        sql += "AND P.\"CanOrder\" = 1 AND P.\"Inactive\" = 0 ";
    else if (!(search.mode == kMaintenanceMode && search.showInactive))
        sql += "AND P.\"Inactive\" = 0 ";
    sql += " AND P.\"Product\" = M.\"Product\" (+) AND M.\"Inactive\"(+) = 0 ";

    const KindSql& kind = KindOf(search.kind);
    const std::string text = SearchLiteral(search.text);
    if (text.empty()) {
        sql += kind.order;
    } else {
        TVL_FORMAT(part, kind.clause, text.c_str(), text.c_str(), text.c_str());
        sql += part;
    }
    return sql;
}

std::string VendorSearchSql(WSIDatabase& db, VendorSearchKind kind, const std::string& text) {
    TVL_TRACE("tavel::products::VendorSearchSql");
    const char* columns = db.GetTableColumns(__LINE__, __FILE__, "VENDOR");
    const std::string literal = SearchLiteral(VendorSearchText(text));
    char where[512] = "";
    const char* format = "SELECT %s FROM VENDOR %s ORDER BY \"Name\"";
    switch (kind) {
    case VendorSearchKind::AddressOrCity:
        format = "SELECT %s FROM VENDOR %s ORDER BY \"Address1\", \"City\"";
        if (!literal.empty())
            TVL_FORMAT(where,
                       " WHERE UPPER(\"Address1\") LIKE UPPER ('%s%%') OR UPPER(\"City\") LIKE "
                       "UPPER ('%s%%') ",
                       literal.c_str(), literal.c_str());
        break;
    case VendorSearchKind::Phone:
        format = "SELECT %s FROM VENDOR %s ORDER BY \"Area\", \"Phone\"";
        if (!literal.empty())
            TVL_FORMAT(where, " WHERE \"Phone\" LIKE '%s%%' ", literal.c_str());
        break;
    case VendorSearchKind::Name:
    default:
        if (!literal.empty())
            TVL_FORMAT(where, " WHERE UPPER(\"Name\") LIKE UPPER ('%%%s%%') ", literal.c_str());
        break;
    }
    char sql[1024];
    TVL_FORMAT(sql, format, columns, where);
    return sql;
}

std::string ProductPartOfScan(const std::string& scanned) {
    WSIBarCodeFuncs parser;
    if (!parser.ScanBarCode(scanned.c_str(),
                            WSIBarCodeFuncs::kModeGs1 | WSIBarCodeFuncs::kModePlain))
        return scanned;
    return parser.GetProduct();
}

std::string QuantityText(short trackUsage, double balance, double lastCount) {
    char text[32];
    TVL_FORMAT(text, "%.0f", trackUsage == 1 ? balance : lastCount);
    return text;
}

} // namespace tavel::products

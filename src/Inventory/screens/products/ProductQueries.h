#pragma once

// The statements of the product and vendor searches, built from the screens' choices
// without a window, so that tests and benchmarks run them directly.

#include "QueryRows.h"
#include "Records.h"

#include <string>

class WSIDatabase;

// One row of the product search, as the schema's records declare it.
using WSIProductSearchRow = WSIProductSearchData;

namespace tavel::products {

// Search kinds of the product search, in the order of its drop-down (entry index + 1).
enum class ProductSearchKind : int {
    Category = 1,
    ProductCode = 2,
    Description = 3,
    Vendor = 4,
    Manufacturer = 5,
    UPCCode = 6,
};

// Screen modes of the product search.
inline constexpr int kMaintenanceMode = 0;
inline constexpr int kOrderingMode = 1;

struct ProductSearch {
    ProductSearchKind kind = ProductSearchKind::Description;
    std::string text;        // as typed; "" or beginning with "_" lists everything
    long prdType = 0;        // 0: every type
    std::string location;    // "": no location chosen
    std::string forLocation; // the caller's ordering location, "" for none
    int mode = kMaintenanceMode;
    bool showInactive = false;
    bool includeNotHeld = false; // with a location: also products without a row there
};

// The search text as it goes into the statement: "" for "_..." and quotes doubled.
std::string SearchLiteral(const std::string& text);

// The complete product statement for search (the PRODUCT column list comes from db).
std::string ProductSearchSql(WSIDatabase& db, const ProductSearch& search);

// Vendor search kinds, as the drop-down and the list's columns number them.
enum class VendorSearchKind : int { Name = 0, AddressOrCity = 1, Phone = 2 };

// The vendor statement for a text ("" or "_..." lists every vendor).
std::string VendorSearchSql(WSIDatabase& db, VendorSearchKind kind, const std::string& text);

// LIKE reads "%" and "_" in a search text as wildcards, while staff who type them mean
// the characters themselves ("50% glucose", "IV_SET"). The statements stay as they are;
// the rows a wildcard lets through are dropped by these checks, which repeat each kind's
// condition literally (case-insensitive). True for every row when the text has no wildcard
// or lists everything.
bool ProductRowMatches(const ProductSearch& search, const WSIProductSearchRow& row);
bool VendorRowMatches(VendorSearchKind kind, const std::string& text,
                      const WSIVendor::WSIData& row);

// The product part of a scanned text: what a UPC search looks for. Plain codes pass
// unchanged; a GS1 element string is reduced to its GTIN; a text the parser refuses is
// searched as typed.
std::string ProductPartOfScan(const std::string& scanned);

// What the lists show as a product location's quantity: the balance where usage is
// tracked, else the last count, as a whole number.
std::string QuantityText(short trackUsage, double balance, double lastCount);

} // namespace tavel::products

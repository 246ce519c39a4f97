#pragma once

// What the catalogue maintenance screens read and write besides one table record at a
// time: the suite's minimum product-code length, an order type's own printed layout, the
// links of a location to the practice's location list, and the products a location holds.
// Writes are one unit of work each.

#include <string>
#include <vector>

class WSIDatabase;

// One product held at a location, as the location's product list shows it.
struct LocationProductRow {
    long product = 0;
    std::string code;
    std::string description;
    std::string bin;
    std::string unit;
    double balance = 0;
    short minCount = 0;
    short reorderCount = 0;
    short maxCount = 0;
    bool inactive = false;
};

class BICatalogue {
public:
    explicit BICatalogue(WSIDatabase* db);

    // Length of the shortest product code in the catalogue; 0 when there is no product.
    int ShortestProductCode() const;
    // Stores length as the suite's minimum product-code length. False when the suite has
    // no options record (nothing is then written).
    bool SaveMinProductLength(short length);

    // The order type's stored layout; empty when it has none.
    std::string OrderTypeLayout(const char* invOType) const;
    // Codes of the order types that carry a layout.
    std::vector<std::string> OrderTypesWithLayout() const;
    // Replaces the order type's layout; empty bytes remove it.
    bool StoreOrderTypeLayout(const char* invOType, const std::string& bytes);

    // Whether the location is linked to the practice's location list.
    bool LocationHasLinks(const char* invLoc) const;
    // Removes the location's links.
    bool DeleteLocationLinks(const char* invLoc);

    // The products with a row at the location, by product code.
    std::vector<LocationProductRow> ProductsAtLocation(const char* invLoc) const;

private:
    WSIDatabase* m_pDb;
};

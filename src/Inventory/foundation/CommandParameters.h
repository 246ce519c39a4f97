#pragma once

// Parameter blocks that the host hands to module commands (ExecuteCommand). Packed without
// gaps: the host and other suite modules fill them byte by byte.

#include <cstddef>
#include <cstdint>

// Command ids of the module's menu.
namespace cmd {
inline constexpr long Inventory = 36001;
inline constexpr long Locations = 36002;
inline constexpr long Units = 36003;
inline constexpr long Vendors = 36004;
inline constexpr long ProdTypes = 36005;
inline constexpr long Products = 36006;
inline constexpr long OrderTypes = 36007;
inline constexpr long Adjustments = 36008;
inline constexpr long PerformAdjustment = 36009;
inline constexpr long Setup = 36010;
// The expiry watch: lots of the workstation's location that expire soon.
inline constexpr long ExpiryWatch = 36020;
// Import of catalogue lists and counts from a CSV file.
inline constexpr long CsvImport = 36021;
} // namespace cmd

#pragma pack(push, 1)
// Command 36009: one stock adjustment on behalf of another module.
struct AdjustmentRequest {
    char InvLoc[7];        // location code, NUL-terminated
    char InvAdj[7];        // adjustment code, NUL-terminated
    std::int16_t Type;     // movement type
    std::int16_t Quantity; // signed quantity
    std::int32_t Product;  // product id
};

// Command 36006: look a product up by bar code; the command writes the id it found.
struct ProductLookupRequest {
    char BarCode[24];
    std::int32_t Product;
};
#pragma pack(pop)

static_assert(offsetof(AdjustmentRequest, InvAdj) == 7 && offsetof(AdjustmentRequest, Type) == 14 &&
              offsetof(AdjustmentRequest, Quantity) == 16 &&
              offsetof(AdjustmentRequest, Product) == 18 && sizeof(AdjustmentRequest) == 22);
static_assert(offsetof(ProductLookupRequest, Product) == 24);

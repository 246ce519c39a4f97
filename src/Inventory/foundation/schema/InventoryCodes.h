#pragma once

// Numeric codes stored in the inventory tables. Each set is an unscoped enum in its own
// namespace, so the values read as OrdItStatus::Cancelled and still format with %d.

namespace tavel {

// INVORDIT "Status". The text shown for a status is message 38041 plus the status.
namespace OrdItStatus {
enum : short {
    Ordered = 0,         // approved and waiting to be supplied
    Purchased = 1,       // sent to the vendor
    OnPickList = 2,      // placed on a pick list for filling
    PartiallyFilled = 3, // part filled or received, not back-ordered
    Cancelled = 4,       // ignored by every query on open items
    BackOrdered = 5,     // the rest is back-ordered ("WasBackOrdered" is then 1)
    Closed = 6,          // closed by a user
    Filled = 7,          // "QtyFilled" reached "Quantity"
    InReview = 8,        // under review; waits to be ordered
    Requested = 9,       // requested by a location; waits for review
};
} // namespace OrdItStatus

// INVITDET "Type", and INVITEM "Type" of the stock item a movement creates.
namespace MovementType {
enum : short {
    Receipt = 0,      // from a vendor; such items date from the receipt
    Transfer = 1,     // between locations, fills included
    Adjustment = 2,   // by an adjustment code; also stock created to cover a shortfall
    Usage = 3,        // where the location tracks usage
    Repackage = 5,    // the source decreases, stock of the target product is created
    CountMarker = 6,  // zero-quantity detail carrying a counted quantity
    HostDecrease = 7, // requested by the host
    HostIncrease = 8, // requested by the host
};
} // namespace MovementType

// INVLOC "Type".
namespace LocationType {
enum : short {
    StoreRoom = 0,  // may be ordered from
    SupplyRoom = 1, // may be ordered from
    NoStock = 2,    // new product rows are neither stocked nor offered for ordering
    UsePoint = 3,   // new product rows are not offered for ordering
};
} // namespace LocationType

// INVADJ "Type".
namespace AdjustmentType {
enum : short {
    Decrease = 0,
    Increase = 1,
    Count = 2,
};
} // namespace AdjustmentType

// PRODUCT "CostingMethod": the order stock is taken in, and the cost details carry.
namespace CostingMethod {
enum : short {
    OldestFirst = 0,
    NewestFirst = 1,
    RunningAverage = 2, // oldest first, details at the product's average cost
    EarliestExpiry = 3,
};
} // namespace CostingMethod

// PRODUCT "LeadTimeUnit" when no unit is chosen.
inline constexpr short kNoLeadTimeUnit = -1;

} // namespace tavel

#pragma once

// Repackaging: part of one stock item becomes stock of another product at the same
// location (a box into single pieces). Both movements share one audit entry and one batch.

#include "BIInvAdj.h"

class BIInvRepackage : public BIInvBatchAdj {
public:
    explicit BIInvRepackage(WSIDatabase* db);
    ~BIInvRepackage() override;

    // Takes `sourceQuantity` from stock item `invItem` (of `sourceProduct` at `invLoc`) and
    // creates `targetQuantity` of `targetProduct` there at `targetCost`.
    void Repackage(long invItem, const char* invLoc, long sourceProduct, short sourceQuantity,
                   long targetProduct, short targetQuantity, double targetCost);
};

#pragma once

// Splitting: part of a stock item becomes a stock item of its own with its own cost and
// expiry date, keeping the age of the item it came from. The location balance does not
// change.

#include "BIInvAdj.h"

class BIInvSplit : public BIInvAdj {
public:
    explicit BIInvSplit(WSIDatabase* db);
    ~BIInvSplit() override;

    // Moves `quantity` of stock item `invItem` into a new item; returns the new item's id.
    long Split(long invItem, short quantity, double cost, WSIDate expiry);
};

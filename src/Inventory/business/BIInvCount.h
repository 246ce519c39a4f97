#pragma once

// Physical counts: records what was counted of a product at a location and brings the
// stock to it. A count run opens a batch so that its count details share a batch id.

#include "BIInvAdj.h"

#include <string>

class BIInvCount : public BIInvBatchAdj {
public:
    explicit BIInvCount(WSIDatabase* db);
    ~BIInvCount() override;

    // `invAdj` names an adjustment code; one of count type makes this a count (last count,
    // its date and a count detail), any other code adjusts the stock by `count`.
    void CountProduct(const char* invLoc, long product, short count, const char* invAdj);

    // The first active adjustment code of count type, which a count uses unless it is
    // given one; empty when there is none.
    static std::string DefaultCountCode(WSIDatabase& db);
};

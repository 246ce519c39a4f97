#pragma once

#include "Records.h"
#include "dbTable.h"

// INVITEM: every reference of a stock item (receipt, locations, product, order item)
// must exist, and its quantity and balance must be within bounds.
class DBInvItem : public dbTable<WSIInvItem> {
public:
    explicit DBInvItem(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;
};

#pragma once

#include "Records.h"
#include "dbTable.h"

// INVITEM: every reference of a stock item (receipt, locations, product, order item)
// must exist, and its quantity and balance must be within bounds.
class DBInvItem : public dbTable<WSIInvItem> {
public:
    explicit DBInvItem(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;

    // Writes the quantity and balance of an item read in this unit of work, the only
    // columns a movement changes: their bounds are checked here, the references are not
    // looked up again (they were when the row was written, and do not change). Releases
    // the record's lock either way; false when a bound or the write refuses it.
    bool UpdateAmounts(const char* file, int line);

private:
    bool VerifyAmounts();
};

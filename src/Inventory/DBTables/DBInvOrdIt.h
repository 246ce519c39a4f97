#pragma once

#include "Records.h"
#include "dbTable.h"

// INVORDIT: an item belongs to an existing order, names an orderable catalogue product
// once per order (or, on a special order, a described item outside the catalogue), and
// may be deleted only while it is not yet being supplied.
class DBInvOrdIt : public dbTable<WSIInvOrdIt> {
public:
    explicit DBInvOrdIt(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;
    bool CanDelete() override;

private:
    // productState 0 missing, 1 active, 2 inactive; otherLines: items of the order, not
    // cancelled, with the same product.
    bool CheckProduct(DB_OP op, const WSIInvOrder& order, long productState, long canOrder,
                      long otherLines);
    bool CheckOfferedBySupplier(const WSIInvOrder& order);
};

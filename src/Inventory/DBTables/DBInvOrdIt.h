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
    bool CheckProduct(DB_OP op, const WSIInvOrder& order);
    bool CheckNotOnOrderYet();
    bool CheckOfferedBySupplier(const WSIInvOrder& order);
};

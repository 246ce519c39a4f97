#pragma once

#include "Records.h"
#include "dbTable.h"

// INVREC: a receipt goes to an active location, from an active vendor (when one is
// named), with neither its date nor the purchase order's date ahead of today; it stays
// while stock items refer to it.
class DBInvRec : public dbTable<WSIInvRec> {
public:
    explicit DBInvRec(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;
    bool CanDelete() override;
};

#pragma once

#include "Records.h"
#include "dbTable.h"

// INVITDET: stock-movement details are kept consistent by the business operations that
// write them, so the table itself accepts every row.
class DBInvItDet : public dbTable<WSIInvItDet> {
public:
    explicit DBInvItDet(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;
};

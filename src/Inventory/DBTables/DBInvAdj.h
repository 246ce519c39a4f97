#pragma once

#include "Records.h"
#include "dbTable.h"

// INVADJ: any adjustment code may be stored; one that stock movements used stays.
class DBInvAdj : public dbTable<WSIInvAdj> {
public:
    explicit DBInvAdj(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;
    bool CanDelete() override;
};

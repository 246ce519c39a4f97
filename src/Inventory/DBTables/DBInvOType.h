#pragma once

#include "Records.h"
#include "dbTable.h"

// INVOTYPE: order types have no rule of their own; one used by orders or products stays.
class DBInvOType : public dbTable<WSIInvOType> {
public:
    explicit DBInvOType(WSIDatabase* db);

    bool CanDelete() override;
};

#pragma once

#include "Records.h"
#include "dbTable.h"

// PRDTYPE: a unique description (case counts); a type with categories stays.
class DBPrdType : public dbTable<WSIPrdType> {
public:
    explicit DBPrdType(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;
    bool CanDelete() override;
};

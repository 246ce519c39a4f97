#pragma once

#include "Records.h"
#include "dbTable.h"

// INVLOC: a location's bar code names it alone, a location holding stock stays active,
// and a deleted location takes its product rows with it.
class DBInvLoc : public dbTable<WSIInvLoc> {
public:
    explicit DBInvLoc(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;
    bool CanDelete() override;
    void DeleteExtraRecords() override;

private:
    bool CheckBarCode(DB_OP op);
    bool CheckNoStockWhenInactive(DB_OP op);
    bool CheckCode();
};

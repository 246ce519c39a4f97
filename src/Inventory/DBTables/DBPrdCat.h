#pragma once

#include "Records.h"
#include "dbTable.h"

// PRDCAT: a new category needs an unused code within its product type; making it
// inactive (after a question) makes all its products inactive too.
class DBPrdCat : public dbTable<WSIPrdCat> {
public:
    explicit DBPrdCat(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;
    bool CanDelete() override;
    void UpdateExtraRecords() override;

private:
    bool CheckNewCode();
    bool ConfirmDeactivation();
};

#pragma once

#include "Records.h"
#include "dbTable.h"

// PRDUNIT with its rules. Products name their units by description (case ignored), so a
// renamed unit is carried over to them, and a unit that is no longer dividable makes
// its products whole-unit only.
class DBPrdUnit : public dbTable<WSIPrdUnit> {
public:
    explicit DBPrdUnit(WSIDatabase* db);

    // The values as the screen loaded them, so that an update can see what changed.
    void SetOldDescription(const char* description);
    void SetOldIsDividable(short isDividable);

    // Reads the unit with this description (case ignored) into the record; false, with
    // the record cleared, when there is none.
    bool GetPrdUnit(const char* description);

    bool VerifyData(DB_OP op) override;
    void UpdateExtraRecords() override;

private:
    bool CheckDescription(DB_OP op);
    bool ConfirmRenameOnProducts();
    bool ConfirmNoLongerDividable();
    bool DescriptionChanged() const;
    bool DividableSwitchedOff() const;

    char oldDescription_[128] = "";
    short oldIsDividable_ = 0;
};

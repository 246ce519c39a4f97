#pragma once

#include "Records.h"
#include "dbTable.h"

// PRODUCT with its rules: category, codes, units, order type and the questions asked
// before a change that orders or locations would notice; a deleted product takes its
// product locations with it.
class DBProduct : public dbTable<WSIProduct> {
public:
    explicit DBProduct(WSIDatabase* db);

    // "CanOrder" as the screen loaded it, so that an update can see it switched off.
    void SetOldCanOrder(short canOrder);

    bool VerifyData(DB_OP op) override;
    bool CanDelete() override;
    void UpdateExtraRecords() override;
    void DeleteExtraRecords() override;

private:
    bool CheckCategory(DB_OP op);
    bool CheckProductCode();
    bool CheckUPCCode();
    bool CheckUnit(DB_OP op);
    bool CheckWeightUnit(DB_OP op);
    bool CheckLeadTime();
    bool CheckOrderType(DB_OP op);
    bool CheckItemsPerUnit();
    bool ConfirmCodeChangeOnOrders();
    bool ConfirmUPCChangeAtLocations();
    bool ConfirmNoLongerOrderable();
    // A code of `minLength` or more characters is required; shows message 38107 filled
    // with that length (with a parent screen only).
    void ReportTooShort(unsigned minLength);
    // Whether another product already has `code` as its product code or UPC code.
    bool CodeTaken(const char* code);
    bool CanOrderSwitchedOff() const;

    short oldCanOrder_ = 0;
};

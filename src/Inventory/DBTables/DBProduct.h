#pragma once

#include "Records.h"
#include "dbTable.h"

#include <string>

// PRODUCT with its rules: category, codes, units, order type and the questions asked
// before a change that orders or locations would notice; a deleted product takes its
// product locations with it.
class DBProduct : public dbTable<WSIProduct> {
public:
    explicit DBProduct(WSIDatabase* db);

    // "CanOrder" as the screen loaded it, so that an update can see it switched off.
    void SetOldCanOrder(short canOrder);
    // The product and UPC codes as the caller read them under its write lock: codes left as
    // they are need no question about orders or locations that know the old ones.
    void SetStoredCodes(const char* productCode, const char* upcCode);

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
    // Reads everything the rules look up (see lookups_) in one statement.
    void LoadLookups();
    // The count of other products that have `code` as product code or UPC code, as a
    // subquery.
    std::string CodeTakenSql(const char* code) const;
    bool CanOrderSwitchedOff() const;

    short oldCanOrder_ = 0;
    // What the rules look up, as LoadLookups read it for the record being checked:
    // category, units and order type 0 missing, 1 active, 2 inactive; codes taken: how
    // many other products carry the code.
    struct {
        long category, codeTaken, upcTaken, unit, weightUnit, orderType;
    } lookups_{};
    bool storedKnown_ = false;
    char storedCode_[sizeof(WSIProduct::WSIData::ProductCode)] = "";
    char storedUPC_[sizeof(WSIProduct::WSIData::UPCCode)] = "";
};

#pragma once

#include "Records.h"
#include "dbTable.h"

// INVORDER: the ordering and supplying locations, order type and vendor must exist (and
// be active for a new order), the date may not lie ahead, and a purchase-order number
// is not reused within a year. A deleted order takes all its items with it.
class DBInvOrder : public dbTable<WSIInvOrder> {
public:
    explicit DBInvOrder(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;
    void DeleteExtraRecords() override;

private:
    bool CheckOrderingLocation(DB_OP op);
    bool CheckOrderType(DB_OP op);
    bool CheckSupplyingLocation(DB_OP op);
    bool CheckDistinctLocations();
    bool CheckVendor(DB_OP op);
    bool CheckDate();
    bool CheckPONumber();
    bool CheckNotSpecial();
    bool IsInternal() const;
    // Looks up an INVLOC code: missing, or inactive on insert, fails with error.
    bool CheckLocation(const char* code, DB_OP op, std::uint16_t error, int messageCode);
};

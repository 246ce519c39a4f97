#pragma once

#include "Records.h"
#include "dbTable.h"

// VENDOR: city and province must be known to the suite; a vendor used by products,
// orders or receipts stays.
class DBVendor : public dbTable<WSIVendor> {
public:
    explicit DBVendor(WSIDatabase* db);

    bool VerifyData(DB_OP op) override;
    bool CanDelete() override;

private:
    bool CheckCity();
    bool CheckProvince();
    bool ConfirmDeactivation();
};

// The city a postal code belongs to (the first by name when several share it): what the
// vendor editor fills in when a postal code is typed. False when no city has that code.
bool FindCityByPostalCode(WSIDatabase* db, const char* postalCode, WSICity::WSIData& place);

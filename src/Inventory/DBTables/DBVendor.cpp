#include "DBVendor.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

using tavel::EscapeQuotes;
using namespace tavel::tables;

DBVendor::DBVendor(WSIDatabase* db) : dbTable<WSIVendor>(db) {
    TVL_TRACE("DBVendor::DBVendor");
}

bool DBVendor::VerifyData(DB_OP op) {
    TVL_TRACE("DBVendor::VerifyData");
    error_ = 0;
    if (!(CheckCity() && CheckProvince()))
        return false;
    return op == DB_INSERT || !data.Inactive || ConfirmDeactivation();
}

bool DBVendor::CheckCity() {
    TVL_TRACE("DBVendor::CheckCity");
    if (IsEmpty(data.City))
        return true;
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT 1 FROM CITY WHERE "City" = '%s')sql",
               EscapeQuotes(data.City).c_str());
    long found = 0;
    if (!FetchFirst(GetDb(), sql, &found))
        return Fail(0x4E01, 28190);
    return true;
}

bool FindCityByPostalCode(WSIDatabase* db, const char* postalCode, WSICity::WSIData& place) {
    TVL_TRACE("FindCityByPostalCode");
    if (!db || IsEmpty(postalCode))
        return false;
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT %s FROM CITY WHERE "PostalCode" = '%s' ORDER BY "City")sql",
               db->GetTableColumns(__LINE__, __FILE__, "CITY"), EscapeQuotes(postalCode).c_str());
    place = WSICity::WSIData{};
    return FetchFirst(db, sql, WSIResult(WSICity::Table(), &place));
}

bool DBVendor::CheckProvince() {
    TVL_TRACE("DBVendor::CheckProvince");
    if (IsEmpty(data.Province))
        return true;
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT COUNT(1) FROM PROVINCE WHERE "Province" = '%s')sql",
               EscapeQuotes(data.Province).c_str());
    if (CountOf(GetDb(), sql) == 0)
        return Fail(0x4E02, 28189);
    return true;
}

bool DBVendor::ConfirmDeactivation() {
    TVL_TRACE("DBVendor::ConfirmDeactivation");
    // Asked only while the stored vendor is still active: its active products would lose
    // their vendor.
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM VENDOR V, PRODUCT P WHERE  V."Vendor" = %ld AND V."Vendor" = P."Vendor" AND V."Inactive" = 0 AND P."Inactive" = 0)sql",
        data.Vendor);
    if (CountOf(GetDb(), sql) == 0 || ReportWarning(38019))
        return true;
    error_ = 0x4E03;
    return false;
}

bool DBVendor::CanDelete() {
    TVL_TRACE("DBVendor::CanDelete");
    error_ = 0;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM PRODUCT WHERE "Vendor" = %ld AND ROWNUM < 2  UNION SELECT COUNT(1) FROM INVORDER WHERE "Vendor" = %ld AND ROWNUM < 2  UNION SELECT COUNT(1) FROM INVREC WHERE "Vendor" = %ld AND ROWNUM < 2)sql",
        data.Vendor, data.Vendor, data.Vendor);
    if (CountOf(GetDb(), sql) > 0)
        return Fail(kDbErrInUse, 28247);
    return true;
}

#include "DBInvOrder.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

#include <cstring>

using tavel::EscapeQuotes;
using namespace tavel::tables;

DBInvOrder::DBInvOrder(WSIDatabase* db) : dbTable<WSIInvOrder>(db) {
    TVL_TRACE("DBInvOrder::DBInvOrder");
}

bool DBInvOrder::VerifyData(DB_OP op) {
    TVL_TRACE("DBInvOrder::VerifyData");
    error_ = 0;
    return CheckOrderingLocation(op) && CheckOrderType(op) && CheckSupplyingLocation(op) &&
           CheckDistinctLocations() && CheckVendor(op) && CheckDate() && CheckPONumber() &&
           CheckNotSpecial();
}

bool DBInvOrder::IsInternal() const {
    TVL_TRACE("DBInvOrder::IsInternal");
    return data.IsExternal == 0;
}

bool DBInvOrder::CheckLocation(const char* code, DB_OP op, std::uint16_t error, int messageCode) {
    TVL_TRACE("DBInvOrder::CheckLocation");
    if (IsEmpty(code))
        return Fail(error, 45032);
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT "Inactive" FROM INVLOC WHERE "InvLoc" = '%s')sql",
               EscapeQuotes(code).c_str());
    // An existing order may keep a location that was made inactive since.
    Activity location = ActivityOf(GetDb(), sql);
    if (location == Activity::Missing || (op == DB_INSERT && location == Activity::Inactive))
        return Fail(error, messageCode);
    return true;
}

bool DBInvOrder::CheckOrderingLocation(DB_OP op) {
    TVL_TRACE("DBInvOrder::CheckOrderingLocation");
    return CheckLocation(data.InvLoc, op, 0x4501, 38139);
}

bool DBInvOrder::CheckOrderType(DB_OP op) {
    TVL_TRACE("DBInvOrder::CheckOrderType");
    if (IsEmpty(data.InvOType))
        return Fail(0x4503, 45032);
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT "Inactive" FROM INVOTYPE WHERE "InvOType" = '%s')sql",
               EscapeQuotes(data.InvOType).c_str());
    Activity type = ActivityOf(GetDb(), sql);
    if (type == Activity::Missing || (op == DB_INSERT && type == Activity::Inactive))
        return Fail(0x4503, 38141);
    return true;
}

bool DBInvOrder::CheckSupplyingLocation(DB_OP op) {
    TVL_TRACE("DBInvOrder::CheckSupplyingLocation");
    return !IsInternal() || CheckLocation(data.InvLocFrom, op, 0x4502, 38140);
}

bool DBInvOrder::CheckDistinctLocations() {
    TVL_TRACE("DBInvOrder::CheckDistinctLocations");
    if (IsInternal() && std::strcmp(data.InvLoc, data.InvLocFrom) == 0)
        return Fail(0x4507, 38153);
    return true;
}

bool DBInvOrder::CheckVendor(DB_OP op) {
    TVL_TRACE("DBInvOrder::CheckVendor");
    if (data.Vendor < 1)
        return true;
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT "Inactive" FROM VENDOR WHERE "Vendor" = %ld)sql", data.Vendor);
    Activity vendor = ActivityOf(GetDb(), sql);
    if (vendor == Activity::Missing || (op == DB_INSERT && vendor == Activity::Inactive))
        return Fail(0x4504, 38142);
    return true;
}

bool DBInvOrder::CheckDate() {
    TVL_TRACE("DBInvOrder::CheckDate");
    WSIDate today;
    GetDb()->GetCurrentDate(today);
    if (!IsValidDate(data.Date) || IsAfter(data.Date, today))
        return Fail(0x4508, 38503);
    return true;
}

bool DBInvOrder::CheckPONumber() {
    TVL_TRACE("DBInvOrder::CheckPONumber");
    if (IsInternal() || IsEmpty(data.PONumber))
        return true;
    // Vendors reuse number ranges, so only the last year's orders count.
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM INVORDER WHERE "PONumber" = '%s'  AND "InvOrder" <> %ld AND "Date" > (TRUNC(SYSDATE)-365))sql",
        EscapeQuotes(data.PONumber).c_str(), data.InvOrder);
    if (CountOf(GetDb(), sql) > 0)
        return Fail(0x4505, 38143);
    return true;
}

bool DBInvOrder::CheckNotSpecial() {
    TVL_TRACE("DBInvOrder::CheckNotSpecial");
    if (!IsInternal() && data.SpecialOrder)
        return Fail(0x4506, 38144);
    return true;
}

void DBInvOrder::DeleteExtraRecords() {
    TVL_TRACE("DBInvOrder::DeleteExtraRecords");
    char sql[1024];
    TVL_FORMAT(sql, R"sql(DELETE INVORDIT WHERE "InvOrder" = %ld)sql", data.InvOrder);
    WSITable::QExecDirect(__FILE__, __LINE__, GetDb(), sql);
}

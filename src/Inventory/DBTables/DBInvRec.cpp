#include "DBInvRec.h"

#include "BoundedFormat.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

using namespace tavel::tables;

namespace {
// A date that is given and lies ahead; an invalid date is left to the screens.
bool IsFutureDate(const WSIDate& date, const WSIDate& today) {
    TVL_TRACE("IsFutureDate");
    return IsValidDate(date) && IsAfter(date, today);
}
} // namespace

DBInvRec::DBInvRec(WSIDatabase* db) : dbTable<WSIInvRec>(db) {
    TVL_TRACE("DBInvRec::DBInvRec");
}

bool DBInvRec::VerifyData(DB_OP) {
    TVL_TRACE("DBInvRec::VerifyData");
    error_ = 0;
    WSIInvLoc location(GetDb());
    CopyText(location.data.InvLoc, data.InvLoc);
    if (!location.GetEqual(__FILE__, __LINE__, dbiNOLOCK) || location.data.Inactive)
        return Fail(0x4801, 38558);

    WSIDate today;
    GetDb()->GetCurrentDate(today);
    if (IsFutureDate(data.Date, today))
        return Fail(0x4805, 38589);

    if (data.Vendor >= 1) {
        WSIVendor vendor(GetDb());
        vendor.data.Vendor = data.Vendor;
        if (!vendor.GetEqual(__FILE__, __LINE__, dbiNOLOCK) || vendor.data.Inactive)
            return Fail(0x4802, 38559);
    }
    if (IsFutureDate(data.PODate, today))
        return Fail(0x4803, 38560);
    return true;
}

bool DBInvRec::CanDelete() {
    TVL_TRACE("DBInvRec::CanDelete");
    error_ = 0;
    char sql[1024];
    TVL_FORMAT(sql,
               R"sql(SELECT COUNT(1) FROM INVITEM I  WHERE I."InvRec" = %ld AND ROWNUM < 2)sql",
               data.InvRec);
    if (CountOf(GetDb(), sql) > 0)
        return Fail(0x4804, 38519);
    return true;
}

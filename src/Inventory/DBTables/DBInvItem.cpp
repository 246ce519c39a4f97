#include "DBInvItem.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

using tavel::EscapeQuotes;
using namespace tavel::tables;

DBInvItem::DBInvItem(WSIDatabase* db) : dbTable<WSIInvItem>(db) {
    TVL_TRACE("DBInvItem::DBInvItem");
}

bool DBInvItem::LocationExists(const char* code) {
    TVL_TRACE("DBInvItem::LocationExists");
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = '%s')sql",
               EscapeQuotes(code).c_str());
    return CountOf(GetDb(), sql) > 0;
}

bool DBInvItem::VerifyData(DB_OP) {
    TVL_TRACE("DBInvItem::VerifyData");
    error_ = 0;
    char sql[1024];
    if (data.InvRec != 0) {
        TVL_FORMAT(sql, R"sql(SELECT COUNT(1) FROM INVREC WHERE "InvRec" = %ld)sql", data.InvRec);
        if (CountOf(GetDb(), sql) == 0)
            return Fail(0x4301, 38537);
    }
    if (!LocationExists(data.InvLoc))
        return Fail(0x4302, 38501);
    TVL_FORMAT(sql, R"sql(SELECT COUNT(1) FROM PRODUCT WHERE "Product" = %ld)sql", data.Product);
    if (CountOf(GetDb(), sql) == 0)
        return Fail(0x4303, 38504);
    if (data.Quantity < 0 || static_cast<unsigned>(data.Quantity) > MaxQuantityAllowed())
        return Fail(0x4304, 38562);
    if (data.Balance < 0)
        return Fail(0x4305, 38538);
    if (!IsEmpty(data.InvLocFrom) && !LocationExists(data.InvLocFrom))
        return Fail(0x4306, 38539);
    if (data.InvOrdIt != 0) {
        TVL_FORMAT(sql, R"sql(SELECT COUNT(1) FROM INVORDIT WHERE "InvOrdIt" = %ld)sql",
                   data.InvOrdIt);
        if (CountOf(GetDb(), sql) == 0)
            return Fail(0x4307, 38540);
    }
    return true;
}

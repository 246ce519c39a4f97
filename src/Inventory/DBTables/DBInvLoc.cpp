#include "DBInvLoc.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

#include <string>
#include <string_view>

using tavel::EscapeQuotes;
using namespace tavel::tables;

DBInvLoc::DBInvLoc(WSIDatabase* db) : dbTable<WSIInvLoc>(db) {
    TVL_TRACE("DBInvLoc::DBInvLoc");
}

bool DBInvLoc::VerifyData(DB_OP op) {
    TVL_TRACE("DBInvLoc::VerifyData");
    error_ = 0;
    return CheckBarCode(op) && CheckNoStockWhenInactive(op) && CheckCode();
}

bool DBInvLoc::CheckBarCode(DB_OP op) {
    TVL_TRACE("DBInvLoc::CheckBarCode");
    if (IsEmpty(data.BarCode))
        return true;
    // A scanned location bar code must lead to one location.
    const std::string barCode = EscapeQuotes(data.BarCode);
    char sql[1024];
    if (op == DB_INSERT)
        TVL_FORMAT(sql, R"sql(SELECT COUNT(1) FROM INVLOC WHERE "BarCode" = '%s')sql",
                   barCode.c_str());
    else
        TVL_FORMAT(
            sql, R"sql(SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" <> '%s' AND "BarCode" = '%s')sql",
            EscapeQuotes(data.InvLoc).c_str(), barCode.c_str());
    if (CountOf(GetDb(), sql) > 0)
        return Fail(0x4401, 28678);
    return true;
}

bool DBInvLoc::CheckNoStockWhenInactive(DB_OP op) {
    TVL_TRACE("DBInvLoc::CheckNoStockWhenInactive");
    if (op != DB_UPDATE || !data.Inactive)
        return true;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM PRDLOC WHERE "InvLoc" = '%s'  AND ("Balance" > 0 OR "LastCount" > 0))sql",
        EscapeQuotes(data.InvLoc).c_str());
    if (CountOf(GetDb(), sql) > 0)
        return Fail(0x4404, 38208);
    return true;
}

bool DBInvLoc::CheckCode() {
    TVL_TRACE("DBInvLoc::CheckCode");
    // The blank code is reserved for every product's default row.
    std::string_view code(data.InvLoc);
    if (code.find_first_not_of(" \t") == std::string_view::npos)
        return Fail(0x4405, 38594);
    return true;
}

bool DBInvLoc::CanDelete() {
    TVL_TRACE("DBInvLoc::CanDelete");
    error_ = 0;
    const std::string code = EscapeQuotes(data.InvLoc);
    const char* c = code.c_str();
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM INVREC WHERE "InvLoc" = '%s' AND ROWNUM < 2  UNION SELECT COUNT(1) FROM INVORDER WHERE ("InvLoc" = '%s' OR "InvLocFrom" = '%s') AND ROWNUM < 2  UNION SELECT COUNT(1) FROM INVITEM WHERE ("InvLoc" = '%s' OR "InvLocFrom" = '%s') AND ROWNUM < 2)sql",
        c, c, c, c, c);
    if (CountOf(GetDb(), sql) > 0)
        return Fail(kDbErrInUse, 28247);
    return true;
}

void DBInvLoc::DeleteExtraRecords() {
    TVL_TRACE("DBInvLoc::DeleteExtraRecords");
    char sql[1024];
    TVL_FORMAT(sql, R"sql(DELETE PRDLOC WHERE "InvLoc" = '%s')sql",
               EscapeQuotes(data.InvLoc).c_str());
    WSITable::QExecDirect(__FILE__, __LINE__, GetDb(), sql);
}

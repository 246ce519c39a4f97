#include "DBPrdCat.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

#include <string>

using tavel::EscapeQuotes;
using namespace tavel::tables;

DBPrdCat::DBPrdCat(WSIDatabase* db) : dbTable<WSIPrdCat>(db) {
    TVL_TRACE("DBPrdCat::DBPrdCat");
}

bool DBPrdCat::VerifyData(DB_OP op) {
    TVL_TRACE("DBPrdCat::VerifyData");
    error_ = 0;
    if (op == DB_INSERT)
        return CheckNewCode();
    return data.Inactive != 1 || ConfirmDeactivation();
}

bool DBPrdCat::CheckNewCode() {
    TVL_TRACE("DBPrdCat::CheckNewCode");
    if (IsEmpty(data.PrdCat))
        return Fail(0x4901, 5006);
    char sql[1024];
    TVL_FORMAT(sql,
               R"sql(SELECT COUNT(1) FROM PRDCAT WHERE "PrdType" = %ld AND "PrdCat" = '%s')sql",
               data.PrdType, EscapeQuotes(data.PrdCat).c_str());
    if (CountOf(GetDb(), sql) > 0)
        return Fail(0x4901, 5004);
    return true;
}

bool DBPrdCat::ConfirmDeactivation() {
    TVL_TRACE("DBPrdCat::ConfirmDeactivation");
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM PRODUCT WHERE "PrdType" = %ld  AND "PrdCat" = '%s' AND "Inactive" = 0)sql",
        data.PrdType, EscapeQuotes(data.PrdCat).c_str());
    if (CountOf(GetDb(), sql) == 0 || ReportWarning(38207))
        return true;
    error_ = 0x4902;
    return false;
}

bool DBPrdCat::CanDelete() {
    TVL_TRACE("DBPrdCat::CanDelete");
    error_ = 0;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM PRODUCT  WHERE "PrdType" = %ld AND "PrdCat" = '%s' AND ROWNUM < 2)sql",
        data.PrdType, EscapeQuotes(data.PrdCat).c_str());
    if (CountOf(GetDb(), sql) > 0)
        return Fail(kDbErrInUse, 28247);
    return true;
}

void DBPrdCat::UpdateExtraRecords() {
    TVL_TRACE("DBPrdCat::UpdateExtraRecords");
    if (!data.Inactive)
        return;
    // Products cannot stay on offer in a category that was withdrawn.
    char sql[1024];
    TVL_FORMAT(
        sql, R"sql(UPDATE PRODUCT SET "Inactive" = 1 WHERE "PrdType" = %ld AND "PrdCat" = '%s')sql",
        data.PrdType, EscapeQuotes(data.PrdCat).c_str());
    WSITable::QExecDirect(__FILE__, __LINE__, GetDb(), sql);
}

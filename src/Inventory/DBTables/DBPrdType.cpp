#include "DBPrdType.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

#include <string>

using tavel::EscapeQuotes;
using namespace tavel::tables;

DBPrdType::DBPrdType(WSIDatabase* db) : dbTable<WSIPrdType>(db) {
    TVL_TRACE("DBPrdType::DBPrdType");
}

bool DBPrdType::VerifyData(DB_OP op) {
    TVL_TRACE("DBPrdType::VerifyData");
    error_ = 0;
    if (IsEmpty(data.Description))
        return Fail(0x4B01, 5006);
    const std::string description = EscapeQuotes(data.Description);
    char sql[1024];
    if (op == DB_INSERT)
        TVL_FORMAT(sql, R"sql(SELECT COUNT(1) FROM PRDTYPE WHERE "Description" = '%s')sql",
                   description.c_str());
    else
        TVL_FORMAT(
            sql,
            R"sql(SELECT COUNT(1) FROM PRDTYPE WHERE "PrdType" <> %ld AND "Description" = '%s')sql",
            data.PrdType, description.c_str());
    if (CountOf(GetDb(), sql) > 0)
        return Fail(0x4B01, 38015);
    return true;
}

bool DBPrdType::CanDelete() {
    TVL_TRACE("DBPrdType::CanDelete");
    error_ = 0;
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT COUNT(1) FROM PRDCAT WHERE "PrdType" = %ld AND ROWNUM < 2)sql",
               data.PrdType);
    if (CountOf(GetDb(), sql) > 0)
        return Fail(kDbErrInUse, 28247);
    return true;
}

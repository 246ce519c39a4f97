#include "DBInvOType.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

#include <string>

using tavel::EscapeQuotes;
using namespace tavel::tables;

DBInvOType::DBInvOType(WSIDatabase* db) : dbTable<WSIInvOType>(db) {
    TVL_TRACE("DBInvOType::DBInvOType");
}

bool DBInvOType::CanDelete() {
    TVL_TRACE("DBInvOType::CanDelete");
    error_ = 0;
    const std::string code = EscapeQuotes(data.InvOType);
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM INVORDER WHERE "InvOType" = '%s' AND ROWNUM < 2  UNION SELECT COUNT(1) FROM PRODUCT WHERE "InvOType" = '%s' AND ROWNUM < 2)sql",
        code.c_str(), code.c_str());
    if (CountOf(GetDb(), sql) > 0)
        return Fail(kDbErrInUse, 28247);
    return true;
}

#include "DBInvAdj.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

using tavel::EscapeQuotes;
using namespace tavel::tables;

DBInvAdj::DBInvAdj(WSIDatabase* db) : dbTable<WSIInvAdj>(db) {
    TVL_TRACE("DBInvAdj::DBInvAdj");
}

bool DBInvAdj::VerifyData(DB_OP) {
    TVL_TRACE("DBInvAdj::VerifyData");
    error_ = 0;
    return true;
}

bool DBInvAdj::CanDelete() {
    TVL_TRACE("DBInvAdj::CanDelete");
    error_ = 0;
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT COUNT(1) FROM INVITDET WHERE "InvAdj" = '%s' AND ROWNUM < 2)sql",
               EscapeQuotes(data.InvAdj).c_str());
    if (CountOf(GetDb(), sql) > 0)
        return Fail(kDbErrInUse, 28247);
    return true;
}

#include "DbInvItDet.h"

#include "Trace.h"

DBInvItDet::DBInvItDet(WSIDatabase* db) : dbTable<WSIInvItDet>(db) {
    TVL_TRACE("DBInvItDet::DBInvItDet");
}

bool DBInvItDet::VerifyData(DB_OP) {
    TVL_TRACE("DBInvItDet::VerifyData");
    error_ = 0;
    return true;
}

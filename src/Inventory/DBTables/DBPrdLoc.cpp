#include "DBPrdLoc.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <string>

using tavel::EscapeQuotes;
using namespace tavel::tables;

namespace {
// The engine that reports assigned values only on a fresh read.
constexpr int kEngineRereads = 1;
} // namespace

DBPrdLoc::DBPrdLoc(WSIDatabase* db) : dbTable<WSIPrdLoc>(db) {
    TVL_TRACE("DBPrdLoc::DBPrdLoc");
}

bool DBPrdLoc::IsProductAtLocation(long product, const char* invLoc) {
    TVL_TRACE("DBPrdLoc::IsProductAtLocation");
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM PRDLOC WHERE "Product" = %ld AND "InvLoc" = '%s' AND "Inactive" = 0)sql",
        product, EscapeQuotes(invLoc).c_str());
    return CountOf(GetDb(), sql) > 0;
}

bool DBPrdLoc::GetDefaults(long product) {
    TVL_TRACE("DBPrdLoc::GetDefaults");
    InitRecord();
    data.Product = product;
    if (GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        return true;
    data.Stocked = 1;
    data.TrackUsage = 1;
    WSIProduct prd(GetDb());
    prd.data.Product = product;
    if (prd.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        data.CanOrderFrom = prd.data.CanOrder;
    return InsertNewRow();
}

bool DBPrdLoc::GetPrdLoc(long product, const char* invLoc, bool create) {
    TVL_TRACE("DBPrdLoc::GetPrdLoc");
    if (product < 1 || IsEmpty(invLoc))
        return false;
    InitRecord();
    data.Product = product;
    CopyText(data.InvLoc, invLoc);
    if (GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        return true;
    if (!create || !GetDefaults(product))
        return false;
    CopyText(data.InvLoc, invLoc);

    WSIInvLoc loc(GetDb());
    CopyText(loc.data.InvLoc, invLoc);
    if (loc.GetEqual(__FILE__, __LINE__, dbiNOLOCK)) {
        if (loc.data.Type == tavel::LocationType::NoStock) {
            data.Stocked = 0;
            data.CanOrderFrom = 0;
        } else if (loc.data.Type == tavel::LocationType::UsePoint) {
            data.CanOrderFrom = 0;
        }
    }
    WSIProduct prd(GetDb());
    prd.data.Product = product;
    if (prd.GetEqual(__FILE__, __LINE__, dbiNOLOCK) && prd.data.CanOrder == 0)
        data.CanOrderFrom = 0;
    return InsertNewRow();
}

bool DBPrdLoc::InsertNewRow() {
    TVL_TRACE("DBPrdLoc::InsertNewRow");
    if (!InsertDB(__FILE__, __LINE__, dbiNOLOCK, true))
        return false;
    if (GetDb()->DBEngineToUse() == kEngineRereads) {
        ForceReread();
        GetEqual(__FILE__, __LINE__, dbiNOLOCK);
    }
    return true;
}

bool DBPrdLoc::VerifyData(DB_OP) {
    TVL_TRACE("DBPrdLoc::VerifyData");
    error_ = 0;
    if (data.MinCount > data.ReorderCount)
        return Fail(0x4A01, 38132);
    // MaxCount 0 means no maximum.
    if (data.MaxCount > 0 && data.MaxCount < data.MinCount)
        return Fail(0x4A02, 38133);
    if (data.StdToOrder < data.MinToOrder)
        return Fail(0x4A03, 38134);
    if (data.Inactive == 1 && (data.Balance > 0 || data.LastCount > 0))
        return Fail(0x4A04, 38135);
    return true;
}

bool DBPrdLoc::CanDelete() {
    TVL_TRACE("DBPrdLoc::CanDelete");
    error_ = 0;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM PRDLOC WHERE "Product" = %ld  AND "InvLoc" = '%s' AND ("Balance" > 0 OR "LastCount" > 0) AND ROWNUM < 2)sql",
        data.Product, EscapeQuotes(data.InvLoc).c_str());
    if (CountOf(GetDb(), sql) > 0)
        return Fail(kDbErrInUse, 28247);
    return true;
}

#include "BIInvCount.h"

#include "BIException.h"
#include "BoundedFormat.h"
#include "DBPrdLoc.h"
#include "TableLookup.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

BIInvCount::BIInvCount(WSIDatabase* db) : BIInvBatchAdj(db) {
    TVL_TRACE("BIInvCount::BIInvCount");
}

BIInvCount::~BIInvCount() {
    TVL_TRACE("BIInvCount::~BIInvCount");
}

void BIInvCount::CountProduct(const char* invLoc, long product, short count, const char* invAdj) {
    TVL_TRACE("BIInvCount::CountProduct");
    WSIDatabase* db = GetDb();
    const int level = db->TransactionLevel();
    db->TransactionBegin();
    try {
        // Only a product the location already carries can be counted there.
        DBPrdLoc prdLoc(db);
        prdLoc.data.Product = product;
        tavel::tables::CopyText(prdLoc.data.InvLoc, invLoc ? invLoc : "");
        if (tavel::tables::IsEmpty(invLoc) || !prdLoc.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
            throw PrdLocErr();
        if (prdLoc.data.Inactive != 0)
            throw InactivePrdLocErr();
        // A count must land whatever the stock items held: missing stock is created and
        // expired or undated lots are taken like any other.
        RowsRead rows;
        rows.prdLoc = &prdLoc.data;
        Adjust(invLoc, tavel::MovementType::Adjustment, product, count, invAdj, true, true, true, 0,
               0, 0, "", 0, &rows);
        tavel::EndTransaction(db);
    } catch (...) {
        tavel::AbortTransactionsAbove(db, level);
        throw;
    }
}

std::string BIInvCount::DefaultCountCode(WSIDatabase& db) {
    TVL_TRACE("BIInvCount::DefaultCountCode");
    char code[16] = "";
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT \"InvAdj\" FROM INVADJ WHERE \"Type\" = %d AND \"Inactive\" = 0 ORDER BY "
               "\"InvAdj\"",
               static_cast<int>(tavel::AdjustmentType::Count));
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", code, sql);
    return cursor->GetFirst() ? code : "";
}

#include "BIInvRepackage.h"

#include "BIException.h"
#include "DBInvItem.h"
#include "DBInvLoc.h"
#include "DBPrdLoc.h"
#include "DBProduct.h"
#include "TableLookup.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <cstring>

BIInvRepackage::BIInvRepackage(WSIDatabase* db) : BIInvBatchAdj(db) {
    TVL_TRACE("BIInvRepackage::BIInvRepackage");
}

BIInvRepackage::~BIInvRepackage() {
    TVL_TRACE("BIInvRepackage::~BIInvRepackage");
}

void BIInvRepackage::Repackage(long invItem, const char* invLoc, long sourceProduct,
                               short sourceQuantity, long targetProduct, short targetQuantity,
                               double targetCost) {
    TVL_TRACE("BIInvRepackage::Repackage");
    using tavel::tables::CopyText;
    WSIDatabase* db = GetDb();
    const int level = db->TransactionLevel();
    db->TransactionBegin();
    try {
        if (invItem < 1)
            throw InvalidInvItem();
        DBInvItem source(db);
        source.data.InvItem = invItem;
        if (!source.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
            throw InvalidInvItem();
        if (source.data.Balance < sourceQuantity)
            throw InvalidRepackageQuantity();
        if (targetQuantity < 1)
            throw InvalidQuantity();
        if (!IsValidCost(targetCost))
            throw InvalidCost();

        if (tavel::tables::IsEmpty(invLoc))
            throw InvalidLocation();
        DBInvLoc loc(db);
        CopyText(loc.data.InvLoc, invLoc);
        if (!loc.GetEqual(__FILE__, __LINE__, dbiNOLOCK) || loc.data.Inactive != 0)
            throw InvalidLocation();

        DBProduct target(db);
        target.data.Product = targetProduct;
        if (!target.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
            throw InvalidProduct();
        DBPrdLoc prdLoc(db);
        if (!prdLoc.GetPrdLoc(targetProduct, invLoc, true))
            throw PrdLocErr();
        if (prdLoc.data.Inactive != 0)
            throw PrdLocInactive();
        // A lot of another product or location gives nothing up, and the target stock
        // would appear from nowhere.
        if (source.data.Product != sourceProduct || std::strcmp(source.data.InvLoc, invLoc) != 0)
            throw InvalidInvItem();

        // Both movements go into one batch and share the audit entry of the new stock, so
        // that the repackaging reads as one event.
        InitBatch(invLoc, invLoc);
        const long audit =
            AddInvItem(invLoc, tavel::MovementType::Repackage, targetProduct, targetQuantity,
                       &source.data.ExpiryDate, "", targetCost, "", 0, 0, 0, 0);
        Adjust(invLoc, tavel::MovementType::Repackage, sourceProduct, sourceQuantity, "", false,
               false, false, audit, invItem, 0, "", 0);
        CloseBatch();
        tavel::EndTransaction(db);
    } catch (...) {
        // The batch belonged to this call only; later movements must not join it.
        CloseBatch();
        tavel::AbortTransactionsAbove(db, level);
        throw;
    }
}

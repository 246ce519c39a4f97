#include "BIInvSplit.h"

#include "BIException.h"
#include "BoundedFormat.h"
#include "DBInvItem.h"
#include "DbInvItDet.h"
#include "RecordWrites.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSIDatabase.h"

namespace {
// The engine that reports assigned values only on a fresh read.
constexpr int kEngineRereads = 1;
} // namespace

BIInvSplit::BIInvSplit(WSIDatabase* db) : BIInvAdj(db) {
    TVL_TRACE("BIInvSplit::BIInvSplit");
}

BIInvSplit::~BIInvSplit() {
    TVL_TRACE("BIInvSplit::~BIInvSplit");
}

long BIInvSplit::Split(long invItem, short quantity, double cost, WSIDate expiry) {
    TVL_TRACE("BIInvSplit::Split");
    WSIDatabase* db = GetDb();
    const int level = db->TransactionLevel();
    db->TransactionBegin();
    try {
        if (!IsValidCost(cost))
            throw InvalidCost();
        if (invItem < 1)
            throw InvalidInvItem();
        DBInvItem item(db);
        item.data.InvItem = invItem;
        if (!item.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
            throw InvalidInvItem();
        if (quantity < 1) {
            item.ReleaseLock();
            throw InvalidQuantity();
        }
        // At least one unit must stay in the item being split.
        if (quantity >= item.data.Quantity) {
            item.ReleaseLock();
            throw InvalidSplitQuantity();
        }
        if (item.data.Balance < quantity) {
            item.ReleaseLock();
            throw InvalidRepackageQuantity();
        }

        char sql[1024];
        WSIDate itemDate;
        TVL_FORMAT(sql, R"sql(SELECT "Date" FROM AUDITHIS WHERE "Audit" = %ld)sql",
                   item.data.Audit);
        ReadFirst(sql, WSIResult(&itemDate));

        item.data.Balance -= quantity;
        item.data.Quantity -= quantity;
        UpdateOrThrow<InvItemErr>(item);

        long detailId = 0;
        TVL_FORMAT(
            sql,
            R"sql(SELECT "InvItDet" FROM INVITDET WHERE "InvItem" = %ld AND "Audit" = %ld )sql",
            invItem, item.data.Audit);
        ReadFirst(sql, WSIResult(&detailId));
        DBInvItDet detail(db);
        detail.data.InvItDet = detailId;
        if (detailId == 0 || !detail.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
            throw InvItDetErr();
        detail.data.Quantity -= quantity;
        UpdateOrThrow<InvItDetErr>(detail);

        DBInvItem split(db);
        split.data = item.data;
        split.data.InvItem = 0;
        split.data.Quantity = quantity;
        split.data.Balance = quantity;
        split.data.CostPerUnit = cost;
        split.data.ExpiryDate = expiry;
        split.data.Audit = split.AddAuditEntry(1, "");
        if (split.data.Audit == 0 || !split.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true)) {
            ThrowDbError(split.GetError());
            throw InvItemErr();
        }
        if (db->DBEngineToUse() == kEngineRereads) {
            split.ForceReread();
            split.GetEqual(__FILE__, __LINE__, dbiNOLOCK);
        }

        DBInvItDet splitDetail(db);
        splitDetail.data = detail.data;
        splitDetail.data.InvItDet = 0;
        splitDetail.data.InvItem = split.data.InvItem;
        splitDetail.data.Quantity = quantity;
        splitDetail.data.CostPerUnit = cost;
        splitDetail.data.Audit = split.data.Audit;
        InsertOrThrow<InvItDetErr>(splitDetail);

        // The split-off stock keeps the age of the stock it came from.
        TVL_FORMAT(sql, R"sql(UPDATE AUDITHIS SET "Date" = '%d/%d/%d' WHERE "Audit" = %ld )sql",
                   itemDate.month, itemDate.day, itemDate.year, split.data.Audit);
        if (WSITable::QExecDirect(__FILE__, __LINE__, db, sql) != 0)
            throw InvItemErr();

        tavel::EndTransaction(db);
        return split.data.InvItem;
    } catch (...) {
        tavel::AbortTransactionsAbove(db, level);
        throw;
    }
}

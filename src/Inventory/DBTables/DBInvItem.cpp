#include "DBInvItem.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

#include <iterator>

using tavel::EscapeQuotes;
using namespace tavel::tables;

DBInvItem::DBInvItem(WSIDatabase* db) : dbTable<WSIInvItem>(db) {
    TVL_TRACE("DBInvItem::DBInvItem");
}

namespace {
// Whether each row a stock item names exists, read in one statement: an item is written on
// every scan, and a look-up of its own for each reference would be a round trip each.
struct ItemReferences {
    long RECEIPT;
    long LOCATION;
    long PRODUCT;
    long FROMLOCATION;
    long ORDERLINE;
};
const ColumnDesc kReferenceColumns[] = {
    TVL_COL(ItemReferences, RECEIPT, Int, 0, false),
    TVL_COL(ItemReferences, LOCATION, Int, 0, false),
    TVL_COL(ItemReferences, PRODUCT, Int, 0, false),
    TVL_COL(ItemReferences, FROMLOCATION, Int, 0, false),
    TVL_COL(ItemReferences, ORDERLINE, Int, 0, false),
};
const TableDesc kReferences{"ITEMREFERENCES", kReferenceColumns, std::size(kReferenceColumns),
                            sizeof(ItemReferences)};
} // namespace

bool DBInvItem::VerifyData(DB_OP) {
    TVL_TRACE("DBInvItem::VerifyData");
    error_ = 0;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT (SELECT COUNT(1) FROM INVREC WHERE "InvRec" = %ld) AS RECEIPT, (SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = '%s') AS LOCATION, (SELECT COUNT(1) FROM PRODUCT WHERE "Product" = %ld) AS PRODUCT, (SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = '%s') AS FROMLOCATION, (SELECT COUNT(1) FROM INVORDIT WHERE "InvOrdIt" = %ld) AS ORDERLINE FROM DUAL)sql",
        data.InvRec, EscapeQuotes(data.InvLoc).c_str(), data.Product,
        EscapeQuotes(data.InvLocFrom).c_str(), data.InvOrdIt);
    ItemReferences found{};
    if (!FetchFirst(GetDb(), sql, WSIResult(kReferences, &found)))
        found = {};
    if (data.InvRec != 0 && found.RECEIPT == 0)
        return Fail(0x4301, 38537);
    if (found.LOCATION == 0)
        return Fail(0x4302, 38501);
    if (found.PRODUCT == 0)
        return Fail(0x4303, 38504);
    if (!VerifyAmounts())
        return false;
    if (!IsEmpty(data.InvLocFrom) && found.FROMLOCATION == 0)
        return Fail(0x4306, 38539);
    if (data.InvOrdIt != 0 && found.ORDERLINE == 0)
        return Fail(0x4307, 38540);
    return true;
}

bool DBInvItem::VerifyAmounts() {
    if (data.Quantity < 0 || static_cast<unsigned>(data.Quantity) > MaxQuantityAllowed())
        return Fail(0x4304, 38562);
    if (data.Balance < 0)
        return Fail(0x4305, 38538);
    return true;
}

bool DBInvItem::UpdateAmounts(const char* file, int line) {
    TVL_TRACE("DBInvItem::UpdateAmounts");
    error_ = 0;
    bool ok = VerifyAmounts();
    if (ok) {
        WSIBVParametersInfo binds;
        binds.AddParameter(data.Quantity);
        binds.AddParameter(data.Balance);
        binds.AddParameter(data.InvItem);
        long changed = 0;
        ok = WSITable::QExecBVDirect(
                 file, line, binds.Count(), binds.Params(), GetDb(),
                 R"sql(UPDATE INVITEM SET "Quantity" = :1, "Balance" = :2 WHERE "InvItem" = :3)sql",
                 &changed) == 0 &&
             changed == 1;
        if (!ok)
            error_ = kDbErrUpdate;
    }
    WSITable::ReleaseLock();
    return ok;
}

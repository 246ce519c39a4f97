#include "DBInvOrdIt.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

using tavel::EscapeQuotes;
using namespace tavel::tables;
namespace OrdItStatus = tavel::OrdItStatus;

DBInvOrdIt::DBInvOrdIt(WSIDatabase* db) : dbTable<WSIInvOrdIt>(db) {
    TVL_TRACE("DBInvOrdIt::DBInvOrdIt");
}

bool DBInvOrdIt::VerifyData(DB_OP op) {
    TVL_TRACE("DBInvOrdIt::VerifyData");
    error_ = 0;
    WSIInvOrder order(GetDb());
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT %s FROM INVORDER WHERE "InvOrder" = %ld)sql",
               GetDb()->GetTableColumns(__LINE__, __FILE__, "INVORDER"), data.InvOrder);
    if (!FetchFirst(GetDb(), sql, order))
        return Fail(0x4607, 38183);

    const bool hasProduct = data.Product >= 1;
    if (hasProduct && !CheckProduct(op, order))
        return false;
    if (!hasProduct && !order.data.SpecialOrder)
        return Fail(0x4601, 45032);
    if (data.Quantity < 0)
        return Fail(0x4603, 38562);
    // Only a description tells the supplier what an item outside the catalogue is.
    if (order.data.SpecialOrder == 1 && !hasProduct && IsEmpty(data.Description))
        return Fail(0x4604, 38149);
    return true;
}

bool DBInvOrdIt::CheckProduct(DB_OP op, const WSIInvOrder& order) {
    TVL_TRACE("DBInvOrdIt::CheckProduct");
    WSIProduct product(GetDb());
    product.data.Product = data.Product;
    if (!product.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        return Fail(0x4601, 38146);
    const bool internal = order.data.IsExternal == 0;
    if (op == DB_INSERT) {
        if (product.data.Inactive)
            return Fail(0x4601, 38146);
        if (product.data.CanOrder == 0 && internal)
            return Fail(0x4606, 38168);
    }
    if (!CheckNotOnOrderYet())
        return false;
    return op != DB_INSERT || !internal || CheckOfferedBySupplier(order);
}

bool DBInvOrdIt::CheckNotOnOrderYet() {
    TVL_TRACE("DBInvOrdIt::CheckNotOnOrderYet");
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM INVORDIT WHERE "InvOrdIt" != %ld  AND "InvOrder" = %ld AND "Product" = %ld AND "Status" <> %d)sql",
        data.InvOrdIt, data.InvOrder, data.Product, static_cast<int>(OrdItStatus::Cancelled));
    if (CountOf(GetDb(), sql) > 0)
        return Fail(0x4602, 38147);
    return true;
}

bool DBInvOrdIt::CheckOfferedBySupplier(const WSIInvOrder& order) {
    TVL_TRACE("DBInvOrdIt::CheckOfferedBySupplier");
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM PRDLOC WHERE "Product" = %ld  AND "InvLoc" = '%s' AND "CanOrderFrom" = 1 AND "Inactive" = 0)sql",
        data.Product, EscapeQuotes(order.data.InvLocFrom).c_str());
    if (CountOf(GetDb(), sql) == 0)
        return Fail(0x4605, 38163);
    return true;
}

bool DBInvOrdIt::CanDelete() {
    TVL_TRACE("DBInvOrdIt::CanDelete");
    error_ = 0;
    // Once an item is being supplied, deleting it would lose track of what is under way.
    const bool notYetSupplied = data.Status == OrdItStatus::Ordered ||
                                data.Status == OrdItStatus::Requested ||
                                data.Status == OrdItStatus::InReview;
    if (data.Quantity != 0 && !notYetSupplied)
        return Fail(kDbErrInUse, 28247);
    return true;
}

#include "DBInvOrdIt.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <cstddef>
#include <vector>

using tavel::EscapeQuotes;
using namespace tavel::tables;
namespace OrdItStatus = tavel::OrdItStatus;

DBInvOrdIt::DBInvOrdIt(WSIDatabase* db) : dbTable<WSIInvOrdIt>(db) {
    TVL_TRACE("DBInvOrdIt::DBInvOrdIt");
}

namespace {
// The item's order with what the rules ask of its product and of the order's other items,
// read in one statement: an item's fill is written on every received or filled scan, and a
// look-up of its own for each rule is a round trip each.
struct OrderWithChecks {
    WSIInvOrder::WSIData order;
    long PRODUCTSTATE; // 0 no such product, 1 active, 2 inactive ("Inactive" NULL: active)
    long CANORDER;     // the product's "CanOrder" (0 when missing or NULL)
    long OTHERLINES;   // other items of the order, not cancelled, with the same product
};
static_assert(offsetof(OrderWithChecks, order) == 0, "the order's columns keep their offsets");

const TableDesc& OrderWithChecksDesc() {
    static const std::vector<ColumnDesc> columns = [] {
        const TableDesc& order = WSIInvOrder::Table();
        std::vector<ColumnDesc> all(order.columns, order.columns + order.count);
        all.push_back(TVL_COL(OrderWithChecks, PRODUCTSTATE, Int, 0, false));
        all.push_back(TVL_COL(OrderWithChecks, CANORDER, Int, 0, false));
        all.push_back(TVL_COL(OrderWithChecks, OTHERLINES, Int, 0, false));
        return all;
    }();
    static const TableDesc desc{"INVORDERCHECKS", columns.data(), columns.size(),
                                sizeof(OrderWithChecks)};
    return desc;
}
} // namespace

bool DBInvOrdIt::VerifyData(DB_OP op) {
    TVL_TRACE("DBInvOrdIt::VerifyData");
    error_ = 0;
    char sql[4096];
    TVL_FORMAT(
        sql,
        R"sql(SELECT %s, (SELECT MAX(CASE WHEN "Inactive" <> 0 THEN 2 ELSE 1 END) FROM PRODUCT WHERE "Product" = %ld) AS PRODUCTSTATE, (SELECT MAX("CanOrder") FROM PRODUCT WHERE "Product" = %ld) AS CANORDER, (SELECT COUNT(1) FROM INVORDIT WHERE "InvOrdIt" != %ld AND "InvOrder" = %ld AND "Product" = %ld AND "Status" <> %d) AS OTHERLINES FROM INVORDER WHERE "InvOrder" = %ld)sql",
        GetDb()->GetTableColumns(__LINE__, __FILE__, "INVORDER"), data.Product, data.Product,
        data.InvOrdIt, data.InvOrder, data.Product, static_cast<int>(OrdItStatus::Cancelled),
        data.InvOrder);
    OrderWithChecks found{};
    if (!FetchFirst(GetDb(), sql, WSIResult(OrderWithChecksDesc(), &found)))
        return Fail(0x4607, 38183);
    WSIInvOrder order(GetDb());
    order.data = found.order;

    const bool hasProduct = data.Product >= 1;
    if (hasProduct &&
        !CheckProduct(op, order, found.PRODUCTSTATE, found.CANORDER, found.OTHERLINES))
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

bool DBInvOrdIt::CheckProduct(DB_OP op, const WSIInvOrder& order, long productState, long canOrder,
                              long otherLines) {
    TVL_TRACE("DBInvOrdIt::CheckProduct");
    if (productState == 0)
        return Fail(0x4601, 38146);
    const bool internal = order.data.IsExternal == 0;
    if (op == DB_INSERT) {
        if (productState == 2)
            return Fail(0x4601, 38146);
        if (canOrder == 0 && internal)
            return Fail(0x4606, 38168);
    }
    // The product is on the order once.
    if (otherLines > 0)
        return Fail(0x4602, 38147);
    return op != DB_INSERT || !internal || CheckOfferedBySupplier(order);
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

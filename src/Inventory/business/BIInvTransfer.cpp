#include "BIInvTransfer.h"

#include "BIException.h"
#include "BoundedFormat.h"
#include "DBInvLoc.h"
#include "DBPrdLoc.h"
#include "DBProduct.h"
#include "InventoryModule.h"
#include "ListCursor.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "schema/InventoryCodes.h"

#include <cstring>
#include <vector>

using tavel::EscapeQuotes;

namespace {

// Location codes compare without trailing blanks, as the database compares them.
bool SameLocation(const char* a, const char* b) {
    std::size_t na = std::strlen(a), nb = std::strlen(b);
    while (na > 0 && a[na - 1] == ' ')
        --na;
    while (nb > 0 && b[nb - 1] == ' ')
        --nb;
    return na == nb && std::strncmp(a, b, na) == 0;
}

void NotifyHost(int sourceId, long product) {
    if (WSIInventoryApp* app = tavel::CurrentInventoryApp())
        if (WSIApplication* host = app->GetHostApplication())
            host->ProductRefresh(sourceId, product);
}

} // namespace

WSIInvTransferRow::WSIInvTransferRow(WSIDatabase* db, const char* sql)
    : WSITable(__FILE__, __LINE__, 0, db, sql, WSIResult(WSIInvTransferView::Table(), &row)) {
    TVL_TRACE("WSIInvTransferRow::WSIInvTransferRow");
}

BIInvTransfer::BIInvTransfer(WSIDatabase* db) : BIInvBatchAdj(db) {
    TVL_TRACE("BIInvTransfer::BIInvTransfer");
}

BIInvTransfer::~BIInvTransfer() {
    TVL_TRACE("BIInvTransfer::~BIInvTransfer");
}

void BIInvTransfer::CheckTransfer(long product, Checked& rows) {
    TVL_TRACE("BIInvTransfer::CheckTransfer");
    WSIInvLoc::WSIData to{};
    if (firstLoc_[0] == '\0' || !ReadActiveLocation(GetDb(), firstLoc_, rows.from))
        throw InvalidTransferFrom();
    if (secondLoc_[0] == '\0' || SameLocation(firstLoc_, secondLoc_) ||
        !ReadActiveLocation(GetDb(), secondLoc_, to))
        throw InvalidTransferTo();

    DBProduct prd(GetDb());
    prd.data.Product = product;
    if (!prd.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        throw InvalidProduct();
    rows.product = prd.data;

    DBPrdLoc prdLoc(GetDb());
    if (!prdLoc.GetPrdLoc(product, firstLoc_, true))
        throw PrdLocErr();
    rows.fromPrdLoc = prdLoc.data;
    if (!prdLoc.GetPrdLoc(product, secondLoc_, true))
        throw PrdLocErr();
}

void BIInvTransfer::Transfer(long product, short quantity, bool createMissing, bool allowExpired,
                             bool allowNoExpiry) {
    TVL_TRACE("BIInvTransfer::Transfer");
    WSIDatabase* db = GetDb();
    const int level = db->TransactionLevel();
    db->TransactionBegin();
    try {
        Checked checked;
        CheckTransfer(product, checked);
        const long max = static_cast<long>(tavel::tables::MaxQuantityAllowed());
        if (quantity < -max || quantity > max)
            throw InvalidQuantity();
        const RowsRead rows = checked.Rows();
        Adjust(firstLoc_, tavel::MovementType::Transfer, product, quantity, "", createMissing,
               allowExpired, allowNoExpiry, 0, 0, 0, secondLoc_, 0, &rows);
        tavel::EndTransaction(db);
    } catch (...) {
        tavel::AbortTransactionsAbove(db, level);
        throw;
    }
}

void BIInvTransfer::TransferAll(int sourceId) {
    TVL_TRACE("BIInvTransfer::TransferAll");
    WSIDatabase* db = GetDb();
    // The rows as they stand before the first transfer: each transfer takes stock in the
    // costing order, not from its own row, so a row read later could already be emptied
    // by an earlier one and the product's whole balance would not move.
    struct Row {
        long product;
        double balance;
    };
    std::vector<Row> rows;
    {
        WSIInvItem item(db);
        auto cursor = db->Query(
            __FILE__, __LINE__,
            R"sql(SELECT %s FROM INVITEM WHERE "InvLoc" = '%s' AND "Balance" > 0 ORDER BY "Audit" )sql",
            WSIResult(item), db->GetTableColumns(__LINE__, __FILE__, "INVITEM"),
            EscapeQuotes(firstLoc_).c_str());
        for (bool more = cursor->GetFirst(); more; more = cursor->GetNext())
            rows.push_back({item.data.Product, item.data.Balance});
    }
    InitRefreshArray();
    for (const Row& row : rows) {
        Transfer(row.product, static_cast<short>(RoundToCents(row.balance)), false, true, true);
        AddProductToRefreshArray(row.product);
    }
    SendProductArrayRefresh(sourceId);
}

void BIInvTransfer::BeginTransferInvItem() {
    TVL_TRACE("BIInvTransfer::BeginTransferInvItem");
    GetDb()->TransactionBegin();
}

void BIInvTransfer::TransferInvItem(WSIInvItem::WSIData& item, int sourceId) {
    TVL_TRACE("BIInvTransfer::TransferInvItem");
    // The list's unit of work was opened by BeginTransferInvItem, one level below this.
    const int listLevel = GetDb()->TransactionLevel() - 1;
    try {
        Checked checked;
        CheckTransfer(item.Product, checked);
        const double quantity = RoundToCents(item.Balance);
        if (quantity < 0 || quantity > tavel::tables::MaxQuantityAllowed())
            throw InvalidQuantity();
        const RowsRead rows = checked.Rows();
        Adjust(firstLoc_, tavel::MovementType::Transfer, item.Product, static_cast<short>(quantity),
               "", false, true, true, 0, item.InvItem, 0, secondLoc_, 0, &rows);
        NotifyHost(sourceId, item.Product);
    } catch (...) {
        tavel::AbortTransactionsAbove(GetDb(), listLevel < 0 ? 0 : listLevel);
        throw;
    }
}

void BIInvTransfer::EndTransferInvItem() {
    TVL_TRACE("BIInvTransfer::EndTransferInvItem");
    tavel::EndTransaction(GetDb());
}

WSITable* BIInvTransfer::GetNextRow() {
    TVL_TRACE("BIInvTransfer::GetNextRow");
    return tavel::NextListRow(rowCursor_, [this] {
        char sql[1024];
        TVL_FORMAT(
            sql,
            "SELECT V.INVITEM, V.INVLOC, V.PRODUCTID, V.CATEGORY, V.PRODUCTCODE,  V.DESCRIPTION, "
            "V.UPCCODE, V.UNIT, V.SCANNED, V.AUDITID  FROM INVTRANSFER_VIEW V WHERE V.INVLOC = "
            "'%s' AND V.INVITEM IN (SELECT DISTINCT D.InvItem FROM INVITDET D WHERE D.BatchId = "
            "%ld)ORDER BY V.AUDITID ",
            EscapeQuotes(secondLoc_).c_str(), batchId_);
        return std::make_unique<WSIInvTransferRow>(GetDb(), sql);
    });
}

WSITable* BIInvTransfer::GetNewRow() {
    TVL_TRACE("BIInvTransfer::GetNewRow");
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT V.INVITEM, V.INVLOC, V.PRODUCTID, V.CATEGORY, V.PRODUCTCODE,  "
               "V.DESCRIPTION, V.UPCCODE, V.UNIT, V.SCANNED, V.AUDITID  FROM INVTRANSFER_VIEW V "
               "WHERE V.INVITEM = %ld ",
               lastInvItem_);
    return tavel::NewListRow<WSIInvTransferRow>(GetDb(), sql);
}

void BIInvTransfer::Print(WSIWindow*, bool) {
    TVL_TRACE("BIInvTransfer::Print");
}

#include "BIInvRec.h"

#include "BIException.h"
#include "BoundedFormat.h"
#include "CCrystalReportObj.h"
#include "DBInvItem.h"
#include "DBInvLoc.h"
#include "DBInvOrdIt.h"
#include "DBInvRec.h"
#include "DBProduct.h"
#include "DBVendor.h"
#include "InventoryModule.h"
#include "ListCursor.h"
#include "RecordWrites.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "schema/InventoryCodes.h"

#include <cstring>
#include <iterator>
#include <string>

using tavel::EscapeQuotes;
using tavel::tables::CopyText;
using tavel::tables::IsEmpty;
using tavel::tables::IsValidDate;

namespace {

namespace Status = tavel::OrdItStatus;
constexpr short kReceiptType = tavel::MovementType::Receipt;

const ColumnDesc kExpiryRowColumns[] = {
    TVL_COL(WSIReceiptExpiryRow, EXPIRYDATE, Date, 0, false),
    TVL_COL(WSIReceiptExpiryRow, RECD, Count, 0, false),
};

// The three sums of the average cost, read in one statement.
struct CostSums {
    double LOCATIONS; // PRDLOC balances of the product
    double ITEMS;     // its stock item balances
    double ITEMVALUE; // their value at each item's cost
};
const ColumnDesc kCostSumColumns[] = {
    TVL_COL(CostSums, LOCATIONS, Amount, 0, false),
    TVL_COL(CostSums, ITEMS, Amount, 0, false),
    TVL_COL(CostSums, ITEMVALUE, Amount, 0, false),
};
const TableDesc kCostSums{"COSTSUMS", kCostSumColumns, std::size(kCostSumColumns),
                          sizeof(CostSums)};

bool QuantityAllowed(short quantity) {
    return quantity >= 1 && static_cast<unsigned>(quantity) <= tavel::tables::MaxQuantityAllowed();
}

const char* OrEmpty(const char* text) {
    return text ? text : "";
}

} // namespace

const TableDesc& WSIReceiptExpiryRow::Table() {
    static const TableDesc desc{"INVRECEIPT_VIEW", kExpiryRowColumns, std::size(kExpiryRowColumns),
                                sizeof(WSIReceiptExpiryRow)};
    return desc;
}

BIInvReceive::BIInvReceive(WSIDatabase* db)
    : BIInventory(db), receipt_(std::make_unique<DBInvRec>(db)),
      item_(std::make_unique<DBInvItem>(db)) {
    TVL_TRACE("BIInvReceive::BIInvReceive");
    order_ = {};
    receipt_->InitRecord();
    item_->InitRecord();
}

BIInvReceive::~BIInvReceive() {
    TVL_TRACE("BIInvReceive::~BIInvReceive");
}

const WSIInvRec::WSIData& BIInvReceive::GetReceipt() const {
    TVL_TRACE("BIInvReceive::GetReceipt");
    return receipt_->data;
}

// ---------------------------------------------------------------------------------------
// Finding orders

bool BIInvReceive::FindOrder(const char* poNumber, long invOrder) {
    TVL_TRACE("BIInvReceive::FindOrder");
    poNumber = OrEmpty(poNumber);
    if (std::strcmp(poNumber, order_.PONumber) == 0 &&
        (invOrder == 0 || invOrder == order_.InvOrder))
        return true;
    order_ = {};
    if (invOrder != 0)
        return FindOrder(invOrder, false);
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT %s FROM INVORDER WHERE "PONumber" = '%s' AND "Inactive" = 0 ORDER BY "Audit" DESC )sql",
        m_pDb->GetTableColumns(__LINE__, __FILE__, "INVORDER"), EscapeQuotes(poNumber).c_str());
    if (ReadFirst(sql, WSIResult(WSIInvOrder::Table(), &order_)))
        return true;
    order_ = {};
    return false;
}

bool BIInvReceive::FindOrder(long invOrder, bool reload) {
    TVL_TRACE("BIInvReceive::FindOrder");
    if (!reload && invOrder == order_.InvOrder)
        return true;
    order_ = {};
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT %s FROM INVORDER WHERE "InvOrder" = :1 AND "Inactive" = 0 ORDER BY "Audit" DESC )sql",
        m_pDb->GetTableColumns(__LINE__, __FILE__, "INVORDER"));
    WSIBVParametersInfo binds;
    binds.AddParameter(invOrder);
    auto cursor =
        m_pDb->QueryBV(__FILE__, __LINE__, sql, WSIResult(WSIInvOrder::Table(), &order_), binds);
    if (cursor->GetFirst())
        return true;
    order_ = {};
    return false;
}

bool BIInvReceive::FindFirstOrder(WSIDate date) {
    TVL_TRACE("BIInvReceive::FindFirstOrder");
    order_ = {};
    orderSearch_.reset();
    const char* condition = IsValidDate(date) && !date.IsNull() ? R"sql( "Date" = :1 AND )sql" : "";
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT %s FROM INVORDER WHERE %s "Inactive" = 0 AND "IsExternal" = 1 ORDER BY "Date", "Audit" DESC )sql",
        m_pDb->GetTableColumns(__LINE__, __FILE__, "INVORDER"), condition);
    WSIBVParametersInfo binds;
    binds.AddParameter(date);
    return OpenOrderSearch(sql, binds);
}

bool BIInvReceive::FindFirstOrder(const char* prefix, bool byPONumber) {
    TVL_TRACE("BIInvReceive::FindFirstOrder");
    order_ = {};
    orderSearch_.reset();
    WSIBVParametersInfo binds;
    binds.AddParameter(std::string(OrEmpty(prefix)) + "%");
    // The order number is compared as text, so that 12 finds 12, 120 and 1234.
    const char* column = byPONumber ? R"sql("PONumber")sql" : R"sql(TO_CHAR("InvOrder"))sql";
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT %s FROM INVORDER WHERE %s like :1 AND "Inactive" = 0 AND "IsExternal" = 1 ORDER BY %s, "Audit" DESC )sql",
        m_pDb->GetTableColumns(__LINE__, __FILE__, "INVORDER"), column, column);
    return OpenOrderSearch(sql, binds);
}

bool BIInvReceive::OpenOrderSearch(const char* sql, const WSIBVParametersInfo& binds) {
    orderSearch_ =
        m_pDb->QueryBV(__FILE__, __LINE__, sql, WSIResult(WSIInvOrder::Table(), &order_), binds);
    if (orderSearch_->GetFirst())
        return true;
    order_ = {};
    return false;
}

void BIInvReceive::LockLine(long line) {
    item_->InitRecord();
    item_->data.InvItem = line;
    if (!item_->GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
        throw RecordInUse();
}

void BIInvReceive::RefuseUsedLine() {
    // The line is set, not moved: stock already used from it would be counted twice.
    if (item_->data.Balance == item_->data.Quantity)
        return;
    item_->ReleaseLock();
    throw ReceiptLineUsedErr();
}

bool BIInvReceive::FindNextOrder() {
    TVL_TRACE("BIInvReceive::FindNextOrder");
    order_ = {};
    if (!orderSearch_)
        return false;
    if (orderSearch_->GetNext())
        return true;
    order_ = {};
    return false;
}

bool BIInvReceive::GetOrderDate(WSIDate& date) {
    TVL_TRACE("BIInvReceive::GetOrderDate");
    if (order_.InvOrder == 0 || !IsValidDate(order_.Date))
        return false;
    date = order_.Date;
    return true;
}

long BIInvReceive::GetOrderVendor(char* name, int size) {
    TVL_TRACE("BIInvReceive::GetOrderVendor");
    if (!name || size < 1)
        return 0;
    std::memset(name, 0, static_cast<std::size_t>(size));
    if (order_.InvOrder == 0)
        return 0;
    DBVendor vendor(m_pDb);
    vendor.InitRecord();
    vendor.data.Vendor = order_.Vendor;
    if (!vendor.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        return 0;
    CopyText(name, static_cast<std::size_t>(size), vendor.data.Name);
    return order_.Vendor;
}

bool BIInvReceive::GetOrderByLocation(char* invLoc, int size) {
    TVL_TRACE("BIInvReceive::GetOrderByLocation");
    if (!invLoc || size < 1)
        return false;
    std::memset(invLoc, 0, static_cast<std::size_t>(size));
    if (order_.InvOrder == 0)
        return false;
    CopyText(invLoc, static_cast<std::size_t>(size), order_.InvLoc);
    return true;
}

bool BIInvReceive::IsOrderApproved() {
    TVL_TRACE("BIInvReceive::IsOrderApproved");
    return order_.ApprovalUser != 0;
}

long BIInvReceive::GetInvOrderId(const char* poNumber) {
    TVL_TRACE("BIInvReceive::GetInvOrderId");
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT "InvOrder" FROM INVORDER WHERE "PONumber" = '%s' AND "Inactive" = 0 ORDER BY "Audit" DESC )sql",
        EscapeQuotes(OrEmpty(poNumber)).c_str());
    long invOrder = 0;
    if (!ReadFirst(sql, &invOrder))
        return 0;
    return invOrder;
}

short BIInvReceive::GetNextOrderItemNumber(const char* poNumber, long invOrder) {
    TVL_TRACE("BIInvReceive::GetNextOrderItemNumber");
    const long order = invOrder >= 1 ? invOrder : GetInvOrderId(poNumber);
    char sql[1024];
    TVL_FORMAT(sql, R"sql(SELECT MAX("Item") FROM INVORDIT WHERE "InvOrder" = %ld )sql", order);
    long last = 0;
    if (!ReadFirst(sql, &last))
        last = 0;
    return static_cast<short>(last + 1);
}

// ---------------------------------------------------------------------------------------
// Rows for the screen

WSITable* BIInvReceive::GetNextOrderRow() {
    TVL_TRACE("BIInvReceive::GetNextOrderRow");
    if (order_.InvOrder == 0) {
        orderRows_.reset();
        return nullptr;
    }
    return tavel::NextListRow(orderRows_, [this] {
        char sql[1024];
        TVL_FORMAT(sql,
                   "SELECT V.INVORDER, V.INACTIVE, V.PONUMBER, V.PODATE, V.VENDORNAME,  "
                   "V.INVORDIT, V.ITEM, V.STATUS, V.PRODUCTID, V.CATEGORY,  V.PRODUCTCODE, "
                   "V.DESCRIPTION, V.UPCCODE, V.ORDERQTY, V.UNIT, V.QTYFILLED,  "
                   "M.\"Quantity\" AS RECD FROM INVORDER_VIEW V, INVITEM M WHERE V.INVORDER = "
                   "%ld AND V.INACTIVE = 0 AND V.STATUS <> %ld AND M.\"InvRec\"(+) = %ld AND "
                   "M.\"Product\"(+) = V.PRODUCTID AND M.\"Type\"(+) = %ld AND "
                   "M.\"InvOrdIt\"(+) = V.INVORDIT ORDER BY 7 ",
                   order_.InvOrder, static_cast<long>(Status::Cancelled), receipt_->data.InvRec,
                   static_cast<long>(kReceiptType));
        return std::make_unique<WSIReceiveOrderCursor>(m_pDb, sql);
    });
}

WSITable* BIInvReceive::GetNewReceiptRow() {
    TVL_TRACE("BIInvReceive::GetNewReceiptRow");
    receiptRow_.reset();
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT V.INVREC, V.INVLOC, V.INVRECDATE, V.PONUMBER, V.PODATE,  V.VENDORNAME, "
               "V.INVITEM, V.ITEM, V.PRODUCTID, V.CATEGORY,  V.PRODUCTCODE, V.DESCRIPTION, "
               "V.UPCCODE, V.QUANTITY, V.UNIT,  V.EXPIRYDATE, V.QTYFILLED, V.RECD  FROM "
               "INVRECEIPT_VIEW V WHERE V.INVITEM = %ld ",
               item_->data.InvItem);
    receiptRow_ = std::make_unique<WSIReceiptRowCursor>(m_pDb, sql);
    receiptRow_->GetFirst();
    return receiptRow_.get();
}

WSITable* BIInvReceive::GetNewExpiryRow() {
    TVL_TRACE("BIInvReceive::GetNewExpiryRow");
    expiryRow_.reset();
    char sql[1024];
    TVL_FORMAT(sql, "SELECT V.EXPIRYDATE, V.RECD FROM INVRECEIPT_VIEW V WHERE V.INVITEM = %ld ",
               item_->data.InvItem);
    expiryRow_ = std::make_unique<WSIReceiptExpiryCursor>(m_pDb, sql);
    expiryRow_->GetFirst();
    return expiryRow_.get();
}

// ---------------------------------------------------------------------------------------
// Batch

void BIInvReceive::InitBatch(const char* invLoc, long vendor, const WSIDate* receiptDate,
                             const char* poNumber, const WSIDate* poDate) {
    TVL_TRACE("BIInvReceive::InitBatch");
    receipt_->InitRecord();
    if (receiptDate)
        receipt_->data.Date = *receiptDate;
    else
        m_pDb->GetCurrentDate(receipt_->data.Date);
    // The column holds six characters; a longer code is cut.
    CopyText(receipt_->data.InvLoc, OrEmpty(invLoc));
    receipt_->data.Vendor = vendor;
    if (!IsEmpty(poNumber)) {
        CopyText(receipt_->data.PONumber, poNumber);
        FindOrder(poNumber, order_.InvOrder);
    }
    if (poDate)
        receipt_->data.PODate = *poDate;
    orderRows_.reset();
    item_->InitRecord();
}

void BIInvReceive::CloseBatch() {
    TVL_TRACE("BIInvReceive::CloseBatch");
    if (receipt_->data.InvRec != 0) {
        char sql[1024];
        TVL_FORMAT(
            sql, R"sql(SELECT COUNT(1) FROM INVITEM I  WHERE I."InvRec" = %ld AND ROWNUM < 2 )sql",
            receipt_->data.InvRec);
        long lines = 0;
        if (!ReadFirst(sql, &lines))
            lines = 0;
        // A receipt without lines records nothing; a refused delete leaves it harmless.
        if (lines == 0)
            receipt_->DeleteDB(__FILE__, __LINE__, true);
    }
    order_ = {};
    orderRows_.reset();
    receipt_->InitRecord();
    item_->InitRecord();
}

bool BIInvReceive::ReopenBatch(long invRec) {
    TVL_TRACE("BIInvReceive::ReopenBatch");
    CloseBatch();
    receipt_->data.InvRec = invRec;
    if (invRec == 0 || !receipt_->GetEqual(__FILE__, __LINE__, dbiNOLOCK)) {
        receipt_->InitRecord();
        return false;
    }
    if (!IsEmpty(receipt_->data.PONumber))
        FindOrder(receipt_->data.PONumber, 0);
    return true;
}

// ---------------------------------------------------------------------------------------
// Receipt lines

long BIInvReceive::FindLine(long product, const WSIDate* expiry, bool matchRefNo,
                            const char* refNo) {
    TVL_TRACE("BIInvReceive::FindLine");
    WSIInvItem::WSIData line{};
    // A reference of its own picks its lines in the statement: a product's lines in a long
    // receipt run to hundreds, each read in full only to be compared. An empty reference
    // (stored as empty or as no value) and expiry dates are compared as read, below.
    char byRef[255] = "";
    if (matchRefNo && refNo && *refNo && std::strlen(refNo) < sizeof line.RefNo - 1)
        TVL_FORMAT(byRef, R"sql(AND "RefNo" = '%s' )sql", EscapeQuotes(refNo).c_str());
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT %s FROM INVITEM WHERE "InvRec" = %ld AND "Product" = %ld AND "Type" = %ld %s)sql",
        m_pDb->GetTableColumns(__LINE__, __FILE__, "INVITEM"), receipt_->data.InvRec, product,
        static_cast<long>(kReceiptType), byRef);
    auto cursor =
        m_pDb->Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvItem::Table(), &line), sql);
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        if (matchRefNo && std::strcmp(line.RefNo, OrEmpty(refNo)) != 0)
            continue;
        if (expiry && !(line.ExpiryDate == *expiry))
            continue;
        return line.InvItem;
    }
    return 0;
}

void BIInvReceive::Add(long product, short quantity, WSIDate* expiry, const char* refNo) {
    TVL_TRACE("BIInvReceive::Add");
    const bool newReceipt = receipt_->data.InvRec == 0;
    // A receipt header this line made goes with its abort: the next line makes it anew.
    auto forgetNewReceipt = [&] {
        if (newReceipt) {
            receipt_->data.InvRec = 0;
            receipt_->data.Audit = 0;
        }
    };
    tavel::InTransaction(
        m_pDb,
        [&] {
            if (!QuantityAllowed(quantity))
                throw InvalidQuantity();
            if (receipt_->data.InvRec == 0) {
                receipt_->data.Audit = receipt_->AddAuditEntry(1, nullptr);
                InsertOrThrow<DuplicateRecord>(*receipt_);
            }
            // Read once: the new line, the average cost and the detail all use it.
            ordItRead_ = {};
            const WSIProduct::WSIData prd = LockProduct(product);
            const long line = FindLine(product, expiry, true, refNo);
            if (line == 0) {
                AddInvItem(prd, quantity, expiry, refNo);
            } else {
                LockLine(line);
                item_->data.Quantity = static_cast<short>(item_->data.Quantity + quantity);
                item_->data.Balance += quantity;
                UpdateOrThrow<DeletedRecord>(*item_);
            }
            UpdateInvItDet(item_.get(), quantity, -1, prd, line == 0);
        },
        forgetNewReceipt);
}

WSIProduct::WSIData BIInvReceive::LockProduct(long product) {
    WSIProduct prd(m_pDb);
    prd.data.Product = product;
    if (product != 0 && prd.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
        return prd.data;
    // Told apart only when the lock failed: a product that is there is held elsewhere.
    if (product != 0 && prd.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        throw RecordInUse();
    throw InvalidProduct();
}

long BIInvReceive::AddInvItem(long product, short quantity, WSIDate* expiry, const char* refNo) {
    TVL_TRACE("BIInvReceive::AddInvItem");
    return AddInvItem(LockProduct(product), quantity, expiry, refNo);
}

long BIInvReceive::AddInvItem(const WSIProduct::WSIData& prd, short quantity, WSIDate* expiry,
                              const char* refNo) {
    WSIInvItem::WSIData& line = item_->data;
    const long product = prd.Product;
    item_->InitRecord();
    line.Type = kReceiptType;
    line.InvRec = receipt_->data.InvRec;
    CopyText(line.InvLoc, receipt_->data.InvLoc);
    line.Product = product;
    line.Quantity = quantity;
    line.Balance = quantity;
    CopyText(line.RefNo, OrEmpty(refNo));

    CopyText(line.Unit, prd.Unit);
    line.ItemsPerUnit = prd.ItemsPerUnit;
    CopyText(line.ItemUnit, prd.ItemUnit);
    line.CostPerUnit = prd.CostPerUnit;

    if (prd.TrackExpiryDate != 0) {
        if (!expiry || !IsValidDate(*expiry))
            throw InvalidExpiryDate();
        line.ExpiryDate = *expiry;
    }

    if (!IsEmpty(order_.PONumber)) {
        const long invOrder =
            order_.InvOrder >= 1 ? order_.InvOrder : GetInvOrderId(order_.PONumber);
        char sql[1024];
        TVL_FORMAT(
            sql,
            R"sql(SELECT %s FROM INVORDIT WHERE "InvOrder" = %ld AND "Product" = %ld AND "Status" <> %ld )sql",
            m_pDb->GetTableColumns(__LINE__, __FILE__, "INVORDIT"), invOrder, product,
            static_cast<long>(Status::Cancelled));
        WSIInvOrdIt::WSIData ordIt{};
        if (!ReadFirst(sql, WSIResult(WSIInvOrdIt::Table(), &ordIt)))
            throw InvalidPOProduct();
        ordItRead_ = ordIt;
        // What the order agreed to pay is what the stock cost.
        line.InvOrdIt = ordIt.InvOrdIt;
        line.CostPerUnit = ordIt.CostPerUnit;
    }

    line.Audit = item_->AddAuditEntry(1, nullptr);
    InsertOrThrow<InvItemErr>(*item_);
    return line.InvItem;
}

void BIInvReceive::Modify(long product, short quantity, WSIDate* expiry, const char* refNo) {
    TVL_TRACE("BIInvReceive::Modify");
    tavel::InTransaction(m_pDb, [&] {
        if (receipt_->data.InvRec == 0)
            throw NoEntryToModifyErr();
        const long line = FindLine(product, expiry, refNo != nullptr, refNo);
        if (line == 0)
            throw NoEntryToModifyErr();
        if (!QuantityAllowed(quantity))
            throw InvalidQuantity();
        LockLine(line);
        RefuseUsedLine();
        const short old = item_->data.Quantity;
        item_->data.Quantity = quantity;
        item_->data.Balance = quantity;
        UpdateOrThrow<DeletedRecord>(*item_);
        UpdateInvItDet(item_.get(), static_cast<short>(quantity - old), -1);
    });
}

void BIInvReceive::Delete(long product, short status, WSIDate* expiry, const char* refNo) {
    TVL_TRACE("BIInvReceive::Delete");
    tavel::InTransaction(m_pDb, [&] {
        const long line =
            receipt_->data.InvRec == 0 ? 0 : FindLine(product, expiry, refNo != nullptr, refNo);
        if (line != 0) {
            LockLine(line);
            RefuseUsedLine();
            DBInvItem copy(m_pDb);
            copy.data = item_->data;
            if (!item_->DeleteDB(__FILE__, __LINE__, true))
                throw RecordInUse();
            UpdateInvItDet(&copy, static_cast<short>(-copy.data.Quantity), status);
        }
    });
}

void BIInvReceive::UpdateInvItDet(DBInvItem* item, short quantityChange, short status) {
    TVL_TRACE("BIInvReceive::UpdateInvItDet");
    UpdateInvItDet(item, quantityChange, status, LockProduct(item->data.Product), false);
}

void BIInvReceive::UpdateInvItDet(DBInvItem* item, short quantityChange, short status,
                                  const WSIProduct::WSIData& prd, bool newLine) {
    const WSIInvItem::WSIData& line = item->data;
    UpdateAverageCost(item, quantityChange, prd);
    UpdatePrdLoc(line.InvLoc, line.Product, quantityChange);

    // A line stored by this unit of work has a fresh id: no detail can name it yet.
    long detail = 0;
    if (!newLine) {
        char sql[1024];
        TVL_FORMAT(
            sql, R"sql(SELECT "InvItDet" FROM INVITDET WHERE "InvItem" = %ld AND "Type" = %ld )sql",
            line.InvItem, static_cast<long>(kReceiptType));
        if (!ReadFirst(sql, &detail))
            detail = 0;
    }
    BIInventory::UpdateInvItDet(detail, item, kReceiptType, line.InvLoc, line.Product,
                                quantityChange, line.Audit, nullptr, -1.0, 0, 0, nullptr);
    // A new line's order item was read by this unit of work when the line was made.
    if (newLine && line.InvOrdIt != 0 && ordItRead_.InvOrdIt == line.InvOrdIt)
        BIInventory::UpdateInvOrdIt(ordItRead_, quantityChange, status);
    else
        UpdateInvOrdIt(line.InvOrdIt, line.InvLoc, line.Product, quantityChange, status);
}

void BIInvReceive::UpdateAverageCost(DBInvItem* item, double quantityChange) {
    TVL_TRACE("BIInvReceive::UpdateAverageCost");
    UpdateAverageCost(item, quantityChange, LockProduct(item->data.Product));
}

void BIInvReceive::UpdateAverageCost(DBInvItem* item, double quantityChange,
                                     const WSIProduct::WSIData& prd) {
    const long product = item->data.Product;
    // The location balances, the stock items' balances and their value, in one statement.
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT (SELECT SUM("Balance") FROM PRDLOC WHERE "Product" = %ld) AS LOCATIONS, SUM("Balance") AS ITEMS, SUM("Balance" * "CostPerUnit") AS ITEMVALUE FROM INVITEM WHERE "Product" = %ld )sql",
        product, product);
    CostSums sums{};
    if (!ReadFirst(sql, WSIResult(kCostSums, &sums)))
        sums = {};
    const double locations = sums.LOCATIONS;
    const double items = sums.ITEMS;
    const double value = sums.ITEMVALUE;
    // The stock items already hold the change, the locations not yet.
    const double expected = locations + quantityChange;
    if (items != expected)
        throw InvPrdLocBalanceErr();

    double average = 0.0;
    if (expected != 0) {
        if (prd.CostingMethod == tavel::CostingMethod::RunningAverage)
            average =
                (locations * prd.AverageCost + quantityChange * item->data.CostPerUnit) / expected;
        else
            average = value / items;
        average = RoundToCents(average);
    }
    // Written through the product's table rules: a product whose master data is no longer
    // valid refuses the receipt with its own message. The row is the one this unit of work
    // read under its lock, so its codes are the stored ones.
    DBProduct row(m_pDb);
    row.InitRecord();
    row.data = prd;
    row.data.AverageCost = average;
    row.SetStoredCodes(prd.ProductCode, prd.UPCCode);
    UpdateOrThrow<AvgCostErr>(row);
}

// ---------------------------------------------------------------------------------------
// Order lines

bool BIInvReceive::ProductFound(long product, WSIProduct::WSIData& out, bool activeOnly) {
    TVL_TRACE("BIInvReceive::ProductFound");
    WSIProduct prd(m_pDb);
    prd.data.Product = product;
    if (product == 0 || !prd.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        return false;
    out = prd.data;
    return !activeOnly || prd.data.Inactive == 0;
}

void BIInvReceive::AddOrderItem(long product, short quantity) {
    TVL_TRACE("BIInvReceive::AddOrderItem");
    if (order_.InvOrder == 0)
        throw InvalidPONumber();
    WSIProduct::WSIData prd{};
    if (!ProductFound(product, prd, true))
        throw InvalidProduct();
    if (quantity < 0)
        throw InvalidQuantity();
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT "InvOrdIt" FROM INVORDIT WHERE "InvOrder" = %ld AND "Product" = %ld AND "Status" <> %ld )sql",
        order_.InvOrder, product, static_cast<long>(Status::Cancelled));
    long existing = 0;
    if (!ReadFirst(sql, &existing))
        existing = 0;

    DBInvOrdIt ordIt(m_pDb);
    ordIt.InitRecord();
    if (existing == 0) {
        ordIt.data.InvOrder = order_.InvOrder;
        ordIt.data.Item = GetNextOrderItemNumber(order_.PONumber, order_.InvOrder);
        ordIt.data.Product = product;
        ordIt.data.Quantity = quantity;
        CopyText(ordIt.data.Unit, prd.Unit);
        ordIt.data.CostPerUnit = prd.CostPerUnit;
        InsertOrThrow<OrdItAddErr>(ordIt);
        return;
    }
    ordIt.data.InvOrdIt = existing;
    if (!ordIt.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
        throw RecordInUse();
    ordIt.data.Quantity = static_cast<short>(ordIt.data.Quantity + quantity);
    UpdateOrThrow<OrdItAddErr>(ordIt);
}

void BIInvReceive::CleanupOrderItem(long product) {
    TVL_TRACE("BIInvReceive::CleanupOrderItem");
    WSIProduct::WSIData prd{};
    if (order_.InvOrder == 0 || !ProductFound(product, prd, true))
        return;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT "InvOrdIt" FROM INVORDIT WHERE "InvOrder" = %ld AND "Product" = %ld AND "Status" <> %ld AND "Quantity" = 0 AND "QtyFilled" = 0 )sql",
        order_.InvOrder, product, static_cast<long>(Status::Cancelled));
    long empty = 0;
    if (!ReadFirst(sql, &empty) || empty == 0)
        return;
    DBInvOrdIt ordIt(m_pDb);
    ordIt.InitRecord();
    ordIt.data.InvOrdIt = empty;
    if (!ordIt.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
        throw RecordInUse();
    if (!ordIt.DeleteDB(__FILE__, __LINE__, true))
        throw RecordInUse();
}

// ---------------------------------------------------------------------------------------
// Back orders

void BIInvReceive::BackOrder(const char* poNumber, long invOrder, long product) {
    TVL_TRACE("BIInvReceive::BackOrder");
    const long order = invOrder >= 1 ? invOrder : GetInvOrderId(poNumber);
    if (order == 0)
        throw InvalidPONumber();
    WSIProduct::WSIData prd{};
    if (!ProductFound(product, prd, true))
        throw InvalidProduct();
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT "InvOrdIt" FROM INVORDIT WHERE "InvOrder" = %ld AND "Product" = %ld AND "Status" <> %ld )sql",
        order, product, static_cast<long>(Status::Cancelled));
    long ordIt = 0;
    if (!ReadFirst(sql, &ordIt) || ordIt == 0)
        throw InvalidPOProduct();
    BIInventory::BackOrder(ordIt);
}

bool BIInvReceive::PartialReceiptsNotBackOrdered() {
    TVL_TRACE("BIInvReceive::PartialReceiptsNotBackOrdered");
    if (receipt_->data.InvRec == 0)
        return false;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM INVORDIT I WHERE I."InvOrder" = %ld AND I."QtyFilled" < I."Quantity" AND I."Status" != %ld AND I."Status" != %ld AND I."Status" != %ld AND I."Status" != %ld AND ROWNUM < 2)sql",
        order_.InvOrder, static_cast<long>(Status::BackOrdered),
        static_cast<long>(Status::Cancelled), static_cast<long>(Status::Closed),
        static_cast<long>(Status::Filled));
    long count = 0;
    return ReadFirst(sql, &count) && count > 0;
}

void BIInvReceive::AutoBackOrder() {
    TVL_TRACE("BIInvReceive::AutoBackOrder");
    BIInventory::AutoBackOrder(order_.InvOrder);
}

void BIInvReceive::Print(WSIWindow* parent, bool preview) {
    TVL_TRACE("BIInvReceive::Print");
    const bool withOrder = order_.InvOrder != 0;
    const WSIInvRec::WSIData& receipt = receipt_->data;
    ST_FORMULAS formulas[4];
    int count = 0;
    char value[32];
    if (!withOrder) {
        TVL_FORMAT(value, "%ld", receipt.InvRec);
        SetStringFormula(formulas[count++], "InvRec", value);
    }
    if (IsValidDate(receipt.Date)) {
        // The receipt layout shows dates as month/day/year.
        TVL_FORMAT(value, "%02d/%02d/%04d", static_cast<int>(receipt.Date.month),
                   static_cast<int>(receipt.Date.day), static_cast<int>(receipt.Date.year));
        SetStringFormula(formulas[count++], "InvRecDate", value);
    }
    DBInvLoc loc(m_pDb);
    loc.InitRecord();
    CopyText(loc.data.InvLoc, receipt.InvLoc);
    if (!IsEmpty(receipt.InvLoc) && loc.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        SetStringFormula(formulas[count++], "InvRecLoc", loc.data.Name);
    DBVendor vendor(m_pDb);
    vendor.InitRecord();
    vendor.data.Vendor = receipt.Vendor;
    if (receipt.Vendor != 0 && vendor.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        SetStringFormula(formulas[count++], "VendorName", vendor.data.Name);

    WSIApplication* host = nullptr;
    if (WSIInventoryApp* app = tavel::CurrentInventoryApp())
        host = app->GetHostApplication();
    char title[512] = "";
    if (host)
        host->LoadString(kReceiptReportTitle, title, sizeof title);
    auto report = std::make_unique<CCrystalReportObj>(host ? host->GetCrystalEngine() : nullptr,
                                                      withOrder ? "InvOrdRec.rpt" : "InvRec.rpt",
                                                      title, preview ? 1 : 0, parent);
    report->SetFormulas(formulas, count);
    if (withOrder) {
        report->SetFormulaError(true);
        CRPEValueInfo params[2];
        params[0].kind = CRPEValueInfo::Number;
        params[0].number = static_cast<double>(order_.InvOrder);
        params[1].kind = CRPEValueInfo::Number;
        params[1].number = static_cast<double>(receipt.InvRec);
        report->SetParameter(params, 2);
    }
    report->Print(false, true);
    report.reset();
}

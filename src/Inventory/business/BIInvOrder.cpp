#include "BIInvOrder.h"

#include "BIException.h"
#include "BoundedFormat.h"
#include "CCrystalReportObj.h"
#include "DBInvOType.h"
#include "DBPrdLoc.h"
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

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string>

using tavel::tables::CopyText;
namespace St = tavel::OrdItStatus;

TVL_ROW_DESC(WSIOrderLineRow, "INVORDIT", TVL_ORDER_LINE_ROW_COLUMNS)

namespace {

WSIApplication* Host() {
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    return app ? app->GetHostApplication() : nullptr;
}

bool IsOneOf(short status, std::initializer_list<short> set) {
    for (short s : set)
        if (status == s)
            return true;
    return false;
}

// The order type's own report layout, as stored; empty when it has none. The layout is
// a blob beside the record's columns, so it is read with its own statement.
std::string ReadOrderTypeLayout(WSIDatabase* db, const char* invOType) {
    std::string layout;
    if (!db)
        return layout;
    WSIBVParametersInfo bv;
    bv.AddParameter(invOType);
    db->QueryBytes(__FILE__, __LINE__,
                   "SELECT \"ReportLayout\" FROM INVOTYPE WHERE \"InvOType\" = :1", bv, layout);
    return layout;
}

// A number that names the order type in a file name: the code's characters, one byte each.
long OrderTypeFileNumber(const char* invOType) {
    unsigned long n = 0;
    for (std::size_t i = 0; invOType[i] && i < sizeof(long); ++i)
        n = (n << 8) | static_cast<unsigned char>(invOType[i]);
    return static_cast<long>(n);
}

} // namespace

WSIOrderLineCursor::WSIOrderLineCursor(WSIDatabase* db, const char* sql)
    : WSITable(__FILE__, __LINE__, 0, db, sql, WSIResult(WSIOrderLineRow::Table(), &row)) {
    TVL_TRACE("WSIOrderLineCursor::WSIOrderLineCursor");
}

// A query cursor has no record of its own; the row's descriptor answers instead.
bool WSIOrderLineCursor::GetFieldText(const char* column, char* buffer, int size) {
    TVL_TRACE("WSIOrderLineCursor::GetFieldText");
    WSITable view(nullptr, WSIOrderLineRow::Table(), &row);
    return view.GetFieldText(column, buffer, size);
}

int WSIOrderLineCursor::GetFieldLength(const char* column) {
    TVL_TRACE("WSIOrderLineCursor::GetFieldLength");
    WSITable view(nullptr, WSIOrderLineRow::Table(), &row);
    return view.GetFieldLength(column);
}

BIInvOrder::BIInvOrder(WSIDatabase* db) : BIInventory(db), m_Order(db), m_OrderItem(db) {
    TVL_TRACE("BIInvOrder::BIInvOrder");
    m_Order.InitRecord();
    m_OrderItem.InitRecord();
}

BIInvOrder::~BIInvOrder() {
    TVL_TRACE("BIInvOrder::~BIInvOrder");
}

// ---------------------------------------------------------------------------------------
// Reading the order

void BIInvOrder::ClearOrder() {
    TVL_TRACE("BIInvOrder::ClearOrder");
    m_Order.InitRecord();
}

bool BIInvOrder::FindOrder(long invOrder) {
    TVL_TRACE("BIInvOrder::FindOrder");
    m_Order.InitRecord();
    m_Order.data.InvOrder = invOrder;
    return m_Order.GetEqual(__FILE__, __LINE__, dbiNOLOCK);
}

bool BIInvOrder::FindOrder(const char* poNumber) {
    TVL_TRACE("BIInvOrder::FindOrder");
    m_Order.InitRecord();
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT \"InvOrder\" FROM INVORDER WHERE \"PONumber\" = '%s' AND \"Inactive\" = 0 "
               "ORDER BY \"Audit\" DESC ",
               tavel::EscapeQuotes(poNumber).c_str());
    long invOrder = 0;
    if (!ReadFirst(sql, &invOrder))
        return false;
    m_Order.data.InvOrder = invOrder;
    return m_Order.GetEqual(__FILE__, __LINE__, dbiNOLOCK);
}

long BIInvOrder::GetOrderNumber() {
    TVL_TRACE("BIInvOrder::GetOrderNumber");
    return m_Order.data.InvOrder;
}

bool BIInvOrder::GetIsExternal() {
    TVL_TRACE("BIInvOrder::GetIsExternal");
    return m_Order.data.IsExternal != 0;
}

bool BIInvOrder::GetOrderDate(WSIDate& date) {
    TVL_TRACE("BIInvOrder::GetOrderDate");
    if (m_Order.data.InvOrder == 0 || m_Order.data.Date.IsNull())
        return false;
    date = m_Order.data.Date;
    return true;
}

long BIInvOrder::GetOrderVendor(char* name) {
    TVL_TRACE("BIInvOrder::GetOrderVendor");
    if (name) {
        name[0] = '\0';
        if (m_Order.data.InvOrder != 0) {
            WSIVendor vendor(m_pDb);
            vendor.data.Vendor = m_Order.data.Vendor;
            if (vendor.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
                std::memcpy(name, vendor.data.Name, std::strlen(vendor.data.Name) + 1);
        }
    }
    return m_Order.data.Vendor;
}

WSIInvOrder::WSIData* BIInvOrder::GetOrderData() {
    TVL_TRACE("BIInvOrder::GetOrderData");
    return &m_Order.data;
}

long BIInvOrder::CountOf(const char* sql) {
    TVL_TRACE("BIInvOrder::CountOf");
    long count = 0;
    if (!ReadFirst(sql, &count))
        return 0;
    return count;
}

bool BIInvOrder::OrderHasItems() {
    TVL_TRACE("BIInvOrder::OrderHasItems");
    if (m_Order.data.InvOrder == 0)
        return false;
    char sql[1024];
    TVL_FORMAT(sql, "SELECT COUNT(1) FROM INVORDIT WHERE \"InvOrder\" = %ld AND ROWNUM < 2",
               m_Order.data.InvOrder);
    return CountOf(sql) > 0;
}

bool BIInvOrder::OrderIsInProgress() {
    TVL_TRACE("BIInvOrder::OrderIsInProgress");
    if (m_Order.data.InvOrder == 0)
        return false;
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT COUNT(1) FROM INVORDIT  WHERE \"InvOrder\" = %ld AND \"Status\" NOT IN "
               "(%d,%d,%d,%d,%d) AND ROWNUM < 2",
               m_Order.data.InvOrder, St::Ordered, St::InReview, St::Requested, St::Purchased,
               St::Cancelled);
    return CountOf(sql) > 0;
}

bool BIInvOrder::OrderIsPurchased() {
    TVL_TRACE("BIInvOrder::OrderIsPurchased");
    if (m_Order.data.InvOrder == 0)
        return false;
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT COUNT(1) FROM INVORDIT  WHERE \"InvOrder\" = %ld AND \"Status\" NOT IN "
               "(%d,%d,%d,%d) AND ROWNUM < 2",
               m_Order.data.InvOrder, St::Ordered, St::InReview, St::Requested, St::Cancelled);
    return CountOf(sql) > 0;
}

// ---------------------------------------------------------------------------------------
// Reading lines

void BIInvOrder::ClearOrderItem() {
    TVL_TRACE("BIInvOrder::ClearOrderItem");
    m_OrderItem.InitRecord();
}

bool BIInvOrder::FindOrderItem(long invOrdIt) {
    TVL_TRACE("BIInvOrder::FindOrderItem");
    m_OrderItem.InitRecord();
    m_OrderItem.data.InvOrdIt = invOrdIt;
    return m_OrderItem.GetEqual(__FILE__, __LINE__, dbiNOLOCK);
}

bool BIInvOrder::FindOrderItemByProduct(long product) {
    TVL_TRACE("BIInvOrder::FindOrderItemByProduct");
    m_OrderItem.InitRecord();
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT \"InvOrdIt\" FROM INVORDIT WHERE  \"InvOrder\" = %ld AND \"Product\" = %ld "
               "AND \"Status\" <> %d ",
               m_Order.data.InvOrder, product, St::Cancelled);
    long invOrdIt = 0;
    if (!ReadFirst(sql, &invOrdIt))
        return false;
    m_OrderItem.data.InvOrdIt = invOrdIt;
    return m_OrderItem.GetEqual(__FILE__, __LINE__, dbiNOLOCK);
}

long BIInvOrder::GetOrderItemNumber() {
    TVL_TRACE("BIInvOrder::GetOrderItemNumber");
    return m_OrderItem.data.InvOrdIt;
}

bool BIInvOrder::GetOrderItemProductId(long& product) {
    TVL_TRACE("BIInvOrder::GetOrderItemProductId");
    product = m_OrderItem.data.Product;
    return product > 0;
}

bool BIInvOrder::GetOrderItemQuantity(short& quantity) {
    TVL_TRACE("BIInvOrder::GetOrderItemQuantity");
    quantity = m_OrderItem.data.Quantity;
    return m_OrderItem.data.InvOrdIt != 0;
}

DBInvOrdIt* BIInvOrder::GetOrderItemTable() {
    TVL_TRACE("BIInvOrder::GetOrderItemTable");
    return &m_OrderItem;
}

WSIInvOrdIt::WSIData* BIInvOrder::GetOrderItemData() {
    TVL_TRACE("BIInvOrder::GetOrderItemData");
    return &m_OrderItem.data;
}

WSITable* BIInvOrder::GetNextOrderRow() {
    TVL_TRACE("BIInvOrder::GetNextOrderRow");
    if (m_Order.data.InvOrder == 0)
        return nullptr;
    return tavel::NextListRow(m_pLineCursor, [this] {
        char sql[1024];
        TVL_FORMAT(sql,
                   "SELECT I.\"InvOrdIt\", I.\"Item\", P.\"Product\",  C.\"Description\" "
                   "\"CatDescription\", P.\"ProductCode\",  I.\"Description\", I.\"Quantity\", "
                   "I.\"Unit\", I.\"QtyFilled\", I.\"Status\", I.\"NeedBy\",  "
                   "CAST(TRIM(SUBSTR(NVL(I.\"Comment\", ' '), 0, 128)) AS VARCHAR2(128)) "
                   "\"Comment\"  FROM INVORDIT I, PRODUCT P, PRDCAT C  WHERE I.\"InvOrder\" = %ld "
                   "AND I.\"Product\" = P.\"Product\" (+) AND  P.\"PrdType\" = C.\"PrdType\" (+) "
                   "AND P.\"PrdCat\" = C.\"PrdCat\" (+)  ORDER BY I.\"Item\" ",
                   m_Order.data.InvOrder);
        return std::make_unique<WSIOrderLineCursor>(m_pDb, sql);
    });
}

// ---------------------------------------------------------------------------------------
// Copying screen data

void BIInvOrder::CopyOrderFields(const WSIInvOrder::WSIData* data) {
    TVL_TRACE("BIInvOrder::CopyOrderFields");
    WSIInvOrder::WSIData& o = m_Order.data;
    o.Date = data->Date;
    o.IsExternal = data->IsExternal;
    CopyText(o.InvOType, data->InvOType);
    o.SpecialOrder = data->SpecialOrder;
    CopyText(o.InvLoc, data->InvLoc);
    o.ApprovalUser = data->ApprovalUser;
    o.Recurs = data->Recurs;
    if (o.IsExternal == 0) {
        CopyText(o.InvLocFrom, data->InvLocFrom);
        o.PONumber[0] = '\0';
        // An internal special order may still name the vendor that supplies the item.
        o.Vendor = o.SpecialOrder != 0 ? data->Vendor : 0;
    } else {
        o.Vendor = data->Vendor;
        CopyText(o.PONumber, data->PONumber);
        o.InvLocFrom[0] = '\0';
    }
}

void BIInvOrder::CopyOrderItemFields(const WSIInvOrdIt::WSIData* data) {
    TVL_TRACE("BIInvOrder::CopyOrderItemFields");
    WSIInvOrdIt::WSIData& it = m_OrderItem.data;
    it.Product = data->Product;
    it.Quantity = data->Quantity;
    CopyText(it.Description, data->Description);
    CopyText(it.Unit, data->Unit);
    it.NeedBy = data->NeedBy;
    it.CostPerUnit = m_Order.data.IsExternal != 0 ? data->CostPerUnit : 0.0;
    CopyText(it.Comment, data->Comment);

    // Locked until the transaction ends, so the flags stay true while the line is written.
    DBPrdLoc prdLoc(m_pDb);
    prdLoc.data.Product = it.Product;
    CopyText(prdLoc.data.InvLoc, m_Order.data.InvLoc);
    if (prdLoc.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
        it.StockedAtLoc = prdLoc.data.Stocked;
    if (m_Order.data.InvLocFrom[0] != '\0') {
        DBPrdLoc from(m_pDb);
        from.data.Product = it.Product;
        CopyText(from.data.InvLoc, m_Order.data.InvLocFrom);
        if (from.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
            it.StockedAtFrom = from.data.Stocked;
    }
}

void BIInvOrder::CheckOrderQuantity(const WSIInvOrdIt::WSIData* data) {
    TVL_TRACE("BIInvOrder::CheckOrderQuantity");
    if (m_Order.data.SpecialOrder == 0 && data->Quantity == 0)
        throw InvalidOrderQuantity();
    const bool isNew = m_OrderItem.data.InvOrdIt == 0;
    const bool stillOpen =
        IsOneOf(m_OrderItem.data.Status, {St::Ordered, St::InReview, St::Requested});
    // Once purchased or later, the quantity reflects what was really ordered or delivered.
    if (!isNew && !(stillOpen && data->Quantity != m_OrderItem.data.Quantity))
        return;
    WSIPrdLoc prdLoc(m_pDb);
    prdLoc.data.Product = data->Product;
    CopyText(prdLoc.data.InvLoc, m_Order.data.InvLoc);
    if (!prdLoc.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        return;
    if (prdLoc.data.MaxCount > 0 && data->Quantity > prdLoc.data.MaxCount)
        throw OrderMoreThanMaxErr();
    if (prdLoc.data.MinToOrder > 0 && data->Quantity < prdLoc.data.MinToOrder)
        throw OrderLessThanMinErr();
}

short BIInvOrder::GetNextOrderItemNumber() {
    TVL_TRACE("BIInvOrder::GetNextOrderItemNumber");
    if (m_Order.data.InvOrder == 0)
        return 0;
    char sql[1024];
    TVL_FORMAT(sql, "SELECT MAX(\"Item\") FROM INVORDIT WHERE \"InvOrder\" = %ld ",
               m_Order.data.InvOrder);
    long highest = 0;
    if (!ReadFirst(sql, &highest))
        highest = 0;
    return static_cast<short>(highest + 1);
}

void BIInvOrder::SetNextOrderItemNumber() {
    TVL_TRACE("BIInvOrder::SetNextOrderItemNumber");
    if (m_Order.data.InvOrder != 0)
        m_OrderItem.data.Item = GetNextOrderItemNumber();
}

// ---------------------------------------------------------------------------------------
// Changing the order

void BIInvOrder::RereadOrder() {
    TVL_TRACE("BIInvOrder::RereadOrder");
    if (m_Order.data.InvOrder == 0)
        return;
    m_Order.ForceReread();
    if (!m_Order.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        m_Order.InitRecord();
}

void BIInvOrder::RereadOrderItem() {
    TVL_TRACE("BIInvOrder::RereadOrderItem");
    if (m_OrderItem.data.InvOrdIt == 0)
        return;
    m_OrderItem.ForceReread();
    if (!m_OrderItem.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        m_OrderItem.InitRecord();
}

void BIInvOrder::Init(const WSIInvOrder::WSIData* data) {
    TVL_TRACE("BIInvOrder::Init");
    // The screen may hand in the record itself; copy before clearing.
    const WSIInvOrder::WSIData copy = data ? *data : WSIInvOrder::WSIData{};
    m_Order.InitRecord();
    if (data)
        CopyOrderFields(&copy);
}

void BIInvOrder::ModifyOrder(const WSIInvOrder::WSIData* data) {
    TVL_TRACE("BIInvOrder::ModifyOrder");
    tavel::InTransaction(
        m_pDb,
        [&] {
            if (!data || m_Order.data.InvOrder == 0)
                throw OrderModifyErr();
            const WSIInvOrder::WSIData edited = *data; // survives the re-read below
            LockForUpdate(m_Order);
            CopyOrderFields(&edited);
            UpdateOrThrow<DeletedRecord>(m_Order);
        },
        [this] { RereadOrder(); });
}

void BIInvOrder::CancelOrder() {
    TVL_TRACE("BIInvOrder::CancelOrder");
    tavel::InTransaction(m_pDb, [this] {
        if (m_Order.data.InvOrder == 0)
            throw OrderDeleteErr();
        if (!m_Order.DeleteDB(__FILE__, __LINE__, false))
            throw RecordInUse();
    });
    m_OrderItem.InitRecord();
    m_Order.InitRecord();
}

void BIInvOrder::Add(const WSIInvOrdIt::WSIData* data, bool skipQuantityCheck) {
    TVL_TRACE("BIInvOrder::Add");
    tavel::InTransaction(
        m_pDb,
        [&] {
            if (!data)
                throw OrderAddErr();
            const WSIInvOrdIt::WSIData line = *data; // the record is cleared below
            if (m_Order.data.InvOrder == 0) {
                if (m_Order.data.InvLoc[0] == '\0')
                    throw OrderAddOrderedByErr();
                m_Order.data.Audit = m_Order.AddAuditEntry(1, nullptr);
                InsertOrThrow<DuplicateRecord>(m_Order);
                if (m_pDb->DBEngineToUse() == 1) {
                    m_Order.ForceReread();
                    m_Order.GetEqual(__FILE__, __LINE__, dbiNOLOCK);
                }
            }
            if (!skipQuantityCheck)
                CheckOrderQuantity(&line);
            m_OrderItem.InitRecord();
            m_OrderItem.data.Status = m_Order.data.IsExternal == 0 ? St::Requested : St::Ordered;
            CopyOrderItemFields(&line);
            m_OrderItem.data.InvOrder = m_Order.data.InvOrder;
            SetNextOrderItemNumber();
            InsertOrThrow<DuplicateRecord>(m_OrderItem);
        },
        [this] {
            // An order never stored cannot be read back by its key: the header goes too.
            if (m_Order.data.InvOrder == 0)
                m_Order.InitRecord();
            else
                RereadOrder();
            m_OrderItem.InitRecord();
        });
}

void BIInvOrder::Modify(const WSIInvOrdIt::WSIData* data, bool skipQuantityCheck) {
    TVL_TRACE("BIInvOrder::Modify");
    tavel::InTransaction(
        m_pDb,
        [&] {
            if (!data || m_OrderItem.data.InvOrdIt == 0)
                throw OrderModifyErr();
            const WSIInvOrdIt::WSIData line = *data; // survives the re-read below
            if (!skipQuantityCheck)
                CheckOrderQuantity(&line);
            LockForUpdate(m_OrderItem);
            CopyOrderItemFields(&line);
            UpdateOrThrow<DeletedRecord>(m_OrderItem);
        },
        [this] { RereadOrderItem(); });
}

void BIInvOrder::Delete() {
    TVL_TRACE("BIInvOrder::Delete");
    tavel::InTransaction(m_pDb, [this] {
        if (m_Order.data.InvOrder == 0 || m_OrderItem.data.InvOrdIt == 0)
            throw OrderDeleteErr();
        if (!m_OrderItem.DeleteDB(__FILE__, __LINE__, true))
            throw RecordInUse();
    });
    m_OrderItem.InitRecord();
}

void BIInvOrder::UpdateItemStatus(int newStatus, long invOrder, long invOrdIt) {
    TVL_TRACE("BIInvOrder::UpdateItemStatus");
    tavel::InTransaction(
        m_pDb,
        [&] {
            const bool idsGiven = invOrder > 0 || invOrdIt > 0;
            bool lineRead = false;
            if (idsGiven) {
                m_Order.InitRecord();
                m_OrderItem.InitRecord();
                if (invOrder > 0 && invOrdIt > 0) {
                    m_Order.data.InvOrder = invOrder;
                    m_Order.GetEqual(__FILE__, __LINE__, dbiNOLOCK);
                    m_OrderItem.data.InvOrdIt = invOrdIt;
                    lineRead = m_OrderItem.GetEqual(__FILE__, __LINE__, dbiWRITELOCK);
                }
            }
            if (m_Order.data.InvOrder == 0 || m_OrderItem.data.InvOrdIt == 0) {
                if (idsGiven)
                    m_OrderItem.ReleaseLock();
                throw OrderModifyErr();
            }
            if (idsGiven && !lineRead)
                throw RecordInUse();
            if (invOrdIt == 0)
                LockForUpdate(m_OrderItem);

            WSIInvOrdIt::WSIData& it = m_OrderItem.data;
            const short current = it.Status;
            const bool external = m_Order.data.IsExternal != 0;
            auto refuse = [this](auto exception) {
                m_OrderItem.ReleaseLock();
                throw exception;
            };
            switch (newStatus) {
            case St::InReview:
                if (current != St::Requested || external)
                    refuse(InvalidOrderCannotReview());
                break;
            case St::Ordered:
                if (!IsOneOf(current, {St::Requested, St::InReview}) || external)
                    refuse(InvalidOrderCannotOrder());
                break;
            case St::Purchased:
                if (external && !IsOneOf(current, {St::Ordered, St::InReview, St::Requested}))
                    refuse(InvalidOrderCannotPurchase());
                break;
            case St::Cancelled:
                if (IsOneOf(current, {St::Cancelled, St::Closed, St::Filled}) || it.QtyFilled > 0)
                    refuse(InvalidOrderCannotCancel());
                break;
            case St::BackOrdered:
                it.WasBackOrdered = 1;
                if (IsOneOf(current, {St::Cancelled, St::BackOrdered, St::Filled}) ||
                    it.Quantity <= it.QtyFilled)
                    refuse(InvalidOrderCannotBackOrder());
                break;
            case St::Closed:
            case St::Filled:
                if (IsOneOf(current, {St::Cancelled, St::Closed, St::Filled}))
                    refuse(InvalidOrderCannotClose());
                break;
            default:
                break;
            }
            it.Status = static_cast<short>(newStatus);
            UpdateOrThrow<DeletedRecord>(m_OrderItem);
        },
        [this] { RereadOrderItem(); });
}

long BIInvOrder::OrderIdOrCurrent(long invOrder) const {
    TVL_TRACE("BIInvOrder::OrderIdOrCurrent");
    return invOrder != 0 ? invOrder : m_Order.data.InvOrder;
}

bool BIInvOrder::CanCancelAllItems(long invOrder) {
    TVL_TRACE("BIInvOrder::CanCancelAllItems");
    const long order = OrderIdOrCurrent(invOrder);
    if (order == 0)
        return false;
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT COUNT(1) FROM INVORDIT WHERE \"InvOrder\" = %ld  AND (\"Status\" = %d OR "
               "\"QtyFilled\" > 0) ",
               order, St::Closed);
    return CountOf(sql) == 0;
}

void BIInvOrder::CancelAllItems(long invOrder) {
    TVL_TRACE("BIInvOrder::CancelAllItems");
    const long order = OrderIdOrCurrent(invOrder);
    if (order == 0)
        throw OrderModifyErr();
    if (!CanCancelAllItems(order))
        throw InvalidOrderCannotCancel();
    char sql[1024];
    TVL_FORMAT(sql,
               "UPDATE INVORDIT SET \"Status\" = %d  WHERE \"InvOrder\" = %ld AND \"Status\" NOT "
               "IN (%d,%d)  AND \"QtyFilled\" = 0 ",
               St::Cancelled, order, St::Cancelled, St::Closed);
    WSITable::QExecDirect(__FILE__, __LINE__, m_pDb, sql);
}

bool BIInvOrder::CanPurchaseAllItems(long invOrder) {
    TVL_TRACE("BIInvOrder::CanPurchaseAllItems");
    const long order = OrderIdOrCurrent(invOrder);
    if (order == 0)
        return false;
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT COUNT(1) FROM INVORDER I, INVORDIT T  WHERE I.\"InvOrder\" = %ld AND "
               "I.\"InvOrder\" = T.\"InvOrder\"  AND (T.\"Status\" NOT IN (%d,%d,%d,%d,%d) OR "
               "I.\"IsExternal\" = 0) ",
               order, St::Ordered, St::InReview, St::Requested, St::Purchased, St::Cancelled);
    return CountOf(sql) == 0;
}

void BIInvOrder::PurchaseAllItems(long invOrder) {
    TVL_TRACE("BIInvOrder::PurchaseAllItems");
    const long order = OrderIdOrCurrent(invOrder);
    if (order == 0)
        throw OrderModifyErr();
    if (!CanPurchaseAllItems(order))
        throw InvalidOrderCannotPurchase();
    char sql[1024];
    TVL_FORMAT(sql,
               "UPDATE INVORDIT SET \"Status\" = %d  WHERE \"InvOrder\" = %ld AND \"Status\" NOT "
               "IN (%d,%d) ",
               St::Purchased, order, St::Cancelled, St::Purchased);
    WSITable::QExecDirect(__FILE__, __LINE__, m_pDb, sql);
}

// ---------------------------------------------------------------------------------------
// Printing

void BIInvOrder::Print(WSIWindow* parent, bool preview, const void* loginInfo) {
    TVL_TRACE("BIInvOrder::Print");
    (void)loginInfo;
    if (m_Order.data.InvOrder == 0)
        return;
    char reportFile[1024] = "InvOrder.rpt";
    bool fullPath = false;

    DBInvOType oType(m_pDb);
    CopyText(oType.data.InvOType, m_Order.data.InvOType);
    if (oType.GetEqual(__FILE__, __LINE__, dbiNOLOCK)) {
        const std::string layout = ReadOrderTypeLayout(m_pDb, m_Order.data.InvOType);
        char path[1024];
        if (!layout.empty() &&
            ConstructTemporaryFilePath(path, "RPT", "CR", "%ld",
                                       OrderTypeFileNumber(oType.data.InvOType)) > 0) {
            if (FILE* fp = std::fopen(path, "wb")) {
                const bool written =
                    std::fwrite(layout.data(), 1, layout.size(), fp) == layout.size();
                if (std::fclose(fp) == 0 && written) {
                    std::memcpy(reportFile, path, std::strlen(path) + 1);
                    fullPath = true;
                }
            }
        }
    }

    ST_FORMULAS formula;
    char value[32];
    TVL_FORMAT(value, "%ld", m_Order.data.InvOrder);
    SetStringFormula(formula, "InvOrder", value);

    WSIApplication* host = Host();
    char title[512] = "";
    if (host)
        host->LoadString(kOrderReportTitle, title, sizeof title);

    auto report = std::make_unique<CCrystalReportObj>(host ? host->GetCrystalEngine() : nullptr,
                                                      reportFile, title, preview ? 1 : 0, parent);
    report->SetFormulas(&formula, 1);
    report->SetFormulaError(true);
    if (fullPath)
        report->SetFullPath(true);
    report->Print(false, true);
    report.reset();
}

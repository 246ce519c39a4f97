#pragma once

// Inventory orders: a header in INVORDER and its numbered lines in INVORDIT. Internal
// orders ask another location of the practice for stock, external ones buy from a
// vendor. Screens create and edit orders here and move lines through their statuses;
// receiving and filling record deliveries through the stock writers of the base.

#include "BIInventory.h"
#include "DBInvOrdIt.h"
#include "DBInvOrder.h"
#include "Records.h"
#include "WSITable.h"

#include <memory>

class WSIWindow;

// One row of the line list of an order: the line, its product and the product's
// category description; comments are cut to their first 128 characters.
#define TVL_ORDER_LINE_ROW_COLUMNS(X)                                                              \
    X(InvOrdIt, Id, 0, false)                                                                      \
    X(Item, Count, 0, false)                                                                       \
    X(Product, Id, 0, false)                                                                       \
    X(CatDescription, Text, ColWidth::CodeDesc, false)                                             \
    X(ProductCode, Text, ColWidth::ProductCode, false)                                             \
    X(Description, Text, ColWidth::LineDescription, false)                                         \
    X(Quantity, Count, 0, false)                                                                   \
    X(Unit, Text, ColWidth::Unit, false)                                                           \
    X(QtyFilled, Count, 0, false)                                                                  \
    X(Status, Count, 0, false)                                                                     \
    X(NeedBy, Date, 0, false)                                                                      \
    X(Comment, Text, 128, false)
TVL_ROW_RECORD(WSIOrderLineRow, TVL_ORDER_LINE_ROW_COLUMNS);

namespace tavel::detail {
// The row buffer, a base so that it exists before the cursor that reads into it opens.
struct OrderLineRowBuffer {
    WSIOrderLineRow row{};
};
} // namespace tavel::detail

// Cursor over the lines of one order that owns its row; columns read by name
// (GetFieldText, GetFieldLength) or all at once through Row().
class WSIOrderLineCursor : private tavel::detail::OrderLineRowBuffer, public WSITable {
public:
    WSIOrderLineCursor(WSIDatabase* db, const char* sql);
    const WSIOrderLineRow& Row() const { return row; }
    bool GetFieldText(const char* column, char* buffer, int size) override;
    int GetFieldLength(const char* column) override;
};

class BIInvOrder : public BIInventory {
public:
    static constexpr int kOrderReportTitle = 38166;

    explicit BIInvOrder(WSIDatabase* db);
    ~BIInvOrder() override;

    // --- Reading the order.
    void ClearOrder();
    bool FindOrder(long invOrder);
    // The newest active order carrying the purchase-order number.
    bool FindOrder(const char* poNumber);
    long GetOrderNumber();
    bool GetIsExternal();
    bool GetOrderDate(WSIDate& date);
    // The order's vendor id; name (when given) receives the vendor's name or "".
    long GetOrderVendor(char* name);
    WSIInvOrder::WSIData* GetOrderData();
    bool OrderHasItems();
    // Some line has moved past ordering (picked, filled, back-ordered, closed).
    bool OrderIsInProgress();
    // Some line has been purchased or moved further.
    bool OrderIsPurchased();

    // --- Reading lines.
    void ClearOrderItem();
    bool FindOrderItem(long invOrdIt);
    // A line of the current order for the product that is not cancelled.
    bool FindOrderItemByProduct(long product);
    long GetOrderItemNumber();
    bool GetOrderItemProductId(long& product);
    bool GetOrderItemQuantity(short& quantity);
    DBInvOrdIt* GetOrderItemTable();
    WSIInvOrdIt::WSIData* GetOrderItemData();
    // Next line of the current order in line-number order (columns of WSIOrderLineRow),
    // or null after the last; the next call then starts over.
    WSITable* GetNextOrderRow();

    // --- Changing the order.
    void Init(const WSIInvOrder::WSIData* data);
    void ModifyOrder(const WSIInvOrder::WSIData* data);
    // Deletes the order with all its lines.
    void CancelOrder();
    // Adds a line; the first line also inserts the header.
    void Add(const WSIInvOrdIt::WSIData* data, bool skipQuantityCheck);
    void Modify(const WSIInvOrdIt::WSIData* data, bool skipQuantityCheck);
    void Delete();
    // Moves one line (lineId 0: the current one) to newStatus when the move is allowed.
    void UpdateItemStatus(int newStatus, long invOrder, long invOrdIt);
    // Order id 0 stands for the current order.
    bool CanCancelAllItems(long invOrder);
    void CancelAllItems(long invOrder);
    bool CanPurchaseAllItems(long invOrder);
    void PurchaseAllItems(long invOrder);

    // Prints the current order, with its order type's own layout when it has one.
    void Print(WSIWindow* parent, bool preview, const void* loginInfo);

protected:
    void CopyOrderFields(const WSIInvOrder::WSIData* data);
    void CopyOrderItemFields(const WSIInvOrdIt::WSIData* data);
    void CheckOrderQuantity(const WSIInvOrdIt::WSIData* data);
    short GetNextOrderItemNumber();
    void SetNextOrderItemNumber();

    DBInvOrder m_Order;
    DBInvOrdIt m_OrderItem;
    std::unique_ptr<WSITable> m_pLineCursor;

private:
    // Re-reads the cached order without a lock; clears it when the row is gone.
    void RereadOrder();
    void RereadOrderItem();
    long OrderIdOrCurrent(long invOrder) const;
    long CountOf(const char* sql);
};

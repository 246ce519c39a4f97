#pragma once

// Receiving: goods that arrive at a location, taken in batches. A batch is one receipt
// (INVREC) and its lines (stock items of type 0); a batch taken against a purchase order
// ties each line to the order's line, whose fill and status follow every change. Every
// change of a received quantity moves the location balance, keeps one detail per line and
// recomputes the product's average cost.

#include "BIInventory.h"
#include "Records.h"
#include "WSITable.h"

#include <memory>

class DBInvItem;
class DBInvRec;
class WSIDatabase;
class WSIWindow;

// Expiry date and received quantity of one receipt line.
struct WSIReceiptExpiryRow {
    WSIDate EXPIRYDATE;
    short RECD;
    static const TableDesc& Table();
};

namespace tavel::detail {
// The row buffer of WSIRowCursor, a base so that it exists before the cursor that reads
// into it is opened.
template <class RowT> struct RowCursorBuffer { RowT row{}; };
} // namespace tavel::detail

// A cursor over rows of one shape that owns the row it reads into, so that a screen can
// keep the cursor and read the current row through Row().
template <class RowT>
class WSIRowCursor : private tavel::detail::RowCursorBuffer<RowT>, public WSITable {
public:
    // Opens the cursor on `sql`; no row is fetched yet.
    WSIRowCursor(WSIDatabase* db, const char* sql)
        : WSITable(__FILE__, __LINE__, 0, db, sql, WSIResult(RowT::Table(), &this->row)) {}
    const RowT& Row() const { return this->row; }
};

using WSIReceiveOrderCursor = WSIRowCursor<WSIReceiveOrderRow>;
using WSIReceiptRowCursor = WSIRowCursor<WSIInvReceiptView>;
using WSIReceiptExpiryCursor = WSIRowCursor<WSIReceiptExpiryRow>;

class BIInvReceive : public BIInventory {
public:
    // Resource id of the report title.
    static constexpr int kReceiptReportTitle = 38522;

    explicit BIInvReceive(WSIDatabase* db);
    ~BIInvReceive() override;

    // --- The order being received. An order is current while its InvOrder is non-zero.

    // By PO number (the most recently audited active order wins), or by id when invOrder
    // is non-zero.
    bool FindOrder(const char* poNumber, long invOrder);
    // By id; without reload an order already current is not read again.
    bool FindOrder(long invOrder, bool reload);
    // Opens the search over active external orders, of one date when `date` is valid.
    bool FindFirstOrder(WSIDate date);
    // Opens the search by PO-number prefix, or by order-number prefix compared as text.
    bool FindFirstOrder(const char* prefix, bool byPONumber);
    // The next order of the search; false (and no order current) after the last.
    bool FindNextOrder();
    bool GetOrderDate(WSIDate& date);
    // Copies the vendor's name; the vendor id when a name was copied, else 0.
    long GetOrderVendor(char* name, int size);
    // The ordering location, at most size - 1 characters.
    bool GetOrderByLocation(char* invLoc, int size);
    using BIInventory::IsOrderApproved;
    bool IsOrderApproved();
    WSIInvOrder::WSIData* GetInvOrder() { return &order_; }

    // --- Rows for the receiving screen; each cursor is owned by this object.

    // The next line of the current order with what this batch received of it (RECD, 0
    // when nothing); null after the last line.
    WSITable* GetNextOrderRow();
    // The receipt view row of the line written last.
    WSITable* GetNewReceiptRow();
    // Expiry date and received quantity of the line written last.
    WSITable* GetNewExpiryRow();

    // --- A batch. The receipt is stored by the first successful Add.

    // receiptDate null: today. A poNumber that names an order makes it current.
    void InitBatch(const char* invLoc, long vendor, const WSIDate* receiptDate,
                   const char* poNumber, const WSIDate* poDate);
    // Removes a stored receipt that has no lines left, then forgets the batch.
    void CloseBatch();
    // Continues a stored receipt as the batch (its order current again), so that its
    // lines can be corrected later; false when there is no such receipt.
    bool ReopenBatch(long invRec);
    // The receipt of the batch (InvRec 0 while not stored).
    const WSIInvRec::WSIData& GetReceipt() const;

    // Receives `quantity`; a line of the product with the same reference (and expiry date
    // when given) is topped up, else a new line is made.
    void Add(long product, short quantity, WSIDate* expiry, const char* refNo);
    // Sets the line of the product (with that expiry date when given) to `quantity`. With
    // refNo the line must carry that reference too (lots of one expiry date are lines of
    // their own); without it the first line of the product and date is meant.
    void Modify(long product, short quantity, WSIDate* expiry, const char* refNo = nullptr);
    // Removes the line (found as Modify finds it); the order line takes `status` (-1:
    // derived from its quantities).
    void Delete(long product, short status, WSIDate* expiry, const char* refNo = nullptr);

    // --- The current order's lines.

    // Puts the product on the order, or adds to its open line; 0 is allowed, so that an
    // unordered product can be received.
    void AddOrderItem(long product, short quantity);
    // Takes back an empty line that AddOrderItem added for a receipt that then failed.
    void CleanupOrderItem(long product);

    using BIInventory::AutoBackOrder;
    using BIInventory::BackOrder;
    // Back-orders the rest of one product of the order (invOrder, or the PO number's).
    void BackOrder(const char* poNumber, long invOrder, long product);
    // Whether some open line of the current order is short while the batch is stored.
    bool PartialReceiptsNotBackOrdered();
    void AutoBackOrder();

    // Prints or previews the receipt.
    void Print(WSIWindow* parent, bool preview);

protected:
    long GetInvOrderId(const char* poNumber);
    short GetNextOrderItemNumber(const char* poNumber, long invOrder);
    // Builds and inserts a new line in the work record; returns its id.
    long AddInvItem(long product, short quantity, WSIDate* expiry, const char* refNo);
    // Follows a change of a line: average cost, location balance, detail, order line.
    void UpdateInvItDet(DBInvItem* item, short quantityChange, short status);
    // Runs before the location balance moves: the stock items already hold the change.
    void UpdateAverageCost(DBInvItem* item, double quantityChange);

private:
    // The product's row read once per operation under a write lock (InvalidProduct when
    // missing, RecordInUse when held elsewhere), so that the line, its average cost and its
    // detail do not each read it again.
    WSIProduct::WSIData LockProduct(long product);
    long AddInvItem(const WSIProduct::WSIData& prd, short quantity, WSIDate* expiry,
                    const char* refNo);
    // newLine: the line was stored by this unit of work, so it has no detail yet.
    void UpdateInvItDet(DBInvItem* item, short quantityChange, short status,
                        const WSIProduct::WSIData& prd, bool newLine);
    // prd: the product as read under this unit's lock.
    void UpdateAverageCost(DBInvItem* item, double quantityChange, const WSIProduct::WSIData& prd);
    // The first line of the product in this receipt that matches; its id or 0.
    // matchRefNo: the reference must equal refNo as well.
    long FindLine(long product, const WSIDate* expiry, bool matchRefNo, const char* refNo);
    bool ProductFound(long product, WSIProduct::WSIData& out, bool activeOnly);
    // Opens the order search on sql, positioned on its first order; false (no order) when
    // it finds none.
    bool OpenOrderSearch(const char* sql, const WSIBVParametersInfo& binds);
    // Loads receipt line `line` into the current stock item under a write lock; RecordInUse
    // when it is held elsewhere.
    void LockLine(long line);
    // Refuses the locked line when stock has been taken from it since it was received.
    void RefuseUsedLine();

    WSIInvOrder::WSIData order_{};
    // The order item a new line of the running Add was tied to, as read for it.
    WSIInvOrdIt::WSIData ordItRead_{};
    std::unique_ptr<DBInvRec> receipt_;
    std::unique_ptr<DBInvItem> item_;
    std::unique_ptr<WSITable> orderSearch_;
    std::unique_ptr<WSIReceiveOrderCursor> orderRows_;
    std::unique_ptr<WSIReceiptRowCursor> receiptRow_;
    std::unique_ptr<WSIReceiptExpiryCursor> expiryRow_;
};

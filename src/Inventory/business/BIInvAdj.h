#pragma once

// Adjustments and usage: the one engine that changes the stock of a product at a location.
// Every other movement (transfers, fills, counts, repackaging) goes through Adjust, so the
// rule that a location's balance equals the sum of its stock items' balances is kept here.

#include "BIInventory.h"
#include "Record.h"

#include <memory>

class DBInvItem;
class WSIDatabase;
class WSITable;

class BIInvAdj : public BIInventory {
public:
    explicit BIInvAdj(WSIDatabase* db);
    ~BIInvAdj() override;

    // Changes the stock of `product` at `invLoc` by `quantity`, whose sign the movement
    // `type` decides (1, 3, 5, 7 take stock out; 8 puts it in; 2 follows the adjustment
    // code: decrease, increase, or count, where `quantity` is the counted quantity). The
    // change is spread over the stock items in the order of the product's costing method,
    // with one detail per item touched. For type 1 the stock taken out appears at
    // `otherLoc`, filling `invOrdIt` under `orderProduct` (0: `product`).
    //
    // Runs in a transaction of its own that joins the caller's. On an exception nothing is
    // aborted here: the caller aborts (standing alone, the transaction is left open for it).
    //
    // read: the location, product and product location the caller checked in the same unit
    // of work, which are then not read again.
    void Adjust(const char* invLoc, short type, long product, short quantity, const char* invAdj,
                bool createMissing, bool allowExpired, bool allowNoExpiry, long audit,
                long onlyItem, long invOrdIt, const char* otherLoc, long orderProduct,
                const RowsRead* read = nullptr);

    // Corrects the cost, the expiry date (products that track it) and the reference text
    // (when given) of one stock item, and carries the cost into its details.
    void AdjustReceivedDetails(long invItem, double cost, WSIDate expiry, const char* refNo);

    // The stock item AddInvItem created or topped up last; 0 after it removed one.
    long GetLastInvItem() const { return lastInvItem_; }
    // The open batch; 0 when none.
    long GetBatchId() const { return batchId_; }

protected:
    // Creates a stock item outside receiving, or inside a batch tops up the like item the
    // batch created already. A negative cost means the product's average cost. Returns the
    // item's audit id, or 0 when a top-up brought it to nothing and it was removed.
    // read: the product and the source item when the caller holds them.
    long AddInvItem(const char* invLoc, short type, long product, short quantity,
                    const WSIDate* expiry, const char* invAdj, double cost, const char* invLocFrom,
                    long invOrdIt, long audit, long orderProduct, long sourceItem,
                    const RowsRead* read = nullptr);

    // The location row when the code names an active location.
    static bool ReadActiveLocation(WSIDatabase* db, const char* code, WSIInvLoc::WSIData& row);

    long lastInvItem_ = 0;
    long batchId_ = 0;

private:
    // The movement itself, inside the unit of work Adjust opened.
    void ApplyAdjust(const char* invLoc, short type, long product, short quantity,
                     const char* invAdj, bool createMissing, bool allowExpired, bool allowNoExpiry,
                     long audit, long onlyItem, long invOrdIt, const char* otherLoc,
                     long orderProduct, const RowsRead* read);
};

// An adjustment that numbers its details with a batch id, so that the movements of one run
// of a screen can be found and listed together, and so that repeated movements of one item
// accumulate in one detail.
class BIInvBatchAdj : public BIInvAdj {
public:
    explicit BIInvBatchAdj(WSIDatabase* db);
    ~BIInvBatchAdj() override;

    // Rows of the list the batch works through; none here, the transfer and fill
    // operations give their own.
    virtual WSITable* GetNextRow();
    virtual WSITable* GetNewRow();

    // Opens a batch between two locations (either may be empty); returns its id.
    long InitBatch(const char* firstLoc, const char* secondLoc);
    void CloseBatch();

protected:
    static constexpr int kLocCodeSize = 7; // six characters and the terminator

    char firstLoc_[kLocCodeSize] = {};
    char secondLoc_[kLocCodeSize] = {};
    // The cursor GetNextRow walks; owned, replaced whenever a batch opens or closes.
    std::unique_ptr<WSITable> rowCursor_;
};

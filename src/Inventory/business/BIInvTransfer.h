#pragma once

// Transfers of stock from one inventory location (the batch's first location) to another
// (its second location). Each stock item that gives stock at the from-location becomes a
// stock item at the to-location with the same cost and expiry date and with its origin
// recorded; like stock arriving in one batch is added to one item.

#include "BIInvAdj.h"
#include "Records.h"

class WSIWindow;

namespace tavel::detail {
// The row buffer of WSIInvTransferRow, a base so that it exists before the cursor that
// reads into it is opened.
struct TransferRowBuffer {
    WSIInvTransferView row{};
};
} // namespace tavel::detail

// A cursor over rows of INVTRANSFER_VIEW that owns the row it reads into, so that a
// screen can keep it and read the current row through Row().
class WSIInvTransferRow : private tavel::detail::TransferRowBuffer, public WSITable {
public:
    // Opens the cursor on `sql`; no row is fetched yet.
    WSIInvTransferRow(WSIDatabase* db, const char* sql);
    const WSIInvTransferView& Row() const { return row; }
};

class BIInvTransfer : public BIInvBatchAdj {
public:
    explicit BIInvTransfer(WSIDatabase* db);
    ~BIInvTransfer() override;

    // Moves `quantity` of `product` from the first to the second location of the batch,
    // in a transaction of its own.
    void Transfer(long product, short quantity, bool createMissing, bool allowExpired,
                  bool allowNoExpiry);
    // Moves the whole balance of every stock item at the from-location, one Transfer per
    // stock item, then notifies the host once per product moved.
    void TransferAll(int sourceId);

    // A screen moves a list of scanned stock items as one unit of work between these.
    void BeginTransferInvItem();
    // Moves the whole balance of this one stock item; notifies the host at once.
    void TransferInvItem(WSIInvItem::WSIData& item, int sourceId);
    void EndTransferInvItem();

    // Next stock item that arrived at the to-location in this batch (a WSIInvTransferRow
    // owned by this object), or null after the last one.
    WSITable* GetNextRow() override;
    // The row of the last stock item created or topped up at the to-location; a new
    // WSIInvTransferRow that the caller owns and deletes.
    WSITable* GetNewRow() override;

    // Transfers have no printed document.
    void Print(WSIWindow* parent, bool preview);

private:
    // The rows a transfer checks, kept for the movement that follows.
    struct Checked {
        WSIInvLoc::WSIData from{};
        WSIProduct::WSIData product{};
        WSIPrdLoc::WSIData fromPrdLoc{};
        RowsRead Rows() const {
            RowsRead rows;
            rows.loc = &from;
            rows.product = &product;
            rows.prdLoc = &fromPrdLoc;
            return rows;
        }
    };
    // Locations and product, checked the same way before every kind of transfer.
    void CheckTransfer(long product, Checked& rows);
};

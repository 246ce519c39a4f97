#pragma once

// Supplying internal orders. A pick list groups the open lines of internal orders that one
// person at the supplying location collects; a fill moves what was collected from the
// supplying location (the batch's first location) to the ordering location (its second)
// and records it against each order line.

#include "BIInvAdj.h"
#include "BIInventory.h"
#include "Records.h"

#include <memory>

class WSITable;
class WSIWindow;

// One open pick list: its number, the ordering location's name and code, and the name
// of the user who made it.
struct WSIOpenPickList {
    long PickList;
    char InvLocName[ColWidth::PlaceName + 1];
    char InvLoc[ColWidth::InvLoc + 1];
    char UserName[256];
    static const TableDesc& Table();
};

namespace tavel::detail {
// Row buffers of the cursors below, bases so that they exist before the cursor that reads
// into them is opened.
struct PickListRowBuffer {
    WSIOpenPickList row{};
};
struct FillRowBuffer {
    WSIInvFillView row{};
};
} // namespace tavel::detail

// A cursor over the open pick lists that owns the row it reads into.
class WSIOpenPickListRow : private tavel::detail::PickListRowBuffer, public WSITable {
public:
    WSIOpenPickListRow(WSIDatabase* db, const char* sql);
    const WSIOpenPickList& Row() const { return row; }
};

// A cursor over rows of INVFILL_VIEW that owns the row it reads into.
class WSIInvFillRow : private tavel::detail::FillRowBuffer, public WSITable {
public:
    WSIInvFillRow(WSIDatabase* db, const char* sql);
    const WSIInvFillView& Row() const { return row; }
};

class BIInvPickList : public BIInventory {
public:
    explicit BIInvPickList(WSIDatabase* db);
    ~BIInvPickList() override;

    // Opens a pick list of lines that `from` supplies to `to`; returns its new number.
    long InitBatch(const char* from, const char* to);
    void CloseBatch();
    // Takes every line off pick list `pickList`; the lines keep their status.
    void ClearBatch(long pickList);
    // Puts the order line on the current pick list, and marks it OnPickList when asked.
    // Throws RecordInUse, a table rule's exception or InvPickListAddErr.
    void Add(long invOrdIt, bool markStatus);
    // Next open pick list (a WSIOpenPickListRow owned by this object), or null after the last.
    WSITable* GetNextRow();
    // Prints pick list `pickList` (0: the current one) for location `invLoc` (null or
    // empty: the batch's to-location).
    void Print(WSIWindow* parent, bool preview, long pickList, const char* invLoc);

    // The open pick list's number; 0 when none is open.
    long GetPickList() const;

private:
    static constexpr int kLocCodeSize = 7;

    char fromLoc_[kLocCodeSize] = {};
    char toLoc_[kLocCodeSize] = {};
    long pickUser_ = 0;
    WSIDate pickDate_{};
    long pickList_ = 0;
    std::unique_ptr<WSIOpenPickListRow> listCursor_;
};

class BIInvFill : public BIInvBatchAdj {
public:
    explicit BIInvFill(WSIDatabase* db);
    ~BIInvFill() override;

    // The fill transaction: every Fill between these commits together, and a Fill that
    // fails aborts all of them.
    void BeginFill();
    // Moves `quantity` of `product` (the ordered product or a substitute of its product
    // type) from the first location of the batch to the second, filling order line
    // `invOrdIt`.
    void Fill(long invOrdIt, long product, short quantity, bool allowFilled, bool createMissing,
              bool allowExpired, bool allowNoExpiry);
    void EndFill();

    // The pick list whose lines GetNextRow lists.
    void SetPickList(long pickList);

    // Next line of the pick list, with what this batch filled for it (a WSIInvFillRow
    // owned by this object), or null after the last.
    WSITable* GetNextRow() override;
    // The fill row of the last stock item the batch wrote; a new WSIInvFillRow that the
    // caller owns and deletes.
    WSITable* GetNewRow() override;

    // Fills have no printed document.
    void Print(WSIWindow* parent, bool preview);

private:
    void ApplyFill(long invOrdIt, long product, short quantity, bool allowFilled,
                   bool createMissing, bool allowExpired, bool allowNoExpiry);

    long pickList_ = 0;
};

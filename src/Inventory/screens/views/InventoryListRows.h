#pragma once

// What the list views of the main inventory screen show for a row and how they order
// rows: the cell texts (with the computed columns), the row marks, the comparers of
// each view, which rows a refresh re-reads, and the checks made over selected rows
// before a pick list, a transfer or an order. Plain C++ over the result records, so
// that it is tested without a window.

#include "Records.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class WSIApplication;

namespace tavel::views {

using Cells = std::vector<std::string>;

// Row mark bits (list row state bits).
inline constexpr unsigned kCancelledMark = 0x20;
inline constexpr unsigned kBackOrderedMark = 0x40;
inline constexpr unsigned kUnapprovedMark = 0x80;
inline constexpr unsigned kBackOrderLocationMark = 0x200;
inline constexpr unsigned kRequestedMark = 0x400;

// Message codes the rows show.
inline constexpr unsigned kStatusTextBase = 38041; // + status
inline constexpr unsigned kNotStockedText = 38164;

// Column counts of the views.
inline constexpr int kOrderColumns = 20;
inline constexpr int kClosedColumns = 15;
inline constexpr int kLevelsColumns = 16;
inline constexpr int kReceivedColumns = 14;
inline constexpr int kUsageColumns = 8;

// Columns with a fixed meaning, used by the views' commands and column widths.
namespace col {
inline constexpr int Status = 7;
inline constexpr int PendingBackOrdered = 11;
inline constexpr int PendingSupplyingLoc = 13;
inline constexpr int PendingVendorName = 14;
inline constexpr int PendingBalance = 18;
inline constexpr int PendingLastCount = 19;
inline constexpr int OrderPONumber = 2;
inline constexpr int OrderBin = 6;
inline constexpr int ClosedSupplyingLoc = 11;
inline constexpr int ClosedVendorName = 12;
} // namespace col

// Text of a message code ("" without a host).
std::string MessageText(const WSIApplication* host, unsigned code);
// "MM/DD/YYYY", "" for the null date.
std::string DateText(const WSIDate& date);
// A quantity without decimals when it is whole, else with two.
std::string AmountText(double value);

// "LOC - Last, First" (the location alone when the order has no user).
std::string OrderedByText(const WSIInvOrderData& r);

// The catalogue's product descriptions by product id.
using ProductDescriptions = std::unordered_map<long, std::string>;
// A line without a description of its own (a catalogue product's line) takes its
// product's, so that the list shows and sorts it.
void UseProductDescription(WSIInvOrderData& r, const ProductDescriptions& descriptions);

// Pending views (internal and external): cells of every column and the marks.
Cells PendingCells(const WSIInvOrderData& r, const WSIApplication* host);
unsigned PendingMarks(const WSIInvOrderData& r);
// Closed view; the date of the last receipt is the record's LastReceived.
Cells ClosedCells(const WSIInvOrderData& r, const WSIApplication* host);
// Levels view, per location or summed per product.
Cells LevelsCells(const WSILevelsData& r, bool byLocation);
// Marks of a row listed by location; backOrderLocation: the product is back-ordered
// from this location.
unsigned LevelsMarks(const WSILevelsData& r, bool backOrderLocation);
Cells ReceivedCells(const WSIReceivedData& r);
Cells UsageCells(const WSIUsageData& r);

// Comparers for a column: negative when a goes first, positive when b does, 0 when
// equal or the column is not sorted.
int ComparePending(const WSIInvOrderData& a, const WSIInvOrderData& b, int column);
int CompareClosed(const WSIInvOrderData& a, const WSIInvOrderData& b, int column);
int CompareLevels(const WSILevelsData& a, const WSILevelsData& b, int column);
int CompareReceived(const WSIReceivedData& a, const WSIReceivedData& b, int column);
int CompareUsage(const WSIUsageData& a, const WSIUsageData& b, int column);

// Refresh modes: every row, rows of one product, rows of one order, the selected rows.
enum RefreshMode { kRefreshAll = 0, kRefreshProduct = 1, kRefreshOrder = 2, kRefreshSelected = 3 };
// Whether a row is re-read for mode and id; order is 0 for views without orders.
bool RowMatches(int mode, long id, long product, long order, bool selected);
// Walks rows 0..count-1 and re-reads each matching one; reRead returns false when the
// row's record is gone, and remove then takes the row out. The row that moves up into
// its place is examined next. Returns the number of rows removed.
int RefreshMatchingRows(int count, const std::function<bool(int row)>& matches,
                        const std::function<bool(int row)>& reRead,
                        const std::function<void(int row)>& remove);

// The checks of a new pick list over the selected pending rows, in order. The first
// selected line already on a pick list asks confirmOnPickList once.
struct FillSelection {
    unsigned message = 0;  // the refusal's message code; 0 when the lines may be used
    bool declined = false; // the user declined the on-pick-list question
    std::string orderedBy;
    std::string suppliedBy;
    std::vector<long> orderItems;
    bool Ok() const { return message == 0 && !declined; }
};
FillSelection CheckFillSelection(const std::vector<const WSIInvOrderData*>& rows,
                                 const std::function<bool()>& confirmOnPickList);

// The transfer's common ordering location of the selected received rows: every row
// must be an untouched receipt (type 0, balance equal to its quantity) of an order of
// one location. "" when some row does not qualify or there is no row.
std::string CommonOrderingLocation(const std::vector<const WSIReceivedData*>& rows);

// Whether the selected level rows may go on one order: a non-empty vendor name that
// differs from the previous row's vendor name refuses; an empty one resets the check.
bool VendorsAllowOneOrder(const std::vector<const WSILevelsData*>& rows);

} // namespace tavel::views

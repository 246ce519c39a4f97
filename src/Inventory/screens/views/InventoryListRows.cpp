#include "InventoryListRows.h"

#include "BoundedFormat.h"
#include "Clock.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "schema/InventoryCodes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <strings.h>

namespace tavel::views {

namespace {

using namespace tavel::OrdItStatus;

std::string Trimmed(const char* text) {
    std::string s(text ? text : "");
    const auto end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string Number(long value) {
    return std::to_string(value);
}

int CompareText(const char* a, const char* b) {
    return strcasecmp(a, b);
}

// Numeric columns compare by difference; doubles are truncated to an integer first.
int CompareNumber(double a, double b) {
    return static_cast<int>(a - b);
}
int CompareLong(long a, long b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

int CompareDate(const WSIDate& a, const WSIDate& b) {
    if (a.IsNull() || b.IsNull())
        return a.IsNull() == b.IsNull() ? 0 : (a.IsNull() ? -1 : 1);
    return CompareLong(tavel::DayNumber(a), tavel::DayNumber(b));
}

// Location, then the user's last, first and middle name.
template <class Row>
int CompareOrderedBy(const char* locA, const Row& a, const char* locB, const Row& b) {
    if (int c = CompareText(locA, locB))
        return c;
    if (int c = CompareText(a.Name, b.Name))
        return c;
    if (int c = CompareText(a.First, b.First))
        return c;
    return CompareText(a.Middle, b.Middle);
}

std::string UserText(const char* last, const char* first) {
    const std::string l = Trimmed(last);
    const std::string f = Trimmed(first);
    if (l.empty() && f.empty())
        return std::string();
    char text[128];
    TVL_FORMAT(text, "%s, %s", l.c_str(), f.c_str());
    return text;
}

std::string WithoutLineBreaks(const char* text) {
    std::string s(text ? text : "");
    for (char& ch : s)
        if (ch == '\r' || ch == '\n')
            ch = ' ';
    return s;
}

std::string StatusText(const WSIApplication* host, short status) {
    return MessageText(host, kStatusTextBase + static_cast<unsigned>(status));
}

// The cells pending and closed share: order, product and quantities.
Cells OrderCommonCells(const WSIInvOrderData& r, const WSIApplication* host, int count) {
    Cells c(static_cast<std::size_t>(count));
    c[0] = DateText(r.Date);
    c[1] = Number(r.InvOrder);
    c[2] = Trimmed(r.PONumber);
    c[3] = OrderedByText(r);
    c[4] = Trimmed(r.ProductCode);
    c[5] = Trimmed(r.Description);
    c[6] = Trimmed(r.Bin);
    c[7] = StatusText(host, r.Status);
    c[8] = Number(r.Quantity);
    c[9] = Number(r.QtyFilled);
    return c;
}

} // namespace

void UseProductDescription(WSIInvOrderData& r, const ProductDescriptions& descriptions) {
    if (!Trimmed(r.Description).empty())
        return;
    const auto it = descriptions.find(r.Product);
    if (it == descriptions.end())
        return;
    const std::size_t n = std::min(it->second.size(), sizeof r.Description - 1);
    std::memcpy(r.Description, it->second.data(), n);
    r.Description[n] = '\0';
}

std::string MessageText(const WSIApplication* host, unsigned code) {
    if (!host)
        return std::string();
    char text[256];
    host->LoadString(code, text, sizeof text);
    return text;
}

std::string DateText(const WSIDate& date) {
    if (date.IsNull())
        return std::string();
    char text[32];
    TVL_FORMAT(text, "%02d/%02d/%04d", date.month, date.day, date.year);
    return text;
}

std::string AmountText(double value) {
    char text[40];
    if (value == std::floor(value))
        TVL_FORMAT(text, "%.0f", value);
    else
        TVL_FORMAT(text, "%.2f", value);
    return text;
}

std::string OrderedByText(const WSIInvOrderData& r) {
    const std::string loc = Trimmed(r.InvLoc);
    const std::string user = r.User != 0 ? UserText(r.Name, r.First) : std::string();
    if (user.empty())
        return loc;
    char text[256];
    TVL_FORMAT(text, "%s - %s", loc.c_str(), user.c_str());
    return text;
}

Cells PendingCells(const WSIInvOrderData& r, const WSIApplication* host) {
    TVL_TRACE("tavel::views::PendingCells");
    Cells c = OrderCommonCells(r, host, kOrderColumns);
    char text[128];
    TVL_FORMAT(text, "%.2f", r.Quantity * r.CostPerUnit);
    c[10] = text;
    if (r.Status == BackOrdered)
        c[11] = Number(r.Quantity - r.QtyFilled);
    c[12] = Trimmed(r.Unit);
    c[13] = Trimmed(r.InvLocFrom);
    c[14] = Trimmed(r.VendorName);
    c[15] = Trimmed(r.InvOType);
    c[16] = DateText(r.NeedBy);
    c[17] = WithoutLineBreaks(r.Comment);
    const std::string notStocked = r.Stocked != 1 ? MessageText(host, kNotStockedText) : "";
    if (r.TrackUsage == 1)
        c[18] = r.Stocked != 1 ? notStocked : AmountText(r.Balance);
    else
        c[19] = r.Stocked != 1 ? notStocked : AmountText(r.LastCount);
    return c;
}

unsigned PendingMarks(const WSIInvOrderData& r) {
    unsigned marks = 0;
    if (r.Inactive != 0 || r.Status == Cancelled)
        marks |= kCancelledMark;
    if (r.ApprovalUser == 0)
        marks |= kUnapprovedMark;
    if (r.Status == BackOrdered)
        marks |= kBackOrderedMark;
    if (r.Inactive == 0 && r.Status == Requested)
        marks |= kRequestedMark;
    return marks;
}

Cells ClosedCells(const WSIInvOrderData& r, const WSIApplication* host) {
    TVL_TRACE("tavel::views::ClosedCells");
    Cells c = OrderCommonCells(r, host, kClosedColumns);
    c[10] = Trimmed(r.Unit);
    if (r.IsExternal != 0)
        c[12] = Trimmed(r.VendorName);
    else
        c[11] = Trimmed(r.InvLocFrom);
    if (!r.LastReceived.IsNull()) {
        char text[32];
        TVL_FORMAT(text, "%02d/%02d/%d", r.LastReceived.month, r.LastReceived.day,
                   r.LastReceived.year);
        c[13] = text;
    }
    c[14] = Trimmed(r.InvOType);
    return c;
}

Cells LevelsCells(const WSILevelsData& r, bool byLocation) {
    Cells c(kLevelsColumns);
    c[0] = Trimmed(r.InvLoc);
    c[1] = Trimmed(r.TypeDesc);
    c[2] = Trimmed(r.CategoryDesc);
    c[3] = Trimmed(r.ProductCode);
    c[4] = Trimmed(r.ProductDesc);
    if (byLocation) {
        if (r.TrackUsage == 1)
            c[5] = AmountText(r.Balance);
        else
            c[6] = AmountText(r.LastCount);
    } else {
        c[5] = AmountText(r.Balance);
        c[6] = AmountText(r.LastCount);
        if (r.TrackUsage >= 1)
            c[7] = AmountText(r.Balance + r.LastCount);
    }
    c[8] = Trimmed(r.Unit);
    c[9] = AmountText(r.Orders);
    c[10] = AmountText(r.OnOrder);
    if (byLocation) {
        c[11] = Number(r.ReorderCount);
        c[12] = Number(r.MinToOrder);
        c[13] = Number(r.StdToOrder);
        c[14] = Trimmed(r.Bin);
    }
    c[15] = Trimmed(r.VendorName);
    return c;
}

unsigned LevelsMarks(const WSILevelsData& r, bool backOrderLocation) {
    unsigned marks = 0;
    if (r.Inactive != 0)
        marks |= kCancelledMark;
    if (backOrderLocation)
        marks |= kBackOrderLocationMark;
    return marks;
}

Cells ReceivedCells(const WSIReceivedData& r) {
    Cells c(kReceivedColumns);
    c[0] = Trimmed(r.InvLoc);
    c[1] = DateText(r.Date);
    c[2] = Trimmed(r.PONumber);
    c[3] = Number(r.Type);
    c[4] = Trimmed(r.ProductCode);
    c[5] = Trimmed(r.ProductDesc);
    c[6] = Number(r.Quantity);
    c[7] = AmountText(r.Balance);
    c[8] = Trimmed(r.Unit);
    c[9] = Trimmed(r.VendorName);
    char text[128];
    TVL_FORMAT(text, "%.2f", r.CostPerUnit);
    c[10] = text;
    c[11] = DateText(r.ExpiryDate);
    c[12] = Trimmed(r.RefNo);
    const std::string loc = Trimmed(r.OrderedBy);
    const std::string user = UserText(r.Name, r.First);
    c[13] = user.empty() || loc.empty() ? loc : loc + " - " + user;
    return c;
}

Cells UsageCells(const WSIUsageData& r) {
    Cells c(kUsageColumns);
    c[0] = Trimmed(r.ItemLoc);
    c[1] = DateText(r.Date);
    c[2] = Trimmed(r.TypeDesc);
    c[3] = Trimmed(r.CategoryDesc);
    c[4] = Trimmed(r.ProductCode);
    c[5] = Trimmed(r.ProductDesc);
    c[6] = AmountText(std::fabs(r.Quantity));
    c[7] = Trimmed(r.InvAdj);
    return c;
}

int ComparePending(const WSIInvOrderData& a, const WSIInvOrderData& b, int column) {
    switch (column) {
    case 0:
        return CompareDate(a.Date, b.Date);
    case 1:
        return CompareLong(a.InvOrder, b.InvOrder);
    case 2:
        return CompareText(a.PONumber, b.PONumber);
    case 3:
        return CompareOrderedBy(a.InvLoc, a, b.InvLoc, b);
    case 4:
        return CompareText(a.ProductCode, b.ProductCode);
    case 5:
        return CompareText(a.Description, b.Description);
    case 6:
        return CompareText(a.Bin, b.Bin);
    case 7:
        return CompareLong(a.Status, b.Status);
    case 8:
        return CompareLong(a.Quantity, b.Quantity);
    case 9:
        return CompareLong(a.QtyFilled, b.QtyFilled);
    case 11: {
        const bool boA = a.Status == BackOrdered;
        const bool boB = b.Status == BackOrdered;
        if (boA != boB)
            return boA ? -1 : 1;
        return CompareLong(a.Quantity - a.QtyFilled, b.Quantity - b.QtyFilled);
    }
    case 12:
        return CompareText(a.Unit, b.Unit);
    case 13:
        return CompareText(a.InvLocFrom, b.InvLocFrom);
    case 14:
        return CompareText(a.VendorName, b.VendorName);
    case 15:
        return CompareText(a.InvOType, b.InvOType);
    case 16:
        return CompareDate(a.NeedBy, b.NeedBy);
    case 17:
        return CompareText(a.Comment, b.Comment);
    case 18:
        return CompareNumber(a.Balance, b.Balance);
    case 19:
        return CompareNumber(a.LastCount, b.LastCount);
    default:
        return 0;
    }
}

int CompareClosed(const WSIInvOrderData& a, const WSIInvOrderData& b, int column) {
    switch (column) {
    case 10:
        return CompareText(a.Unit, b.Unit);
    case 11:
        return CompareText(a.InvLocFrom, b.InvLocFrom);
    case 12:
        return CompareText(a.VendorName, b.VendorName);
    case 13:
        return CompareDate(a.LastReceived, b.LastReceived);
    case 14:
        return CompareText(a.InvOType, b.InvOType);
    default:
        return column >= 0 && column <= 9 ? ComparePending(a, b, column) : 0;
    }
}

int CompareLevels(const WSILevelsData& a, const WSILevelsData& b, int column) {
    switch (column) {
    case 0:
        return CompareText(a.InvLoc, b.InvLoc);
    case 1:
        return CompareText(a.TypeDesc, b.TypeDesc);
    case 2:
        return CompareText(a.CategoryDesc, b.CategoryDesc);
    case 3:
        return CompareText(a.ProductCode, b.ProductCode);
    case 4:
        return CompareText(a.ProductDesc, b.ProductDesc);
    case 5:
        if (a.TrackUsage != b.TrackUsage)
            return a.TrackUsage > b.TrackUsage ? -1 : 1;
        return CompareNumber(a.Balance, b.Balance);
    case 6:
        if (a.TrackUsage != b.TrackUsage)
            return a.TrackUsage < b.TrackUsage ? -1 : 1;
        return CompareNumber(a.LastCount, b.LastCount);
    case 7:
        return CompareNumber(a.Balance + a.LastCount, b.Balance + b.LastCount);
    case 8:
        return CompareText(a.Unit, b.Unit);
    case 9:
        return CompareNumber(a.Orders, b.Orders);
    case 10:
        return CompareNumber(a.OnOrder, b.OnOrder);
    case 11:
        return CompareLong(a.ReorderCount, b.ReorderCount);
    case 12:
        return CompareLong(a.MinToOrder, b.MinToOrder);
    case 13:
        return CompareLong(a.StdToOrder, b.StdToOrder);
    case 14:
        return CompareText(a.Bin, b.Bin);
    case 15:
        return CompareText(a.VendorName, b.VendorName);
    default:
        return 0;
    }
}

int CompareReceived(const WSIReceivedData& a, const WSIReceivedData& b, int column) {
    switch (column) {
    case 0:
        return CompareText(a.InvLoc, b.InvLoc);
    case 1:
        return CompareDate(a.Date, b.Date);
    case 2:
        return CompareText(a.PONumber, b.PONumber);
    case 3:
        return CompareLong(a.Type, b.Type);
    case 4:
        return CompareText(a.ProductCode, b.ProductCode);
    case 5:
        return CompareText(a.ProductDesc, b.ProductDesc);
    case 6:
        return CompareLong(a.Quantity, b.Quantity);
    case 7:
        return CompareNumber(a.Balance, b.Balance);
    case 8:
        return CompareText(a.Unit, b.Unit);
    case 9:
        return CompareText(a.VendorName, b.VendorName);
    case 10:
        return CompareNumber(a.CostPerUnit, b.CostPerUnit);
    case 11:
        return CompareDate(a.ExpiryDate, b.ExpiryDate);
    case 12:
        return CompareText(a.RefNo, b.RefNo);
    case 13:
        return CompareOrderedBy(a.OrderedBy, a, b.OrderedBy, b);
    default:
        return 0;
    }
}

int CompareUsage(const WSIUsageData& a, const WSIUsageData& b, int column) {
    switch (column) {
    case 0:
        return CompareText(a.ItemLoc, b.ItemLoc);
    case 1:
        return CompareDate(a.Date, b.Date);
    case 2:
        return CompareText(a.TypeDesc, b.TypeDesc);
    case 3:
        return CompareText(a.CategoryDesc, b.CategoryDesc);
    case 4:
        return CompareText(a.ProductCode, b.ProductCode);
    case 5:
        return CompareText(a.ProductDesc, b.ProductDesc);
    case 6:
        return CompareNumber(std::fabs(a.Quantity), std::fabs(b.Quantity));
    case 7:
        return CompareText(a.InvAdj, b.InvAdj);
    default:
        return 0;
    }
}

bool RowMatches(int mode, long id, long product, long order, bool selected) {
    switch (mode) {
    case kRefreshAll:
        return true;
    case kRefreshProduct:
        return product == id;
    case kRefreshOrder:
        return order == id;
    case kRefreshSelected:
        return selected;
    default:
        return false;
    }
}

int RefreshMatchingRows(int count, const std::function<bool(int row)>& matches,
                        const std::function<bool(int row)>& reRead,
                        const std::function<void(int row)>& remove) {
    int removed = 0;
    int row = 0;
    while (row < count) {
        if (matches(row) && !reRead(row)) {
            remove(row);
            --count;
            ++removed;
            continue; // the next row now sits here
        }
        ++row;
    }
    return removed;
}

FillSelection CheckFillSelection(const std::vector<const WSIInvOrderData*>& rows,
                                 const std::function<bool()>& confirmOnPickList) {
    TVL_TRACE("tavel::views::CheckFillSelection");
    FillSelection out;
    bool asked = false;
    bool first = true;
    for (const WSIInvOrderData* r : rows) {
        if (!r)
            continue;
        if (r->IsExternal != 0) {
            out.message = 38576;
            return out;
        }
        if (r->Status == OnPickList && !asked) {
            asked = true;
            if (!confirmOnPickList()) {
                out.declined = true;
                return out;
            }
        }
        if (r->Status == Cancelled || r->Status == Closed || r->Status == Filled) {
            out.message = 38547;
            return out;
        }
        const std::string orderedBy = Trimmed(r->InvLoc);
        const std::string suppliedBy = Trimmed(r->InvLocFrom);
        if (first) {
            out.orderedBy = orderedBy;
            out.suppliedBy = suppliedBy;
            first = false;
        } else if (orderedBy != out.orderedBy || suppliedBy != out.suppliedBy) {
            out.message = 38546;
            return out;
        }
        out.orderItems.push_back(r->InvOrdIt);
    }
    if (out.orderItems.empty())
        out.message = 38548;
    return out;
}

std::string CommonOrderingLocation(const std::vector<const WSIReceivedData*>& rows) {
    std::string common;
    for (const WSIReceivedData* r : rows) {
        if (!r)
            continue;
        const std::string loc = Trimmed(r->OrderedBy);
        const bool qualifies = !loc.empty() && r->Type == 0 && r->Balance == r->Quantity;
        if (!qualifies || (!common.empty() && loc != common))
            return std::string();
        common = loc;
    }
    return common;
}

bool VendorsAllowOneOrder(const std::vector<const WSILevelsData*>& rows) {
    std::string remembered;
    for (const WSILevelsData* r : rows) {
        if (!r)
            continue;
        const std::string vendor = Trimmed(r->VendorName);
        if (!vendor.empty() && !remembered.empty() && vendor != remembered)
            return false;
        remembered = vendor;
    }
    return true;
}

} // namespace tavel::views

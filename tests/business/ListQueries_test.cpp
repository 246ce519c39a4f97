// The received list finds a date range through date indexes by a clause that must never
// change its rows: receipts dated apart from their audits across month ends, transfers and
// found stock (dated by their audits, some carrying a receipt), and receipt items without
// a receipt, listed for whole months, open ranges, a single day and the other filters,
// with and without that clause.

#include "InventoryListQueries.h"
#include "StockFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

namespace views = tavel::views;
using TextRows = std::vector<std::vector<std::string>>;

WSIDate Day(int y, int m, int d) {
    return {static_cast<short>(y), static_cast<short>(m), static_cast<short>(d)};
}

WSIDate AddDays(const WSIDate& date, int days) {
    using namespace std::chrono;
    const year_month_day ymd{sys_days{year{date.year} / month{static_cast<unsigned>(date.month)} /
                                      day{static_cast<unsigned>(date.day)}} +
                             std::chrono::days{days}};
    return Day(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
               static_cast<int>(static_cast<unsigned>(ymd.day())));
}

class ListQueriesTest : public StockTest {
protected:
    long AddReceipt(const WSIDate& date, const char* loc) {
        WSIInvRec r(db.get());
        Put(r.data.InvLoc, loc);
        r.data.Vendor = vendor;
        Put(r.data.PONumber, "PO-1");
        r.data.Date = date;
        r.data.Audit = AddAudit(date);
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
        return r.data.InvRec;
    }

    long AddItem(long product, const char* loc, short type, long invRec, const WSIDate& audit) {
        Lot lot;
        lot.type = type;
        lot.invRec = invRec;
        lot.invLocFrom = type == tavel::MovementType::Transfer ? kStore : "";
        lot.audit = AddAudit(audit);
        return AddLot(product, loc, lot);
    }

    // Rows of a statement in the module's dialect as text, in a fixed order (the list's
    // own order leaves ties).
    TextRows Sorted(const std::string& sql) {
        WSIDatabase::TextResult result;
        std::string error;
        EXPECT_TRUE(
            db->QueryText(__FILE__, __LINE__, sql.c_str(), WSIBVParametersInfo(), result, &error))
            << error << "\n"
            << sql;
        std::sort(result.rows.begin(), result.rows.end());
        return result.rows;
    }

    // The list's statement and the same without the index clause list the same rows;
    // returns how many.
    std::size_t ExpectSameRows(const InventorySearchParameters& p) {
        std::string sql = views::ReceivedSql(db.get(), p);
        const std::string clause =
            views::ReceivedDateCandidates(views::SqlDate(p.fromDate), views::SqlDate(p.toDate));
        const std::size_t at = sql.find(clause);
        EXPECT_FALSE(clause.empty());
        EXPECT_NE(at, std::string::npos) << sql;
        if (clause.empty() || at == std::string::npos)
            return 0;
        const TextRows rewritten = Sorted(sql);
        const TextRows original = Sorted(sql.erase(at, clause.size()));
        EXPECT_EQ(rewritten, original)
            << "from " << views::SqlDate(p.fromDate) << " to " << views::SqlDate(p.toDate)
            << ", location " << p.location << ", type " << p.itemType << ", vendor " << p.vendor;
        return original.size();
    }

    static InventorySearchParameters Range(const WSIDate& from, const WSIDate& to) {
        InventorySearchParameters p = InventorySearchParameters::AnyStatus();
        p.fromDate = from;
        p.toDate = to;
        return p;
    }
};

TEST_F(ListQueriesTest, ReceivedRowsAreTheSameWithTheDateIndexClause) {
    const long first = AddProduct("GAUZE");
    const long second = AddProduct("SYRINGE");
    // Receipts on and around month ends; their lines scanned days before or weeks after.
    const WSIDate receiptDays[] = {Day(2025, 12, 31), Day(2026, 1, 1),  Day(2026, 1, 31),
                                   Day(2026, 2, 1),   Day(2026, 2, 28), Day(2026, 3, 1),
                                   Day(2026, 3, 15)};
    const int scanOffsets[] = {-20, 0, 1, 35};
    std::vector<long> receipts;
    int n = 0;
    for (const WSIDate& day : receiptDays) {
        const char* loc = n % 2 ? kWard : kStore;
        const long receipt = AddReceipt(day, loc);
        receipts.push_back(receipt);
        for (int offset : scanOffsets)
            AddItem(++n % 2 ? first : second, loc, tavel::MovementType::Receipt, receipt,
                    AddDays(day, offset));
    }
    // Transfers and found stock, dated by their audits; some carry a receipt of another
    // month, which must not date them.
    const WSIDate moveDays[] = {Day(2025, 12, 1), Day(2026, 1, 31), Day(2026, 2, 1),
                                Day(2026, 2, 28), Day(2026, 3, 2)};
    for (std::size_t i = 0; i < std::size(moveDays); ++i) {
        AddItem(first, kWard, tavel::MovementType::Transfer, 0, moveDays[i]);
        AddItem(second, kWard, tavel::MovementType::Transfer, receipts[(i + 3) % receipts.size()],
                moveDays[i]);
        AddItem(second, kStore, tavel::MovementType::Adjustment, 0, moveDays[i]);
    }
    // A receipt line whose receipt is gone has no date to list it by.
    AddItem(first, kStore, tavel::MovementType::Receipt, 0, Day(2026, 1, 15));

    std::size_t listed = 0;
    for (int month = 0; month < 4; ++month) {
        const WSIDate start = AddDays(Day(2025, 12, 1), month * 31);
        const WSIDate from = Day(start.year, start.month, 1);
        const WSIDate next = AddDays(from, 32);
        const WSIDate to = AddDays(Day(next.year, next.month, 1), -1);
        const std::size_t rows = ExpectSameRows(Range(from, to));
        EXPECT_GT(rows, 0u) << "month " << views::SqlDate(from);
        listed += rows;
    }
    // 28 receipt lines, 10 transfers and 5 found, once each; the receipt-less line never.
    EXPECT_EQ(listed, 43u);

    EXPECT_GT(ExpectSameRows(Range(Day(2026, 2, 1), {})), 0u);
    EXPECT_GT(ExpectSameRows(Range({}, Day(2026, 1, 31))), 0u);
    EXPECT_GT(ExpectSameRows(Range(Day(2026, 1, 31), Day(2026, 1, 31))), 0u);
    EXPECT_EQ(ExpectSameRows(Range(Day(2025, 6, 1), Day(2025, 6, 30))), 0u);

    InventorySearchParameters p = Range(Day(2026, 1, 1), Day(2026, 2, 28));
    std::snprintf(p.location, sizeof p.location, "%s", kWard);
    EXPECT_GT(ExpectSameRows(p), 0u);
    p = Range(Day(2026, 2, 1), Day(2026, 3, 31));
    for (short type : {tavel::MovementType::Receipt, tavel::MovementType::Transfer,
                       tavel::MovementType::Adjustment}) {
        p.itemType = type;
        EXPECT_GT(ExpectSameRows(p), 0u) << "type " << type;
    }
    p = Range(Day(2026, 1, 1), Day(2026, 1, 31));
    p.vendor = vendor;
    EXPECT_GT(ExpectSameRows(p), 0u);
}

} // namespace

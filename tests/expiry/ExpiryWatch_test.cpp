// The expiry watch's lots on the demo data, against a query written by hand on the
// engine's own dates, and the limits of the window and of the urgency bands.

#include "BIInvExpiry.h"
#include "DemoData.h"
#include "Schema.h"
#include "SchemaTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

using schematest::TempDatabase;

namespace {

class ExpiryWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        t_ = std::make_unique<TempDatabase>();
        std::string problem;
        ASSERT_TRUE(tavel::CreateSchema(t_->db, &problem) && tavel::LoadDemoData(t_->db, &problem))
            << problem;
    }

    // The lots a hand-written query finds: balance left, expiry day on or before the
    // demo's today plus `days`, optionally at one location.
    std::vector<long> HandQuery(int days, const std::string& loc = "") {
        std::string sql = "SELECT InvItem FROM INVITEM WHERE Balance > 0 AND ExpiryDate IS NOT "
                          "NULL AND ExpiryDate <= date('2026-03-15', '+" +
                          std::to_string(days) + " days')";
        if (!loc.empty())
            sql += " AND InvLoc = '" + loc + "'";
        std::vector<long> ids;
        for (const auto& row : t_->Rows(sql + " ORDER BY InvItem"))
            ids.push_back(std::stol(row[0]));
        return ids;
    }
    static std::vector<long> Ids(const std::vector<tavel::ExpiringLot>& lots) {
        std::vector<long> ids;
        for (const auto& lot : lots)
            ids.push_back(lot.invItem);
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    void SetExpiry(long invItem, const std::string& iso) {
        t_->Rows("UPDATE INVITEM SET ExpiryDate = '" + iso +
                 "' WHERE InvItem = " + std::to_string(invItem));
    }
    // A lot of the demo with a balance, at STORE.
    long AnyStoreLot() {
        return t_->Number(
            "SELECT MIN(InvItem) FROM INVITEM WHERE Balance > 0 AND InvLoc = 'STORE'");
    }

    std::unique_ptr<TempDatabase> t_;
};

TEST_F(ExpiryWatchTest, ListsExactlyTheLotsAHandWrittenQueryFinds) {
    tavel::BIInvExpiry expiry(&t_->db);
    for (int days : {0, 30, 60, 90, 365}) {
        for (const std::string loc : {"", "STORE", "CART1"}) {
            const auto lots = expiry.LotsWithin(days, loc);
            EXPECT_EQ(Ids(lots), HandQuery(days, loc)) << days << " days at '" << loc << "'";
            if (!loc.empty()) {
                EXPECT_EQ(expiry.CountWithin(days, loc), static_cast<long>(lots.size()));
            }
        }
    }
    // The demo has lots in the window, expired ones among them, or the comparison above
    // would prove little.
    const auto lots = expiry.LotsWithin(90, "");
    ASSERT_GT(lots.size(), 5u);
    EXPECT_EQ(lots.front().urgency, tavel::ExpiryUrgency::Expired);
}

TEST_F(ExpiryWatchTest, WindowIncludesItsLastDayAndNotTheDayAfter) {
    const long lot = AnyStoreLot();
    ASSERT_GT(lot, 0);
    tavel::BIInvExpiry expiry(&t_->db);
    const auto has = [&](int days) {
        for (const auto& l : expiry.LotsWithin(days, "STORE"))
            if (l.invItem == lot)
                return true;
        return false;
    };
    SetExpiry(lot, "2026-04-14"); // today + 30
    EXPECT_TRUE(has(30));
    EXPECT_FALSE(has(29));
    SetExpiry(lot, "2026-04-15"); // today + 31
    EXPECT_FALSE(has(30));
    EXPECT_TRUE(has(31));
    // A used-up lot is no stock to watch; a lot without expiry date never expires.
    SetExpiry(lot, "2026-03-01");
    t_->Rows("UPDATE INVITEM SET Balance = 0 WHERE InvItem = " + std::to_string(lot));
    EXPECT_FALSE(has(30));
    t_->Rows("UPDATE INVITEM SET Balance = 1, ExpiryDate = NULL WHERE InvItem = " +
             std::to_string(lot));
    EXPECT_FALSE(has(3660));
}

TEST_F(ExpiryWatchTest, DaysLeftUrgencyAndValue) {
    const long lot = AnyStoreLot();
    t_->Rows("UPDATE INVITEM SET Balance = 3, CostPerUnit = 2.125 WHERE InvItem = " +
             std::to_string(lot));
    tavel::BIInvExpiry expiry(&t_->db);
    struct Case {
        const char* expiry;
        long daysLeft;
        tavel::ExpiryUrgency urgency;
    };
    const Case cases[] = {
        {"2026-03-14", -1, tavel::ExpiryUrgency::Expired},
        {"2026-03-15", 0, tavel::ExpiryUrgency::Within30}, // usable on its expiry day
        {"2026-04-14", 30, tavel::ExpiryUrgency::Within30},
        {"2026-04-15", 31, tavel::ExpiryUrgency::Within60},
        {"2026-05-14", 60, tavel::ExpiryUrgency::Within60},
        {"2026-05-15", 61, tavel::ExpiryUrgency::Later},
    };
    for (const Case& c : cases) {
        SetExpiry(lot, c.expiry);
        bool found = false;
        for (const auto& l : expiry.LotsWithin(90, "STORE")) {
            if (l.invItem != lot)
                continue;
            found = true;
            EXPECT_EQ(l.daysLeft, c.daysLeft) << c.expiry;
            EXPECT_EQ(l.urgency, c.urgency) << c.expiry;
            EXPECT_DOUBLE_EQ(l.value, 6.38) << c.expiry; // 3 x 2.125, half a cent up
            EXPECT_EQ(l.invLoc, "STORE");
            EXPECT_FALSE(l.productCode.empty());
        }
        EXPECT_TRUE(found) << c.expiry;
    }
}

TEST_F(ExpiryWatchTest, SortedByExpiryDayThenLocationAndProduct) {
    const auto lots = tavel::BIInvExpiry(&t_->db).LotsWithin(365, "");
    ASSERT_GT(lots.size(), 1u);
    for (std::size_t i = 1; i < lots.size(); ++i) {
        const auto& a = lots[i - 1];
        const auto& b = lots[i];
        const bool ordered =
            a.daysLeft < b.daysLeft ||
            (a.daysLeft == b.daysLeft &&
             (a.invLoc < b.invLoc || (a.invLoc == b.invLoc && a.productCode <= b.productCode)));
        EXPECT_TRUE(ordered) << "row " << i;
    }
}

TEST_F(ExpiryWatchTest, ExpiredStockCodeIsTheActiveDecreaseForExpiry) {
    tavel::BIInvExpiry expiry(&t_->db);
    EXPECT_EQ(expiry.ExpiredStockCode(), "EXP");
    // Inactive, it is not offered; a decrease named for expiry takes its place.
    t_->Rows("UPDATE INVADJ SET Inactive = 1 WHERE InvAdj = 'EXP'");
    EXPECT_EQ(expiry.ExpiredStockCode(), "");
    t_->Rows("INSERT INTO INVADJ (InvAdj, Description, Type, Inactive) VALUES ('OUTD', "
             "'Expiry write-off', 0, 0)");
    EXPECT_EQ(expiry.ExpiredStockCode(), "OUTD");
    // An increasing code is never the one.
    t_->Rows("UPDATE INVADJ SET Type = 1 WHERE InvAdj = 'OUTD'");
    EXPECT_EQ(expiry.ExpiredStockCode(), "");
}

} // namespace

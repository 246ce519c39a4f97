// A few thousand mixed stock movements drawn with a fixed seed over several products and
// locations, some of them refused. After each one the stock invariant must hold, no unit
// of work may be left open, and a refused movement must have changed nothing.

#include "BIException.h"
#include "BIInvAdj.h"
#include "BIInvCount.h"
#include "BIInvRepackage.h"
#include "BIInvSplit.h"
#include "BIInvTransfer.h"
#include "BoundedFormat.h"
#include "StockFixture.h"

#include <array>
#include <functional>
#include <iterator>
#include <map>
#include <random>

namespace {

class StockRandomTest : public StockTest {
protected:
    static constexpr int kMovements = 2500;
    static constexpr const char* kClinic = "CLINIC"; // does not track usage
    static constexpr const char* kClosed = "CLOSED"; // inactive

    // Sums over every row of the stock tables, cheap enough to take around each movement;
    // any change a movement could make to a row moves at least one of them. Read through
    // the service, so that both engines compute them from the same statements.
    struct Sums {
        double A, B, C, D, E, F;
    };
    static const TableDesc& SumsRow() {
        static const ColumnDesc columns[] = {
            TVL_COL(Sums, A, Amount, 0, false), TVL_COL(Sums, B, Amount, 0, false),
            TVL_COL(Sums, C, Amount, 0, false), TVL_COL(Sums, D, Amount, 0, false),
            TVL_COL(Sums, E, Amount, 0, false), TVL_COL(Sums, F, Amount, 0, false)};
        static const TableDesc desc{"SUMS", columns, std::size(columns), sizeof(Sums)};
        return desc;
    }
    std::string Fingerprint() {
        // Dates count as days since a fixed day.
        static const char* const kSums[] = {
            R"(SELECT COUNT(1), NVL(SUM("InvItem" * "Balance"), 0),
                      NVL(SUM("InvItem" * "Quantity"), 0), NVL(SUM("InvItem" * "CostPerUnit"), 0),
                      NVL(SUM("Audit"), 0),
                      NVL(SUM("ExpiryDate" - TO_DATE('2000-01-01', 'YYYY-MM-DD')), 0)
                 FROM INVITEM)",
            R"(SELECT COUNT(1), NVL(SUM("InvItDet" * "Quantity"), 0), NVL(SUM("CountValue"), 0),
                      NVL(SUM("InvItem"), 0), NVL(SUM("CostPerUnit"), 0) FROM INVITDET)",
            R"(SELECT COUNT(1), NVL(SUM("Product" * "Balance"), 0), NVL(SUM("LastCount"), 0),
                      NVL(SUM("LastCountDate" - TO_DATE('2000-01-01', 'YYYY-MM-DD')), 0),
                      NVL(SUM("Inactive"), 0) FROM PRDLOC)",
            R"(SELECT COUNT(1), NVL(SUM("Date" - TO_DATE('2000-01-01', 'YYYY-MM-DD')), 0)
                 FROM AUDITHIS)",
        };
        std::string text;
        for (const char* sql : kSums) {
            Sums sums{};
            if (!db->Query(__FILE__, __LINE__, "%s", WSIResult(SumsRow(), &sums), sql)->GetFirst())
                ADD_FAILURE() << "no sums from " << sql;
            char figures[256];
            TVL_FORMAT(figures, "%.17g/%.17g/%.17g/%.17g/%.17g/%.17g ", sums.A, sums.B, sums.C,
                       sums.D, sums.E, sums.F);
            text += figures;
        }
        return text;
    }

    // A stock item to split or repackage: any item, or now and then one that is not there.
    struct Pick {
        long invItem = 9999999;
        std::string invLoc = "STORE";
        long product = 0;
        short quantity = 1;
        double balance = 0;
    };
    Pick AnyItem(std::mt19937& rng) {
        Pick pick;
        const auto rows = Rows(R"(SELECT "InvItem", "InvLoc", "Product", "Quantity", "Balance"
                                  FROM INVITEM ORDER BY "InvItem")");
        if (rows.empty() || rng() % 20 == 0)
            return pick;
        const auto& row = rows[rng() % rows.size()];
        pick.invItem = std::stol(row[0]);
        pick.invLoc = row[1];
        pick.product = std::stol(row[2]);
        pick.quantity = static_cast<short>(std::stoi(row[3]));
        pick.balance = std::stod(row[4]);
        return pick;
    }
};

TEST_F(StockRandomTest, MixedMovementsKeepTheInvariantAndRefusalsChangeNothing) {
    // Each movement commits; waiting for the disk on every commit would only slow the run.
    Exec(db->IsServer() ? "SET synchronous_commit = off" : "PRAGMA synchronous = OFF");
    AddLocation(kClinic, tavel::LocationType::UsePoint);
    AddLocation(kClosed, tavel::LocationType::StoreRoom, 1);
    std::vector<long> products;
    for (short costing = 0; costing < 4; ++costing) {
        WSIProduct::WSIData p = NewProduct(("RND" + std::to_string(costing)).c_str());
        p.CostingMethod = costing;
        p.TrackExpiryDate = costing >= 2 ? 1 : 0;
        products.push_back(StoreProduct(p));
    }
    std::mt19937 rng(20261205);
    auto between = [&rng](int low, int high) {
        return low + static_cast<int>(rng() % (high - low + 1));
    };
    const std::array<WSIDate, 4> expiries{WSIDate{}, WSIDate{2025, 11, 30}, WSIDate{2026, 5, 1},
                                          WSIDate{2027, 1, 31}};
    for (long product : products) {
        AddPrdLoc(product, kClinic, 0);
        for (const char* loc : {kStore, kWard})
            for (int i = 0; i < 3; ++i) {
                Lot lot;
                lot.quantity = static_cast<short>(between(4, 20));
                lot.balance = between(0, lot.quantity);
                lot.cost = between(100, 900) / 100.0;
                lot.expiry = expiries[rng() % expiries.size()];
                AddLot(product, loc, lot);
            }
    }
    ASSERT_TRUE(Violations().empty());

    const std::array<const char*, 5> locations{kStore, kWard, kStore, kClinic, kClosed};
    auto location = [&] { return locations[rng() % locations.size()]; };
    auto product = [&] { return rng() % 25 == 0 ? 9999L : products[rng() % products.size()]; };
    // Mostly ordinary quantities, sometimes nothing, a negative one or beyond the maximum.
    auto quantity = [&]() -> short {
        switch (rng() % 30) {
        case 0:
            return 0;
        case 1:
            return -2;
        case 2:
            return 20000;
        default:
            return static_cast<short>(between(1, 14));
        }
    };
    auto coin = [&] { return rng() % 2 == 0; };

    BIInvAdj adj(db.get());
    BIInvCount count(db.get());
    count.InitBatch("", "");
    BIInvTransfer transfer(db.get());
    BIInvSplit split(db.get());
    BIInvRepackage repackage(db.get());

    // Adjust leaves its unit of work to its caller, which aborts it on a refusal. Values
    // are drawn one statement at a time so that the sequence does not depend on the order
    // in which a compiler evaluates arguments.
    auto adjust = [&](short type, const char* code) {
        const char* loc = location();
        const long p = product();
        const short q = quantity();
        const bool createMissing = coin(), allowExpired = coin(), allowNoExpiry = coin();
        try {
            adj.Adjust(loc, type, p, q, code, createMissing, allowExpired, allowNoExpiry, 0, 0, 0,
                       "", 0);
        } catch (...) {
            db->TransactionAbort();
            throw;
        }
    };
    const std::array<const char*, 4> adjCodes{kLossCode, kFoundCode, kLossCode, "NOCODE"};
    const std::vector<std::pair<const char*, std::function<void()>>> movements = {
        {"adjust", [&] { adjust(tavel::MovementType::Adjustment, adjCodes[rng() % 4]); }},
        {"use", [&] { adjust(tavel::MovementType::Usage, ""); }},
        {"count",
         [&] {
             if (rng() % 10 == 0)
                 count.InitBatch("", "");
             const short counted =
                 rng() % 15 == 0 ? quantity() : static_cast<short>(between(0, 30));
             const char* loc = location();
             const long p = product();
             count.CountProduct(loc, p, counted, rng() % 8 ? kCountCode : kFoundCode);
         }},
        {"transfer",
         [&] {
             const char* from = location();
             const char* to = location();
             transfer.InitBatch(from, to);
             const long p = product();
             const short q = quantity();
             const bool createMissing = coin(), allowExpired = coin(), allowNoExpiry = coin();
             transfer.Transfer(p, q, createMissing, allowExpired, allowNoExpiry);
         }},
        {"split",
         [&] {
             const Pick item = AnyItem(rng);
             const short q = static_cast<short>(between(0, item.quantity));
             const double cost = rng() % 15 ? between(0, 500) / 100.0 : -1.0;
             split.Split(item.invItem, q, cost, expiries[rng() % expiries.size()]);
         }},
        {"repackage",
         [&] {
             const Pick item = AnyItem(rng);
             const short q = static_cast<short>(between(0, static_cast<int>(item.balance) + 1));
             const long target = product();
             const short made = static_cast<short>(between(0, 24));
             const double cost = rng() % 15 ? between(0, 300) / 100.0 : -0.5;
             repackage.Repackage(item.invItem, item.invLoc.c_str(), item.product, q, target, made,
                                 cost);
         }},
    };

    std::map<std::string, std::pair<int, int>> outcomes; // done, refused
    for (int n = 0; n < kMovements; ++n) {
        const auto& [name, move] = movements[rng() % movements.size()];
        const std::string before = Fingerprint();
        bool refused = false;
        try {
            move();
        } catch (BIException&) {
            refused = true;
        }
        SCOPED_TRACE(std::string(name) + " #" + std::to_string(n));
        ASSERT_EQ(db->TransactionLevel(), 0);
        if (refused) {
            ASSERT_EQ(Fingerprint(), before);
        }
        const auto violations = Violations();
        ASSERT_TRUE(violations.empty()) << violations.front();
        ++(refused ? outcomes[name].second : outcomes[name].first);
    }
    // Every kind of movement must have been both carried out and refused, or the run
    // proves less than it claims.
    ASSERT_EQ(outcomes.size(), movements.size());
    for (const auto& [name, outcome] : outcomes) {
        EXPECT_GT(outcome.first, 20) << name;
        EXPECT_GT(outcome.second, 5) << name;
    }
}

} // namespace

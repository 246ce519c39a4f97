// The stock invariant checker: silent on consistent stock, and each kind of damage is
// reported under its own rule.

#include "StockFixture.h"

#include <set>
#include <string>

namespace {

struct Damage {
    const char* name;
    const char* sql; // SQLite; $LOT is the partly used lot, $EMPTY the used-up one
    std::set<std::string> rules;
};

class StockCheckTest : public StockTest, public ::testing::WithParamInterface<Damage> {
protected:
    void SetUp() override {
        StockTest::SetUp();
        const long product = AddProduct("SYR3");
        Lot used;
        used.quantity = 6;
        used.balance = 4;
        lot = AddLot(product, kStore, used);
        Lot gone;
        gone.quantity = 2;
        gone.balance = 0;
        empty = AddLot(product, kStore, gone);
        AddLot(product, kWard, 3);
        // A count marker belongs to no stock item.
        Exec("INSERT INTO INVITDET (\"InvItem\", \"Type\", \"InvLoc\", \"Product\", \"Quantity\", "
             "\"CountValue\") VALUES (0, 6, 'STORE', " +
             std::to_string(product) + ", 0, 4)");
    }

    std::string Sql(std::string text) {
        for (auto [key, value] : {std::pair{"$LOT", lot}, std::pair{"$EMPTY", empty}})
            for (std::size_t at; (at = text.find(key)) != std::string::npos;)
                text.replace(at, std::strlen(key), std::to_string(value));
        return text;
    }

    long lot = 0, empty = 0;
};

TEST_P(StockCheckTest, ReportsEachKindOfDamageUnderItsRule) {
    const Damage& d = GetParam();
    if (*d.sql) {
        ASSERT_TRUE(Exec(Sql(d.sql)));
    }
    std::set<std::string> rules;
    for (const tavel::StockViolation& v : tavel::CheckStock(*db)) {
        rules.insert(tavel::RuleName(v.rule));
        EXPECT_FALSE(v.text.empty());
    }
    EXPECT_EQ(rules, d.rules) << testing::PrintToString(Violations());
}

const Damage kDamage[] = {
    {"consistent", "", {}},
    {"location_balance_off",
     "UPDATE PRDLOC SET \"Balance\" = \"Balance\" + 1 WHERE \"InvLoc\" = 'WARD'",
     {"location-balance"}},
    // Sums must agree exactly: the stock operations refuse on any difference.
    {"location_balance_off_by_a_rounding_error",
     "UPDATE PRDLOC SET \"Balance\" = 3.0000000000001 WHERE \"InvLoc\" = 'WARD'",
     {"location-balance"}},
    {"stock_without_product_location",
     "DELETE FROM PRDLOC WHERE \"InvLoc\" = 'WARD'",
     {"location-balance"}},
    {"balance_below_zero",
     "UPDATE INVITEM SET \"Balance\" = -2 WHERE \"InvItem\" = $EMPTY;"
     "UPDATE PRDLOC SET \"Balance\" = 2 WHERE \"InvLoc\" = 'STORE'",
     {"item-balance", "item-details"}},
    {"balance_above_quantity",
     "UPDATE INVITEM SET \"Balance\" = 7 WHERE \"InvItem\" = $LOT;"
     "UPDATE PRDLOC SET \"Balance\" = 7 WHERE \"InvLoc\" = 'STORE'",
     {"item-balance", "item-details"}},
    {"movement_detail_lost",
     "DELETE FROM INVITDET WHERE \"InvItem\" = $LOT AND \"Quantity\" < 0",
     {"item-details"}},
    {"all_details_lost", "DELETE FROM INVITDET WHERE \"InvItem\" = $LOT", {"item-details"}},
    // An emptied lot's details may cancel out in a batch; that is no damage.
    {"emptied_lot_without_details", "DELETE FROM INVITDET WHERE \"InvItem\" = $EMPTY", {}},
    // Codes compare blank-padded, as the database compares them: 'STORE ' is STORE.
    {"location_code_with_trailing_blank",
     "UPDATE INVITEM SET \"InvLoc\" = 'STORE ' WHERE \"InvItem\" = $LOT;"
     "UPDATE PRDLOC SET \"InvLoc\" = 'WARD ' WHERE \"InvLoc\" = 'WARD'",
     {}},
    {"detail_of_a_missing_item",
     "DELETE FROM INVITEM WHERE \"InvItem\" = $EMPTY",
     {"orphan-detail"}},
};

INSTANTIATE_TEST_SUITE_P(Damage, StockCheckTest, ::testing::ValuesIn(kDamage),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

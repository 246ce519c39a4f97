// Rules of orders, order items, receipts and stock items.

#include "DBInvItem.h"
#include "DBInvOrdIt.h"
#include "DBInvOrder.h"
#include "DBInvRec.h"
#include "TablesFixture.h"

TEST_F(TablesTest, InvOrder_FirstFailedCheckDecides) {
    Store<WSIInvLoc>({{"InvLoc", "OLDLOC"}, {"Inactive", "1"}});
    Store<WSIInvOType>({{"InvOType", "GONE"}, {"Inactive", "1"}});
    const std::string gone = Id(Store<WSIVendor>({{"Name", "Gone Supply"}, {"Inactive", "1"}}));
    AddOrder(true, {{"PONumber", "PO-364"}, {"Date", "@-364"}});
    AddOrder(true, {{"PONumber", "PO-366"}, {"Date", "@-366"}});
    const std::string stored = Id(AddOrder(false));
    const Fields external = {{"IsExternal", "1"}, {"InvLocFrom", ""}, {"InvOType", "EXT"}};
    auto ext = [&](Fields more) {
        more.insert(more.begin(), external.begin(), external.end());
        return more;
    };
    // clang-format off
    ExpectCases<DBInvOrder>(ValidOrder(false), {
        {"valid internal", DB_INSERT, {}, 0, ""},
        {"valid external", DB_INSERT, external, 0, ""},
        {"no ordering location", DB_INSERT, {{"InvLoc", ""}}, 0x4501, "#45032"},
        {"unknown ordering location", DB_INSERT, {{"InvLoc", "NOWHRE"}}, 0x4501, "#38139"},
        {"inactive ordering location", DB_INSERT, {{"InvLoc", "OLDLOC"}}, 0x4501, "#38139"},
        {"inactive location kept", DB_UPDATE, {{"InvOrder", stored}, {"InvLoc", "OLDLOC"}}, 0, ""},
        {"location first", DB_INSERT, {{"InvLoc", ""}, {"InvOType", ""}}, 0x4501, "#45032"},
        {"no order type", DB_INSERT, {{"InvOType", ""}}, 0x4503, "#45032"},
        {"unknown order type", DB_INSERT, {{"InvOType", "NOPE"}}, 0x4503, "#38141"},
        {"inactive order type", DB_INSERT, {{"InvOType", "GONE"}}, 0x4503, "#38141"},
        {"no supplier", DB_INSERT, {{"InvLocFrom", ""}}, 0x4502, "#45032"},
        {"unknown supplier", DB_INSERT, {{"InvLocFrom", "NOWHRE"}}, 0x4502, "#38140"},
        {"ordered from itself", DB_INSERT, {{"InvLocFrom", "WARD"}}, 0x4507, "#38153"},
        {"external from itself", DB_INSERT, ext({{"InvLocFrom", "WARD"}}), 0, ""},
        {"unknown vendor", DB_INSERT, {{"Vendor", "9999"}}, 0x4504, "#38142"},
        {"inactive vendor", DB_INSERT, {{"Vendor", gone}}, 0x4504, "#38142"},
        {"inactive vendor kept", DB_UPDATE, {{"InvOrder", stored}, {"Vendor", gone}}, 0, ""},
        {"dated tomorrow", DB_INSERT, {{"Date", "@1"}}, 0x4508, "#38503"},
        {"dated tomorrow, update", DB_UPDATE, {{"InvOrder", stored}, {"Date", "@1"}}, 0x4508,
         "#38503"},
        {"impossible date", DB_INSERT, {{"Date", "2024-02-30"}}, 0x4508, "#38503"},
        {"PO of 364 days ago", DB_INSERT, ext({{"PONumber", "PO-364"}}), 0x4505, "#38143"},
        {"PO of 366 days ago", DB_INSERT, ext({{"PONumber", "PO-366"}}), 0, ""},
        {"PO on an internal order", DB_INSERT, {{"PONumber", "PO-364"}}, 0, ""},
        {"special external", DB_INSERT, ext({{"SpecialOrder", "1"}}), 0x4506, "#38144"},
        {"special internal", DB_INSERT, {{"SpecialOrder", "1"}}, 0, ""},
    });
    // clang-format on
}

TEST_F(TablesTest, InvOrder_DeleteTakesAllItsItemsWhateverTheirStatus) {
    const std::string order = Id(AddOrder(false));
    for (const char* status : {"7", "4", "1", "5"})
        Store<WSIInvOrdIt>({{"InvOrder", order}, {"Status", status}, {"Quantity", "3"}});
    const std::string other = Id(AddOrder(false));
    Store<WSIInvOrdIt>({{"InvOrder", other}});
    EXPECT_EQ(Delete<DBInvOrder>({{"InvOrder", order}}), 0);
    EXPECT_EQ(Rows("INVORDIT", "\"InvOrder\" = " + order), 0);
    EXPECT_EQ(Rows("INVORDIT", "\"InvOrder\" = " + other), 1);
}

TEST_F(TablesTest, InvOrdIt_FirstFailedCheckDecides) {
    auto offered = [&](const char* code, const Fields& changes) {
        const std::string id = Id(AddProduct(code, changes));
        Store<WSIPrdLoc>({{"Product", id}, {"InvLoc", "STORE"}, {"CanOrderFrom", "1"}});
        return id;
    };
    const std::string gauze = offered("GAUZE001", {});
    const std::string inactive = offered("INACTIV1", {{"Inactive", "1"}});
    const std::string notOrderable = offered("NOORDER1", {{"CanOrder", "0"}});
    const std::string onOrder = offered("ONORDER1", {});
    const std::string cancelled = offered("CANCELD1", {});
    const std::string notOffered = Id(AddProduct("NOTOFFR1"));
    const std::string internal = Id(AddOrder(false));
    const std::string external = Id(AddOrder(true));
    const std::string special = Id(AddOrder(false, {{"SpecialOrder", "1"}}));
    const std::string onOrderItem =
        Id(Store<WSIInvOrdIt>({{"InvOrder", internal}, {"Product", onOrder}, {"Status", "9"}}));
    Store<WSIInvOrdIt>({{"InvOrder", internal}, {"Product", cancelled}, {"Status", "4"}});
    auto on = [](const std::string& order, const std::string& product) {
        return Fields{{"InvOrder", order}, {"Product", product}};
    };
    // clang-format off
    ExpectCases<DBInvOrdIt>({{"Quantity", "2"}}, {
        {"valid", DB_INSERT, on(internal, gauze), 0, ""},
        {"no such order", DB_INSERT, on("9999", gauze), 0x4607, "#38183"},
        {"no such product", DB_INSERT, on(internal, "9999"), 0x4601, "#38146"},
        {"inactive product", DB_INSERT, on(internal, inactive), 0x4601, "#38146"},
        {"inactive product kept", DB_UPDATE, on(internal, inactive), 0, ""},
        {"not orderable, internal", DB_INSERT, on(internal, notOrderable), 0x4606, "#38168"},
        {"not orderable, external", DB_INSERT, on(external, notOrderable), 0, ""},
        {"already on the order", DB_INSERT, on(internal, onOrder), 0x4602, "#38147"},
        {"on the order but cancelled", DB_INSERT, on(internal, cancelled), 0, ""},
        {"the item itself", DB_UPDATE,
         {{"InvOrder", internal}, {"Product", onOrder}, {"InvOrdIt", onOrderItem}}, 0, ""},
        {"not offered by the supplier", DB_INSERT, on(internal, notOffered), 0x4605, "#38163"},
        {"not offered, external", DB_INSERT, on(external, notOffered), 0, ""},
        {"no product, regular order", DB_INSERT, on(internal, "0"), 0x4601, "#45032"},
        {"negative quantity", DB_INSERT,
         {{"InvOrder", internal}, {"Product", gauze}, {"Quantity", "-1"}}, 0x4603, "#38562"},
        {"described item, special order", DB_INSERT,
         {{"InvOrder", special}, {"Description", "Custom splint"}}, 0, ""},
        {"undescribed item, special order", DB_INSERT, on(special, "0"), 0x4604, "#38149"},
        {"quantity first", DB_INSERT, {{"InvOrder", special}, {"Quantity", "-1"}}, 0x4603,
         "#38562"},
    });
    // clang-format on
}

TEST_F(TablesTest, InvOrdIt_DeleteOnlyBeforeSupplyStarted) {
    namespace S = tavel::OrdItStatus;
    const std::string order = Id(AddOrder(false));
    struct Case {
        short status;
        short quantity;
        bool deletable;
    };
    for (const Case& c : {Case{S::Ordered, 5, true},
                          {S::Requested, 5, true},
                          {S::InReview, 5, true},
                          {S::Purchased, 5, false},
                          {S::OnPickList, 5, false},
                          {S::Filled, 5, false},
                          {S::Cancelled, 5, false},
                          {S::Purchased, 0, true}}) {
        const std::string id = Id(Store<WSIInvOrdIt>(
            {{"InvOrder", order}, {"Status", Id(c.status)}, {"Quantity", Id(c.quantity)}}));
        // The guard reads the item as loaded.
        DBInvOrdIt t(db.get());
        Set(t, {{"InvOrdIt", id}});
        ASSERT_TRUE(t.GetEqual(__FILE__, __LINE__, dbiNOLOCK));
        EXPECT_EQ(t.DeleteDB(__FILE__, __LINE__, false), c.deletable) << c.status;
        EXPECT_EQ(t.GetError(), c.deletable ? 0 : kDbErrInUse);
        EXPECT_EQ(Rows("INVORDIT", "\"InvOrdIt\" = " + id), c.deletable ? 0 : 1);
    }
}

TEST_F(TablesTest, InvRec_FirstFailedCheckDecides) {
    Store<WSIInvLoc>({{"InvLoc", "OLDLOC"}, {"Inactive", "1"}});
    const std::string gone = Id(Store<WSIVendor>({{"Name", "Gone Supply"}, {"Inactive", "1"}}));
    // clang-format off
    ExpectCases<DBInvRec>(
        {{"InvLoc", "STORE"}, {"Vendor", Id(vendor)}, {"Date", "@0"}, {"PODate", "@-3"}}, {
        {"valid", DB_INSERT, {}, 0, ""},
        {"unknown location", DB_INSERT, {{"InvLoc", "NOWHRE"}}, 0x4801, "#38558"},
        {"inactive location", DB_UPDATE, {{"InvLoc", "OLDLOC"}}, 0x4801, "#38558"},
        {"dated tomorrow", DB_INSERT, {{"Date", "@1"}}, 0x4805, "#38589"},
        {"impossible date", DB_INSERT, {{"Date", "2999-13-01"}}, 0, ""},
        {"unknown vendor", DB_INSERT, {{"Vendor", "9999"}}, 0x4802, "#38559"},
        {"inactive vendor", DB_UPDATE, {{"Vendor", gone}}, 0x4802, "#38559"},
        {"no vendor", DB_INSERT, {{"Vendor", "0"}}, 0, ""},
        {"purchase order dated tomorrow", DB_INSERT, {{"PODate", "@1"}}, 0x4803, "#38560"},
        {"date before vendor", DB_INSERT, {{"Date", "@1"}, {"Vendor", "9999"}}, 0x4805, "#38589"},
    });
    // clang-format on
}

TEST_F(TablesTest, InvItem_ReferencesMustExistAndQuantitiesStayInBounds) {
    app->SetMinProductLength(4); // quantities up to 999
    const std::string product = Id(AddProduct("GAUZE001"));
    const std::string receipt = Id(Store<WSIInvRec>({{"InvLoc", "STORE"}}));
    const std::string orderItem = Id(Store<WSIInvOrdIt>({{"InvOrder", Id(AddOrder(false))}}));
    // clang-format off
    ExpectCases<DBInvItem>(
        {{"Product", product}, {"InvLoc", "STORE"}, {"Quantity", "10"}, {"Balance", "10"}}, {
        {"valid", DB_INSERT, {}, 0, ""},
        {"every reference", DB_UPDATE,
         {{"InvRec", receipt}, {"InvOrdIt", orderItem}, {"InvLocFrom", "WARD"}}, 0, ""},
        {"unknown receipt", DB_INSERT, {{"InvRec", "9999"}}, 0x4301, "#38537"},
        {"unknown location", DB_INSERT, {{"InvLoc", "NOWHRE"}}, 0x4302, "#38501"},
        {"unknown product", DB_INSERT, {{"Product", "9999"}}, 0x4303, "#38504"},
        {"location first", DB_INSERT, {{"InvLoc", "NOWHRE"}, {"Product", "9999"}}, 0x4302,
         "#38501"},
        {"quantity at the maximum", DB_INSERT, {{"Quantity", "999"}}, 0, ""},
        {"quantity above the maximum", DB_INSERT, {{"Quantity", "1000"}}, 0x4304, "#38562"},
        {"negative quantity", DB_UPDATE, {{"Quantity", "-1"}}, 0x4304, "#38562"},
        {"negative balance", DB_INSERT, {{"Balance", "-0.5"}}, 0x4305, "#38538"},
        {"unknown source location", DB_INSERT, {{"InvLocFrom", "NOWHRE"}}, 0x4306, "#38539"},
        {"unknown order item", DB_INSERT, {{"InvOrdIt", "9999"}}, 0x4307, "#38540"},
    });
    // clang-format on
}

// The current selection of BIInventory: Find operations keep type, category and product
// consistent, Clear operations cascade downwards, text getters fill and cut; and the
// stock queries and list statements screens run.

#include "BIInventory.h"
#include "StockFixture.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

class SelectionTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        otherType = AddPrdType("Drugs");
        AddPrdCat(otherType, "VAC", "Vaccines");
        AddPrdCat(prdType, "GLV", "Gloves");
        WSIProduct::WSIData s = NewProduct("SYR3");
        Put(s.UPCCode, "0123456789012");
        syringe = StoreProduct(s);
        WSIProduct::WSIData g = NewProduct("GLOVE");
        Put(g.PrdCat, "GLV");
        glove = StoreProduct(g);
        WSIProduct::WSIData v = NewProduct("O'FLU");
        v.PrdType = otherType;
        Put(v.PrdCat, "VAC");
        v.ItemsPerUnit = 10;
        Put(v.ItemUnit, "Vial");
        vaccine = StoreProduct(v);
        bi = std::make_unique<BIInventory>(db.get());
    }

    std::string Cat() {
        char buf[16];
        bi->GetPrdCatId(buf, sizeof buf);
        return buf;
    }
    long Type() {
        long id = -1;
        bi->GetPrdTypeId(id);
        return id;
    }
    long Product() {
        long id = -1;
        bi->GetProductId(id);
        return id;
    }

    std::unique_ptr<BIInventory> bi;
    long otherType = 0, syringe = 0, glove = 0, vaccine = 0;
};

TEST_F(SelectionTest, FindProduct_ByProductOrUpcCode_LoadsTypeAndCategoryWithIt) {
    BIInventory& inv = *bi;
    EXPECT_EQ(inv.FindProduct("0123456789012", false), syringe);
    EXPECT_EQ(Type(), prdType);
    EXPECT_EQ(Cat(), kCat);
    // A quote in the code is data, not the end of the literal.
    EXPECT_EQ(inv.FindProduct("O'FLU", false), vaccine);
    EXPECT_EQ(Type(), otherType);
    EXPECT_EQ(Cat(), "VAC");
    // Nothing found leaves no product, and an empty code never matches a missing UPC code.
    EXPECT_EQ(inv.FindProduct("NOPE", false), 0);
    EXPECT_EQ(Product(), 0);
    EXPECT_EQ(inv.FindProduct("", false), 0);
}

TEST_F(SelectionTest, FindProduct_WithinSelection_LooksOnlyInTheCurrentCategoryOrType) {
    BIInventory& inv = *bi;
    ASSERT_TRUE(inv.FindPrdCat(prdType, "GLV", false));
    EXPECT_EQ(inv.FindProduct("SYR3", true), 0);
    EXPECT_EQ(Product(), 0);
    EXPECT_EQ(inv.FindProduct(glove, true), glove);
    // Without the flag the product is found and the category follows it.
    EXPECT_EQ(inv.FindProduct("SYR3", false), syringe);
    EXPECT_EQ(Cat(), kCat);
    // With only a type selected, products of that type are found in any category.
    inv.ClearPrdCat();
    EXPECT_EQ(inv.FindProduct(glove, true), glove);
    inv.ClearPrdCat();
    EXPECT_EQ(inv.FindProduct(vaccine, true), 0);
}

TEST_F(SelectionTest, FindPrdTypeAndCat_RepairTheChain) {
    BIInventory& inv = *bi;
    ASSERT_EQ(inv.FindProduct(syringe, false), syringe);
    // The type of the current category keeps category and product.
    EXPECT_EQ(inv.FindPrdType(prdType), prdType);
    EXPECT_EQ(Cat(), kCat);
    EXPECT_EQ(Product(), syringe);
    // Another category of the same type: the product no longer matches it.
    EXPECT_TRUE(inv.FindPrdCat(prdType, "GLV", false));
    EXPECT_EQ(Product(), 0);
    // A category of another type brings its type along.
    EXPECT_TRUE(inv.FindPrdCat(otherType, "VAC", false));
    EXPECT_EQ(Type(), otherType);
    // Within the current type, a category of another type is not found.
    EXPECT_FALSE(inv.FindPrdCat(prdType, "GLV", true));
    EXPECT_EQ(Cat(), "");
    // Another type clears category and product.
    ASSERT_EQ(inv.FindProduct(vaccine, false), vaccine);
    EXPECT_EQ(inv.FindPrdType(prdType), prdType);
    EXPECT_EQ(Cat(), "");
    EXPECT_EQ(Product(), 0);
    EXPECT_EQ(inv.FindPrdType(9999), 0);
    EXPECT_EQ(Type(), 0);
}

TEST_F(SelectionTest, Clear_CascadesDownwardsOnly) {
    BIInventory& inv = *bi;
    struct Case {
        const char* name;
        void (BIInventory::*clear)();
        bool type, cat, product, vendor, location; // what stays
    };
    const Case cases[] = {
        {"ClearPrdType", &BIInventory::ClearPrdType, false, false, false, true, true},
        {"ClearPrdCat", &BIInventory::ClearPrdCat, true, false, false, true, true},
        {"ClearProduct", &BIInventory::ClearProduct, true, true, false, true, true},
        {"ClearVendor", &BIInventory::ClearVendor, true, true, true, false, true},
        {"ClearInvLoc", &BIInventory::ClearInvLoc, true, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(inv.FindProduct(syringe, false), syringe);
        ASSERT_EQ(inv.FindVendor(vendor), vendor);
        ASSERT_TRUE(inv.FindInvLoc(kWard));
        (inv.*c.clear)();
        long id = 0;
        short type = 0;
        EXPECT_EQ(inv.GetPrdTypeId(id), c.type);
        EXPECT_EQ(!Cat().empty(), c.cat);
        EXPECT_EQ(inv.GetProductId(id), c.product);
        EXPECT_EQ(inv.GetVendorId(id), c.vendor);
        EXPECT_EQ(inv.GetInvLocType(type), c.location);
        EXPECT_EQ(type,
                  c.location ? tavel::LocationType::SupplyRoom : tavel::LocationType::UsePoint);
    }
}

TEST_F(SelectionTest, TextGetters_ZeroTheBufferAndCutToItsSize) {
    BIInventory& inv = *bi;
    char buf[48];
    std::memset(buf, 'x', sizeof buf);
    double cost = -1;
    EXPECT_FALSE(inv.GetProductCode(buf, sizeof buf));
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(buf[sizeof buf - 1], '\0');
    EXPECT_FALSE(inv.GetProductCost(cost));
    EXPECT_EQ(cost, 0.0);
    EXPECT_FALSE(inv.GetProductItemsPerUnitString(buf, sizeof buf));

    ASSERT_EQ(inv.FindProduct(vaccine, false), vaccine);
    std::memset(buf, 'x', sizeof buf);
    EXPECT_TRUE(inv.GetProductCode(buf, 4));
    EXPECT_EQ(std::string(buf, 5), std::string("O'F\0x", 5));
    EXPECT_TRUE(inv.GetPrdCatDescription(buf, sizeof buf));
    EXPECT_STREQ(buf, "Vaccines");
    EXPECT_TRUE(inv.GetProductCost(cost));
    EXPECT_EQ(cost, 2.5);

    struct Case {
        int size;
        const char* text;
    };
    for (Case c :
         {Case{40, "Items per unit: 10 Vial"}, Case{10, "10"}, Case{4, "10"}, Case{3, ""}}) {
        std::memset(buf, 'x', sizeof buf);
        EXPECT_TRUE(inv.GetProductItemsPerUnitString(buf, c.size)) << c.size;
        EXPECT_STREQ(buf, c.text) << c.size;
    }
    // Without a product the category description is not the product's.
    inv.ClearProduct();
    EXPECT_FALSE(inv.GetPrdCatDescription(buf, sizeof buf));
}

TEST_F(SelectionTest, StockQueries_CountOnlyWhatTheyAreAbout) {
    BIInventory& inv = *bi;
    AddLocation("CART", tavel::LocationType::UsePoint);
    AddLot(syringe, kStore, 7);
    AddLot(syringe, kWard, 3);
    AddPrdLoc(syringe, "CART", 0, 0, 4, 0);
    Exec("UPDATE PRDLOC SET \"CanOrderFrom\" = 0 WHERE \"InvLoc\" = 'WARD'");
    EXPECT_EQ(inv.GetBalance(syringe, false), 10.0);
    EXPECT_EQ(inv.GetBalance(syringe, true), 7.0);
    EXPECT_EQ(inv.GetLastCount(syringe, false), 4.0);
    EXPECT_EQ(inv.GetNumOrderLocations(syringe), 1);
    EXPECT_TRUE(inv.LocationAllowsOrders(kStore));
    EXPECT_FALSE(inv.LocationAllowsOrders(kWard));
    SetProductInactive(syringe, 1);
    EXPECT_EQ(inv.GetBalance(syringe, true), 0.0);
    EXPECT_EQ(inv.GetNumOrderLocations(syringe), 0);

    const long approved = AddOrder(false, 0, user);
    const long open = AddOrder(false);
    const long closed = AddOrder(false, 1);
    EXPECT_TRUE(inv.IsOrderApproved(AddOrdIt(approved, glove, 5, 0)));
    EXPECT_FALSE(inv.IsOrderApproved(AddOrdIt(open, glove, 5, 0)));
    EXPECT_FALSE(inv.IsOnBackOrderFromLoc(vaccine, kStore));
    AddOrdIt(closed, vaccine, 5, tavel::OrdItStatus::BackOrdered, 1, 1);
    EXPECT_FALSE(inv.IsOnBackOrderFromLoc(vaccine, kStore));
    AddOrdIt(open, vaccine, 5, tavel::OrdItStatus::BackOrdered, 1, 1);
    EXPECT_TRUE(inv.IsOnBackOrderFromLoc(vaccine, kStore));
    EXPECT_FALSE(inv.IsOnBackOrderFromLoc(vaccine, kWard));
}

// Rows a list statement returns once the view's condition slots are filled with nothing.
template <class Row> int CountRows(WSIDatabase* db, const char* statement, int slots) {
    Row row{};
    auto cursor =
        slots == 1
            ? db->Query(__FILE__, __LINE__, statement, WSIResult(Row::Table(), &row), "")
            : db->Query(__FILE__, __LINE__, statement, WSIResult(Row::Table(), &row), "", "");
    int n = 0;
    for (bool ok = cursor->GetFirst(); ok; ok = cursor->GetNext())
        ++n;
    return n;
}

TEST_F(SelectionTest, SearchStrings_RunAndListWhatTheViewsShow) {
    BIInventory& inv = *bi;
    const long lot = AddLot(syringe, kStore, 6);
    AddLot(glove, kStore, 2);
    AddLot(glove, kWard, 2);
    WSIInvItem::WSIData item = Item(lot);
    AddDetail(item, tavel::MovementType::Usage, -1, AddAudit());
    Exec("UPDATE INVITEM SET \"Balance\" = 5 WHERE \"InvItem\" = " + std::to_string(lot));
    Exec("UPDATE PRDLOC SET \"Balance\" = 5 WHERE \"Product\" = " + std::to_string(syringe));
    const long order = AddOrder(false);
    AddOrdIt(order, syringe, 4, tavel::OrdItStatus::Ordered);
    AddOrdIt(order, glove, 3, tavel::OrdItStatus::Cancelled);

    char sql[BIInventory::kSearchStringSize];
    inv.GetSearchString(sql, 0, true, false);
    EXPECT_EQ(CountRows<WSIInvOrderData>(db.get(), sql, 1), 2);
    inv.GetSearchString(sql, 1, false, false);
    EXPECT_EQ(CountRows<WSILevelsData>(db.get(), sql, 2), 2);
    inv.GetSearchString(sql, 1, true, false);
    EXPECT_EQ(CountRows<WSILevelsData>(db.get(), sql, 2), 3);
    inv.GetSearchString(sql, 1, true, true);
    EXPECT_EQ(CountRows<WSILevelsData>(db.get(), sql, 2), 3);
    // The quantity still to fill is counted against the supplying location.
    WSILevelsData levels{};
    auto cursor = db->Query(__FILE__, __LINE__, sql, WSIResult(WSILevelsData::Table(), &levels),
                            " AND PL.\"InvLoc\" = 'STORE'", " AND P.\"ProductCode\" = 'SYR3'");
    ASSERT_TRUE(cursor->GetFirst());
    EXPECT_EQ(levels.Orders, 4);
    EXPECT_EQ(levels.Balance, 5.0);
    inv.GetSearchString(sql, 2, true, false);
    EXPECT_EQ(CountRows<WSIReceivedData>(db.get(), sql, 1), 3);
    inv.GetSearchString(sql, 3, true, false);
    EXPECT_EQ(CountRows<WSIUsageData>(db.get(), sql, 1), 1);
    std::memset(sql, 'x', 8);
    inv.GetSearchString(sql, 4, true, false);
    EXPECT_STREQ(sql, "");
}

} // namespace

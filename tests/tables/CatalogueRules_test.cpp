// Rules of the product catalogue: products, units, product types, categories, vendors.

#include "DBPrdCat.h"
#include "DBPrdType.h"
#include "DBPrdUnit.h"
#include "DBProduct.h"
#include "DBVendor.h"
#include "TablesFixture.h"

TEST_F(TablesTest, Product_FirstFailedCheckDecides) {
    Store<WSIPrdCat>({{"PrdType", Id(prdType)}, {"PrdCat", "OLD"}, {"Inactive", "1"}});
    Store<WSIPrdUnit>({{"Description", "Pallet"}, {"Inactive", "1"}});
    Store<WSIInvOType>({{"InvOType", "GONE"}, {"Inactive", "1"}});
    AddProduct("SYRINGE1", {{"UPCCode", "0123456789"}});
    const std::string stored = Id(AddProduct("GAUZE001"));
    const char* tooShort = "at least 6 characters";
    // clang-format off
    ExpectCases<DBProduct>(ValidProduct("BANDAGE1"), {
        {"valid", DB_INSERT, {}, 0, ""},
        {"no category", DB_INSERT, {{"PrdCat", ""}}, 0x4D01, "#45032"},
        {"category of another type", DB_INSERT, {{"PrdType", "999"}}, 0x4D01, "#38104"},
        {"inactive category", DB_INSERT, {{"PrdCat", "OLD"}}, 0x4D01, "#38115"},
        {"inactive category, active product", DB_UPDATE, {{"Product", stored}, {"PrdCat", "OLD"}},
         0x4D01, "#38115"},
        {"inactive category, inactive product", DB_UPDATE,
         {{"Product", stored}, {"PrdCat", "OLD"}, {"Inactive", "1"}}, 0, ""},
        {"category before code", DB_INSERT, {{"PrdCat", ""}, {"ProductCode", ""}}, 0x4D01,
         "#45032"},
        {"no code", DB_INSERT, {{"ProductCode", ""}}, 0x4D05, "#45032"},
        {"code too short", DB_INSERT, {{"ProductCode", "GAUZE"}}, 0x4D05, tooShort},
        {"code is another's UPC", DB_INSERT, {{"ProductCode", "0123456789"}}, 0x4D05, "#38105"},
        {"UPC of 5", DB_INSERT, {{"UPCCode", "12345"}}, 0x4D06, tooShort},
        {"UPC of 6", DB_INSERT, {{"UPCCode", "123456"}}, 0, ""},
        {"UPC is another's code", DB_INSERT, {{"UPCCode", "SYRINGE1"}}, 0x4D06, "#38106"},
        {"no units", DB_INSERT, {{"Unit", ""}, {"WeightUnit", ""}}, 0, ""},
        {"unknown unit", DB_INSERT, {{"Unit", "Crate"}}, 0x4D09, "#38120"},
        {"inactive unit, any case", DB_INSERT, {{"Unit", "PALLET"}}, 0x4D09, "#38121"},
        {"inactive unit on update", DB_UPDATE, {{"Product", stored}, {"Unit", "Pallet"}}, 0, ""},
        {"unknown weight unit", DB_INSERT, {{"WeightUnit", "kg"}}, 0x4D0A, "#38565"},
        {"lead time without unit", DB_INSERT, {{"LeadTime", "3"}}, 0x4D08, "#38117"},
        {"unit before lead time", DB_INSERT, {{"Unit", "Crate"}, {"LeadTime", "3"}}, 0x4D09,
         "#38120"},
        {"unknown order type", DB_INSERT, {{"InvOType", "NOPE"}}, 0x4D07, "#38110"},
        {"inactive order type", DB_INSERT, {{"InvOType", "GONE"}}, 0x4D07, "#38116"},
        {"no items per unit", DB_INSERT, {{"ItemsPerUnit", "0"}}, 0x4D0C, "#38194"},
        {"new code, on no order", DB_UPDATE, {{"Product", stored}, {"ProductCode", "GAUZE009"}}, 0,
         ""},
    });
    // clang-format on
}

TEST_F(TablesTest, Product_MinimumCodeLengthFollowsTheModuleSetting) {
    app->SetMinProductLength(4);
    for (const char* code : {"GAUZ", "GAU"}) {
        DBProduct t(db.get());
        Set(t, ValidProduct(code));
        EXPECT_EQ(t.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true), code[3] != '\0');
    }
    EXPECT_EQ(Rows("PRODUCT"), 1);
    EXPECT_TRUE(host.boxes.empty()); // refused silently without a screen
}

TEST_F(TablesTest, Product_ChangesThatOthersWouldNoticeAreAskedFirst) {
    const long onOrders = AddProduct("ORDERED1");
    Store<WSIInvOrdIt>({{"InvOrder", Id(AddOrder(false))}, {"Product", Id(onOrders)}});
    ExpectQuestion<DBProduct>({{"Product", Id(onOrders)}}, {{"ProductCode", "RENAMED1"}}, 0x4D05,
                              "#38108");

    const long located = AddProduct("LOCATED1", {{"UPCCode", "11111111"}});
    Store<WSIPrdLoc>({{"Product", Id(located)}, {"InvLoc", "STORE"}});
    ExpectQuestion<DBProduct>({{"Product", Id(located)}}, {{"UPCCode", "22222222"}}, 0x4D06,
                              "#38109");

    const long offered = AddProduct("OFFERED1");
    Store<WSIPrdLoc>({{"Product", Id(offered)}, {"InvLoc", "STORE"}, {"CanOrderFrom", "1"}});
    ExpectQuestion<DBProduct>(
        {{"Product", Id(offered)}},
        [&](DBProduct& t) {
            t.SetOldCanOrder(1);
            Set(t, {{"CanOrder", "0"}});
        },
        0x4D0B, "#38170");
}

TEST_F(TablesTest, Product_NoLongerOrderableIsWithdrawnFromItsLocationsOnly) {
    const std::string gauze = Id(AddProduct("GAUZE001"));
    const std::string gloves = Id(AddProduct("GLOVES01"));
    for (const auto& [p, loc] : {std::pair{gauze, "STORE"}, {gauze, "WARD"}, {gloves, "STORE"}})
        Store<WSIPrdLoc>({{"Product", p}, {"InvLoc", loc}, {"CanOrderFrom", "1"}});
    const std::string offered = "\"CanOrderFrom\" = 1 AND \"Product\" = ";
    for (short oldCanOrder : {0, 1}) {
        DBProduct t(db.get());
        t.SetParent(&screen);
        Set(t, {{"Product", gauze}});
        ASSERT_TRUE(t.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
        t.SetOldCanOrder(oldCanOrder);
        Set(t, {{"CanOrder", "0"}});
        ASSERT_TRUE(t.UpdateDB(__FILE__, __LINE__, true, true));
        EXPECT_EQ(Rows("PRDLOC", offered + gauze), oldCanOrder ? 0 : 2);
    }
    EXPECT_EQ(Rows("PRDLOC", offered + gloves), 1);
}

TEST_F(TablesTest, Product_DeleteIsRefusedWhileUsedAndTakesItsLocationsAlong) {
    const std::string onOrder = Id(AddProduct("ORDERED1"));
    Store<WSIInvOrdIt>({{"InvOrder", Id(AddOrder(false))}, {"Product", onOrder}, {"Status", "4"}});
    const std::string inStock = Id(AddProduct("STOCKED1"));
    Store<WSIInvItem>({{"Product", inStock}, {"InvLoc", "STORE"}});
    const std::string unused = Id(AddProduct("UNUSED01"));
    for (const std::string& p : {onOrder, inStock, unused})
        Store<WSIPrdLoc>({{"Product", p}, {"InvLoc", "STORE"}});

    EXPECT_EQ(Delete<DBProduct>({{"Product", onOrder}}), kDbErrInUse);
    EXPECT_EQ(Delete<DBProduct>({{"Product", inStock}}), kDbErrInUse);
    EXPECT_EQ(Delete<DBProduct>({{"Product", unused}}), 0);
    EXPECT_EQ(Rows("PRODUCT"), 2);
    EXPECT_EQ(Rows("PRDLOC", "\"Product\" <> " + unused), 2);
    EXPECT_EQ(Rows("PRDLOC"), 2);
}

TEST_F(TablesTest, PrdUnit_DescriptionIsRequiredAndUniqueWithoutRegardToCase) {
    const std::string vial = Id(Store<WSIPrdUnit>({{"Description", "Vial"}}));
    // clang-format off
    ExpectCases<DBPrdUnit>({}, {
        {"empty", DB_INSERT, {}, 0x4C01, "#5006"},
        {"taken in other case", DB_INSERT, {{"Description", "bOX"}}, 0x4C01, "#38015"},
        {"new", DB_INSERT, {{"Description", "Carton"}}, 0, ""},
        {"own, in other case", DB_UPDATE, {{"PrdUnit", vial}, {"Description", "VIAL"}}, 0, ""},
        {"another's", DB_UPDATE, {{"PrdUnit", vial}, {"Description", "box"}}, 0x4C01, "#38015"},
    });
    // clang-format on
}

TEST_F(TablesTest, PrdUnit_ChangesThatProductsWouldNoticeAreAskedFirst) {
    AddProduct("GAUZE001", {{"Unit", "BOX"}, {"IsDividable", "1"}});
    const Fields box = {{"PrdUnit", Id(boxUnit)}};
    auto loaded = [&](DBPrdUnit& t) {
        t.SetOldDescription(t.data.Description);
        t.SetOldIsDividable(t.data.IsDividable);
    };
    ExpectQuestion<DBPrdUnit>(
        box,
        [&](DBPrdUnit& t) {
            loaded(t);
            Set(t, {{"Description", "BOX"}});
        },
        0x4C01, "#38118");
    ExpectQuestion<DBPrdUnit>(
        box,
        [&](DBPrdUnit& t) {
            loaded(t);
            Set(t, {{"IsDividable", "0"}});
        },
        0x4C02, "#38169");
}

TEST_F(TablesTest, PrdUnit_ProductsFollowTheUnitsNewDescriptionAndDivisibility) {
    AddProduct("GAUZE001", {{"Unit", "box"}, {"IsDividable", "1"}});
    AddProduct("GAUZE002", {{"Unit", "BOX"}, {"IsDividable", "1"}});
    AddProduct("GAUZE003", {{"Unit", "Vial"}, {"WeightUnit", "bOx"}, {"IsDividable", "1"}});

    DBPrdUnit t(db.get());
    t.SetParent(&screen);
    ASSERT_TRUE(t.GetPrdUnit("bOX")); // found by description in any case
    EXPECT_STREQ(t.data.Description, "Box");
    EXPECT_EQ(t.data.IsDividable, 1);
    t.SetOldDescription(t.data.Description);
    t.SetOldIsDividable(1);
    Set(t, {{"Description", "BoX"}, {"IsDividable", "0"}});
    ASSERT_TRUE(t.UpdateDB(__FILE__, __LINE__, true, true));

    EXPECT_EQ(Rows("PRODUCT", "\"Unit\" = 'BoX' AND \"IsDividable\" = 0"), 2);
    EXPECT_EQ(Rows("PRODUCT", "\"Unit\" = 'Vial' AND \"WeightUnit\" = 'BoX' AND "
                              "\"IsDividable\" = 1"),
              1);
    EXPECT_FALSE(t.GetPrdUnit("Crate"));
    EXPECT_EQ(t.data.PrdUnit, 0);
}

TEST_F(TablesTest, PrdType_DescriptionIsRequiredAndUniqueInItsCase) {
    const std::string bandages = Id(Store<WSIPrdType>({{"Description", "Bandages"}}));
    // clang-format off
    ExpectCases<DBPrdType>({}, {
        {"empty", DB_INSERT, {}, 0x4B01, "#5006"},
        {"taken", DB_INSERT, {{"Description", "Supplies"}}, 0x4B01, "#38015"},
        {"other case", DB_INSERT, {{"Description", "SUPPLIES"}}, 0, ""},
        {"own", DB_UPDATE, {{"PrdType", bandages}, {"Description", "Bandages"}}, 0, ""},
        {"another's", DB_UPDATE, {{"PrdType", bandages}, {"Description", "Supplies"}}, 0x4B01,
         "#38015"},
    });
    // clang-format on
    EXPECT_EQ(Delete<DBPrdType>({{"PrdType", Id(prdType)}}), kDbErrInUse); // has categories
    EXPECT_EQ(Delete<DBPrdType>({{"PrdType", bandages}}), 0);
}

TEST_F(TablesTest, PrdCat_CodeIsRequiredAndUniqueWithinItsType) {
    const std::string bandages = Id(Store<WSIPrdType>({{"Description", "Bandages"}}));
    // clang-format off
    ExpectCases<DBPrdCat>({{"PrdType", Id(prdType)}}, {
        {"empty", DB_INSERT, {}, 0x4901, "#5006"},
        {"taken", DB_INSERT, {{"PrdCat", "CAT"}}, 0x4901, "#5004"},
        {"taken in another type", DB_INSERT, {{"PrdType", bandages}, {"PrdCat", "CAT"}}, 0, ""},
        {"active, updated", DB_UPDATE, {{"PrdCat", "CAT"}}, 0, ""},
    });
    // clang-format on
}

TEST_F(TablesTest, PrdCat_DeactivatingAsksAndThenDeactivatesItsProducts) {
    Store<WSIPrdCat>({{"PrdType", Id(prdType)}, {"PrdCat", "SPARE"}});
    AddProduct("GAUZE001");
    AddProduct("SPARE001", {{"PrdCat", "SPARE"}});
    const Fields cat = {{"PrdType", Id(prdType)}, {"PrdCat", "CAT"}};
    ExpectQuestion<DBPrdCat>(cat, {{"Inactive", "1"}}, 0x4902, "#38207");

    DBPrdCat t(db.get());
    t.SetParent(&screen);
    Set(t, cat);
    ASSERT_TRUE(t.GetEqual(__FILE__, __LINE__, dbiWRITELOCK));
    Set(t, {{"Inactive", "1"}});
    ASSERT_TRUE(t.UpdateDB(__FILE__, __LINE__, true, true));
    EXPECT_EQ(Rows("PRODUCT", "\"Inactive\" = 1"), 1);
    EXPECT_EQ(Rows("PRODUCT", "\"Inactive\" = 1 AND \"PrdCat\" = 'CAT'"), 1);

    Store<WSIPrdCat>({{"PrdType", Id(prdType)}, {"PrdCat", "EMPTY"}});
    EXPECT_EQ(Delete<DBPrdCat>(cat), kDbErrInUse);
    EXPECT_EQ(Delete<DBPrdCat>({{"PrdType", Id(prdType)}, {"PrdCat", "EMPTY"}}), 0);
}

TEST_F(TablesTest, Vendor_CityAndProvinceMustBeKnown) {
    Store<WSICity>({{"City", "Halifax"}});
    Store<WSIProvince>({{"Province", "NS"}});
    // clang-format off
    ExpectCases<DBVendor>({}, {
        {"neither", DB_INSERT, {}, 0, ""},
        {"known", DB_INSERT, {{"City", "Halifax"}, {"Province", "NS"}}, 0, ""},
        {"unknown city", DB_INSERT, {{"City", "Atlantis"}}, 0x4E01, "#28190"},
        {"unknown province", DB_INSERT, {{"Province", "ZZ"}}, 0x4E02, "#28189"},
        {"city first", DB_INSERT, {{"City", "Atlantis"}, {"Province", "ZZ"}}, 0x4E01, "#28190"},
    });
    // clang-format on
}

TEST_F(TablesTest, Vendor_DeactivatingWithActiveProductsIsAskedFirst) {
    AddProduct("GAUZE001"); // of the scene's vendor
    ExpectQuestion<DBVendor>({{"Vendor", Id(vendor)}}, {{"Inactive", "1"}}, 0x4E03, "#38019");
    const std::string idle = Id(Store<WSIVendor>({{"Name", "Idle Supply"}}));
    ExpectCases<DBVendor>(
        {}, {{"no products", DB_UPDATE, {{"Vendor", idle}, {"Inactive", "1"}}, 0, ""}});
}

TEST_F(TablesTest, Vendor_DeleteIsRefusedWhileAnythingRefersToIt) {
    AddProduct("GAUZE001");
    const long ofOrder = Store<WSIVendor>({{"Name", "Order Vendor"}});
    AddOrder(true, {{"Vendor", Id(ofOrder)}});
    const long ofReceipt = Store<WSIVendor>({{"Name", "Old Receipt Vendor"}});
    Store<WSIInvRec>({{"InvLoc", "STORE"}, {"Vendor", Id(ofReceipt)}, {"Date", "2015-03-01"}});
    const long unused = Store<WSIVendor>({{"Name", "Unused Vendor"}});
    for (long v : {vendor, ofOrder, ofReceipt})
        EXPECT_EQ(Delete<DBVendor>({{"Vendor", Id(v)}}), kDbErrInUse) << v;
    EXPECT_EQ(Delete<DBVendor>({{"Vendor", Id(unused)}}), 0);
    EXPECT_EQ(Rows("VENDOR"), 3);
}

// Rules of locations, product locations, order types and adjustment codes.

#include "DBInvAdj.h"
#include "DBInvLoc.h"
#include "DBInvOType.h"
#include "DBPrdLoc.h"
#include "DbInvItDet.h"
#include "TablesFixture.h"

TEST_F(TablesTest, InvLoc_BarCodeNamesOneLocationAndStockKeepsItActive) {
    Store<WSIInvLoc>({{"InvLoc", "CART"}, {"BarCode", "LOC-CART"}});
    Store<WSIInvLoc>({{"InvLoc", "ROOM2"}});
    Store<WSIPrdLoc>({{"Product", Id(AddProduct("GAUZE001"))},
                      {"InvLoc", "ROOM2"},
                      {"LastCount", "1"}}); // counted, nothing on hand
    // clang-format off
    ExpectCases<DBInvLoc>({{"InvLoc", "NEW"}}, {
        {"new bar code", DB_INSERT, {{"BarCode", "LOC-NEW"}}, 0, ""},
        {"taken on insert", DB_INSERT, {{"BarCode", "LOC-CART"}}, 0x4401, "#28678"},
        {"another's on update", DB_UPDATE, {{"InvLoc", "ROOM2"}, {"BarCode", "LOC-CART"}}, 0x4401,
         "#28678"},
        {"own on update", DB_UPDATE, {{"InvLoc", "CART"}, {"BarCode", "LOC-CART"}}, 0, ""},
        {"inactive while counted", DB_UPDATE, {{"InvLoc", "ROOM2"}, {"Inactive", "1"}}, 0x4404,
         "#38208"},
        {"new and inactive", DB_INSERT, {{"InvLoc", "ROOM2"}, {"Inactive", "1"}}, 0, ""},
        {"inactive without stock", DB_UPDATE, {{"InvLoc", "CART"}, {"Inactive", "1"}}, 0, ""},
        {"blank code", DB_INSERT, {{"InvLoc", "   "}}, 0x4405, "#38594"},
        {"bar code first", DB_INSERT, {{"InvLoc", ""}, {"BarCode", "LOC-CART"}}, 0x4401, "#28678"},
    });
    // clang-format on
}

TEST_F(TablesTest, InvLoc_DeleteIsRefusedWhileReferredToAndTakesItsProductRows) {
    const std::string product = Id(AddProduct("GAUZE001"));
    const char* codes[] = {"RECV", "ORDBY", "ORDFRM", "HELD", "CAME", "UNUSED"};
    for (const char* code : codes) {
        Store<WSIInvLoc>({{"InvLoc", code}});
        Store<WSIPrdLoc>({{"Product", product}, {"InvLoc", code}});
    }
    Store<WSIInvRec>({{"InvLoc", "RECV"}});
    AddOrder(false, {{"InvLoc", "ORDBY"}, {"InvLocFrom", "ORDFRM"}});
    Store<WSIInvItem>({{"Product", product}, {"InvLoc", "HELD"}});
    Store<WSIInvItem>({{"Product", product}, {"InvLoc", "STORE"}, {"InvLocFrom", "CAME"}});
    for (const char* code : codes)
        EXPECT_EQ(Delete<DBInvLoc>({{"InvLoc", code}}), code == codes[5] ? 0 : kDbErrInUse) << code;
    EXPECT_EQ(Rows("INVLOC", "\"InvLoc\" = 'UNUSED'") + Rows("PRDLOC", "\"InvLoc\" = 'UNUSED'"), 0);
    EXPECT_EQ(Rows("PRDLOC"), 5);
}

TEST_F(TablesTest, PrdLoc_StockLevelsMustBeConsistent) {
    // clang-format off
    ExpectCases<DBPrdLoc>({{"MinCount", "4"}, {"ReorderCount", "4"}}, {
        {"minimum equals reorder count", DB_INSERT, {}, 0, ""},
        {"minimum above reorder count", DB_UPDATE, {{"MinCount", "5"}}, 0x4A01, "#38132"},
        {"no maximum", DB_INSERT, {{"MaxCount", "0"}}, 0, ""},
        {"maximum below minimum", DB_INSERT, {{"MaxCount", "3"}}, 0x4A02, "#38133"},
        {"standard below minimum order", DB_INSERT, {{"MinToOrder", "3"}, {"StdToOrder", "2"}},
         0x4A03, "#38134"},
        {"inactive while counted", DB_UPDATE, {{"Inactive", "1"}, {"LastCount", "1"}}, 0x4A04,
         "#38135"},
        {"inactive and empty", DB_UPDATE, {{"Inactive", "1"}}, 0, ""},
        {"levels first", DB_UPDATE, {{"MinCount", "5"}, {"Inactive", "1"}, {"Balance", "1"}},
         0x4A01, "#38132"},
    });
    // clang-format on
}

TEST_F(TablesTest, PrdLoc_DeleteIsRefusedWhileStockOrACountIsHeld) {
    const std::string p = Id(AddProduct("GAUZE001"));
    Store<WSIInvLoc>({{"InvLoc", "CART"}});
    Store<WSIPrdLoc>({{"Product", p}, {"InvLoc", "STORE"}, {"Balance", "2"}});
    Store<WSIPrdLoc>({{"Product", p}, {"InvLoc", "WARD"}, {"LastCount", "3"}});
    Store<WSIPrdLoc>({{"Product", p}, {"InvLoc", "CART"}});
    EXPECT_EQ(Delete<DBPrdLoc>({{"Product", p}, {"InvLoc", "STORE"}}), kDbErrInUse);
    EXPECT_EQ(Delete<DBPrdLoc>({{"Product", p}, {"InvLoc", "WARD"}}), kDbErrInUse);
    EXPECT_EQ(Delete<DBPrdLoc>({{"Product", p}, {"InvLoc", "CART"}}), 0);
    EXPECT_EQ(Rows("PRDLOC"), 2);
}

TEST_F(TablesTest, PrdLoc_NewRowsStartFromTheDefaultsAndTheLocationType) {
    Store<WSIInvLoc>({{"InvLoc", "NOSTK"}, {"Type", "2"}});
    Store<WSIInvLoc>({{"InvLoc", "USEPT"}, {"Type", "3"}});
    const long orderable = AddProduct("GAUZE001");
    const long notOrderable = AddProduct("NOORDER1", {{"CanOrder", "0"}});
    struct Expected {
        long product;
        const char* loc;
        short stocked;
        short canOrderFrom;
    };
    for (const Expected& e : {Expected{orderable, "STORE", 1, 1},
                              {orderable, "NOSTK", 0, 0},
                              {orderable, "USEPT", 1, 0},
                              {notOrderable, "STORE", 1, 0}}) {
        SCOPED_TRACE(e.loc);
        DBPrdLoc t(db.get());
        ASSERT_TRUE(t.GetPrdLoc(e.product, e.loc, true));
        EXPECT_EQ(t.data.Stocked, e.stocked);
        EXPECT_EQ(t.data.CanOrderFrom, e.canOrderFrom);
        EXPECT_EQ(Rows("PRDLOC", "\"Product\" = " + Id(e.product) + " AND \"InvLoc\" = '" + e.loc +
                                     "' AND \"TrackUsage\" = 1 AND \"Stocked\" = " + Id(e.stocked) +
                                     " AND \"CanOrderFrom\" = " + Id(e.canOrderFrom)),
                  1);
    }
    // One default row per product, however many rows were made from it.
    EXPECT_EQ(Rows("PRDLOC", "TRIM(COALESCE(\"InvLoc\", '')) = ''"), 2);
}

TEST_F(TablesTest, PrdLoc_LookupsNeverChangeOrInventRows) {
    const long p = AddProduct("GAUZE001");
    Store<WSIPrdLoc>({{"Product", Id(p)}, {"InvLoc", "STORE"}, {"Balance", "4"}});
    Store<WSIPrdLoc>({{"Product", Id(p)}, {"InvLoc", "WARD"}, {"Inactive", "1"}});
    DBPrdLoc t(db.get());
    ASSERT_TRUE(t.GetPrdLoc(p, "STORE", true));
    EXPECT_EQ(t.data.Balance, 4);
    EXPECT_EQ(t.data.CanOrderFrom, 0); // as stored, although the product can be ordered
    EXPECT_FALSE(t.GetPrdLoc(p, "NOWHERE", false));
    EXPECT_FALSE(t.GetPrdLoc(0, "STORE", true));
    EXPECT_FALSE(t.GetPrdLoc(p, "", true));
    EXPECT_EQ(Rows("PRDLOC"), 2);
    EXPECT_TRUE(t.IsProductAtLocation(p, "STORE"));
    EXPECT_FALSE(t.IsProductAtLocation(p, "WARD")); // inactive there
    ASSERT_TRUE(t.GetDefaults(p));
    ASSERT_TRUE(t.GetDefaults(p));
    EXPECT_STREQ(t.data.InvLoc, "");
    EXPECT_EQ(Rows("PRDLOC"), 3);
}

TEST_F(TablesTest, CodesUsedByOrdersOrMovementsCannotBeDeleted) {
    const long product = AddProduct("GAUZE001"); // of order type INT
    Store<WSIInvOType>({{"InvOType", "ORDERS"}, {"IsExternal", "1"}});
    AddOrder(true, {{"InvOType", "ORDERS"}});
    Store<WSIInvOType>({{"InvOType", "SPARE"}});
    EXPECT_EQ(Delete<DBInvOType>({{"InvOType", "INT"}}), kDbErrInUse);
    EXPECT_EQ(Delete<DBInvOType>({{"InvOType", "ORDERS"}}), kDbErrInUse);
    EXPECT_EQ(Delete<DBInvOType>({{"InvOType", "SPARE"}}), 0);

    // Adjustment codes and movement details accept any row.
    ExpectCases<DBInvAdj>({{"Type", "99"}}, {{"any", DB_INSERT, {}, 0, ""}});
    ExpectCases<DBInvItDet>({{"InvItem", "12345"}}, {{"any", DB_INSERT, {}, 0, ""}});
    Store<WSIInvAdj>({{"InvAdj", "BROKEN"}});
    Store<WSIInvAdj>({{"InvAdj", "EXPIRD"}});
    const long item = Store<WSIInvItem>({{"Product", Id(product)}, {"InvLoc", "STORE"}});
    Store<WSIInvItDet>({{"InvItem", Id(item)}, {"InvAdj", "BROKEN"}});
    EXPECT_EQ(Delete<DBInvAdj>({{"InvAdj", "BROKEN"}}), kDbErrInUse);
    EXPECT_EQ(Delete<DBInvAdj>({{"InvAdj", "EXPIRD"}}), 0);
    EXPECT_EQ(Rows("INVOTYPE") + Rows("INVADJ"), 4);
}

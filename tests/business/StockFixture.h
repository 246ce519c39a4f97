#pragma once

// Shared fixture of the business tests: a fresh SQLite database with the schema in a
// folder of its own, the module attached to a scripted host that records its warning
// screens and product-refresh notifications, builders that store catalogue rows, product
// locations, stock items and orders directly through the record classes (so that no rule
// or operation under test runs while the scene is set up), and the stock invariant.
//
// Stock built here is consistent: a lot (AddLot) comes with the detail that created it,
// a detail for what was already taken out of it, and its balance added to the product
// location.

#include "EngineFixture.h"
#include "FakeHost.h"
#include "RecordingReportEngine.h"
#include "Records.h"
#include "SchemaTestSupport.h"
#include "StockCheck.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"
#include "schema/Schema.h"

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <sqlite3.h>
#include <stdlib.h>
#include <string>
#include <utility>
#include <vector>

// The host as the business layer sees it: warning screens answer warnAnswer (the user
// declines unless a test says otherwise), refresh notifications are recorded in order.
class StockHost : public FakeHost {
public:
    struct Warning {
        WSIWindow* owner;
        int templateId;
    };
    struct Refresh {
        int sourceId;
        long product;
        friend bool operator==(const Refresh&, const Refresh&) = default;
    };

    std::vector<Warning> warnings;
    int warnAnswer = id::CANCEL;
    std::vector<Refresh> refreshes;

    int WarnDialog(WSIWindow* owner, int templateId) override {
        warnings.push_back({owner, templateId});
        return warnAnswer;
    }
    void ProductRefresh(int sourceId, long product) override {
        refreshes.push_back({sourceId, product});
    }
};

// The host printing through a recording engine.
class PrintingHost : public StockHost {
public:
    RecordingReportEngine engine;
    WSIReportEngine* GetCrystalEngine() override { return &engine; }
};

class StockTest : public BasicModuleTest<StockHost> {
protected:
    using BasicModuleTest<StockHost>::host;
    using BasicModuleTest<StockHost>::app;

    // Tests run "as of" a fixed day, so that expiry dates and audit dates are stable.
    static constexpr WSIDate kToday{2026, 3, 15};
    static constexpr const char* kCat = "CAT";
    static constexpr const char* kUnit = "Box";
    static constexpr const char* kInternalType = "INT";
    static constexpr const char* kExternalType = "EXT";
    static constexpr const char* kStore = "STORE";     // location type 0, tracks usage
    static constexpr const char* kWard = "WARD";       // location type 1, tracks usage
    static constexpr const char* kLossCode = "LOSS";   // decreasing adjustment code
    static constexpr const char* kFoundCode = "FOUND"; // increasing adjustment code
    static constexpr const char* kCountCode = "COUNT"; // count code

    void SetUp() override {
        BasicModuleTest::SetUp();
        if (HasFatalFailure())
            return;

        dir = schematest::NewDataDir("business-");
        // The PostgreSQL run without a server skips its tests. The scene is still set up on
        // SQLite, because the fixtures built on this one go on setting up theirs.
        const bool noServer = tvltest::OnServer() && !tvltest::ServerConninfo();
        if (noServer)
            db = std::make_unique<WSIDatabase>((dir / "inventory.db").string());
        else
            ASSERT_EQ(tvltest::OpenTestDatabase(dir / "inventory.db", serverSchema, db), "");
        ASSERT_TRUE(db->IsOpen());
        std::string problem;
        ASSERT_TRUE(tavel::CreateSchema(*db, &problem)) << problem;
        db->SetToday(kToday);
        host.db = db.get();
        host.mainWindow = &mainWindow;

        WSIUsers u(db.get());
        Put(u.data.Login, "tester");
        Put(u.data.Name, "Tester");
        Put(u.data.First, "Tess");
        ASSERT_TRUE(u.InsertDB(__FILE__, __LINE__));
        user = u.data.User;
        db->SetCurrentUser(user);
        app->InitApp(user);

        prdType = AddPrdType("Supplies");
        AddPrdCat(prdType, kCat);
        AddUnit(kUnit);
        AddOrderType(kInternalType, 0);
        AddOrderType(kExternalType, 1);
        AddLocation(kStore, tavel::LocationType::StoreRoom);
        AddLocation(kWard, tavel::LocationType::SupplyRoom);
        vendor = AddVendor("Acme Medical");
        AddAdjCode(kLossCode, tavel::AdjustmentType::Decrease);
        AddAdjCode(kFoundCode, tavel::AdjustmentType::Increase);
        AddAdjCode(kCountCode, tavel::AdjustmentType::Count);
        if (noServer)
            GTEST_SKIP() << "TAVEL_PG_CONNINFO is not set";
    }

    void TearDown() override {
        db.reset();
        serverSchema.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
        BasicModuleTest::TearDown();
    }

    // --- Text and plain SQLite access, independent of the database service.

    static std::string Id(long id) { return std::to_string(id); }

    template <std::size_t N> static void Put(char (&field)[N], const char* text) {
        std::memset(field, 0, N);
        if (text)
            std::memcpy(field, text, strnlen(text, N - 1));
    }

    // Rows of a SQLite query as text (NULL as "<null>"); a failed statement fails the test.
    std::vector<std::vector<std::string>> Rows(const std::string& sqliteSql) {
        std::string error;
        std::vector<std::vector<std::string>> rows;
        if (db->IsServer())
            db->QueryNative(sqliteSql.c_str(), {}, rows, &error, "<null>");
        else
            rows = schematest::QueryRows(db->Handle(), sqliteSql, &error);
        if (!error.empty())
            ADD_FAILURE() << sqliteSql << ": " << error;
        return rows;
    }
    // The first column of the first row as a number; 0 when there is no row or NULL.
    double Scalar(const std::string& sqliteSql) {
        auto rows = Rows(sqliteSql);
        if (rows.empty() || rows[0].empty() || rows[0][0] == "<null>")
            return 0;
        return std::stod(rows[0][0]);
    }
    bool Exec(const std::string& sqliteSql) {
        if (db->IsServer()) {
            const bool done = db->ExecNative(__FILE__, __LINE__, sqliteSql.c_str());
            if (!done)
                ADD_FAILURE() << sqliteSql << ": " << db->LastError();
            return done;
        }
        char* error = nullptr;
        bool ok =
            sqlite3_exec(db->Handle(), sqliteSql.c_str(), nullptr, nullptr, &error) == SQLITE_OK;
        if (!ok)
            ADD_FAILURE() << sqliteSql << ": " << (error ? error : "");
        sqlite3_free(error);
        return ok;
    }

    // Every row of the tables stock operations write, as text: equal snapshots before and
    // after a refused call show that it changed nothing.
    std::string Snapshot() {
        std::string text;
        for (const char* table : {"PRDLOC", "INVITEM", "INVITDET", "INVORDIT", "INVORDER", "INVREC",
                                  "PRODUCT", "AUDITHIS"}) {
            text += std::string("[") + table + "]\n";
            for (const auto& row : Rows(std::string("SELECT * FROM ") + table + " ORDER BY 1, 2")) {
                for (const auto& value : row)
                    text += value + "|";
                text += "\n";
            }
        }
        return text;
    }

    // The stock invariant over the whole database, one line per violation.
    std::vector<std::string> Violations() {
        std::vector<std::string> lines;
        for (const tavel::StockViolation& v : tavel::CheckStock(*db))
            lines.push_back(std::string(tavel::RuleName(v.rule)) + " " + v.productCode + "@" +
                            v.invLoc + " item " + std::to_string(v.invItem) + ": " + v.text);
        return lines;
    }

    // --- Catalogue.

    long AddPrdType(const char* description) {
        WSIPrdType r(db.get());
        Put(r.data.Description, description);
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
        return r.data.PrdType;
    }
    void AddPrdCat(long type, const char* code, const char* description = nullptr) {
        WSIPrdCat r(db.get());
        r.data.PrdType = type;
        Put(r.data.PrdCat, code);
        Put(r.data.Description, description ? description : code);
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
    }
    void AddUnit(const char* description, short dividable = 1) {
        WSIPrdUnit r(db.get());
        Put(r.data.Description, description);
        r.data.IsDividable = dividable;
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
    }
    void AddOrderType(const char* code, short external) {
        WSIInvOType r(db.get());
        Put(r.data.InvOType, code);
        Put(r.data.Description, code);
        r.data.IsExternal = external;
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
    }
    void AddLocation(const char* code, short type = tavel::LocationType::StoreRoom,
                     short inactive = 0) {
        WSIInvLoc r(db.get());
        Put(r.data.InvLoc, code);
        Put(r.data.Name, code);
        r.data.Type = type;
        r.data.Inactive = inactive;
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
    }
    long AddVendor(const char* name) {
        WSIVendor r(db.get());
        Put(r.data.Name, name);
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
        return r.data.Vendor;
    }
    void AddAdjCode(const char* code, short type, short inactive = 0) {
        WSIInvAdj r(db.get());
        Put(r.data.InvAdj, code);
        Put(r.data.Description, code);
        r.data.Type = type;
        r.data.Inactive = inactive;
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
    }

    // An active, orderable product of the base category, oldest first, cost 2.50; change
    // fields before StoreProduct.
    WSIProduct::WSIData NewProduct(const char* code) {
        WSIProduct::WSIData p{};
        Put(p.ProductCode, code);
        Put(p.Description, code);
        p.PrdType = prdType;
        Put(p.PrdCat, kCat);
        Put(p.Unit, kUnit);
        p.Vendor = vendor;
        Put(p.InvOType, kInternalType);
        p.CostPerUnit = 2.5;
        p.AverageCost = 2.5;
        p.CanOrder = 1;
        p.ItemsPerUnit = 1;
        Put(p.ItemUnit, "Each");
        p.CostingMethod = tavel::CostingMethod::OldestFirst;
        p.LeadTimeUnit = tavel::kNoLeadTimeUnit;
        return p;
    }
    long StoreProduct(const WSIProduct::WSIData& values) {
        WSIProduct r(db.get());
        r.data = values;
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
        return r.data.Product;
    }
    long AddProduct(const char* code) { return StoreProduct(NewProduct(code)); }
    void SetProductInactive(long product, short inactive) {
        Exec("UPDATE PRODUCT SET \"Inactive\" = " + std::to_string(inactive) +
             " WHERE \"Product\" = " + std::to_string(product));
    }

    // --- Product locations and stock.

    // A product location with no stock of its own yet; lots add their balance to it.
    void AddPrdLoc(long product, const char* loc, short trackUsage = 1, short inactive = 0,
                   double lastCount = 0, short canOrderFrom = 1) {
        WSIPrdLoc r(db.get());
        r.data.Product = product;
        Put(r.data.InvLoc, loc);
        r.data.Stocked = 1;
        r.data.TrackUsage = trackUsage;
        r.data.CanOrderFrom = canOrderFrom;
        r.data.LastCount = lastCount;
        r.data.Inactive = inactive;
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
    }
    // "Balance" of the product at the location; 0 without a row.
    double PrdLocBalance(long product, const char* loc) {
        return Scalar("SELECT \"Balance\" FROM PRDLOC WHERE \"Product\" = " +
                      std::to_string(product) + " AND \"InvLoc\" = '" + loc + "'");
    }
    WSIPrdLoc::WSIData PrdLoc(long product, const char* loc) {
        WSIPrdLoc r(db.get());
        r.data.Product = product;
        Put(r.data.InvLoc, loc);
        EXPECT_TRUE(r.GetEqual(__FILE__, __LINE__)) << "no product location " << loc;
        return r.data;
    }

    // An audit entry of the given day (today when null): lots made later are younger.
    long AddAudit(WSIDate date = {}) {
        WSIAuditHis r(db.get());
        r.data.User = user;
        r.data.Date = date.IsNull() ? kToday : date;
        r.data.Operation = 1;
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
        return r.data.Audit;
    }

    struct Lot {
        short quantity = 5;
        double balance = -1; // -1: the whole quantity is left
        double cost = 2.5;
        WSIDate expiry{};
        short type = tavel::MovementType::Receipt;
        long invRec = 0;
        long invOrdIt = 0;
        const char* invLocFrom = "";
        long audit = 0; // 0: a new audit entry of today
    };
    static Lot MakeLot(short quantity, double balance, double cost, WSIDate expiry = {}) {
        Lot lot;
        lot.quantity = quantity;
        lot.balance = balance;
        lot.cost = cost;
        lot.expiry = expiry;
        return lot;
    }
    // A stock item with its creating detail (and a usage detail for what is gone), its
    // balance added to the product location (created when missing).
    long AddLot(long product, const char* loc, const Lot& lot) {
        const double balance = lot.balance < 0 ? lot.quantity : lot.balance;
        const long audit = lot.audit ? lot.audit : AddAudit();
        WSIInvItem item(db.get());
        item.data.Product = product;
        Put(item.data.InvLoc, loc);
        Put(item.data.InvLocFrom, lot.invLocFrom);
        item.data.Type = lot.type;
        item.data.InvRec = lot.invRec;
        item.data.InvOrdIt = lot.invOrdIt;
        item.data.Quantity = lot.quantity;
        item.data.Balance = balance;
        item.data.CostPerUnit = lot.cost;
        item.data.ExpiryDate = lot.expiry;
        Put(item.data.Unit, kUnit);
        item.data.ItemsPerUnit = 1;
        item.data.Audit = audit;
        EXPECT_TRUE(item.InsertDB(__FILE__, __LINE__));
        AddDetail(item.data, lot.type, lot.quantity, audit);
        if (balance < lot.quantity)
            AddDetail(item.data, tavel::MovementType::Usage, balance - lot.quantity, AddAudit());

        WSIPrdLoc pl(db.get());
        pl.data.Product = product;
        Put(pl.data.InvLoc, loc);
        if (!pl.GetEqual(__FILE__, __LINE__)) {
            AddPrdLoc(product, loc);
            pl.data.Product = product;
            Put(pl.data.InvLoc, loc);
            EXPECT_TRUE(pl.GetEqual(__FILE__, __LINE__));
        }
        pl.data.Balance += balance;
        EXPECT_TRUE(pl.UpdateDB(__FILE__, __LINE__));
        return item.data.InvItem;
    }
    long AddLot(long product, const char* loc, short quantity) {
        Lot lot;
        lot.quantity = quantity;
        return AddLot(product, loc, lot);
    }
    long AddDetail(const WSIInvItem::WSIData& item, short type, double quantity, long audit) {
        WSIInvItDet d(db.get());
        d.data.InvItem = item.InvItem;
        d.data.Type = type;
        Put(d.data.InvLoc, item.InvLoc);
        d.data.Product = item.Product;
        d.data.Quantity = quantity;
        Put(d.data.Unit, item.Unit);
        d.data.ItemsPerUnit = item.ItemsPerUnit;
        d.data.CostPerUnit = item.CostPerUnit;
        d.data.Audit = audit;
        EXPECT_TRUE(d.InsertDB(__FILE__, __LINE__));
        return d.data.InvItDet;
    }
    WSIInvItem::WSIData Item(long invItem) {
        WSIInvItem r(db.get());
        r.data.InvItem = invItem;
        EXPECT_TRUE(r.GetEqual(__FILE__, __LINE__)) << "no stock item " << invItem;
        return r.data;
    }
    WSIInvItDet::WSIData Detail(long invItDet) {
        WSIInvItDet r(db.get());
        r.data.InvItDet = invItDet;
        EXPECT_TRUE(r.GetEqual(__FILE__, __LINE__)) << "no detail " << invItDet;
        return r.data;
    }
    bool DetailExists(long invItDet) {
        return Scalar("SELECT COUNT(1) FROM INVITDET WHERE \"InvItDet\" = " +
                      std::to_string(invItDet)) > 0;
    }

    // --- Orders.

    // An order dated today: internal from the ward to the store, or external to the vendor.
    long AddOrder(bool external, short inactive = 0, long approvalUser = 0) {
        WSIInvOrder r(db.get());
        r.data.IsExternal = external ? 1 : 0;
        Put(r.data.InvLoc, kWard);
        Put(r.data.InvLocFrom, external ? "" : kStore);
        Put(r.data.InvOType, external ? kExternalType : kInternalType);
        r.data.Vendor = external ? vendor : 0;
        r.data.Date = kToday;
        r.data.ApprovalUser = approvalUser;
        r.data.Audit = AddAudit();
        r.data.Inactive = inactive;
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
        return r.data.InvOrder;
    }
    long AddOrdIt(long order, long product, short quantity, short status, short qtyFilled = 0,
                  short wasBackOrdered = 0) {
        WSIInvOrdIt r(db.get());
        r.data.InvOrder = order;
        r.data.Item = static_cast<short>(
            Scalar("SELECT COUNT(1) FROM INVORDIT WHERE \"InvOrder\" = " + std::to_string(order)) +
            1);
        r.data.Product = product;
        r.data.Quantity = quantity;
        Put(r.data.Unit, kUnit);
        r.data.QtyFilled = qtyFilled;
        r.data.Status = status;
        r.data.WasBackOrdered = wasBackOrdered;
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
        return r.data.InvOrdIt;
    }
    WSIInvOrdIt::WSIData OrdIt(long invOrdIt) {
        WSIInvOrdIt r(db.get());
        r.data.InvOrdIt = invOrdIt;
        EXPECT_TRUE(r.GetEqual(__FILE__, __LINE__)) << "no order item " << invOrdIt;
        return r.data;
    }
    bool OrdItExists(long invOrdIt) {
        return Scalar("SELECT COUNT(1) FROM INVORDIT WHERE \"InvOrdIt\" = " +
                      std::to_string(invOrdIt)) > 0;
    }

    // The call must throw E and leave every table, and so the invariant, as it was.
    template <class E> void ExpectRefused(const std::function<void()>& call) {
        const std::string before = Snapshot();
        const std::vector<std::string> violations = Violations();
        EXPECT_THROW(call(), E);
        EXPECT_EQ(db->TransactionLevel(), 0);
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(Violations(), violations);
    }

    WSIWindow mainWindow;
    std::filesystem::path dir;
    std::unique_ptr<tvltest::ServerSchema> serverSchema; // the PostgreSQL run's schema
    std::unique_ptr<WSIDatabase> db;
    long user = 0;
    long prdType = 0;
    long vendor = 0;
};

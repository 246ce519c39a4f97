#pragma once

// Shared set-up of the screen tests: a scripted host (texts from the real string table,
// every prompt recorded and answered from a script) and a fresh SQLite database with the
// schema and a small clinic written directly through the record classes.

#include "InventoryModule.h"
#include "Paths.h"
#include "Records.h"
#include "StringTable.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "WSIProfile.h"
#include "schema/DemoData.h"
#include "schema/InventoryCodes.h"
#include "schema/Schema.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QWidget>

#include <cstdio>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Shows the screen, lets it paint, and saves what it shows as a PNG file; says which file
// it wrote on standard output, or why it could not on standard error.
inline bool SaveScreenshot(QWidget& screen, const QString& file) {
    screen.show();
    QApplication::processEvents();
    if (!screen.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// The text of a PDF file as pdftotext lays it out; empty when it cannot be read.
inline QString PdfText(const std::string& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

class ScreensHost : public WSIApplication {
public:
    struct Box {
        std::string text;
        unsigned style;
    };

    StringTable strings;
    WSIDatabase* db = nullptr;
    std::vector<Box> boxes;
    std::string pickedCity;      // what the city picker (message 2050) answers; "" cancels
    std::vector<int> warnings;   // template ids of the warning screens shown
    std::deque<int> warnAnswers; // scripted answers; id::OK when the script is empty
    std::deque<int> boxAnswers;  // scripted message box answers; id::OK when empty
    WSIReportEngine* engine = nullptr;
    std::set<std::pair<int, int>> restricted;
    std::unique_ptr<WSIProfile> profile;
    int printRequests = 0;
    std::string lastPrintTitle;
    bool mayApprove = true; // right 14
    bool approvalDenied = false;
    std::vector<std::pair<int, long>> updates; // update notifications: source, id

    ScreensHost() { strings.LoadFile(tavel::ResourceDir() + "/strings/en.tsv"); }

    int LoadString(unsigned code, char* buf, int size) const override {
        return strings.Load(code, buf, size);
    }
    WSIDatabase* GetDb() override { return db; }
    int MessageBox(WSIWindow*, const char* text, const char*, unsigned style) override {
        boxes.push_back({text ? text : "", style});
        if (boxAnswers.empty())
            return id::OK;
        const int answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
    }
    bool CanApprove(int) const override { return mayApprove; }
    bool RestrictedApprovalDenied(int, long) const override { return approvalDenied; }
    void NotifyUpdate(int source, long id) override { updates.push_back({source, id}); }
    WSIReportEngine* GetCrystalEngine() override { return engine; }
    int WarnDialog(WSIWindow*, int templateId) override {
        warnings.push_back(templateId);
        if (warnAnswers.empty())
            return id::OK;
        const int answer = warnAnswers.front();
        warnAnswers.pop_front();
        return answer;
    }
    long SendMainWindowMessage(unsigned msg, void* param) override {
        if (msg == hostmsg::kPrintList && param) {
            ++printRequests;
            lastPrintTitle = static_cast<PrintListRequest*>(param)->title;
            return 1;
        }
        if (msg == hostmsg::kCityPicker && param && !pickedCity.empty()) {
            std::strncpy(static_cast<char*>(param), pickedCity.c_str(), ColWidth::PlaceName);
            return 1;
        }
        return 0;
    }
    WSIProfile* GetProfile() override { return profile.get(); }
    bool IsCommandRestricted(int menuId, int commandId) const override {
        return restricted.count({menuId, commandId}) != 0;
    }
    QString LoadStringText(unsigned code) const {
        return QString::fromStdString(std::string(strings.Get(code)));
    }
    // Whether a box with the text of code was shown.
    bool Showed(unsigned code) const {
        const std::string text(strings.Get(code));
        for (const Box& b : boxes)
            if (b.text == text)
                return true;
        return false;
    }
};

// The database and the module, attached to the host; a clinic of two locations (a store
// room that supplies and a ward that orders), one vendor, two order types.
class ScreensData {
public:
    static constexpr WSIDate kToday{2026, 3, 15};

    ScreensHost host;
    std::unique_ptr<WSIDatabase> db;
    std::filesystem::path dir;
    long user = 0;
    long prdType = 0;
    long vendor = 0;

    bool Open() { return OpenEmpty() && Seed(); }

    // The schema, the module and the signed-in user; no catalogue.
    bool OpenEmpty() {
        dir = std::filesystem::temp_directory_path() /
              ("screens-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir);
        setenv("TAVEL_DATA_DIR", dir.c_str(), 1);
        db = std::make_unique<WSIDatabase>((dir / "inventory.db").string());
        if (!db->IsOpen() || !tavel::CreateSchema(*db))
            return false;
        db->SetToday(kToday);
        host.db = db.get();
        tavel::ModuleAttach();
        tavel::CurrentInventoryApp()->AttachHost(&host);

        WSIUsers u(db.get());
        Put(u.data.Login, "tester");
        Put(u.data.Name, "Tester");
        Put(u.data.First, "Tess");
        if (!u.InsertDB(__FILE__, __LINE__))
            return false;
        user = u.data.User;
        db->SetCurrentUser(user);
        tavel::CurrentInventoryApp()->InitApp(user);
        return true;
    }

    // A screenshot program's start: the output folder from its one argument and the demo
    // clinic opened; false after saying why on standard error.
    bool OpenForScreenshots(int argc, char** argv, QString& out) {
        if (argc < 2) {
            std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
            return false;
        }
        out = QString::fromLocal8Bit(argv[1]);
        QDir().mkpath(out);
        std::string problem;
        if (!OpenDemo(&problem)) {
            std::fprintf(stderr, "demo data: %s\n", problem.c_str());
            Close();
            return false;
        }
        return true;
    }

    // The module attached to a database of the demo clinic alone, for screenshots.
    bool OpenDemo(std::string* problem) {
        if (!Open())
            return false;
        db.reset();
        std::filesystem::remove(dir / "inventory.db");
        db = std::make_unique<WSIDatabase>((dir / "inventory.db").string());
        if (!tavel::CreateSchema(*db, problem) || !tavel::LoadDemoData(*db, problem))
            return false;
        host.db = db.get();
        return true;
    }

    bool Seed() {
        WSIPrdType t(db.get());
        Put(t.data.Description, "Supplies");
        t.InsertDB(__FILE__, __LINE__);
        prdType = t.data.PrdType;
        WSIPrdCat c(db.get());
        c.data.PrdType = prdType;
        Put(c.data.PrdCat, "CAT");
        Put(c.data.Description, "Gloves");
        c.InsertDB(__FILE__, __LINE__);
        WSIPrdUnit unit(db.get());
        Put(unit.data.Description, "Box");
        unit.data.IsDividable = 1;
        unit.InsertDB(__FILE__, __LINE__);
        AddOrderType("INT", 0);
        AddOrderType("EXT", 1);
        AddLocation("STORE", tavel::LocationType::StoreRoom);
        AddLocation("WARD", tavel::LocationType::SupplyRoom);
        AddLocation("CLINIC", tavel::LocationType::SupplyRoom);
        WSIVendor v(db.get());
        Put(v.data.Name, "Acme Medical");
        v.InsertDB(__FILE__, __LINE__);
        vendor = v.data.Vendor;
        return true;
    }

    // Open(), then the demo clinic in a database of its own instead of the test rows (the
    // screenshot programs). False with problem set when it could not be made.
    void Close() {
        while (tavel::ModuleAttachCount() > 0)
            tavel::ModuleDetach();
        db.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    template <std::size_t N> static void Put(char (&field)[N], const char* text) {
        std::memset(field, 0, N);
        if (text)
            std::memcpy(field, text, strnlen(text, N - 1));
    }

    void AddOrderType(const char* code, short external) {
        WSIInvOType r(db.get());
        Put(r.data.InvOType, code);
        Put(r.data.Description, code);
        r.data.IsExternal = external;
        r.InsertDB(__FILE__, __LINE__);
    }
    void AddLocation(const char* code, short type) {
        WSIInvLoc r(db.get());
        Put(r.data.InvLoc, code);
        Put(r.data.Name, code);
        r.data.Type = type;
        r.InsertDB(__FILE__, __LINE__);
    }
    void AddAdjCode(const char* code, short type, short inactive) {
        WSIInvAdj r(db.get());
        Put(r.data.InvAdj, code);
        Put(r.data.Description, code);
        r.data.Type = type;
        r.data.Inactive = inactive;
        r.InsertDB(__FILE__, __LINE__);
    }
    long AddProduct(const char* code, short dividable = 1) {
        WSIProduct r(db.get());
        Put(r.data.ProductCode, code);
        Put(r.data.Description, code);
        r.data.PrdType = prdType;
        Put(r.data.PrdCat, "CAT");
        Put(r.data.Unit, "Box");
        r.data.Vendor = vendor;
        Put(r.data.InvOType, "INT");
        r.data.CostPerUnit = 2.5;
        r.data.AverageCost = 2.5;
        r.data.CanOrder = 1;
        r.data.ItemsPerUnit = 1;
        r.data.IsDividable = dividable;
        Put(r.data.ItemUnit, "Each");
        r.data.LeadTimeUnit = tavel::kNoLeadTimeUnit;
        r.InsertDB(__FILE__, __LINE__);
        return r.data.Product;
    }
    void AddPrdLoc(long product, const char* loc, double balance, short trackUsage = 1,
                   short inactive = 0, double lastCount = 0) {
        WSIPrdLoc r(db.get());
        r.data.Product = product;
        Put(r.data.InvLoc, loc);
        r.data.Stocked = 1;
        r.data.TrackUsage = trackUsage;
        r.data.CanOrderFrom = 1;
        r.data.Balance = balance;
        r.data.LastCount = lastCount;
        r.data.Inactive = inactive;
        r.InsertDB(__FILE__, __LINE__);
    }
    long AddAudit(WSIDate date = {}) {
        WSIAuditHis r(db.get());
        r.data.User = user;
        r.data.Date = date.IsNull() ? kToday : date;
        r.data.Operation = 1;
        r.InsertDB(__FILE__, __LINE__);
        return r.data.Audit;
    }
    // An approved order dated date (today when null): internal from `from` to `to`, or
    // external to the vendor.
    long AddOrder(bool external, const char* to = "WARD", const char* from = "STORE",
                  WSIDate date = {}, short inactive = 0) {
        WSIInvOrder r(db.get());
        r.data.IsExternal = external ? 1 : 0;
        Put(r.data.InvLoc, to);
        Put(r.data.InvLocFrom, external ? "" : from);
        Put(r.data.InvOType, external ? "EXT" : "INT");
        r.data.Vendor = external ? vendor : 0;
        r.data.Date = date.IsNull() ? kToday : date;
        r.data.ApprovalUser = user;
        r.data.Audit = AddAudit();
        r.data.Inactive = inactive;
        r.InsertDB(__FILE__, __LINE__);
        return r.data.InvOrder;
    }
    long AddOrdIt(long order, long product, short quantity, short status, short qtyFilled = 0) {
        WSIInvOrdIt r(db.get());
        r.data.InvOrder = order;
        r.data.Item = static_cast<short>(++items_);
        r.data.Product = product;
        Put(r.data.Unit, "Box");
        r.data.Quantity = quantity;
        r.data.QtyFilled = qtyFilled;
        r.data.Status = status;
        r.data.CostPerUnit = 2.5;
        r.InsertDB(__FILE__, __LINE__);
        return r.data.InvOrdIt;
    }
    // A stock item received at loc (type 0) against the order item, with its audit.
    long AddItem(long product, const char* loc, short quantity, double balance, long invOrdIt = 0,
                 short type = 0, long invRec = 0) {
        WSIInvItem r(db.get());
        r.data.InvRec = invRec;
        r.data.Product = product;
        Put(r.data.InvLoc, loc);
        r.data.Type = type;
        r.data.InvOrdIt = invOrdIt;
        r.data.Quantity = quantity;
        r.data.Balance = balance;
        r.data.CostPerUnit = 2.5;
        Put(r.data.Unit, "Box");
        r.data.ItemsPerUnit = 1;
        r.data.Audit = AddAudit();
        r.InsertDB(__FILE__, __LINE__);
        return r.data.InvItem;
    }
    // A receipt batch of today from the vendor.
    long AddReceipt(const char* loc) {
        WSIInvRec r(db.get());
        Put(r.data.InvLoc, loc);
        r.data.Vendor = vendor;
        Put(r.data.PONumber, "PO-1");
        r.data.Date = kToday;
        r.data.Audit = AddAudit();
        r.InsertDB(__FILE__, __LINE__);
        return r.data.InvRec;
    }
    short Status(long invOrdIt) {
        WSIInvOrdIt r(db.get());
        r.data.InvOrdIt = invOrdIt;
        r.GetEqual(__FILE__, __LINE__);
        return r.data.Status;
    }
    bool Exec(const std::string& sql) { return db->ExecNative(__FILE__, __LINE__, sql.c_str()); }

private:
    int items_ = 0;
};

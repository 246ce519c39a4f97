// The catalogue maintenance screens as staff use them: forms filled and confirmed, the
// table rules' refusals shown over the form with the focus on the field to correct, and
// the database read back after every step.

#include "CatalogueScreens_test.h"

#include "DBPrdCat.h"
#include "QtReportEngine.h"
#include "RecordingReportEngine.h"
#include "WSIAddEditDialog.h"
#include "WSICodeTableDialogs.h"
#include "WSIComboBox.h"
#include "WSIInvOrderTypesDialog.h"
#include "WSIInvSetupDialog.h"
#include "WSIInventoryDialog.h"
#include "WSIInventoryLocationsDialog.h"
#include "WSIMultiPrdLocDialog.h"
#include "WSIProductReportDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <functional>
#include <tuple>

namespace {

// Runs act on the first modal screen of type T that opens while the helper lives, the way
// a user answers it; Fired tells whether it came.
template <class T> class OnModal {
public:
    explicit OnModal(std::function<void(T&)> act) : act_(std::move(act)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* screen = qobject_cast<T*>(QApplication::activeModalWidget())) {
                timer_.stop();
                fired_ = true;
                act_(*screen);
            }
        });
        timer_.start();
    }
    bool Fired() const { return fired_; }

private:
    QTimer timer_;
    std::function<void(T&)> act_;
    bool fired_ = false;
};

struct FormOutcome {
    bool opened = false;
    bool stored = false;
    int focus = -1; // field focused when the form stayed open
};

using Values = std::vector<std::pair<int, QString>>;

// Opens the add (or change) form with command, types values and confirms it. A refused
// form is cancelled after noting the focused field.
FormOutcome Fill(WSIDialog& screen, int command, const Values& values,
                 const std::function<void(WSIAddEditDialog&)>& extra = {}) {
    FormOutcome out;
    OnModal<WSIAddEditDialog> form([&](WSIAddEditDialog& f) {
        for (const auto& [field, text] : values)
            f.SetFieldText(field, text);
        if (extra)
            extra(f);
        f.DoCommand(cm::Ok);
        if (!f.isVisible()) {
            out.stored = true;
            return;
        }
        for (int i = 0; i < f.FieldCount(); ++i)
            if (f.FieldWidget(i) == f.focusWidget())
                out.focus = i;
        f.DoCommand(cm::Cancel);
    });
    screen.DoCommand(command);
    out.opened = form.Fired();
    return out;
}

FormOutcome Add(WSICodesDialog& screen, const Values& values,
                const std::function<void(WSIAddEditDialog&)>& extra = {}) {
    return Fill(screen, WSICodesDialog::CmAdd, values, extra);
}

FormOutcome Change(WSICodesDialog& screen, int row, const Values& values,
                   const std::function<void(WSIAddEditDialog&)>& extra = {}) {
    screen.List()->SelectRow(row);
    return Fill(screen, WSICodesDialog::CmEdit, values, extra);
}

int RowOf(WSICodesDialog& screen, int field, const QString& value) {
    for (int r = 0; r < screen.List()->RowCount(); ++r)
        if (screen.RecordAt(r) && screen.RecordAt(r)->Value(field) == value)
            return r;
    return -1;
}

// Deletes the row whose field holds value, confirming the question.
void Delete(ScreensHost& host, WSICodesDialog& screen, int field, const QString& value) {
    screen.List()->SelectRow(RowOf(screen, field, value));
    host.boxAnswers = {id::YES};
    screen.DoCommand(WSICodesDialog::CmDelete);
    host.boxAnswers.clear();
}

int TimesShown(const ScreensHost& host, unsigned code) {
    const std::string text(host.strings.Get(code));
    int n = 0;
    for (const auto& box : host.boxes)
        n += box.text.rfind(text.substr(0, text.find('%')), 0) == 0 ? 1 : 0;
    return n;
}

std::string TempFile(const std::filesystem::path& dir, const char* name, const std::string& text) {
    const std::filesystem::path path = dir / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The six code-table screens over one host, the categories of every product type.
struct CodeScreens {
    CodeScreens(ScreensHost& host, WSIDatabase* db)
        : all(db), locations(nullptr, &host), units(nullptr, &host), types(nullptr, &host),
          categories(nullptr, &host, &all), orderTypes(nullptr, &host), adjCodes(nullptr, &host) {}
    DBPrdCat all;
    WSIInventoryLocationsDialog locations;
    WSIUnitsDialog units;
    WSIProductTypesDialog types;
    WSIProductCategoriesDialog categories;
    WSIInvOrderTypesDialog orderTypes;
    WSIInvAdjCodesDialog adjCodes;
    auto Refs() { return std::tie(locations, units, types, categories, orderTypes, adjCodes); }
};

} // namespace

void CatalogueScreensTest::init() {
    data = std::make_unique<ScreensData>();
}

void CatalogueScreensTest::cleanup() {
    WSIInvOrderTypesDialog::SetFileChooser(
        [](QWidget*, const QString&, const QString&) { return QString(); });
    data->Close();
    data.reset();
}

long CatalogueScreensTest::Count(const char* sql) {
    long n = -1;
    auto cursor = data->db->Query(__FILE__, __LINE__, "%s", &n, sql);
    if (!cursor->GetFirst())
        return -1;
    return n;
}

void CatalogueScreensTest::NewClinicFromAnEmptySchema() {
    QVERIFY(data->OpenEmpty());
    ScreensHost& host = data->host;
    host.profile = std::make_unique<WSIProfile>((data->dir / "ws.ini").string());
    {
        WSIInventoryLocationsDialog locations(nullptr, &host);
        locations.LoadList();
        struct L {
            const char* code;
            int type;
            const char* barCode;
        };
        for (const L& l : {L{"STORE", 0, "B-STORE"}, L{"WARD", 1, "B-WARD"}, L{"CART", 2, "B-CART"},
                           L{"BED1", 3, "B-BED1"}}) {
            const FormOutcome out = Add(locations, {{0, l.code},
                                                    {1, QString(l.code) + " room"},
                                                    {2, QString::number(l.type)},
                                                    {3, l.barCode}});
            QVERIFY(out.opened);
            QVERIFY2(out.stored, l.code);
        }
        QCOMPARE(locations.List()->RowCount(), 4);
        // A cart that becomes a supply room gives up its bar code.
        QVERIFY(Change(locations, RowOf(locations, 0, "BED1"), {{2, "1"}}).stored);
        QCOMPARE(locations.RecordAt(RowOf(locations, 0, "BED1"))->Value(3), QString());
    }
    // Only locations that are not ordered from keep a bar code.
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVLOC WHERE LENGTH("BarCode") > 0)"), 1L);
    QCOMPARE(
        Count(
            R"(SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = 'CART' AND "Type" = 2 AND "BarCode" = 'B-CART')"),
        1L);
    {
        WSIUnitsDialog units(nullptr, &host);
        units.LoadList();
        QVERIFY(Add(units, {{1, "Box"}, {2, "1"}}).stored);
        QVERIFY(Add(units, {{1, "Each"}}).stored);
    }
    long supplies = 0;
    {
        WSIProductTypesDialog types(nullptr, &host);
        types.LoadList();
        QVERIFY(Add(types, {{1, "Supplies"}}).stored);
        QVERIFY(Add(types, {{1, "Drugs"}}).stored);
        supplies = types.RecordAt(RowOf(types, 1, "Supplies"))->Value(0).toLong();
        QVERIFY(supplies > 0);
        // The categories of one type: the list opened from the type starts in it.
        types.List()->SelectRow(RowOf(types, 1, "Supplies"));
        OnModal<WSIProductCategoriesDialog> categories([&](WSIProductCategoriesDialog& c) {
            QCOMPARE(c.ProductType(), supplies);
            QVERIFY(Add(c, {{1, "GLV"}, {2, "Gloves"}}).stored);
            c.DoCommand(cm::Ok);
        });
        types.DoCommand(WSIProductTypesDialog::CmProductCategories);
        QVERIFY(categories.Fired());
    }
    QCOMPARE(
        Count(R"(SELECT COUNT(1) FROM PRDCAT WHERE "PrdCat" = 'GLV' AND "Description" = 'Gloves')"),
        1L);
    QCOMPARE(Count(R"(SELECT MIN("PrdType") FROM PRDCAT)"), supplies);
    {
        WSIInvOrderTypesDialog types(nullptr, &host);
        types.LoadList();
        const std::string layout = ReadAll(tavel::ResourceDir() + "/reports/InvOrder.rpt");
        QVERIFY(!layout.empty());
        const std::string file = TempFile(data->dir, "ours.rpt", layout);
        WSIInvOrderTypesDialog::SetFileChooser(
            [&](QWidget*, const QString&, const QString&) { return QString::fromStdString(file); });
        QVERIFY(Add(types, {{0, "INT"}, {1, "Internal"}}).stored);
        QVERIFY(Add(types, {{0, "EXT"}, {1, "External"}, {2, "1"}}, [](WSIAddEditDialog& f) {
                    f.DoCommand(WSIInvOrderTypesDialog::CmFileHelp);
                }).stored);
        QCOMPARE(types.RecordAt(RowOf(types, 0, "EXT"))->Value(4), QStringLiteral("1"));
        QCOMPARE(types.RecordAt(RowOf(types, 0, "INT"))->Value(4), QStringLiteral("0"));
    }
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVOTYPE WHERE "ReportLayout" IS NOT NULL)"), 1L);
    {
        WSIInvAdjCodesDialog codes(nullptr, &host);
        codes.LoadList();
        QVERIFY(Add(codes, {{0, "DMG"}, {1, "Damaged"}, {2, "0"}}).stored);
        QVERIFY(Add(codes, {{0, "CNT"}, {1, "Counted"}, {2, "2"}}).stored);
    }
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVADJ WHERE "InvAdj" = 'CNT' AND "Type" = 2)"), 1L);
    {
        WSIInvSetupDialog setup(nullptr, &host);
        auto* location = setup.Control<WSIComboBox>(WSIInvSetupDialog::IdLocation);
        auto* orderType = setup.Control<WSIComboBox>(WSIInvSetupDialog::IdOrderType);
        auto* from = setup.Control<WSIComboBox>(WSIInvSetupDialog::IdTransferFrom);
        auto* to = setup.Control<WSIComboBox>(WSIInvSetupDialog::IdTransferTo);
        auto* length = setup.Control<QLineEdit>(WSIInvSetupDialog::IdMinLength);
        QVERIFY(location && orderType && from && to && length);
        // The cart holds no stock of its own: never a workstation's location.
        QCOMPARE(location->count(), 3);
        QCOMPARE(location->findText("CART"), -1);
        location->setCurrentIndex(location->findText("BED1"));
        orderType->setCurrentIndex(orderType->findText("INT"));
        from->setCurrentIndex(from->findText("STORE"));
        to->setCurrentIndex(to->findText("WARD"));
        length->setText("5");
        setup.DoCommand(cm::Ok);
        QCOMPARE(setup.result(), int(id::OK));
    }
    WSIProfile stored((data->dir / "ws.ini").string());
    QVERIFY(stored.Load());
    QCOMPARE(stored.GetString("Inventory", "Location"), std::string("BED1"));
    QCOMPARE(stored.GetString("Inventory", "Order Type"), std::string("INT"));
    QCOMPARE(stored.GetString("Inventory", "Transfer From"), std::string("STORE"));
    QCOMPARE(stored.GetString("Inventory", "Transfer To"), std::string("WARD"));
    QCOMPARE(tavel::CurrentInventoryApp()->GetMinProductLength(), 5u);
    // Without the practice's options record the length holds for this session, and says so.
    QCOMPARE(TimesShown(host, 39804), 1);
    QCOMPARE(Count("SELECT COUNT(1) FROM INVLOC"), 4L);
    QCOMPARE(Count("SELECT COUNT(1) FROM PRDUNIT"), 2L);
    QCOMPARE(Count("SELECT COUNT(1) FROM PRDTYPE"), 2L);
    QCOMPARE(Count("SELECT COUNT(1) FROM INVOTYPE"), 2L);
}

void CatalogueScreensTest::RefusalsShowOnceOnTheirFieldAndWriteNothing() {
    QVERIFY(data->Open());
    ScreensHost& host = data->host;
    const QString supplies = QString::number(data->prdType);
    data->Exec(
        R"(INSERT INTO INVLOC ("InvLoc", "Name", "Type", "BarCode", "Inactive") VALUES ('CART', 'Cart', 2, 'B1', 0))");
    CodeScreens screens(host, data->db.get());
    auto [locations, units, types, categories, orderTypes, adjCodes] = screens.Refs();
    struct Case {
        const char* what;
        WSICodesDialog* screen;
        Values values;
        unsigned message;
        int focus;
        const char* countSql;
    };
    const Case cases[] = {
        {"location code taken",
         &locations,
         {{0, "STORE"}, {1, "Other"}},
         5004,
         0,
         "SELECT COUNT(1) FROM INVLOC"},
        {"location code blank",
         &locations,
         {{0, "   "}, {1, "Blank"}},
         38594,
         0,
         "SELECT COUNT(1) FROM INVLOC"},
        {"bar code taken",
         &locations,
         {{0, "BED2"}, {2, "3"}, {3, "B1"}},
         28678,
         3,
         "SELECT COUNT(1) FROM INVLOC"},
        {"unit description taken, other case",
         &units,
         {{1, "BOX"}},
         38015,
         1,
         "SELECT COUNT(1) FROM PRDUNIT"},
        {"unit description empty", &units, {{1, ""}}, 5006, 1, "SELECT COUNT(1) FROM PRDUNIT"},
        {"product type taken", &types, {{1, "Supplies"}}, 38015, 1, "SELECT COUNT(1) FROM PRDTYPE"},
        {"category code taken",
         &categories,
         {{0, supplies}, {1, "CAT"}, {2, "Again"}},
         5004,
         1,
         "SELECT COUNT(1) FROM PRDCAT"},
        {"order type code taken",
         &orderTypes,
         {{0, "INT"}, {1, "Again"}},
         5004,
         0,
         "SELECT COUNT(1) FROM INVOTYPE"},
        {"adjustment code empty",
         &adjCodes,
         {{0, ""}, {1, "No code"}},
         45032,
         0,
         "SELECT COUNT(1) FROM INVADJ"},
    };
    for (const Case& c : cases) {
        c.screen->LoadList();
        host.boxes.clear();
        const long before = Count(c.countSql);
        const FormOutcome out = Add(*c.screen, c.values);
        QVERIFY2(out.opened, c.what);
        QVERIFY2(!out.stored, c.what);
        QCOMPARE(out.focus, c.focus);
        QVERIFY2(TimesShown(host, c.message) == 1, c.what);
        QCOMPARE(host.boxes.size(), std::size_t(1));
        QCOMPARE(Count(c.countSql), before);
    }
    // A bar code shared on a change is refused the same way, and the stored row stays.
    locations.LoadList();
    host.boxes.clear();
    const FormOutcome out = Change(locations, RowOf(locations, 0, "WARD"), {{2, "3"}, {3, "B1"}});
    QVERIFY(!out.stored);
    QCOMPARE(out.focus, 3);
    QCOMPARE(TimesShown(host, 28678), 1);
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = 'WARD' AND "Type" = 1)"), 1L);
}

void CatalogueScreensTest::DeletesRefusedWhileInUse() {
    QVERIFY(data->Open());
    ScreensHost& host = data->host;
    const long glove = data->AddProduct("GLOVE");
    data->AddItem(glove, "STORE", 5, 5);
    data->AddAdjCode("USED", 0, 0);
    data->AddAdjCode("FREE", 0, 0);
    WSIInvItDet detail(data->db.get());
    detail.data.Product = glove;
    ScreensData::Put(detail.data.InvLoc, "STORE");
    ScreensData::Put(detail.data.InvAdj, "USED");
    QVERIFY(detail.InsertDB(__FILE__, __LINE__));

    CodeScreens screens(host, data->db.get());
    auto [locations, units, types, categories, orderTypes, adjCodes] = screens.Refs();
    struct Case {
        WSICodesDialog* screen;
        int field;
        const char* value;
        const char* countSql;
        bool refused;
    };
    const Case cases[] = {
        {&locations, 0, "STORE", R"(SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = 'STORE')", true},
        {&types, 1, "Supplies", R"(SELECT COUNT(1) FROM PRDTYPE WHERE "Description" = 'Supplies')",
         true},
        {&categories, 1, "CAT", R"(SELECT COUNT(1) FROM PRDCAT WHERE "PrdCat" = 'CAT')", true},
        {&orderTypes, 0, "INT", R"(SELECT COUNT(1) FROM INVOTYPE WHERE "InvOType" = 'INT')", true},
        {&adjCodes, 0, "USED", R"(SELECT COUNT(1) FROM INVADJ WHERE "InvAdj" = 'USED')", true},
        // Unused codes go, with the question first.
        {&adjCodes, 0, "FREE", R"(SELECT COUNT(1) FROM INVADJ WHERE "InvAdj" = 'FREE')", false},
        {&locations, 0, "CLINIC", R"(SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = 'CLINIC')",
         false},
    };
    for (const Case& c : cases) {
        c.screen->LoadList();
        const int rows = c.screen->List()->RowCount();
        host.boxes.clear();
        Delete(host, *c.screen, c.field, c.value);
        QVERIFY2(TimesShown(host, 28247) == (c.refused ? 1 : 0), c.value);
        QCOMPARE(Count(c.countSql), c.refused ? 1L : 0L);
        QCOMPARE(c.screen->List()->RowCount(), c.refused ? rows : rows - 1);
        // The question to confirm comes only when the delete is allowed.
        QCOMPARE(TimesShown(host, WSICodesDialog::kMsgConfirmDelete), c.refused ? 0 : 1);
    }
}

void CatalogueScreensTest::SetupLengthGuardedAndAppliedAtOnce() {
    QVERIFY(data->Open());
    ScreensHost& host = data->host;
    data->Exec(R"(INSERT INTO TAVELOPT ("TavelOpt", "MinProductLength") VALUES (1, 6))");
    data->AddProduct("ABC");
    struct Case {
        const char* length;
        unsigned message; // 0: accepted
    };
    for (const Case& c :
         {Case{"2", 38599}, Case{"21", 38599}, Case{"x", 38599}, Case{"4", 38609}, Case{"3", 0}}) {
        host.boxes.clear();
        WSIInvSetupDialog setup(nullptr, &host);
        auto* length = setup.Control<QLineEdit>(WSIInvSetupDialog::IdMinLength);
        QVERIFY(length);
        QCOMPARE(length->text(), QStringLiteral("6"));
        length->setText(c.length);
        setup.DoCommand(cm::Ok);
        if (c.message) {
            QCOMPARE(TimesShown(host, c.message), 1);
            QCOMPARE(setup.focusWidget(), static_cast<QWidget*>(length));
            QCOMPARE(Count(R"(SELECT "MinProductLength" FROM TAVELOPT)"), 6L);
            QCOMPARE(tavel::CurrentInventoryApp()->GetMinProductLength(), 6u);
        } else {
            QVERIFY(host.boxes.empty());
            QCOMPARE(Count(R"(SELECT "MinProductLength" FROM TAVELOPT)"), 3L);
            // The quantity limits follow the length at once.
            QCOMPARE(tavel::CurrentInventoryApp()->GetMinProductLength(), 3u);
            QCOMPARE(tavel::CurrentInventoryApp()->GetMaxQuantityAllowed(), 99u);
        }
    }

    // An external order type offers the vendors; an internal one the supplying locations.
    data->AddPrdLoc(data->AddProduct("GAUZE"), "STORE", 0);
    host.profile = std::make_unique<WSIProfile>((data->dir / "ws.ini").string());
    host.profile->WriteString("Inventory", "Order Type", "EXT");
    host.profile->WriteString("Inventory", "Order From", "Acme Medical");
    WSIInvSetupDialog setup(nullptr, &host);
    auto* orderType = setup.Control<WSIComboBox>(WSIInvSetupDialog::IdOrderType);
    auto* vendors = setup.Control<WSIComboBox>(WSIInvSetupDialog::IdOrderFromVendor);
    auto* suppliers = setup.Control<WSIComboBox>(WSIInvSetupDialog::IdOrderFromLocation);
    QVERIFY(orderType && vendors && suppliers);
    QCOMPARE(orderType->currentText(), QStringLiteral("EXT"));
    QVERIFY(!vendors->isHidden() && suppliers->isHidden());
    QCOMPARE(vendors->currentText(), QStringLiteral("Acme Medical"));
    orderType->setCurrentIndex(orderType->findText("INT"));
    QVERIFY(vendors->isHidden() && !suppliers->isHidden());
    QCOMPARE(suppliers->count(), 2); // the empty entry and the store that offers a product
    suppliers->setCurrentIndex(suppliers->findText("STORE"));
    setup.DoCommand(cm::Ok);
    QCOMPARE(host.profile->GetString("Inventory", "Order From"), std::string("STORE"));
}

void CatalogueScreensTest::InactiveRowsMarkedAndCategoryTakesItsProducts() {
    QVERIFY(data->Open());
    ScreensHost& host = data->host;
    const long glove = data->AddProduct("GLOVE");
    data->Exec(
        R"(INSERT INTO PRDUNIT ("Description", "IsDividable", "Inactive") VALUES ('Old', 0, 1))");
    WSIUnitsDialog units(nullptr, &host);
    units.LoadList();
    QCOMPARE(units.List()->Marks(RowOf(units, 1, "Old")), rowmark::Cancelled);
    QCOMPARE(units.List()->Marks(RowOf(units, 1, "Box")), 0u);
    // Renaming a unit carries the new name to its products (after the question).
    host.boxAnswers = {id::YES};
    QVERIFY(Change(units, RowOf(units, 1, "Box"), {{1, "Carton"}}).stored);
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM PRODUCT WHERE "Unit" = 'Carton')"), 1L);

    DBPrdCat all(data->db.get());
    all.InitRecord();
    WSIProductCategoriesDialog categories(nullptr, &host, &all);
    categories.LoadList();
    const int row = RowOf(categories, 1, "CAT");
    // Declined: nothing changes.
    host.boxes.clear();
    host.boxAnswers = {id::NO};
    FormOutcome out = Change(categories, row, {{3, "1"}});
    QVERIFY(!out.stored);
    QCOMPARE(out.focus, 3);
    QCOMPARE(TimesShown(host, 38207), 1);
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM PRODUCT WHERE "Inactive" = 1)"), 0L);
    QCOMPARE(categories.List()->Marks(row), 0u);
    // Confirmed: the category and all its products become inactive.
    host.boxAnswers = {id::YES};
    out = Change(categories, row, {{3, "1"}});
    QVERIFY(out.stored);
    QCOMPARE(categories.List()->Marks(row), rowmark::Cancelled);
    WSIProduct product(data->db.get());
    product.data.Product = glove;
    QVERIFY(product.GetEqual(__FILE__, __LINE__));
    QCOMPARE(product.data.Inactive, short(1));
}

void CatalogueScreensTest::LinkedLocationsAskBeforeDeleteOrRetype() {
    QVERIFY(data->Open());
    ScreensHost& host = data->host;
    data->Exec(R"(INSERT INTO INVLOCMAP ("InvLoc", "Location") VALUES ('WARD', 7))");
    data->Exec(R"(INSERT INTO INVLOCMAP ("InvLoc", "Location") VALUES ('CLINIC', 8))");
    WSIInventoryLocationsDialog locations(nullptr, &host);
    locations.LoadList();

    host.warnAnswers = {id::CANCEL};
    Delete(host, locations, 0, "WARD");
    QCOMPARE(host.warnings, std::vector<int>{25133});
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = 'WARD')"), 1L);
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVLOCMAP WHERE "InvLoc" = 'WARD')"), 1L);
    host.warnAnswers = {id::OK};
    Delete(host, locations, 0, "WARD");
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = 'WARD')"), 0L);
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVLOCMAP WHERE "InvLoc" = 'WARD')"), 0L);

    // A linked supply room that becomes another type loses its links, after the question.
    host.warnings.clear();
    host.warnAnswers = {id::CANCEL};
    QVERIFY(!Change(locations, RowOf(locations, 0, "CLINIC"), {{2, "3"}}).stored);
    QCOMPARE(host.warnings, std::vector<int>{25134});
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = 'CLINIC' AND "Type" = 1)"), 1L);
    host.warnAnswers = {id::OK};
    QVERIFY(Change(locations, RowOf(locations, 0, "CLINIC"), {{2, "3"}}).stored);
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVLOC WHERE "InvLoc" = 'CLINIC' AND "Type" = 3)"), 1L);
    QCOMPARE(Count(R"(SELECT COUNT(1) FROM INVLOCMAP)"), 0L);
    // A change of name alone asks nothing.
    host.warnings.clear();
    QVERIFY(Change(locations, RowOf(locations, 0, "STORE"), {{1, "Main store"}}).stored);
    QVERIFY(host.warnings.empty());
}

void CatalogueScreensTest::LocationProductListAndCommandEnabling() {
    QVERIFY(data->Open());
    ScreensHost& host = data->host;
    data->AddLocation("CART", tavel::LocationType::NoStock);
    data->AddPrdLoc(data->AddProduct("GAUZE"), "STORE", 12);
    data->AddPrdLoc(data->AddProduct("TAPE"), "STORE", 3);
    data->AddPrdLoc(data->AddProduct("SWAB"), "WARD", 9);
    WSIInventoryLocationsDialog locations(nullptr, &host);
    locations.LoadList();
    locations.List()->SelectRow(RowOf(locations, 0, "CART"));
    QVERIFY(!locations.IsCommandEnabled(WSIInventoryLocationsDialog::CmPrdLoc));
    QVERIFY(locations.IsCommandEnabled(WSIInventoryLocationsDialog::CmLink));
    locations.List()->SelectRow(RowOf(locations, 0, "STORE"));
    QVERIFY(locations.IsCommandEnabled(WSIInventoryLocationsDialog::CmPrdLoc));

    QStringList codes;
    OnModal<WSIMultiPrdLocDialog> list([&](WSIMultiPrdLocDialog& products) {
        WSIListWindow* rows = products.List();
        products.SortBy(WSIMultiPrdLocDialog::ColBalance);
        for (int r = 0; r < rows->RowCount(); ++r)
            codes << rows->ItemText(r, WSIMultiPrdLocDialog::ColCode) + "=" +
                         rows->ItemText(r, WSIMultiPrdLocDialog::ColBalance);
        products.DoCommand(WSIMultiPrdLocDialog::CmPrintList);
        products.DoCommand(cm::Ok);
    });
    locations.DoCommand(WSIInventoryLocationsDialog::CmPrdLoc);
    QVERIFY(list.Fired());
    // Only the store's products, sorted by balance as numbers.
    QCOMPARE(codes, (QStringList{"TAPE=3", "GAUZE=12"}));
    QCOMPARE(host.printRequests, 1);
}

void CatalogueScreensTest::OrderTypeLayoutLoadedKeptAndRemoved() {
    QVERIFY(data->Open());
    ScreensHost& host = data->host;
    const std::string good = ReadAll(tavel::ResourceDir() + "/reports/InvOrder.rpt");
    std::string chosen = TempFile(data->dir, "good.rpt", good);
    WSIInvOrderTypesDialog::SetFileChooser(
        [&](QWidget*, const QString&, const QString&) { return QString::fromStdString(chosen); });
    WSIInvOrderTypesDialog types(nullptr, &host);
    types.LoadList();
    const auto choose = [](WSIAddEditDialog& f) {
        f.DoCommand(WSIInvOrderTypesDialog::CmFileHelp);
    };
    const auto stored = [&] {
        WSIBVParametersInfo bv;
        bv.AddParameter("EXT");
        std::string bytes;
        data->db->QueryBytes(__FILE__, __LINE__,
                             R"(SELECT "ReportLayout" FROM INVOTYPE WHERE "InvOType" = :1)", bv,
                             bytes);
        return bytes;
    };
    const int ext = RowOf(types, 0, "EXT");
    QVERIFY(Change(types, ext, {}, choose).stored);
    QCOMPARE(stored(), good);
    QCOMPARE(types.RecordAt(ext)->Value(WSIInvOrderTypesDialog::FLayoutStored),
             QStringLiteral("1"));
    // A change of description alone keeps the layout.
    QVERIFY(Change(types, ext, {{1, "Vendors"}}).stored);
    QCOMPARE(stored(), good);

    struct Refusal {
        std::string file;
        unsigned message;
        unsigned icon;
        const char* reason; // what the message names
    };
    const Refusal refusals[] = {
        {(data->dir / "missing.rpt").string(), 13837, mb::ICONINFORMATION, ""},
        {TempFile(data->dir, "bad.rpt", "tavel-report 1\nquery lines\n"), 39802,
         mb::ICONEXCLAMATION, "line 2"},
        {TempFile(data->dir, "noorder.rpt", "tavel-report 1\ntitle \"Order\"\n"), 39802,
         mb::ICONEXCLAMATION, "InvOrder"},
    };
    for (const Refusal& r : refusals) {
        chosen = r.file;
        host.boxes.clear();
        const FormOutcome out = Change(types, ext, {}, choose);
        QVERIFY(!out.stored);
        QCOMPARE(out.focus, int(WSIInvOrderTypesDialog::FLayoutPath));
        QCOMPARE(TimesShown(host, r.message), 1);
        QVERIFY(host.boxes.back().style & r.icon);
        QVERIFY2(host.boxes.back().text.find(r.reason) != std::string::npos,
                 host.boxes.back().text.c_str());
        QCOMPARE(stored(), good);
    }

    // Cancelling the file screen leaves the field and the flag as they were.
    chosen.clear();
    bool untouched = false;
    Change(types, ext, {}, [&](WSIAddEditDialog& f) {
        f.DoCommand(WSIInvOrderTypesDialog::CmFileHelp);
        untouched = f.FieldText(WSIInvOrderTypesDialog::FLayoutPath).isEmpty() &&
                    f.FieldText(WSIInvOrderTypesDialog::FChanged) == QLatin1String("0") &&
                    !f.ControlWidget(WSIInvOrderTypesDialog::IdLayoutPath)->isEnabled();
    });
    QVERIFY(untouched);
    QCOMPARE(stored(), good);
    // Removing it and storing the change leaves the order type without a layout.
    QVERIFY(Change(types, ext, {}, [](WSIAddEditDialog& f) {
                f.DoCommand(WSIInvOrderTypesDialog::CmFileClear);
            }).stored);
    QVERIFY(stored().empty());
    QCOMPARE(types.RecordAt(ext)->Value(WSIInvOrderTypesDialog::FLayoutStored),
             QStringLiteral("0"));
}

void CatalogueScreensTest::CodeListsPrintThroughTheirReportFiles() {
    QVERIFY(data->Open());
    ScreensHost& host = data->host;
    RecordingReportEngine engine;
    host.engine = &engine;
    WSIInventoryLocationsDialog locations(nullptr, &host);
    WSIUnitsDialog units(nullptr, &host);
    WSIProductTypesDialog types(nullptr, &host);
    WSIInvOrderTypesDialog orderTypes(nullptr, &host);
    WSIInvAdjCodesDialog adjCodes(nullptr, &host);
    struct Case {
        WSICodesDialog* screen;
        const char* file;
        unsigned title;
    };
    for (const Case& c :
         {Case{&locations, "InvLoc.rpt", 38013}, Case{&units, "PrdUnit.rpt", 38014},
          Case{&types, "PrdType.rpt", 38066}, Case{&orderTypes, "InvOType.rpt", 38100},
          Case{&adjCodes, "InvAdj.rpt", 38101}}) {
        engine.reports.clear();
        QVERIFY(c.screen->DoCommand(WSICodesDialog::CmPreview));
        QVERIFY(c.screen->DoCommand(WSICodesDialog::CmPrint));
        QCOMPARE(engine.reports.size(), std::size_t(2));
        for (const RecordedReport& r : engine.reports) {
            QCOMPARE(r.file, std::string(c.file));
            QCOMPARE(QString::fromStdString(r.title), host.LoadStringText(c.title));
            QVERIFY(r.parent == c.screen);
        }
        QVERIFY(engine.reports[0].preview);
        QVERIFY(!engine.reports[1].preview);
        QCOMPARE(c.screen->windowTitle(), host.LoadStringText(c.title));
    }
}

void CatalogueScreensTest::ProductReportFormulasAndPdf() {
    QVERIFY(data->Open());
    ScreensHost& host = data->host;
    data->AddPrdLoc(data->AddProduct("GAUZE-44"), "STORE", 12);
    data->AddProduct("TAPE-77");
    RecordingReportEngine engine;
    host.engine = &engine;
    using R = WSIProductReportDialog;
    const auto formulas = [&] {
        std::vector<std::pair<std::string, std::string>> f = engine.reports.back().formulas;
        return f;
    };
    {
        R report(nullptr, R::kTemplate, false, &host);
        QCOMPARE(report.windowTitle(), host.LoadStringText(38123));
        QVERIFY(report.Control<QWidget>(R::IdStyle)->isEnabled());
        QVERIFY(!report.Control<QWidget>(R::IdLocation)->isEnabled());
        report.DoCommand(cm::Ok);
        QCOMPARE(engine.reports.size(), std::size_t(1));
        QCOMPARE(engine.reports[0].file, std::string("Product.rpt"));
        QVERIFY(!engine.reports[0].preview);
        QCOMPARE(QString::fromStdString(engine.reports[0].title), host.LoadStringText(38023));
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"ReportType", "\"0\""},
            {"PrdType", "\"-1\""},
            {"InvLoc", "\"\""},
            {"OrderBy", "\"0\""},
            {"ReportStyle", "\"0\""}};
        QVERIFY(formulas() == expected);
    }
    {
        R report(nullptr, R::kTemplate, true, &host);
        QCOMPARE(report.windowTitle(),
                 host.LoadStringText(38122) + " " + host.LoadStringText(38123));
        QCOMPARE(report.Control<QLabel>(R::IdLabel)->text(), host.LoadStringText(38122));
        report.Control<QRadioButton>(R::IdType1)->setChecked(true);
        QVERIFY(!report.Control<QWidget>(R::IdStyle)->isEnabled());
        report.Control<WSIComboBox>(R::IdLocation)->setCurrentIndex(-1);
        report.Control<WSIComboBox>(R::IdPrdType1)->setCurrentIndex(1);
        report.Control<WSIComboBox>(R::IdOrder1)->setCurrentIndex(2);
        report.DoCommand(cm::Ok);
        QVERIFY(engine.reports.back().preview);
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"ReportType", "\"1\""},
            {"PrdType", "\"" + std::to_string(data->prdType) + "\""},
            {"InvLoc", "\"\""},
            {"OrderBy", "\"2\""},
            {"ReportStyle", "\"0\""}};
        QVERIFY(formulas() == expected);
    }

    // Both types rendered by the real engine.
    tavel::report::QtReportEngine real(data->db.get());
    host.engine = &real;
    const std::string pdf = (data->dir / "products.pdf").string();
    real.SetPdfOutput(pdf);
    {
        R report(nullptr, R::kTemplate, true, &host);
        report.Control<WSIComboBox>(R::IdStyle)->setCurrentIndex(1);
        QVERIFY(report.ProductReport(report.CurrentChoice(), true));
        const QString text = PdfText(pdf);
        QVERIFY2(text.contains("GAUZE-44") && text.contains("TAPE-77"), qPrintable(text));
        report.Control<QRadioButton>(R::IdType1)->setChecked(true);
        auto* location = report.Control<WSIComboBox>(R::IdLocation);
        location->setCurrentIndex(location->findText("STORE"));
        QVERIFY(report.ProductReport(report.CurrentChoice(), true));
        const QString atStore = PdfText(pdf);
        QVERIFY2(atStore.contains("GAUZE-44") && !atStore.contains("TAPE-77"), qPrintable(atStore));
    }
}

void CatalogueScreensTest::MainScreenCategoryLookupAndSetup() {
    QVERIFY(data->Open());
    ScreensHost& host = data->host;
    WSIInventoryDialog screen(nullptr, &host);
    using Dlg = WSIInventoryDialog;
    auto* type = screen.Control<WSIComboBox>(Dlg::IdPrdType);
    QVERIFY(type);
    type->setCurrentIndex(type->FindValue(data->prdType));
    OnModal<WSIProductCategoriesDialog> lookup([&](WSIProductCategoriesDialog& c) {
        QVERIFY(c.IsLookup());
        QCOMPARE(c.ProductType(), data->prdType);
        c.List()->SelectRow(RowOf(c, 1, "CAT"));
        c.DoCommand(cm::Ok);
    });
    QVERIFY(screen.DoCommand(Dlg::IdCategoryHelp));
    QVERIFY(lookup.Fired());
    QCOMPARE(screen.Control<QLineEdit>(Dlg::IdCategory)->text(), QStringLiteral("Gloves"));
    QCOMPARE(std::string(screen.GetSearchParams().prdCat), std::string("CAT"));

    OnModal<WSIInvSetupDialog> setup([](WSIInvSetupDialog& s) { s.DoCommand(cm::Cancel); });
    QVERIFY(screen.DoCommand(Dlg::IdSetup));
    QVERIFY(setup.Fired());
}

// The catalogue screens as staff use them: products found by every search kind, created
// and changed through the editor with the table rules' questions answered, their
// locations kept by the stocking rules, vendors added with the city picker, and the
// main screen's look-ups filling its filters.

#include "CatalogueScreens_test.h"

#include "CatalogueSources.h"
#include "DBProduct.h"
#include "DBVendor.h"
#include "ProductLookups.h"
#include "WSIAddEditProduct.h"
#include "WSIComboBox.h"
#include "WSIInventoryDialog.h"
#include "WSIProductDialog.h"
#include "WSIProductLocationDefaultDialog.h"
#include "WSIProductLocationsDialog.h"
#include "WSISelectProductLocationDialog.h"
#include "WSIVendorDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <functional>
#include <set>

using namespace tavel::products;
using Kind = ProductSearchKind;

namespace {

// Plays the user on every modal screen the catalogue opens while it lives, in order;
// each step gets the screen and returns nothing (it ends the screen with a command).
class ModalScript {
public:
    using Step = std::function<void(WSIDialog&)>;
    explicit ModalScript(std::vector<Step> steps) : steps_(std::move(steps)) {
        previous_ = WSISetModalRunner([this](WSIDialog& screen) {
            if (next_ >= steps_.size()) {
                ++unexpected_;
                return int(id::CANCEL);
            }
            screen.setResult(0);
            // Shown and active, as a modal screen is, so that focus moves as it would.
            screen.show();
            screen.activateWindow();
            if (!QTest::qWaitForWindowActive(&screen))
                ++unexpected_;
            steps_[next_++](screen);
            screen.hide();
            return screen.result() == 0 ? int(id::CANCEL) : screen.result();
        });
    }
    ~ModalScript() { WSISetModalRunner(std::move(previous_)); }
    // Every step ran and no screen beyond them opened.
    bool Done() const { return next_ == steps_.size() && unexpected_ == 0; }

private:
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int unexpected_ = 0;
    WSIModalRunner previous_;
};

template <class T> T& As(WSIDialog& screen) {
    auto* typed = dynamic_cast<T*>(&screen);
    if (!typed)
        qFatal("unexpected screen %s", screen.metaObject()->className());
    return *typed;
}

struct ProductSpec {
    const char* code;
    const char* description;
    const char* prdCat;
    const char* manufacturer;
    const char* upc;
    bool otherVendor;
};

QStringList Codes(const WSISearchDialog& screen) {
    QStringList codes;
    for (int row = 0; row < screen.List()->RowCount(); ++row)
        codes << screen.List()->ItemText(row, WSIProductDialog::ColCode);
    codes.sort();
    return codes;
}

int RowOf(const WSISearchDialog& screen, int column, const QString& text) {
    for (int row = 0; row < screen.List()->RowCount(); ++row)
        if (screen.List()->ItemText(row, column) == text)
            return row;
    return -1;
}

} // namespace

long Count(ScreensData& d, const std::string& sql) {
    long n = -1;
    auto cursor = d.db->Query(__FILE__, __LINE__, "%s", &n, sql.c_str());
    return cursor->GetFirst() ? n : -1;
}

void CatalogueScreensTest::init() {
    data = std::make_unique<ScreensData>();
    QVERIFY(data->Open());
}

void CatalogueScreensTest::cleanup() {
    WSISetModalRunner({});
    data->Close();
    data.reset();
}

namespace {

// Three products that differ in every searched field, a second category and vendor.
struct Catalogue {
    long gloves = 0, syringe = 0, gauze = 0, otherVendor = 0;
};

Catalogue Seed(ScreensData& d) {
    Catalogue c;
    WSIPrdCat cat(d.db.get());
    cat.data.PrdType = d.prdType;
    ScreensData::Put(cat.data.PrdCat, "SYR");
    ScreensData::Put(cat.data.Description, "Needles and syringes");
    cat.InsertDB(__FILE__, __LINE__);
    WSIVendor v(d.db.get());
    ScreensData::Put(v.data.Name, "Borealis Supply");
    ScreensData::Put(v.data.Phone, "5550101");
    v.InsertDB(__FILE__, __LINE__);
    c.otherVendor = v.data.Vendor;
    const ProductSpec specs[] = {
        {"GLV-100", "Nitrile gloves", "CAT", "Halyard", "00012345678905", false},
        {"SYR-3ML", "Syringe 3 ml", "SYR", "Becton", "0301234567890", true},
        {"GAU-4X4", "Gauze pad 4x4", "CAT", "Covidien", "", false},
    };
    long* ids[] = {&c.gloves, &c.syringe, &c.gauze};
    for (int i = 0; i < 3; ++i) {
        const ProductSpec& s = specs[i];
        *ids[i] = d.AddProduct(s.code);
        WSIProduct p(d.db.get());
        p.data.Product = *ids[i];
        p.GetEqual(__FILE__, __LINE__);
        ScreensData::Put(p.data.Description, s.description);
        ScreensData::Put(p.data.PrdCat, s.prdCat);
        ScreensData::Put(p.data.Manufacturer, s.manufacturer);
        ScreensData::Put(p.data.UPCCode, s.upc);
        if (s.otherVendor)
            p.data.Vendor = c.otherVendor;
        p.UpdateDB(__FILE__, __LINE__);
    }
    return c;
}

struct SearchScreen {
    DBProduct table;
    WSIProductDialog screen;
    SearchScreen(ScreensData& d, bool lookup = false, int mode = kMaintenanceMode,
                 const std::string& forLocation = std::string())
        : table(d.db.get()), screen(nullptr, 25013, &table, &d.host, lookup, mode, forLocation) {}

    QStringList Find(Kind kind, const QString& text) {
        screen.SetKind(kind);
        screen.SearchEdit()->setText(text);
        screen.RunSearch();
        return Codes(screen);
    }
    void ChooseLocation(const QString& code) {
        auto* box = screen.Control<WSIComboBox>(WSIProductDialog::IdLocation);
        box->setCurrentIndex(box->findText(code));
    }
    void Check(int id, bool on) { screen.Control<QCheckBox>(id)->setChecked(on); }
};

} // namespace

void CatalogueScreensTest::EachSearchKindFindsWhatItsFieldHolds() {
    Seed(*data);
    SearchScreen s(*data);
    const struct {
        Kind kind;
        const char* text;
        QStringList expected;
    } cases[] = {
        // Category: code or description beginning with the text, or a later word of it.
        {Kind::Category, "syr", {"SYR-3ML"}},
        {Kind::Category, "glo", {"GAU-4X4", "GLV-100"}},
        {Kind::Category, "AND", {"SYR-3ML"}},
        {Kind::Category, "ree", {}},
        // Code: beginning with the text only.
        {Kind::ProductCode, "gau", {"GAU-4X4"}},
        {Kind::ProductCode, "100", {}},
        // Description, vendor, manufacturer: anywhere in the text, any letter case.
        {Kind::Description, "gLo", {"GLV-100"}},
        {Kind::Description, "4x4", {"GAU-4X4"}},
        {Kind::Vendor, "bor", {"SYR-3ML"}},
        {Kind::Vendor, "CME", {"GAU-4X4", "GLV-100"}},
        {Kind::Manufacturer, "vid", {"GAU-4X4"}},
        // UPC code: beginning with the text.
        {Kind::UPCCode, "000", {"GLV-100"}},
        {Kind::UPCCode, "030", {"SYR-3ML"}},
        {Kind::UPCCode, "123", {}},
        // "_" lists every active product.
        {Kind::Description, "_", {"GAU-4X4", "GLV-100", "SYR-3ML"}},
    };
    for (const auto& c : cases)
        QVERIFY2(s.Find(c.kind, QString::fromLatin1(c.text)) == c.expected,
                 qPrintable(QStringLiteral("kind %1 text %2: %3")
                                .arg(int(c.kind))
                                .arg(QLatin1String(c.text), Codes(s.screen).join(','))));
    // A scanned GS1 string is searched by its product part, which replaces the text.
    QCOMPARE(s.Find(Kind::UPCCode, "(01)00012345678905(17)271231(10)LOT7"), QStringList{"GLV-100"});
    QCOMPARE(s.screen.SearchEdit()->text(), QString("00012345678905"));
    // Columns show the names, not the ids.
    s.Find(Kind::Vendor, "bor");
    QCOMPARE(s.screen.List()->ItemText(0, WSIProductDialog::ColVendor), QString("Borealis Supply"));
    QCOMPARE(s.screen.List()->ItemText(0, WSIProductDialog::ColCategory),
             QString("Needles and syringes"));
    QCOMPARE(s.screen.List()->ItemText(0, WSIProductDialog::ColType), QString("Supplies"));
}

void CatalogueScreensTest::SearchTextWithQuotesAndWildcardsStaysOneLiteral() {
    Seed(*data);
    const long comb = data->AddProduct("COMB-1");
    WSIProduct p(data->db.get());
    p.data.Product = comb;
    p.GetEqual(__FILE__, __LINE__);
    ScreensData::Put(p.data.Description, "Patient's comb 50% off");
    p.UpdateDB(__FILE__, __LINE__);
    // Rows that "%" or "_" would match as wildcards.
    for (const auto& [code, description] :
         {std::pair{"GAU-500", "Gauze 500 pads"}, std::pair{"CLAMP-2", "Clamp 4_4 mm"}}) {
        p.data.Product = data->AddProduct(code);
        p.GetEqual(__FILE__, __LINE__);
        ScreensData::Put(p.data.Description, description);
        p.UpdateDB(__FILE__, __LINE__);
    }
    SearchScreen s(*data);
    QCOMPARE(s.Find(Kind::Description, "t's c"), QStringList{"COMB-1"});
    QCOMPARE(s.Find(Kind::Description, "'"), QStringList{"COMB-1"});
    QCOMPARE(s.Find(Kind::Description, "50%"), QStringList{"COMB-1"});
    QCOMPARE(s.Find(Kind::Description, "4_4"), QStringList{"CLAMP-2"});
    QCOMPARE(s.Find(Kind::Description, "500"), QStringList{"GAU-500"});
    QCOMPARE(s.Find(Kind::ProductCode, "GAU_"), QStringList{});
    QCOMPARE(s.Find(Kind::ProductCode, "gau-4"), QStringList{"GAU-4X4"});
    QCOMPARE(s.Find(Kind::Vendor, "x' OR '1'='1"), QStringList{});
    // An empty field stands for everything.
    QCOMPARE(s.Find(Kind::Description, "").size(), 6);
    QCOMPARE(s.screen.SearchEdit()->text(), QString("_"));
}

void CatalogueScreensTest::LocationChoiceAndOrderingModeNarrowTheProducts() {
    const Catalogue c = Seed(*data);
    data->AddPrdLoc(c.gloves, "STORE", 7);
    data->AddPrdLoc(c.syringe, "STORE", 0, 0, 0, 12); // usage not tracked: its last count
    data->AddPrdLoc(c.gauze, "WARD", 3);
    data->Exec("UPDATE PRDLOC SET \"Stocked\" = 0 WHERE \"InvLoc\" = 'WARD'");
    {
        SearchScreen s(*data);
        s.ChooseLocation("STORE");
        QCOMPARE(s.Find(Kind::Description, "_"), (QStringList{"GLV-100", "SYR-3ML"}));
        QCOMPARE(
            s.screen.List()->ItemText(RowOf(s.screen, 0, "GLV-100"), WSIProductDialog::ColQuantity),
            QString("7"));
        QCOMPARE(
            s.screen.List()->ItemText(RowOf(s.screen, 0, "SYR-3ML"), WSIProductDialog::ColQuantity),
            QString("12"));
        QVERIFY(s.screen.List()->GetColumnWidth(WSIProductDialog::ColQuantity) > 0);
        s.Check(WSIProductDialog::IdIncludeNotHeld, true);
        QCOMPARE(s.Find(Kind::Description, "_"), (QStringList{"GAU-4X4", "GLV-100", "SYR-3ML"}));
        QCOMPARE(
            s.screen.List()->ItemText(RowOf(s.screen, 0, "GAU-4X4"), WSIProductDialog::ColQuantity),
            QString());
        s.ChooseLocation("WARD");
        s.Check(WSIProductDialog::IdIncludeNotHeld, false);
        QCOMPARE(s.Find(Kind::Description, "_"), QStringList{"GAU-4X4"});
        QCOMPARE(s.screen.List()->ItemText(0, WSIProductDialog::ColQuantity),
                 data->host.LoadStringText(38164));
        s.ChooseLocation("(none)");
        s.Find(Kind::Description, "_");
        QCOMPARE(s.screen.List()->GetColumnWidth(WSIProductDialog::ColQuantity), 0);
    }
    // Ordering mode at a location: only products that can be ordered.
    data->Exec("UPDATE PRODUCT SET \"CanOrder\" = 0 WHERE \"ProductCode\" = 'SYR-3ML'");
    SearchScreen ordering(*data, true, kOrderingMode, "STORE");
    ordering.ChooseLocation("STORE");
    QCOMPARE(ordering.Find(Kind::Description, "_"), QStringList{"GLV-100"});
}

void CatalogueScreensTest::InactiveProductsOnlyWithTheBoxInMaintenance() {
    Seed(*data);
    data->Exec("UPDATE PRODUCT SET \"Inactive\" = 1 WHERE \"ProductCode\" = 'GAU-4X4'");
    SearchScreen s(*data);
    QCOMPARE(s.Find(Kind::ProductCode, "GA"), QStringList{});
    s.Check(WSIProductDialog::IdShowInactive, true);
    QCOMPARE(s.Find(Kind::ProductCode, "GA"), QStringList{"GAU-4X4"});
    QVERIFY(s.screen.List()->Marks(0) & rowmark::Cancelled);
    // The list's context menu offers the screen's commands, enabled as their buttons are;
    // a chosen entry runs its command.
    const auto menuEntries = [&] {
        std::unique_ptr<QMenu> menu(s.screen.CreateContextMenu(nullptr));
        QStringList entries;
        for (QAction* a : menu->actions())
            entries << a->text().remove('&') + (a->isEnabled() ? "" : " (off)");
        return entries;
    };
    s.screen.List()->ClearRowSelection();
    QCOMPARE(menuEntries(),
             (QStringList{"New...", "Change... (off)", "Delete (off)", "Locations... (off)",
                          "Stock by location (off)", "Export..."}));
    s.screen.List()->SelectRow(0);
    QCOMPARE(menuEntries().at(2), QString("Delete"));
    {
        std::unique_ptr<QMenu> menu(s.screen.CreateContextMenu(nullptr));
        data->host.boxAnswers = {id::YES};
        menu->actions().at(2)->trigger();
    }
    QCOMPARE(s.Find(Kind::ProductCode, "GA"), QStringList{});
    // A look-up in ordering mode never offers it.
    SearchScreen ordering(*data, true, kOrderingMode);
    ordering.Check(WSIProductDialog::IdShowInactive, true);
    QCOMPARE(ordering.Find(Kind::ProductCode, "GA"), QStringList{});
}

void CatalogueScreensTest::RowLimitAsksOnceAtTheLimit() {
    Seed(*data);
    data->host.profile = std::make_unique<WSIProfile>();
    data->host.profile->WriteInt("ListWindow", "MaxRecords", 2);
    SearchScreen s(*data);
    const QString question = data->host.LoadStringText(28399).replace("%d", "2");
    data->host.boxAnswers = {id::CANCEL};
    QCOMPARE(s.Find(Kind::Description, "_").size(), 2);
    QCOMPARE(data->host.boxes.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(data->host.boxes[0].text), question);
    data->host.boxAnswers = {id::OK};
    QCOMPARE(s.Find(Kind::Description, "_").size(), 3);
    // Exactly at the limit nothing follows: no question.
    data->host.boxes.clear();
    QCOMPARE(s.Find(Kind::Category, "glo").size(), 2);
    QVERIFY(data->host.boxes.empty());
}

namespace {
void Fill(WSIAddEditProduct& form, std::initializer_list<std::pair<int, const char*>> values) {
    for (const auto& [field, text] : values)
        form.SetFieldText(field, QString::fromUtf8(text));
}
} // namespace

void CatalogueScreensTest::ProductCreatedChangedAndFoundAgain() {
    Seed(*data);
    SearchScreen s(*data);
    long created = 0;
    {
        ModalScript script({[&](WSIDialog& screen) {
            auto& form = As<WSIAddEditProduct>(screen);
            QVERIFY(!form.IsCommandEnabled(WSIAddEditProduct::IdDefaults));
            Fill(form, {{PfProductCode, "BAND-01"},
                        {PfUPCCode, "4006381333931"},
                        {PfDescription, "Elastic bandage"},
                        {PfManufacturer, "Hartmann"},
                        {PfPrdCat, "cat"},
                        {PfUnit, "box"},
                        {PfItemsPerUnit, "12"},
                        {PfItemUnit, "Roll"}});
            form.SetFieldText(PfVendor, QString::number(data->vendor));
            form.DoCommand(cm::Ok);
        }});
        s.screen.DoCommand(WSIProductDialog::IdNew);
        QVERIFY(script.Done());
    }
    QCOMPARE(s.screen.List()->RowCount(), 1);
    created = s.screen.ProductAt(0);
    QVERIFY(created > 0);
    DBProduct stored(data->db.get());
    stored.data.Product = created;
    QVERIFY(stored.GetEqual(__FILE__, __LINE__));
    QCOMPARE(QString(stored.data.PrdCat), QString("CAT"));
    QCOMPARE(stored.data.ItemsPerUnit, short(12));
    QCOMPARE(stored.data.CanOrder, short(1));
    // Its default location row exists: new locations start from it.
    QCOMPARE(Count(*data, ("SELECT COUNT(1) FROM PRDLOC WHERE \"Product\" = " +
                           std::to_string(created) + " AND \"InvLoc\" = ' '")),
             1L);

    // Found by each kind, and by its scanned UPC.
    const std::pair<Kind, const char*> finds[] = {
        {Kind::Category, "glo"}, {Kind::ProductCode, "ban"},   {Kind::Description, "elast"},
        {Kind::Vendor, "acme"},  {Kind::Manufacturer, "hart"}, {Kind::UPCCode, "4006381333931"}};
    for (const auto& [kind, text] : finds)
        QVERIFY2(s.Find(kind, text).contains("BAND-01"), text);

    // Give it a location, then change its UPC: the question is asked; No keeps the old.
    data->AddPrdLoc(created, "STORE", 0);
    const int row = RowOf(s.screen, 0, "BAND-01");
    s.screen.List()->SelectRow(row);
    const auto changeUpc = [&](int answer) {
        data->host.boxAnswers = {answer};
        ModalScript script({[&](WSIDialog& screen) {
            auto& form = As<WSIAddEditProduct>(screen);
            Fill(form, {{PfUPCCode, "4006381333948"}});
            form.DoCommand(cm::Ok);
            if (answer != id::YES) {
                QCOMPARE(form.result(), 0); // still open
                QCOMPARE(QApplication::focusWidget(), form.FieldWidget(PfUPCCode));
                form.DoCommand(cm::Cancel);
            }
        }});
        s.screen.DoCommand(WSIProductDialog::IdEdit);
        QVERIFY(script.Done());
        QVERIFY(data->host.Showed(38109));
    };
    changeUpc(id::NO);
    stored.GetEqual(__FILE__, __LINE__);
    QCOMPARE(QString(stored.data.UPCCode), QString("4006381333931"));
    changeUpc(id::YES);
    stored.GetEqual(__FILE__, __LINE__);
    QCOMPARE(QString(stored.data.UPCCode), QString("4006381333948"));
    QCOMPARE(s.screen.List()->ItemText(s.screen.List()->FirstSelected(), WSIProductDialog::ColCode),
             QString("BAND-01"));

    // Made inactive: gone from the search, back with the box.
    {
        ModalScript script({[&](WSIDialog& screen) {
            auto& form = As<WSIAddEditProduct>(screen);
            Fill(form, {{PfInactive, "1"}});
            form.DoCommand(cm::Ok);
        }});
        s.screen.DoCommand(WSIProductDialog::IdEdit);
        QVERIFY(script.Done());
    }
    QVERIFY(!s.Find(Kind::ProductCode, "BAN").contains("BAND-01"));
    s.Check(WSIProductDialog::IdShowInactive, true);
    QCOMPARE(s.Find(Kind::ProductCode, "BAN"), QStringList{"BAND-01"});
}

void CatalogueScreensTest::EditorRefusalsFocusTheFieldTheyName_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("focused");
    QTest::addColumn<unsigned>("message");
    QTest::newRow("code taken as another's UPC")
        << int(PfProductCode) << "00012345678905" << int(PfProductCode) << 38105u;
    QTest::newRow("code shorter than the minimum")
        << int(PfProductCode) << "ABC" << int(PfProductCode) << 0u;
    QTest::newRow("UPC of 5 characters") << int(PfUPCCode) << "12345" << int(PfUPCCode) << 0u;
    QTest::newRow("UPC is another's code")
        << int(PfUPCCode) << "GLV-100" << int(PfUPCCode) << 38106u;
    QTest::newRow("unit that does not exist") << int(PfUnit) << "Crate" << int(PfUnit) << 38120u;
    QTest::newRow("category missing") << int(PfPrdCat) << "" << int(PfPrdCat) << 45032u;
    QTest::newRow("category unknown") << int(PfPrdCat) << "ZZZ" << int(PfPrdCat) << 38104u;
    QTest::newRow("pack size 0") << int(PfItemsPerUnit) << "0" << int(PfItemsPerUnit) << 38194u;
    QTest::newRow("order type unknown") << int(PfInvOType) << "NOPE" << int(PfInvOType) << 38110u;
}

void CatalogueScreensTest::EditorRefusalsFocusTheFieldTheyName() {
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(int, focused);
    QFETCH(unsigned, message);
    Seed(*data);
    tavel::CurrentInventoryApp()->SetMinProductLength(4);
    DBProduct table(data->db.get());
    table.InitRecord();
    WSIAddEditProduct form(nullptr, 25014, &table, &data->host);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Fill(form, {{PfProductCode, "NEW-1"},
                {PfDescription, "New"},
                {PfPrdCat, "CAT"},
                {PfUnit, "Box"},
                {PfItemsPerUnit, "1"}});
    // The limit itself passes: a code of exactly the minimum length is stored.
    form.SetFieldText(field, value);
    form.DoCommand(cm::Ok);
    QVERIFY(form.isVisible());
    QCOMPARE(QApplication::focusWidget(), form.FieldWidget(focused));
    if (message)
        QVERIFY2(data->host.Showed(message), qPrintable(QString::number(message)));
    QCOMPARE(Count(*data, "SELECT COUNT(1) FROM PRODUCT WHERE \"ProductCode\" = 'NEW-1'"), 0L);
    // Corrected, it is stored.
    Fill(form, {{PfProductCode, "NEW1"},
                {PfUPCCode, "123456"},
                {PfPrdCat, "CAT"},
                {PfUnit, "Box"},
                {PfItemsPerUnit, "1"},
                {PfInvOType, ""}});
    form.DoCommand(cm::Ok);
    QVERIFY(!form.isVisible());
    QVERIFY(table.IsRecord());
    QCOMPARE(QString(table.data.ProductCode), QString("NEW1"));
}

void CatalogueScreensTest::UpcCheckDigitWarnsAndAGtinMustCheck() {
    QVERIFY(CheckDigitHolds("4006381333931"));
    QVERIFY(!CheckDigitHolds("4006381333932"));
    QVERIFY(CheckDigitHolds("00012345678905"));
    QVERIFY(CheckDigitHolds("036000291452")); // UPC-A
    QVERIFY(!CheckDigitHolds("036000291453"));
    QVERIFY(CheckDigitHolds("96385074"));      // EAN-8
    QVERIFY(CheckDigitHolds("ABC-123456789")); // not a GS1 number: nothing to check
    DBProduct table(data->db.get());
    table.InitRecord();
    WSIAddEditProduct form(nullptr, 25014, &table, &data->host);
    Fill(form, {{PfProductCode, "CHECK-1"},
                {PfPrdCat, "CAT"},
                {PfItemsPerUnit, "1"},
                {PfUPCCode, "4006381333932"}});
    data->host.boxAnswers = {id::NO};
    form.DoCommand(cm::Ok);
    QVERIFY(data->host.Showed(kMsgUpcCheckDigitWarning));
    QVERIFY(!table.IsRecord());
    // A GTIN-14 that does not check is refused without a question.
    data->host.boxes.clear();
    Fill(form, {{PfUPCCode, "00012345678906"}});
    form.DoCommand(cm::Ok);
    QVERIFY(data->host.Showed(kMsgGtinCheckDigitWrong));
    QVERIFY(!data->host.Showed(kMsgUpcCheckDigitWarning));
    QVERIFY(!table.IsRecord());
    // Answered Yes, the shorter code is stored as typed.
    Fill(form, {{PfUPCCode, "4006381333932"}});
    data->host.boxAnswers = {id::YES};
    form.DoCommand(cm::Ok);
    QVERIFY(table.IsRecord());
    QCOMPARE(QString(table.data.UPCCode), QString("4006381333932"));
}

void CatalogueScreensTest::ProductLocationsFollowTheStockingRules() {
    const Catalogue c = Seed(*data);
    data->AddLocation("CART", tavel::LocationType::UsePoint);
    data->AddLocation("OFFICE", tavel::LocationType::NoStock);
    // Defaults first: new rows start untracked with a standard order of 6.
    {
        ModalScript script({[&](WSIDialog& screen) {
            auto& form = As<WSIProductLocationDefaultDialog>(screen);
            form.SetFieldText(LfTrackUsage, "0");
            form.SetFieldText(LfStdToOrder, "6");
            form.DoCommand(cm::Ok);
        }});
        QVERIFY(EditProductLocationDefaults(nullptr, &data->host, c.gloves));
        QVERIFY(script.Done());
    }
    WSIProductLocationsDialog screen(nullptr, &data->host, c.gloves);
    screen.LoadList();
    QCOMPARE(screen.List()->RowCount(), 0); // the default row is never listed
    QStringList offered;
    {
        ModalScript script({
            [&](WSIDialog& s) {
                auto& form = As<WSIPrdLocForm>(s);
                QVERIFY(form.LocationChoice());
                for (int i = 1; i < form.LocationChoice()->count(); ++i)
                    offered << form.LocationChoice()->itemText(i);
                QCOMPARE(form.FieldText(LfTrackUsage), QString("0"));
                QCOMPARE(form.FieldText(LfStdToOrder), QString("6"));
                form.LocationChoice()->setCurrentText("STORE");
                QVERIFY(form.FieldWidget(LfCanOrderFrom)->isEnabled());
                form.SetFieldText(LfMinCount, "2");
                form.SetFieldText(LfReorderCount, "4");
                // Not stocked: the stock levels go to 0 and close; order quantities stay.
                form.SetFieldText(LfStocked, "0");
                QCOMPARE(form.FieldText(LfMinCount), QString("0"));
                QVERIFY(!form.FieldWidget(LfReorderCount)->isEnabled());
                QVERIFY(form.FieldWidget(LfStdToOrder)->isEnabled());
                form.SetFieldText(LfStocked, "1");
                form.SetFieldText(LfMinCount, "5");
                form.SetFieldText(LfReorderCount, "4");
                form.DoCommand(cm::Ok); // minimum above the reorder level: refused
                QCOMPARE(form.result(), 0);
                QCOMPARE(QApplication::focusWidget(), form.FieldWidget(LfMinCount));
                form.SetFieldText(LfMinCount, "4"); // equal passes
                form.DoCommand(cm::Ok);
            },
            [&](WSIDialog& s) {
                auto& form = As<WSIPrdLocForm>(s);
                // A location that is never ordered from offers no ordering.
                form.LocationChoice()->setCurrentText("CART");
                QCOMPARE(form.FieldText(LfCanOrderFrom), QString("0"));
                QVERIFY(!form.FieldWidget(LfCanOrderFrom)->isEnabled());
                form.DoCommand(cm::Ok);
            },
        });
        screen.DoCommand(WSICodesDialog::CmAdd);
        screen.DoCommand(WSICodesDialog::CmAdd);
        QVERIFY(script.Done());
    }
    QVERIFY(data->host.Showed(38132));
    QVERIFY(!offered.contains("OFFICE"));
    QVERIFY(offered.contains("CART") && offered.contains("WARD"));
    QCOMPARE(screen.List()->RowCount(), 2);
    WSIPrdLoc row(data->db.get());
    row.data.Product = c.gloves;
    ScreensData::Put(row.data.InvLoc, "STORE");
    QVERIFY(row.GetEqual(__FILE__, __LINE__));
    QCOMPARE(row.data.MinCount, short(4));
    QCOMPARE(row.data.StdToOrder, short(6));
    QCOMPARE(row.data.TrackUsage, short(0));
    ScreensData::Put(row.data.InvLoc, "CART");
    QVERIFY(row.GetEqual(__FILE__, __LINE__));
    QCOMPARE(row.data.CanOrderFrom, short(0));

    // Stock at STORE: untracked, so its last count shows; the row cannot be deleted.
    data->Exec("UPDATE PRDLOC SET \"LastCount\" = 9, \"Balance\" = 3 WHERE \"InvLoc\" = 'STORE'");
    screen.LoadList();
    QVERIFY(screen.SelectByValue(LfInvLoc, "STORE"));
    QCOMPARE(screen.List()->ItemText(screen.List()->FirstSelected(), LfQuantity), QString("9"));
    {
        ModalScript script({[&](WSIDialog& s) {
            auto& form = As<WSIPrdLocForm>(s);
            QCOMPARE(form.FieldText(LfQuantity), QString("9"));
            form.SetFieldText(LfTrackUsage, "1"); // tracked: the balance instead
            QCOMPARE(form.FieldText(LfQuantity), QString("3"));
            form.SetFieldText(LfInactive, "1"); // stock is held there: refused
            form.DoCommand(cm::Ok);
            QCOMPARE(QApplication::focusWidget(), form.FieldWidget(LfInactive));
            form.DoCommand(cm::Cancel);
        }});
        screen.DoCommand(WSICodesDialog::CmEdit);
        QVERIFY(script.Done());
    }
    QVERIFY(data->host.Showed(38135));
    screen.DoCommand(WSICodesDialog::CmDelete);
    QVERIFY(data->host.Showed(28247));
    QCOMPARE(Count(*data,
                   ("SELECT COUNT(1) FROM PRDLOC WHERE \"Product\" = " + std::to_string(c.gloves))),
             3L);
    // The empty row at CART goes after the question.
    QVERIFY(screen.SelectByValue(LfInvLoc, "CART"));
    data->host.boxAnswers = {id::YES};
    screen.DoCommand(WSICodesDialog::CmDelete);
    QCOMPARE(screen.List()->RowCount(), 1);

    // Opened for a location without a row: a new row for it, from the defaults.
    {
        ModalScript script({[&](WSIDialog& s) {
            auto& form = As<WSIPrdLocForm>(s);
            QCOMPARE(form.FieldText(LfInvLoc), QString("WARD"));
            QCOMPARE(form.FieldText(LfStdToOrder), QString("6"));
            form.DoCommand(cm::Ok);
        }});
        WSIProductLocationsDialog forWard(nullptr, &data->host, c.gloves, "WARD");
        forWard.LoadList();
        QTRY_VERIFY(script.Done());
        QCOMPARE(forWard.List()->RowCount(), 2);
    }
    // Restricted: rows are only shown.
    WSIProductLocationsDialog restricted(nullptr, &data->host, c.gloves, "", true);
    restricted.LoadList();
    restricted.List()->SelectRow(0);
    QVERIFY(!restricted.IsCommandEnabled(WSICodesDialog::CmAdd));
    QVERIFY(!restricted.IsCommandEnabled(WSICodesDialog::CmEdit));
    QVERIFY(!restricted.IsCommandEnabled(WSICodesDialog::CmDelete));
}

void CatalogueScreensTest::SelectScreenListsActiveRowsWithQuantities() {
    const Catalogue c = Seed(*data);
    data->AddPrdLoc(c.gloves, "STORE", 7);
    data->AddPrdLoc(c.gloves, "WARD", 0, 0, 0, 2);
    data->AddPrdLoc(c.gloves, "CLINIC", 5, 1, 1); // inactive: never listed
    data->Exec("UPDATE PRDLOC SET \"Stocked\" = 0, \"CanOrderFrom\" = 0 WHERE \"InvLoc\" = 'WARD'");
    WSISelectProductLocationDialog look(nullptr, &data->host, c.gloves, false, false);
    QCOMPARE(look.List()->RowCount(), 2);
    QCOMPARE(look.windowTitle(), data->host.LoadStringText(38167));
    std::map<QString, QString> quantities;
    for (int r = 0; r < look.List()->RowCount(); ++r)
        quantities[look.List()->ItemText(r, 0)] = look.List()->ItemText(r, 2);
    QCOMPARE(quantities["STORE"], QString("7"));
    QCOMPARE(quantities["WARD"], data->host.LoadStringText(38164));
    WSISelectProductLocationDialog pick(nullptr, &data->host, c.gloves, true, true);
    QCOMPARE(pick.List()->RowCount(), 1);
    pick.List()->SelectRow(0);
    pick.DoCommand(cm::Ok);
    char code[4];
    pick.GetInvLoc(code, sizeof code);
    QCOMPARE(QString(code), QString("STO")); // cut to the buffer, terminated
    pick.GetInvLoc(nullptr, 10);
}

void CatalogueScreensTest::VendorAddedWithCityHelpFoundByPhoneAndKeptWhileUsed() {
    Seed(*data);
    data->Exec("INSERT INTO PROVINCE (\"Province\", \"Description\") VALUES ('ON', 'Ontario')");
    data->Exec("INSERT INTO CITY (\"City\", \"Province\", \"PostalCode\", \"Area\") VALUES "
               "('Kingston', 'ON', 'K7L 3N6', '613')");
    DBVendor table(data->db.get());
    table.InitRecord();
    WSIVendorDialog screen(nullptr, 25009, &table, &data->host, false);
    data->host.pickedCity = "Kingston";
    {
        ModalScript script({[&](WSIDialog& s) {
            auto& form = As<WSIAddEditVendor>(s);
            form.SetFieldText(VfName, "O'Neill Medical");
            form.SetFieldText(VfAddress1, "12 King St");
            form.SetFieldText(VfPhone, "5557788");
            form.DoCommand(WSIAddEditVendor::IdCityHelp);
            QCOMPARE(form.FieldText(VfProvince), QString("ON"));
            QCOMPARE(form.FieldText(VfPostalCode), QString("K7L 3N6"));
            QCOMPARE(form.FieldText(VfArea), QString("613"));
            form.DoCommand(cm::Ok);
        }});
        screen.DoCommand(WSIVendorDialog::IdNew);
        QVERIFY(script.Done());
    }
    QCOMPARE(screen.List()->RowCount(), 1);
    QCOMPARE(screen.List()->ItemText(0, 1), QString("12 King St, Kingston"));
    QCOMPARE(screen.List()->ItemText(0, 2), QString("(613) 5557788"));
    WSIVendor stored(data->db.get());
    stored.data.Vendor = screen.VendorAt(0);
    QVERIFY(stored.GetEqual(__FILE__, __LINE__));
    QCOMPARE(QString(stored.data.Notes), QString(" ")); // empty notes: one blank
    const auto find = [&](VendorSearchKind kind, const char* text) {
        screen.SetKind(kind);
        screen.SearchEdit()->setText(text);
        screen.RunSearch();
        QStringList names;
        for (int r = 0; r < screen.List()->RowCount(); ++r)
            names << screen.List()->ItemText(r, 0);
        return names;
    };
    QCOMPARE(find(VendorSearchKind::Phone, "5557"), QStringList{"O'Neill Medical"});
    QCOMPARE(find(VendorSearchKind::Phone, "557"), QStringList{});
    QCOMPARE(find(VendorSearchKind::Name, "'n"), QStringList{"O'Neill Medical"});
    QCOMPARE(find(VendorSearchKind::Name, "o_n"), QStringList{}); // "_" is a character here
    QCOMPARE(find(VendorSearchKind::Phone, "555%"), QStringList{});
    QCOMPARE(find(VendorSearchKind::AddressOrCity, "king"), QStringList{"O'Neill Medical"});
    QCOMPARE(find(VendorSearchKind::Name, "_").size(), 3);
    // A typed postal code fills its city and province; the stored area code is the
    // vendor's own and stays. An unknown code (quotes included) changes nothing.
    data->Exec("INSERT INTO CITY (\"City\", \"Province\", \"PostalCode\", \"Area\") VALUES "
               "('Toronto', 'ON', 'M5V 2T6', '416')");
    QCOMPARE(find(VendorSearchKind::Name, "neill"), QStringList{"O'Neill Medical"});
    screen.List()->SelectRow(0);
    {
        ModalScript script({[&](WSIDialog& s) {
            auto& form = As<WSIAddEditVendor>(s);
            form.SetFieldText(VfPostalCode, "M5V 2T6");
            form.EvPostalChange();
            QCOMPARE(form.FieldText(VfCity), QString("Toronto"));
            QCOMPARE(form.FieldText(VfProvince), QString("ON"));
            QCOMPARE(form.FieldText(VfArea), QString("613"));
            for (const char* unknown : {"X0X 0X0", "K7'L"}) {
                form.SetFieldText(VfPostalCode, unknown);
                form.EvPostalChange();
                QCOMPARE(form.FieldText(VfCity), QString("Toronto"));
            }
            form.DoCommand(cm::Cancel);
        }});
        screen.DoCommand(WSIVendorDialog::IdEdit);
        QVERIFY(script.Done());
    }
    // A vendor that products use stays; an unused one goes after the question.
    QCOMPARE(find(VendorSearchKind::Name, "acme"), QStringList{"Acme Medical"});
    screen.List()->SelectRow(0);
    screen.DoCommand(WSIVendorDialog::IdDelete);
    QVERIFY(data->host.Showed(28247));
    QCOMPARE(find(VendorSearchKind::Name, "acme").size(), 1);
    find(VendorSearchKind::Name, "neill");
    screen.List()->SelectRow(0);
    data->host.boxAnswers = {id::YES};
    screen.DoCommand(WSIVendorDialog::IdDelete);
    QCOMPARE(screen.List()->RowCount(), 0);
    QCOMPARE(find(VendorSearchKind::Name, "neill"), QStringList{});
    // Inactive vendors only with the box, marked.
    data->Exec("UPDATE VENDOR SET \"Inactive\" = 1 WHERE \"Name\" = 'Borealis Supply'");
    QCOMPARE(find(VendorSearchKind::Name, "bor"), QStringList{});
    screen.Control<QCheckBox>(WSIVendorDialog::IdShowInactive)->setChecked(true);
    QCOMPARE(find(VendorSearchKind::Name, "bor"), QStringList{"Borealis Supply"});
    QVERIFY(screen.List()->Marks(0) & rowmark::Cancelled);
}

void CatalogueScreensTest::MainScreenLookUpsFillTheirFilters() {
    const Catalogue c = Seed(*data);
    WSIInventoryDialog main(nullptr, &data->host);
    QVERIFY(main.IsCommandEnabled(WSIInventoryDialog::IdProductHelp));
    QVERIFY(main.IsCommandEnabled(WSIInventoryDialog::IdVendorHelp));
    ModalScript script({
        [&](WSIDialog& s) {
            auto& search = As<WSIProductDialog>(s);
            QVERIFY(search.IsLookup());
            search.SetKind(Kind::ProductCode);
            search.SearchEdit()->setText("SYR");
            search.RunSearch();
            search.List()->setFocus();
            search.DoCommand(cm::Ok);
        },
        [&](WSIDialog& s) {
            auto& search = As<WSIVendorDialog>(s);
            search.SearchEdit()->setText("bor");
            search.RunSearch();
            search.List()->setFocus();
            search.DoCommand(cm::Ok);
        },
    });
    main.DoCommand(WSIInventoryDialog::IdProductHelp);
    main.DoCommand(WSIInventoryDialog::IdVendorHelp);
    QVERIFY(script.Done());
    QCOMPARE(main.Control<QLineEdit>(WSIInventoryDialog::IdProduct)->text(),
             QString("Syringe 3 ml"));
    QCOMPARE(main.Control<QLineEdit>(WSIInventoryDialog::IdCategory)->text(),
             QString("Needles and syringes"));
    QCOMPARE(main.Control<QLineEdit>(WSIInventoryDialog::IdVendor)->text(),
             QString("Borealis Supply"));
    const InventorySearchParameters params = main.GetSearchParams();
    QCOMPARE(params.product, c.syringe);
    QCOMPARE(params.vendor, c.otherVendor);
    // A look-up left with Cancel clears the filter.
    ModalScript cancel({[&](WSIDialog& s) { s.DoCommand(cm::Cancel); }});
    main.DoCommand(WSIInventoryDialog::IdVendorHelp);
    QCOMPARE(main.GetSearchParams().vendor, 0L);
}

void CatalogueScreensTest::BarCodeRequestPicksAmongSeveralProducts() {
    const Catalogue c = Seed(*data);
    {
        // One product's whole UPC or code: answered without a screen; nothing: 0.
        ModalScript none({});
        QCOMPARE(LookUpBarCode(nullptr, &data->host, "0301234567890"), c.syringe);
        QCOMPARE(LookUpBarCode(nullptr, &data->host, "GAU-4X4"), c.gauze);
        // A GS1 string with lot and expiry: its GTIN, stored as the 13-digit form.
        data->Exec("UPDATE PRODUCT SET \"UPCCode\" = '4006381333931' WHERE \"ProductCode\" = "
                   "'GAU-4X4'");
        QCOMPARE(LookUpBarCode(nullptr, &data->host, "(01)04006381333931(17)281130(10)A1"),
                 c.gauze);
        QCOMPARE(LookUpBarCode(nullptr, &data->host, "NO-SUCH-CODE"), 0L);
        QVERIFY(none.Done());
    }
    // The beginning of two products' UPCs: the search opens on it and the user picks.
    data->Exec("UPDATE PRODUCT SET \"UPCCode\" = '03012345678', \"Inactive\" = 1 WHERE "
               "\"ProductCode\" = 'GAU-4X4'");
    ModalScript pick({[&](WSIDialog& s) {
        auto& search = As<WSIProductDialog>(s);
        QCOMPARE(Codes(search), (QStringList{"GAU-4X4", "SYR-3ML"}));
        search.List()->SelectRow(RowOf(search, 0, "GAU-4X4"));
        search.DoCommand(cm::Ok);
    }});
    QCOMPARE(LookUpBarCode(nullptr, &data->host, "0301"), c.gauze);
    QVERIFY(pick.Done());
}

#include "WSICodeTableDialogs.h"

#include "DBInvAdj.h"
#include "DBPrdCat.h"
#include "DBPrdType.h"
#include "DBPrdUnit.h"
#include "Records.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <QBoxLayout>
#include <QPushButton>

namespace {

constexpr unsigned kAdjCodesTitle = 38101;
constexpr unsigned kProductTypesTitle = 38066;
constexpr unsigned kUnitsTitle = 38014;
constexpr unsigned kCategoriesTitle = 39801;

CatalogueField Hidden(const char* column) {
    CatalogueField f = ColumnField(column, QString(), 0);
    f.hidden = true;
    return f;
}

std::unique_ptr<CatalogueSource> AdjCodesSource(WSIApplication* module) {
    CatalogueSource::Setup s;
    s.make = CatalogueSource::Factory<DBInvAdj>();
    CatalogueField type = ColumnField("Type", QObject::tr("Type"), 140);
    type.choices = {{QObject::tr("Decreases stock"), tavel::AdjustmentType::Decrease},
                    {QObject::tr("Increases stock"), tavel::AdjustmentType::Increase},
                    {QObject::tr("Count"), tavel::AdjustmentType::Count}};
    s.fields = {ColumnField("InvAdj", QObject::tr("Code"), 80, true),
                ColumnField("Description", QObject::tr("Description"), 260, true), type,
                ColumnField("Inactive", QObject::tr("Inactive"), 70)};
    s.listSql = R"sql(SELECT %s FROM INVADJ ORDER BY "InvAdj")sql";
    s.reportFile = "InvAdj.rpt";
    s.titleMessage = kAdjCodesTitle;
    return std::make_unique<CatalogueSource>(module, std::move(s));
}

// Units: an update compares the description and the dividable flag with what was loaded.
class UnitsSource : public CatalogueSource {
public:
    using CatalogueSource::CatalogueSource;

protected:
    bool BeforeSave(CatalogueTable& table, const WSIRecord& record, bool isNew, WSIWindow*,
                    QString&, int&) override {
        const CatalogueOriginal* before = record.data.Get<CatalogueOriginal>();
        if (isNew || !before)
            return true;
        auto& unit = static_cast<CatalogueTableOf<DBPrdUnit>&>(table).table;
        const QByteArray description = before->values.value(FieldOf("Description")).toUtf8();
        unit.SetOldDescription(description.constData());
        unit.SetOldIsDividable(before->values.value(FieldOf("IsDividable")).toShort());
        return true;
    }
};

std::unique_ptr<CatalogueSource> UnitsSourceFor(WSIApplication* module) {
    CatalogueSource::Setup s;
    s.make = CatalogueSource::Factory<DBPrdUnit>();
    s.fields = {Hidden("PrdUnit"), ColumnField("Description", QObject::tr("Description"), 220),
                ColumnField("IsDividable", QObject::tr("Dividable"), 80),
                ColumnField("Inactive", QObject::tr("Inactive"), 70)};
    s.listSql = R"sql(SELECT %s FROM PRDUNIT ORDER BY UPPER("Description"))sql";
    s.reportFile = "PrdUnit.rpt";
    s.titleMessage = kUnitsTitle;
    s.errorFields = {{0x4C01, 1}, {0x4C02, 2}};
    return std::make_unique<UnitsSource>(module, std::move(s));
}

std::unique_ptr<CatalogueSource> ProductTypesSource(WSIApplication* module) {
    CatalogueSource::Setup s;
    s.make = CatalogueSource::Factory<DBPrdType>();
    s.fields = {Hidden("PrdType"), ColumnField("Description", QObject::tr("Description"), 300)};
    s.listSql = R"sql(SELECT %s FROM PRDTYPE ORDER BY "Description")sql";
    s.reportFile = "PrdType.rpt";
    s.titleMessage = kProductTypesTitle;
    s.errorFields = {{0x4B01, 1}};
    return std::make_unique<CatalogueSource>(module, std::move(s));
}

std::unique_ptr<CatalogueSource> CategoriesSource(WSIApplication* module, long prdType) {
    CatalogueSource::Setup s;
    s.make = CatalogueSource::Factory<DBPrdCat>();
    CatalogueField type = ColumnField("PrdType", QObject::tr("Product type"), 160, true);
    if (WSIDatabase* db = module ? module->GetDb() : nullptr) {
        WSIPrdType t(db);
        for (bool found = t.GetFirst(); found; found = t.GetNext())
            type.choices.emplace_back(QString::fromUtf8(t.data.Description), t.data.PrdType);
    }
    s.fields = {type, ColumnField("PrdCat", QObject::tr("Code"), 80),
                ColumnField("Description", QObject::tr("Description"), 240),
                ColumnField("Inactive", QObject::tr("Inactive"), 70)};
    if (prdType > 0) {
        s.listSql = R"sql(SELECT %s FROM PRDCAT WHERE "PrdType" = %ld ORDER BY "PrdCat")sql";
        s.listArgument = prdType;
    } else {
        s.listSql = R"sql(SELECT %s FROM PRDCAT ORDER BY "PrdType", "PrdCat")sql";
    }
    s.errorFields = {{0x4901, 1}, {0x4902, 3}};
    return std::make_unique<CatalogueSource>(module, std::move(s));
}

} // namespace

WSIInvAdjCodesDialog::WSIInvAdjCodesDialog(QWidget* parent, WSIApplication* module, DBInvAdj* table,
                                           bool lookup)
    : WSICatalogueCodesDialog(parent, module, kTemplate, AdjCodesSource(module), kAdjCodesTitle,
                              table, lookup) {
    setObjectName(QStringLiteral("WSIInvAdjCodesDialog"));
}

WSIUnitsDialog::WSIUnitsDialog(QWidget* parent, WSIApplication* module, DBPrdUnit* table,
                               bool lookup)
    : WSICatalogueCodesDialog(parent, module, kTemplate, UnitsSourceFor(module), kUnitsTitle, table,
                              lookup) {
    setObjectName(QStringLiteral("WSIUnitsDialog"));
}

WSIProductTypesDialog::WSIProductTypesDialog(QWidget* parent, WSIApplication* module,
                                             DBPrdType* table, bool lookup)
    : WSICatalogueCodesDialog(parent, module, kTemplate, ProductTypesSource(module),
                              kProductTypesTitle, table, lookup) {
    setObjectName(QStringLiteral("WSIProductTypesDialog"));
    SetCommand(CmProductCategories, [this] { CmProductCategoriesList(); });
    ButtonLayout()->insertWidget(0, AddCommandButton(CmProductCategories, tr("Ca&tegories...")));
    UpdateCommands();
}

void WSIProductTypesDialog::UpdateCommands() {
    WSICatalogueCodesDialog::UpdateCommands();
    EnableCommand(CmProductCategories, SelectedRecord() != nullptr);
}

void WSIProductTypesDialog::CmProductCategoriesList() {
    TVL_TRACE("WSIProductTypesDialog::CmProductCategoriesList");
    const WSIRecord* type = SelectedRecord();
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!type || !db)
        return;
    DBPrdCat table(db);
    table.InitRecord();
    table.data.PrdType = type->Value(0).toLong();
    WSIProductCategoriesDialog categories(this, Module(), &table);
    categories.Execute();
}

WSIProductCategoriesDialog::WSIProductCategoriesDialog(QWidget* parent, WSIApplication* module,
                                                       DBPrdCat* table, bool lookup)
    : WSICatalogueCodesDialog(parent, module, kTemplate,
                              CategoriesSource(module, table ? table->data.PrdType : 0),
                              kCategoriesTitle, table, lookup),
      prdType_(table ? table->data.PrdType : 0) {
    setObjectName(QStringLiteral("WSIProductCategoriesDialog"));
    if (prdType_ > 0) {
        const std::vector<WSIFieldDef> fields = Catalogue()->Fields();
        for (const auto& [text, value] : fields[0].choices)
            if (value == prdType_)
                setWindowTitle(windowTitle() + QStringLiteral(" - ") + text);
    }
}

WSIRecord WSIProductCategoriesDialog::NewRecord() const {
    WSIRecord r = WSICatalogueCodesDialog::NewRecord();
    if (prdType_ > 0)
        r.values[0] = QString::number(prdType_);
    return r;
}

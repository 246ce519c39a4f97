#include "WSIInventoryLocationsDialog.h"

#include "BICatalogue.h"
#include "DBInvLoc.h"
#include "Trace.h"
#include "WSIAddEditDialog.h"
#include "WSIApplication.h"
#include "WSIComboBox.h"
#include "WSIMultiPrdLocDialog.h"
#include "schema/InventoryCodes.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr unsigned kTitle = 38013;
constexpr unsigned kFirstTypeText = 38000;
constexpr int kWarnDeleteLinked = 25133;
constexpr int kWarnRetypeLinked = 25134;

enum Fields { FCode, FName, FType, FBarCode, FInactive };

class LocationsSource : public CatalogueSource {
public:
    using CatalogueSource::CatalogueSource;

protected:
    bool BeforeSave(CatalogueTable& table, const WSIRecord& record, bool isNew, WSIWindow* parent,
                    QString&, int&) override {
        auto& location = static_cast<CatalogueTableOf<DBInvLoc>&>(table).table;
        const CatalogueOriginal* before = record.data.Get<CatalogueOriginal>();
        // A location that becomes one that is ordered from gives up its bar code; one that
        // stays what it was keeps what it has.
        const bool retyped =
            isNew || !before || before->values.value(FType).toLong() != location.data.Type;
        if (retyped && !WSIInventoryLocationsDialog::TypeTakesBarCode(location.data.Type))
            location.data.BarCode[0] = '\0';
        relink_ = false;
        if (isNew || !before ||
            before->values.value(FType).toLong() != tavel::LocationType::SupplyRoom ||
            location.data.Type == tavel::LocationType::SupplyRoom)
            return true;
        // A supply room linked to the practice keeps its links only while it stays one.
        BICatalogue catalogue(Db());
        if (!catalogue.LocationHasLinks(location.data.InvLoc))
            return true;
        if (!Module() || Module()->WarnDialog(parent, kWarnRetypeLinked) != id::OK)
            return false;
        relink_ = true;
        return true;
    }
    bool AfterSave(CatalogueTable& table, WSIRecord&, bool) override {
        if (!relink_)
            return true;
        relink_ = false;
        BICatalogue catalogue(Db());
        return catalogue.DeleteLocationLinks(
            static_cast<CatalogueTableOf<DBInvLoc>&>(table).table.data.InvLoc);
    }
    bool BeforeRemove(const WSIRecord& record, WSIWindow* parent) override {
        BICatalogue catalogue(Db());
        const QByteArray code = record.Value(FCode).toUtf8();
        linked_ = catalogue.LocationHasLinks(code.constData());
        return !linked_ || (Module() && Module()->WarnDialog(parent, kWarnDeleteLinked) == id::OK);
    }
    bool AfterRemove(const WSIRecord& record) override {
        if (!linked_)
            return true;
        BICatalogue catalogue(Db());
        const QByteArray code = record.Value(FCode).toUtf8();
        return catalogue.DeleteLocationLinks(code.constData());
    }

private:
    bool relink_ = false;
    bool linked_ = false;
};

std::unique_ptr<CatalogueSource> MakeSource(WSIApplication* module) {
    CatalogueSource::Setup s;
    s.make = CatalogueSource::Factory<DBInvLoc>();
    CatalogueField type = ColumnField("Type", QObject::tr("Type"), 170);
    for (long t = tavel::LocationType::StoreRoom; t <= tavel::LocationType::UsePoint; ++t) {
        char text[128] = "";
        if (module)
            module->LoadString(kFirstTypeText + static_cast<unsigned>(t), text, sizeof text);
        type.choices.emplace_back(QString::fromUtf8(text), t);
    }
    s.fields = {ColumnField("InvLoc", QObject::tr("Code"), 80),
                ColumnField("Name", QObject::tr("Name"), 220), type,
                ColumnField("BarCode", QObject::tr("Bar code"), 120),
                ColumnField("Inactive", QObject::tr("Inactive"), 70)};
    s.listSql = R"sql(SELECT %s FROM INVLOC ORDER BY "InvLoc")sql";
    s.reportFile = "InvLoc.rpt";
    s.titleMessage = kTitle;
    s.errorFields = {{0x4401, FBarCode}, {0x4404, FInactive}, {0x4405, FCode}};
    return std::make_unique<LocationsSource>(module, std::move(s));
}

} // namespace

bool WSIInventoryLocationsDialog::TypeTakesBarCode(long type) {
    return type != tavel::LocationType::StoreRoom && type != tavel::LocationType::SupplyRoom;
}

WSIInventoryLocationsDialog::WSIInventoryLocationsDialog(QWidget* parent, WSIApplication* module,
                                                         DBInvLoc* table, bool lookup)
    : WSICatalogueCodesDialog(parent, module, kTemplate, MakeSource(module), kTitle, table,
                              lookup) {
    setObjectName(QStringLiteral("WSIInventoryLocationsDialog"));
    SetCommand(CmPrdLoc, [this] { CmPrdLocList(); });
    SetCommand(CmLink, [this] { CmLinkLocation(); });
    ButtonLayout()->insertWidget(0, AddCommandButton(CmLink, tr("&Link...")));
    ButtonLayout()->insertWidget(0, AddCommandButton(CmPrdLoc, tr("P&roducts...")));
    UpdateCommands();
}

void WSIInventoryLocationsDialog::UpdateCommands() {
    WSICatalogueCodesDialog::UpdateCommands();
    const WSIRecord* location = SelectedRecord();
    EnableCommand(CmPrdLoc,
                  location && location->Value(FType).toLong() != tavel::LocationType::NoStock);
    EnableCommand(CmLink, location != nullptr);
}

void WSIInventoryLocationsDialog::PrepareForm(WSIAddEditDialog& form, bool isNew) {
    (void)isNew;
    auto* type = qobject_cast<WSIComboBox*>(form.FieldWidget(FType));
    auto* barCode = qobject_cast<QLineEdit*>(form.FieldWidget(FBarCode));
    if (!type || !barCode)
        return;
    const auto apply = [type, barCode](bool changed) {
        const bool takes = TypeTakesBarCode(type->CurrentValue(0));
        if (!takes && changed)
            barCode->clear();
        barCode->setEnabled(takes);
    };
    connect(type, &QComboBox::currentIndexChanged, &form, [apply] { apply(true); });
    apply(false);
}

void WSIInventoryLocationsDialog::CmPrdLocList() {
    TVL_TRACE("WSIInventoryLocationsDialog::CmPrdLocList");
    const WSIRecord* location = SelectedRecord();
    if (!location)
        return;
    WSIMultiPrdLocDialog products(this, Module(), location->Value(FCode), location->Value(FName));
    products.Execute();
}

void WSIInventoryLocationsDialog::CmLinkLocation() {
    TVL_TRACE("WSIInventoryLocationsDialog::CmLinkLocation");
    const WSIRecord* location = SelectedRecord();
    if (!location || !Module())
        return;
    QByteArray code = location->Value(FCode).toUtf8();
    Module()->SendMainWindowMessage(hostmsg::kLocationLink, code.data());
}

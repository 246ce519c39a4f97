#include "WSIAddEditProduct.h"

#include "DBProduct.h"
#include "ProductLookups.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIProductLocationsDialog.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace tavel::products;

WSIRecord WSIAddEditProduct::StartRecord(ProductSource& source, DBProduct* table) {
    return table && table->IsRecord() ? source.ToRecord(table->data) : source.NewRecord();
}

WSIAddEditProduct::WSIAddEditProduct(QWidget* parent, int templateId, DBProduct* table,
                                     WSIApplication* module)
    : WSIAddEditProduct(parent, templateId, table, module,
                        new ProductSource(module ? module->GetDb() : nullptr)) {}

// The form's source exists before the base form asks it for its fields.
WSIAddEditProduct::WSIAddEditProduct(QWidget* parent, int templateId, DBProduct* table,
                                     WSIApplication* module, ProductSource* source)
    : WSIAddEditDialog(parent, module, templateId, source, StartRecord(*source, table),
                       !(table && table->IsRecord())),
      source_(source), table_(table) {
    TVL_TRACE("WSIAddEditProduct::WSIAddEditProduct");
    setObjectName(QStringLiteral("WSIAddEditProduct"));
    setWindowTitle(IsNew() ? tr("New product") : tr("Change product"));
    static const char* const names[PfCount] = {
        "productCode",  "upcCode",       "description",  "manufacturer", "prdType",
        "prdCat",       "unit",          "itemsPerUnit", "itemUnit",     "weightUnit",
        "isDividable",  "vendor",        "invOType",     "canOrder",     "leadTime",
        "leadTimeUnit", "costingMethod", "trackExpiry",  "costPerUnit",  "averageCost",
        "inactive"};
    for (int f = 0; f < PfCount; ++f)
        if (QWidget* w = FieldWidget(f))
            w->setObjectName(QString::fromLatin1(names[f]));
    // Costs come from receiving; here they are only shown.
    for (int f : {int(PfCostPerUnit), int(PfAverageCost)})
        if (auto* edit = qobject_cast<QLineEdit*>(FieldWidget(f)))
            edit->setReadOnly(true);

    // Section headings, inserted bottom up so the rows above keep their places.
    const std::pair<int, const char*> sections[] = {{PfCostingMethod, "Stock and cost"},
                                                    {PfVendor, "Ordering"},
                                                    {PfPrdType, "Type, category and units"},
                                                    {PfProductCode, "Identity and codes"}};
    for (const auto& [field, title] : sections) {
        auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(tr(title)), this);
        Form()->insertRow(field, heading);
    }

    auto* extra = new QHBoxLayout;
    SetCommand(IdDefaults, [this] { CmDefaults(); });
    SetCommand(IdLocations, [this] { CmLocations(); });
    extra->addWidget(AddCommandButton(IdDefaults, tr("Location &defaults...")));
    extra->addWidget(AddCommandButton(IdLocations, tr("&Locations...")));
    extra->addStretch(1);
    static_cast<QBoxLayout*>(layout())->insertLayout(1, extra);
    UpdateCommands();
}

void WSIAddEditProduct::UpdateCommands() {
    // The location screens need the product stored first.
    const bool stored = ProductSource::ProductOf(Record()) > 0;
    EnableCommand(IdDefaults, stored);
    EnableCommand(IdLocations, stored);
}

void WSIAddEditProduct::CmOk() {
    WSIAddEditDialog::CmOk();
    const auto* stored = Record().data.Get<WSIProduct::WSIData>();
    if (table_ && stored && stored->Product > 0) {
        table_->InitRecord();
        table_->data.Product = stored->Product;
        table_->GetEqual(__FILE__, __LINE__);
    }
}

void WSIAddEditProduct::CmDefaults() {
    const long product = ProductSource::ProductOf(Record());
    if (product > 0)
        EditProductLocationDefaults(this, Module(), product);
}

void WSIAddEditProduct::CmLocations() {
    const long product = ProductSource::ProductOf(Record());
    if (product > 0)
        ShowProductLocations(this, Module(), product);
}

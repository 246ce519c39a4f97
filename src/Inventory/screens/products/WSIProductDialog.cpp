#include "WSIProductDialog.h"

#include "BoundedFormat.h"
#include "CatalogueSources.h"
#include "DBProduct.h"
#include "ProductLookups.h"
#include "SearchCsvExport.h"
#include "Trace.h"
#include "WSIAddEditProduct.h"
#include "WSIApplication.h"
#include "WSIComboBox.h"
#include "WSIDatabase.h"
#include "WSISelectProductLocationDialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <cstring>

namespace tavel::products {

namespace {
constexpr unsigned kMsgNotStocked = 38164;

template <std::size_t N> QString Text(const char (&field)[N]) {
    return FieldText(field);
}
} // namespace

// The product statement of the screen's current choices, one list row per product.
class ProductSearchSource : public WSIReadOnlySource {
public:
    WSIProductDialog* screen = nullptr;

    std::vector<WSIFieldDef> Fields() const override {
        const auto column = [](const char* heading, int width) {
            return ListColumn("WSIProductDialog", heading, width);
        };
        return {column("Code", 130), column("Description", 300), column("Category", 150),
                column("Type", 120), column("Vendor", 180),      column("Quantity", 80)};
    }

    bool Load(const QString& search, const Sink& sink) override {
        TVL_TRACE("ProductSearchSource::Load");
        WSIDatabase* db = screen && screen->Module() ? screen->Module()->GetDb() : nullptr;
        if (!db)
            return false;
        ProductSearch choices = screen->CurrentSearch();
        choices.text = search.toStdString();
        const std::string sql = ProductSearchSql(*db, choices);
        WSIProductSearchRow row{};
        auto cursor = db->Query(__FILE__, __LINE__, "%s",
                                WSIResult(WSIProductSearchRow::Table(), &row), sql.c_str());
        const bool withLocation = !choices.location.empty();
        const QString notStocked = screen->LoadString(kMsgNotStocked);
        for (bool found = cursor->GetFirst(); found; found = cursor->GetNext()) {
            // A product that can never be ordered is no answer to an ordering question.
            if (choices.mode == kOrderingMode && !row.CanOrder)
                continue;
            if (!ProductRowMatches(choices, row))
                continue;
            WSIRecord record;
            QString quantity;
            if (withLocation && row.InvLoc[0] != '\0')
                quantity = row.Stocked ? QString::fromStdString(QuantityText(
                                             row.TrackUsage, row.Balance, row.LastCount))
                                       : notStocked;
            record.values = {Text(row.ProductCode), Text(row.Description), Text(row.PrdCatDesc),
                             Text(row.PrdTypeDesc), Text(row.VendorName),  quantity};
            record.marks = row.Inactive ? rowmark::Cancelled : 0;
            record.data = WSIRowData::Make(row);
            if (!sink(std::move(record)))
                break;
        }
        return true;
    }
};

} // namespace tavel::products

using namespace tavel::products;

WSIProductDialog::WSIProductDialog(QWidget* parent, int templateId, DBProduct* product,
                                   WSIApplication* module, bool lookup, int mode,
                                   const std::string& forLocation)
    : WSIProductDialog(parent, templateId, product, module, lookup, mode, forLocation,
                       new ProductSearchSource) {}

// The list's source exists before the base screen asks it for its columns.
WSIProductDialog::WSIProductDialog(QWidget* parent, int templateId, DBProduct* product,
                                   WSIApplication* module, bool lookup, int mode,
                                   const std::string& forLocation, ProductSearchSource* source)
    : WSISearchDialog(parent, module, templateId, source, lookup), searchSource_(source),
      product_(product), mode_(mode), forLocation_(forLocation), kind_(new WSIComboBox(this)),
      prdType_(new WSIComboBox(this)), location_(new WSIComboBox(this)),
      showInactive_(new QCheckBox(tr("Show &inactive"), this)),
      includeNotHeld_(new QCheckBox(tr("Include products not &held there"), this)) {
    TVL_TRACE("WSIProductDialog::WSIProductDialog");
    searchSource_->screen = this;
    setWindowTitle(lookup ? tr("Find a product") : tr("Products"));
    setObjectName(QStringLiteral("WSIProductDialog"));
    SearchEdit()->setObjectName(QStringLiteral("productSearchText"));
    List()->setObjectName(QStringLiteral("productList"));
    kind_->setObjectName(QStringLiteral("productSearchKind"));
    prdType_->setObjectName(QStringLiteral("productType"));
    location_->setObjectName(QStringLiteral("productLocation"));
    showInactive_->setObjectName(QStringLiteral("productShowInactive"));
    includeNotHeld_->setObjectName(QStringLiteral("productIncludeNotHeld"));
    AddControl(IdKind, kind_);
    AddControl(IdPrdType, prdType_);
    AddControl(IdLocation, location_);
    AddControl(IdShowInactive, showInactive_);
    AddControl(IdIncludeNotHeld, includeNotHeld_);
    if (product_)
        product_->SetParent(this);

    // The search field and its button come first; the choices follow on a second line.
    auto* choices = new QHBoxLayout;
    const auto labelled = [&](const QString& text, QWidget* w) {
        auto* label = new QLabel(text, this);
        label->setBuddy(w);
        choices->addWidget(label);
        choices->addWidget(w);
    };
    labelled(tr("Search &by"), kind_);
    labelled(tr("&Type"), prdType_);
    labelled(tr("&Location"), location_);
    choices->addWidget(showInactive_);
    choices->addWidget(includeNotHeld_);
    choices->addStretch(1);
    static_cast<QBoxLayout*>(layout())->insertLayout(1, choices);

    if (!lookup) {
        SetCommand(IdNew, [this] { CmNewProduct(); });
        SetCommand(IdEdit, [this] { CmEditProduct(); });
        SetCommand(IdDelete, [this] { CmDeleteProduct(); });
        ButtonLayout()->insertWidget(0, AddCommandButton(IdNew, tr("&New...")));
        ButtonLayout()->insertWidget(1, AddCommandButton(IdEdit, tr("&Change...")));
        ButtonLayout()->insertWidget(2, AddCommandButton(IdDelete, tr("&Delete")));
    }
    SetCommand(IdProductLocations, [this] { CmProductLocations(); });
    SetCommand(IdFindProductLocations, [this] { CmFindProductLocations(); });
    ButtonLayout()->insertWidget(lookup ? 0 : 3,
                                 AddCommandButton(IdProductLocations, tr("L&ocations...")));
    ButtonLayout()->insertWidget(
        lookup ? 1 : 4, AddCommandButton(IdFindProductLocations, tr("&Stock by location")));
    if (!lookup) {
        SetCommand(tavel::products::kCmExportCsv, [this] {
            tavel::products::ExportListed(*this, QStringLiteral("products.csv"));
        });
        ButtonLayout()->insertWidget(
            5, AddCommandButton(tavel::products::kCmExportCsv, tr("E&xport...")));
    }

    FillChoices();
    connect(location_, &QComboBox::currentIndexChanged, this, [this] { UpdateColumns(); });
    connect(showInactive_, &QCheckBox::toggled, this, [this] { UpdateColumns(); });
    connect(List(), &WSIListWindow::rowSelectionChanged, this, [this] {
        // The caller's table holds the product chosen last.
        ReadById(product_, &WSIProduct::WSIData::Product, ProductAt(List()->FirstSelected()));
        UpdateCommands();
    });
    UpdateColumns();
    UpdateCommands();
    resize(1024, 600);
}

WSIProductDialog::~WSIProductDialog() {
    if (product_)
        product_->SetParent(nullptr);
}

void WSIProductDialog::FillChoices() {
    const char* kinds[] = {"Category", "Product code", "Description",
                           "Vendor",   "Manufacturer", "UPC code"};
    int value = 1;
    for (const char* k : kinds)
        kind_->AddEntry(tr(k), value++);
    kind_->setCurrentIndex(static_cast<int>(ProductSearchKind::Description) - 1);
    prdType_->AddEntry(tr("All types"), 0);
    location_->AddEntry(tr("(none)"), 0);
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!db)
        return;
    WSIPrdType type(db);
    for (bool found = type.GetFirst(); found; found = type.GetNext())
        prdType_->AddEntry(Text(type.data.Description), type.data.PrdType);
    WSIInvLoc loc(db);
    for (bool found = loc.GetFirst(); found; found = loc.GetNext())
        location_->AddEntry(Text(loc.data.InvLoc), loc.data.Type);
}

ProductSearch WSIProductDialog::CurrentSearch() const {
    ProductSearch s;
    s.kind = static_cast<ProductSearchKind>(kind_->currentIndex() + 1);
    s.text = SearchEdit()->text().trimmed().toStdString();
    s.prdType = prdType_->currentIndex() > 0 ? prdType_->CurrentValue(0) : 0;
    if (location_->currentIndex() > 0)
        s.location = location_->currentText().toStdString();
    s.forLocation = forLocation_;
    s.mode = mode_;
    s.showInactive = showInactive_->isChecked();
    s.includeNotHeld = includeNotHeld_->isChecked();
    return s;
}

void WSIProductDialog::SetKind(ProductSearchKind kind) {
    kind_->setCurrentIndex(static_cast<int>(kind) - 1);
}

void WSIProductDialog::SetPrdType(long prdType) {
    if (prdType <= 0 || !prdType_->SelectValue(prdType))
        prdType_->setCurrentIndex(0);
}

void WSIProductDialog::SetBarcode(const std::string& barcode) {
    if (barcode.empty())
        return;
    SetKind(ProductSearchKind::UPCCode);
    SearchEdit()->setText(QString::fromStdString(barcode));
    RunSearch();
}

void WSIProductDialog::SetAllowInactive(bool allow) {
    showInactive_->setChecked(allow);
}

void WSIProductDialog::UpdateColumns() {
    // The quantity belongs to a location; without one it says nothing.
    const bool located = location_->currentIndex() > 0;
    List()->SetColumnWidth(ColQuantity, located ? List()->DefinedColumnWidth(ColQuantity) : 0);
    includeNotHeld_->setEnabled(located);
}

void WSIProductDialog::UpdateCommands() {
    const bool selected = ProductAt(List()->FirstSelected()) != 0;
    for (int id :
         {int(IdEdit), int(IdDelete), int(IdProductLocations), int(IdFindProductLocations)})
        EnableCommand(id, selected);
}

int WSIProductDialog::RunSearch() {
    TVL_TRACE("WSIProductDialog::RunSearch");
    UpdateColumns();
    if (kind_->currentIndex() + 1 == static_cast<int>(ProductSearchKind::UPCCode)) {
        // A scanned code may carry more than the product: search its product part.
        const std::string text = SearchEdit()->text().trimmed().toStdString();
        if (!text.empty() && text[0] != '_')
            SearchEdit()->setText(QString::fromStdString(ProductPartOfScan(text)));
    }
    if (product_)
        product_->InitRecord();
    const int listed = WSISearchDialog::RunSearch();
    UpdateCommands();
    return listed;
}

long WSIProductDialog::ProductAt(int row) const {
    const WSIRecord* record = RecordAt(row);
    const auto* data = record ? record->data.Get<WSIProductSearchRow>() : nullptr;
    return data ? data->Product : 0;
}

void WSIProductDialog::CmOk() {
    if (SearchEdit()->hasFocus() || List()->FirstSelected() < 0) {
        RunSearch();
        return;
    }
    if (IsLookup()) {
        ReadById(product_, &WSIProduct::WSIData::Product, ProductAt(List()->FirstSelected()));
        if (!CanClose())
            return;
    }
    WSISearchDialog::CmOk();
}

bool WSIProductDialog::CanClose() {
    TVL_TRACE("WSIProductDialog::CanClose");
    orderLocation_.clear();
    if (!pickOrderLocation_ || mode_ != kOrderingMode || !product_ || !product_->IsRecord() ||
        product_->data.Product <= 0)
        return true;
    WSISelectProductLocationDialog pick(this, Module(), product_->data.Product, true, true);
    const int offered = pick.List()->RowCount();
    if (offered == 0)
        return true; // the order screen refuses a product its supplier does not offer
    char invLoc[7];
    if (offered == 1) {
        pick.CmOk();
    } else if (WSIRunModal(pick) != id::OK) {
        return false;
    }
    pick.GetInvLoc(invLoc, sizeof invLoc);
    orderLocation_ = invLoc;
    return !orderLocation_.empty();
}

void WSIProductDialog::RefreshRow(int row, long product) {
    // Searching again for the one product gives its row as the list shows it.
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!db)
        return;
    ProductSearch choices = CurrentSearch();
    choices.kind = ProductSearchKind::ProductCode;
    choices.text.clear();
    choices.showInactive = true;
    choices.mode = kMaintenanceMode;
    std::string sql = ProductSearchSql(*db, choices);
    char clause[128];
    TVL_FORMAT(clause, " AND P.\"Product\" = %ld ", product);
    sql.insert(sql.find(" ORDER BY"), clause);
    bool found = false;
    WSIRecord fresh;
    // The source builds the cells; run it over the one-row statement.
    WSIProductSearchRow one{};
    auto cursor = db->Query(__FILE__, __LINE__, "%s", WSIResult(WSIProductSearchRow::Table(), &one),
                            sql.c_str());
    if (cursor->GetFirst()) {
        found = true;
        fresh.values = {Text(one.ProductCode), Text(one.Description),
                        Text(one.PrdCatDesc),  Text(one.PrdTypeDesc),
                        Text(one.VendorName),  List()->ItemText(row, ColQuantity)};
        fresh.marks = one.Inactive ? rowmark::Cancelled : 0;
        fresh.data = WSIRowData::Make(one);
    }
    cursor.reset();
    if (!found) {
        if (row >= 0)
            List()->RemoveRow(row);
        return;
    }
    QStringList cells = fresh.values;
    const unsigned marks = fresh.marks;
    if (row < 0 || row >= List()->RowCount()) {
        row = List()->AppendRow(cells, WSIRowData::Make(std::move(fresh)), marks);
    } else {
        List()->UpdateRow(row, cells);
        List()->SetMarks(row, marks);
        List()->Model()->SetRowData(row, WSIRowData::Make(std::move(fresh)));
    }
    List()->SelectRow(row);
    List()->scrollTo(List()->Model()->index(row, 0));
}

void WSIProductDialog::CmNewProduct() {
    long product = 0;
    if (EditProduct(this, Module(), product))
        RefreshRow(-1, product);
}

void WSIProductDialog::CmEditProduct() {
    const int row = List()->FirstSelected();
    long product = ProductAt(row);
    if (!product)
        return;
    if (EditProduct(this, Module(), product))
        RefreshRow(row, product);
}

void WSIProductDialog::CmDeleteProduct() {
    const int row = List()->FirstSelected();
    const WSIRecord* shown = RecordAt(row);
    if (!shown || !Module())
        return;
    ProductSource source(Module()->GetDb());
    WSIRecord record = source.ToRecord([&] {
        WSIProduct::WSIData p{};
        p.Product = ProductAt(row);
        return p;
    }());
    QString message;
    if (!source.CanDelete(record, this, message))
        return;
    if (MessageBox(5007, mb::YESNO | mb::ICONQUESTION) != id::YES)
        return;
    if (!source.Remove(record, this, message)) {
        MessageBox(message, mb::OK | mb::ICONEXCLAMATION);
        return;
    }
    List()->RemoveRow(row);
    UpdateCommands();
}

void WSIProductDialog::CmProductLocations() {
    if (const long product = ProductAt(List()->FirstSelected()))
        ShowProductLocations(this, Module(), product);
}

void WSIProductDialog::CmFindProductLocations() {
    if (const long product = ProductAt(List()->FirstSelected()))
        SelectProductLocation(this, Module(), product, false, true);
}

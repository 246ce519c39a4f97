#include "WSIVendorDialog.h"

#include "BoundedFormat.h"
#include "CCrystalReportObj.h"
#include "DBVendor.h"
#include "ProductLookups.h"
#include "SearchCsvExport.h"
#include "TableLookup.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIComboBox.h"
#include "WSIDatabase.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>

namespace tavel::products {

namespace {
template <std::size_t N> QString Text(const char (&field)[N]) {
    return FieldText(field);
}
} // namespace

// The vendor statement of the screen's kind; inactive vendors only with the box set.
class VendorSearchSource : public WSIReadOnlySource {
public:
    WSIVendorDialog* screen = nullptr;

    std::vector<WSIFieldDef> Fields() const override {
        const auto column = [](const char* heading, int width) {
            return ListColumn("WSIVendorDialog", heading, width);
        };
        return {column("Name", 260), column("Address", 300), column("Phone", 150)};
    }

    static WSIRecord RowOf(const WSIVendor::WSIData& v) {
        WSIRecord r;
        const QString address = Text(v.Address1);
        const QString city = Text(v.City);
        const QString area = Text(v.Area);
        r.values = {Text(v.Name),
                    !address.isEmpty() && !city.isEmpty() ? address + QStringLiteral(", ") + city
                                                          : address + city,
                    (area.isEmpty() ? QString() : QStringLiteral("(%1) ").arg(area)) +
                        Text(v.Phone)};
        r.marks = v.Inactive ? rowmark::Cancelled : 0;
        r.data = WSIRowData::Make(v);
        return r;
    }

    bool Load(const QString& search, const Sink& sink) override {
        TVL_TRACE("VendorSearchSource::Load");
        WSIDatabase* db = screen && screen->Module() ? screen->Module()->GetDb() : nullptr;
        if (!db)
            return false;
        const std::string text = search.toStdString();
        const std::string sql = VendorSearchSql(*db, screen->Kind(), text);
        WSIVendor vendor(db);
        auto cursor = db->Query(__FILE__, __LINE__, "%s", WSIResult(vendor), sql.c_str());
        const bool inactiveToo = screen->ShowInactive();
        for (bool found = cursor->GetFirst(); found; found = cursor->GetNext())
            if ((inactiveToo || !vendor.data.Inactive) &&
                VendorRowMatches(screen->Kind(), text, vendor.data) && !sink(RowOf(vendor.data)))
                break;
        return true;
    }
};

} // namespace tavel::products

using namespace tavel::products;

WSIVendorDialog::WSIVendorDialog(QWidget* parent, int templateId, DBVendor* vendor,
                                 WSIApplication* module, bool lookup)
    : WSIVendorDialog(parent, templateId, vendor, module, lookup, new VendorSearchSource) {}

// The list's source exists before the base screen asks it for its columns.
WSIVendorDialog::WSIVendorDialog(QWidget* parent, int templateId, DBVendor* vendor,
                                 WSIApplication* module, bool lookup, VendorSearchSource* source)
    : WSISearchDialog(parent, module, templateId, source, lookup), searchSource_(source),
      vendor_(vendor), editSource_(module ? module->GetDb() : nullptr),
      kind_(new WSIComboBox(this)), showInactive_(new QCheckBox(tr("Show &inactive"), this)) {
    TVL_TRACE("WSIVendorDialog::WSIVendorDialog");
    searchSource_->screen = this;
    setObjectName(QStringLiteral("WSIVendorDialog"));
    setWindowTitle(lookup ? tr("Find a vendor") : tr("Vendors"));
    SearchEdit()->setObjectName(QStringLiteral("vendorSearchText"));
    List()->setObjectName(QStringLiteral("vendorList"));
    kind_->setObjectName(QStringLiteral("vendorSearchKind"));
    showInactive_->setObjectName(QStringLiteral("vendorShowInactive"));
    AddControl(IdKind, kind_);
    AddControl(IdShowInactive, showInactive_);
    kind_->AddEntry(tr("Name"), 0);
    kind_->AddEntry(tr("Address or city"), 1);
    kind_->AddEntry(tr("Phone"), 2);
    auto* label = new QLabel(tr("Search &by"), this);
    label->setBuddy(kind_);
    FilterLayout()->insertWidget(0, label);
    FilterLayout()->insertWidget(1, kind_);
    FilterLayout()->addWidget(showInactive_);
    if (vendor_)
        vendor_->SetParent(this);

    SetCommand(IdNew, [this] { CmNewVendor(); });
    SetCommand(IdEdit, [this] { CmEditVendor(); });
    SetCommand(IdDelete, [this] { CmDeleteVendor(); });
    SetCommand(IdPrint, [this] { CmPrintVendors(false); });
    SetCommand(IdPreview, [this] { CmPrintVendors(true); });
    int at = 0;
    for (const auto& [id, text] :
         {std::pair{int(IdNew), tr("&New...")}, std::pair{int(IdEdit), tr("&Change...")},
          std::pair{int(IdDelete), tr("&Delete")}, std::pair{int(IdPreview), tr("Pre&view")},
          std::pair{int(IdPrint), tr("&Print")},
          std::pair{tavel::products::kCmExportCsv, tr("E&xport...")}})
        ButtonLayout()->insertWidget(at++, AddCommandButton(id, text));
    SetCommand(tavel::products::kCmExportCsv,
               [this] { tavel::products::ExportListed(*this, QStringLiteral("vendors.csv")); });

    List()->SetColumnClickHandler([this](int column) { EvColumnClick(column); });
    connect(List(), &WSIListWindow::rowSelectionChanged, this, [this] {
        ReadById(vendor_, &WSIVendor::WSIData::Vendor, VendorAt(List()->FirstSelected()));
        UpdateCommands();
    });
    UpdateCommands();
    resize(800, 500);
}

WSIVendorDialog::~WSIVendorDialog() {
    if (vendor_)
        vendor_->SetParent(nullptr);
}

VendorSearchKind WSIVendorDialog::Kind() const {
    return static_cast<VendorSearchKind>(std::max(0, kind_->currentIndex()));
}

void WSIVendorDialog::SetKind(VendorSearchKind kind) {
    kind_->setCurrentIndex(static_cast<int>(kind));
}

bool WSIVendorDialog::ShowInactive() const {
    return showInactive_->isChecked();
}

long WSIVendorDialog::VendorAt(int row) const {
    const WSIRecord* r = RecordAt(row);
    const auto* v = r ? r->data.Get<WSIVendor::WSIData>() : nullptr;
    return v ? v->Vendor : 0;
}

void WSIVendorDialog::UpdateCommands() {
    const bool selected = VendorAt(List()->FirstSelected()) != 0;
    EnableCommand(IdEdit, selected);
    EnableCommand(IdDelete, selected);
}

void WSIVendorDialog::EvColumnClick(int column) {
    if (column < 0 || column > static_cast<int>(VendorSearchKind::Phone))
        return;
    SetKind(static_cast<VendorSearchKind>(column));
    RunSearch();
}

bool WSIVendorDialog::ReadRowVendor(int row) {
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    DBVendor table(db);
    table.InitRecord();
    table.data.Vendor = VendorAt(row);
    if (db && table.data.Vendor && table.GetEqual(__FILE__, __LINE__)) {
        List()->Model()->SetRowData(row, WSIRowData::Make(VendorSearchSource::RowOf(table.data)));
        return true;
    }
    MessageBox(5010, mb::OK | mb::ICONINFORMATION);
    List()->RemoveRow(row);
    UpdateCommands();
    return false;
}

void WSIVendorDialog::CmNewVendor() {
    if (vendor_)
        vendor_->InitRecord();
    WSIRecord record;
    record.values.resize(VfCount);
    record.values[VfInactive] = QStringLiteral("0");
    WSIAddEditVendor form(this, Module(), &editSource_, record, true);
    if (WSIRunModal(form) != id::OK)
        return;
    const auto* stored = form.Record().data.Get<WSIVendor::WSIData>();
    if (!stored)
        return;
    WSIRecord row = VendorSearchSource::RowOf(*stored);
    QStringList cells = row.values;
    const unsigned marks = row.marks;
    const int at = List()->AppendRow(cells, WSIRowData::Make(std::move(row)), marks);
    List()->SelectRow(at);
    List()->scrollTo(List()->Model()->index(at, 0));
}

void WSIVendorDialog::CmEditVendor() {
    const int row = List()->FirstSelected();
    if (row < 0 || !ReadRowVendor(row))
        return;
    const auto* current = RecordAt(row)->data.Get<WSIVendor::WSIData>();
    WSIAddEditVendor form(this, Module(), &editSource_, editSource_.ToRecord(*current), false);
    if (WSIRunModal(form) != id::OK)
        return;
    const auto* stored = form.Record().data.Get<WSIVendor::WSIData>();
    if (!stored)
        return;
    WSIRecord fresh = VendorSearchSource::RowOf(*stored);
    List()->UpdateRow(row, fresh.values);
    List()->SetMarks(row, fresh.marks);
    List()->Model()->SetRowData(row, WSIRowData::Make(std::move(fresh)));
}

void WSIVendorDialog::CmDeleteVendor() {
    const int row = List()->FirstSelected();
    if (row < 0 || !ReadRowVendor(row))
        return;
    const WSIRecord record = editSource_.ToRecord(*RecordAt(row)->data.Get<WSIVendor::WSIData>());
    QString message;
    if (!editSource_.CanDelete(record, this, message))
        return;
    if (MessageBox(5007, mb::YESNO | mb::ICONQUESTION) != id::YES)
        return;
    if (!editSource_.Remove(record, this, message)) {
        MessageBox(5008, mb::OK | mb::ICONINFORMATION);
        return;
    }
    List()->RemoveRow(row);
    UpdateCommands();
}

void WSIVendorDialog::CmPrintVendors(bool preview) {
    WSIApplication* host = Module();
    char title[512] = "";
    if (host)
        host->LoadString(38018, title, sizeof title);
    CCrystalReportObj report(host ? host->GetCrystalEngine() : nullptr, "Vendor.rpt", title,
                             preview ? 1 : 0, this);
    report.SetFormulas(nullptr, 0);
    report.SetFormulaError(true);
    report.SetParameter(nullptr, 0);
    report.Print(false, true);
}

// --- WSIAddEditVendor ---------------------------------------------------------------------

WSIAddEditVendor::WSIAddEditVendor(QWidget* parent, WSIApplication* module, VendorSource* source,
                                   WSIRecord record, bool isNew)
    : WSIAddEditDialog(parent, module, 25010, source, std::move(record), isNew),
      storedArea_(Record().Value(VfArea)) {
    setObjectName(QStringLiteral("WSIAddEditVendor"));
    setWindowTitle(isNew ? tr("New vendor") : tr("Change vendor"));
    static const char* const names[VfCount] = {"name",     "address1",   "address2", "city",
                                               "province", "postalCode", "area",     "phone",
                                               "fax",      "notes",      "inactive"};
    for (int f = 0; f < VfCount; ++f)
        if (QWidget* w = FieldWidget(f))
            w->setObjectName(QString::fromLatin1(names[f]));
    SetCommand(IdCityHelp, [this] { CmCityHelp(); });
    SetCommand(IdProvinceHelp, [this] { CmProvinceHelp(); });
    if (auto* postal = qobject_cast<QLineEdit*>(FieldWidget(VfPostalCode)))
        connect(postal, &QLineEdit::editingFinished, this, [this] { EvPostalChange(); });
    // The pickers sit beside their fields.
    for (const auto& [field, id] : {std::pair{int(VfCity), int(IdCityHelp)},
                                    std::pair{int(VfProvince), int(IdProvinceHelp)}}) {
        QWidget* edit = FieldWidget(field);
        auto* row = new QHBoxLayout;
        auto* button = AddCommandButton(id, QStringLiteral("..."));
        button->setObjectName(id == IdCityHelp ? QStringLiteral("cityHelp")
                                               : QStringLiteral("provinceHelp"));
        button->setAccessibleName(id == IdCityHelp ? tr("Pick a city") : tr("Pick a province"));
        button->setMaximumWidth(32);
        int formRow = -1;
        QFormLayout::ItemRole role;
        Form()->getWidgetPosition(edit, &formRow, &role);
        const QFormLayout::TakeRowResult taken = Form()->takeRow(formRow);
        if (taken.labelItem) {
            delete taken.labelItem->widget();
            delete taken.labelItem;
        }
        delete taken.fieldItem;
        row->addWidget(edit, 1);
        row->addWidget(button);
        auto* label = new QLabel(source->Fields()[static_cast<std::size_t>(field)].label, this);
        label->setBuddy(edit);
        Form()->insertRow(formRow, label, row);
    }
}

void WSIAddEditVendor::CmCityHelp() {
    WSIApplication* host = Module();
    if (!host)
        return;
    char city[ColWidth::PlaceName + 1] = {};
    tavel::tables::CopyText(city, FieldText(VfCity).toUtf8().constData());
    if (!host->SendMainWindowMessage(hostmsg::kCityPicker, city) || !*city)
        return;
    SetFieldText(VfCity, QString::fromUtf8(city));
    WSIDatabase* db = host->GetDb();
    if (!db)
        return;
    WSICity place(db);
    tavel::tables::CopyText(place.data.City, city);
    if (place.GetEqual(__FILE__, __LINE__))
        FillFromCity(place.data, true);
}

void WSIAddEditVendor::EvPostalChange() {
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    const QByteArray postal = FieldText(VfPostalCode).trimmed().toUtf8();
    WSICity::WSIData place{};
    if (!db || postal.isEmpty() || !FindCityByPostalCode(db, postal.constData(), place))
        return;
    SetFieldText(VfCity, Text(place.City));
    FillFromCity(place, false);
}

void WSIAddEditVendor::FillFromCity(const WSICity::WSIData& place, bool withPostalCode) {
    if (place.Province[0])
        SetFieldText(VfProvince, Text(place.Province));
    if (withPostalCode && place.PostalCode[0])
        SetFieldText(VfPostalCode, Text(place.PostalCode));
    // An area code the vendor already has is theirs; the city's is only a suggestion.
    if (storedArea_.isEmpty() && place.Area[0])
        SetFieldText(VfArea, Text(place.Area));
}

void WSIAddEditVendor::CmProvinceHelp() {
    WSIApplication* host = Module();
    if (!host)
        return;
    char province[ColWidth::PlaceName + 1] = {};
    tavel::tables::CopyText(province, FieldText(VfProvince).toUtf8().constData());
    if (host->SendMainWindowMessage(hostmsg::kProvincePicker, province) && *province)
        SetFieldText(VfProvince, QString::fromUtf8(province));
}

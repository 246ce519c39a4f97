#include "CatalogueSources.h"

#include "BoundedFormat.h"
#include "CCrystalReportObj.h"
#include "DBPrdLoc.h"
#include "DBProduct.h"
#include "DBVendor.h"
#include "InventoryModule.h"
#include "ProductQueries.h"
#include "TableLookup.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "schema/InventoryCodes.h"

#include <QCoreApplication>

#include <cctype>
#include <cstring>

namespace tavel::products {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("CatalogueSources", text);
}

template <std::size_t N> QString Text(const char (&field)[N]) {
    return FieldText(field);
}

template <std::size_t N> void Put(char (&field)[N], const QString& text) {
    tavel::tables::CopyText(field, text.trimmed().toUtf8().constData());
}

QString Number(long value) {
    return QString::number(value);
}

QString Amount(double value) {
    return QString::number(value, 'f', 2);
}

short FlagOf(const QString& text) {
    return text.trimmed() == QLatin1String("1") ? 1 : 0;
}

WSIApplication* Host() {
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    return app ? app->GetHostApplication() : nullptr;
}

QString LoadText(unsigned code) {
    char text[512] = "";
    if (WSIApplication* host = Host())
        host->LoadString(code, text, sizeof text);
    return QString::fromUtf8(text);
}

WSIFieldDef Field(const QString& label, WSIFieldDef::Kind kind, int width, int maxLength = 0) {
    WSIFieldDef f;
    f.label = label;
    f.kind = kind;
    f.width = width;
    f.maxLength = maxLength;
    return f;
}

// Table error number of the product rules -> the field it names.
int ProductFieldOf(std::uint16_t error) {
    switch (error) {
    case 0x4D01:
        return PfPrdCat;
    case 0x4D05:
        return PfProductCode;
    case 0x4D06:
        return PfUPCCode;
    case 0x4D07:
        return PfInvOType;
    case 0x4D08:
        return PfLeadTimeUnit;
    case 0x4D09:
        return PfUnit;
    case 0x4D0A:
        return PfWeightUnit;
    case 0x4D0B:
        return PfCanOrder;
    case 0x4D0C:
        return PfItemsPerUnit;
    default:
        return -1;
    }
}

int VendorFieldOf(std::uint16_t error) {
    switch (error) {
    case 0x4E01:
        return VfCity;
    case 0x4E02:
        return VfProvince;
    case 0x4E03:
        return VfInactive;
    default:
        return -1;
    }
}

int PrdLocFieldOf(std::uint16_t error, const WSIPrdLoc::WSIData& row) {
    switch (error) {
    // The first check compares the minimum with the reorder level; the second the
    // maximum with the minimum: the field to correct is the one that breaks the order.
    case 0x4A01:
        return LfMinCount;
    case 0x4A02:
        return row.MaxCount > 0 ? LfMaxCount : LfMinCount;
    case 0x4A03:
        return LfStdToOrder;
    case 0x4A04:
        return LfInactive;
    default:
        return -1;
    }
}

// The write after the rules passed: a new row is inserted; a changed one is re-read
// under its lock and gets the checked values, keep() carrying over what the form
// does not own. A refused write says why in message.
template <class Table, class Keep>
bool StoreChecked(Table& table, bool isNew, Keep keep, QString& message) {
    const auto checked = table.data;
    bool stored = false;
    if (isNew) {
        stored = table.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true);
    } else if (table.GetEqual(__FILE__, __LINE__, dbiWRITELOCK)) {
        const auto now = table.data;
        table.data = checked;
        keep(now, table.data);
        stored = table.UpdateDB(__FILE__, __LINE__, true, true);
    }
    if (!stored)
        message = LoadText(isNew ? kMsgNotStored : 5010);
    return stored;
}

// Deletes the row whose key the table holds, through the table rules; a row already
// gone counts as deleted.
template <class Table> bool RemoveRow(Table& table, WSIWindow* parent, QString& message) {
    if (!table.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
        return true;
    table.SetParent(parent);
    if (table.DeleteDB(__FILE__, __LINE__, true))
        return true;
    message = LoadText(5008);
    return false;
}

} // namespace

WSIFieldDef ListColumn(const char* context, const char* heading, int width) {
    WSIFieldDef f;
    f.label = QCoreApplication::translate(context, heading);
    f.width = width;
    return f;
}

bool CheckDigitHolds(const std::string& code) {
    const std::size_t n = code.size();
    if (n != 8 && n != 12 && n != 13 && n != 14)
        return true;
    for (char c : code)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return true;
    // GS1: weights 3 and 1 alternate from the digit left of the check digit.
    int sum = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const int digit = code[n - 2 - i] - '0';
        sum += (i % 2 == 0) ? digit * 3 : digit;
    }
    return (10 - sum % 10) % 10 == code[n - 1] - '0';
}

bool IsGtin14(const std::string& code) {
    if (code.size() != 14)
        return false;
    for (char c : code)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// --- Products ------------------------------------------------------------------------

ProductSource::ProductSource(WSIDatabase* db) : db_(db) {
    using K = WSIFieldDef::Kind;
    fields_.resize(PfCount);
    fields_[PfProductCode] = Field(Tr("Product &code"), K::Text, 120, ColWidth::ProductCode);
    fields_[PfUPCCode] = Field(Tr("&UPC / GTIN"), K::Text, 120, ColWidth::UPCCode);
    fields_[PfDescription] = Field(Tr("&Description"), K::Text, 250, ColWidth::ProductDesc);
    fields_[PfManufacturer] = Field(Tr("&Manufacturer"), K::Text, 150, ColWidth::Manufacturer);
    fields_[PfPrdType] = Field(Tr("Product &type"), K::Choice, 120);
    fields_[PfPrdCat] = Field(Tr("C&ategory"), K::Text, 80, ColWidth::PrdCat);
    fields_[PfUnit] = Field(Tr("U&nit"), K::Text, 80, ColWidth::Unit);
    fields_[PfItemsPerUnit] = Field(Tr("&Items per unit (pack size)"), K::Number, 80, 5);
    fields_[PfItemUnit] = Field(Tr("Item u&nit"), K::Text, 80, ColWidth::Unit);
    fields_[PfWeightUnit] = Field(Tr("&Weight unit"), K::Text, 80, ColWidth::Unit);
    fields_[PfIsDividable] = Field(Tr("Di&vidable (items taken singly)"), K::Flag, 60);
    fields_[PfVendor] = Field(Tr("Ve&ndor"), K::Choice, 150);
    fields_[PfInvOType] = Field(Tr("&Order type"), K::Text, 80, ColWidth::InvOType);
    fields_[PfCanOrder] = Field(Tr("Can be o&rdered"), K::Flag, 60);
    fields_[PfLeadTime] = Field(Tr("&Lead time"), K::Number, 60, 4);
    fields_[PfLeadTimeUnit] = Field(Tr("Lead time u&nit"), K::Choice, 80);
    fields_[PfCostingMethod] = Field(Tr("Costing &method"), K::Choice, 150);
    fields_[PfTrackExpiryDate] = Field(Tr("Track e&xpiry dates"), K::Flag, 60);
    fields_[PfCostPerUnit] = Field(Tr("Last cost per unit"), K::Amount, 80);
    fields_[PfAverageCost] = Field(Tr("Average cost"), K::Amount, 80);
    fields_[PfInactive] = Field(Tr("In&active"), K::Flag, 60);

    fields_[PfLeadTimeUnit].choices = {{Tr("(none)"), tavel::kNoLeadTimeUnit},
                                       {Tr("Days"), 0},
                                       {Tr("Weeks"), 1},
                                       {Tr("Months"), 2}};
    fields_[PfCostingMethod].choices = {
        {Tr("Oldest first"), tavel::CostingMethod::OldestFirst},
        {Tr("Newest first"), tavel::CostingMethod::NewestFirst},
        {Tr("Oldest first, average cost"), tavel::CostingMethod::RunningAverage},
        {Tr("Earliest expiry first"), tavel::CostingMethod::EarliestExpiry}};
    fields_[PfVendor].choices.push_back({Tr("(none)"), 0});
    if (db_) {
        WSIPrdType type(db_);
        for (bool found = type.GetFirst(); found; found = type.GetNext())
            fields_[PfPrdType].choices.push_back({Text(type.data.Description), type.data.PrdType});
        WSIVendor vendor(db_);
        for (bool found = vendor.GetFirst(); found; found = vendor.GetNext())
            if (!vendor.data.Inactive)
                fields_[PfVendor].choices.push_back({Text(vendor.data.Name), vendor.data.Vendor});
    }
}

std::vector<WSIFieldDef> ProductSource::Fields() const {
    return fields_;
}

bool ProductSource::Load(const QString&, const Sink&) {
    // Products are listed by the product search, never all at once.
    return true;
}

WSIRecord ProductSource::ToRecord(const WSIProduct::WSIData& p) const {
    WSIRecord r;
    r.values.resize(PfCount);
    r.values[PfProductCode] = Text(p.ProductCode);
    r.values[PfUPCCode] = Text(p.UPCCode);
    r.values[PfDescription] = Text(p.Description);
    r.values[PfManufacturer] = Text(p.Manufacturer);
    r.values[PfPrdType] = Number(p.PrdType);
    r.values[PfPrdCat] = Text(p.PrdCat);
    r.values[PfUnit] = Text(p.Unit);
    r.values[PfItemsPerUnit] = Number(p.ItemsPerUnit);
    r.values[PfItemUnit] = Text(p.ItemUnit);
    r.values[PfWeightUnit] = Text(p.WeightUnit);
    r.values[PfIsDividable] = Number(p.IsDividable);
    r.values[PfVendor] = Number(p.Vendor);
    r.values[PfInvOType] = Text(p.InvOType);
    r.values[PfCanOrder] = Number(p.CanOrder);
    r.values[PfLeadTime] = Number(p.LeadTime);
    r.values[PfLeadTimeUnit] = Number(p.LeadTimeUnit);
    r.values[PfCostingMethod] = Number(p.CostingMethod);
    r.values[PfTrackExpiryDate] = Number(p.TrackExpiryDate);
    r.values[PfCostPerUnit] = Amount(p.CostPerUnit);
    r.values[PfAverageCost] = Amount(p.AverageCost);
    r.values[PfInactive] = Number(p.Inactive);
    r.data = WSIRowData::Make(p);
    r.marks = p.Inactive ? rowmark::Cancelled : 0;
    return r;
}

WSIRecord ProductSource::NewRecord() const {
    WSIProduct::WSIData p{};
    p.CanOrder = 1;
    p.ItemsPerUnit = 1;
    p.LeadTimeUnit = tavel::kNoLeadTimeUnit;
    if (fields_[PfPrdType].choices.size() == 1)
        p.PrdType = fields_[PfPrdType].choices.front().second;
    return ToRecord(p);
}

long ProductSource::ProductOf(const WSIRecord& record) {
    const auto* p = record.data.Get<WSIProduct::WSIData>();
    return p ? p->Product : 0;
}

bool ProductSource::Save(WSIRecord& record, bool isNew, WSIWindow* parent, QString& message,
                         int& failedField) {
    TVL_TRACE("ProductSource::Save");
    failedField = -1;
    DBProduct table(db_);
    table.InitRecord();
    const long id = isNew ? 0 : ProductOf(record);
    if (!isNew) {
        table.data.Product = id;
        if (!table.GetEqual(__FILE__, __LINE__)) {
            message = LoadText(5010);
            return false;
        }
    }
    table.SetOldCanOrder(table.data.CanOrder);
    const QStringList& v = record.values;
    WSIProduct::WSIData& p = table.data;
    Put(p.ProductCode, v.value(PfProductCode));
    Put(p.UPCCode, v.value(PfUPCCode));
    Put(p.Description, v.value(PfDescription));
    Put(p.Manufacturer, v.value(PfManufacturer));
    p.PrdType = v.value(PfPrdType).toLong();
    Put(p.PrdCat, v.value(PfPrdCat).toUpper());
    Put(p.Unit, v.value(PfUnit));
    p.ItemsPerUnit = static_cast<short>(v.value(PfItemsPerUnit).toLong());
    Put(p.ItemUnit, v.value(PfItemUnit));
    Put(p.WeightUnit, v.value(PfWeightUnit));
    p.IsDividable = FlagOf(v.value(PfIsDividable));
    p.Vendor = v.value(PfVendor).toLong();
    Put(p.InvOType, v.value(PfInvOType).toUpper());
    p.CanOrder = FlagOf(v.value(PfCanOrder));
    p.LeadTime = static_cast<short>(v.value(PfLeadTime).toLong());
    p.LeadTimeUnit = static_cast<short>(v.value(PfLeadTimeUnit).toLong());
    p.CostingMethod = static_cast<short>(v.value(PfCostingMethod).toLong());
    p.TrackExpiryDate = FlagOf(v.value(PfTrackExpiryDate));
    p.Inactive = FlagOf(v.value(PfInactive));
    // Costs are kept by receiving; the form shows them only.

    const std::string upc = Text(p.UPCCode).toStdString();
    if (!CheckDigitHolds(upc)) {
        WSIApplication* host = Host();
        failedField = PfUPCCode;
        if (IsGtin14(upc)) {
            message = LoadText(kMsgGtinCheckDigitWrong);
            return false;
        }
        const QByteArray text = LoadText(kMsgUpcCheckDigitWarning).toUtf8();
        if (!host ||
            host->MessageBox(parent, text.constData(), "", mb::YESNO | mb::ICONQUESTION) != id::YES)
            return false;
        failedField = -1;
    }

    table.SetParent(parent);
    if (!table.VerifyData(isNew ? DB_INSERT : DB_UPDATE)) {
        failedField = ProductFieldOf(table.GetError());
        return false;
    }
    const auto keepCosts = [](const WSIProduct::WSIData& now, WSIProduct::WSIData& row) {
        row.CostPerUnit = now.CostPerUnit;
        row.AverageCost = now.AverageCost;
    };
    if (!StoreChecked(table, isNew, keepCosts, message))
        return false;
    // Every product has its default location row; new rows start from it.
    if (isNew) {
        DBPrdLoc defaults(db_);
        defaults.GetDefaults(table.data.Product);
    }
    record = ToRecord(table.data);
    return true;
}

bool ProductSource::CanDelete(const WSIRecord& record, WSIWindow* parent, QString&) {
    DBProduct table(db_);
    table.InitRecord();
    table.data.Product = ProductOf(record);
    table.SetParent(parent);
    // The rule shows its own message over the screen.
    return table.CanDelete();
}

bool ProductSource::Remove(const WSIRecord& record, WSIWindow* parent, QString& message) {
    DBProduct table(db_);
    table.InitRecord();
    table.data.Product = ProductOf(record);
    return RemoveRow(table, parent, message);
}

// --- Vendors -------------------------------------------------------------------------

VendorSource::VendorSource(WSIDatabase* db) : db_(db) {}

std::vector<WSIFieldDef> VendorSource::Fields() const {
    using K = WSIFieldDef::Kind;
    std::vector<WSIFieldDef> f(VfCount);
    f[VfName] = Field(Tr("&Name"), K::Text, 220, ColWidth::VendorName);
    f[VfName].required = true;
    f[VfAddress1] = Field(Tr("&Address"), K::Text, 200, ColWidth::Address);
    f[VfAddress2] = Field(Tr("Address &2"), K::Text, 0, ColWidth::Address);
    f[VfCity] = Field(Tr("&City"), K::Text, 120, ColWidth::PlaceName);
    f[VfProvince] = Field(Tr("&Province"), K::Text, 80, ColWidth::PlaceName);
    f[VfPostalCode] = Field(Tr("P&ostal code"), K::Text, 80, ColWidth::PostalCode);
    f[VfArea] = Field(Tr("A&rea code"), K::Text, 60, ColWidth::AreaCode);
    f[VfPhone] = Field(Tr("P&hone"), K::Text, 100, ColWidth::Phone);
    f[VfFax] = Field(Tr("&Fax"), K::Text, 0, ColWidth::Phone);
    f[VfNotes] = Field(Tr("No&tes"), K::Text, 0, ColWidth::Notes);
    f[VfInactive] = Field(Tr("&Inactive"), K::Flag, 60);
    return f;
}

bool VendorSource::Load(const QString&, const Sink& sink) {
    WSIVendor vendor(db_);
    for (bool found = vendor.GetFirst(); found; found = vendor.GetNext())
        if (!sink(ToRecord(vendor.data)))
            break;
    return true;
}

WSIRecord VendorSource::ToRecord(const WSIVendor::WSIData& v) const {
    WSIRecord r;
    r.values.resize(VfCount);
    r.values[VfName] = Text(v.Name);
    r.values[VfAddress1] = Text(v.Address1);
    r.values[VfAddress2] = Text(v.Address2);
    r.values[VfCity] = Text(v.City);
    r.values[VfProvince] = Text(v.Province);
    r.values[VfPostalCode] = Text(v.PostalCode);
    r.values[VfArea] = Text(v.Area);
    r.values[VfPhone] = Text(v.Phone);
    r.values[VfFax] = Text(v.Fax);
    r.values[VfNotes] = Text(v.Notes);
    r.values[VfInactive] = Number(v.Inactive);
    r.data = WSIRowData::Make(v);
    r.marks = v.Inactive ? rowmark::Cancelled : 0;
    return r;
}

long VendorSource::VendorOf(const WSIRecord& record) {
    const auto* v = record.data.Get<WSIVendor::WSIData>();
    return v ? v->Vendor : 0;
}

bool VendorSource::Save(WSIRecord& record, bool isNew, WSIWindow* parent, QString& message,
                        int& failedField) {
    TVL_TRACE("VendorSource::Save");
    failedField = -1;
    DBVendor table(db_);
    table.InitRecord();
    if (!isNew) {
        table.data.Vendor = VendorOf(record);
        if (!table.GetEqual(__FILE__, __LINE__)) {
            message = LoadText(5010);
            return false;
        }
    }
    const QStringList& v = record.values;
    WSIVendor::WSIData& d = table.data;
    Put(d.Name, v.value(VfName));
    Put(d.Address1, v.value(VfAddress1));
    Put(d.Address2, v.value(VfAddress2));
    Put(d.City, v.value(VfCity));
    Put(d.Province, v.value(VfProvince));
    Put(d.PostalCode, v.value(VfPostalCode));
    Put(d.Area, v.value(VfArea));
    Put(d.Phone, v.value(VfPhone));
    Put(d.Fax, v.value(VfFax));
    // Empty notes are stored as one blank; control characters and repeated line breaks
    // of pasted text are tidied first.
    QString notes = v.value(VfNotes);
    for (QChar& c : notes)
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\n'))
            c = QLatin1Char(' ');
    while (notes.contains(QStringLiteral("\n\n")))
        notes.replace(QStringLiteral("\n\n"), QStringLiteral("\n"));
    if (notes.trimmed().isEmpty())
        notes = QStringLiteral(" ");
    tavel::tables::CopyText(d.Notes, notes.toUtf8().constData());
    d.Inactive = FlagOf(v.value(VfInactive));

    table.SetParent(parent);
    if (!table.VerifyData(isNew ? DB_INSERT : DB_UPDATE)) {
        failedField = VendorFieldOf(table.GetError());
        return false;
    }
    if (!StoreChecked(
            table, isNew, [](const auto&, auto&) {}, message))
        return false;
    record = ToRecord(table.data);
    return true;
}

bool VendorSource::CanDelete(const WSIRecord& record, WSIWindow* parent, QString&) {
    DBVendor table(db_);
    table.InitRecord();
    table.data.Vendor = VendorOf(record);
    table.SetParent(parent);
    return table.CanDelete();
}

bool VendorSource::Remove(const WSIRecord& record, WSIWindow* parent, QString& message) {
    DBVendor table(db_);
    table.InitRecord();
    table.data.Vendor = VendorOf(record);
    return RemoveRow(table, parent, message);
}

// --- Product locations -----------------------------------------------------------------

PrdLocSource::PrdLocSource(WSIDatabase* db, long product) : db_(db), product_(product) {
    using K = WSIFieldDef::Kind;
    fields_.resize(LfCount);
    fields_[LfInvLoc] = Field(Tr("&Location"), K::Text, 80, ColWidth::InvLoc);
    fields_[LfInvLoc].key = true;
    fields_[LfBin] = Field(Tr("&Bin"), K::Text, 90, ColWidth::Bin);
    fields_[LfStocked] = Field(Tr("&Stocked here"), K::Flag, 95);
    fields_[LfTrackUsage] = Field(Tr("&Track usage"), K::Flag, 90);
    fields_[LfCanOrderFrom] = Field(Tr("Can &order from"), K::Flag, 115);
    fields_[LfMinCount] = Field(Tr("&Minimum"), K::Number, 75, 5);
    fields_[LfReorderCount] = Field(Tr("&Reorder at"), K::Number, 85, 5);
    fields_[LfMaxCount] = Field(Tr("Ma&ximum"), K::Number, 75, 5);
    fields_[LfMinToOrder] = Field(Tr("Least to or&der"), K::Number, 110, 5);
    fields_[LfStdToOrder] = Field(Tr("Standard to order"), K::Number, 125, 5);
    fields_[LfInactive] = Field(Tr("&Inactive"), K::Flag, 70);
    fields_[LfQuantity] = Field(Tr("Quantity"), K::Text, 80);
}

std::vector<WSIFieldDef> PrdLocSource::Fields() const {
    return fields_;
}

bool PrdLocSource::Load(const QString&, const Sink& sink) {
    TVL_TRACE("PrdLocSource::Load");
    WSIPrdLoc row(db_);
    auto cursor =
        db_->Query(__FILE__, __LINE__,
                   "SELECT %s FROM PRDLOC WHERE \"Product\" = %ld  AND (\"InvLoc\" IS NOT "
                   "NULL AND \"InvLoc\" <> ' ') ORDER BY \"InvLoc\" ",
                   WSIResult(row), db_->GetTableColumns(__LINE__, __FILE__, "PRDLOC"), product_);
    for (bool found = cursor->GetFirst(); found; found = cursor->GetNext())
        if (!sink(ToRecord(row.data)))
            break;
    return true;
}

WSIRecord PrdLocSource::ToRecord(const WSIPrdLoc::WSIData& d) const {
    WSIRecord r;
    r.values.resize(LfCount);
    r.values[LfInvLoc] = Text(d.InvLoc);
    r.values[LfBin] = Text(d.Bin);
    r.values[LfStocked] = Number(d.Stocked);
    r.values[LfTrackUsage] = Number(d.TrackUsage);
    r.values[LfCanOrderFrom] = Number(d.CanOrderFrom);
    r.values[LfMinCount] = Number(d.MinCount);
    r.values[LfReorderCount] = Number(d.ReorderCount);
    r.values[LfMaxCount] = Number(d.MaxCount);
    r.values[LfMinToOrder] = Number(d.MinToOrder);
    r.values[LfStdToOrder] = Number(d.StdToOrder);
    r.values[LfInactive] = Number(d.Inactive);
    r.values[LfQuantity] =
        QString::fromStdString(QuantityText(d.TrackUsage, d.Balance, d.LastCount));
    r.data = WSIRowData::Make(d);
    r.marks = d.Inactive ? rowmark::Cancelled : 0;
    return r;
}

const WSIPrdLoc::WSIData* PrdLocSource::RowOf(const WSIRecord& record) {
    return record.data.Get<WSIPrdLoc::WSIData>();
}

bool PrdLocSource::Save(WSIRecord& record, bool isNew, WSIWindow* parent, QString& message,
                        int& failedField) {
    TVL_TRACE("PrdLocSource::Save");
    failedField = -1;
    DBPrdLoc table(db_);
    table.InitRecord();
    WSIPrdLoc::WSIData& d = table.data;
    const QStringList& v = record.values;
    d.Product = product_;
    Put(d.InvLoc, v.value(LfInvLoc).toUpper());
    // Only the product's default row has no location, and it is never added here.
    if (isNew && d.InvLoc[0] == '\0') {
        message = LoadText(5006);
        failedField = LfInvLoc;
        return false;
    }
    if (!isNew) {
        // The quantities are the stored row's, never the form's.
        if (const WSIPrdLoc::WSIData* stored = RowOf(record)) {
            d.Balance = stored->Balance;
            d.LastCount = stored->LastCount;
            d.LastCountDate = stored->LastCountDate;
        }
    }
    Put(d.Bin, v.value(LfBin));
    d.Stocked = FlagOf(v.value(LfStocked));
    d.TrackUsage = FlagOf(v.value(LfTrackUsage));
    d.CanOrderFrom = FlagOf(v.value(LfCanOrderFrom));
    d.MinCount = static_cast<short>(v.value(LfMinCount).toLong());
    d.ReorderCount = static_cast<short>(v.value(LfReorderCount).toLong());
    d.MaxCount = static_cast<short>(v.value(LfMaxCount).toLong());
    d.MinToOrder = static_cast<short>(v.value(LfMinToOrder).toLong());
    d.StdToOrder = static_cast<short>(v.value(LfStdToOrder).toLong());
    d.Inactive = FlagOf(v.value(LfInactive));

    table.SetParent(parent);
    if (!table.VerifyData(isNew ? DB_INSERT : DB_UPDATE)) {
        failedField = PrdLocFieldOf(table.GetError(), d);
        return false;
    }
    // Stock moved meanwhile stays as moved.
    const auto keepStock = [](const WSIPrdLoc::WSIData& now, WSIPrdLoc::WSIData& row) {
        row.Balance = now.Balance;
        row.LastCount = now.LastCount;
        row.LastCountDate = now.LastCountDate;
    };
    if (!StoreChecked(table, isNew, keepStock, message))
        return false;
    record = ToRecord(table.data);
    return true;
}

bool PrdLocSource::CanDelete(const WSIRecord& record, WSIWindow* parent, QString&) {
    const WSIPrdLoc::WSIData* row = RowOf(record);
    if (!row)
        return false;
    DBPrdLoc table(db_);
    table.data = *row;
    table.SetParent(parent);
    return table.CanDelete();
}

bool PrdLocSource::Remove(const WSIRecord& record, WSIWindow* parent, QString& message) {
    const WSIPrdLoc::WSIData* row = RowOf(record);
    if (!row)
        return true;
    DBPrdLoc table(db_);
    table.data = *row;
    return RemoveRow(table, parent, message);
}

bool PrdLocSource::Print(WSIWindow* parent, bool preview) {
    WSIApplication* host = Host();
    char title[512] = "";
    if (host)
        host->LoadString(38131, title, sizeof title);
    char product[32];
    TVL_FORMAT(product, "\"%ld\"", product_);
    ST_FORMULAS formula{};
    SetStringFormula(formula, "Product", product);
    CCrystalReportObj report(host ? host->GetCrystalEngine() : nullptr, "PrdLoc.rpt", title,
                             preview ? 1 : 0, parent);
    report.SetFormulas(&formula, 1);
    report.SetFormulaError(true);
    report.SetParameter(nullptr, 0);
    return report.Print(false, true);
}

} // namespace tavel::products

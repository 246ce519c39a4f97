#include "CatalogueSource.h"

#include "CCrystalReportObj.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"

#include <QByteArray>

#include <cstring>

namespace {
constexpr unsigned kMsgDuplicate = 5004;

WSIFieldDef::Kind KindOf(ColType type) {
    switch (type) {
    case ColType::Flag:
        return WSIFieldDef::Kind::Flag;
    case ColType::Id:
    case ColType::Int:
    case ColType::Count:
        return WSIFieldDef::Kind::Number;
    case ColType::Amount:
        return WSIFieldDef::Kind::Amount;
    case ColType::Date:
        return WSIFieldDef::Kind::Date;
    default:
        return WSIFieldDef::Kind::Text;
    }
}
} // namespace

CatalogueSource::CatalogueSource(WSIApplication* module, Setup setup)
    : module_(module), setup_(std::move(setup)) {
    TVL_TRACE("CatalogueSource::CatalogueSource");
    desc_ = setup_.make(nullptr)->Record().Desc();
    inactiveField_ = FieldOf("Inactive");
}

CatalogueSource::~CatalogueSource() = default;

QString CatalogueSource::Text(unsigned code) const {
    if (!module_)
        return QString();
    char buf[512] = "";
    module_->LoadString(code, buf, sizeof buf);
    return QString::fromUtf8(buf);
}

bool CatalogueSource::IsHidden(int field) const {
    return field >= 0 && field < static_cast<int>(setup_.fields.size()) &&
           setup_.fields[static_cast<std::size_t>(field)].hidden;
}

WSIDatabase* CatalogueSource::Db() const {
    return module_ ? module_->GetDb() : nullptr;
}

int CatalogueSource::FieldOf(const char* column) const {
    for (std::size_t i = 0; i < setup_.fields.size(); ++i)
        if (setup_.fields[i].column && std::strcmp(setup_.fields[i].column, column) == 0)
            return static_cast<int>(i);
    return -1;
}

const ColumnDesc* CatalogueSource::ColumnOf(int field) const {
    if (field < 0 || field >= static_cast<int>(setup_.fields.size()) || !desc_)
        return nullptr;
    const char* column = setup_.fields[static_cast<std::size_t>(field)].column;
    if (!column)
        return nullptr;
    for (std::size_t c = 0; c < desc_->count; ++c)
        if (std::strcmp(desc_->columns[c].name, column) == 0)
            return &desc_->columns[c];
    return nullptr;
}

std::vector<WSIFieldDef> CatalogueSource::Fields() const {
    std::vector<WSIFieldDef> defs;
    for (std::size_t i = 0; i < setup_.fields.size(); ++i) {
        const CatalogueField& f = setup_.fields[i];
        WSIFieldDef d;
        d.label = f.label;
        d.width = f.hidden ? 0 : f.width;
        d.required = f.required;
        d.kind = f.kind;
        if (const ColumnDesc* c = ColumnOf(static_cast<int>(i))) {
            d.kind = KindOf(c->type);
            d.key = c->key;
            if (c->type == ColType::Code || c->type == ColType::Text)
                d.maxLength = c->width;
        }
        if (!f.choices.empty()) {
            d.kind = WSIFieldDef::Kind::Choice;
            d.choices = f.choices;
        }
        defs.push_back(std::move(d));
    }
    return defs;
}

QString CatalogueSource::ValueOf(const WSITable& table, int field) const {
    const ColumnDesc* c = ColumnOf(field);
    if (!c)
        return QString();
    const char* at = static_cast<const char*>(table.Data()) + c->offset;
    switch (c->type) {
    case ColType::Id:
    case ColType::Int: {
        long v;
        std::memcpy(&v, at, sizeof v);
        return QString::number(v);
    }
    case ColType::Flag:
    case ColType::Count: {
        short v;
        std::memcpy(&v, at, sizeof v);
        return QString::number(v);
    }
    case ColType::Amount: {
        double v;
        std::memcpy(&v, at, sizeof v);
        return QString::number(v, 'f', 2);
    }
    case ColType::Code:
        // Fixed-width codes may come back blank-padded.
        return QString::fromUtf8(at, static_cast<qsizetype>(strnlen(at, c->width + 1u))).trimmed();
    case ColType::Text:
        return QString::fromUtf8(at, static_cast<qsizetype>(strnlen(at, c->width + 1u)));
    case ColType::Date:
        return QString();
    }
    return QString();
}

void CatalogueSource::PutValue(WSITable& table, int field, const QString& value) const {
    const ColumnDesc* c = ColumnOf(field);
    if (!c)
        return;
    char* at = static_cast<char*>(table.Data()) + c->offset;
    switch (c->type) {
    case ColType::Id:
    case ColType::Int: {
        const long v = value.trimmed().toLong();
        std::memcpy(at, &v, sizeof v);
        break;
    }
    case ColType::Flag:
    case ColType::Count: {
        const short v = value.trimmed().toShort();
        std::memcpy(at, &v, sizeof v);
        break;
    }
    case ColType::Amount: {
        const double v = value.trimmed().toDouble();
        std::memcpy(at, &v, sizeof v);
        break;
    }
    case ColType::Code:
    case ColType::Text: {
        // Cut at the column's width, never inside a character.
        QByteArray bytes = value.toUtf8();
        QString cut = value;
        while (bytes.size() > c->width) {
            cut.chop(1);
            bytes = cut.toUtf8();
        }
        std::memset(at, 0, c->width + 1u);
        std::memcpy(at, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        break;
    }
    case ColType::Date:
        break;
    }
}

WSIRecord CatalogueSource::RecordOf(const WSITable& table) const {
    WSIRecord record;
    for (int i = 0; i < static_cast<int>(setup_.fields.size()); ++i)
        record.values.append(ValueOf(table, i));
    return record;
}

bool CatalogueSource::ReadByKey(const WSIRecord& record, WSITable& table) const {
    table.InitRecord();
    for (int i = 0; i < static_cast<int>(setup_.fields.size()); ++i)
        if (const ColumnDesc* c = ColumnOf(i); c && c->key)
            PutValue(table, i, record.Value(i));
    return table.GetEqual(__FILE__, __LINE__, dbiNOLOCK);
}

bool CatalogueSource::Load(const QString& search, const Sink& sink) {
    TVL_TRACE("CatalogueSource::Load");
    (void)search;
    WSIDatabase* db = Db();
    if (!db)
        return false;
    auto table = setup_.make(db);
    const char* columns = db->GetTableColumns(__LINE__, __FILE__, desc_->name);
    auto cursor = db->Query(__FILE__, __LINE__, setup_.listSql.c_str(), WSIResult(table->Record()),
                            columns, setup_.listArgument);
    for (bool found = cursor->GetFirst(); found; found = cursor->GetNext()) {
        WSIRecord record = RecordOf(table->Record());
        Loaded(record);
        if (inactiveField_ >= 0 && record.Value(inactiveField_) == QLatin1String("1"))
            record.marks = rowmark::Cancelled;
        record.data = WSIRowData::Make(CatalogueOriginal{record.values});
        if (!sink(std::move(record)))
            break;
    }
    return true;
}

int CatalogueSource::FieldOfError(std::uint16_t error) const {
    for (const auto& [number, field] : setup_.errorFields)
        if (number == error)
            return field;
    return -1;
}

bool CatalogueSource::Refused(QString& message) const {
    message = Text(kMsgNotStored);
    return false;
}

bool CatalogueSource::Save(WSIRecord& record, bool isNew, WSIWindow* parent, QString& message,
                           int& failedField) {
    TVL_TRACE("CatalogueSource::Save");
    failedField = -1;
    WSIDatabase* db = Db();
    if (!db)
        return Refused(message);
    auto table = setup_.make(db);
    WSITable& row = table->Record();
    if (!isNew && !ReadByKey(record, row))
        return Refused(message);
    if (isNew)
        row.InitRecord();
    for (int i = 0; i < static_cast<int>(setup_.fields.size()); ++i)
        PutValue(row, i, record.Value(i));
    table->SetParent(parent);
    if (!BeforeSave(*table, record, isNew, parent, message, failedField))
        return false;
    if (!table->VerifyData(isNew ? DB_INSERT : DB_UPDATE)) {
        failedField = FieldOfError(table->GetError());
        return false;
    }
    if (isNew) {
        // A code that names another record already: say so before the database refuses.
        auto existing = setup_.make(db);
        bool keyed = false;
        for (int i = 0; i < static_cast<int>(setup_.fields.size()); ++i)
            if (const ColumnDesc* c = ColumnOf(i); c && c->key && c->type != ColType::Id) {
                keyed = true;
                if (failedField < 0)
                    failedField = i;
            }
        if (keyed && ReadByKey(RecordOf(row), existing->Record())) {
            message = Text(kMsgDuplicate);
            return false;
        }
        failedField = -1;
    }

    db->TransactionBegin();
    bool stored = false;
    if (isNew) {
        stored = table->Insert();
    } else {
        // Lock the row for the write, keeping the values entered.
        const auto entered = row.GetBackupDataStruct();
        stored = row.GetEqual(__FILE__, __LINE__, dbiWRITELOCK);
        row.RestoreDataStruct(entered);
        stored = stored && table->Update();
    }
    stored = stored && AfterSave(*table, record, isNew);
    if (!stored) {
        db->TransactionAbort();
        return Refused(message);
    }
    if (!db->TransactionEnd())
        return Refused(message);

    // The record as stored (a new id included); screen-only fields keep their values.
    for (int i = 0; i < static_cast<int>(setup_.fields.size()); ++i)
        if (ColumnOf(i))
            record.values[i] = ValueOf(row, i);
    Loaded(record);
    record.marks = inactiveField_ >= 0 && record.Value(inactiveField_) == QLatin1String("1")
                       ? rowmark::Cancelled
                       : 0;
    record.data = WSIRowData::Make(CatalogueOriginal{record.values});
    return true;
}

bool CatalogueSource::CanDelete(const WSIRecord& record, WSIWindow* parent, QString& message) {
    TVL_TRACE("CatalogueSource::CanDelete");
    WSIDatabase* db = Db();
    if (!db)
        return Refused(message);
    auto table = setup_.make(db);
    if (!ReadByKey(record, table->Record()))
        return Refused(message);
    table->SetParent(parent);
    return table->CanDelete();
}

bool CatalogueSource::Remove(const WSIRecord& record, WSIWindow* parent, QString& message) {
    TVL_TRACE("CatalogueSource::Remove");
    WSIDatabase* db = Db();
    if (!db)
        return Refused(message);
    if (!BeforeRemove(record, parent))
        return false;
    auto table = setup_.make(db);
    table->SetParent(parent);
    db->TransactionBegin();
    WSITable& row = table->Record();
    row.InitRecord();
    bool removed = ReadByKey(record, row) && row.GetEqual(__FILE__, __LINE__, dbiWRITELOCK) &&
                   table->Delete() && AfterRemove(record);
    if (!removed) {
        db->TransactionAbort();
        return Refused(message);
    }
    if (!db->TransactionEnd())
        return Refused(message);
    return true;
}

bool CatalogueSource::Print(WSIWindow* parent, bool preview) {
    TVL_TRACE("CatalogueSource::Print");
    if (!setup_.reportFile)
        return false;
    char title[512] = "";
    if (module_)
        module_->LoadString(setup_.titleMessage, title, sizeof title);
    CCrystalReportObj report(module_ ? module_->GetCrystalEngine() : nullptr, setup_.reportFile,
                             title, preview ? 1 : 0, parent);
    return report.Print(false, true);
}

#include "WSITable.h"

#include "PgConnection.h"
#include "RecordSql.h"
#include "WSIDatabase.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using tavel::db::NativeKind;
using tavel::db::Statement;

// ---------------------------------------------------------------------------------------
// Result destinations and bind variables

WSIResult::WSIResult(WSITable& record)
    : kind_(record.Desc() && record.Data() ? Kind::Row : Kind::None), target_(record.Data()),
      desc_(record.Desc()), record_(&record) {}

void WSIBVParametersInfo::AddParameter(long value) {
    stBindVarParams& p = params_.emplace_back();
    p.kind = stBindVarParams::Kind::Long;
    p.integer = value;
}

void WSIBVParametersInfo::AddParameter(double value) {
    stBindVarParams& p = params_.emplace_back();
    p.kind = stBindVarParams::Kind::Double;
    p.real = value;
}

void WSIBVParametersInfo::AddParameter(const char* value) {
    stBindVarParams& p = params_.emplace_back();
    p.kind = stBindVarParams::Kind::Text;
    p.text = value ? value : "";
}

void WSIBVParametersInfo::AddParameter(const WSIDate& value) {
    stBindVarParams& p = params_.emplace_back();
    p.kind = stBindVarParams::Kind::Date;
    p.date = value;
}

void WSIBVParametersInfo::AddBytes(std::string_view bytes) {
    stBindVarParams& p = params_.emplace_back();
    p.kind = stBindVarParams::Kind::Bytes;
    p.text.assign(bytes.data(), bytes.size());
}

void WSIBVParametersInfo::AddNull() {
    params_.emplace_back();
}

// ---------------------------------------------------------------------------------------
// Construction

WSITable::WSITable(WSIDatabase* db, const TableDesc& table, void* data)
    : db_(db), desc_(&table), data_(data) {
    result_ = WSIResult(table, data);
}

WSITable::WSITable(const WSITable& other, void* data)
    : db_(other.db_), desc_(other.desc_), data_(data), isRecord_(other.isRecord_) {
    if (desc_ && data_)
        result_ = WSIResult(*desc_, data_);
}

WSITable& WSITable::operator=(const WSITable& other) {
    if (this == &other)
        return *this;
    // The object now stands for the other's row: an open cursor no longer applies.
    CloseCursor();
    db_ = other.db_;
    desc_ = other.desc_;
    isRecord_ = other.isRecord_;
    if (desc_ && data_)
        result_ = WSIResult(*desc_, data_);
    return *this;
}

WSITable::WSITable(WSIDatabase* db, WSIResult result) : db_(db), result_(result) {}

WSITable::WSITable(const char* file, int line, int, WSIDatabase* db, const char* sql,
                   WSIResult result, bool, bool, int, const WSIBVParametersInfo* bindVars)
    : db_(db), result_(result) {
    if (!db_)
        return;
    Open(file, line, sql, bindVars ? bindVars->Params() : nullptr,
         bindVars ? bindVars->Count() : 0);
}

WSITable::~WSITable() {
    CloseCursor();
    // A lock left behind would keep every other connection from writing.
    DropLock();
}

// ---------------------------------------------------------------------------------------
// Cursor

void WSITable::Open(const char* file, int line, const char* sql, const stBindVarParams* params,
                    int paramCount) {
    CloseCursor();
    file_ = file ? file : "";
    line_ = line;
    cursor_ = db_->Prepare(file, line, sql, params, paramCount);
    exhausted_ = cursor_ == nullptr;
    failed_ = cursor_ == nullptr;
}

void WSITable::CloseCursor() {
    if (cursor_ && db_)
        db_->Release(cursor_);
    cursor_ = nullptr;
    exhausted_ = false;
}

bool WSITable::Fetch() {
    if (!cursor_ || exhausted_)
        return false;
    int rc = db_->Step(file_, line_, cursor_);
    if (rc == SQLITE_ROW && !cursor_->stmt) {
        tavel::db::PgReadResult(cursor_->pgResult, cursor_->pgRow++, result_);
        if (result_.record())
            result_.record()->isRecord_ = true;
        return true;
    }
    if (rc == SQLITE_ROW) {
        tavel::db::ReadResult(cursor_->stmt, result_);
        if (result_.record())
            result_.record()->isRecord_ = true;
        return true;
    }
    failed_ = rc != SQLITE_DONE;
    // Done or failed: end the read now so that this connection holds no old snapshot.
    if (cursor_->stmt)
        sqlite3_reset(cursor_->stmt);
    cursor_->ResetPg();
    exhausted_ = true;
    return false;
}

bool WSITable::GetFirst(DBILockType lock) {
    if (!db_)
        return false;
    if (lock && !TakeLock(file_, line_))
        return false;
    if (!cursor_) {
        if (!desc_ || !data_)
            return false;
        // A record without a query reads its table in key order.
        cursor_ = db_->PrepareNative(__FILE__, __LINE__, desc_, NativeKind::SelectAll);
        if (!cursor_)
            return false;
    }
    if (cursor_->stmt)
        sqlite3_reset(cursor_->stmt);
    cursor_->ResetPg();
    exhausted_ = false;
    failed_ = false;
    return Fetch();
}

bool WSITable::GetNext(DBILockType lock) {
    if (!db_ || !cursor_)
        return false;
    if (lock && !TakeLock(file_, line_))
        return false;
    return Fetch();
}

// ---------------------------------------------------------------------------------------
// Locks

bool WSITable::HoldsLock() const {
    return ownsLock_ && db_ && lockGeneration_ == db_->LockGeneration();
}

bool WSITable::TakeLock(const char* file, int line) {
    if (HoldsLock())
        return true;
    if (!db_->AcquireRecordLock(file, line))
        return false;
    ownsLock_ = true;
    lockGeneration_ = db_->LockGeneration();
    return true;
}

bool WSITable::DropLock() {
    bool held = HoldsLock();
    ownsLock_ = false;
    return held ? db_->ReleaseRecordLock() : true;
}

void WSITable::ReleaseLock() {
    DropLock();
}

void WSITable::ForceReread() {}

// ---------------------------------------------------------------------------------------
// Record reads and writes

bool WSITable::GetEqual(const char* file, int line, DBILockType lock) {
    if (!db_ || !desc_ || !data_)
        return false;
    bool hadLock = HoldsLock();
    if (lock && !TakeLock(file, line))
        return false;
    bool found = false;
    if (db_->IsServer()) {
        found = PgGetEqual(file, line, lock != dbiNOLOCK);
        if (found)
            isRecord_ = true;
        else if (lock && !hadLock)
            DropLock();
        return found;
    }
    Statement* s = db_->PrepareNative(file, line, desc_, NativeKind::SelectKey);
    if (s) {
        int n = 1;
        for (std::size_t i = 0; i < desc_->count; ++i)
            if (desc_->columns[i].key)
                tavel::db::BindColumn(s->stmt, n++, desc_->columns[i], data_);
        if (db_->Step(file, line, s) == SQLITE_ROW) {
            tavel::db::ReadResult(s->stmt, result_);
            found = true;
        }
        db_->Release(s);
    }
    if (found)
        isRecord_ = true;
    else if (lock && !hadLock)
        DropLock(); // nothing to hold for a row that is not there
    return found;
}

bool WSITable::LockReadRow(const char* file, int line) {
    if (!db_ || !desc_ || !data_)
        return false;
    if (db_->IsServer() || !db_->HoldsWriteLock())
        return GetEqual(file, line, dbiWRITELOCK);
    if (!TakeLock(file, line))
        return false;
    isRecord_ = true;
    return true;
}

bool WSITable::PgGetEqual(const char* file, int line, bool lock) {
    Statement* s = db_->PrepareNative(file, line, desc_,
                                      lock ? NativeKind::SelectKeyLock : NativeKind::SelectKey);
    if (!s)
        return false;
    tavel::db::PgValues v;
    for (std::size_t i = 0; i < desc_->count; ++i)
        if (desc_->columns[i].key)
            tavel::db::PgColumnValue(desc_->columns[i], data_, v);
    // A row locked elsewhere fails the statement (55P03): the lock is refused.
    PGresult* r = db_->PgRunNative(file, line, s, v, lock);
    const bool found = r && PQntuples(r) > 0;
    if (found)
        tavel::db::PgReadResult(r, 0, result_);
    PQclear(r);
    db_->Release(s);
    return found;
}

bool WSITable::PgWrite(const char* file, int line, NativeKind kind) {
    Statement* s = db_->PrepareNative(file, line, desc_, kind);
    if (!s)
        return false;
    tavel::db::PgValues v;
    const ColumnDesc* autoId = tavel::db::AutoIdColumn(*desc_);
    long* id =
        autoId ? reinterpret_cast<long*>(static_cast<char*>(data_) + autoId->offset) : nullptr;
    if (kind == NativeKind::Update) {
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0; i < desc_->count; ++i)
                if (desc_->columns[i].key == (pass == 1))
                    tavel::db::PgColumnValue(desc_->columns[i], data_, v);
    } else {
        for (std::size_t i = 0; i < desc_->count; ++i) {
            const ColumnDesc& c = desc_->columns[i];
            if (kind == NativeKind::Delete && !c.key)
                continue;
            if (kind == NativeKind::InsertAutoId && &c == autoId)
                continue;
            tavel::db::PgColumnValue(c, data_, v);
        }
    }
    PGresult* r = db_->PgRunNative(file, line, s, v, true);
    db_->Release(s);
    if (!r)
        return false;
    bool ok = true;
    if (kind == NativeKind::InsertAutoId) {
        ok = PQntuples(r) == 1;
        if (ok)
            *id = std::strtol(PQgetvalue(r, 0, 0), nullptr, 10);
    } else if (kind == NativeKind::Insert) {
        if (id)
            db_->PgAdvanceIdentity(*desc_, *autoId, *id);
    } else {
        ok = tavel::db::PgRowsChanged(r) > 0;
        if (!ok)
            db_->LogError(file, line,
                          kind == NativeKind::Update ? "update found no row in"
                                                     : "delete found no row in",
                          desc_->name);
    }
    PQclear(r);
    return ok;
}

bool WSITable::InsertDB(const char* file, int line, DBILockType lock, bool, eTimeStampState) {
    if (!db_ || !desc_ || !data_)
        return false;
    if (lock && !TakeLock(file, line))
        return false;
    if (!db_->EnsureWriteTransaction(file, line))
        return false;
    if (db_->IsServer()) {
        const ColumnDesc* autoId = tavel::db::AutoIdColumn(*desc_);
        const bool assign =
            autoId && *reinterpret_cast<long*>(static_cast<char*>(data_) + autoId->offset) == 0;
        const bool ok = PgWrite(file, line, assign ? NativeKind::InsertAutoId : NativeKind::Insert);
        if (ok)
            isRecord_ = true;
        return ok;
    }
    Statement* s = db_->PrepareNative(file, line, desc_, NativeKind::Insert);
    if (!s)
        return false;
    const ColumnDesc* autoId = tavel::db::AutoIdColumn(*desc_);
    long* id =
        autoId ? reinterpret_cast<long*>(static_cast<char*>(data_) + autoId->offset) : nullptr;
    for (std::size_t i = 0; i < desc_->count; ++i) {
        const ColumnDesc& c = desc_->columns[i];
        if (&c == autoId && *id == 0)
            sqlite3_bind_null(s->stmt, static_cast<int>(i) + 1);
        else
            tavel::db::BindColumn(s->stmt, static_cast<int>(i) + 1, c, data_);
    }
    bool ok = db_->Step(file, line, s) == SQLITE_DONE;
    db_->Release(s);
    if (ok && id && *id == 0)
        *id = static_cast<long>(sqlite3_last_insert_rowid(db_->Handle()));
    if (ok)
        isRecord_ = true;
    return ok;
}

bool WSITable::UpdateDB(const char* file, int line, bool releaseLockIfRefused, bool,
                        eTimeStampState) {
    if (!db_ || !desc_ || !data_)
        return false;
    bool ok = db_->EnsureWriteTransaction(file, line);
    if (ok && db_->IsServer()) {
        ok = PgWrite(file, line, NativeKind::Update);
        if (ok || releaseLockIfRefused)
            ok = DropLock() && ok;
        return ok;
    }
    Statement* s = ok ? db_->PrepareNative(file, line, desc_, NativeKind::Update) : nullptr;
    ok = s != nullptr;
    if (s) {
        int n = 1;
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0; i < desc_->count; ++i)
                if (desc_->columns[i].key == (pass == 1))
                    tavel::db::BindColumn(s->stmt, n++, desc_->columns[i], data_);
        const bool done = db_->Step(file, line, s) == SQLITE_DONE;
        ok = done && sqlite3_changes(db_->Handle()) > 0;
        db_->Release(s);
        if (done && !ok)
            db_->LogError(file, line, "update found no row in", desc_->name);
    }
    if (ok || releaseLockIfRefused)
        ok = DropLock() && ok;
    return ok;
}

bool WSITable::DeleteDB(const char* file, int line) {
    if (!db_ || !desc_ || !data_)
        return false;
    bool ok = db_->EnsureWriteTransaction(file, line);
    Statement* s = nullptr;
    if (ok && db_->IsServer())
        ok = PgWrite(file, line, NativeKind::Delete);
    else if (ok)
        ok = (s = db_->PrepareNative(file, line, desc_, NativeKind::Delete)) != nullptr;
    if (s) {
        int n = 1;
        for (std::size_t i = 0; i < desc_->count; ++i)
            if (desc_->columns[i].key)
                tavel::db::BindColumn(s->stmt, n++, desc_->columns[i], data_);
        const bool done = db_->Step(file, line, s) == SQLITE_DONE;
        ok = done && sqlite3_changes(db_->Handle()) > 0;
        db_->Release(s);
        if (done && !ok)
            db_->LogError(file, line, "delete found no row in", desc_->name);
    }
    // Released either way: a caller that gives up must not leave every writer blocked.
    ok = DropLock() && ok;
    if (ok)
        isRecord_ = false;
    return ok;
}

void WSITable::InitRecord() {
    if (data_ && desc_)
        std::memset(data_, 0, desc_->dataSize);
    isRecord_ = false;
}

long WSITable::AddAuditEntry(int, const char*) {
    if (!db_ || !db_->EnsureWriteTransaction(__FILE__, __LINE__))
        return 0;
    Statement* s = db_->PrepareNative(__FILE__, __LINE__, nullptr, NativeKind::AuditInsert);
    if (!s)
        return 0;
    char iso[16];
    tavel::db::FormatIsoDate(db_->Today(), iso);
    if (db_->IsServer()) {
        tavel::db::PgValues v;
        v.Push(std::to_string(db_->GetCurrentUser()));
        v.Push(iso);
        PGresult* r = db_->PgRunNative(__FILE__, __LINE__, s, v, true);
        db_->Release(s);
        const long id = r && PQntuples(r) == 1 ? std::strtol(PQgetvalue(r, 0, 0), nullptr, 10) : 0;
        PQclear(r);
        return id;
    }
    sqlite3_bind_int64(s->stmt, 1, db_->GetCurrentUser());
    sqlite3_bind_text(s->stmt, 2, iso, -1, SQLITE_TRANSIENT);
    bool ok = db_->Step(__FILE__, __LINE__, s) == SQLITE_DONE;
    db_->Release(s);
    return ok ? static_cast<long>(sqlite3_last_insert_rowid(db_->Handle())) : 0;
}

// ---------------------------------------------------------------------------------------
// Field access

bool WSITable::GetField(const char* column, void* buffer, std::size_t size) {
    const ColumnDesc* c = desc_ ? tavel::db::FindColumn(*desc_, column) : nullptr;
    if (!c || !data_ || !buffer)
        return false;
    std::size_t n = tavel::db::ColumnSize(*c);
    std::memcpy(buffer, static_cast<const char*>(data_) + c->offset, n < size ? n : size);
    return true;
}

long WSITable::GetFieldLong(const char* column) {
    const ColumnDesc* c = desc_ ? tavel::db::FindColumn(*desc_, column) : nullptr;
    if (!c || !data_)
        return 0;
    const char* p = static_cast<const char*>(data_) + c->offset;
    switch (c->type) {
    case ColType::Id:
    case ColType::Int:
        return *reinterpret_cast<const long*>(p);
    case ColType::Flag:
    case ColType::Count:
        return *reinterpret_cast<const short*>(p);
    case ColType::Amount:
        return static_cast<long>(*reinterpret_cast<const double*>(p));
    case ColType::Code:
    case ColType::Text:
        return std::strtol(p, nullptr, 10);
    case ColType::Date:
        return 0;
    }
    return 0;
}

bool WSITable::GetFieldText(const char* column, char* buffer, int size) {
    const ColumnDesc* c = desc_ ? tavel::db::FindColumn(*desc_, column) : nullptr;
    if (!c || !data_ || !buffer || size <= 0)
        return false;
    const char* p = static_cast<const char*>(data_) + c->offset;
    char text[64];
    switch (c->type) {
    case ColType::Id:
    case ColType::Int:
        std::snprintf(text, sizeof text, "%ld", *reinterpret_cast<const long*>(p));
        break;
    case ColType::Flag:
    case ColType::Count:
        std::snprintf(text, sizeof text, "%d", *reinterpret_cast<const short*>(p));
        break;
    case ColType::Amount:
        std::snprintf(text, sizeof text, "%.15g", *reinterpret_cast<const double*>(p));
        break;
    case ColType::Date: {
        // The framework's text form of a date is month/day/year.
        const WSIDate& d = *reinterpret_cast<const WSIDate*>(p);
        if (d.IsNull())
            text[0] = '\0';
        else
            std::snprintf(text, sizeof text, "%02d/%02d/%04d", d.month, d.day, d.year);
        break;
    }
    case ColType::Code:
    case ColType::Text:
        tavel::db::CopyText(buffer, static_cast<std::size_t>(size), p, strnlen(p, c->width));
        return true;
    }
    tavel::db::CopyText(buffer, static_cast<std::size_t>(size), text, std::strlen(text));
    return true;
}

int WSITable::GetFieldLength(const char* column) {
    const ColumnDesc* c = desc_ ? tavel::db::FindColumn(*desc_, column) : nullptr;
    if (!c)
        return 0;
    if (c->type == ColType::Code || c->type == ColType::Text)
        return c->width;
    return static_cast<int>(tavel::db::ColumnSize(*c));
}

std::vector<unsigned char> WSITable::GetBackupDataStruct() const {
    if (!data_ || !desc_)
        return {};
    const auto* p = static_cast<const unsigned char*>(data_);
    return std::vector<unsigned char>(p, p + desc_->dataSize);
}

void WSITable::RestoreDataStruct(const std::vector<unsigned char>& snapshot) {
    if (data_ && desc_ && snapshot.size() == desc_->dataSize)
        std::memcpy(data_, snapshot.data(), snapshot.size());
}

// ---------------------------------------------------------------------------------------
// Statements without a result set

int WSITable::QExecBVDirect(const char* file, int line, int count, const stBindVarParams* params,
                            WSIDatabase* db, const char* sql, long* rowCount) {
    if (rowCount)
        *rowCount = 0;
    if (!db || !sql)
        return -1;
    if (!db->EnsureWriteTransaction(file, line))
        return SQLITE_BUSY;
    Statement* s = db->Prepare(file, line, sql, params, count);
    if (!s)
        return -1;
    if (db->IsServer()) {
        PGresult* r = db->PgRun(file, line, s, true);
        if (r && rowCount)
            *rowCount = tavel::db::PgRowsChanged(r);
        db->Release(s);
        const int result = r ? 0 : SQLITE_ERROR;
        PQclear(r);
        return result;
    }
    int rc;
    while ((rc = db->Step(file, line, s)) == SQLITE_ROW) {
    }
    if (rc == SQLITE_DONE && rowCount)
        *rowCount = static_cast<long>(sqlite3_changes(db->Handle()));
    db->Release(s);
    return rc == SQLITE_DONE ? 0 : rc;
}

int WSITable::QExecDirect(const char* file, int line, WSIDatabase* db, const char* sql) {
    return QExecBVDirect(file, line, 0, nullptr, db, sql, nullptr);
}

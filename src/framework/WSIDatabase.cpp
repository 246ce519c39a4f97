#include "WSIDatabase.h"

#include "BoundedFormat.h"
#include "Lexer.h"
#include "LogFile.h"
#include "PgConnection.h"
#include "RecordSql.h"
#include "SqliteFunctions.h"
#include "TableRegistry.h"
#include "WalCheckpointer.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

using tavel::db::CacheEntry;
using tavel::db::StatementCache;

WSIDatabase::WSIDatabase() = default;

WSIDatabase::WSIDatabase(const std::string& path) {
    Open(path);
}

WSIDatabase::~WSIDatabase() {
    Close();
}

bool WSIDatabase::Open(const std::string& path) {
    Close();
    path_ = path;
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(path.c_str(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        LogError(__FILE__, __LINE__, "cannot open database",
                 db ? sqlite3_errmsg(db) : path.c_str());
        sqlite3_close(db);
        return false;
    }
    db_ = db;
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busyTimeoutMs_);
    // A misspelt "Column" must be an error, not a text value compared or stored.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // WAL lets readers on other connections go on while one connection writes. FULL sync
    // makes every committed movement survive a power cut, not only the file's consistency.
    // Lists read rows scattered over a large file: mapped, a page costs a memory read
    // instead of a system call (the first GiB; SQLite keeps the rest on plain reads).
    const char* setup = "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; "
                        "PRAGMA foreign_keys=ON; PRAGMA case_sensitive_like=ON; "
                        "PRAGMA mmap_size=1073741824;";
    if (!ExecNative(__FILE__, __LINE__, setup)) {
        Close();
        return false;
    }
    checkpointer_ = std::make_unique<tavel::db::WalCheckpointer>(db_, path);
    rc = RegisterOracleFunctions(db_, [this] { return clock_.Today(); });
    if (rc != SQLITE_OK) {
        LogError(__FILE__, __LINE__, "cannot register SQL functions", sqlite3_errstr(rc));
        Close();
        return false;
    }
    return true;
}

bool WSIDatabase::OpenServer(const std::string& conninfo) {
    Close();
    path_ = conninfo;
    std::string error;
    pg_ = tavel::db::PgConnection::Connect(conninfo, &error);
    if (!pg_) {
        LogError(__FILE__, __LINE__, "cannot connect to the database server", error.c_str());
        lastError_ = error;
        return false;
    }
    SetBusyTimeout(busyTimeoutMs_);
    return true;
}

long WSIDatabase::BackgroundCheckpoints() const {
    return checkpointer_ ? checkpointer_->Checkpoints() : 0;
}

PGconn* WSIDatabase::ServerHandle() const {
    return pg_ ? pg_->Conn() : nullptr;
}

std::string WSIDatabase::LastError() const {
    if (db_)
        return sqlite3_errmsg(db_);
    return lastError_;
}

void WSIDatabase::SetToday(const WSIDate& date) {
    clock_.SetToday(date);
    if (pg_)
        PgSyncToday();
}

void WSIDatabase::PgSyncToday() {
    const WSIDate today = clock_.Today();
    if (todayKnown_ && today == todaySent_)
        return;
    char iso[16];
    tavel::db::FormatIsoDate(today, iso);
    tavel::db::PgValues v;
    v.Push(iso);
    PGresult* r = pg_->ExecParams("SELECT set_config('tavel.today', $1, false)", v);
    if (tavel::db::PgOk(r)) {
        todaySent_ = today;
        todayKnown_ = true;
    } else {
        LogError(__FILE__, __LINE__, "cannot set the session's date",
                 tavel::db::PgError(r).c_str());
    }
    PQclear(r);
}

void WSIDatabase::Close() {
    if (!db_ && !pg_)
        return;
    if (engineTx_)
        ExecSimple("ROLLBACK");
    engineTx_ = false;
    txCount_ = 0;
    lockHolders_ = 0;
    ++generation_;
    cache_.Clear();
    for (auto& [desc, kinds] : native_)
        for (auto& entry : kinds)
            if (entry)
                tavel::db::StatementCache::Orphan(*entry);
    native_.clear();
    pg_.reset();
    todayKnown_ = false;
    checkpointer_.reset();
    // close_v2 waits for statements still checked out by cursors to be finalized.
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

void WSIDatabase::SetBusyTimeout(int ms) {
    busyTimeoutMs_ = ms;
    if (db_)
        sqlite3_busy_timeout(db_, ms);
    if (pg_) {
        // A write that meets another session's row lock waits this long, then fails.
        const std::string sql = "SET lock_timeout = " + std::to_string(ms < 1 ? 1 : ms);
        ExecSimple(sql.c_str());
    }
}

WSIDatabase::CacheStats WSIDatabase::GetCacheStats() const {
    return CacheStats{cache_.Hits(), cache_.Misses(), cache_.Size()};
}

void WSIDatabase::PrepareFailed(const char* file, int line, const char* what, const char* detail) {
    lastError_ = what ? what : "";
    LogError(file, line, what, detail);
}

void WSIDatabase::LogError(const char* file, int line, const char* what, const char* detail) const {
    if (db_) {
        switch (sqlite3_extended_errcode(db_) & 0xff) {
        case SQLITE_FULL:
            storageFailure_ = Storage::Full;
            break;
        case SQLITE_IOERR:
        case SQLITE_CORRUPT:
        case SQLITE_CANTOPEN:
        case SQLITE_READONLY:
        case SQLITE_NOMEM:
        case SQLITE_NOTADB:
            if (storageFailure_ != Storage::Full)
                storageFailure_ = Storage::Failed;
            break;
        default:
            break;
        }
    }
    LogFile log(kErrorLog, true, true);
    log.Log("\tError \tFile: %s \tLine: %d \t%s: %s", file ? file : "?", line, what ? what : "",
            detail ? detail : "");
}

void WSIDatabase::NoteServerFault() {
    // The server's storage failing is told by its SQLSTATE, as SQLite's by its result code.
    const int fault = tavel::db::PgStorageFault(lastState_);
    if (fault == 1)
        storageFailure_ = Storage::Full;
    else if (fault == 2 && storageFailure_ != Storage::Full)
        storageFailure_ = Storage::Failed;
}

// ---------------------------------------------------------------------------------------
// Transactions and the write lock

bool WSIDatabase::ExecSimple(const char* sql) {
    if (pg_) {
        std::string error;
        if (pg_->Exec(sql, &error, &lastState_))
            return true;
        lastError_ = error;
        NoteServerFault();
        LogError(__FILE__, __LINE__, sql, error.c_str());
        return false;
    }
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        LogError(__FILE__, __LINE__, sql, err ? err : sqlite3_errstr(rc));
        sqlite3_free(err);
        return false;
    }
    return true;
}

bool WSIDatabase::BeginImmediate(int timeoutMs) {
    if (pg_) {
        // The stock operations read balances with plain queries and write back what they
        // computed; they are correct when units of work that write do not interleave, as
        // SQLite guarantees with its one writer. A transaction-wide advisory lock gives
        // the server the same order; row locks (FOR UPDATE NOWAIT) still refuse a record
        // that another session holds. Waits at most timeoutMs, as BEGIN IMMEDIATE does.
        // The lock is keyed by schema: two schemas of one server are two databases.
        char sql[256];
        std::snprintf(sql, sizeof sql,
                      "BEGIN; SET LOCAL lock_timeout = %d; SELECT pg_advisory_xact_lock(%d, "
                      "hashtext(current_schema())); "
                      "SET LOCAL lock_timeout = %d",
                      timeoutMs < 1 ? 1 : timeoutMs, kWriterLockKey,
                      busyTimeoutMs_ < 1 ? 1 : busyTimeoutMs_);
        std::string error;
        if (!pg_->Exec(sql, &error)) {
            lastError_ = error;
            if (pg_->InTransaction())
                pg_->Exec("ROLLBACK", nullptr);
            return false;
        }
        engineTx_ = true;
        return true;
    }
    if (timeoutMs != busyTimeoutMs_)
        sqlite3_busy_timeout(db_, timeoutMs);
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (timeoutMs != busyTimeoutMs_)
        sqlite3_busy_timeout(db_, busyTimeoutMs_);
    if (rc != SQLITE_OK)
        return false;
    engineTx_ = true;
    return true;
}

bool WSIDatabase::FinishEngineTransaction(bool commit) {
    bool ok = true;
    if (pg_) {
        if (engineTx_ && pg_->InTransaction()) {
            if (commit && pg_->TransactionFailed()) {
                // COMMIT would quietly roll back: say that the unit of work is lost.
                ExecSimple("ROLLBACK");
                ok = false;
            } else {
                ok = ExecSimple(commit ? "COMMIT" : "ROLLBACK");
                if (!ok && commit)
                    ExecSimple("ROLLBACK");
            }
        } else if (engineTx_ && commit) {
            ok = false;
        }
        // A session setting made in a transaction that did not commit is gone again.
        if (!commit || !ok)
            todayKnown_ = false;
    } else if (engineTx_ && !sqlite3_get_autocommit(db_)) {
        ok = ExecSimple(commit ? "COMMIT" : "ROLLBACK");
        if (!ok && commit) {
            ExecSimple("ROLLBACK");
        }
    } else if (engineTx_ && commit) {
        // SQLite already rolled the transaction back after an error.
        ok = false;
    }
    engineTx_ = false;
    lockHolders_ = 0;
    ++generation_; // every record lock of the transaction is gone
    return ok;
}

bool WSIDatabase::TransactionBegin() {
    if (!IsOpen())
        return false;
    if (txCount_++ > 0 || engineTx_)
        return true;
    storageFailure_ = Storage::Fine;
    if (BeginImmediate(busyTimeoutMs_))
        return true;
    // Writes of this transaction will try again to open it (EnsureWriteTransaction).
    LogError(__FILE__, __LINE__, "BEGIN IMMEDIATE", LastError().c_str());
    return false;
}

bool WSIDatabase::TransactionEnd() {
    if (!IsOpen() || txCount_ == 0)
        return false;
    if (--txCount_ > 0)
        return true;
    if (!engineTx_)
        return true;
    return FinishEngineTransaction(true);
}

bool WSIDatabase::TransactionAbort() {
    if (!IsOpen() || txCount_ == 0)
        return false;
    // An abort ends the whole unit of work: the outer levels' own End or Abort then
    // find nothing open, and an operation that left its inner level open on the way
    // out cannot keep the next unit of work from starting a real transaction.
    txCount_ = 0;
    if (engineTx_)
        return FinishEngineTransaction(false);
    return true;
}

bool WSIDatabase::AcquireRecordLock(const char* file, int line) {
    if (!IsOpen())
        return false;
    if (!engineTx_ && !BeginImmediate(lockTimeoutMs_)) {
        LogError(file, line, "record lock refused", LastError().c_str());
        return false;
    }
    ++lockHolders_;
    return true;
}

bool WSIDatabase::ReleaseRecordLock() {
    if (lockHolders_ > 0)
        --lockHolders_;
    if (lockHolders_ == 0 && txCount_ == 0 && engineTx_)
        return FinishEngineTransaction(true);
    return true;
}

bool WSIDatabase::EnsureWriteTransaction(const char* file, int line) {
    if (!IsOpen())
        return false;
    if (txCount_ == 0 || engineTx_)
        return true;
    if (BeginImmediate(busyTimeoutMs_))
        return true;
    LogError(file, line, "BEGIN IMMEDIATE", LastError().c_str());
    return false;
}

void WSIDatabase::NoteFailure() {
    const bool ended = pg_ ? !pg_->InTransaction() : sqlite3_get_autocommit(db_) != 0;
    if (engineTx_ && ended) {
        // The engine ended the transaction itself (e.g. disk full): nothing is held now.
        engineTx_ = false;
        lockHolders_ = 0;
        ++generation_;
    }
}

// ---------------------------------------------------------------------------------------
// Statements

void WSIDatabase::RefreshHints() {
    unsigned v = tavel::RegistryVersion();
    if (v == hintsVersion_)
        return;
    hintsVersion_ = v;
    hints_ = tavel::RegisteredSchemaHints();
    // Translations depend on the hints.
    cache_.Clear();
}

namespace {

// Bind variable :k: the translator numbers it ?(literals + k); a text that kept :k (no
// rewrite needed) names it.
int BindVariableIndex(sqlite3_stmt* stmt, int k, std::size_t literals) {
    char name[24];
    std::snprintf(name, sizeof name, "?%zu", literals + static_cast<std::size_t>(k));
    int idx = sqlite3_bind_parameter_index(stmt, name);
    if (idx == 0) {
        std::snprintf(name, sizeof name, ":%d", k);
        idx = sqlite3_bind_parameter_index(stmt, name);
    }
    return idx;
}

void BindText(sqlite3_stmt* stmt, int idx, const std::string& text, bool copy) {
    if (text.empty())
        sqlite3_bind_null(stmt, idx);
    else
        sqlite3_bind_text(stmt, idx, text.data(), static_cast<int>(text.size()),
                          copy ? SQLITE_TRANSIENT : SQLITE_STATIC);
}

} // namespace

tavel::db::Statement* WSIDatabase::Prepare(const char* file, int line, const char* sql,
                                           const stBindVarParams* params, int paramCount) {
    if (!IsOpen()) {
        PrepareFailed(file, line, "database not open", sql);
        return nullptr;
    }
    RefreshHints();
    if (pg_)
        PgSyncToday();
    // The connection's own buffers: a cache hit then allocates nothing to find the shape.
    sqldialect::Normalized& norm = norm_;
    try {
        sqldialect::NormalizeInto(sql, norm, false);
    } catch (const sqldialect::TranslateError& e) {
        PrepareFailed(file, line, e.what(), sql);
        return nullptr;
    } catch (const std::exception& e) {
        PrepareFailed(file, line, e.what(), sql);
        return nullptr;
    }
    CacheEntry* entry = cache_.Find(norm.shape);
    if (!entry) {
        sqldialect::Translation tr;
        try {
            // Again with the positions, so that a refusal names the place in the text.
            tr = sqldialect::Translate(
                sqldialect::Normalize(sql),
                pg_ ? sqldialect::Target::PostgreSQL : sqldialect::Target::SQLite, hints_);
        } catch (const sqldialect::TranslateError& e) {
            PrepareFailed(file, line, e.what(), sql);
            return nullptr;
        } catch (const std::exception& e) {
            PrepareFailed(file, line, e.what(), sql);
            return nullptr;
        }
        entry =
            cache_.Insert(norm.shape, std::move(tr.sql), std::move(tr.conversions), tr.returnsRows);
    }
    std::string error;
    Statement* s = pg_ ? StatementCache::CheckoutPg(*pg_, *entry, &error)
                       : StatementCache::Checkout(db_, *entry, &error);
    if (!s) {
        PrepareFailed(file, line, error.c_str(), sql);
        return nullptr;
    }
    if (pg_)
        return PgBind(file, line, s, *entry, params, paramCount) ? s : nullptr;
    sqlite3_stmt* stmt = s->stmt;
    // The statement's previous values come back as buffers for the next statement: its
    // bindings of them are all replaced below.
    s->literals.swap(norm.literals);
    const int count = sqlite3_bind_parameter_count(stmt);
    for (std::size_t i = 0; i < s->literals.size(); ++i) {
        const int idx = static_cast<int>(i) + 1;
        if (idx > count)
            break;
        const sqldialect::Literal& lit = s->literals[i];
        if (i < entry->conversions.size() &&
            entry->conversions[i] == sqldialect::Conversion::MdyDate &&
            lit.kind == sqldialect::Literal::Kind::Text) {
            std::string iso = sqldialect::MdyToIso(lit.text);
            if (iso.empty() && !lit.text.empty()) {
                PrepareFailed(file, line, "not a month/day/year date", lit.text.c_str());
                Release(s);
                return nullptr;
            }
            BindText(stmt, idx, iso, true);
            continue;
        }
        switch (lit.kind) {
        case sqldialect::Literal::Kind::Null:
            sqlite3_bind_null(stmt, idx);
            break;
        case sqldialect::Literal::Kind::Integer:
            sqlite3_bind_int64(stmt, idx, lit.integer);
            break;
        case sqldialect::Literal::Kind::Real:
            sqlite3_bind_double(stmt, idx, lit.real);
            break;
        case sqldialect::Literal::Kind::Text:
            BindText(stmt, idx, lit.text, false);
            break;
        }
    }
    for (int k = 1; k <= paramCount; ++k) {
        const int idx = BindVariableIndex(stmt, k, entry->conversions.size());
        if (idx == 0)
            continue;
        const stBindVarParams& p = params[k - 1];
        switch (p.kind) {
        case stBindVarParams::Kind::Null:
            sqlite3_bind_null(stmt, idx);
            break;
        case stBindVarParams::Kind::Long:
            sqlite3_bind_int64(stmt, idx, p.integer);
            break;
        case stBindVarParams::Kind::Double:
            sqlite3_bind_double(stmt, idx, p.real);
            break;
        case stBindVarParams::Kind::Text:
            // The caller's list may be gone before a cursor steps again.
            BindText(stmt, idx, p.text, true);
            break;
        case stBindVarParams::Kind::Bytes:
            if (p.text.empty())
                sqlite3_bind_null(stmt, idx);
            else
                sqlite3_bind_blob64(stmt, idx, p.text.data(), p.text.size(), SQLITE_TRANSIENT);
            break;
        case stBindVarParams::Kind::Date:
            if (p.date.IsNull()) {
                sqlite3_bind_null(stmt, idx);
            } else {
                char iso[16];
                tavel::db::FormatIsoDate(p.date, iso);
                sqlite3_bind_text(stmt, idx, iso, -1, SQLITE_TRANSIENT);
            }
            break;
        }
    }
    return s;
}

namespace {

// Value j of an execution from a bind variable; NULL stays unset.
void PgBindVariable(const stBindVarParams& p, std::size_t j, tavel::db::PgValues& v) {
    char text[64];
    switch (p.kind) {
    case stBindVarParams::Kind::Null:
        break;
    case stBindVarParams::Kind::Long:
        v.Set(j, std::to_string(p.integer));
        break;
    case stBindVarParams::Kind::Double:
        std::snprintf(text, sizeof text, "%.17g", p.real);
        v.Set(j, text);
        break;
    case stBindVarParams::Kind::Text:
        if (!p.text.empty())
            v.Set(j, p.text);
        break;
    case stBindVarParams::Kind::Bytes:
        // Values travel as text: bytea's hex input form carries every byte.
        if (!p.text.empty())
            v.Set(j, tavel::db::PgByteaText(p.text));
        break;
    case stBindVarParams::Kind::Date:
        if (!p.date.IsNull()) {
            tavel::db::FormatIsoDate(p.date, text);
            v.Set(j, text);
        }
        break;
    }
}

} // namespace

bool WSIDatabase::PgBind(const char* file, int line, Statement* s,
                         const tavel::db::CacheEntry& entry, const stBindVarParams* params,
                         int paramCount) {
    const std::vector<sqldialect::Literal>& literals = norm_.literals;
    const std::size_t literalCount = entry.conversions.size();
    if (entry.pgInline)
        return PgBindInline(file, line, s, entry, params, paramCount);
    // A whole-number parameter cannot take 0.5 (Product > 0.5): this execution compares
    // with the value written in, as SQLite compares the numbers.
    for (std::size_t j = 0; j < literalCount && j < literals.size(); ++j)
        if (literals[j].kind == sqldialect::Literal::Kind::Real && j < entry.pgParamTypes.size() &&
            tavel::db::PgWholeNumberType(entry.pgParamTypes[j]))
            return PgBindInline(file, line, s, entry, params, paramCount);
    s->pgWritten = false;
    tavel::db::PgValues& v = s->pgValues;
    v.Resize(static_cast<std::size_t>(entry.pgParams));
    char text[64];
    for (std::size_t j = 0; j < v.text.size(); ++j) {
        if (j < literalCount) {
            if (j >= literals.size())
                continue;
            const sqldialect::Literal& lit = literals[j];
            switch (lit.kind) {
            case sqldialect::Literal::Kind::Null:
                break;
            case sqldialect::Literal::Kind::Integer:
                v.Set(j, std::to_string(lit.integer));
                break;
            case sqldialect::Literal::Kind::Real:
                std::snprintf(text, sizeof text, "%.17g", lit.real);
                v.Set(j, text);
                break;
            case sqldialect::Literal::Kind::Text:
                if (entry.conversions[j] == sqldialect::Conversion::MdyDate) {
                    std::string iso = sqldialect::MdyToIso(lit.text);
                    if (iso.empty() && !lit.text.empty()) {
                        PrepareFailed(file, line, "not a month/day/year date", lit.text.c_str());
                        Release(s);
                        return false;
                    }
                    if (!iso.empty())
                        v.Set(j, std::move(iso));
                } else if (!lit.text.empty()) {
                    // '' is NULL, as in Oracle.
                    v.Set(j, lit.text);
                }
                break;
            }
            continue;
        }
        const std::size_t k = j - literalCount; // bind variable :k+1
        if (k >= static_cast<std::size_t>(paramCount))
            continue;
        PgBindVariable(params[k], j, v);
    }
    return true;
}

bool WSIDatabase::PgBindInline(const char* file, int line, Statement* s,
                               const tavel::db::CacheEntry& entry, const stBindVarParams* params,
                               int paramCount) {
    const std::vector<sqldialect::Literal>& literals = norm_.literals;
    const std::size_t literalCount = entry.conversions.size();
    std::vector<std::string> written(literalCount, "NULL");
    for (std::size_t j = 0; j < literalCount && j < literals.size(); ++j) {
        const sqldialect::Literal& lit = literals[j];
        if (entry.conversions[j] == sqldialect::Conversion::MdyDate &&
            lit.kind == sqldialect::Literal::Kind::Text) {
            sqldialect::Literal iso;
            iso.kind = sqldialect::Literal::Kind::Text;
            iso.text = sqldialect::MdyToIso(lit.text);
            if (iso.text.empty() && !lit.text.empty()) {
                PrepareFailed(file, line, "not a month/day/year date", lit.text.c_str());
                Release(s);
                return false;
            }
            written[j] = tavel::db::PgLiteralSql(iso);
        } else {
            written[j] = tavel::db::PgLiteralSql(lit);
        }
    }
    s->pgText = tavel::db::PgWriteValues(entry.sql, written);
    s->pgWritten = true;
    // The bind variables keep their values as parameters, now numbered from $1; a
    // prepared entry counts the literals' parameters too.
    const int binds =
        entry.pgInline ? entry.pgParams : entry.pgParams - static_cast<int>(literalCount);
    tavel::db::PgValues& v = s->pgValues;
    v.Resize(static_cast<std::size_t>(std::max(0, binds)));
    s->pgTypes.assign(v.text.size(), 0);
    for (std::size_t k = 0; k < v.text.size() && k < static_cast<std::size_t>(paramCount); ++k) {
        s->pgTypes[k] = tavel::db::PgBindType(params[k].kind);
        PgBindVariable(params[k], k, v);
    }
    return true;
}

PGresult* WSIDatabase::PgRun(const char* file, int line, Statement* s, bool guarded) {
    return PgRunNative(file, line, s, s->pgValues, guarded);
}

PGresult* WSIDatabase::PgRunNative(const char* file, int line, Statement* s,
                                   const tavel::db::PgValues& values, bool guarded, bool binary) {
    // A failed statement breaks the server's transaction; under a savepoint only the
    // statement is undone, as SQLite does.
    const bool savepoint = guarded && engineTx_ && pg_->InTransaction();
    const bool inline_ = s->pgWritten;
    PGresult* r = inline_ ? pg_->ExecText(s->pgText, values, s->pgTypes, binary, savepoint)
                          : pg_->ExecPrepared(s->pgName, values, binary, savepoint);
    if (tavel::db::PgOk(r))
        return r;
    lastError_ = tavel::db::PgError(r);
    lastState_ = tavel::db::PgState(r);
    NoteServerFault();
    PQclear(r);
    LogError(file, line, lastError_.c_str(),
             inline_    ? s->pgText.c_str()
             : s->entry ? s->entry->sql.c_str()
                        : s->pgName.c_str());
    NoteFailure();
    return nullptr;
}

void WSIDatabase::PgAdvanceIdentity(const TableDesc& table, const ColumnDesc& id, long value) {
    tavel::db::PgValues v;
    v.Push(tavel::db::PgFold(table.name));
    v.Push(id.name);
    v.Push(std::to_string(value));
    // Not transactional: the counter never goes back below an id that was written.
    PGresult* r = pg_->ExecParams("SELECT setval(s, GREATEST(CAST($3 AS bigint), nextval(s) - 1)) "
                                  "FROM pg_get_serial_sequence($1, $2) AS s WHERE s IS NOT NULL",
                                  v);
    if (!tavel::db::PgOk(r))
        LogError(__FILE__, __LINE__, "cannot move the id counter", tavel::db::PgError(r).c_str());
    PQclear(r);
}

tavel::db::Statement* WSIDatabase::PrepareNative(const char* file, int line, const TableDesc* desc,
                                                 NativeKind kind) {
    if (!IsOpen()) {
        LogError(file, line, "database not open", desc ? desc->name : "AUDITHIS");
        return nullptr;
    }
    auto& slot = native_[desc][static_cast<std::size_t>(kind)];
    if (!slot) {
        slot = std::make_unique<CacheEntry>();
        switch (kind) {
        case NativeKind::SelectKey:
            slot->sql = tavel::db::SelectByKeySql(*desc);
            break;
        case NativeKind::SelectKeyLock:
            slot->sql = tavel::db::SelectByKeySql(*desc);
            // Another session's lock refuses at once (SQLSTATE 55P03) instead of waiting.
            if (pg_)
                slot->sql += " FOR UPDATE NOWAIT";
            break;
        case NativeKind::InsertAutoId:
            if (pg_)
                slot->sql = tavel::db::PgInsertAutoIdSql(*desc, *tavel::db::AutoIdColumn(*desc));
            else
                slot->sql = tavel::db::InsertSql(*desc);
            break;
        case NativeKind::SelectAll:
            slot->sql = tavel::db::SelectAllSql(*desc);
            break;
        case NativeKind::Insert:
            slot->sql = tavel::db::InsertSql(*desc);
            break;
        case NativeKind::Update:
            slot->sql = tavel::db::UpdateSql(*desc);
            break;
        case NativeKind::Delete:
            slot->sql = tavel::db::DeleteSql(*desc);
            break;
        case NativeKind::AuditInsert:
            slot->sql = "INSERT INTO AUDITHIS (\"User\", \"Date\") VALUES (?1, ?2)";
            break;
        case NativeKind::Count:
            break;
        }
        if (pg_ && kind == NativeKind::AuditInsert)
            slot->sql =
                "INSERT INTO AUDITHIS (\"User\", \"Date\") VALUES ($1, $2) RETURNING \"Audit\"";
        else if (pg_ && kind != NativeKind::InsertAutoId)
            slot->sql = tavel::db::PgParams(slot->sql);
        slot->key = slot->sql;
    }
    std::string error;
    Statement* s = pg_ ? StatementCache::CheckoutPg(*pg_, *slot, &error)
                       : StatementCache::Checkout(db_, *slot, &error);
    if (!s) {
        LogError(file, line, error.c_str(), slot->sql.c_str());
        // Let a later call try again (e.g. after the table was created).
        if (slot->pool.empty())
            slot.reset();
    }
    return s;
}

int WSIDatabase::Step(const char* file, int line, Statement* s) {
    if (pg_) {
        // Rows were fetched by PgRun; a step hands them out one by one.
        if (!s->pgExecuted) {
            s->pgExecuted = true;
            s->pgRow = 0;
            s->pgResult = PgRun(file, line, s, !s->entry || !s->entry->returnsRows);
            if (!s->pgResult)
                return SQLITE_ERROR;
        }
        if (s->pgResult && s->pgRow < PQntuples(s->pgResult))
            return SQLITE_ROW;
        return SQLITE_DONE;
    }
    int rc = sqlite3_step(s->stmt);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE)
        return rc;
    char* expanded = sqlite3_expanded_sql(s->stmt);
    LogError(file, line, sqlite3_errmsg(db_), expanded ? expanded : sqlite3_sql(s->stmt));
    sqlite3_free(expanded);
    sqlite3_reset(s->stmt);
    NoteFailure();
    return rc;
}

// ---------------------------------------------------------------------------------------
// Queries

std::unique_ptr<WSITable> WSIDatabase::Query(const char* file, int line, const char* format,
                                             WSIResult result, ...) {
    // Select lists of whole rows make these longer than the module's 1024-byte buffers.
    char sql[8192];
    va_list args;
    va_start(args, result);
    VFormatBounded(line, file, sql, sizeof sql, format, args);
    va_end(args);
    std::unique_ptr<WSITable> cursor(new WSITable(this, result));
    cursor->Open(file, line, sql, nullptr, 0);
    return cursor;
}

std::unique_ptr<WSITable> WSIDatabase::QueryBV(const char* file, int line, const char* sql,
                                               WSIResult result,
                                               const WSIBVParametersInfo& bindVars) {
    std::unique_ptr<WSITable> cursor(new WSITable(this, result));
    cursor->Open(file, line, sql, bindVars.Params(), bindVars.Count());
    return cursor;
}

bool WSIDatabase::ExecNative(const char* file, int line, const char* sql) {
    if (!IsOpen()) {
        LogError(file, line, "database not open", sql);
        return false;
    }
    if (pg_) {
        std::string error;
        if (pg_->Exec(sql, &error))
            return true;
        lastError_ = error;
        LogError(file, line, error.c_str(), sql);
        NoteFailure();
        return false;
    }
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        LogError(file, line, err ? err : sqlite3_errstr(rc), sql);
        sqlite3_free(err);
        NoteFailure();
        return false;
    }
    return true;
}

bool WSIDatabase::CreateTable(const TableDesc& table) {
    const std::string sql = pg_ ? tavel::db::PgCreateTableSql(table) : CreateTableSql(table);
    return ExecNative(__FILE__, __LINE__, sql.c_str());
}

bool WSIDatabase::QueryNative(const char* sql, const std::vector<std::string>& params,
                              std::vector<std::vector<std::string>>& rows, std::string* error,
                              const char* nullText) {
    rows.clear();
    if (!IsOpen()) {
        if (error)
            *error = "database not open";
        return false;
    }
    if (pg_) {
        tavel::db::PgValues v;
        for (const std::string& p : params)
            v.Push(p);
        PGresult* r = pg_->ExecParams(sql, v);
        const bool ok = tavel::db::PgOk(r);
        if (!ok && error)
            *error = tavel::db::PgError(r);
        // The text of a row is the same on both engines.
        for (int i = 0; ok && i < PQntuples(r); ++i) {
            auto& row = rows.emplace_back();
            for (int c = 0; c < PQnfields(r); ++c)
                row.push_back(tavel::db::PgCellText(r, i, c, nullText));
        }
        PQclear(r);
        if (!ok)
            NoteFailure();
        return ok;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        if (error)
            *error = sqlite3_errmsg(db_);
        sqlite3_finalize(stmt);
        return false;
    }
    for (std::size_t i = 0; i < params.size(); ++i)
        sqlite3_bind_text(stmt, static_cast<int>(i) + 1, params[i].c_str(), -1, SQLITE_TRANSIENT);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        auto& row = rows.emplace_back();
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const unsigned char* t = sqlite3_column_text(stmt, c);
            row.emplace_back(t ? reinterpret_cast<const char*>(t) : nullText);
        }
    }
    const bool ok = rc == SQLITE_DONE;
    if (!ok && error)
        *error = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    return ok;
}

namespace {

// A statement of the cache, given back however the caller leaves.
class CheckedOut {
public:
    explicit CheckedOut(tavel::db::Statement* s) : s_(s) {}
    ~CheckedOut() {
        if (s_)
            StatementCache::Release(s_);
    }
    CheckedOut(const CheckedOut&) = delete;
    CheckedOut& operator=(const CheckedOut&) = delete;
    tavel::db::Statement* get() const { return s_; }

private:
    tavel::db::Statement* s_;
};

struct ResultFree {
    void operator()(PGresult* r) const { PQclear(r); }
};
using PgResultPtr = std::unique_ptr<PGresult, ResultFree>;

} // namespace

bool WSIDatabase::QueryBytes(const char* file, int line, const char* sql,
                             const WSIBVParametersInfo& bindVars, std::string& bytes) {
    bytes.clear();
    CheckedOut s(Prepare(file, line, sql, bindVars.Params(), bindVars.Count()));
    if (!s.get())
        return false;
    if (pg_) {
        // Binary form: a bytea arrives as its bytes, not as escaped text.
        PgResultPtr r(PgRunNative(file, line, s.get(), s.get()->pgValues, false, true));
        if (!r || PQntuples(r.get()) < 1 || PQnfields(r.get()) < 1 || PQgetisnull(r.get(), 0, 0))
            return false;
        bytes.assign(PQgetvalue(r.get(), 0, 0),
                     static_cast<std::size_t>(PQgetlength(r.get(), 0, 0)));
        return true;
    }
    sqlite3_stmt* stmt = s.get()->stmt;
    if (Step(file, line, s.get()) != SQLITE_ROW || sqlite3_column_count(stmt) < 1 ||
        sqlite3_column_type(stmt, 0) == SQLITE_NULL)
        return false;
    // blob before bytes: the length is that of the form just asked for.
    const void* p = sqlite3_column_blob(stmt, 0);
    const int n = sqlite3_column_bytes(stmt, 0);
    if (p && n > 0)
        bytes.assign(static_cast<const char*>(p), static_cast<std::size_t>(n));
    return true;
}

bool WSIDatabase::QueryText(const char* file, int line, const char* sql,
                            const WSIBVParametersInfo& bindVars, TextResult& result,
                            std::string* error) {
    result = TextResult{};
    auto failed = [&](const std::string& message) {
        if (error)
            *error = message;
        return false;
    };
    if (!EnsureWriteTransaction(file, line))
        return failed(LastError());
    CheckedOut s(Prepare(file, line, sql, bindVars.Params(), bindVars.Count()));
    if (!s.get())
        return failed(lastError_);
    result.ran = true;
    if (pg_) {
        const bool rows = s.get()->entry && s.get()->entry->returnsRows;
        PgResultPtr r(PgRun(file, line, s.get(), !rows));
        if (!r)
            return failed(lastError_);
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK) {
            result.changed = tavel::db::PgRowsChanged(r.get());
            return true;
        }
        // The server folds unquoted names to lower case where Oracle (and the text of the
        // statement) has them in upper case.
        for (int c = 0; c < PQnfields(r.get()); ++c) {
            std::string& name = result.columns.emplace_back(PQfname(r.get(), c));
            if (name.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos)
                for (char& ch : name)
                    if (ch >= 'a' && ch <= 'z')
                        ch = static_cast<char>(ch - 'a' + 'A');
        }
        for (int i = 0; i < PQntuples(r.get()); ++i) {
            auto& row = result.rows.emplace_back();
            for (int c = 0; c < PQnfields(r.get()); ++c)
                row.push_back(tavel::db::PgCellText(r.get(), i, c, ""));
        }
        return true;
    }
    sqlite3_stmt* stmt = s.get()->stmt;
    const int columns = sqlite3_column_count(stmt);
    for (int c = 0; c < columns; ++c)
        result.columns.emplace_back(sqlite3_column_name(stmt, c));
    int rc;
    while ((rc = Step(file, line, s.get())) == SQLITE_ROW) {
        auto& row = result.rows.emplace_back();
        for (int c = 0; c < columns; ++c) {
            const char* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            row.emplace_back(
                t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)))
                  : std::string());
        }
    }
    if (rc != SQLITE_DONE)
        return failed(sqlite3_errmsg(db_));
    if (columns == 0)
        result.changed = static_cast<long>(sqlite3_changes(db_));
    return true;
}

const char* WSIDatabase::GetTableColumns(int line, const char* file, const char* table,
                                         const char* alias) {
    if (unsigned v = tavel::RegistryVersion(); v != columnListsVersion_) {
        // Lists handed out earlier were used by their callers already.
        columnLists_.clear();
        columnListsVersion_ = v;
    }
    std::string key = table ? table : "";
    key += '\x1f';
    if (alias)
        key += alias;
    auto it = columnLists_.find(key);
    if (it != columnLists_.end())
        return it->second.c_str();
    const TableDesc* desc = table ? FindTableDesc(table) : nullptr;
    if (!desc) {
        LogError(file, line, "no column list for table", table ? table : "(null)");
        return "";
    }
    std::string list;
    for (std::size_t i = 0; i < desc->count; ++i) {
        if (i)
            list += ", ";
        if (alias && *alias) {
            list += alias;
            list += '.';
        }
        // On a server upper-case names are the folded ones, which Oracle writes either way.
        const char* name = desc->columns[i].name;
        bool upper = pg_ != nullptr;
        for (const char* c = name; upper && *c; ++c)
            upper = !(*c >= 'a' && *c <= 'z');
        if (upper) {
            list += name;
        } else {
            list += '"';
            list += name;
            list += '"';
        }
    }
    return columnLists_.emplace(std::move(key), std::move(list)).first->second.c_str();
}

#include "WSIDatabase.h"

#include "BoundedFormat.h"
#include "Lexer.h"
#include "LogFile.h"
#include "RecordSql.h"
#include "SqliteFunctions.h"
#include "TableRegistry.h"

#include <sqlite3.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

using tavel::db::CacheEntry;
using tavel::db::StatementCache;

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
    const char* setup = "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; "
                        "PRAGMA foreign_keys=ON; PRAGMA case_sensitive_like=ON;";
    if (!ExecNative(__FILE__, __LINE__, setup)) {
        Close();
        return false;
    }
    rc = RegisterOracleFunctions(db_, [this] { return clock_.Today(); });
    if (rc != SQLITE_OK) {
        LogError(__FILE__, __LINE__, "cannot register SQL functions", sqlite3_errstr(rc));
        Close();
        return false;
    }
    return true;
}

void WSIDatabase::Close() {
    if (!db_)
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
    // close_v2 waits for statements still checked out by cursors to be finalized.
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void WSIDatabase::SetBusyTimeout(int ms) {
    busyTimeoutMs_ = ms;
    if (db_)
        sqlite3_busy_timeout(db_, ms);
}

WSIDatabase::CacheStats WSIDatabase::GetCacheStats() const {
    return CacheStats{cache_.Hits(), cache_.Misses(), cache_.Size()};
}

void WSIDatabase::LogError(const char* file, int line, const char* what, const char* detail) const {
    LogFile log(kErrorLog, true, true);
    log.Log("\tError \tFile: %s \tLine: %d \t%s: %s", file ? file : "?", line, what ? what : "",
            detail ? detail : "");
}

// ---------------------------------------------------------------------------------------
// Transactions and the write lock

bool WSIDatabase::ExecSimple(const char* sql) {
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
    if (engineTx_ && !sqlite3_get_autocommit(db_)) {
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
    if (!db_)
        return false;
    if (txCount_++ > 0 || engineTx_)
        return true;
    if (BeginImmediate(busyTimeoutMs_))
        return true;
    // Writes of this transaction will try again to open it (EnsureWriteTransaction).
    LogError(__FILE__, __LINE__, "BEGIN IMMEDIATE", sqlite3_errmsg(db_));
    return false;
}

bool WSIDatabase::TransactionEnd() {
    if (!db_ || txCount_ == 0)
        return false;
    if (--txCount_ > 0)
        return true;
    if (!engineTx_)
        return true;
    return FinishEngineTransaction(true);
}

bool WSIDatabase::TransactionAbort() {
    if (!db_ || txCount_ == 0)
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
    if (!db_)
        return false;
    if (!engineTx_ && !BeginImmediate(lockTimeoutMs_)) {
        LogError(file, line, "record lock refused", sqlite3_errmsg(db_));
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
    if (!db_)
        return false;
    if (txCount_ == 0 || engineTx_)
        return true;
    if (BeginImmediate(busyTimeoutMs_))
        return true;
    LogError(file, line, "BEGIN IMMEDIATE", sqlite3_errmsg(db_));
    return false;
}

void WSIDatabase::NoteFailure() {
    if (engineTx_ && sqlite3_get_autocommit(db_)) {
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
    hints_.dateColumns = tavel::RegisteredDateColumns();
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
    if (!db_) {
        LogError(file, line, "database not open", sql);
        return nullptr;
    }
    RefreshHints();
    // The connection's own buffers: a cache hit then allocates nothing to find the shape.
    sqldialect::Normalized& norm = norm_;
    try {
        sqldialect::NormalizeInto(sql, norm, false);
    } catch (const sqldialect::TranslateError& e) {
        LogError(file, line, e.what(), sql);
        return nullptr;
    } catch (const std::exception& e) {
        LogError(file, line, e.what(), sql);
        return nullptr;
    }
    CacheEntry* entry = cache_.Find(norm.shape);
    if (!entry) {
        sqldialect::Translation tr;
        try {
            // Again with the positions, so that a refusal names the place in the text.
            tr = sqldialect::Translate(sqldialect::Normalize(sql), sqldialect::Target::SQLite,
                                       hints_);
        } catch (const sqldialect::TranslateError& e) {
            LogError(file, line, e.what(), sql);
            return nullptr;
        } catch (const std::exception& e) {
            LogError(file, line, e.what(), sql);
            return nullptr;
        }
        entry =
            cache_.Insert(norm.shape, std::move(tr.sql), std::move(tr.conversions), tr.returnsRows);
    }
    std::string error;
    Statement* s = StatementCache::Checkout(db_, *entry, &error);
    if (!s) {
        LogError(file, line, error.c_str(), sql);
        return nullptr;
    }
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
                LogError(file, line, "not a month/day/year date", lit.text.c_str());
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

tavel::db::Statement* WSIDatabase::PrepareNative(const char* file, int line, const TableDesc* desc,
                                                 NativeKind kind) {
    if (!db_) {
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
        slot->key = slot->sql;
    }
    std::string error;
    Statement* s = StatementCache::Checkout(db_, *slot, &error);
    if (!s) {
        LogError(file, line, error.c_str(), slot->sql.c_str());
        // Let a later call try again (e.g. after the table was created).
        if (slot->pool.empty())
            slot.reset();
    }
    return s;
}

int WSIDatabase::Step(const char* file, int line, Statement* s) {
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
    if (!db_) {
        LogError(file, line, "database not open", sql);
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
    return ExecNative(__FILE__, __LINE__, CreateTableSql(table).c_str());
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
        list += '"';
        list += desc->columns[i].name;
        list += '"';
    }
    return columnLists_.emplace(std::move(key), std::move(list)).first->second.c_str();
}

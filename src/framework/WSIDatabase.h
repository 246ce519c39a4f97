#pragma once

// WSIDatabase: one connection to the SQLite database file, the statement cache, the
// nested transaction count and the record write lock.
//
// Every statement text the module writes is in the Oracle dialect. It is normalised
// (literal values taken out), looked up in the cache by its shape, translated on a miss,
// prepared once and then bound and stepped. Failures are written to
// "Database_Error_Log.txt" with the caller's file and line and come back as false, an
// empty fetch or a non-zero result; nothing is thrown.
//
// Locks: SQLite has one writer per database file, so a record lock (GetEqual with lock
// 1) is the database's write lock. When no transaction is open, taking it opens the write
// transaction, which the record's UpdateDB, DeleteDB or ReleaseLock commits. Inside a
// transaction the lock is held until the outermost TransactionEnd or any TransactionAbort.
// Another connection's lock attempt waits at most the lock timeout and then fails.
//
// PostgreSQL (OpenServer): the same statements, translated for PostgreSQL and prepared
// once per shape on the server. The outermost TransactionBegin is BEGIN; a record lock is
// the row's own lock (SELECT ... FOR UPDATE NOWAIT), so a row locked by another session
// gives false at once. Writes inside a transaction run under a savepoint, so that a
// refused write leaves the unit of work usable as it does on SQLite. TRUNC(SYSDATE) reads
// the connection's clock through the session setting tavel.today.

#include "Clock.h"
#include "Dialect.h"
#include "Record.h"
#include "StatementCache.h"
#include "WSITable.h"

#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;
typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;
namespace tavel::db {
class PgConnection;
class WalCheckpointer;
struct PgValues;
} // namespace tavel::db

namespace tavel::db {
// Statements derived from descriptors; SQLite text, so they skip the translator.
enum class NativeKind : int {
    SelectKey,
    SelectKeyLock,
    SelectAll,
    Insert,
    InsertAutoId,
    Update,
    Delete,
    AuditInsert,
    Count
};
} // namespace tavel::db

class WSIDatabase {
public:
    // Engine numbers of DBEngineToUse. Only engine 1 needs a row re-read after an insert
    // to learn its assigned values; the SQLite service writes assigned ids back itself.
    static constexpr int kEngineSQLite = 3;
    static constexpr int kEnginePostgreSQL = 4;

    static constexpr int kDefaultBusyTimeoutMs = 5000;
    // The advisory lock that orders writing units of work on a server.
    static constexpr int kWriterLockKey = 0x7461;
    static constexpr int kDefaultLockTimeoutMs = 200;
    static constexpr const char* kErrorLog = "Database_Error_Log.txt";

    WSIDatabase();
    // Opens (creating when missing) the database file; check IsOpen().
    explicit WSIDatabase(const std::string& path);
    ~WSIDatabase();
    WSIDatabase(const WSIDatabase&) = delete;
    WSIDatabase& operator=(const WSIDatabase&) = delete;

    // WAL journal, foreign keys on, case-sensitive LIKE, busy timeout, the Oracle function
    // set. Returns false (and logs) when the file cannot be opened.
    bool Open(const std::string& path);
    // Rolls back an open transaction and closes the file. Cursors must be deleted first.
    void Close();
    // Connects to a PostgreSQL server (libpq connection string); check IsOpen().
    bool OpenServer(const std::string& conninfo);
    bool IsOpen() const { return db_ != nullptr || pg_ != nullptr; }
    // Whether the connection is to a PostgreSQL server.
    bool IsServer() const { return pg_ != nullptr; }
    // The file path, or the connection string.
    const std::string& Path() const { return path_; }
    // The underlying SQLite connection, for schema creation (sequences, pragmas); null
    // on a server connection.
    sqlite3* Handle() const { return db_; }
    // The server connection; null on SQLite.
    PGconn* ServerHandle() const;
    // How often the file's write-ahead log has been copied back off the writer's path (a
    // thread of the connection's own); 0 on a server.
    long BackgroundCheckpoints() const;

    int DBEngineToUse() const { return pg_ ? kEnginePostgreSQL : kEngineSQLite; }

    // Transactions nest by count: the outermost begin opens the write transaction
    // (BEGIN IMMEDIATE), only the outermost end commits, any abort rolls back everything
    // since the outermost begin and closes every level (later ends and aborts find none).
    // False when the engine refused (busy past the timeout, commit failed). A refused
    // begin still counts, so every begin is paired with an end or an abort; the writes of
    // the unit then try to open the engine's transaction themselves and fail if they can't.
    bool TransactionBegin();
    bool TransactionEnd();
    bool TransactionAbort();
    int TransactionLevel() const { return txCount_; }
    // Whether the write transaction (and with it the write lock) is held.
    bool HoldsWriteLock() const { return engineTx_; }

    // Today's date from the connection's clock (the system date unless set).
    void GetCurrentDate(WSIDate& date) const { date = clock_.Today(); }
    WSIDate Today() const { return clock_.Today(); }
    void SetToday(const WSIDate& date);

    // The signed-in user, set by the host; AddAuditEntry stamps it.
    void SetCurrentUser(long user) { user_ = user; }
    long GetCurrentUser() const { return user_; }

    // The column list of a registered table or view for a select list written "%s":
    // "Col1", "Col2", ... or, with an alias, A."Col1", A."Col2", ... Empty (and logged)
    // for an unknown name. The text stays valid while the connection lives.
    const char* GetTableColumns(int line, const char* file, const char* table,
                                const char* alias = nullptr);

    // Formats the statement (printf-style, bounded) and returns a cursor over it whose
    // rows fill `result`; fetch with GetFirst / GetNext, then delete it. Never null: a
    // failed statement gives a cursor that fetches nothing.
    std::unique_ptr<WSITable> Query(const char* file, int line, const char* format,
                                    WSIResult result, ...) __attribute__((format(printf, 4, 6)));
    // The same over a statement with bind variables :1, :2, ...
    std::unique_ptr<WSITable> QueryBV(const char* file, int line, const char* sql, WSIResult result,
                                      const WSIBVParametersInfo& bindVars);

    // Runs the engine's own SQL as it stands (schema creation); several statements allowed.
    bool ExecNative(const char* file, int line, const char* sql);
    // Runs the engine's own query with text parameters (?1 / $1) and returns every row as
    // text ("" for NULL unless nullText is given). False (and *error) when it fails.
    bool QueryNative(const char* sql, const std::vector<std::string>& params,
                     std::vector<std::vector<std::string>>& rows, std::string* error = nullptr,
                     const char* nullText = "");
    // Runs a query (the module's dialect, bind variables :1, :2, ...) and puts the first
    // column of its first row into `bytes` exactly as stored: a blob (bytea on a server)
    // comes back byte for byte, zero and high bytes included. False, with `bytes` empty,
    // when there is no row, the value is NULL or the statement failed (logged). Bytes are
    // written with WSIBVParametersInfo::AddBytes.
    bool QueryBytes(const char* file, int line, const char* sql,
                    const WSIBVParametersInfo& bindVars, std::string& bytes);

    // A statement's whole result as text, the same on both engines.
    struct TextResult {
        std::vector<std::string> columns; // none for a statement without a result set
        // Each cell as SQLite gives the value as text; NULL is "".
        std::vector<std::vector<std::string>> rows;
        long changed = 0; // rows written by a statement without a result set
        bool ran = false; // the engine accepted the statement: a failure came while it ran
    };
    // Runs one statement of the module's dialect (as Query / QExecBVDirect do) and gives
    // its result as text. False when it fails (logged), the engine's message in *error.
    bool QueryText(const char* file, int line, const char* sql, const WSIBVParametersInfo& bindVars,
                   TextResult& result, std::string* error = nullptr);

    // The last error message of the engine.
    std::string LastError() const;
    // CREATE TABLE from the descriptors (CreateTableSql, or its PostgreSQL form).
    bool CreateTable(const TableDesc& table);

    // How long TransactionBegin and writes wait for another connection's write
    // transaction, and how long a record lock attempt waits.
    void SetBusyTimeout(int ms);
    int BusyTimeout() const { return busyTimeoutMs_; }
    void SetLockTimeout(int ms) { lockTimeoutMs_ = ms; }

    // Statement cache: hits and misses count look-ups of statement shapes.
    struct CacheStats {
        unsigned long hits = 0;
        unsigned long misses = 0;
        std::size_t entries = 0;
    };
    CacheStats GetCacheStats() const;
    void SetCacheCapacity(std::size_t entries) { cache_.SetCapacity(entries); }
    void ClearStatementCache() { cache_.Clear(); }

    // Appends one line naming file and line to the error log, and keeps what kind of
    // failure the engine reported, for StorageFailure.
    void LogError(const char* file, int line, const char* what, const char* detail) const;

    // The kind of the last failure logged since the outermost TransactionBegin: a table
    // write that failed below the rules (an I/O error, a full disk) is no rule's refusal
    // and must be told to the user as what it is.
    enum class Storage { Fine, Failed, Full };
    Storage StorageFailure() const { return storageFailure_; }

private:
    friend class WSITable;
    using Statement = tavel::db::Statement;

    // An Oracle-dialect statement, translated through the cache and bound; null on
    // failure (logged).
    Statement* Prepare(const char* file, int line, const char* sql, const stBindVarParams* params,
                       int paramCount);
    // Logs a statement that could not be made ready and keeps its message for LastError
    // on a server and for QueryText on both engines.
    void PrepareFailed(const char* file, int line, const char* what, const char* detail);
    using NativeKind = tavel::db::NativeKind;
    Statement* PrepareNative(const char* file, int line, const TableDesc* desc, NativeKind kind);
    void Release(Statement* s) { tavel::db::StatementCache::Release(s); }
    // Steps; SQLITE_ROW / SQLITE_DONE, else logs and returns the error code.
    int Step(const char* file, int line, Statement* s);

    // The write lock for a record: opens the write transaction when none is open,
    // waiting at most the lock timeout.
    bool AcquireRecordLock(const char* file, int line);
    // A record let go of its lock; commits the transaction it opened when no other record
    // holds a lock and no counted transaction is open.
    bool ReleaseRecordLock();
    // Inside a counted transaction, writes run in the engine's transaction: opens it when
    // an earlier abort or a refused begin left it closed.
    bool EnsureWriteTransaction(const char* file, int line);
    unsigned long LockGeneration() const { return generation_; }
    // After a failed statement: SQLite may have rolled the whole transaction back.
    void NoteFailure();

    // PostgreSQL: runs a prepared statement of the cache with its values; under a
    // savepoint when a transaction is open and `guarded`. Null result on failure (logged).
    PGresult* PgRun(const char* file, int line, Statement* s, bool guarded);
    PGresult* PgRunNative(const char* file, int line, Statement* s,
                          const tavel::db::PgValues& values, bool guarded, bool binary = false);
    // Puts the literal values and bind variables of a translated statement into its
    // text values ($1..$L literals, then the bind variables).
    bool PgBind(const char* file, int line, Statement* s, const tavel::db::CacheEntry& entry,
                const stBindVarParams* params, int paramCount);
    // The same with the literal values written into the text: a shape the server could not
    // type, or a real value where the server chose a whole-number parameter.
    bool PgBindInline(const char* file, int line, Statement* s, const tavel::db::CacheEntry& entry,
                      const stBindVarParams* params, int paramCount);
    // Sends the clock's date to the session when it changed.
    void PgSyncToday();
    // After an insert with an explicit id: the server's counter moves past it.
    void PgAdvanceIdentity(const TableDesc& table, const ColumnDesc& id, long value);

    bool BeginImmediate(int timeoutMs);
    bool FinishEngineTransaction(bool commit);
    bool ExecSimple(const char* sql);
    void RefreshHints();

    sqlite3* db_ = nullptr;
    std::unique_ptr<tavel::db::PgConnection> pg_;
    std::unique_ptr<tavel::db::WalCheckpointer> checkpointer_;
    WSIDate todaySent_; // the date the server session holds as tavel.today
    bool todayKnown_ = false;
    std::string lastError_;
    mutable Storage storageFailure_ = Storage::Fine;
    std::string lastState_; // SQLSTATE of the last failed server statement
    // Keeps a storage fault that lastState_ names, for StorageFailure.
    void NoteServerFault();
    std::string path_;
    tavel::Clock clock_;
    long user_ = 0;
    int busyTimeoutMs_ = kDefaultBusyTimeoutMs;
    int lockTimeoutMs_ = kDefaultLockTimeoutMs;

    int txCount_ = 0;
    bool engineTx_ = false;
    int lockHolders_ = 0;
    unsigned long generation_ = 1;

    tavel::db::StatementCache cache_;
    sqldialect::SchemaHints hints_;
    sqldialect::Normalized norm_; // Prepare's buffers, kept for their capacity
    unsigned hintsVersion_ = 0;
    std::unordered_map<std::string, std::string> columnLists_;
    unsigned columnListsVersion_ = 0;
    std::unordered_map<const TableDesc*, std::array<std::unique_ptr<tavel::db::CacheEntry>,
                                                    static_cast<std::size_t>(NativeKind::Count)>>
        native_;
};

// Scoped unit of work: begins on construction and aborts on destruction unless Commit
// (or Abort) was called, so that an exception leaves nothing half written.
class TransactionGuard {
public:
    explicit TransactionGuard(WSIDatabase* db) : db_(db) {
        if (db_)
            began_ = db_->TransactionBegin();
    }
    ~TransactionGuard() {
        if (db_ && !finished_)
            db_->TransactionAbort();
    }
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    // Whether the engine accepted the begin.
    bool Began() const { return began_; }
    bool Commit() { return Finish(true); }
    bool Abort() { return Finish(false); }

private:
    bool Finish(bool commit) {
        if (!db_ || finished_)
            return false;
        finished_ = true;
        return commit ? db_->TransactionEnd() : db_->TransactionAbort();
    }

    WSIDatabase* db_;
    bool began_ = false;
    bool finished_ = false;
};

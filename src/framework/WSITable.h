#pragma once

// WSITable: a table record (one row of a table, described by its TableDesc, held in
// the record class's WSIData) and a query cursor (each fetched row fills a result
// buffer). The service throws nothing: failures come back as false, an empty fetch or
// a non-zero statement result, and are written to "Database_Error_Log.txt".

#include "Record.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class WSIDatabase;
class WSITable;

// 0: plain read; 1: read and hold the record's write lock.
using DBILockType = int;
inline constexpr DBILockType dbiNOLOCK = 0;
inline constexpr DBILockType dbiWRITELOCK = 1;

// Accepted for the write operations' signatures; rows carry no time stamps here.
using eTimeStampState = int;

// Where the columns of a fetched row go. Built implicitly from the destination:
//   long, int, short, double, WSIDate pointers and char arrays take the first column;
//   a record (WSITable) or a TableDesc with a buffer takes the columns in select order.
// NULL reads as 0, "" or the null date; text longer than the buffer is cut.
class WSIResult {
public:
    enum class Kind : unsigned char { None, Long, Int, Short, Double, Date, Text, Row };

    WSIResult() = default;
    WSIResult(long* v) : kind_(Kind::Long), target_(v) {}
    WSIResult(int* v) : kind_(Kind::Int), target_(v) {}
    WSIResult(short* v) : kind_(Kind::Short), target_(v) {}
    WSIResult(double* v) : kind_(Kind::Double), target_(v) {}
    WSIResult(WSIDate* v) : kind_(Kind::Date), target_(v) {}
    template <std::size_t N>
    WSIResult(char (&buf)[N]) : kind_(Kind::Text), target_(buf), size_(N) {}
    // A text buffer of size bytes (terminator included).
    WSIResult(char* buf, std::size_t size) : kind_(Kind::Text), target_(buf), size_(size) {}
    // A row laid out by desc (a table, a view, or an ad hoc struct described with TVL_COL).
    WSIResult(const TableDesc& desc, void* data) : kind_(Kind::Row), target_(data), desc_(&desc) {}
    // The whole record of a table class.
    WSIResult(WSITable& record);
    WSIResult(WSITable* record) : WSIResult(*record) {}

    Kind kind() const { return kind_; }
    void* target() const { return target_; }
    std::size_t size() const { return size_; }
    const TableDesc* desc() const { return desc_; }
    // The record whose buffer is filled, so that it knows it holds a row.
    WSITable* record() const { return record_; }

private:
    Kind kind_ = Kind::None;
    void* target_ = nullptr;
    std::size_t size_ = 0;
    const TableDesc* desc_ = nullptr;
    WSITable* record_ = nullptr;
};

// One bind-variable value (:1, :2, ...). Empty text binds NULL, as in Oracle.
struct stBindVarParams {
    enum class Kind : unsigned char { Null, Long, Double, Text, Date, Bytes };
    Kind kind = Kind::Null;
    long long integer = 0;
    double real = 0.0;
    std::string text; // Text, or the bytes of Bytes
    WSIDate date;
};

// Collects bind-variable values in order: the first AddParameter is :1.
class WSIBVParametersInfo {
public:
    void AddParameter(long value);
    void AddParameter(int value) { AddParameter(static_cast<long>(value)); }
    void AddParameter(short value) { AddParameter(static_cast<long>(value)); }
    void AddParameter(double value);
    void AddParameter(const char* value);
    void AddParameter(const std::string& value) { AddParameter(value.c_str()); }
    void AddParameter(const WSIDate& value);
    // A blob (bytea on a server), bound as the bytes are: zero and high bytes included.
    // No bytes bind NULL, as empty text does.
    void AddBytes(std::string_view bytes);
    void AddNull();
    void Clear() { params_.clear(); }

    int Count() const { return static_cast<int>(params_.size()); }
    const stBindVarParams* Params() const { return params_.data(); }
    operator const stBindVarParams*() const { return params_.data(); }

private:
    std::vector<stBindVarParams> params_;
};

namespace tavel::db {
class Statement; // a prepared statement checked out of the connection's cache
enum class NativeKind : int;
} // namespace tavel::db

class WSITable {
public:
    // A record of the table described by `table`, stored in `data` (the record class's
    // WSIData, table.dataSize bytes).
    WSITable(WSIDatabase* db, const TableDesc& table, void* data);
    // Copies the record's state; the new object keeps its own buffer `data`, which the
    // record class copies itself. A cursor's open statement and a held lock are not copied.
    WSITable(const WSITable& other, void* data);
    WSITable& operator=(const WSITable& other);
    WSITable(const WSITable&) = delete;

    // Query cursor over `sql` (Oracle dialect, bind variables :1, :2 from bindVars).
    // kind, b1, b2 and mode are accepted for the callers' signature and not used.
    // Fetch with GetFirst / GetNext; each row fills `result` in select order.
    WSITable(const char* file, int line, int kind, WSIDatabase* db, const char* sql,
             WSIResult result, bool b1 = true, bool b2 = true, int mode = 0,
             const WSIBVParametersInfo* bindVars = nullptr);

    virtual ~WSITable();

    // Cursor: true while a row was fetched. GetFirst (re)runs the statement. On a record
    // without a query they read the table in key order.
    bool GetFirst(DBILockType lock = dbiNOLOCK);
    bool GetNext(DBILockType lock = dbiNOLOCK);
    // Whether the query could not be opened, or its last read failed: a fetch that found
    // nothing then means "unknown", not "no rows".
    bool Failed() const { return failed_; }

    // Reads the row whose key equals the key fields of the buffer. lock 1 also takes the
    // write lock (see WSIDatabase); false when the row is missing or the lock is held
    // elsewhere, the buffer then keeps the key it was given.
    bool GetEqual(const char* file, int line, DBILockType lock = dbiNOLOCK);
    // GetEqual with the lock, for a buffer that holds the row as read after the write
    // transaction began: on SQLite that transaction is the lock and nobody else can have
    // changed the row since, so it is not read again; a server takes the row's own lock.
    bool LockReadRow(const char* file, int line);
    // The next GetEqual reads the database (there is no row cache; kept for callers).
    void ForceReread();
    // Drops the lock taken by GetEqual(..., 1), ending the write transaction that it opened.
    void ReleaseLock();
    bool HoldsLock() const;

    // Writes derived from the descriptors; the key comes from the buffer. True on
    // success; false on a duplicate key, a missing row, a refused lock or any SQL error.
    // A table whose key is one id column gets a database-assigned id when the record holds
    // 0; it is written back into the buffer.
    virtual bool InsertDB(const char* file, int line, DBILockType lock = dbiNOLOCK,
                          bool flag = true, eTimeStampState ts = 0);
    // releaseLockIfRefused: when the update fails, the lock is released as well.
    virtual bool UpdateDB(const char* file, int line, bool releaseLockIfRefused = true,
                          bool flag = true, eTimeStampState ts = 0);
    virtual bool DeleteDB(const char* file, int line);
    // Clears the buffer to all zero bytes.
    virtual void InitRecord();
    // Copies the column's value as text into buffer (size bytes); false for an unknown column.
    virtual bool GetFieldText(const char* column, char* buffer, int size);
    // Width of a text column; the buffer size of any other column; 0 when unknown.
    virtual int GetFieldLength(const char* column);

    // Copies a column's value into buffer by its descriptor type (size bytes at most).
    bool GetField(const char* column, void* buffer, std::size_t size);
    // A numeric column as long (an amount is truncated); 0 when unknown.
    long GetFieldLong(const char* column);
    // Whether the buffer holds a row read from the database or just written.
    bool IsRecord() const { return isRecord_; }

    // Snapshot of the buffer and its restoration (the record's WSIData).
    std::vector<unsigned char> GetBackupDataStruct() const;
    void RestoreDataStruct(const std::vector<unsigned char>& snapshot);

    // Writes an AUDITHIS row with the signed-in user and today's date and returns its id
    // (0 on failure). kind and text are accepted for the callers' signature.
    long AddAuditEntry(int kind, const char* text);

    // Runs a statement that returns no rows: 0 on success, else the SQLite error code
    // (or -1 when the text cannot be translated).
    static int QExecDirect(const char* file, int line, WSIDatabase* db, const char* sql);
    static int QExecBVDirect(const char* file, int line, int count, const stBindVarParams* params,
                             WSIDatabase* db, const char* sql, long* rowCount = nullptr);

    WSIDatabase* GetDatabase() const { return db_; }
    const TableDesc* Desc() const { return desc_; }
    void* Data() const { return data_; }

private:
    friend class WSIDatabase;
    WSITable(WSIDatabase* db, WSIResult result);
    void Open(const char* file, int line, const char* sql, const stBindVarParams* params,
              int paramCount);
    bool Fetch();
    void CloseCursor();
    // PostgreSQL: the key read (with FOR UPDATE NOWAIT when locking) and the writes.
    bool PgGetEqual(const char* file, int line, bool lock);
    bool PgWrite(const char* file, int line, tavel::db::NativeKind kind);
    bool TakeLock(const char* file, int line);
    bool DropLock();

    WSIDatabase* db_ = nullptr;
    const TableDesc* desc_ = nullptr; // null for a cursor without a record
    void* data_ = nullptr;
    WSIResult result_;
    tavel::db::Statement* cursor_ = nullptr;
    const char* file_ = "";
    int line_ = 0;
    bool isRecord_ = false;
    bool exhausted_ = false;
    bool failed_ = false;
    bool ownsLock_ = false;
    unsigned long lockGeneration_ = 0;
};

// Writes the four members every record class needs over `data`:
//   class WSIPrdLoc : public WSITable {
//   public:
//       struct WSIData { ... };
//       WSIData data{};
//       TVL_RECORD_CLASS(WSIPrdLoc)
//       static const TableDesc& Table();
//   };
#define TVL_RECORD_CLASS(Class)                                                                    \
    explicit Class(WSIDatabase* db) : WSITable(db, Table(), &data) {}                              \
    Class(const Class& o) : WSITable(o, &data), data(o.data) {}                                    \
    Class& operator=(const Class& o) {                                                             \
        WSITable::operator=(o);                                                                    \
        data = o.data;                                                                             \
        return *this;                                                                              \
    }

// The DDL of a table: INTEGER / REAL / TEXT columns, code columns COLLATE RTRIM, dates as
// ISO text, PRIMARY KEY from the key columns (a single id key is INTEGER PRIMARY KEY).
std::string CreateTableSql(const TableDesc& table);
// ALTER TABLE ... ADD COLUMN for one of the table's columns (SQLite).
std::string AddColumnSql(const TableDesc& table, const ColumnDesc& column);

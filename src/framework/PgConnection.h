#pragma once

// The PostgreSQL side of the database service: a libpq connection, statements prepared
// once per shape and executed with text values, and the moves between text values and
// the framework's record buffers. Internal to WSIDatabase and WSITable.
//
// Values travel as text in both directions: integers and amounts in C form, dates as
// YYYY-MM-DD (the session's DateStyle is ISO), NULL as NULL. Code columns are CHAR(n), so
// the server pads them with blanks; they are read back without the padding, as the
// records hold them.

#include "Dialect.h"
#include "Record.h"
#include "WSITable.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace tavel::db {

struct CacheEntry;

// Text values of one execution; null entries are SQL NULL.
struct PgValues {
    std::vector<std::string> text;
    std::vector<char> isNull;
    void Clear() {
        text.clear();
        isNull.clear();
    }
    void Resize(std::size_t n) {
        text.assign(n, std::string());
        isNull.assign(n, 1);
    }
    void Set(std::size_t i, std::string value) {
        text[i] = std::move(value);
        isNull[i] = 0;
    }
    void Push(std::string value, bool null = false) {
        text.push_back(std::move(value));
        isNull.push_back(null ? 1 : 0);
    }
};

class PgConnection {
public:
    // Null (and *error set) when the server refuses.
    static std::unique_ptr<PgConnection> Connect(const std::string& conninfo, std::string* error);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    PGconn* Conn() const { return conn_; }

    // Runs text as it stands (several statements allowed); false with the server's
    // message in *error and its SQLSTATE in *state.
    bool Exec(const char* sql, std::string* error, std::string* state = nullptr);
    // Prepares the entry's text once on this connection (entry.sql holds PostgreSQL text).
    // A translated shape the server cannot type with untyped values is marked pgInline
    // instead (see CacheEntry). Inside a transaction a refusal leaves it usable.
    bool EnsurePrepared(CacheEntry& entry, std::string* error);
    // Executes a prepared statement by name; the result is the caller's (PQclear).
    // binary: every column comes in the server's binary form (a bytea as its bytes).
    // guarded: inside "SAVEPOINT tvl_statement" and its release, sent together with the
    // statement in one round trip; a refused statement is rolled back to the savepoint, so
    // the transaction stays usable. The result is then the savepoint's if that failed.
    PGresult* ExecPrepared(const std::string& name, const PgValues& values, bool binary = false,
                           bool guarded = false);
    // Runs text with $1.. text parameters; the result is the caller's. Never null.
    PGresult* ExecParams(const char* sql, const PgValues& values);
    // The same with a type per parameter (0: the server infers it), unprepared.
    PGresult* ExecText(const std::string& sql, const PgValues& values,
                       const std::vector<unsigned>& types, bool binary = false,
                       bool guarded = false);

    // Whether a transaction is open, and whether an error broke it.
    bool InTransaction() const;
    bool TransactionFailed() const;

private:
    explicit PgConnection(PGconn* conn) : conn_(conn) {}
    // The statement send() puts on the wire, between the savepoint and its release, as one
    // pipeline; see ExecPrepared.
    PGresult* Guarded(const std::function<int()>& send);
    PGconn* conn_;
    unsigned long nextName_ = 0;
};

// Whether the result is a success (command or rows).
bool PgOk(const PGresult* r);
// The server's error message and SQLSTATE of a failed result.
std::string PgError(const PGresult* r);
std::string PgState(const PGresult* r);
// Whether a SQLSTATE is the server's storage failing rather than a statement refused:
// 1 a full disk (53100), 2 another fault of the server's storage or memory (53200 out of
// memory, class 58 system errors such as 58030 I/O error, XX001/XX002 corrupted data or
// index), 0 anything else.
int PgStorageFault(const std::string& state);
// Rows changed by a write.
long PgRowsChanged(const PGresult* r);
// A value of a text-form result as SQLite gives the same value as text: a CHAR(n) code
// without its padding, an amount or a numeric as a real (4.0, 3.33333333333333). NULL
// gives nullText.
std::string PgCellText(const PGresult* r, int row, int col, const char* nullText);
// Bytes in bytea's hex input form (\x0041...), for a text parameter.
std::string PgByteaText(std::string_view bytes);

// A column value of a record buffer as text; empty text outside key columns and the null
// date are NULL, as on SQLite.
void PgColumnValue(const ColumnDesc& column, const void* data, PgValues& values);
// Fills the destination from row `row` of the result.
void PgReadResult(const PGresult* r, int row, const WSIResult& result);

// SQL from descriptors in PostgreSQL's form: tables and views fold to lower case,
// columns keep their quoted names; parameters $1...
std::string PgCreateTableSql(const TableDesc& table);
std::string PgAddColumnSql(const TableDesc& table, const ColumnDesc& column);
// "INSERT ... RETURNING" without the id column: the server assigns it.
std::string PgInsertAutoIdSql(const TableDesc& table, const ColumnDesc& id);
// A SQLite text from RecordSql with ?N parameters rewritten as $N.
std::string PgParams(const std::string& sqliteText);
// Lower-case form of a name, as PostgreSQL folds an unquoted one.
std::string PgFold(const char* name);

// A literal value as PostgreSQL reads it in a statement's text: numbers as written
// (a negative one in parentheses), texts quoted with quotes doubled, '' and NULL as NULL.
std::string PgLiteralSql(const sqldialect::Literal& value);
// A translated text with its first literalCount values $1..$L replaced by literalSql and
// the bind variables after them renumbered from $1. Quoted texts and names stay as they are.
std::string PgWriteValues(std::string_view sql, const std::vector<std::string>& literalSql);
// The parameter type a bind variable of this kind gets when the values are written into
// the text: numbers are typed (an operator between untyped values has no meaning), texts,
// dates and bytes stay untyped so that they compare as the column they meet does.
unsigned PgBindType(stBindVarParams::Kind kind);
// Whether a parameter of this type takes whole numbers only (int2, int4, int8).
bool PgWholeNumberType(unsigned type);

} // namespace tavel::db

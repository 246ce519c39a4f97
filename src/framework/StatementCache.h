#pragma once

// Per-connection cache of prepared statements keyed by statement shape (the SQL text
// with its literal values taken out). Statements are formatted with literal values, so
// the cache is what turns a repeated look-up into a bind and a step instead of a
// translation and a parse.

#include "Dialect.h"
#include "PgConnection.h"

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
typedef struct pg_result PGresult;

namespace tavel::db {

struct CacheEntry;

// A prepared statement checked out by one user (a cursor, a write) at a time.
class Statement {
public:
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    sqlite3_stmt* stmt = nullptr;
    CacheEntry* entry = nullptr; // null once the entry left the cache: freed on release
    bool inUse = false;
    // Literal values of the current execution; texts are bound without a copy, so they
    // live here until the next execution rebinds them.
    std::vector<sqldialect::Literal> literals;

    // PostgreSQL: the values of the next execution and the rows it returned, read one by
    // one (the whole result arrives at once).
    std::string pgName;
    PgValues pgValues;
    // A shape whose values are written into its text (CacheEntry::pgInline): the text of
    // this execution and the types of its bind variables.
    std::string pgText;
    std::vector<unsigned> pgTypes;
    bool pgWritten = false; // this execution runs pgText, not the prepared statement
    PGresult* pgResult = nullptr;
    int pgRow = 0;
    bool pgExecuted = false;
    // Drops the rows of the last execution.
    void ResetPg();
};

struct CacheEntry {
    std::string key; // the shape, or a key naming a statement derived from descriptors
    std::string sql; // the SQLite text that is prepared
    std::vector<sqldialect::Conversion> conversions;
    bool returnsRows = false;
    std::vector<std::unique_ptr<Statement>> pool;
    // PostgreSQL: the server-side name once prepared, and how many $N values it takes.
    std::string pgName;
    int pgParams = 0;
    std::vector<unsigned> pgParamTypes; // as the server chose them
    // A translated statement (Insert): its literal values may be written into the text.
    bool translated = false;
    // PostgreSQL refused to type the shape with its values as untyped parameters (an
    // operator between two of them, a function of them alone): each execution writes the
    // literal values into the text, as the statement was written, and types the bind
    // variables by their kind. Nothing is prepared; pgParams counts the bind variables.
    bool pgInline = false;
};

class StatementCache {
public:
    explicit StatementCache(std::size_t capacity = 512) : capacity_(capacity) {}
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;
    ~StatementCache() { Clear(); }

    // The entry for key, made most recently used; null on a miss.
    CacheEntry* Find(std::string_view key);
    // Adds an entry (the key must not be present); drops the least recently used entries
    // beyond the capacity.
    CacheEntry* Insert(std::string key, std::string sql,
                       std::vector<sqldialect::Conversion> conversions, bool returnsRows);

    // An idle statement of the entry, prepared on first need. Null when SQLite refuses
    // the text; *error then holds its message.
    static Statement* Checkout(sqlite3* db, CacheEntry& entry, std::string* error);
    // The same for PostgreSQL, where the entry is prepared once on the server and its
    // statements only carry values and rows.
    static Statement* CheckoutPg(PgConnection& pg, CacheEntry& entry, std::string* error);
    // Resets the statement and makes it available again.
    static void Release(Statement* s);
    // Hands each checked-out statement of the entry over to itself (freed on release), so
    // that the entry can go while cursors still use them.
    static void Orphan(CacheEntry& entry);

    // Drops every entry. Statements still checked out stay valid until released.
    void Clear();

    std::size_t Size() const { return entries_.size(); }
    std::size_t Capacity() const { return capacity_; }
    void SetCapacity(std::size_t capacity);
    unsigned long Hits() const { return hits_; }
    unsigned long Misses() const { return misses_; }

private:
    void Evict(std::list<CacheEntry>::iterator it);

    std::size_t capacity_;
    std::list<CacheEntry> entries_; // most recently used first
    std::unordered_map<std::string_view, std::list<CacheEntry>::iterator> index_;
    unsigned long hits_ = 0;
    unsigned long misses_ = 0;
};

} // namespace tavel::db

#include "StatementCache.h"

#include "PgConnection.h"

#include <libpq-fe.h>
#include <sqlite3.h>

namespace tavel::db {

Statement::~Statement() {
    sqlite3_finalize(stmt);
    PQclear(pgResult);
}

void Statement::ResetPg() {
    PQclear(pgResult);
    pgResult = nullptr;
    pgRow = 0;
    pgExecuted = false;
}

CacheEntry* StatementCache::Find(std::string_view key) {
    auto it = index_.find(key);
    if (it == index_.end()) {
        ++misses_;
        return nullptr;
    }
    ++hits_;
    if (it->second != entries_.begin())
        entries_.splice(entries_.begin(), entries_, it->second);
    return &*it->second;
}

CacheEntry* StatementCache::Insert(std::string key, std::string sql,
                                   std::vector<sqldialect::Conversion> conversions,
                                   bool returnsRows) {
    entries_.emplace_front();
    CacheEntry& e = entries_.front();
    e.key = std::move(key);
    e.sql = std::move(sql);
    e.conversions = std::move(conversions);
    e.returnsRows = returnsRows;
    e.translated = true;
    index_.emplace(e.key, entries_.begin());
    while (entries_.size() > capacity_ && entries_.size() > 1)
        Evict(std::prev(entries_.end()));
    return &e;
}

void StatementCache::Orphan(CacheEntry& entry) {
    for (auto& s : entry.pool) {
        if (s && s->inUse) {
            s->entry = nullptr;
            (void)s.release();
        }
    }
}

void StatementCache::Evict(std::list<CacheEntry>::iterator it) {
    Orphan(*it);
    index_.erase(std::string_view(it->key));
    entries_.erase(it);
}

void StatementCache::Clear() {
    while (!entries_.empty())
        Evict(std::prev(entries_.end()));
}

void StatementCache::SetCapacity(std::size_t capacity) {
    capacity_ = capacity < 1 ? 1 : capacity;
    while (entries_.size() > capacity_)
        Evict(std::prev(entries_.end()));
}

Statement* StatementCache::Checkout(sqlite3* db, CacheEntry& entry, std::string* error) {
    for (auto& s : entry.pool) {
        if (!s->inUse) {
            s->inUse = true;
            return s.get();
        }
    }
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v3(db, entry.sql.data(), static_cast<int>(entry.sql.size()),
                                SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK || !stmt) {
        if (error)
            *error = sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
        return nullptr;
    }
    auto s = std::make_unique<Statement>();
    s->stmt = stmt;
    s->entry = &entry;
    s->inUse = true;
    entry.pool.push_back(std::move(s));
    return entry.pool.back().get();
}

Statement* StatementCache::CheckoutPg(PgConnection& pg, CacheEntry& entry, std::string* error) {
    if (!pg.EnsurePrepared(entry, error))
        return nullptr;
    for (auto& s : entry.pool) {
        if (!s->inUse) {
            s->inUse = true;
            return s.get();
        }
    }
    auto s = std::make_unique<Statement>();
    s->entry = &entry;
    s->inUse = true;
    s->pgName = entry.pgName;
    entry.pool.push_back(std::move(s));
    return entry.pool.back().get();
}

void StatementCache::Release(Statement* s) {
    if (!s)
        return;
    if (s->stmt)
        sqlite3_reset(s->stmt);
    s->ResetPg();
    if (!s->entry) {
        delete s;
        return;
    }
    s->inUse = false;
}

} // namespace tavel::db

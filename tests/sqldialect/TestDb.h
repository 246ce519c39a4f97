#pragma once

// A SQLite connection set up the way the database service sets up its own (Oracle
// functions, case-sensitive LIKE, double-quoted strings refused), and a runner that
// executes Oracle-dialect text the way the service does: normalise, translate, bind
// each value with its conversion.

#include "Dialect.h"
#include "Record.h"

#include <string>
#include <vector>

struct sqlite3;

namespace sqltest {

using Row = std::vector<std::string>; // NULL reads as "NULL"
using Rows = std::vector<Row>;

class TestDb {
public:
    explicit TestDb(const std::string& file = ":memory:");
    ~TestDb();
    TestDb(const TestDb&) = delete;
    TestDb& operator=(const TestDb&) = delete;

    sqlite3* Handle() const { return db_; }
    // SQLite text as it stands; throws std::runtime_error on failure.
    void Native(const std::string& sql);
    // Oracle-dialect text; binds are the values of :1, :2, ... Throws on failure.
    Rows Run(const std::string& oracleSql, const std::vector<std::string>& binds = {});
    // The first column of the first row ("" when there is no row).
    std::string Scalar(const std::string& oracleSql);

    WSIDate today{2027, 1, 15};
    sqldialect::SchemaHints hints;

private:
    sqlite3* db_ = nullptr;
};

} // namespace sqltest

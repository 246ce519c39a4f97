#include "TestDb.h"

#include "SqliteFunctions.h"

#include <sqlite3.h>

#include <stdexcept>

namespace sqltest {

TestDb::TestDb(const std::string& file) {
    if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK)
        throw std::runtime_error("cannot open " + file);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(db_, 5000);
    if (RegisterOracleFunctions(db_, [this] { return today; }) != SQLITE_OK)
        throw std::runtime_error("cannot register functions");
    Native("PRAGMA case_sensitive_like = ON");
    hints.dateColumns = {"Date", "ExpiryDate", "NeedBy", "PODATE"};
}

TestDb::~TestDb() {
    sqlite3_close(db_);
}

void TestDb::Native(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "error";
        sqlite3_free(err);
        throw std::runtime_error(msg + " in: " + sql);
    }
}

Rows TestDb::Run(const std::string& oracleSql, const std::vector<std::string>& binds) {
    using namespace sqldialect;
    Normalized n = Normalize(oracleSql);
    Translation t = Translate(n, Target::SQLite, hints);
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, t.sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + t.sql);
    for (std::size_t i = 0; i < n.literals.size(); ++i) {
        const Literal& lit = n.literals[i];
        int p = static_cast<int>(i) + 1;
        if (lit.kind == Literal::Kind::Null) {
            sqlite3_bind_null(s, p);
        } else if (lit.kind == Literal::Kind::Integer) {
            sqlite3_bind_int64(s, p, lit.integer);
        } else if (lit.kind == Literal::Kind::Real) {
            sqlite3_bind_double(s, p, lit.real);
        } else {
            const std::string v =
                t.conversions[i] == Conversion::MdyDate ? MdyToIso(lit.text) : lit.text;
            sqlite3_bind_text(s, p, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        }
    }
    for (std::size_t k = 0; k < binds.size(); ++k)
        sqlite3_bind_text(s, static_cast<int>(n.literals.size() + k + 1), binds[k].c_str(), -1,
                          SQLITE_TRANSIENT);
    Rows rows;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        Row row;
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
            const unsigned char* v = sqlite3_column_text(s, c);
            row.push_back(v ? reinterpret_cast<const char*>(v) : "NULL");
        }
        rows.push_back(std::move(row));
    }
    std::string err = rc == SQLITE_DONE ? "" : sqlite3_errmsg(db_);
    sqlite3_finalize(s);
    if (!err.empty())
        throw std::runtime_error(err + " in: " + t.sql);
    return rows;
}

std::string TestDb::Scalar(const std::string& oracleSql) {
    Rows r = Run(oracleSql);
    return r.empty() || r[0].empty() ? std::string() : r[0][0];
}

} // namespace sqltest

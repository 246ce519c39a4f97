#pragma once

// A database file of its own for each test, and direct SQLite reads for checking what
// the schema and the demo data hold, independent of the database service.

#include "Records.h"
#include "WSIDatabase.h"

#include <sqlite3.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace schematest {

// The demo and the tests run "as of" a fixed day, so that relative dates are stable.
inline constexpr WSIDate kToday{2026, 3, 15};

// A new empty folder of the given prefix, made the module's data folder for this test.
inline std::filesystem::path NewDataDir(const std::string& prefix) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / (prefix + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    setenv("TAVEL_DATA_DIR", dir.c_str(), 1);
    return dir;
}

// Rows of a query as text (NULL as "<null>"); on a SQL error none, and the error in *error.
inline std::vector<std::vector<std::string>> QueryRows(sqlite3* handle, const std::string& sql,
                                                       std::string* error = nullptr) {
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        if (error)
            *error = sqlite3_errmsg(handle);
        return rows;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        auto& row = rows.emplace_back();
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            const unsigned char* t = sqlite3_column_text(stmt, i);
            row.emplace_back(t ? reinterpret_cast<const char*>(t) : "<null>");
        }
    }
    sqlite3_finalize(stmt);
    return rows;
}

class TempDatabase {
public:
    TempDatabase() {
        static std::atomic<int> counter{0};
        dir_ = std::filesystem::temp_directory_path() /
               ("tavel-schema-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "inventory.db").string();
        RegisterRecords();
        db.Open(path_);
        db.SetToday(kToday);
    }
    ~TempDatabase() {
        db.Close();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;

    const std::string& Path() const { return path_; }

    // Rows of a query as text (NULL as "<null>"); empty on a SQL error.
    std::vector<std::vector<std::string>> Rows(const std::string& sql) {
        return QueryRows(db.Handle(), sql);
    }

    // The first column of the first row, or "" when there is none.
    std::string Value(const std::string& sql) {
        auto rows = Rows(sql);
        return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
    }
    long long Number(const std::string& sql) {
        std::string v = Value(sql);
        return v.empty() ? 0 : std::stoll(v);
    }

    bool Exec(const std::string& sql) {
        return sqlite3_exec(db.Handle(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    WSIDatabase db;

private:
    std::filesystem::path dir_;
    std::string path_;
};

} // namespace schematest

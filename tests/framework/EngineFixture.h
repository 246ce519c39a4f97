#pragma once

// The engine a test run works on. Every database test runs on SQLite; the same tests run
// again on PostgreSQL when ctest sets TAVEL_TEST_ENGINE=postgresql for their second
// registration and TAVEL_PG_CONNINFO names a server. On the server each test gets a
// schema of its own (search_path), created before and dropped after it, so tests never
// see each other's rows.

#include "WSIDatabase.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace tvltest {

// The server's connection string; null when none is configured.
inline const char* ServerConninfo() {
    const char* c = std::getenv("TAVEL_PG_CONNINFO");
    return c && *c ? c : nullptr;
}

// Whether this run is the PostgreSQL one.
inline bool OnServer() {
    const char* e = std::getenv("TAVEL_TEST_ENGINE");
    return e && std::strcmp(e, "postgresql") == 0;
}

class ServerSchema {
public:
    ServerSchema() {
        static int counter = 0;
        base_ = ServerConninfo() ? ServerConninfo() : "";
        name_ = "tvl_t" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        admin_ = PQconnectdb(base_.c_str());
        if (PQstatus(admin_) != CONNECTION_OK) {
            error_ = PQerrorMessage(admin_);
            return;
        }
        Run("SET client_min_messages = warning; DROP SCHEMA IF EXISTS " + name_ +
            " CASCADE; CREATE SCHEMA " + name_);
    }
    ~ServerSchema() {
        if (PQstatus(admin_) == CONNECTION_OK)
            Run("SET client_min_messages = warning; DROP SCHEMA IF EXISTS " + name_ + " CASCADE");
        PQfinish(admin_);
    }
    ServerSchema(const ServerSchema&) = delete;
    ServerSchema& operator=(const ServerSchema&) = delete;

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    const std::string& Name() const { return name_; }
    // The configured server, working in this schema.
    std::string Conninfo() const { return base_ + " options='-c search_path=" + name_ + "'"; }

private:
    void Run(const std::string& sql) {
        PGresult* r = PQexec(admin_, sql.c_str());
        if (PQresultStatus(r) != PGRES_COMMAND_OK && error_.empty())
            error_ = PQresultErrorMessage(r);
        PQclear(r);
    }

    std::string base_;
    std::string name_;
    std::string error_;
    PGconn* admin_ = nullptr;
};

// Opens the database a test works on: the file on SQLite, a schema of its own on the
// server (kept in `schema` so the test can drop it). Returns what went wrong, or "".
inline std::string OpenTestDatabase(const std::filesystem::path& file,
                                    std::unique_ptr<ServerSchema>& schema,
                                    std::unique_ptr<WSIDatabase>& db) {
    if (OnServer()) {
        schema = std::make_unique<ServerSchema>();
        if (!schema->Ok())
            return schema->Error();
        db = std::make_unique<WSIDatabase>();
        db->OpenServer(schema->Conninfo());
    } else {
        db = std::make_unique<WSIDatabase>(file.string());
    }
    return "";
}

} // namespace tvltest

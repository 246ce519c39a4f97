#pragma once

// Where a program's database is: a SQLite file (one workstation) or a PostgreSQL server
// named by a libpq connection string (several workstations on one database). Programs
// take it from their command line (--db PATH, --pg "CONNINFO") and open it here, so that
// every program reaches both engines the same way.

#include <memory>
#include <string>

class WSIDatabase;

namespace tavel {

struct DbLocation {
    enum class Engine { SQLite, PostgreSQL };
    Engine engine = Engine::SQLite;
    std::string target; // the file path, or the connection string

    static DbLocation File(std::string path) { return {Engine::SQLite, std::move(path)}; }
    static DbLocation Server(std::string conninfo) {
        return {Engine::PostgreSQL, std::move(conninfo)};
    }
    bool IsServer() const { return engine == Engine::PostgreSQL; }
};

// Opens the connection; check IsOpen() (a refusal is written to the database error log).
std::unique_ptr<WSIDatabase> OpenDatabase(const DbLocation& where);

} // namespace tavel

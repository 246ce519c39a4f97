// Copies a generated SQLite database into an empty PostgreSQL database: the schema made
// by the project's own schema code on the server, then every table's rows with COPY (the
// secondary indexes dropped for the load and built again after it), the id counters moved
// past the ids copied, the named sequences set from the ".sequences" side file, ANALYZE.
//
//   pg_load --from FILE --pg CONNINFO
//
// Prints one line per table with its row count; exit status 1 when anything failed.

#include "PgCommon.h"
#include "Records.h"
#include "Schema.h"
#include "WSIDatabase.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using bench::pg::Exec;
using bench::pg::Result;

// A value of a SQLite column in COPY's text form.
void AppendCopyValue(sqlite3_stmt* s, int col, std::string& out) {
    switch (sqlite3_column_type(s, col)) {
    case SQLITE_NULL:
        out += "\\N";
        return;
    case SQLITE_INTEGER:
        out += std::to_string(sqlite3_column_int64(s, col));
        return;
    case SQLITE_FLOAT: {
        char b[40];
        std::snprintf(b, sizeof b, "%.17g", sqlite3_column_double(s, col));
        out += b;
        return;
    }
    case SQLITE_BLOB: {
        static const char hex[] = "0123456789abcdef";
        const auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(s, col));
        const int n = sqlite3_column_bytes(s, col);
        out += "\\\\x"; // bytea's hex form, its backslash escaped for COPY
        for (int i = 0; i < n; ++i) {
            out += hex[p[i] >> 4];
            out += hex[p[i] & 15];
        }
        return;
    }
    default:
        break;
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, col));
    for (const char* c = t; c && *c; ++c) {
        switch (*c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += *c;
        }
    }
}

std::vector<std::string> Column0(PGconn* c, const std::string& sql) {
    std::vector<std::string> v;
    Result r(PQexec(c, sql.c_str()));
    if (!bench::pg::ResultOk(c, r.get(), sql.c_str()))
        return v;
    for (int i = 0; i < PQntuples(r.get()); ++i)
        v.emplace_back(PQgetvalue(r.get(), i, 0));
    return v;
}

std::string Quoted(const std::string& text, char quote) {
    std::string q(1, quote);
    for (char c : text) {
        q += c;
        if (c == quote)
            q += c;
    }
    return q + quote;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Copies one table; the rows copied, or -1.
long CopyTable(sqlite3* lite, PGconn* pg, const std::string& table) {
    const std::string server = Lower(table);
    const std::vector<std::string> serverColumns =
        Column0(pg, "SELECT column_name FROM information_schema.columns WHERE table_schema = "
                    "current_schema() AND table_name = " +
                        Quoted(server, '\''));
    if (serverColumns.empty())
        return -2; // not part of the server's schema
    if (!Column0(pg, "SELECT 1 FROM " + server + " LIMIT 1").empty())
        return -3; // written by the schema itself (its version)
    std::vector<std::string> columns;
    {
        sqlite3_stmt* info = nullptr;
        sqlite3_prepare_v2(lite, "SELECT name FROM pragma_table_info(?1) ORDER BY cid", -1, &info,
                           nullptr);
        sqlite3_bind_text(info, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(info) == SQLITE_ROW) {
            const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(info, 0));
            for (const std::string& s : serverColumns)
                if (s == name)
                    columns.push_back(name);
        }
        sqlite3_finalize(info);
    }
    if (columns.empty())
        return -1;
    std::string list;
    for (const std::string& c : columns)
        list += (list.empty() ? "" : ", ") + Quoted(c, '"');
    const std::string select = "SELECT " + list + " FROM " + Quoted(table, '"');
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_prepare_v2(lite, select.c_str(), -1, &rows, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot read %s: %s\n", table.c_str(), sqlite3_errmsg(lite));
        return -1;
    }
    const std::string copy = "COPY " + server + " (" + list + ") FROM STDIN";
    Result start(PQexec(pg, copy.c_str()));
    if (!bench::pg::ResultOk(pg, start.get(), copy.c_str())) {
        sqlite3_finalize(rows);
        return -1;
    }
    long count = 0;
    bool sent = true;
    std::string buffer;
    const int n = static_cast<int>(columns.size());
    while (sent && sqlite3_step(rows) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            if (i)
                buffer += '\t';
            AppendCopyValue(rows, i, buffer);
        }
        buffer += '\n';
        ++count;
        if (buffer.size() > (1u << 20)) {
            sent = PQputCopyData(pg, buffer.data(), static_cast<int>(buffer.size())) == 1;
            buffer.clear();
        }
    }
    sqlite3_finalize(rows);
    if (sent && !buffer.empty())
        sent = PQputCopyData(pg, buffer.data(), static_cast<int>(buffer.size())) == 1;
    PQputCopyEnd(pg, sent ? nullptr : "the copy stopped");
    bool ok = sent;
    while (PGresult* r = PQgetResult(pg)) {
        ok = bench::pg::ResultOk(pg, r, copy.c_str()) && ok;
        PQclear(r);
    }
    return ok ? count : -1;
}

} // namespace

int main(int argc, char** argv) {
    std::string from, conninfo;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--from") == 0)
            from = argv[i + 1];
        else if (std::strcmp(argv[i], "--pg") == 0)
            conninfo = argv[i + 1];
    }
    if (from.empty() || conninfo.empty()) {
        std::fprintf(stderr, "usage: pg_load --from FILE --pg CONNINFO\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    sqlite3* lite = nullptr;
    if (sqlite3_open_v2(from.c_str(), &lite, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", from.c_str());
        sqlite3_close(lite);
        return 1;
    }
    {
        RegisterRecords();
        WSIDatabase db;
        std::string problem;
        if (!db.OpenServer(conninfo) || !tavel::CreateSchema(db, &problem)) {
            std::fprintf(stderr, "cannot create the schema on the server: %s %s\n",
                         db.LastError().c_str(), problem.c_str());
            sqlite3_close(lite);
            return 1;
        }
    }
    bench::pg::Conn pg = bench::pg::Connect(conninfo);
    if (!pg) {
        sqlite3_close(lite);
        return 1;
    }
    PGconn* c = pg.get();
    // Indexes that are not constraints are built once after the rows are in.
    std::vector<std::pair<std::string, std::string>> indexes;
    {
        Result r(PQexec(c, "SELECT indexname, indexdef FROM pg_indexes WHERE schemaname = "
                           "current_schema() AND indexname NOT IN (SELECT conname FROM "
                           "pg_constraint)"));
        if (bench::pg::ResultOk(c, r.get(), "indexes"))
            for (int i = 0; i < PQntuples(r.get()); ++i)
                indexes.emplace_back(PQgetvalue(r.get(), i, 0), PQgetvalue(r.get(), i, 1));
    }
    for (const auto& ix : indexes)
        Exec(c, "DROP INDEX " + Quoted(ix.first, '"'));

    std::vector<std::string> tables;
    {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(lite,
                           "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT "
                           "LIKE 'sqlite%' ORDER BY name",
                           -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
    }
    Exec(c, "SET synchronous_commit = off");
    long total = 0;
    for (const std::string& t : tables) {
        const long n = CopyTable(lite, c, t);
        if (n == -1) {
            std::fprintf(stderr, "table %s: copy failed\n", t.c_str());
            ++bench::pg::failures;
        } else if (n >= 0) {
            std::printf("%-12s %10ld rows\n", t.c_str(), n);
            total += n;
        }
    }
    sqlite3_close(lite);
    for (const auto& ix : indexes)
        Exec(c, ix.second);

    // Ids the server assigns next start after the ones copied.
    {
        Result r(PQexec(c, "SELECT table_name, column_name FROM information_schema.columns "
                           "WHERE table_schema = current_schema() AND is_identity = 'YES'"));
        if (bench::pg::ResultOk(c, r.get(), "identity columns"))
            for (int i = 0; i < PQntuples(r.get()); ++i) {
                const std::string table = PQgetvalue(r.get(), i, 0);
                const std::string column = PQgetvalue(r.get(), i, 1);
                Exec(c, "SELECT setval(pg_get_serial_sequence(" + Quoted(table, '\'') + ", " +
                            Quoted(column, '\'') + "), COALESCE(MAX(" + Quoted(column, '"') +
                            "), 0) + 1, false) FROM " + Quoted(table, '"'));
            }
    }
    // The named counters (batches, pick lists) from the side file.
    sqlite3* seq = nullptr;
    if (sqlite3_open_v2((from + ".sequences").c_str(), &seq, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(seq, "SELECT name, value FROM \"TVL_SEQUENCES\" WHERE value > 0", -1,
                               &s, nullptr) == SQLITE_OK)
            while (sqlite3_step(s) == SQLITE_ROW) {
                const std::string name =
                    Lower(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
                const auto known = Column0(c, "SELECT to_regclass(" + Quoted(name, '\'') + ")");
                if (known.empty() || known[0].empty())
                    continue;
                Exec(c, "SELECT setval(" + Quoted(name, '\'') + ", " +
                            std::to_string(sqlite3_column_int64(s, 1)) + ")");
            }
        sqlite3_finalize(s);
    }
    sqlite3_close(seq);
    Exec(c, "ANALYZE");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("copied %ld rows in %.1f s\n", total, seconds);
    return bench::pg::failures == 0 ? 0 : 1;
}

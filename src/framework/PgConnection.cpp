#include "PgConnection.h"

#include "RecordSql.h"
#include "StatementCache.h"

#include <libpq-fe.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tavel::db {

namespace {

template <class T> T& At(void* data, const ColumnDesc& c) {
    return *reinterpret_cast<T*>(static_cast<char*>(data) + c.offset);
}
template <class T> const T& At(const void* data, const ColumnDesc& c) {
    return *reinterpret_cast<const T*>(static_cast<const char*>(data) + c.offset);
}

// The type oid of CHAR(n): its values come padded with blanks.
constexpr Oid kBpcharOid = 1042;

// A whole number from the text of any numeric value (an amount is truncated, as SQLite
// reads a REAL as an integer).
long long WholeNumber(const char* text) {
    if (std::strpbrk(text, ".eE"))
        return static_cast<long long>(std::strtod(text, nullptr));
    return std::strtoll(text, nullptr, 10);
}

// The value's length without the blanks CHAR(n) adds.
std::size_t Unpadded(const PGresult* r, int row, int col, const char* text) {
    std::size_t len = static_cast<std::size_t>(PQgetlength(r, row, col));
    if (PQftype(r, col) == kBpcharOid)
        while (len > 0 && text[len - 1] == ' ')
            --len;
    return len;
}

void ReadColumn(const PGresult* r, int row, int col, const ColumnDesc& c, void* data) {
    const bool isNull = PQgetisnull(r, row, col);
    const char* text = PQgetvalue(r, row, col);
    switch (c.type) {
    case ColType::Id:
    case ColType::Int:
        At<long>(data, c) = isNull ? 0 : static_cast<long>(WholeNumber(text));
        return;
    case ColType::Flag:
    case ColType::Count:
        At<short>(data, c) = isNull ? 0 : static_cast<short>(WholeNumber(text));
        return;
    case ColType::Amount:
        At<double>(data, c) = isNull ? 0.0 : std::strtod(text, nullptr);
        return;
    case ColType::Date: {
        WSIDate d;
        if (!isNull)
            ParseIsoDate(text, d);
        At<WSIDate>(data, c) = d;
        return;
    }
    case ColType::Code:
    case ColType::Text: {
        char* dst = static_cast<char*>(data) + c.offset;
        if (isNull) {
            dst[0] = '\0';
            return;
        }
        std::size_t len = Unpadded(r, row, col, text);
        if (c.type == ColType::Code)
            while (len > 0 && text[len - 1] == ' ')
                --len;
        CopyText(dst, static_cast<std::size_t>(c.width) + 1, text, len);
        return;
    }
    }
}

} // namespace

std::unique_ptr<PgConnection> PgConnection::Connect(const std::string& conninfo,
                                                    std::string* error) {
    PGconn* conn = PQconnectdb(conninfo.c_str());
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        if (error)
            *error = conn ? PQerrorMessage(conn) : "out of memory";
        PQfinish(conn);
        return nullptr;
    }
    std::unique_ptr<PgConnection> pg(new PgConnection(conn));
    // Dates as YYYY-MM-DD both ways; notices (e.g. "relation exists, skipping") stay out
    // of the program's output.
    if (!pg->Exec("SET DateStyle = 'ISO, YMD'; SET client_min_messages = warning; "
                  "SET client_encoding = 'UTF8'",
                  error))
        return nullptr;
    return pg;
}

PgConnection::~PgConnection() {
    PQfinish(conn_);
}

bool PgConnection::Exec(const char* sql, std::string* error) {
    PGresult* r = PQexec(conn_, sql);
    const bool ok = PgOk(r);
    if (!ok && error)
        *error = PgError(r);
    PQclear(r);
    return ok;
}

bool PgConnection::EnsurePrepared(CacheEntry& entry, std::string* error) {
    if (!entry.pgName.empty())
        return true;
    std::string name = "tvl" + std::to_string(++nextName_);
    // A statement may skip a number ($9 absent, $10 used: optional conditions with bind
    // variables); the server cannot type a value nothing uses, so those are text.
    std::vector<Oid> types;
    std::vector<bool> used;
    bool inString = false;
    bool inName = false;
    const std::string& sql = entry.sql;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' && !inName)
            inString = !inString;
        else if (c == '"' && !inString)
            inName = !inName;
        if (inString || inName || c != '$' || i + 1 >= sql.size() ||
            !std::isdigit(static_cast<unsigned char>(sql[i + 1])))
            continue;
        const std::size_t n = std::strtoul(sql.c_str() + i + 1, nullptr, 10);
        if (n > used.size())
            used.resize(n, false);
        used[n - 1] = true;
    }
    constexpr Oid kTextOid = 25;
    for (bool u : used)
        types.push_back(u ? 0 : kTextOid);
    PGresult* r = PQprepare(conn_, name.c_str(), entry.sql.c_str(), static_cast<int>(types.size()),
                            types.empty() ? nullptr : types.data());
    bool ok = PgOk(r);
    if (!ok && error)
        *error = PgError(r);
    PQclear(r);
    if (!ok)
        return false;
    r = PQdescribePrepared(conn_, name.c_str());
    ok = PgOk(r);
    if (ok)
        entry.pgParams = PQnparams(r);
    else if (error)
        *error = PgError(r);
    PQclear(r);
    if (ok)
        entry.pgName = std::move(name);
    return ok;
}

namespace {

std::vector<const char*> Pointers(const PgValues& values) {
    std::vector<const char*> p(values.text.size());
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = values.isNull[i] ? nullptr : values.text[i].c_str();
    return p;
}

} // namespace

PGresult* PgConnection::ExecPrepared(const std::string& name, const PgValues& values) {
    std::vector<const char*> p = Pointers(values);
    return PQexecPrepared(conn_, name.c_str(), static_cast<int>(p.size()), p.data(), nullptr,
                          nullptr, 0);
}

PGresult* PgConnection::ExecParams(const char* sql, const PgValues& values) {
    std::vector<const char*> p = Pointers(values);
    return PQexecParams(conn_, sql, static_cast<int>(p.size()), nullptr, p.data(), nullptr, nullptr,
                        0);
}

bool PgConnection::InTransaction() const {
    const PGTransactionStatusType st = PQtransactionStatus(conn_);
    return st == PQTRANS_INTRANS || st == PQTRANS_INERROR || st == PQTRANS_ACTIVE;
}

bool PgConnection::TransactionFailed() const {
    return PQtransactionStatus(conn_) == PQTRANS_INERROR;
}

bool PgOk(const PGresult* r) {
    const ExecStatusType st = PQresultStatus(r);
    return st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK;
}

std::string PgError(const PGresult* r) {
    const char* m = r ? PQresultErrorMessage(r) : "no result";
    std::string text = m ? m : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string PgState(const PGresult* r) {
    const char* s = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    return s ? s : "";
}

long PgRowsChanged(const PGresult* r) {
    const char* n = PQcmdTuples(const_cast<PGresult*>(r));
    return n && *n ? std::strtol(n, nullptr, 10) : 0;
}

void PgColumnValue(const ColumnDesc& c, const void* data, PgValues& values) {
    char text[64];
    switch (c.type) {
    case ColType::Id:
    case ColType::Int:
        values.Push(std::to_string(At<long>(data, c)));
        return;
    case ColType::Flag:
    case ColType::Count:
        values.Push(std::to_string(At<short>(data, c)));
        return;
    case ColType::Amount:
        std::snprintf(text, sizeof text, "%.17g", At<double>(data, c));
        values.Push(text);
        return;
    case ColType::Date: {
        const WSIDate& d = At<WSIDate>(data, c);
        if (d.IsNull()) {
            values.Push({}, true);
            return;
        }
        FormatIsoDate(d, text);
        values.Push(text);
        return;
    }
    case ColType::Code:
    case ColType::Text: {
        const char* p = static_cast<const char*>(data) + c.offset;
        const std::size_t len = strnlen(p, c.width);
        if (len == 0 && !c.key)
            values.Push({}, true);
        else
            values.Push(std::string(p, len));
        return;
    }
    }
}

void PgReadResult(const PGresult* r, int row, const WSIResult& result) {
    if (result.kind() == WSIResult::Kind::None || !result.target())
        return;
    const int columns = PQnfields(r);
    if (result.kind() == WSIResult::Kind::Row) {
        const TableDesc* t = result.desc();
        const std::size_t n = t->count < static_cast<std::size_t>(columns)
                                  ? t->count
                                  : static_cast<std::size_t>(columns);
        for (std::size_t i = 0; i < n; ++i)
            ReadColumn(r, row, static_cast<int>(i), t->columns[i], result.target());
        return;
    }
    if (columns < 1)
        return;
    const bool isNull = PQgetisnull(r, row, 0);
    const char* text = PQgetvalue(r, row, 0);
    switch (result.kind()) {
    case WSIResult::Kind::Long:
        *static_cast<long*>(result.target()) = isNull ? 0 : static_cast<long>(WholeNumber(text));
        break;
    case WSIResult::Kind::Int:
        *static_cast<int*>(result.target()) = isNull ? 0 : static_cast<int>(WholeNumber(text));
        break;
    case WSIResult::Kind::Short:
        *static_cast<short*>(result.target()) = isNull ? 0 : static_cast<short>(WholeNumber(text));
        break;
    case WSIResult::Kind::Double:
        *static_cast<double*>(result.target()) = isNull ? 0.0 : std::strtod(text, nullptr);
        break;
    case WSIResult::Kind::Date: {
        WSIDate d;
        if (!isNull)
            ParseIsoDate(text, d);
        *static_cast<WSIDate*>(result.target()) = d;
        break;
    }
    case WSIResult::Kind::Text: {
        char* dst = static_cast<char*>(result.target());
        if (result.size() == 0)
            break;
        if (isNull) {
            dst[0] = '\0';
            break;
        }
        CopyText(dst, result.size(), text, Unpadded(r, row, 0, text));
        break;
    }
    case WSIResult::Kind::None:
    case WSIResult::Kind::Row:
        break;
    }
}

std::string PgFold(const char* name) {
    std::string s = name ? name : "";
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string PgCreateTableSql(const TableDesc& t) {
    const ColumnDesc* autoId = AutoIdColumn(t);
    std::string s = "CREATE TABLE " + PgFold(t.name) + " (";
    for (std::size_t i = 0; i < t.count; ++i) {
        const ColumnDesc& c = t.columns[i];
        if (i)
            s += ", ";
        s += '"';
        s += c.name;
        s += '"';
        if (&c == autoId) {
            // Assigned by the server when the insert leaves it out; an explicit id is
            // taken as given (the service then moves the counter past it).
            s += " integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY";
            continue;
        }
        switch (c.type) {
        case ColType::Id:
        case ColType::Int:
        case ColType::Flag:
        case ColType::Count:
            s += " integer";
            break;
        case ColType::Amount:
            s += " double precision";
            break;
        case ColType::Date:
            s += " date";
            break;
        case ColType::Code:
            // Blank-padded comparison: ' ' equals ''.
            s += " char(" + std::to_string(c.width) + ")";
            break;
        case ColType::Text:
            s += " varchar(" + std::to_string(c.width) + ")";
            break;
        }
        if (c.key)
            s += " NOT NULL";
    }
    if (!autoId) {
        bool first = true;
        for (std::size_t i = 0; i < t.count; ++i) {
            if (!t.columns[i].key)
                continue;
            s += first ? ", PRIMARY KEY (" : ", ";
            first = false;
            s += '"';
            s += t.columns[i].name;
            s += '"';
        }
        if (!first)
            s += ')';
    }
    return s + ")";
}

std::string PgInsertAutoIdSql(const TableDesc& t, const ColumnDesc& id) {
    std::string cols;
    std::string params;
    int n = 1;
    for (std::size_t i = 0; i < t.count; ++i) {
        if (&t.columns[i] == &id)
            continue;
        if (!cols.empty()) {
            cols += ", ";
            params += ", ";
        }
        cols += '"';
        cols += t.columns[i].name;
        cols += '"';
        params += '$' + std::to_string(n++);
    }
    std::string s = "INSERT INTO " + PgFold(t.name);
    s += cols.empty() ? " DEFAULT VALUES" : " (" + cols + ") VALUES (" + params + ")";
    return s + " RETURNING \"" + id.name + "\"";
}

std::string PgParams(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    bool inString = false;
    bool inName = false;
    for (char c : text) {
        if (c == '\'' && !inName)
            inString = !inString;
        else if (c == '"' && !inString)
            inName = !inName;
        out.push_back(!inString && !inName && c == '?' ? '$' : c);
    }
    return out;
}

} // namespace tavel::db

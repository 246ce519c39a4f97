#include "PgConnection.h"

#include "ColumnConvert.h"
#include "RecordSql.h"
#include "StatementCache.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tavel::db {

namespace {

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

// One value of a result row.
struct PgSource {
    const PGresult* r;
    int row;
    int col;
    bool IsNull() const { return PQgetisnull(r, row, col); }
    long long Whole() const { return WholeNumber(Text()); }
    double Real() const { return std::strtod(Text(), nullptr); }
    const char* Text() const { return PQgetvalue(r, row, col); }
    // A code column also drops the blanks its value was stored with.
    std::size_t Length(bool code) const {
        const char* text = Text();
        std::size_t len = Unpadded(r, row, col, text);
        if (code)
            while (len > 0 && text[len - 1] == ' ')
                --len;
        return len;
    }
};

// Values go as text; NULL as a null parameter.
struct PgSink {
    PgValues& values;
    void Null() { values.Push({}, true); }
    void Whole(long long v) { values.Push(std::to_string(v)); }
    void Real(double v) {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", v);
        values.Push(text);
    }
    void Text(const char* p, std::size_t len, bool) { values.Push(std::string(p, len)); }
};

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

bool PgConnection::Exec(const char* sql, std::string* error, std::string* state) {
    PGresult* r = PQexec(conn_, sql);
    const bool ok = PgOk(r);
    if (!ok && error)
        *error = PgError(r);
    if (!ok && state)
        *state = PgState(r);
    PQclear(r);
    return ok;
}

namespace {

// Calls found(position, length, N) for every parameter $N of a PostgreSQL text; quoted
// texts and names are skipped.
template <class Found> void ScanParameters(std::string_view sql, Found found) {
    bool inString = false;
    bool inName = false;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' && !inName)
            inString = !inString;
        else if (c == '"' && !inString)
            inName = !inName;
        if (inString || inName || c != '$' || i + 1 >= sql.size() ||
            !std::isdigit(static_cast<unsigned char>(sql[i + 1])))
            continue;
        std::size_t end = i + 1;
        std::size_t n = 0;
        while (end < sql.size() && std::isdigit(static_cast<unsigned char>(sql[end])))
            n = n * 10 + static_cast<std::size_t>(sql[end++] - '0');
        found(i, end - i, n);
        i = end - 1;
    }
}

// The highest $N of a PostgreSQL text, with which numbers it uses.
std::vector<bool> UsedParameters(const std::string& sql) {
    std::vector<bool> used;
    ScanParameters(sql, [&used](std::size_t, std::size_t, std::size_t n) {
        if (n == 0)
            return;
        if (n > used.size())
            used.resize(n, false);
        used[n - 1] = true;
    });
    return used;
}

// Refusals that come from the values' missing types: an operator or a function between
// untyped values is ambiguous or unknown, a type cannot be chosen or does not match.
bool TypeRefusal(const std::string& state) {
    return state == "42725" || state == "42883" || state == "42804" || state == "42P18" ||
           state == "42P08";
}

} // namespace

bool PgConnection::EnsurePrepared(CacheEntry& entry, std::string* error) {
    if (!entry.pgName.empty() || entry.pgInline)
        return true;
    std::string name = "tvl" + std::to_string(++nextName_);
    // A statement may skip a number ($9 absent, $10 used: optional conditions with bind
    // variables); the server cannot type a value nothing uses, so those are text.
    const std::vector<bool> used = UsedParameters(entry.sql);
    std::vector<Oid> types;
    constexpr Oid kTextOid = 25;
    for (bool u : used)
        types.push_back(u ? 0 : kTextOid);
    // A refused statement breaks an open transaction; under a savepoint it does not, as
    // on SQLite, and the shape can still run with its values written in.
    const bool savepoint =
        InTransaction() && !TransactionFailed() && Exec("SAVEPOINT tvl_prepare", nullptr);
    PGresult* r = PQprepare(conn_, name.c_str(), entry.sql.c_str(), static_cast<int>(types.size()),
                            types.empty() ? nullptr : types.data());
    bool ok = PgOk(r);
    const std::string state = ok ? std::string() : PgState(r);
    if (!ok && error)
        *error = PgError(r);
    PQclear(r);
    if (savepoint)
        Exec(ok ? "RELEASE SAVEPOINT tvl_prepare"
                : "ROLLBACK TO SAVEPOINT tvl_prepare; RELEASE SAVEPOINT tvl_prepare",
             nullptr);
    if (!ok) {
        // Values written into the text have the types of their form (1 an integer, 0.5 a
        // numeric) and bind variables the types of their kind: what the server refused
        // untyped it can then resolve. Without any value there is nothing to change.
        if (!entry.translated || used.empty() || !TypeRefusal(state))
            return false;
        entry.pgInline = true;
        const int literals = static_cast<int>(entry.conversions.size());
        entry.pgParams = std::max(0, static_cast<int>(used.size()) - literals);
        return true;
    }
    r = PQdescribePrepared(conn_, name.c_str());
    ok = PgOk(r);
    if (ok) {
        entry.pgParams = PQnparams(r);
        entry.pgParamTypes.resize(static_cast<std::size_t>(entry.pgParams));
        for (int i = 0; i < entry.pgParams; ++i)
            entry.pgParamTypes[static_cast<std::size_t>(i)] = PQparamtype(r, i);
    } else if (error)
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

PGresult* PgConnection::ExecPrepared(const std::string& name, const PgValues& values, bool binary,
                                     bool guarded) {
    std::vector<const char*> p = Pointers(values);
    const int n = static_cast<int>(p.size());
    if (guarded)
        return Guarded([&] {
            return PQsendQueryPrepared(conn_, name.c_str(), n, p.data(), nullptr, nullptr,
                                       binary ? 1 : 0);
        });
    return PQexecPrepared(conn_, name.c_str(), n, p.data(), nullptr, nullptr, binary ? 1 : 0);
}

PGresult* PgConnection::ExecText(const std::string& sql, const PgValues& values,
                                 const std::vector<unsigned>& types, bool binary, bool guarded) {
    std::vector<const char*> p = Pointers(values);
    std::vector<Oid> oids(p.size(), 0);
    for (std::size_t i = 0; i < oids.size() && i < types.size(); ++i)
        oids[i] = types[i];
    const int n = static_cast<int>(p.size());
    const Oid* typeList = oids.empty() ? nullptr : oids.data();
    if (guarded)
        return Guarded([&] {
            return PQsendQueryParams(conn_, sql.c_str(), n, typeList, p.data(), nullptr, nullptr,
                                     binary ? 1 : 0);
        });
    return PQexecParams(conn_, sql.c_str(), n, typeList, p.data(), nullptr, nullptr,
                        binary ? 1 : 0);
}

PGresult* PgConnection::Guarded(const std::function<int()>& send) {
    // Three statements, one round trip: on a server a round trip costs more than the
    // statement, and every write of a unit of work is guarded.
    if (PQenterPipelineMode(conn_) != 1)
        return nullptr;
    const auto sendText = [this](const char* sql) {
        return PQsendQueryParams(conn_, sql, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
    };
    // What was queued goes out with the sync even when a send failed, so that every result
    // read below comes.
    if (sendText("SAVEPOINT tvl_statement") && send() == 1)
        sendText("RELEASE SAVEPOINT tvl_statement");
    PQpipelineSync(conn_);
    // Results come per statement, each list ended by a null, then the sync's. After a
    // failure the rest of the pipeline is reported aborted.
    PGresult* results[3] = {nullptr, nullptr, nullptr};
    int statement = 0;
    int nullsInARow = 0;
    for (;;) {
        PGresult* r = PQgetResult(conn_);
        if (!r) {
            // One null closes a statement's results; two in a row: nothing more comes
            // (the connection failed before the sync).
            if (++nullsInARow > 1)
                break;
            ++statement;
            continue;
        }
        nullsInARow = 0;
        if (PQresultStatus(r) == PGRES_PIPELINE_SYNC) {
            PQclear(r);
            break;
        }
        if (statement < 3 && !results[statement])
            results[statement] = r;
        else
            PQclear(r);
    }
    PQexitPipelineMode(conn_);
    // The statement's result, or the savepoint's refusal; none when nothing came back.
    const bool savepointOk = PgOk(results[0]);
    if (savepointOk && !PgOk(results[1]))
        Exec("ROLLBACK TO SAVEPOINT tvl_statement; RELEASE SAVEPOINT tvl_statement", nullptr);
    PGresult* out = savepointOk ? results[1] : results[0];
    for (PGresult* r : results)
        if (r != out)
            PQclear(r);
    return out;
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

int PgStorageFault(const std::string& state) {
    if (state == "53100")
        return 1;
    if (state == "53200" || state.rfind("58", 0) == 0 || state == "XX001" || state == "XX002")
        return 2;
    return 0;
}

long PgRowsChanged(const PGresult* r) {
    const char* n = PQcmdTuples(const_cast<PGresult*>(r));
    return n && *n ? std::strtol(n, nullptr, 10) : 0;
}

namespace {

// A real as SQLite writes it as text: 15 significant digits, always with a decimal point
// (4.0, 1.0e+20).
std::string SqliteRealText(double d) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", d);
    std::string value = text;
    if (value.find_first_of(".nN") != std::string::npos)
        return value;
    const std::size_t e = value.find('e');
    value.insert(e == std::string::npos ? value.size() : e, ".0");
    return value;
}

} // namespace

std::string PgCellText(const PGresult* r, int row, int col, const char* nullText) {
    if (PQgetisnull(r, row, col))
        return nullText ? nullText : "";
    const char* text = PQgetvalue(r, row, col);
    constexpr Oid kFloat8 = 701;
    // AVG and exact division give numeric, which SQLite computes as a real.
    constexpr Oid kNumeric = 1700;
    const Oid type = PQftype(r, col);
    if (type == kFloat8 || type == kNumeric)
        return SqliteRealText(std::strtod(text, nullptr));
    std::string value(text, static_cast<std::size_t>(PQgetlength(r, row, col)));
    if (type == kBpcharOid)
        value.erase(value.find_last_not_of(' ') + 1);
    return value;
}

std::string PgByteaText(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "\\x";
    text.reserve(2 + 2 * bytes.size());
    for (unsigned char b : bytes) {
        text += kHex[b >> 4];
        text += kHex[b & 0x0f];
    }
    return text;
}

void PgColumnValue(const ColumnDesc& c, const void* data, PgValues& values) {
    PgSink sink{values};
    WriteColumn(sink, c, data);
}

void PgReadResult(const PGresult* r, int row, const WSIResult& result) {
    ReadResultFrom(
        PQnfields(r),
        [r, row](int col) {
            return PgSource{r, row, col};
        },
        result);
}

std::string PgFold(const char* name) {
    std::string s = name ? name : "";
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

namespace {

std::string PgColumnType(const ColumnDesc& c) {
    switch (c.type) {
    case ColType::Id:
    case ColType::Int:
    case ColType::Flag:
    case ColType::Count:
        return "integer";
    case ColType::Amount:
        return "double precision";
    case ColType::Date:
        return "date";
    case ColType::Code:
        // Blank-padded comparison: ' ' equals ''.
        return "char(" + std::to_string(c.width) + ")";
    case ColType::Text:
        return "varchar(" + std::to_string(c.width) + ")";
    }
    return "";
}

} // namespace

std::string PgCreateTableSql(const TableDesc& t) {
    // Assigned by the server when the insert leaves it out; an explicit id is taken as
    // given (the service then moves the counter past it).
    return CreateTableSqlWith(t, PgFold(t.name),
                              "integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY", PgColumnType);
}

std::string PgAddColumnSql(const TableDesc& t, const ColumnDesc& c) {
    return AddColumnSqlWith(PgFold(t.name), c, PgColumnType);
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

std::string PgLiteralSql(const sqldialect::Literal& value) {
    using Kind = sqldialect::Literal::Kind;
    switch (value.kind) {
    case Kind::Null:
        return "NULL";
    case Kind::Integer: {
        const std::string digits = std::to_string(value.integer);
        // "- -1" must not become "--1", a comment.
        return value.integer < 0 ? "(" + digits + ")" : digits;
    }
    case Kind::Real: {
        // The shortest text that reads back as the same double: 0.1 stays 0.1.
        char text[64];
        const auto r = std::to_chars(text, text + sizeof text, value.real);
        std::string digits(text, r.ptr);
        if (digits.find_first_of("ni") != std::string::npos) // inf, nan: no numeric literal
            return "CAST('" + digits + "' AS double precision)";
        // 1e3 is a real however it is written; "1000" would be read as an integer.
        if (digits.find_first_of(".e") == std::string::npos)
            digits += ".0";
        return value.real < 0 ? "(" + digits + ")" : digits;
    }
    case Kind::Text:
        break;
    }
    if (value.text.empty())
        return "NULL"; // '' is NULL, as in Oracle
    std::string quoted = "'";
    for (char c : value.text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + "'";
}

std::string PgWriteValues(std::string_view sql, const std::vector<std::string>& literalSql) {
    std::string out;
    out.reserve(sql.size() + 16 * literalSql.size());
    std::size_t copied = 0;
    ScanParameters(sql, [&](std::size_t at, std::size_t length, std::size_t n) {
        out.append(sql.substr(copied, at - copied));
        if (n >= 1 && n <= literalSql.size())
            out += literalSql[n - 1];
        else
            out += '$' + std::to_string(n - literalSql.size());
        copied = at + length;
    });
    out.append(sql.substr(copied));
    return out;
}

bool PgWholeNumberType(unsigned type) {
    constexpr unsigned kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23;
    return type == kInt8Oid || type == kInt2Oid || type == kInt4Oid;
}

unsigned PgBindType(stBindVarParams::Kind kind) {
    constexpr unsigned kInt8Oid = 20;
    constexpr unsigned kFloat8Oid = 701;
    switch (kind) {
    case stBindVarParams::Kind::Long:
        return kInt8Oid;
    case stBindVarParams::Kind::Double:
        return kFloat8Oid; // a double, as SQLite binds it
    default:
        return 0;
    }
}

} // namespace tavel::db

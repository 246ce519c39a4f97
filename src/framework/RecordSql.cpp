#include "RecordSql.h"

#include "ColumnConvert.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>

namespace tavel::db {

namespace {

void AppendQuoted(std::string& out, const char* name) {
    out += '"';
    out += name;
    out += '"';
}

void AppendParam(std::string& out, int& n) {
    out += '?';
    out += std::to_string(n++);
}

void AppendColumnList(std::string& out, const TableDesc& t) {
    for (std::size_t i = 0; i < t.count; ++i) {
        if (i)
            out += ", ";
        AppendQuoted(out, t.columns[i].name);
    }
}

// "k1" = ?n AND "k2" = ?n+1 ...
void AppendKeyCondition(std::string& out, const TableDesc& t, int& n) {
    bool first = true;
    for (std::size_t i = 0; i < t.count; ++i) {
        if (!t.columns[i].key)
            continue;
        if (!first)
            out += " AND ";
        first = false;
        AppendQuoted(out, t.columns[i].name);
        out += " = ";
        AppendParam(out, n);
    }
}

int TwoDigits(const char* p) {
    if (p[0] < '0' || p[0] > '9' || p[1] < '0' || p[1] > '9')
        return -1;
    return (p[0] - '0') * 10 + (p[1] - '0');
}

} // namespace

std::size_t ColumnSize(const ColumnDesc& c) {
    switch (c.type) {
    case ColType::Id:
    case ColType::Int:
        return sizeof(long);
    case ColType::Flag:
    case ColType::Count:
        return sizeof(short);
    case ColType::Amount:
        return sizeof(double);
    case ColType::Date:
        return sizeof(WSIDate);
    case ColType::Code:
    case ColType::Text:
        return static_cast<std::size_t>(c.width) + 1;
    }
    return 0;
}

const ColumnDesc* FindColumn(const TableDesc& t, const char* name) {
    if (!name)
        return nullptr;
    for (std::size_t i = 0; i < t.count; ++i)
        if (std::strcmp(t.columns[i].name, name) == 0)
            return &t.columns[i];
    // Callers sometimes write a column in another case; accept it when unambiguous.
    for (std::size_t i = 0; i < t.count; ++i)
        if (strcasecmp(t.columns[i].name, name) == 0)
            return &t.columns[i];
    return nullptr;
}

const ColumnDesc* AutoIdColumn(const TableDesc& t) {
    const ColumnDesc* found = nullptr;
    for (std::size_t i = 0; i < t.count; ++i) {
        if (!t.columns[i].key)
            continue;
        if (found || t.columns[i].type != ColType::Id)
            return nullptr;
        found = &t.columns[i];
    }
    return found;
}

std::string SelectByKeySql(const TableDesc& t) {
    std::string s = "SELECT ";
    AppendColumnList(s, t);
    s += " FROM ";
    s += t.name;
    s += " WHERE ";
    int n = 1;
    AppendKeyCondition(s, t, n);
    return s;
}

std::string SelectAllSql(const TableDesc& t) {
    std::string s = "SELECT ";
    AppendColumnList(s, t);
    s += " FROM ";
    s += t.name;
    bool first = true;
    for (std::size_t i = 0; i < t.count; ++i) {
        if (!t.columns[i].key)
            continue;
        s += first ? " ORDER BY " : ", ";
        first = false;
        AppendQuoted(s, t.columns[i].name);
    }
    return s;
}

std::string InsertSql(const TableDesc& t) {
    std::string s = "INSERT INTO ";
    s += t.name;
    s += " (";
    AppendColumnList(s, t);
    s += ") VALUES (";
    int n = 1;
    for (std::size_t i = 0; i < t.count; ++i) {
        if (i)
            s += ", ";
        AppendParam(s, n);
    }
    s += ')';
    return s;
}

std::string UpdateSql(const TableDesc& t) {
    std::string s = "UPDATE ";
    s += t.name;
    s += " SET ";
    int n = 1;
    bool first = true;
    for (std::size_t i = 0; i < t.count; ++i) {
        if (t.columns[i].key)
            continue;
        if (!first)
            s += ", ";
        first = false;
        AppendQuoted(s, t.columns[i].name);
        s += " = ";
        AppendParam(s, n);
    }
    if (first) {
        // Only key columns: an update that changes nothing but still finds the row.
        for (std::size_t i = 0; i < t.count; ++i) {
            if (t.columns[i].key) {
                AppendQuoted(s, t.columns[i].name);
                s += " = ";
                AppendQuoted(s, t.columns[i].name);
                break;
            }
        }
    }
    s += " WHERE ";
    AppendKeyCondition(s, t, n);
    return s;
}

std::string DeleteSql(const TableDesc& t) {
    std::string s = "DELETE FROM ";
    s += t.name;
    s += " WHERE ";
    int n = 1;
    AppendKeyCondition(s, t, n);
    return s;
}

namespace {

struct SqliteSink {
    sqlite3_stmt* stmt;
    int index;
    void Null() { sqlite3_bind_null(stmt, index); }
    void Whole(long long v) { sqlite3_bind_int64(stmt, index, v); }
    void Real(double v) { sqlite3_bind_double(stmt, index, v); }
    void Text(const char* p, std::size_t len, bool stable) {
        sqlite3_bind_text(stmt, index, p, static_cast<int>(len),
                          stable ? SQLITE_STATIC : SQLITE_TRANSIENT);
    }
};

struct SqliteSource {
    sqlite3_stmt* stmt;
    int col;
    bool IsNull() const { return sqlite3_column_type(stmt, col) == SQLITE_NULL; }
    long long Whole() const { return sqlite3_column_int64(stmt, col); }
    double Real() const { return sqlite3_column_double(stmt, col); }
    const char* Text() const {
        return reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
    }
    std::size_t Length(bool) const {
        return static_cast<std::size_t>(sqlite3_column_bytes(stmt, col));
    }
};

} // namespace

void BindColumn(sqlite3_stmt* stmt, int index, const ColumnDesc& c, const void* data) {
    SqliteSink sink{stmt, index};
    WriteColumn(sink, c, data);
}

void ReadColumn(sqlite3_stmt* stmt, int col, const ColumnDesc& c, void* data) {
    ReadColumnFrom(SqliteSource{stmt, col}, c, data);
}

void ReadResult(sqlite3_stmt* stmt, const WSIResult& r) {
    ReadResultFrom(
        sqlite3_column_count(stmt),
        [stmt](int col) {
            return SqliteSource{stmt, col};
        },
        r);
}

void FormatIsoDate(const WSIDate& d, char* out) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    std::memcpy(out, text, 10);
    out[10] = '\0';
}

bool ParseIsoDate(const char* text, WSIDate& date) {
    date = WSIDate{};
    if (!text || std::strlen(text) < 10 || text[4] != '-' || text[7] != '-')
        return false;
    int y1 = TwoDigits(text), y2 = TwoDigits(text + 2);
    int m = TwoDigits(text + 5), d = TwoDigits(text + 8);
    if (y1 < 0 || y2 < 0 || m < 1 || m > 12 || d < 1 || d > 31)
        return false;
    if (text[10] != '\0' && text[10] != ' ' && text[10] != 'T')
        return false;
    date = WSIDate{static_cast<short>(y1 * 100 + y2), static_cast<short>(m), static_cast<short>(d)};
    return true;
}

void CopyText(char* dst, std::size_t capacity, const char* src, std::size_t len) {
    if (capacity == 0)
        return;
    if (!src)
        len = 0;
    if (len > capacity - 1) {
        len = capacity - 1;
        // Back off to the start of a UTF-8 sequence that no longer fits whole.
        while (len > 0 && (static_cast<unsigned char>(src[len]) & 0xC0) == 0x80)
            --len;
    }
    if (len)
        std::memcpy(dst, src, len);
    dst[len] = '\0';
}

std::string CreateTableSqlWith(const TableDesc& t, const std::string& tableName,
                               const char* autoIdType,
                               std::string (*columnType)(const ColumnDesc& column)) {
    const ColumnDesc* autoId = AutoIdColumn(t);
    std::string s = "CREATE TABLE " + tableName + " (";
    for (std::size_t i = 0; i < t.count; ++i) {
        const ColumnDesc& c = t.columns[i];
        if (i)
            s += ", ";
        AppendQuoted(s, c.name);
        s += ' ';
        if (&c == autoId) {
            s += autoIdType;
            continue;
        }
        s += columnType(c);
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
            AppendQuoted(s, t.columns[i].name);
        }
        if (!first)
            s += ')';
    }
    return s + ")";
}

std::string AddColumnSqlWith(const std::string& tableName, const ColumnDesc& c,
                             std::string (*columnType)(const ColumnDesc& column)) {
    std::string s = "ALTER TABLE " + tableName + " ADD COLUMN ";
    AppendQuoted(s, c.name);
    return s + ' ' + columnType(c);
}

} // namespace tavel::db

namespace {

std::string SqliteColumnType(const ColumnDesc& c) {
    switch (c.type) {
    case ColType::Id:
    case ColType::Int:
    case ColType::Flag:
    case ColType::Count:
        return "INTEGER";
    case ColType::Amount:
        return "REAL";
    case ColType::Date:
    case ColType::Text:
        return "TEXT";
    case ColType::Code:
        // CHAR semantics: trailing blanks do not count, so ' ' equals ''.
        return "TEXT COLLATE RTRIM";
    }
    return "";
}

} // namespace

std::string AddColumnSql(const TableDesc& t, const ColumnDesc& c) {
    return tavel::db::AddColumnSqlWith(t.name, c, SqliteColumnType);
}

std::string CreateTableSql(const TableDesc& t) {
    // The rowid alias: the database assigns ids to rows inserted with NULL.
    return tavel::db::CreateTableSqlWith(t, t.name, "INTEGER PRIMARY KEY", SqliteColumnType);
}

#include "SqliteFunctions.h"

#include "Clock.h"

#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <strings.h>
#include <unordered_map>

namespace {

constexpr int kSequenceBusyTimeoutMs = 10000;

const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::string Upper(const char* s) {
    std::string out(s ? s : "");
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// What the functions of one connection share.
struct ConnectionState {
    std::function<WSIDate()> today;
    std::string sequencePath;                // empty: counters kept in memory
    std::map<std::string, long long> memory; // in-memory database: name -> last value
    sqlite3* sequenceDb = nullptr;
    sqlite3_stmt* bump = nullptr;

    ~ConnectionState() {
        sqlite3_finalize(bump);
        sqlite3_close(sequenceDb);
    }
};

// Lets CreateSequence find the counters of an in-memory database.
std::mutex gStatesMutex;
std::unordered_map<sqlite3*, ConnectionState*> gStates;

std::string SequencePath(sqlite3* db) {
    const char* file = sqlite3_db_filename(db, "main");
    if (!file || !*file)
        return {};
    return std::string(file) + ".sequences";
}

int OpenSequenceDb(const std::string& path, sqlite3** out) {
    int rc =
        sqlite3_open_v2(path.c_str(), out, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_busy_timeout(*out, kSequenceBusyTimeoutMs);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(*out,
                          "CREATE TABLE IF NOT EXISTS \"TVL_SEQUENCES\"("
                          "name TEXT PRIMARY KEY, value INTEGER NOT NULL)",
                          nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(*out);
        *out = nullptr;
    }
    return rc;
}

// A process killed while it committed a number leaves the counters' rollback journal
// behind. Only a connection that may write can roll it back, and it does so on its first
// read; this does that read at once, so that nothing that opens the file read-only later
// (a check, a backup) meets the half-written file. Nothing is created when the file does
// not exist. Returns the open connection, or null when there is no file or it cannot be
// read now (NextVal then tries again and reports why).
sqlite3* RecoverSequenceDb(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_busy_timeout(db, kSequenceBusyTimeoutMs) == SQLITE_OK &&
        sqlite3_exec(db, "SELECT COUNT(1) FROM sqlite_schema", nullptr, nullptr, nullptr) ==
            SQLITE_OK)
        return db;
    sqlite3_close(db);
    return nullptr;
}

void ResultError(sqlite3_context* ctx, const std::string& message) {
    sqlite3_result_error(ctx, message.c_str(), static_cast<int>(message.size()));
}

void ResultDate(sqlite3_context* ctx, int y, int m, int d) {
    char buf[32];
    int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    sqlite3_result_text(ctx, buf, n, SQLITE_TRANSIENT);
}

bool ValidDate(int y, int m, int d) {
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= 31 &&
           tavel::IsCalendarDate(
               WSIDate{static_cast<short>(y), static_cast<short>(m), static_cast<short>(d)});
}

void Today(sqlite3_context* ctx, int, sqlite3_value**) {
    auto* state = static_cast<ConnectionState*>(sqlite3_user_data(ctx));
    WSIDate d;
    if (state->today) {
        d = state->today();
    } else {
        std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        d.year = static_cast<short>(tm.tm_year + 1900);
        d.month = static_cast<short>(tm.tm_mon + 1);
        d.day = static_cast<short>(tm.tm_mday);
    }
    if (d.IsNull())
        sqlite3_result_null(ctx);
    else
        ResultDate(ctx, d.year, d.month, d.day);
}

void NextVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* state = static_cast<ConnectionState*>(sqlite3_user_data(ctx));
    std::string name = Upper(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    if (state->sequencePath.empty()) {
        auto it = state->memory.find(name);
        if (it == state->memory.end())
            return ResultError(ctx, "sequence " + name + " does not exist");
        sqlite3_result_int64(ctx, ++it->second);
        return;
    }
    if (!state->bump) {
        int rc =
            state->sequenceDb ? SQLITE_OK : OpenSequenceDb(state->sequencePath, &state->sequenceDb);
        if (rc == SQLITE_OK)
            rc = sqlite3_prepare_v2(state->sequenceDb,
                                    "UPDATE \"TVL_SEQUENCES\" SET value = value + 1 "
                                    "WHERE name = ?1 RETURNING value",
                                    -1, &state->bump, nullptr);
        if (rc != SQLITE_OK)
            return ResultError(ctx, "sequences unavailable: " + state->sequencePath);
    }
    sqlite3_stmt* s = state->bump;
    sqlite3_bind_text(s, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    int rc = sqlite3_step(s);
    bool found = rc == SQLITE_ROW;
    sqlite3_int64 value = found ? sqlite3_column_int64(s, 0) : 0;
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(s); // the increment commits when the statement completes
    sqlite3_reset(s);
    if (rc != SQLITE_DONE)
        return ResultError(ctx, std::string("sequence ") + name + ": " +
                                    sqlite3_errmsg(state->sequenceDb));
    if (!found)
        return ResultError(ctx, "sequence " + name + " does not exist");
    sqlite3_result_int64(ctx, value);
}

void DestroyState(void* p) {
    auto* state = static_cast<ConnectionState*>(p);
    {
        std::lock_guard<std::mutex> lock(gStatesMutex);
        for (auto it = gStates.begin(); it != gStates.end(); ++it) {
            if (it->second == state) {
                gStates.erase(it);
                break;
            }
        }
    }
    delete state;
}

// ---- date formats

struct DateParts {
    int y = 0, m = 0, d = 0, hh = 0, mi = 0, ss = 0;
};

// Format elements in the order they must be tried (longest first).
enum class Element { None, YYYY, YY, MONTH3, MM, DD, HH24, HH, MI, SS };

Element ElementAt(const char* f, std::size_t& len) {
    struct E {
        const char* text;
        Element e;
    };
    static const E kElements[] = {
        {"YYYY", Element::YYYY}, {"HH24", Element::HH24}, {"MON", Element::MONTH3},
        {"YY", Element::YY},     {"MM", Element::MM},     {"DD", Element::DD},
        {"HH", Element::HH},     {"MI", Element::MI},     {"SS", Element::SS}};
    for (const E& e : kElements) {
        std::size_t n = std::strlen(e.text);
        if (strncasecmp(f, e.text, n) == 0) {
            len = n;
            return e.e;
        }
    }
    len = 0;
    return Element::None;
}

// Stored dates are 'YYYY-MM-DD', possibly followed by a time of day.
bool ParseStored(const char* s, DateParts& p) {
    int n = std::sscanf(s, "%4d-%2d-%2d %2d:%2d:%2d", &p.y, &p.m, &p.d, &p.hh, &p.mi, &p.ss);
    return n >= 3 && ValidDate(p.y, p.m, p.d);
}

void ToChar(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    DateParts p;
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT || !ParseStored(text, p))
        return ResultError(ctx, "TO_CHAR: not a date");
    const char* f = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    std::string out;
    char buf[16];
    for (std::size_t i = 0; f[i];) {
        if (f[i] == '"') {
            const char* end = std::strchr(f + i + 1, '"');
            if (!end)
                return ResultError(ctx, "TO_CHAR: unterminated text in format");
            out.append(f + i + 1, end);
            i = static_cast<std::size_t>(end - f) + 1;
            continue;
        }
        std::size_t len;
        Element e = ElementAt(f + i, len);
        switch (e) {
        case Element::YYYY:
            std::snprintf(buf, sizeof buf, "%04d", p.y);
            break;
        case Element::YY:
            std::snprintf(buf, sizeof buf, "%02d", p.y % 100);
            break;
        case Element::MONTH3: {
            std::string mon = kMonths[p.m - 1];
            bool lower2 = std::islower(static_cast<unsigned char>(f[i + 1]));
            bool lower1 = std::islower(static_cast<unsigned char>(f[i]));
            for (std::size_t k = 0; k < mon.size(); ++k)
                if ((k == 0 && lower1) || (k > 0 && lower2))
                    mon[k] = static_cast<char>(std::tolower(static_cast<unsigned char>(mon[k])));
            std::snprintf(buf, sizeof buf, "%s", mon.c_str());
            break;
        }
        case Element::MM:
            std::snprintf(buf, sizeof buf, "%02d", p.m);
            break;
        case Element::DD:
            std::snprintf(buf, sizeof buf, "%02d", p.d);
            break;
        case Element::HH24:
            std::snprintf(buf, sizeof buf, "%02d", p.hh);
            break;
        case Element::HH:
            std::snprintf(buf, sizeof buf, "%02d", p.hh % 12 == 0 ? 12 : p.hh % 12);
            break;
        case Element::MI:
            std::snprintf(buf, sizeof buf, "%02d", p.mi);
            break;
        case Element::SS:
            std::snprintf(buf, sizeof buf, "%02d", p.ss);
            break;
        case Element::None:
            if (std::isalnum(static_cast<unsigned char>(f[i])))
                return ResultError(ctx,
                                   std::string("TO_CHAR: unknown format element at ") + (f + i));
            out.push_back(f[i]);
            ++i;
            continue;
        }
        out.append(buf);
        i += len;
    }
    sqlite3_result_text(ctx, out.c_str(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

bool ReadDigits(const char* s, std::size_t& i, int maxDigits, int& value) {
    int n = 0;
    value = 0;
    while (n < maxDigits && std::isdigit(static_cast<unsigned char>(s[i]))) {
        value = value * 10 + (s[i] - '0');
        ++i;
        ++n;
    }
    return n > 0;
}

void ToDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const char* s = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const char* f = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    if (!*s)
        return sqlite3_result_null(ctx); // '' is NULL
    DateParts p;
    p.y = -1;
    std::size_t i = 0, j = 0;
    auto mismatch = [&] {
        ResultError(ctx, std::string("TO_DATE: '") + s + "' does not match '" + f + "'");
    };
    while (f[j]) {
        std::size_t len;
        Element e = ElementAt(f + j, len);
        bool ok = true;
        int ignored;
        switch (e) {
        case Element::YYYY:
            ok = ReadDigits(s, i, 4, p.y);
            break;
        case Element::YY:
            ok = ReadDigits(s, i, 2, p.y);
            p.y += 2000;
            break;
        case Element::MONTH3:
            ok = false;
            for (int m = 0; m < 12 && !ok; ++m)
                if (strncasecmp(s + i, kMonths[m], 3) == 0) {
                    p.m = m + 1;
                    i += 3;
                    ok = true;
                }
            break;
        case Element::MM:
            ok = ReadDigits(s, i, 2, p.m);
            break;
        case Element::DD:
            ok = ReadDigits(s, i, 2, p.d);
            break;
        case Element::HH24:
        case Element::HH:
        case Element::MI:
        case Element::SS:
            ok = ReadDigits(s, i, 2, ignored); // dates carry no time of day
            break;
        case Element::None:
            if (std::isalnum(static_cast<unsigned char>(f[j])))
                return ResultError(ctx,
                                   std::string("TO_DATE: unknown format element at ") + (f + j));
            // Separators match any separator, as Oracle is lenient about punctuation.
            ok = s[i] && !std::isalnum(static_cast<unsigned char>(s[i]));
            if (ok)
                ++i;
            ++j;
            if (!ok)
                return mismatch();
            continue;
        }
        if (!ok)
            return mismatch();
        j += len;
    }
    if (s[i] || !ValidDate(p.y, p.m, p.d))
        return mismatch();
    ResultDate(ctx, p.y, p.m, p.d);
}

} // namespace

int RegisterOracleFunctions(sqlite3* db, std::function<WSIDate()> today) {
    auto* state = new ConnectionState;
    state->today = std::move(today);
    state->sequencePath = SequencePath(db);
    if (!state->sequencePath.empty())
        state->sequenceDb = RecoverSequenceDb(state->sequencePath);
    {
        std::lock_guard<std::mutex> lock(gStatesMutex);
        gStates[db] = state;
    }
    // tvl_nextval owns the state: SQLite destroys it with the connection (or at once
    // when the registration fails).
    int rc = sqlite3_create_function_v2(db, "tvl_nextval", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY,
                                        state, NextVal, nullptr, nullptr, DestroyState);
    if (rc != SQLITE_OK)
        return rc;
    rc = sqlite3_create_function_v2(db, "tvl_today", 0, SQLITE_UTF8 | SQLITE_INNOCUOUS, state,
                                    Today, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    rc = sqlite3_create_function_v2(db, "tvl_to_char", 2, pure, nullptr, ToChar, nullptr, nullptr,
                                    nullptr);
    if (rc != SQLITE_OK)
        return rc;
    return sqlite3_create_function_v2(db, "tvl_to_date", 2, pure, nullptr, ToDate, nullptr, nullptr,
                                      nullptr);
}

int CreateSequence(sqlite3* db, const char* name) {
    if (!db || !name || !*name)
        return SQLITE_MISUSE;
    std::string key = Upper(name);
    std::string path = SequencePath(db);
    if (path.empty()) {
        std::lock_guard<std::mutex> lock(gStatesMutex);
        auto it = gStates.find(db);
        if (it == gStates.end())
            return SQLITE_MISUSE;
        it->second->memory.emplace(key, 0);
        return SQLITE_OK;
    }
    sqlite3* seq = nullptr;
    int rc = OpenSequenceDb(path, &seq);
    if (rc != SQLITE_OK)
        return rc;
    sqlite3_stmt* s = nullptr;
    rc = sqlite3_prepare_v2(seq,
                            "INSERT OR IGNORE INTO \"TVL_SEQUENCES\"(name, value) VALUES (?1, 0)",
                            -1, &s, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(s, 1, key.c_str(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(s) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(seq);
    }
    sqlite3_finalize(s);
    sqlite3_close(seq);
    return rc;
}

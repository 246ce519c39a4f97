#include "HostDatabase.h"

#include "BoundedFormat.h"
#include "DbLocation.h"
#include "DemoData.h"
#include "Records.h"
#include "Schema.h"
#include "SqlText.h"
#include "StringTable.h"
#include "WSIDatabase.h"

#include <libpq-fe.h>
#include <sodium.h>

#include <filesystem>
#include <vector>

namespace tavelhost {
namespace {

constexpr unsigned kMissingDatabaseMessage = 39401;
constexpr unsigned kWrongSchemaMessage = 39402;
constexpr unsigned kNotInventoryMessage = 39405;
constexpr unsigned kCreateFailedMessage = 39406;
constexpr unsigned kServerUnreachableMessage = 39411;
constexpr unsigned kServerNotInventoryMessage = 39412;
constexpr unsigned kUnreadableNowMessage = 40000;

// The demo gives every user the same password, and the approval right to the users the
// demo marks as approvers, so that both sides of the approval rules can be tried.
bool SeedDemoSignIn(WSIDatabase& db) {
    for (const tavel::DemoUser& demo : tavel::kDemoUsers) {
        long id = 0;
        char sql[256];
        TVL_FORMAT(sql, "SELECT \"User\" FROM USERS WHERE \"Login\" = '%s'",
                   tavel::EscapeQuotes(demo.login).c_str());
        std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &id, sql);
        if (!cursor->GetFirst())
            continue;
        cursor.reset();
        if (!SetPassword(db, id, kDemoPassword))
            return false;
        if (demo.canApprove && !GrantRight(db, id, kApproveRight, false))
            return false;
    }
    return true;
}

// A connection string as staff may see it: a password in it is not shown.
std::string WithoutPassword(const std::string& conninfo) {
    std::string shown;
    std::size_t pos = 0;
    while (pos < conninfo.size()) {
        std::size_t end = conninfo.find(' ', pos);
        if (end == std::string::npos)
            end = conninfo.size();
        std::string word = conninfo.substr(pos, end - pos);
        if (!word.empty() && word.rfind("password=", 0) != 0)
            shown += (shown.empty() ? "" : " ") + word;
        pos = end + 1;
    }
    return shown;
}

// A database that exists must be an inventory database of this schema version.
bool CheckExisting(WSIDatabase& db, const std::string& where, const StringTable& texts,
                   unsigned notInventoryMessage, OpenOutcome& out) {
    // A database of an earlier version gets what was added since (indexes only); one that
    // cannot be upgraded is refused by the check with its version.
    tavel::UpgradeSchema(db);
    tavel::SchemaCheck check = tavel::CheckSchema(db);
    if (check.ok)
        return true;
    if (check.version != 0 && check.version != tavel::kSchemaVersion) {
        char buf[1024];
        std::string pattern = MessageText(texts, kWrongSchemaMessage);
        FormatInto(__LINE__, __FILE__, buf, pattern.c_str(), where.c_str(), check.version,
                   tavel::kSchemaVersion);
        out.problem = buf;
    } else {
        // A file only busy or failing to read at this moment is not called damaged.
        out.problem =
            MessageWith(texts, check.unreadable ? kUnreadableNowMessage : notInventoryMessage,
                        where, check.problem);
    }
    return false;
}

// Writes record: replaces the row with the same key, or adds it.
template <class Record> bool Store(Record& record) {
    Record existing(record.GetDatabase());
    existing.data = record.data;
    if (existing.GetEqual(__FILE__, __LINE__))
        return record.UpdateDB(__FILE__, __LINE__);
    return record.InsertDB(__FILE__, __LINE__);
}

} // namespace

std::string MessageText(const StringTable& texts, unsigned code) {
    return std::string(texts.Get(code));
}

std::string MessageWith(const StringTable& texts, unsigned code, const std::string& a,
                        const std::string& b) {
    std::string pattern = MessageText(texts, code);
    char buf[1024];
    FormatInto(__LINE__, __FILE__, buf, pattern.c_str(), a.c_str(), b.c_str());
    return buf;
}

bool SetPassword(WSIDatabase& db, long user, const std::string& password) {
    if (sodium_init() < 0)
        return false;
    char hash[crypto_pwhash_STRBYTES];
    // Interactive limits: a sign-in takes a fraction of a second.
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return false;
    WSILogin login(&db);
    login.data.User = user;
    std::snprintf(login.data.PasswordHash, sizeof login.data.PasswordHash, "%s", hash);
    return Store(login);
}

bool GrantRight(WSIDatabase& db, long user, int right, bool restricted) {
    WSIUserRight row(&db);
    row.data.User = user;
    row.data.Right = right;
    row.data.Restricted = restricted ? 1 : 0;
    return Store(row);
}

SignInResult CheckSignIn(WSIDatabase& db, const std::string& login, const std::string& password,
                         long& user) {
    user = 0;
    long id = 0;
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT \"User\" FROM USERS WHERE \"Login\" = '%s' AND (\"Inactive\" IS NULL OR "
               "\"Inactive\" = 0)",
               tavel::EscapeQuotes(login.c_str()).c_str());
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &id, sql);
    if (login.empty() || !cursor->GetFirst())
        return SignInResult::UnknownUser;
    cursor.reset();
    char hash[crypto_pwhash_STRBYTES] = "";
    TVL_FORMAT(sql, "SELECT \"PasswordHash\" FROM %s WHERE \"User\" = %ld", kLoginTable, id);
    cursor = db.Query(__FILE__, __LINE__, "%s", hash, sql);
    if (!cursor->GetFirst())
        return SignInResult::UnknownUser;
    if (sodium_init() < 0 || crypto_pwhash_str_verify(hash, password.data(), password.size()) != 0)
        return SignInResult::WrongPassword;
    user = id;
    return SignInResult::Ok;
}

std::map<int, bool> LoadRights(WSIDatabase& db, long user) {
    std::map<int, bool> rights;
    long right = 0;
    char sql[256];
    TVL_FORMAT(sql, "SELECT \"Right\" FROM %s WHERE \"User\" = %ld AND \"Restricted\" = %d",
               kRightTable, user, 0);
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &right, sql);
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext())
        rights[static_cast<int>(right)] = false;
    cursor.reset();
    TVL_FORMAT(sql, "SELECT \"Right\" FROM %s WHERE \"User\" = %ld AND \"Restricted\" <> %d",
               kRightTable, user, 0);
    cursor = db.Query(__FILE__, __LINE__, "%s", &right, sql);
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext())
        rights[static_cast<int>(right)] = true;
    return rights;
}

namespace {
std::string TrimRight(const char* text) {
    std::string s(text);
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}
} // namespace

std::string UserDisplayName(WSIDatabase& db, long user, const std::string& login) {
    WSIUsers users(&db);
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "SELECT %s FROM USERS WHERE \"User\" = %ld", users,
                 db.GetTableColumns(__LINE__, __FILE__, "USERS"), user);
    if (!cursor->GetFirst())
        return login;
    std::string name = TrimRight(users.data.First);
    const std::string last = TrimRight(users.data.Name);
    if (!name.empty() && !last.empty())
        name += ' ';
    name += last;
    return name.empty() ? login : name + " (" + login + ")";
}

std::string DatabaseDisplayName(const WSIDatabase& db) {
    if (PGconn* pg = db.ServerHandle()) {
        const char* host = PQhost(pg);
        const char* port = PQport(pg);
        const char* name = PQdb(pg);
        std::string where = host && *host ? host : "localhost";
        if (port && *port)
            where += std::string(":") + port;
        return "server " + where + ", database " + (name ? name : "");
    }
    const std::filesystem::path path(db.Path());
    std::string folder = path.parent_path().string();
    return "file " + path.filename().string() + (folder.empty() ? "" : " in " + folder);
}

std::string LocationDisplayName(WSIDatabase& db, const std::string& code) {
    if (code.empty())
        return code;
    WSIInvLoc loc(&db);
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "SELECT %s FROM INVLOC WHERE \"InvLoc\" = '%s'", loc,
                 db.GetTableColumns(__LINE__, __FILE__, "INVLOC"),
                 tavel::EscapeQuotes(code.c_str()).c_str());
    if (!cursor->GetFirst())
        return code;
    const std::string name = TrimRight(loc.data.Name);
    return name.empty() ? code : code + " - " + name;
}

OpenOutcome OpenHostDatabase(const std::string& path, const StringTable& texts) {
    OpenOutcome out;
    namespace fs = std::filesystem;
    std::error_code ec;
    const bool exists = fs::exists(path, ec);
    if (exists && !fs::is_regular_file(path, ec)) {
        out.problem = MessageWith(texts, kMissingDatabaseMessage, path);
        return out;
    }
    const bool fresh = !exists || fs::file_size(path, ec) == 0;
    if (!exists) {
        const fs::path parent = fs::path(path).parent_path();
        if (!parent.empty() && !fs::is_directory(parent, ec)) {
            out.problem = MessageWith(texts, kMissingDatabaseMessage, path);
            return out;
        }
    }
    RegisterRecords();
    auto db = std::make_unique<WSIDatabase>();
    if (!db->Open(path)) {
        // SQLite opens any file; one that is not a database fails on its first statement.
        out.problem = MessageWith(texts, fresh ? kCreateFailedMessage : kNotInventoryMessage, path,
                                  std::string("see ") + WSIDatabase::kErrorLog);
        return out;
    }
    if (fresh) {
        std::string problem;
        if (!tavel::CreateSchema(*db, &problem) || !tavel::LoadDemoData(*db, &problem) ||
            !SeedDemoSignIn(*db)) {
            out.problem = MessageWith(texts, kCreateFailedMessage, path, problem);
            return out;
        }
        out.created = true;
    } else if (!CheckExisting(*db, path, texts, kNotInventoryMessage, out)) {
        return out;
    }
    out.db = std::move(db);
    return out;
}

OpenOutcome OpenHostServer(const std::string& conninfo, const StringTable& texts) {
    OpenOutcome out;
    RegisterRecords();
    std::unique_ptr<WSIDatabase> db = tavel::OpenDatabase(tavel::DbLocation::Server(conninfo));
    if (!db || !db->IsOpen()) {
        out.problem = MessageWith(texts, kServerUnreachableMessage, WithoutPassword(conninfo),
                                  db ? db->LastError() : std::string());
        return out;
    }
    // A server's schema is made by its administrator (invctl --pg ... init), never by a
    // workstation that happens to start first.
    if (!CheckExisting(*db, WithoutPassword(conninfo), texts, kServerNotInventoryMessage, out))
        return out;
    out.db = std::move(db);
    return out;
}

} // namespace tavelhost

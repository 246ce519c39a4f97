#include "HostDatabase.h"

#include "BoundedFormat.h"
#include "DemoData.h"
#include "Records.h"
#include "Schema.h"
#include "SqlText.h"
#include "StringTable.h"
#include "WSIDatabase.h"

#include <sodium.h>

#include <filesystem>
#include <vector>

namespace tavelhost {
namespace {

constexpr unsigned kMissingDatabaseMessage = 39401;
constexpr unsigned kWrongSchemaMessage = 39402;
constexpr unsigned kNotInventoryMessage = 39405;
constexpr unsigned kCreateFailedMessage = 39406;

// The demo gives every user the same password, and the first user (the administrator)
// the approval right, so that both sides of the approval rules can be tried.
bool SeedDemoSignIn(WSIDatabase& db) {
    std::vector<long> users;
    long user = 0;
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "%s", &user, "SELECT \"User\" FROM USERS ORDER BY \"User\"");
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext())
        users.push_back(user);
    cursor.reset();
    for (long id : users)
        if (!SetPassword(db, id, kDemoPassword))
            return false;
    return users.empty() || GrantRight(db, users.front(), kApproveRight, false);
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

bool EnsureHostTables(WSIDatabase& db) {
    char sql[512];
    TVL_FORMAT(sql,
               "CREATE TABLE IF NOT EXISTS %s (\"User\" INTEGER PRIMARY KEY, \"PasswordHash\" "
               "TEXT NOT NULL); CREATE TABLE IF NOT EXISTS %s (\"User\" INTEGER NOT NULL, "
               "\"Right\" INTEGER NOT NULL, \"Restricted\" INTEGER NOT NULL DEFAULT 0, PRIMARY "
               "KEY (\"User\", \"Right\"))",
               kLoginTable, kRightTable);
    return db.ExecNative(__FILE__, __LINE__, sql);
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
    char sql[512];
    TVL_FORMAT(sql, "INSERT OR REPLACE INTO %s (\"User\", \"PasswordHash\") VALUES (%ld, '%s')",
               kLoginTable, user, tavel::EscapeQuotes(hash).c_str());
    return db.ExecNative(__FILE__, __LINE__, sql);
}

bool GrantRight(WSIDatabase& db, long user, int right, bool restricted) {
    char sql[512];
    TVL_FORMAT(sql,
               "INSERT OR REPLACE INTO %s (\"User\", \"Right\", \"Restricted\") VALUES (%ld, %d, "
               "%d)",
               kRightTable, user, right, restricted ? 1 : 0);
    return db.ExecNative(__FILE__, __LINE__, sql);
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
            !EnsureHostTables(*db) || !SeedDemoSignIn(*db)) {
            out.problem = MessageWith(texts, kCreateFailedMessage, path, problem);
            return out;
        }
        out.created = true;
    } else {
        tavel::SchemaCheck check = tavel::CheckSchema(*db);
        if (!check.ok) {
            if (check.version != 0 && check.version != tavel::kSchemaVersion) {
                char buf[1024];
                std::string pattern = MessageText(texts, kWrongSchemaMessage);
                FormatInto(__LINE__, __FILE__, buf, pattern.c_str(), path.c_str(), check.version,
                           tavel::kSchemaVersion);
                out.problem = buf;
            } else {
                out.problem = MessageWith(texts, kNotInventoryMessage, path, check.problem);
            }
            return out;
        }
        if (!EnsureHostTables(*db)) {
            out.problem = MessageWith(texts, kNotInventoryMessage, path, WSIDatabase::kErrorLog);
            return out;
        }
    }
    out.db = std::move(db);
    return out;
}

} // namespace tavelhost

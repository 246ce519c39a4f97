#pragma once

// The host's database: opening (or creating, on first start) the inventory database, the
// password hashes that sign-in checks and the user rights that approvals check.

#include <map>
#include <memory>
#include <string>

class StringTable;
class WSIDatabase;

namespace tavelhost {

// Table of password hashes, one row per user that may sign in.
inline constexpr const char* kLoginTable = "TVL_LOGIN";
// Table of user rights: ("User", "Right", "Restricted").
inline constexpr const char* kRightTable = "TVL_USERRIGHT";

// Right 14 approves orders.
inline constexpr int kApproveRight = 14;

// Password of every demo user in a database that the host created with demo data.
inline constexpr const char* kDemoPassword = "tavel-demo";

struct OpenOutcome {
    std::unique_ptr<WSIDatabase> db;
    bool created = false;
    // One line for the user when db is null, from the string table.
    std::string problem;
};

// Opens the SQLite database at path. A missing or empty file is created with the schema,
// the demo data and the demo users' passwords. A file that is not an inventory database of
// this version is refused.
OpenOutcome OpenHostDatabase(const std::string& path, const StringTable& texts);

// Stores the hash of password for user (replacing an older one).
bool SetPassword(WSIDatabase& db, long user, const std::string& password);
bool GrantRight(WSIDatabase& db, long user, int right, bool restricted);

// Opens the inventory database on a PostgreSQL server (libpq connection string). The
// server must already hold the schema of this version; nothing is created there.
OpenOutcome OpenHostServer(const std::string& conninfo, const StringTable& texts);

enum class SignInResult { Ok, UnknownUser, WrongPassword };
// Checks login and password; user receives the USERS id on success. An inactive user or
// one without a stored password is refused like an unknown one.
SignInResult CheckSignIn(WSIDatabase& db, const std::string& login, const std::string& password,
                         long& user);

// The rights of user: right -> restricted.
std::map<int, bool> LoadRights(WSIDatabase& db, long user);

// What the status bar says of the session: the user's name ("First Name (login)"), the
// database ("file NAME in FOLDER", or "server HOST:PORT, database NAME", never the password)
// and a location code with its name. Each falls back to what it was given when a row is missing.
std::string UserDisplayName(WSIDatabase& db, long user, const std::string& login);
std::string DatabaseDisplayName(const WSIDatabase& db);
std::string LocationDisplayName(WSIDatabase& db, const std::string& code);

// The text of a message; MessageWith fills its "%s" placeholders with a and b.
std::string MessageText(const StringTable& texts, unsigned code);
std::string MessageWith(const StringTable& texts, unsigned code, const std::string& a,
                        const std::string& b = "");

} // namespace tavelhost

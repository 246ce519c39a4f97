#pragma once

// What the business operations see as their host when invctl runs them: the message texts
// of the string table, the database, and a prompt service that answers every question
// No, or Yes when the command was given --yes. A session attaches the module to such a
// host for the life of one command, signed in as a user of the database.

#include "StringTable.h"
#include "WSIApplication.h"
#include "invctl.h"

#include <functional>
#include <memory>
#include <string>

class BIException;
class WSIDatabase;
struct WSIDate;

namespace invctl {

// A business rule refused the command (see the exit codes in invctl.h).
inline constexpr int kExitRefused = 2;

class CommandLineHost : public WSIApplication {
public:
    CommandLineHost(WSIDatabase* db, bool yes);

    int LoadString(unsigned code, char* buf, int size) const override;
    WSIDatabase* GetDb() override { return db_; }
    // Yes (or OK) with --yes, otherwise No (or Cancel).
    int MessageBox(WSIWindow* parent, const char* text, const char* caption,
                   unsigned style) override;
    int WarnDialog(WSIWindow* owner, int templateId) override;

private:
    WSIDatabase* db_;
    bool yes_;
    StringTable texts_;
};

// The options of every command that signs in: --yes and --user LOGIN.
struct SignIn {
    bool yes = false;
    std::string user = "admin";
    bool userGiven = false; // --user was given: its login must exist
};

// The options of a movement that may create missing stock or take expired or undated lots.
struct StockFlags {
    bool createMissing = false;
    bool allowExpired = false;
    bool allowNoExpiry = false;
};

// Takes a sign-in option at args[i], stepping past its value; false when args[i] is none.
bool TakeSignInOption(const Args& args, std::size_t& i, SignIn& signIn);
// Takes a stock flag option; false when `arg` is none.
bool TakeStockFlag(const std::string& arg, StockFlags& flags);
// Whether the argument is written as an option (--name).
bool IsOption(const std::string& arg);

class Session {
public:
    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Opens the database of the options, attaches the module to a command-line host and
    // signs in as `login`. A login that does not exist signs in as nobody, unless
    // `mustExist` (the user named it): then it is refused. False with problem set when the
    // database cannot be opened or the login is refused.
    bool Open(const Options& options, bool yes, const std::string& login, std::string& problem,
              bool mustExist = false);
    WSIDatabase& Db() { return *db_; }

private:
    std::unique_ptr<WSIDatabase> db_;
    std::unique_ptr<CommandLineHost> host_;
    bool attached_ = false;
};

// Opens the session signed in as the command line asks; false with the exit code in
// `status` when the database cannot be opened.
bool OpenSession(Session& session, const Options& options, const SignIn& signIn, int& status);

// The highest id of a table (0 when it is empty): what a command wrote comes after it.
long LastId(WSIDatabase& db, const char* table, const char* idColumn);

// Runs a stock movement and prints the stock items it created. A refusal prints its
// message and, where the work done before it stays (`keepsPartial`), the items created
// until then. Returns the exit code.
int RunMovement(WSIDatabase& db, const std::function<void()>& move, bool keepsPartial = false);

// The product whose product code or UPC code is `code`; 0 when none.
long FindProductByCode(WSIDatabase& db, const std::string& code);

// Prints the refusal's message text (with the common suffix) on stderr and returns
// kExitRefused.
int Refused(BIException& e);

// A whole number in the range of a short; false for anything else.
bool ParseShort(const std::string& text, short& value);
// A positive id that fits a key column; false for anything else.
bool ParseId(const std::string& text, long& value);
// YYYY-MM-DD of a day that exists, in the years a date may be entered; false (date
// untouched) for anything else.
bool ParseDay(const std::string& text, WSIDate& date);
// A finite cost from 0 to BIInventory::kMaxCost; false (value untouched) for anything
// else, "nan", "inf" and numbers that overflow included.
bool ParseCost(const std::string& text, double& value);

// The usage-error texts of these checks, naming the argument ("--date", "COST") and what
// it must be.
std::string NotA(const std::string& argument, const std::string& text, const char* expected);
std::string NotADay(const std::string& argument, const std::string& text);
std::string NotACost(const std::string& argument, const std::string& text);
// Whether text fits a column's width (ColWidth); false with problem naming the argument,
// what it is ("a location code") and the width. Codes are never cut to fit: a cut code
// names another record, or none.
bool FitsWidth(const std::string& text, unsigned width, const std::string& argument,
               const char* what, std::string& problem);
// FitsWidth for a location code.
bool FitsLocation(const std::string& text, const std::string& argument, std::string& problem);

// An order line as a script names it: by its id, or as ORDER:LINE, the order's number and
// the line's number on it, so that no id needs looking up.
struct OrderLineRef {
    long id = 0;
    long order = 0;
    short item = 0;
};
// Either form; false for anything else.
bool ParseOrderLineRef(const std::string& text, OrderLineRef& ref);
// Completes ref with the line's id and its order; false when there is no such line.
bool ResolveOrderLine(WSIDatabase& db, OrderLineRef& ref);

} // namespace invctl

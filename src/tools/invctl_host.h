#pragma once

// What the business operations see as their host when invctl runs them: the message texts
// of the string table, the database, and a prompt service that answers every question
// No, or Yes when the command was given --yes. A session attaches the module to such a
// host for the life of one command, signed in as a user of the database.

#include "StringTable.h"
#include "WSIApplication.h"
#include "invctl.h"

#include <memory>
#include <string>

class BIException;
class WSIDatabase;

namespace invctl {

// A business rule refused the command.
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

class Session {
public:
    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Opens the database of the options, attaches the module to a command-line host and
    // signs in as `login` (or as nobody when no such user exists). False with problem set
    // when the database cannot be opened.
    bool Open(const Options& options, bool yes, const std::string& login, std::string& problem);
    WSIDatabase& Db() { return *db_; }

private:
    std::unique_ptr<WSIDatabase> db_;
    std::unique_ptr<CommandLineHost> host_;
    bool attached_ = false;
};

// The product whose product code or UPC code is `code`; 0 when none.
long FindProductByCode(WSIDatabase& db, const std::string& code);

// Prints the refusal's message text (with the common suffix) on stderr and returns
// kExitRefused.
int Refused(BIException& e);

// A whole number in the range of a short; false for anything else.
bool ParseShort(const std::string& text, short& value);

} // namespace invctl

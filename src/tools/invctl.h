#pragma once

// invctl: administration of an inventory database from the command line. Each command
// lives in its own file and is listed once in the command table (invctl.cpp).

#include <memory>
#include <string>
#include <vector>

class WSIDatabase;

namespace invctl {

// Exit codes, for scripts: 0 done; 1 not found or not possible (unknown product,
// location, receipt or order; a database that cannot be opened); 2 a business rule
// refused (the message says which); 64 the command line was wrong (EX_USAGE of
// sysexits: an unknown option, a quantity that is not a number, a date that does not
// exist, a code longer than its column).
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 64;

// Options given before the command.
struct Options {
    // --db FILE, or for --pg CONNINFO the connection string after kServerPrefix; empty
    // when not given. Commands hand it to OpenExisting / OpenInventory as it stands.
    std::string db;
    bool IsServer() const;
    // The connection string of --pg.
    std::string Conninfo() const;
};

// Marks a database that is a PostgreSQL server: "pg:" followed by the connection string.
inline constexpr const char* kServerPrefix = "pg:";

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* synopsis; // arguments after the name, for the usage text
    const char* summary;  // one line
    int (*run)(const Options& options, const Args& args);
};

// The commands, defined in their own files.
extern const Command kInitCommand;
extern const Command kCheckSchemaCommand;
extern const Command kUpgradeCommand;
extern const Command kSqlCommand;
extern const Command kAdjustCommand;
extern const Command kUseCommand;
extern const Command kStockCommand;
extern const Command kCheckCommand;
extern const Command kCountCommand;
extern const Command kTransferCommand;
extern const Command kTransferAllCommand;
extern const Command kSplitCommand;
extern const Command kRepackageCommand;
extern const Command kOrderCommand;
extern const Command kPickListCommand;
extern const Command kFillCommand;
extern const Command kReceiveCommand;
extern const Command kReceiptCommand;
extern const Command kBackOrderCommand;
extern const Command kReportCommand;
extern const Command kBarCodeCommand;
extern const Command kExpiringCommand;
extern const Command kImportCommand;
extern const Command kExportCommand;

// One line "invctl: text" on stderr; returns kExitFailure.
int Fail(const std::string& text);
// One line naming the mistake, then the command's usage, on stderr; returns kExitUsage.
int UsageError(const Command& command, const std::string& text);

// Opens a database file that must already exist (opening would otherwise create it) and
// registers the record descriptors. Null after Fail-style reporting into problem.
std::unique_ptr<WSIDatabase> OpenExisting(const std::string& path, std::string& problem);
// OpenExisting, refusing a database whose schema does not match this program's.
std::unique_ptr<WSIDatabase> OpenInventory(const std::string& path, std::string& problem);

} // namespace invctl

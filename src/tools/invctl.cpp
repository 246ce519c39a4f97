#include "invctl.h"

#include "Schema.h"

#include "Records.h"
#include "WSIDatabase.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace invctl {
namespace {

// Add a command here after defining it in its own file.
const Command* const kCommands[] = {
    &kInitCommand,      &kCheckSchemaCommand, &kUpgradeCommand,     &kSqlCommand,
    &kAdjustCommand,    &kUseCommand,         &kStockCommand,       &kCheckCommand,
    &kCountCommand,     &kTransferCommand,    &kTransferAllCommand, &kSplitCommand,
    &kRepackageCommand, &kOrderCommand,       &kPickListCommand,    &kFillCommand,
    &kReceiveCommand,   &kReceiptCommand,     &kBackOrderCommand,   &kReportCommand,
    &kBarCodeCommand,   &kExpiringCommand,    &kImportCommand,      &kExportCommand,
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: invctl [--db FILE | --pg CONNINFO] COMMAND [ARGS]\n\ncommands:\n");
    for (const Command* c : kCommands)
        std::fprintf(out, "  %s %s\n      %s\n", c->name, c->synopsis, c->summary);
    std::fprintf(out, "\nexit status:\n"
                      "  0   done\n"
                      "  1   not found or not possible: an unknown product, location, receipt, "
                      "order or user; a database that cannot be opened\n"
                      "  2   refused by a rule of the inventory (the message says which)\n"
                      "  64  the command line is wrong: an unknown option, a number or date "
                      "that is not one, a code longer than its field\n");
}

const Command* FindCommand(const char* name) {
    for (const Command* c : kCommands)
        if (std::strcmp(c->name, name) == 0)
            return c;
    return nullptr;
}

} // namespace

int Fail(const std::string& text) {
    std::fprintf(stderr, "invctl: %s\n", text.c_str());
    return kExitFailure;
}

int UsageError(const Command& command, const std::string& text) {
    std::fprintf(stderr, "invctl %s: %s\nusage: invctl [--db FILE | --pg CONNINFO] %s %s\n",
                 command.name, text.c_str(), command.name, command.synopsis);
    return kExitUsage;
}

bool Options::IsServer() const {
    return db.rfind(kServerPrefix, 0) == 0;
}

std::string Options::Conninfo() const {
    return IsServer() ? db.substr(std::strlen(kServerPrefix)) : std::string();
}

std::unique_ptr<WSIDatabase> OpenExisting(const std::string& path, std::string& problem) {
    Options where{path};
    if (where.IsServer()) {
        RegisterRecords();
        auto db = std::make_unique<WSIDatabase>();
        if (!db->OpenServer(where.Conninfo())) {
            problem = "cannot connect to the database server: " + db->LastError();
            return nullptr;
        }
        return db;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        problem = "no database file " + path;
        return nullptr;
    }
    RegisterRecords();
    auto db = std::make_unique<WSIDatabase>();
    if (!db->Open(path)) {
        problem = "cannot open " + path + " (see " + WSIDatabase::kErrorLog + ")";
        return nullptr;
    }
    return db;
}

std::unique_ptr<WSIDatabase> OpenInventory(const std::string& path, std::string& problem) {
    auto db = OpenExisting(path, problem);
    if (!db)
        return nullptr;
    // Stock commands work only on a database of this program's schema; one of an earlier
    // version gets the indexes added since.
    tavel::UpgradeSchema(*db);
    tavel::SchemaCheck check = tavel::CheckSchema(*db);
    if (check.unreadable) {
        problem = path + " cannot be used at this moment, try again: " + check.problem;
        return nullptr;
    }
    if (!check.ok) {
        problem = path + " is not an inventory database of this version: " + check.problem +
                  " (run check-schema)";
        return nullptr;
    }
    return db;
}

} // namespace invctl

int main(int argc, char** argv) {
    using namespace invctl;
    Options options;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            PrintUsage(stdout);
            return kExitOk;
        }
        if (std::strcmp(a, "--db") == 0 && i + 1 < argc) {
            options.db = argv[++i];
        } else if (std::strncmp(a, "--db=", 5) == 0) {
            options.db = a + 5;
        } else if (std::strcmp(a, "--pg") == 0 && i + 1 < argc) {
            options.db = std::string(kServerPrefix) + argv[++i];
        } else if (std::strncmp(a, "--pg=", 5) == 0) {
            options.db = std::string(kServerPrefix) + (a + 5);
        } else {
            std::fprintf(stderr, "invctl: unknown option %s\n", a);
            PrintUsage(stderr);
            return kExitUsage;
        }
    }
    if (i >= argc) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    const Command* command = FindCommand(argv[i]);
    if (!command) {
        std::fprintf(stderr, "invctl: unknown command %s\n", argv[i]);
        PrintUsage(stderr);
        return kExitUsage;
    }
    return command->run(options, Args(argv + i + 1, argv + argc));
}

// invctl init, check-schema and upgrade: creating, verifying and upgrading a database's
// schema.

#include "invctl.h"

#include "DemoData.h"
#include "Schema.h"
#include "WSIDatabase.h"

#include <cstdio>
#include <filesystem>

namespace invctl {
namespace {

// Beside the database file SQLite keeps a write-ahead log and its index, and the
// sequence counters live in a file of their own with the same companions.
void RemoveDatabaseFiles(const std::string& path) {
    std::error_code ec;
    for (const char* base : {"", ".sequences"})
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            std::filesystem::remove(path + base + suffix, ec);
}

int CreateIn(WSIDatabase& db, const std::string& where, bool demo) {
    std::string problem;
    if (!tavel::CreateSchema(db, &problem))
        return Fail(problem);
    std::printf("created the inventory schema, version %d, in %s\n", tavel::kSchemaVersion,
                where.c_str());
    if (demo) {
        if (!tavel::LoadDemoData(db, &problem))
            return Fail("demo data: " + problem);
        std::printf("loaded the demo data; sign in as \"%s\"\n", tavel::kDemoAdminLogin);
    }
    return kExitOk;
}

int RunInit(const Options& options, const Args& args) {
    bool demo = false, force = false;
    for (const std::string& a : args) {
        if (a == "--demo")
            demo = true;
        else if (a == "--force")
            force = true;
        else
            return UsageError(kInitCommand, "unexpected argument " + a);
    }
    if (options.db.empty())
        return UsageError(kInitCommand, "no database file given (--db FILE)");

    if (options.IsServer()) {
        WSIDatabase db;
        if (!db.OpenServer(options.Conninfo()))
            return Fail("cannot connect to the database server: " + db.LastError());
        // A shared database is never emptied by a workstation's tool.
        if (tavel::CheckSchema(db).version != 0)
            return Fail("the server already holds an inventory schema; init needs an empty "
                        "database or schema");
        return CreateIn(db, "the server", demo);
    }
    std::error_code ec;
    const bool exists = std::filesystem::exists(options.db, ec);
    if (exists && std::filesystem::file_size(options.db, ec) > 0) {
        if (!force)
            return Fail(options.db + " already holds data; use init --force to replace it");
        RemoveDatabaseFiles(options.db);
    }

    WSIDatabase db;
    if (!db.Open(options.db))
        return Fail("cannot create " + options.db + " (see " + WSIDatabase::kErrorLog + ")");
    return CreateIn(db, options.db, demo);
}

int RunCheckSchema(const Options& options, const Args& args) {
    if (!args.empty())
        return UsageError(kCheckSchemaCommand, "unexpected argument " + args.front());
    if (options.db.empty())
        return UsageError(kCheckSchemaCommand, "no database file given (--db FILE)");
    std::string problem;
    auto db = OpenExisting(options.db, problem);
    if (!db)
        return Fail(problem);
    tavel::SchemaCheck check = tavel::CheckSchema(*db);
    if (!check.ok)
        return Fail(check.problem);
    std::printf("schema ok, version %d\n", check.version);
    return kExitOk;
}

int RunUpgrade(const Options& options, const Args& args) {
    if (!args.empty())
        return UsageError(kUpgradeCommand, "unexpected argument " + args.front());
    if (options.db.empty())
        return UsageError(kUpgradeCommand, "no database file given (--db FILE)");
    std::string problem;
    auto db = OpenExisting(options.db, problem);
    if (!db)
        return Fail(problem);
    const tavel::SchemaUpgrade upgrade = tavel::UpgradeSchema(*db);
    if (!upgrade.ok)
        return Fail(upgrade.problem);
    if (upgrade.from == tavel::kSchemaVersion)
        std::printf("schema already at version %d\n", tavel::kSchemaVersion);
    else
        std::printf("schema upgraded from version %d to %d\n", upgrade.from, tavel::kSchemaVersion);
    return kExitOk;
}

} // namespace

const Command kUpgradeCommand{
    "upgrade", "", "bring a database of an earlier schema version to this one", RunUpgrade};

const Command kInitCommand{"init", "[--demo] [--force]",
                           "create the schema in a new or empty file; --demo loads a demo "
                           "clinic, --force replaces an existing database",
                           RunInit};

const Command kCheckSchemaCommand{"check-schema", "",
                                  "verify the schema version, tables, columns, views and indexes",
                                  RunCheckSchema};

} // namespace invctl

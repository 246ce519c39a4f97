#pragma once

// The inventory schema in one place: every table from its record descriptors, the four
// read-only views, the two sequences, the indexes the stock operations rely on, and the
// schema version that CheckSchema verifies.

#include <string>

class WSIDatabase;

namespace tavel {

// Raised whenever a table, column, view or index is added or changed, so that a program
// never runs against a database laid out for another version.
inline constexpr int kSchemaVersion = 4;

// The bookkeeping table that holds the version (one row).
inline constexpr const char* kSchemaTable = "TVL_SCHEMA";

// Sequences of the inventory: batches of adjustments and counts, and pick lists.
inline constexpr const char* kBatchIdSequence = "INVITDET_BatchId_SEQ";
inline constexpr const char* kPickListSequence = "INVORDIT_PickList_SEQ";

// Creates the whole schema in an empty database and registers the record descriptors.
// Tables, views, indexes and the version are created all or nothing; the sequences,
// which no transaction covers, come last. On failure problem says what failed.
bool CreateSchema(WSIDatabase& db, std::string* problem = nullptr);

struct SchemaCheck {
    bool ok = false;
    int version = 0;     // as stored; 0 when the database has no version
    std::string problem; // one line, empty when ok
    // The database is there but could not be read at this moment (another program holds
    // it locked past the wait, an I/O error): trying again may succeed, repairing won't.
    bool unreadable = false;
};

// Verifies the version and that every table has every column of its record, every
// view has its columns in order, and every index and sequence exists.
SchemaCheck CheckSchema(WSIDatabase& db);

struct SchemaUpgrade {
    bool ok = false;
    int from = 0;        // the version found; equal to kSchemaVersion when nothing was to do
    std::string problem; // one line, empty when ok
};

// Brings a database of an earlier version to this one where only indexes and nullable
// columns were added since: creates the missing indexes, drops the ones they replace,
// adds every record column its table lacks, and raises the version, all or nothing. A
// database of this version is left alone; one without a schema, or of a version this
// program cannot upgrade, is left for CheckSchema to refuse (ok false, nothing written).
SchemaUpgrade UpgradeSchema(WSIDatabase& db);

} // namespace tavel

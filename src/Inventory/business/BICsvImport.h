#pragma once

// Moving a practice's lists in and out as CSV files: the catalogue (products, vendors,
// locations, the products each location holds) and counts. An import checks every row
// through the same table rules as the catalogue screens, reports each bad row with its
// line and column, and writes in one unit of work: all of it, or nothing (unless bad rows
// are to be skipped). Counts become one count batch, so their movements are as if scanned.

#include <iosfwd>
#include <string>
#include <vector>

class WSIDatabase;
struct TableDesc;

namespace tavel::csv {

enum class ListKind { Products, Vendors, Locations, ProductLocations, Counts };

// "products", "vendors", "locations", "product-locations", "counts"; false for others.
bool ParseListKind(const std::string& name, ListKind& kind);
const char* ListKindName(ListKind kind);

// The column names of a kind's files, as the first line must give them.
std::vector<std::string> ListColumns(ListKind kind);

// One bad row (or the file itself, line 0): where, and the message staff read.
struct ImportProblem {
    long line = 0;
    std::string column; // empty when the whole row or file is meant
    unsigned code = 0;  // the message's code in the string table
    std::string message;
};

struct ImportOptions {
    bool dryRun = false;  // check and report, write nothing
    bool skipBad = false; // import the good rows, report the others as skipped
};

struct ImportReport {
    long rows = 0;     // data rows read (empty lines included)
    long imported = 0; // rows written (0 for a dry run or when nothing was kept)
    long good = 0;     // rows that passed every rule
    bool written = false;
    // Whether the file would be written without the dry run (the same rows, the same
    // choice about bad ones): a check that passes this may be followed by the import.
    bool writable = false;
    std::vector<ImportProblem> problems;
};

// The closing line of an import's report: what was imported, checked or refused.
std::string ReportSummary(const ImportReport& report, const ImportOptions& options);

// Imports the file into the database. Needs the module attached (the rules read its
// limits and the string table); a count import also a signed-in user.
ImportReport ImportList(WSIDatabase& db, ListKind kind, std::istream& in,
                        const ImportOptions& options);

// The kind's rows as a CSV file with its header line (counts: every product location's
// last count). Rows by key.
std::string ExportList(WSIDatabase& db, ListKind kind);
// Every row and column of a table (the code tables), with its column names as header.
std::string ExportTable(WSIDatabase& db, const TableDesc& table);

} // namespace tavel::csv

// invctl import and export: the catalogue and counts moved in and out as CSV files.

#include "invctl.h"
#include "invctl_host.h"

#include "BICsvImport.h"
#include "TableRegistry.h"
#include "WSIDatabase.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace invctl {
namespace {

int RunImport(const Options& options, const Args& args) {
    SignIn signIn;
    tavel::csv::ImportOptions importOptions;
    Args pos;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--dry-run")
            importOptions.dryRun = true;
        else if (a == "--skip-bad")
            importOptions.skipBad = true;
        else if (TakeSignInOption(args, i, signIn))
            continue;
        else if (IsOption(a))
            return UsageError(kImportCommand, "unexpected option " + a);
        else
            pos.push_back(a);
    }
    tavel::csv::ListKind kind{};
    if (pos.size() != 2)
        return UsageError(kImportCommand, "the kind of list and the file are required");
    if (!tavel::csv::ParseListKind(pos[0], kind))
        return UsageError(kImportCommand, "not a kind of list: " + pos[0]);
    if (options.db.empty())
        return UsageError(kImportCommand, "no database file given (--db FILE)");
    std::ifstream in(pos[1], std::ios::binary);
    if (!in)
        return Fail("cannot read " + pos[1]);

    Session session;
    int status = kExitOk;
    if (!OpenSession(session, options, signIn, status))
        return status;
    const tavel::csv::ImportReport report =
        tavel::csv::ImportList(session.Db(), kind, in, importOptions);
    // One line per bad row, as compilers report: file, line, column, message.
    for (const tavel::csv::ImportProblem& p : report.problems)
        std::printf("%s:%ld:%s%s %s\n", pos[1].c_str(), p.line, p.column.c_str(),
                    p.column.empty() ? "" : ":", p.message.c_str());
    std::printf("%s\n", tavel::csv::ReportSummary(report, importOptions).c_str());
    const long bad = static_cast<long>(report.problems.size());
    return bad == 0 || report.written ? kExitOk : kExitRefused;
}

int RunExport(const Options& options, const Args& args) {
    if (args.size() != 1 && !(args.size() == 3 && args[1] == "--output"))
        return UsageError(kExportCommand, "the list or table to export is required");
    if (options.db.empty())
        return UsageError(kExportCommand, "no database file given (--db FILE)");
    tavel::csv::ListKind kind{};
    const bool isList = tavel::csv::ParseListKind(args[0], kind);
    const TableDesc* table = isList ? nullptr : FindTableDesc(args[0]);
    if (!isList && !table)
        return UsageError(kExportCommand, "not a list or table: " + args[0]);
    std::string problem;
    std::unique_ptr<WSIDatabase> db = OpenInventory(options.db, problem);
    if (!db)
        return Fail(problem);
    const std::string text =
        isList ? tavel::csv::ExportList(*db, kind) : tavel::csv::ExportTable(*db, *table);
    if (args.size() == 1) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return kExitOk;
    }
    std::ofstream out(args[2], std::ios::binary);
    if (!out.write(text.data(), static_cast<std::streamsize>(text.size())) || !out.flush())
        return Fail("cannot write " + args[2]);
    return kExitOk;
}

} // namespace

const Command kImportCommand{
    "import",
    "products|vendors|locations|product-locations|counts FILE [--dry-run] [--skip-bad] "
    "[--user LOGIN]",
    "import a CSV file with a header line (UTF-8, commas, ISO dates, dot decimals); every row "
    "is checked by the catalogue's rules and each bad one reported as FILE:LINE:COLUMN: "
    "message; nothing is imported when a row is bad unless --skip-bad; counts become one "
    "count batch; exit 2 when nothing was imported because of bad rows",
    RunImport};

const Command kExportCommand{
    "export", "products|vendors|locations|product-locations|counts|TABLE [--output FILE]",
    "write a list, or every row of a table such as PRDCAT, as a CSV file with a header line "
    "(to standard output unless --output)",
    RunExport};

} // namespace invctl

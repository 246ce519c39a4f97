// invctl sql: runs one statement in the module's dialect through the database service,
// or shows what the service would make of it.

#include "invctl.h"

#include "Dialect.h"
#include "Records.h"
#include "TableRegistry.h"
#include "WSIDatabase.h"

#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

namespace invctl {
namespace {

// Longest value shown per column; longer text is cut by the service.
constexpr unsigned short kCellWidth = 4000;

sqldialect::SchemaHints Hints() {
    RegisterRecords();
    sqldialect::SchemaHints hints;
    hints.dateColumns = tavel::RegisteredDateColumns();
    return hints;
}

std::string Describe(const sqldialect::TranslateError& e) {
    return "cannot translate " + e.Construct() + " at character " + std::to_string(e.Position());
}

// Tabs and line breaks inside a value would break the table layout.
void PrintCell(const char* text) {
    for (const char* p = text; *p; ++p) {
        if (*p == '\t')
            std::fputs("\\t", stdout);
        else if (*p == '\n')
            std::fputs("\\n", stdout);
        else if (*p != '\r')
            std::fputc(*p, stdout);
    }
}

// The result columns of the statement as SQLite will run it; preparing reports unknown
// tables and columns and syntax errors before anything runs.
bool ResultColumns(WSIDatabase& db, const std::string& statement, std::vector<std::string>& names,
                   std::string& problem) {
    sqldialect::Translation t;
    try {
        t = sqldialect::Translate(sqldialect::Normalize(statement), sqldialect::Target::SQLite,
                                  Hints());
    } catch (const sqldialect::TranslateError& e) {
        problem = Describe(e);
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), t.sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        problem = sqlite3_errmsg(db.Handle());
        return false;
    }
    for (int i = 0; i < sqlite3_column_count(stmt); ++i)
        names.emplace_back(sqlite3_column_name(stmt, i));
    sqlite3_finalize(stmt);
    return true;
}

int PrintRows(WSIDatabase& db, const std::string& statement,
              const std::vector<std::string>& names) {
    // Every column is read as text into a row laid out like a record.
    std::vector<ColumnDesc> columns;
    for (std::size_t i = 0; i < names.size(); ++i)
        columns.push_back(
            ColumnDesc{names[i].c_str(), ColType::Text, kCellWidth, i * (kCellWidth + 1u), false});
    const TableDesc row{"INVCTL_ROW", columns.data(), columns.size(),
                        columns.size() * (kCellWidth + 1u)};
    std::vector<char> buffer(row.dataSize);

    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i)
            std::fputc('\t', stdout);
        PrintCell(names[i].c_str());
    }
    std::fputc('\n', stdout);
    auto cursor =
        db.QueryBV(__FILE__, __LINE__, statement.c_str(), WSIResult(row, buffer.data()), {});
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i)
                std::fputc('\t', stdout);
            PrintCell(buffer.data() + columns[i].offset);
        }
        std::fputc('\n', stdout);
    }
    return kExitOk;
}

int RunSql(const Options& options, const Args& args) {
    bool translate = false;
    std::vector<std::string> statements;
    for (const std::string& a : args) {
        if (a == "--translate")
            translate = true;
        else
            statements.push_back(a);
    }
    if (statements.size() != 1)
        return UsageError(kSqlCommand, "give exactly one statement (quote it)");
    const std::string& statement = statements.front();

    if (translate) {
        try {
            std::printf("%s\n",
                        sqldialect::TranslateToText(statement, sqldialect::Target::SQLite, Hints())
                            .c_str());
            return kExitOk;
        } catch (const sqldialect::TranslateError& e) {
            return Fail(Describe(e));
        }
    }
    if (options.db.empty())
        return UsageError(kSqlCommand, "no database file given (--db FILE)");
    std::string problem;
    auto db = OpenExisting(options.db, problem);
    if (!db)
        return Fail(problem);

    std::vector<std::string> names;
    if (!ResultColumns(*db, statement, names, problem))
        return Fail(problem);
    if (!names.empty())
        return PrintRows(*db, statement, names);

    long changed = 0;
    const int rc = WSITable::QExecBVDirect(__FILE__, __LINE__, 0, nullptr, db.get(),
                                           statement.c_str(), &changed);
    if (rc != 0)
        return Fail(std::string("the statement failed: ") +
                    (rc > 0 ? sqlite3_errstr(rc) : "it cannot be translated"));
    std::printf("%ld\n", changed);
    return kExitOk;
}

} // namespace

const Command kSqlCommand{"sql", "[--translate] \"STATEMENT\"",
                          "run one statement (rows as tab-separated text with a header line, "
                          "else the number of changed rows); --translate only shows the SQLite "
                          "text and needs no database",
                          RunSql};

} // namespace invctl

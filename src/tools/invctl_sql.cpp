// invctl sql: runs one statement in the module's dialect through the database service,
// or shows what the service would make of it.

#include "invctl.h"

#include "Dialect.h"
#include "Records.h"
#include "TableRegistry.h"
#include "WSIDatabase.h"

#include <cstdio>
#include <string>
#include <vector>

namespace invctl {
namespace {

sqldialect::SchemaHints Hints() {
    RegisterRecords();
    // As the service knows them: a server folds unquoted names, these find the column meant.
    return tavel::RegisteredSchemaHints();
}

std::string Describe(const sqldialect::TranslateError& e) {
    return "cannot translate " + e.Construct() + " at character " + std::to_string(e.Position());
}

// A server's message may go on over several lines (the statement, a caret); stderr gets
// one line.
std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// Tabs and line breaks inside a value would break the table layout.
void PrintCell(const std::string& text) {
    for (const char* p = text.c_str(); *p; ++p) {
        if (*p == '\t')
            std::fputs("\\t", stdout);
        else if (*p == '\n')
            std::fputs("\\n", stdout);
        else if (*p != '\r')
            std::fputc(*p, stdout);
    }
}

void PrintLine(const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i)
            std::fputc('\t', stdout);
        PrintCell(cells[i]);
    }
    std::fputc('\n', stdout);
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

    const sqldialect::Target target =
        options.IsServer() ? sqldialect::Target::PostgreSQL : sqldialect::Target::SQLite;
    if (translate) {
        try {
            std::printf("%s\n", sqldialect::TranslateToText(statement, target, Hints()).c_str());
            return kExitOk;
        } catch (const sqldialect::TranslateError& e) {
            return Fail(Describe(e));
        }
    }
    if (options.db.empty())
        return UsageError(kSqlCommand, "no database file given (--db FILE)");
    // A refusal of the translator names the construct and where it is.
    try {
        sqldialect::Translate(sqldialect::Normalize(statement), target, Hints());
    } catch (const sqldialect::TranslateError& e) {
        return Fail(Describe(e));
    }
    std::string problem;
    auto db = OpenExisting(options.db, problem);
    if (!db)
        return Fail(problem);

    WSIDatabase::TextResult result;
    if (!db->QueryText(__FILE__, __LINE__, statement.c_str(), {}, result, &problem))
        return Fail(FirstLine(result.ran ? "the statement failed: " + problem : problem));
    if (result.columns.empty()) {
        std::printf("%ld\n", result.changed);
        return kExitOk;
    }
    PrintLine(result.columns);
    for (const std::vector<std::string>& row : result.rows)
        PrintLine(row);
    return kExitOk;
}

} // namespace

const Command kSqlCommand{"sql", "[--translate] \"STATEMENT\"",
                          "run one statement (rows as tab-separated text with a header line, "
                          "else the number of changed rows); --translate only shows the text "
                          "the engine runs (SQLite, PostgreSQL with --pg) and needs no database",
                          RunSql};

} // namespace invctl

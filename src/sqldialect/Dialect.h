#pragma once

// Translation of the Oracle-dialect SQL text the module writes into the SQL of the
// engine in use. No dependencies beyond the standard library.
//
// Use in two steps so that a statement cache can skip the rewrite:
//   1. Normalize(text): tokenizes once, takes the literal values out and returns the
//      statement's shape (the cache key) with the values in order.
//   2. Translate(normalized, target, hints): rewrites the shape for the target engine.
//      The result refers to the values by number (?N for SQLite, $N for PostgreSQL,
//      N = literal index + 1) so that clauses may move without reordering values, and
//      says how each value is to be converted when bound.
// Two texts with the same shape always translate identically, whatever their values.
//
// Parameter numbering: with L literals in the shape, literal i is ?(i + 1) and the bind
// variable :k of the text is ?(L + k), so values and bind variables never collide.
// Numbers that shape the statement stay in the text (the n of ROWNUM < n, type widths,
// SUBSTR positions, COUNT(1), ORDER BY ordinals); every other literal becomes a value.
//
// The SQLite text keeps Oracle's meanings: (+) conditions become LEFT JOIN ... ON (a
// table tied by (+) to constants only is filtered, as Oracle does); ROWNUM < n becomes
// LIMIT (inside an aggregate or a compound member, a limited sub-select); '' is NULL and
// so are empty results of ||, TRIM and SUBSTR; DECODE matches NULL with NULL; division
// is exact; NULLs sort last ascending and first descending; CAST(... AS CHAR(n)) compares
// blank-padded. It calls tvl_today, tvl_nextval, tvl_to_char and tvl_to_date, which
// RegisterOracleFunctions provides; LIKE stays LIKE (the connection turns
// case_sensitive_like on). FOR UPDATE is dropped: a SQLite write transaction already
// holds the database. Anything else that cannot be kept faithfully is refused.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace sqldialect {

enum class Target { SQLite, PostgreSQL };

// A literal taken out of the statement text.
struct Literal {
    enum class Kind { Null, Integer, Real, Text };
    Kind kind = Kind::Null;
    long long integer = 0;
    double real = 0.0;
    std::string text; // Text: the value with doubled quotes undone
};

// How a value is converted when it is bound.
enum class Conversion {
    AsIs,
    // A text compared with, assigned to or cast to a date: month/day/year text
    // ("1/15/2027", "01/15/2027") becomes the engine's date form; '' stays NULL.
    // Applies to Text literals only; a value of another kind is bound as it is.
    MdyDate,
};

struct Normalized {
    std::string shape;             // the statement with values replaced; the cache key
    std::vector<Literal> literals; // the values in order of appearance
    // Offset in the original text of each token of the shape, so that a refusal names
    // the place in the text the caller wrote. May be left empty (offsets into the shape).
    std::vector<std::size_t> positions;
};

struct Translation {
    std::string sql;                     // target text, values as ?N / $N
    std::vector<Conversion> conversions; // one per literal index
    bool returnsRows = false;            // a query (SELECT / UNION)
    int bindVariables = 0; // highest k of the bind variables :k; :k is ?(conversions.size() + k)
};

// Refusal: names the construct that cannot be translated and the character offset in
// the original text where it starts. A refused statement is never run.
class TranslateError : public std::runtime_error {
public:
    TranslateError(std::string construct, std::size_t position);
    const std::string& Construct() const { return construct_; }
    std::size_t Position() const { return position_; }

private:
    std::string construct_;
    std::size_t position_;
};

// What the translator needs to know about the schema: the columns (as written,
// without quotes, e.g. Date, ExpiryDate, PODATE) that hold calendar dates. Date
// arithmetic and month/day/year texts are recognised next to these.
struct SchemaHints {
    std::unordered_set<std::string> dateColumns;
    // Column names of each table and view (key: the name in upper case; columns as
    // written). An engine that folds unquoted names (PostgreSQL) uses them to find the
    // column an unquoted name means: D.InvItem is INVITDET's "InvItem". Names all in upper
    // case are stored folded there, as Oracle would treat them.
    std::unordered_map<std::string, std::vector<std::string>> tableColumns;
};

// Throws TranslateError for lexical errors (unterminated quote or identifier) and for
// more than one statement in one text.
Normalized Normalize(std::string_view oracleSql);

// Throws TranslateError for any construct it cannot translate.
Translation Translate(const Normalized& statement, Target target, const SchemaHints& hints);

// "1/15/2027" or "01/15/2027" -> "2027-01-15"; an empty result when the text is not a
// valid month/day/year date. A text already in the engine's form ("2027-01-15") is
// accepted as it is, so that a value converted twice stays right.
std::string MdyToIso(std::string_view text);

// Whole-text translation with the values written back in as literals (for people:
// `invctl sql --translate`, error messages, logs). Bind variables stay as :k.
std::string TranslateToText(std::string_view oracleSql, Target target, const SchemaHints& hints);

} // namespace sqldialect

#pragma once

// Look-ups shared by the table rules. Each runs one finished SQL text through the
// database's formatted query, reads what the rule needs from it and deletes the cursor;
// a statement that fails reads as a missing row, never as an error of its own.

#include "Record.h"
#include "WSITable.h"

#include <cstddef>
#include <source_location>

class WSIDatabase;

namespace tavel::tables {

// Fills `into` from the first row; whether a row came back.
bool FetchFirst(WSIDatabase* db, const char* sql, WSIResult into,
                std::source_location where = std::source_location::current());

// The largest count among the rows of a COUNT query (or of several joined with UNION,
// which leaves one row per distinct count); 0 when no row comes back.
long CountOf(WSIDatabase* db, const char* sql,
             std::source_location where = std::source_location::current());

// Outcome of a SELECT "Inactive" look-up of a referenced code or record.
enum class Activity { Missing, Active, Inactive };
Activity ActivityOf(WSIDatabase* db, const char* sql,
                    std::source_location where = std::source_location::current());

// A real calendar date (the null date is not one).
bool IsValidDate(const WSIDate& date);
// Calendar order of two dates.
bool IsAfter(const WSIDate& date, const WSIDate& other);

inline bool IsEmpty(const char* text) {
    return !text || !*text;
}

// Copies text into a record's fixed buffer, cut to fit.
void CopyText(char* dst, std::size_t size, const char* src);
template <std::size_t N> void CopyText(char (&dst)[N], const char* src) {
    CopyText(dst, N, src);
}

// The module-wide limits of the handler; its initial settings while the module is not
// attached, so that the rules still apply.
unsigned MinProductLength();
unsigned MaxQuantityAllowed();

} // namespace tavel::tables

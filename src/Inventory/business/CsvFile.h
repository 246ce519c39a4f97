#pragma once

// Comma-separated files as spreadsheets and accountants exchange them: fields quoted with
// double quotes where they hold a comma, a quote or a line break, rows ended by CR LF,
// UTF-8 text. Reading goes through libcsv in its strict mode, so that a stray quote is
// reported instead of guessed at.

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tavel::csv {

// Appends one row, each field quoted only where it must be.
void AppendRow(std::string& out, const std::vector<std::string>& fields);

// One row as read: the line it starts on (1 for the first line of the file) and its
// fields. An empty line is a row without fields.
struct Row {
    long line = 0;
    std::vector<std::string> fields;
};

// Whether text is well-formed UTF-8.
bool IsUtf8(std::string_view text);

// Calls onRow for every row of the file, empty lines included; a byte-order mark before
// the first row is skipped. Stops when onRow returns false. False with problem (and
// problemLine) when the file is not well-formed CSV, such as a quote inside a field that
// is not doubled.
bool ReadRows(std::istream& in, const std::function<bool(const Row&)>& onRow, std::string& problem,
              long& problemLine);

} // namespace tavel::csv

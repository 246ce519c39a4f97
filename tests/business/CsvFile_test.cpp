// The CSV layer under import and export: quoting on the way out, rows and their line
// numbers on the way in, and what counts as UTF-8.

#include "CsvFile.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using tavel::csv::AppendRow;
using tavel::csv::IsUtf8;
using tavel::csv::ReadRows;
using tavel::csv::Row;

std::vector<Row> Read(const std::string& text, std::string* problem = nullptr,
                      long* problemLine = nullptr) {
    std::istringstream in(text);
    std::vector<Row> rows;
    std::string p;
    long line = 0;
    const bool ok = ReadRows(
        in,
        [&](const Row& r) {
            rows.push_back(r);
            return true;
        },
        p, line);
    if (problem)
        *problem = ok ? "" : p;
    if (problemLine)
        *problemLine = ok ? 0 : line;
    return rows;
}

TEST(CsvFile, FieldsQuotedOnlyWhereTheyMustBe) {
    const struct {
        std::string field;
        std::string written;
    } cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {" padded", "\" padded\""},
        {"12.50", "12.50"},
    };
    for (const auto& c : cases) {
        std::string out;
        AppendRow(out, {c.field, "x"});
        EXPECT_EQ(out, c.written + ",x\r\n") << c.field;
        // What is written reads back as the same field.
        const std::vector<Row> rows = Read(out);
        ASSERT_EQ(rows.size(), 1u) << c.field;
        EXPECT_EQ(rows[0].fields, (std::vector<std::string>{c.field, "x"}));
    }
}

TEST(CsvFile, RowsKnowTheLineTheyStartOn) {
    // A byte-order mark, CR LF endings, an empty line, a field over two lines, no final
    // line break.
    const std::vector<Row> rows = Read("\xEF\xBB\xBF"
                                       "a,b\r\n1,2\r\n\r\n\"x\ny\",3\r\nlast,4");
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].fields, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(rows[1].line, 2);
    EXPECT_TRUE(rows[2].fields.empty());
    EXPECT_EQ(rows[2].line, 3);
    EXPECT_EQ(rows[3].line, 4);
    EXPECT_EQ(rows[3].fields, (std::vector<std::string>{"x\ny", "3"}));
    EXPECT_EQ(rows[4].line, 6);
    EXPECT_EQ(rows[4].fields, (std::vector<std::string>{"last", "4"}));
}

TEST(CsvFile, StrayQuoteStopsTheFileAtItsLine) {
    std::string problem;
    long line = 0;
    const std::vector<Row> rows = Read("a,b\n1,2\n3,x\"y\n4,5\n", &problem, &line);
    EXPECT_FALSE(problem.empty());
    EXPECT_EQ(line, 3);
    EXPECT_EQ(rows.size(), 2u);
    // A quoted field never closed is caught at the end of the file.
    Read("a,b\n1,\"open\n", &problem, &line);
    EXPECT_FALSE(problem.empty());
}

TEST(CsvFile, Utf8) {
    const struct {
        std::string text;
        bool utf8;
    } cases[] = {
        {"Salle d\xC3\xA9p\xC3\xB4t", true},
        {"Salle d\xE9p\xF4t", false}, // Latin-1
        {"\xC3", false},              // cut short
        {"\xC0\xAF", false},          // overlong
        {"\xED\xA0\x80", false},      // surrogate
        {"\xF4\x8F\xBF\xBF", true},   // the last code point
        {"\xF4\x90\x80\x80", false},  // past it
        {"\xE2\x82\xAC 5", true},     // euro sign
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsUtf8(c.text), c.utf8) << c.text;
}

} // namespace

// The report definition format: parsing and its line-numbered errors, placeholders in
// SQL and text, value formats and the escaping of the laid-out HTML.

#include "ReportDefinition.h"
#include "ReportFill.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavel::report;

namespace {

// A small valid definition; cases below break one line of it at a time.
const char* const kValid = R"(tavel-report 1
title "Orders"
formula Order
formula Note default "none"
params 1
query head
  fields Id Name
  SELECT O."InvOrder", O."PONumber" FROM INVORDER O WHERE O."InvOrder" = {Order}
end
query lines
  fields Bin Code Qty Cost
  SELECT 'b', 'c', 1, 2.5 FROM DUAL WHERE '{Note}' = 'x' OR {?1} = 1
end
text title "Order {head.Id} {Note}"
header head
  field "Name" Name
end
detail lines when Note != "hide" and Order = 7
  group Bin
  groupheader "Bin {lines.Bin}"
  checkbox "Picked" width 8
  column "Code" Code width 20
  column "Qty" Qty width 10 right format qty total
  column "Cost" Cost width 10 right format 0.00
  total "All"
end
)";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

TEST(ReportDefinition, ParsesEveryPart) {
    const ParseResult r = ParseReportDefinition(kValid);
    ASSERT_TRUE(r.ok()) << FormatParseError("t", r.errors.front());
    const ReportDefinition& d = r.definition;
    EXPECT_EQ(d.title, "Orders");
    EXPECT_EQ(d.params, 1);
    ASSERT_EQ(d.formulas.size(), 2u);
    EXPECT_TRUE(d.formulas[1].hasDefault);
    EXPECT_EQ(d.formulas[1].defaultValue, "none");
    ASSERT_EQ(d.queries.size(), 2u);
    EXPECT_EQ(d.queries[1].fields.size(), 4u);
    // Continuation lines of a query are one statement.
    EXPECT_NE(d.queries[0].sql.find("FROM INVORDER O WHERE"), std::string::npos);
    ASSERT_EQ(d.elements.size(), 3u);
    const Element& detail = d.elements[2];
    EXPECT_EQ(detail.kind, ElementKind::Detail);
    EXPECT_EQ(detail.groupField, "Bin");
    ASSERT_EQ(detail.when.size(), 2u);
    EXPECT_FALSE(detail.when[0].equal);
    EXPECT_EQ(detail.when[1].value, "7");
    ASSERT_EQ(detail.columns.size(), 4u);
    EXPECT_TRUE(detail.columns[0].checkbox);
    EXPECT_EQ(detail.columns[2].align, Align::Right);
    EXPECT_TRUE(detail.columns[2].total);
    EXPECT_EQ(detail.columns[3].format.kind, NumberFormat::Fixed);
    EXPECT_EQ(detail.columns[3].format.decimals, 2);
}

struct BadCase {
    const char* name;
    std::string text;
    int line;
    const char* mentions; // a word the message must name
};

TEST(ReportDefinition, ErrorsNameTheirLine) {
    const BadCase cases[] = {
        {"other version", Replace(kValid, "tavel-report 1", "tavel-report 2"), 1, "tavel-report"},
        {"no version", Replace(kValid, "tavel-report 1\n", ""), 1, "tavel-report"},
        {"empty file", "", 1, "tavel-report"},
        {"unknown column field", Replace(kValid, "column \"Code\" Code", "column \"Code\" Kode"),
         22, "lines.Kode"},
        {"unknown header field", Replace(kValid, "field \"Name\" Name", "field \"Name\" Nom"), 16,
         "head.Nom"},
        {"unknown text field", Replace(kValid, "{head.Id}", "{head.Ident}"), 14, "head.Ident"},
        {"unclosed detail", Replace(kValid, "  total \"All\"\nend\n", "  total \"All\"\n"), 18,
         "detail"},
        {"unclosed query", Replace(kValid, "OR {?1} = 1\nend\n", "OR {?1} = 1\n"), 10, "query"},
        {"unknown formula in SQL", Replace(kValid, "= {Order}", "= {Ordre}"), 8, "Ordre"},
        {"unknown formula in condition", Replace(kValid, "and Order = 7", "and Orders = 7"), 18,
         "Orders"},
        {"parameter beyond count", Replace(kValid, "{?1}", "{?2}"), 12, "2"},
        {"unknown query", Replace(kValid, "header head", "header heads"), 15, "heads"},
        {"unknown format", Replace(kValid, "format 0.00", "format money"), 24, "money"},
        {"unknown keyword", Replace(kValid, "  group Bin", "  grup Bin"), 19, "grup"},
        {"stray end", std::string(kValid) + "end\n", 27, "end"},
        {"unclosed quote", Replace(kValid, "title \"Orders\"", "title \"Orders"), 2, "\""},
    };
    for (const BadCase& c : cases) {
        const ParseResult r = ParseReportDefinition(c.text);
        ASSERT_FALSE(r.ok()) << c.name;
        EXPECT_EQ(r.errors.front().line, c.line) << c.name << ": " << r.errors.front().message;
        const std::string shown = FormatParseError("Test.rpt", r.errors.front());
        EXPECT_NE(shown.find("line " + std::to_string(c.line)), std::string::npos)
            << c.name << ": " << shown;
        EXPECT_NE(shown.find("Test.rpt"), std::string::npos) << shown;
        EXPECT_NE(r.errors.front().message.find(c.mentions), std::string::npos)
            << c.name << ": " << r.errors.front().message;
    }
}

ReportDefinition Valid() {
    ParseResult r = ParseReportDefinition(kValid);
    EXPECT_TRUE(r.ok());
    return r.definition;
}

TEST(ReportPlaceholders, QuotedValuesAreTextWithQuotesDoubled) {
    const ReportDefinition d = Valid();
    ReportInputs in;
    in.formulas = {{"Note", "O'Hara's"}};
    in.params = {ParamValue{false, 0, "it's"}};
    std::string out, error;
    ASSERT_TRUE(
        ExpandSql(d, in, "WHERE a = '{Note}' AND b = 'x{?1}y' AND c = 'q''{Note}'", out, error))
        << error;
    EXPECT_EQ(out, "WHERE a = 'O''Hara''s' AND b = 'xit''sy' AND c = 'q''O''Hara''s'");
}

TEST(ReportPlaceholders, UnquotedPlacesTakeOnlyNumbers) {
    const ReportDefinition d = Valid();
    struct Case {
        std::string value;
        bool accepted;
    };
    const Case cases[] = {{"42", true},   {"-3", true},        {"12.50", true},
                          {"", false},    {"1 OR 1=1", false}, {"7;", false},
                          {"1e3", false}, {"'5'", false},      {".5", false}};
    for (const Case& c : cases) {
        ReportInputs in;
        in.formulas = {{"Order", c.value}};
        std::string out, error;
        const bool ok = ExpandSql(d, in, "WHERE a = {Order}", out, error);
        EXPECT_EQ(ok, c.accepted) << "value [" << c.value << "] gave " << out;
        if (ok) {
            EXPECT_EQ(out, "WHERE a = " + c.value);
        } else {
            EXPECT_NE(error.find("Order"), std::string::npos) << error;
        }
    }
}

TEST(ReportPlaceholders, ParametersAndDefaults) {
    const ReportDefinition d = Valid();
    ReportInputs in;
    in.params = {ParamValue{true, 1042, ""}, ParamValue{false, 0, "abc"}};
    std::string out, error;
    // A number parameter prints without decimals; a missing formula takes its default.
    ASSERT_TRUE(ExpandSql(d, in, "{?1} '{Note}'", out, error)) << error;
    EXPECT_EQ(out, "1042 'none'");
    EXPECT_FALSE(ExpandSql(d, in, "x = {?2}", out, error));
    EXPECT_FALSE(ExpandSql(d, in, "x = {?3}", out, error));
    EXPECT_NE(error.find('3'), std::string::npos) << error;
}

TEST(ReportPlaceholders, UnknownFormulaReportedOnlyWhenAsked) {
    const ReportDefinition d = Valid();
    ReportInputs in;
    in.formulas = {{"Order", "1"}, {"Extra", "x"}};
    std::string error;
    EXPECT_TRUE(CheckFormulas(d, in, error));
    in.formulaErrors = true;
    EXPECT_FALSE(CheckFormulas(d, in, error));
    EXPECT_NE(error.find("Extra"), std::string::npos) << error;
    in.formulas.pop_back();
    EXPECT_TRUE(CheckFormulas(d, in, error));
}

TEST(ReportPlaceholders, FormulaValueLosesItsDoubleQuotes) {
    EXPECT_EQ(Unquote("\"1042\""), "1042");
    EXPECT_EQ(Unquote("\"\""), "");
    EXPECT_EQ(Unquote("plain"), "plain");
    EXPECT_EQ(Unquote("\"a\"b\""), "a\"b");
}

TEST(ReportFormat, ValuesByFormat) {
    struct Case {
        const char* value;
        const char* format;
        const char* shown;
    };
    const Case cases[] = {
        {"1234.5", "0.00", "1,234.50"},
        {"-1234567", "0", "-1,234,567"},
        {"0.004", "0.00", "0.00"},
        {"-0.001", "0.00", "0.00"},
        {"8.0", "qty", "8"},
        {"2.250", "qty", "2.25"},
        {"2026-11-05", "date", "11/05/2026"},
        {"n/a", "0.00", "n/a"},
        {"12.5", "text", "12.5"},
        {"999.995", "0.0", "1,000.0"},
    };
    for (const Case& c : cases) {
        NumberFormat f;
        ASSERT_TRUE(ParseFormat(c.format, f)) << c.format;
        EXPECT_EQ(FormatValue(c.value, f), c.shown) << c.value << " as " << c.format;
    }
}

TEST(ReportLayout, ValuesAreEscapedAndConditionsApply) {
    const ReportDefinition d = Valid();
    ReportInputs in;
    in.formulas = {{"Order", "7"}, {"Note", "<b>R&D</b>"}};
    ReportData data;
    data.rows["head"] = {{"7", "Smith & \"Sons\""}};
    data.rows["lines"] = {{"A1", "<X>", "2", "1.5"}, {"A1", "Y", "3", "2"}, {"B2", "Z", "4", "1"}};
    const std::string html = BuildReportHtml(d, in, data, "t");
    EXPECT_NE(html.find("Order 7 &lt;b&gt;R&amp;D&lt;/b&gt;"), std::string::npos) << html;
    EXPECT_EQ(html.find("<b>R&D"), std::string::npos);
    EXPECT_NE(html.find("Smith &amp; &quot;Sons&quot;"), std::string::npos);
    EXPECT_NE(html.find("&lt;X&gt;"), std::string::npos);
    // One group header per bin, and the grand total of the quantities.
    EXPECT_NE(html.find("Bin A1"), std::string::npos);
    EXPECT_NE(html.find("Bin B2"), std::string::npos);
    EXPECT_EQ(html.find("Bin A1", html.find("Bin A1") + 1), std::string::npos);
    EXPECT_NE(html.find("<b>9</b>"), std::string::npos) << html;

    in.formulas = {{"Order", "8"}, {"Note", "x"}};
    EXPECT_EQ(BuildReportHtml(d, in, data, "t").find("Bin A1"), std::string::npos)
        << "a detail whose condition fails is left out";
}

TEST(ReportLayout, GroupFooterSumsItsGroup) {
    const std::string text =
        Replace(kValid, "  total \"All\"", "  groupfooter \"Sum {lines.Bin}\"");
    const ParseResult r = ParseReportDefinition(text);
    ASSERT_TRUE(r.ok()) << FormatParseError("t", r.errors.front());
    ReportInputs in;
    in.formulas = {{"Order", "7"}};
    ReportData data;
    data.rows["lines"] = {{"A1", "x", "2", "1"}, {"A1", "y", "3", "1"}, {"B2", "z", "40", "1"}};
    const std::string html = BuildReportHtml(r.definition, in, data, "t");
    const std::size_t a = html.find("Sum A1");
    const std::size_t b = html.find("Sum B2");
    ASSERT_NE(a, std::string::npos) << html;
    ASSERT_NE(b, std::string::npos) << html;
    EXPECT_NE(html.find("<b>5</b>", a), std::string::npos);
    EXPECT_LT(html.find("<b>5</b>", a), b);
    EXPECT_NE(html.find("<b>40</b>", b), std::string::npos);
}

TEST(ReportLayout, ListKeepsItsColumns) {
    const std::string html =
        BuildListHtml("Stock <all>", {"Code", "Name"}, {{"A&B", "x"}, {"only"}}, 9);
    EXPECT_NE(html.find("Stock &lt;all&gt;"), std::string::npos);
    EXPECT_NE(html.find("A&amp;B"), std::string::npos);
    // The short row is padded to two cells.
    EXPECT_NE(html.find("<td>only</td><td></td>"), std::string::npos) << html;
}

} // namespace

#pragma once

// A report definition: the text file (*.rpt) that says what a report queries and how it is
// laid out. The format is our own, line based and versioned:
//
//   tavel-report 1
//   title "Purchase order"
//   page letter portrait margin 15
//   formula InvOrder
//   formula Note default ""
//   params 2
//   query order
//     fields InvOrder PONumber VendorName
//     SELECT O."InvOrder", O."PONumber", V."Name" FROM INVORDER O, VENDOR V
//     WHERE O."Vendor" = V."Vendor" (+) AND O."InvOrder" = {InvOrder}
//   end
//   text title "Purchase order {order.PONumber}"
//   header order
//     field "Order" InvOrder
//   end
//   detail lines
//     group Bin
//     groupheader "Bin {lines.Bin}"
//     column "Code" ProductCode width 15
//     column "Total" LineTotal width 12 right format 0.00 total
//     checkbox "Picked" width 8
//     total "Order total"
//     empty "No lines"
//   end
//
// Placeholders: {Name} is a formula, {?N} the N-th parameter, {query.Field} a field of
// a query (its first row in text lines; the current row in group headers), and
// {query.Field|date} such a field in a number format. In SQL a
// placeholder inside a quoted literal is text, anywhere else it must be a number.
// Elements (text, rule, header, detail) may end with "when Formula = value" or
// "when Formula != value" (several joined with "and") to appear only for some formula
// values.

#include <string>
#include <string_view>
#include <vector>

namespace tavel::report {

inline constexpr int kDefinitionVersion = 1;
inline constexpr const char* kVersionTag = "tavel-report";

enum class TextStyle { Title, Heading, Normal, Small, Bold };
enum class Align { Left, Center, Right };
enum class PageSize { Letter, A4, Legal };

// How a value is shown: as stored, as a number with a fixed count of decimals, as a
// quantity without trailing zeros, or a stored date as month/day/year.
struct NumberFormat {
    enum Kind { Text, Fixed, Quantity, Date };
    Kind kind = Text;
    int decimals = 0;
};

struct Condition {
    bool active = false;
    std::string formula;
    bool equal = true;
    std::string value;
};

struct QueryDef {
    std::string name;
    std::vector<std::string> fields;
    std::string sql;
    int line = 0;
    int FieldIndex(std::string_view field) const;
};

struct FieldDef {
    std::string label;
    std::string field;
    NumberFormat format;
};

struct ColumnDef {
    std::string heading;
    std::string field; // empty for a check box column
    bool checkbox = false;
    int width = 0; // percent of the line; 0 shares what is left
    Align align = Align::Left;
    NumberFormat format;
    bool total = false;
};

enum class ElementKind { Text, Rule, Header, Detail };

struct Element {
    ElementKind kind = ElementKind::Text;
    int line = 0;
    std::vector<Condition> when; // all must hold
    // Text
    TextStyle style = TextStyle::Normal;
    std::string text;
    // Header and detail
    std::string query;
    std::vector<FieldDef> fields;
    std::vector<ColumnDef> columns;
    std::string groupField;
    std::string groupHeader;
    std::string groupFooter;
    std::string totalLabel;
    std::string emptyText;
};

struct FormulaDef {
    std::string name;
    bool hasDefault = false;
    std::string defaultValue;
};

struct PageSetup {
    PageSize size = PageSize::Letter;
    bool landscape = false;
    double marginMm = 20.0; // total; the renderer never prints closer than 20 mm to an edge
};

struct ReportDefinition {
    int version = 0;
    std::string title;
    PageSetup page;
    double fontPoints = 9.0;
    std::vector<FormulaDef> formulas;
    int params = 0;
    std::vector<QueryDef> queries;
    std::vector<Element> elements;

    const QueryDef* FindQuery(std::string_view name) const;
    const FormulaDef* FindFormula(std::string_view name) const;
};

struct ParseError {
    int line = 0;
    std::string message; // without the line; FormatParseError adds it
};

struct ParseResult {
    ReportDefinition definition;
    std::vector<ParseError> errors;
    bool ok() const { return errors.empty(); }
};

ParseResult ParseReportDefinition(std::string_view text);

// "Report definition NAME, line N: message" from the string table.
std::string FormatParseError(const std::string& source, const ParseError& error);

// "text", "qty", "date", "0", "0.0", "0.00", ...; false for anything else.
bool ParseFormat(const std::string& name, NumberFormat& format);

// Shows a value by its format; a value that is not a number is shown as it stands.
std::string FormatValue(const std::string& value, const NumberFormat& format);

} // namespace tavel::report

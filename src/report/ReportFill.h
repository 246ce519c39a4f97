#pragma once

// Filling a report: the caller's formulas and parameters put into the definition's
// queries, the queries run through the database service, and the rows kept as text.

#include "ReportDefinition.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class WSIDatabase;

namespace tavel::report {

struct ParamValue {
    bool isNumber = true;
    double number = 0;
    std::string text;
};

struct ReportInputs {
    // Values as the caller wrote them, without their surrounding double quotes.
    std::vector<std::pair<std::string, std::string>> formulas;
    std::vector<ParamValue> params;
    // On: a formula the definition does not know fails the report.
    bool formulaErrors = false;
};

struct ReportData {
    std::map<std::string, std::vector<std::vector<std::string>>> rows; // by query name
};

// The text between a formula value's double quotes ("\"12\"" gives "12"); a value
// without quotes stands as it is.
std::string Unquote(const std::string& value);

// A formula's value: as passed, else its default, else empty.
std::string FormulaValue(const ReportDefinition& def, const ReportInputs& in,
                         const std::string& name);

// Whether an element with these conditions is shown (all hold).
bool ConditionHolds(const ReportDefinition& def, const ReportInputs& in,
                    const std::vector<Condition>& conditions);

// With formula errors on: the first formula passed that the definition does not declare.
bool CheckFormulas(const ReportDefinition& def, const ReportInputs& in, std::string& error);

// The SQL of a query with its placeholders replaced. Inside a quoted literal a value is
// text with its single quotes doubled; elsewhere it must be a number or the expansion
// fails with a message in error.
bool ExpandSql(const ReportDefinition& def, const ReportInputs& in, const std::string& sql,
               std::string& out, std::string& error);

// Runs every query that a shown element uses.
bool FetchReportData(WSIDatabase& db, const ReportDefinition& def, const ReportInputs& in,
                     ReportData& data, std::string& error);

// The HTML of the filled report for QTextDocument; every value is escaped.
std::string BuildReportHtml(const ReportDefinition& def, const ReportInputs& in,
                            const ReportData& data, const std::string& title);

// The HTML of a plain list: title, column headings and rows of text.
std::string BuildListHtml(const std::string& title, const std::vector<std::string>& headings,
                          const std::vector<std::vector<std::string>>& rows, double fontPoints);

std::string EscapeHtml(const std::string& text);

} // namespace tavel::report

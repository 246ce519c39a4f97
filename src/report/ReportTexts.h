#pragma once

// Texts of the report engine that a user can meet, by message code of the string table.

#include <initializer_list>
#include <string>

namespace tavel::report {

enum MessageCode : unsigned {
    kMsgCannotRead = 39500,       // definition file missing or unreadable
    kMsgDefinitionLine = 39501,   // "Report definition %s, line %d: %s"
    kMsgBadVersion = 39502,       // first line is not the version tag
    kMsgUnknownField = 39503,     // field not listed by its query
    kMsgUnclosedBlock = 39504,    // block without "end"
    kMsgUnknownFormula = 39505,   // placeholder of an undeclared formula
    kMsgFormulaNotKnown = 39506,  // a formula passed that the definition does not know
    kMsgNotANumber = 39507,       // a value placed where the SQL expects a number
    kMsgUnknownQuery = 39508,     // header or detail over an undeclared query
    kMsgUnknownKeyword = 39509,   // a line that does not start with a keyword
    kMsgExpected = 39510,         // a missing or malformed argument
    kMsgMissingParameter = 39511, // a parameter the caller did not pass
    kMsgStrayEnd = 39512,         // "end" outside a block
    kMsgUnknownFormat = 39513,    // number format
    kMsgCannotWritePdf = 39514,   // the PDF file cannot be written
    kMsgQueryIncomplete = 39515,  // a query without fields or SQL text
    kMsgUnknownParameter = 39516, // {?N} beyond the declared count
    kMsgDuplicateName = 39517,    // a query or formula declared twice
    kMsgNoPrinter = 39518,        // printing failed
    kMsgReportFailed = 39519,     // "The report %s could not be printed: %s"
};

// The text of code from the resource folder's string table; "[code]" when it has none.
std::string ReportText(unsigned code);

// The text of code with its %s / %d markers replaced, in order, by args.
std::string ReportText(unsigned code, std::initializer_list<std::string> args);

} // namespace tavel::report

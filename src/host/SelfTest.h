#pragma once

// tavel --self-test: the host started without a display shows that it works end to end.

#include <string>

class HostMainWindow;
class TavelHost;

namespace tavelhost {

// An open order of the database (one with a line still to be supplied), 0 when none.
long FindOpenOrder(TavelHost& host);

// Prints order to pdf with the order layout, given its number as the "InvOrder" formula
// the way the module's order print does. False with error set when nothing was written.
bool RenderOrderPdf(TavelHost& host, long order, const std::string& pdf, std::string& error);

// What a self-test run produced.
struct SelfTestOutcome {
    bool ok = false;
    std::string problem;    // why it failed
    long order = 0;         // the order printed
    int rows = 0;           // rows the search put on the first tab
    std::string pdf;        // the order's PDF
    std::string screenshot; // the main window as shown
};

// Opens the inventory window, searches on its first tab, prints an open order to PDF and
// saves a screenshot of the main window; the files go to outDir.
SelfTestOutcome RunSelfTest(TavelHost& host, HostMainWindow& window, const std::string& outDir);

} // namespace tavelhost

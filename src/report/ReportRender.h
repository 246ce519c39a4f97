#pragma once

// Rendering a laid-out report (HTML for QTextDocument) to a PDF file, a printer or a
// print preview, and the host's list printing over the same outputs.

#include "ReportDefinition.h"

#include <string>
#include <vector>

class QWidget;

namespace tavel::report {

struct ReportOutput {
    enum Kind { Pdf, Printer, Preview };
    Kind kind = Pdf;
    std::string pdfPath;       // Pdf
    QWidget* parent = nullptr; // Printer (its dialog) and Preview
    bool showDialog = false;   // Printer: ask for the printer first
};

// False with a message in error when the output could not be made; a print dialog
// that the user cancelled is not an error.
bool RenderHtml(const std::string& html, const std::string& title, const PageSetup& page,
                const ReportOutput& output, std::string& error);

// A list the host is handed (title, column headings, rows of text) to any output.
bool RenderList(const std::string& title, const std::vector<std::string>& headings,
                const std::vector<std::vector<std::string>>& rows, const ReportOutput& output,
                std::string& error);

} // namespace tavel::report

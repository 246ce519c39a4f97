#pragma once

// The rows a search screen lists, saved as a CSV file through the lists' own writer: the
// shown columns under their headings, in the listed order.

#include <QString>

class WSISearchDialog;

namespace tavel::products {

// Command id of a search screen's Export button (and of its context menu entry).
inline constexpr int kCmExportCsv = 24160;

// Asks where to save and writes the listed rows; says so when nothing is listed yet.
void ExportListed(WSISearchDialog& screen, const QString& suggestedName);

} // namespace tavel::products

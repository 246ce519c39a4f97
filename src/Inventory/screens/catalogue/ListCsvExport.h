#pragma once

// A list as staff see it, saved as a CSV file for a spreadsheet or the accountant: the
// shown columns under their headings, the rows in their sorted order, dates as
// year-month-day and amounts with a dot, in UTF-8.

#include <QString>

#include <functional>
#include <string>

class QWidget;
class WSIDialog;
class WSIListWindow;

namespace tavel::csvexport {

// The list's rows as CSV text, header line first.
std::string ListToCsv(const WSIListWindow& list);

// Asks where to save (the suggested file name first); an empty answer cancels. Tests
// set their own; an empty chooser puts the file dialog back.
using SaveChooser = std::function<QString(QWidget* parent, const QString& suggestedName)>;
void SetSaveChooser(SaveChooser chooser);

// Saves text where the user chooses. False when cancelled, or when the file cannot be
// written (the screen then says so).
bool SaveCsv(WSIDialog& screen, const std::string& text, const QString& suggestedName);

} // namespace tavel::csvexport

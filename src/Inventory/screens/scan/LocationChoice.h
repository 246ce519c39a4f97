#pragma once

// The location list of the scan screens: each entry is the location's code, a tab and its
// name, so that the code can be read back from the chosen text.

#include <string>

class QComboBox;
class WSIDatabase;
class WSIProfile;

namespace tavel::scan {

// Fills combo with the active locations in table order and chooses the one the profile
// names ("Inventory" / "Location"); none is chosen when it names none of them.
void FillActiveLocations(QComboBox& combo, WSIDatabase* db, WSIProfile* profile);

// A fixed-width code without its trailing blanks.
std::string TrimmedCode(const char* text);

// The chosen location's code: the entry's text up to 23 characters, cut at the first tab,
// at most 6 characters; "" when none is chosen.
std::string ChosenLocation(const QComboBox& combo);

} // namespace tavel::scan

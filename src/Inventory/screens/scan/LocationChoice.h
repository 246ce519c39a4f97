#pragma once

// The location lists of the scan screens: each entry is the location's code, a tab and its
// name, so that the code can be read back from the chosen text and the name is what staff
// read.

#include <string>

class QComboBox;
class WSIApplication;
class WSIDatabase;
class WSIProfile;

namespace tavel::scan {

// Fills combo with the active locations in table order and chooses preset (none is chosen
// when the list does not hold it).
void FillActiveLocations(QComboBox& combo, WSIDatabase* db, const std::string& preset);
// The same, choosing the location the profile names ("Inventory" / "Location").
void FillActiveLocations(QComboBox& combo, WSIDatabase* db, WSIProfile* profile);

// A fixed-width code without its trailing blanks.
std::string TrimmedCode(const char* text);

// The chosen location's code: the entry's text up to 23 characters, cut at the first tab,
// at most 6 characters; "" when none is chosen.
std::string ChosenLocation(const QComboBox& combo);

// Chooses the entry of code; false when the list has none.
bool ChooseLocation(QComboBox& combo, const std::string& code);

// A location code kept in the profile section "Inventory" under key (at most 6 characters,
// without trailing blanks; "" without a profile).
std::string InventoryProfileLocation(WSIApplication* module, const char* key);

} // namespace tavel::scan

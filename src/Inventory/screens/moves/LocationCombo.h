#pragma once

// The location lists of the stock-moving screens: the active locations as "code<TAB>name",
// so that the code is what the list hands back and the name is what staff read.

#include <string>

class QComboBox;
class WSIApplication;
class WSIDatabase;

namespace tavel::moves {

// Fills combo with the active locations and selects preset (none when it is not there).
void FillActiveLocations(QComboBox& combo, WSIDatabase* db, const std::string& preset);
// The code of the selected entry: its text up to 23 characters, cut at the tab, at most
// six characters; "" when nothing is selected.
std::string SelectedLocation(const QComboBox& combo);
// Selects the entry of code; false when the list has none.
bool SelectLocation(QComboBox& combo, const std::string& code);
// A location code as stored, without its trailing blanks.
std::string TrimmedCode(const char* code);
// A text of the profile section "Inventory" without trailing blanks ("" without a profile).
std::string InventoryProfileText(WSIApplication* module, const char* key);

} // namespace tavel::moves

#pragma once

#include <string>

class QWidget;
class WSIDatabase;

// Messages 2050 and 2051: a small list of the cities (with their province) or provinces
// to choose from, the current value selected. True with chosen set when the user picked.
bool PickPlace(QWidget* parent, WSIDatabase& db, bool province, const std::string& current,
               std::string& chosen);

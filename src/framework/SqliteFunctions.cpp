// Placeholder until the translator's function set lands.
#include "SqliteFunctions.h"

#include <sqlite3.h>

int RegisterOracleFunctions(sqlite3*, std::function<WSIDate()>) { return SQLITE_OK; }

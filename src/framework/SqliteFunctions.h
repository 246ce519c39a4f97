#pragma once

// SQL functions and collations that the SQLite text produced by sqldialect relies on
// (Oracle's NVL/DECODE/TRUNC/TO_CHAR/date arithmetic meanings). Registered on every
// SQLite connection right after it is opened.

#include "Record.h"

#include <functional>

struct sqlite3;

// today: the connection's current date (a clock that tests can set). Returns SQLITE_OK
// or the SQLite error code of the first registration that failed.
int RegisterOracleFunctions(sqlite3* db, std::function<WSIDate()> today);

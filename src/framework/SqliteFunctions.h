#pragma once

// SQL functions and collations that the SQLite text produced by sqldialect relies on
// (Oracle's NVL/DECODE/TRUNC/TO_CHAR/date arithmetic meanings). Registered on every
// SQLite connection right after it is opened.
//
// Functions: tvl_today() (today as 'YYYY-MM-DD'), tvl_nextval(name) (next value of a
// sequence), tvl_to_char(value, format) and tvl_to_date(text, format) (Oracle date
// formats YYYY, YY, MM, MON, DD, HH24, HH, MI, SS; other characters as written).
//
// Sequences. Oracle hands out sequence numbers outside the caller's transaction: a
// number taken in a transaction that is rolled back is never handed out again. SQLite
// has one writer per database file, so a counter in the database itself would either
// roll back with the caller or wait for the caller's own write lock. The counters
// therefore live in a second, small database file beside the database, "<file>.sequences"
// (table "TVL_SEQUENCES"(name, value)), which tvl_nextval updates through a connection
// of its own in autocommit mode: each number is committed at once, whatever the caller's
// transaction does, and two processes on the same files get distinct numbers because
// each increment is one write transaction on that file. Back the two files up together.
// An in-memory or temporary database keeps its counters in the connection instead.
// Sequence names are compared as Oracle compares unquoted names, without regard to case.

#include "Record.h"

#include <functional>

struct sqlite3;

// today: the connection's current date (a clock that tests can set). Returns SQLITE_OK
// or the SQLite error code of the first registration that failed.
int RegisterOracleFunctions(sqlite3* db, std::function<WSIDate()> today);

// Creates the sequence name (first value handed out: 1) unless it exists. Called by
// whoever creates the schema. For an in-memory or temporary database the functions
// must be registered on db first (SQLITE_MISUSE otherwise). Returns an SQLite code.
int CreateSequence(sqlite3* db, const char* name);

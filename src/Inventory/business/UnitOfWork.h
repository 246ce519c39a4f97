#pragma once

// Aborting a stock operation's unit of work. Adjust leaves its own nesting level open
// when it throws (its caller decides); a caller aborts only when a level it started
// from is still open, and one abort closes every level, so the database is as it was
// before the outermost begin.

#include "WSIDatabase.h"

namespace tavel {

inline void AbortTransactionsAbove(WSIDatabase* db, int level) {
    if (db->TransactionLevel() > level)
        db->TransactionAbort();
}

} // namespace tavel

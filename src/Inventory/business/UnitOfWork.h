#pragma once

// Aborting a stock operation's unit of work. Adjust leaves its own nesting level open
// when it throws (its caller decides), so a caller cannot abort just once: it aborts
// every level opened since it started, and the database is as it was before the call.

#include "WSIDatabase.h"

namespace tavel {

inline void AbortTransactionsAbove(WSIDatabase* db, int level) {
    while (db->TransactionLevel() > level)
        db->TransactionAbort();
}

} // namespace tavel

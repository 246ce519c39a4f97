#pragma once

// Aborting a stock operation's unit of work. Adjust leaves its own nesting level open
// when it throws (its caller decides); a caller aborts only when a level it started
// from is still open, and one abort closes every level, so the database is as it was
// before the outermost begin.

#include "WSIDatabase.h"

#include <utility>

namespace tavel {

inline void AbortTransactionsAbove(WSIDatabase* db, int level) {
    if (db->TransactionLevel() > level)
        db->TransactionAbort();
}

// Runs `work` as one unit of work. When it throws, the unit is aborted and `restore` puts
// the caller's records back to what the database holds before the exception goes on.
template <class Work, class Restore>
void InTransaction(WSIDatabase* db, Work&& work, Restore&& restore) {
    db->TransactionBegin();
    try {
        work();
    } catch (...) {
        db->TransactionAbort();
        restore();
        throw;
    }
    db->TransactionEnd();
}

// The same, for work that leaves nothing of the caller's to put back.
template <class Work> void InTransaction(WSIDatabase* db, Work&& work) {
    InTransaction(db, std::forward<Work>(work), [] {});
}

} // namespace tavel

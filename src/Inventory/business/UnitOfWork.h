#pragma once

// Aborting a stock operation's unit of work. Adjust leaves its own nesting level open
// when it throws (its caller decides); a caller aborts only when a level it started
// from is still open, and one abort closes every level, so the database is as it was
// before the outermost begin.

#include "BIException.h"
#include "WSIDatabase.h"

#include <utility>

namespace tavel {

// Throws StorageErr or DiskFullErr when the last failure of the unit of work came from
// the storage below the tables; returns otherwise.
inline void ThrowStorageFailure(WSIDatabase* db) {
    switch (db->StorageFailure()) {
    case WSIDatabase::Storage::Full:
        throw DiskFullErr();
    case WSIDatabase::Storage::Failed:
        throw StorageErr();
    case WSIDatabase::Storage::Fine:
        break;
    }
}

// Ends one level of the unit of work. When the outermost end's commit fails, the engine
// has rolled everything back: the caller must not go on as if it were stored. A unit of
// work during which the storage failed (a read that came back empty because the disk
// refused it looks like "nothing there") is not committed either.
inline void EndTransaction(WSIDatabase* db) {
    const bool outermost = db->TransactionLevel() == 1;
    if (outermost && db->StorageFailure() != WSIDatabase::Storage::Fine) {
        db->TransactionAbort();
        ThrowStorageFailure(db);
    }
    if (db->TransactionEnd() || !outermost)
        return;
    ThrowStorageFailure(db);
    throw StorageErr();
}

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
    try {
        EndTransaction(db);
    } catch (...) {
        restore();
        throw;
    }
}

// The same, for work that leaves nothing of the caller's to put back.
template <class Work> void InTransaction(WSIDatabase* db, Work&& work) {
    InTransaction(db, std::forward<Work>(work), [] {});
}

} // namespace tavel

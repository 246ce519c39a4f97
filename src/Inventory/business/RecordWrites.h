#pragma once

// The locked-record reads and writes the operations share: each turns a failure into the
// business exception a screen shows.

#include "BIException.h"
#include "BIInventory.h"
#include "WSIDatabase.h"

template <class Record> void BIInventory::LockForUpdate(Record& record) {
    record.ForceReread();
    if (!record.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
        throw RecordInUse();
}

template <class Fallback, class Record> void BIInventory::UpdateOrThrow(Record& record) {
    if (!record.UpdateDB(__FILE__, __LINE__, true, true)) {
        ThrowDbError(record.GetError());
        throw Fallback();
    }
}

template <class Fallback, class Item> void BIInventory::UpdateAmountsOrThrow(Item& item) {
    if (!item.UpdateAmounts(__FILE__, __LINE__)) {
        ThrowDbError(item.GetError());
        throw Fallback();
    }
}

template <class Fallback, class Record> void BIInventory::InsertOrThrow(Record& record) {
    if (!record.InsertDB(__FILE__, __LINE__, dbiNOLOCK, true)) {
        ThrowDbError(record.GetError());
        throw Fallback();
    }
}

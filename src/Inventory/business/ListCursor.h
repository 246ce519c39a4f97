#pragma once

// The cursors behind a screen's list: GetNextRow walks one from its first row to past its
// last, GetNewRow hands out a row object on the line just written.

#include "WSIDatabase.h"

#include <memory>

namespace tavel {

// The next row of the list: the first call opens the cursor on what `open` returns, later
// calls move on. Past the last row the cursor is closed and nullptr comes back, so that the
// next call starts the list over.
template <class Cursor, class Open>
WSITable* NextListRow(std::unique_ptr<Cursor>& cursor, Open&& open) {
    bool found;
    if (!cursor) {
        cursor = open();
        found = cursor->GetFirst();
    } else {
        found = cursor->GetNext();
    }
    if (!found) {
        cursor.reset();
        return nullptr;
    }
    return cursor.get();
}

// A row object positioned on the row `sql` selects; the caller owns it.
template <class Row> WSITable* NewListRow(WSIDatabase* db, const char* sql) {
    auto* row = new Row(db, sql);
    row->GetFirst();
    return row;
}

} // namespace tavel

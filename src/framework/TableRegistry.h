#pragma once

// Process-wide list of the row layouts the database service knows by name: tables (which
// GetTableColumns lists and whose date columns the SQL translator must recognise) and
// views (only their date columns matter). Record classes are registered explicitly at
// start-up, e.g. RegisterTable(WSIPrdLoc::Table()); registering the same name again
// replaces the earlier descriptor.

#include "Dialect.h"
#include "Record.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

void RegisterTable(const TableDesc& table);
void RegisterView(const TableDesc& view);

// The table or view of that name (upper case, as registered), or null.
const TableDesc* FindTableDesc(std::string_view name);

// Every registered table (not views), in registration order.
std::vector<const TableDesc*> RegisteredTables();

namespace tavel {

// Names of every date column of the registered tables and views.
std::unordered_set<std::string> RegisteredDateColumns();

// Changes whenever something is registered, so that users of the lists can rebuild.
unsigned RegistryVersion();

// What the translator knows of the registered schema: the date columns and every table's
// columns.
sqldialect::SchemaHints RegisteredSchemaHints();

} // namespace tavel

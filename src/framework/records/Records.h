#pragma once

// Every record class of the inventory, and the lists of their descriptors that the
// schema and the database service walk.

#include "CatalogueRecords.h"
#include "LocationRecords.h"
#include "QueryRows.h"
#include "StockRecords.h"
#include "SuiteRecords.h"
#include "ViewRecords.h"

#include <span>

// The tables, in creation order: a table comes after the tables it refers to.
std::span<const TableDesc* const> RecordTables();

// The rows of the views (the descriptor's name is the view's name).
std::span<const TableDesc* const> ViewRows();

// The rows of list and suggestion queries that are neither tables nor views.
std::span<const TableDesc* const> QueryResultRows();

// Makes every table known to the database service (GetTableColumns, date columns of the
// SQL translator) and every view and query row (their date columns). Call once at
// start-up, before the first statement; calling again changes nothing.
void RegisterRecords();

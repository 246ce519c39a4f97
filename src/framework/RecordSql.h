#pragma once

// SQL derived from column descriptors and the moves of column values between a record
// buffer and a SQLite statement. Internal to the database service.

#include "Record.h"
#include "WSITable.h"

#include <cstddef>
#include <string>

struct sqlite3_stmt;

namespace tavel::db {

// Bytes the column occupies in its record buffer.
std::size_t ColumnSize(const ColumnDesc& column);
const ColumnDesc* FindColumn(const TableDesc& table, const char* name);
// The key column when the key is one id column: the database assigns it on insert.
const ColumnDesc* AutoIdColumn(const TableDesc& table);

// Parameters are numbered in the order the columns appear in the text: for the update,
// the non-key columns first, then the key columns.
std::string SelectByKeySql(const TableDesc& table);
std::string SelectAllSql(const TableDesc& table);
std::string InsertSql(const TableDesc& table);
std::string UpdateSql(const TableDesc& table);
std::string DeleteSql(const TableDesc& table);
// CREATE TABLE under tableName: quoted columns typed by columnType (for the auto id column,
// autoIdType in full), key columns NOT NULL, a primary key over the key columns unless the
// table has an auto id.
std::string CreateTableSqlWith(const TableDesc& table, const std::string& tableName,
                               const char* autoIdType,
                               std::string (*columnType)(const ColumnDesc& column));
// ALTER TABLE tableName ADD COLUMN for one column of a record, typed by columnType: how an
// upgrade brings a table of an older schema up to its record.
std::string AddColumnSqlWith(const std::string& tableName, const ColumnDesc& column,
                             std::string (*columnType)(const ColumnDesc& column));

// Empty text binds NULL outside key columns (Oracle stores '' as NULL); a null date binds
// NULL; dates bind as ISO text.
void BindColumn(sqlite3_stmt* stmt, int index, const ColumnDesc& column, const void* data);
// NULL reads as 0, "" or the null date; text is cut to the column's width.
void ReadColumn(sqlite3_stmt* stmt, int col, const ColumnDesc& column, void* data);
// Fills the destination from the current row.
void ReadResult(sqlite3_stmt* stmt, const WSIResult& result);

// "2027-01-15"; out holds at least 11 bytes.
void FormatIsoDate(const WSIDate& date, char* out);
// Accepts "YYYY-MM-DD" optionally followed by a time; false (null date) otherwise.
bool ParseIsoDate(const char* text, WSIDate& date);
// Copies at most capacity - 1 bytes, never cutting a UTF-8 sequence in two.
void CopyText(char* dst, std::size_t capacity, const char* src, std::size_t len);

} // namespace tavel::db

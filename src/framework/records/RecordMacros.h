#pragma once

// Each table's columns are written once, as an X-macro list of
//   X(name, ColType, width, key)
// from which both the plain record (WSIData) and its column descriptors are generated,
// so the C++ member types and the descriptors can never disagree.
//
//   #define TVL_PRDTYPE_COLUMNS(X) X(PrdType, Id, 0, true) X(Description, Text, 30, false)
//   TVL_TABLE_RECORD(WSIPrdType, TVL_PRDTYPE_COLUMNS)          // header
//   TVL_TABLE_DESC(WSIPrdType, "PRDTYPE", TVL_PRDTYPE_COLUMNS)  // one .cpp
//
// Rows of views and of queries that are not tables are plain structs with the same
// descriptors (TVL_ROW_RECORD / TVL_ROW_DESC); they are filled in select order.

#include "Record.h"
#include "WSITable.h"

#include <cstddef>
#include <iterator>
#include <type_traits>

// C++ member for each column type: Id/Int -> long, Flag/Count -> short, Amount ->
// double, Date -> WSIDate, Code/Text -> char[width + 1].
#define TVL_FIELD_Id(name, width) long name
#define TVL_FIELD_Int(name, width) long name
#define TVL_FIELD_Flag(name, width) short name
#define TVL_FIELD_Count(name, width) short name
#define TVL_FIELD_Amount(name, width) double name
#define TVL_FIELD_Date(name, width) WSIDate name
#define TVL_FIELD_Code(name, width) char name[(width) + 1]
#define TVL_FIELD_Text(name, width) char name[(width) + 1]

#define TVL_DATA_MEMBER(name, type, width, key) TVL_FIELD_##type(name, width);
#define TVL_DESC_ENTRY(name, type, width, key) TVL_COL(RowType, name, type, width, key),

// A cleared record is all zero bytes and records are copied with memcpy by the
// database service, so every record must stay a plain block of memory.
#define TVL_CHECK_PLAIN(Type)                                                                      \
    static_assert(std::is_trivially_copyable_v<Type> && std::is_standard_layout_v<Type>,           \
                  #Type " must be a plain record")

// Record class of a table: a WSITable whose buffer is the nested WSIData.
#define TVL_TABLE_RECORD(Class, COLUMNS)                                                           \
    class Class : public WSITable {                                                                \
    public:                                                                                        \
        struct WSIData {                                                                           \
            COLUMNS(TVL_DATA_MEMBER)                                                               \
        };                                                                                         \
        WSIData data{};                                                                            \
        TVL_RECORD_CLASS(Class)                                                                    \
        static const TableDesc& Table();                                                           \
    };                                                                                             \
    TVL_CHECK_PLAIN(Class::WSIData)

// Descriptor of a table record class; sqlName is the table name as written in SQL.
#define TVL_TABLE_DESC(Class, sqlName, COLUMNS)                                                    \
    const TableDesc& Class::Table() {                                                              \
        using RowType = Class::WSIData;                                                            \
        static const ColumnDesc columns[] = {COLUMNS(TVL_DESC_ENTRY)};                             \
        static const TableDesc desc{sqlName, columns, std::size(columns), sizeof(RowType)};        \
        return desc;                                                                               \
    }

// Result row of a view or of a query that is not a table.
#define TVL_ROW_RECORD(Class, COLUMNS)                                                             \
    struct Class {                                                                                 \
        COLUMNS(TVL_DATA_MEMBER)                                                                   \
        static const TableDesc& Table();                                                           \
    };                                                                                             \
    TVL_CHECK_PLAIN(Class)

#define TVL_ROW_DESC(Class, sqlName, COLUMNS)                                                      \
    const TableDesc& Class::Table() {                                                              \
        using RowType = Class;                                                                     \
        static const ColumnDesc columns[] = {COLUMNS(TVL_DESC_ENTRY)};                             \
        static const TableDesc desc{sqlName, columns, std::size(columns), sizeof(RowType)};        \
        return desc;                                                                               \
    }

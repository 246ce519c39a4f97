#pragma once

// Column descriptors: the one source of truth for each table's layout. The DDL, the
// column lists of GetTableColumns, the fetch binding and the insert/update/delete
// statements are all derived from a record class's TableDesc.

#include <cstddef>
#include <string>

// Calendar date of the framework. All zero means "no date" (NULL in the database).
struct WSIDate {
    short year = 0;
    short month = 0;
    short day = 0;
    bool IsNull() const { return year == 0 && month == 0 && day == 0; }
    friend bool operator==(const WSIDate&, const WSIDate&) = default;
};

enum class ColType : unsigned char {
    Id,     // long (32-bit key or reference)
    Int,    // long, not a key (user ids, counts kept in 32 bits)
    Flag,   // short, 0 or 1
    Count,  // short whole quantity
    Amount, // double
    Date,   // WSIDate
    Code,   // char[width + 1]; fixed-width key text, compared without trailing blanks
    Text,   // char[width + 1]; variable text
};

struct ColumnDesc {
    const char* name; // as written in SQL without quotes: "InvLoc"
    ColType type;
    unsigned short width; // Code/Text: characters, the buffer holds width + 1; else 0
    std::size_t offset;   // offsetof(WSIData, member)
    bool key;             // part of the primary key
};

struct TableDesc {
    const char* name;          // upper case: "PRDLOC"
    const ColumnDesc* columns; // in table order
    std::size_t count;
    std::size_t dataSize; // sizeof(WSIData)
};

// Builds one descriptor entry for a member of WSIData whose name is the column name.
#define TVL_COL(Data, member, type, width, key)                                                    \
    ColumnDesc {                                                                                   \
#member, ColType::type, width, offsetof(Data, member), key                                 \
    }

#pragma once

// Record classes of the suite's own tables that the inventory reads: audit entries,
// users, billable items, their links to products, and the suite options.

#include "ColumnWidths.h"
#include "RecordMacros.h"

// One row per audited insert. "Operation" is the kind passed to AddAuditEntry,
// "TableName" the table the entry was made for; both may be left empty.
#define TVL_AUDITHIS_COLUMNS(X)                                                                    \
    X(Audit, Id, 0, true)                                                                          \
    X(User, Int, 0, false)                                                                         \
    X(Date, Date, 0, false)                                                                        \
    X(Operation, Count, 0, false)                                                                  \
    X(TableName, Text, ColWidth::AuditTable, false)                                                \
    X(Note, Text, ColWidth::AuditNote, false)

// "Login" is the name a user signs in with; lists show "Name, First".
#define TVL_USERS_COLUMNS(X)                                                                       \
    X(User, Id, 0, true)                                                                           \
    X(Login, Text, ColWidth::Login, false)                                                         \
    X(Name, Text, ColWidth::PersonName, false)                                                     \
    X(First, Text, ColWidth::PersonName, false)                                                    \
    X(Middle, Text, ColWidth::PersonName, false)                                                   \
    X(Inactive, Flag, 0, false)

#define TVL_SUNDRY_COLUMNS(X)                                                                      \
    X(Sundry, Code, ColWidth::Sundry, true)                                                        \
    X(Description, Text, ColWidth::ProductDesc, false)                                             \
    X(BarCode, Text, ColWidth::BarCode, false)                                                     \
    X(Inactive, Flag, 0, false)

// The column order is fixed: rows are inserted with VALUES(product, sundry, 0).
#define TVL_INVPRODMAP_COLUMNS(X)                                                                  \
    X(Product, Id, 0, true)                                                                        \
    X(Sundry, Code, ColWidth::Sundry, true)                                                        \
    X(Inactive, Flag, 0, false)

// The suite options, one row. "MinProductLength" is the shortest product code the
// scan screens accept, which also bounds quantity entry. The practice's name, address and
// phone head every document the practice prints (a purchase order goes to a vendor).
#define TVL_TAVELOPT_COLUMNS(X)                                                                    \
    X(TavelOpt, Id, 0, true)                                                                       \
    X(MinProductLength, Count, 0, false)                                                           \
    X(PracticeName, Text, ColWidth::VendorName, false)                                             \
    X(Address1, Text, ColWidth::Address, false)                                                    \
    X(Address2, Text, ColWidth::Address, false)                                                    \
    X(City, Text, ColWidth::PlaceName, false)                                                      \
    X(Province, Text, ColWidth::PlaceName, false)                                                  \
    X(PostalCode, Text, ColWidth::PostalCode, false)                                               \
    X(Phone, Text, ColWidth::Phone, false)

// The host's sign-in: one password hash per user that may sign in (never the password).
#define TVL_LOGIN_COLUMNS(X)                                                                       \
    X(User, Id, 0, true)                                                                           \
    X(PasswordHash, Text, ColWidth::PasswordHash, false)

// Rights of a user; right 14 approves orders. A restricted right does not extend to the
// user's own orders.
#define TVL_USERRIGHT_COLUMNS(X)                                                                   \
    X(User, Id, 0, true)                                                                           \
    X(Right, Id, 0, true)                                                                          \
    X(Restricted, Flag, 0, false)

TVL_TABLE_RECORD(WSIAuditHis, TVL_AUDITHIS_COLUMNS);
TVL_TABLE_RECORD(WSILogin, TVL_LOGIN_COLUMNS);
TVL_TABLE_RECORD(WSIUserRight, TVL_USERRIGHT_COLUMNS);
TVL_TABLE_RECORD(WSIUsers, TVL_USERS_COLUMNS);
TVL_TABLE_RECORD(WSISundry, TVL_SUNDRY_COLUMNS);
TVL_TABLE_RECORD(WSIInvProdMap, TVL_INVPRODMAP_COLUMNS);
TVL_TABLE_RECORD(WSITavelOpt, TVL_TAVELOPT_COLUMNS);

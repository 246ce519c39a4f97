# Database service: connection, statement cache, transactions, records and cursors.
target_sources(framework PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecordSql.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StatementCache.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TableRegistry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WalCheckpointer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIDatabase.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSITable.cpp
)

# PostgreSQL, the shared server for several workstations (libpq).
pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)
target_sources(framework PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DbLocation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PgConnection.cpp
)
target_link_libraries(framework PUBLIC PkgConfig::LIBPQ)

# Database service: connection, statement cache, transactions, records and cursors.
target_sources(framework PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecordSql.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StatementCache.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TableRegistry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIDatabase.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSITable.cpp
)

# Database service tests: transactions, locks, statement cache, records and cursors.
target_sources(framework_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WSIDatabase_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSITable_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResultForms_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Literals_test.cpp
)

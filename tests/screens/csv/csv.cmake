# CSV export of the lists and search screens and the CSV import screen, offscreen on a
# seeded database.
add_executable(csv_screens_tests
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListExport_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListExport_test.h
    ${CMAKE_CURRENT_LIST_DIR}/CsvImport_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CsvImport_test.h
    ${CMAKE_CURRENT_LIST_DIR}/CsvTestFiles.h
)
target_include_directories(csv_screens_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(csv_screens_tests PRIVATE inventory_views inventory_catalogue Qt6::Test)
set_target_properties(csv_screens_tests PROPERTIES AUTOMOC ON)
add_test(NAME csv_screens_tests COMMAND csv_screens_tests)
set_tests_properties(csv_screens_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# The import screen on the demo data: csv_screenshots <docs>.
add_executable(csv_screenshots ${CMAKE_CURRENT_LIST_DIR}/CsvImportScreenshots.cpp)
target_include_directories(csv_screenshots PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(csv_screenshots PRIVATE inventory_views Qt6::Test)

# The CSV layer of import and export (the imports themselves run through invctl, see
# tests/tools/invctl_csv_test.sh).
target_sources(business_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CsvFile_test.cpp)

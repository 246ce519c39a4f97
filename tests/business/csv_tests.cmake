# The CSV layer of import and export, and imports on each engine (the command-line side
# runs through invctl, see tests/tools/invctl_csv_test.sh).
target_sources(business_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CsvFile_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BICsvImport_test.cpp)

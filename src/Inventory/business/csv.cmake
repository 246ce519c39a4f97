# CSV import and export of the catalogue and counts, over libcsv.
find_path(LIBCSV_INCLUDE_DIR csv.h REQUIRED)
find_library(LIBCSV_LIBRARY csv REQUIRED)
target_sources(inventory_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CsvFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BICsvImport.cpp
)
target_include_directories(inventory_core PRIVATE ${LIBCSV_INCLUDE_DIR})
target_link_libraries(inventory_core PRIVATE ${LIBCSV_LIBRARY})

# Import of catalogue lists and counts from CSV files, from the module's menu command.
target_sources(inventory_views PRIVATE ${CMAKE_CURRENT_LIST_DIR}/WSIInvCsvImportDialog.cpp)
target_include_directories(inventory_views PUBLIC ${CMAKE_CURRENT_LIST_DIR})

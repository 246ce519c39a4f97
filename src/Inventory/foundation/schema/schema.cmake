# The schema (tables from the record descriptors, views, sequences, indexes, version),
# the inventory codes and the demo data set.
target_sources(inventory_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DemoData.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Schema.cpp
)
target_include_directories(inventory_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})

# Record classes of every table, view and list query row.
target_sources(framework PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Records.cpp
)
target_include_directories(framework PUBLIC ${CMAKE_CURRENT_LIST_DIR})

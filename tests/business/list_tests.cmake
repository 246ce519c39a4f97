# The main screen's list statements on the business fixture's data (plain C++ queries).
target_sources(business_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ListQueries_test.cpp)
target_link_libraries(business_tests PRIVATE inventory_view_logic)

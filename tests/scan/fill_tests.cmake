# The fill screens (selection, order fill, substitution, discrepancy) on a seeded SQLite
# database, offscreen.
add_executable(fill_screen_tests
    ${CMAKE_CURRENT_LIST_DIR}/fill_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FillScreens_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FillScreens_test.h
)
target_include_directories(fill_screen_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../screens
    ${CMAKE_CURRENT_LIST_DIR}/../business ${CMAKE_SOURCE_DIR}/src/Inventory/screens/products)
target_link_libraries(fill_screen_tests PRIVATE inventory_views inventory_scan Qt6::Test)
set_target_properties(fill_screen_tests PROPERTIES AUTOMOC ON)
add_test(NAME fill_screen_tests COMMAND fill_screen_tests)
set_tests_properties(fill_screen_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# Screenshots of the fill screens on the demo data: fill_screenshots <docs>.
add_executable(fill_screenshots ${CMAKE_CURRENT_LIST_DIR}/FillScreenshots.cpp)
target_include_directories(fill_screenshots PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../screens)
target_link_libraries(fill_screenshots PRIVATE inventory_views inventory_scan Qt6::Test)

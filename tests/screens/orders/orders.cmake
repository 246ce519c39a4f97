# The order entry, vendor requests and order line detail screens, offscreen.
add_executable(order_screens_tests
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OrderScreens_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OrderScreens_test.h
)
target_include_directories(order_screens_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..
                           ${CMAKE_CURRENT_LIST_DIR}/../../business)
target_link_libraries(order_screens_tests PRIVATE inventory_views Qt6::Test)
set_target_properties(order_screens_tests PROPERTIES AUTOMOC ON)
add_test(NAME order_screens_tests COMMAND order_screens_tests)
set_tests_properties(order_screens_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# Screenshots of the order screens on the demo data: order_screenshots <docs folder>.
add_executable(order_screenshots ${CMAKE_CURRENT_LIST_DIR}/OrderScreenshots.cpp)
target_include_directories(order_screenshots PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(order_screenshots PRIVATE inventory_views)

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

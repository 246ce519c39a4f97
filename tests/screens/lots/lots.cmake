# The repackaging, split and product overview screens, offscreen; the overview is also
# rendered to PDF and read back.
add_executable(lot_screens_tests
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LotScreens_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LotScreens_test.h
)
target_include_directories(lot_screens_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..
    ${CMAKE_CURRENT_LIST_DIR}/../../scan ${CMAKE_CURRENT_LIST_DIR}/../../business)
target_link_libraries(lot_screens_tests PRIVATE inventory_views reportengine Qt6::Test)
set_target_properties(lot_screens_tests PROPERTIES AUTOMOC ON)
add_test(NAME lot_screens_tests COMMAND lot_screens_tests)
set_tests_properties(lot_screens_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# Screenshots of the three screens on the demo data: lot_screenshots <docs folder>.
add_executable(lot_screenshots ${CMAKE_CURRENT_LIST_DIR}/LotScreenshots.cpp)
target_include_directories(lot_screenshots PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(lot_screenshots PRIVATE inventory_views)

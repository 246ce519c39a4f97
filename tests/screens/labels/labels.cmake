# The label commands of the stock lists, offscreen, printing to PDF read back as text.
add_executable(label_screens_tests ${CMAKE_CURRENT_LIST_DIR}/LabelScreens_test.cpp)
target_include_directories(label_screens_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(label_screens_tests PRIVATE inventory_views inventory_labels Qt6::Test)
set_target_properties(label_screens_tests PROPERTIES AUTOMOC ON)
add_test(NAME label_screens_tests COMMAND label_screens_tests)
set_tests_properties(label_screens_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# Label sheets printed from the demo data, as images: label_screenshots <docs folder>.
add_executable(label_screenshots ${CMAKE_CURRENT_LIST_DIR}/LabelScreenshots.cpp)
target_include_directories(label_screenshots PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(label_screenshots PRIVATE inventory_views inventory_labels)

# The catalogue maintenance screens (code tables, setup, product report), driven with Qt
# Test offscreen; the product report is also rendered to PDF and read back.
add_executable(catalogue_screens_tests
    ${CMAKE_CURRENT_LIST_DIR}/CatalogueScreens_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CatalogueScreens_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CatalogueScreens_test.h
)
target_include_directories(catalogue_screens_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../business)
target_link_libraries(catalogue_screens_tests PRIVATE inventory_views inventory_catalogue
    reportengine Qt6::Test)
set_target_properties(catalogue_screens_tests PROPERTIES AUTOMOC ON)
add_test(NAME catalogue_screens_tests COMMAND catalogue_screens_tests)
set_tests_properties(catalogue_screens_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# Screenshots of the catalogue screens on the demo data: catalogue_screenshots <docs folder>.
add_executable(catalogue_screenshots ${CMAKE_CURRENT_LIST_DIR}/CatalogueScreenshots.cpp)
target_link_libraries(catalogue_screenshots PRIVATE inventory_views inventory_catalogue)

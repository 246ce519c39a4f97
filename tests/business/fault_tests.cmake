# Storage faults injected below SQLite (a file layer of the test's own, installed as the
# default): a program of its own, so that no other test runs over that layer.
add_executable(storage_fault_tests ${CMAKE_CURRENT_LIST_DIR}/StorageFaults_test.cpp)
target_include_directories(storage_fault_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}
    ${CMAKE_CURRENT_LIST_DIR}/../foundation
    ${CMAKE_CURRENT_LIST_DIR}/../schema
    ${CMAKE_CURRENT_LIST_DIR}/../framework)
target_link_libraries(storage_fault_tests PRIVATE inventory_core GTest::gtest_main)
gtest_discover_tests(storage_fault_tests DISCOVERY_TIMEOUT 120)

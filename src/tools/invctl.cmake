# invctl: schema creation, checks and SQL from the command line. A new command is a new
# invctl_*.cpp file plus one line in the command table of invctl.cpp.
add_executable(invctl
    ${CMAKE_CURRENT_LIST_DIR}/invctl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_schema.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_sql.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_host.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_adjust.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_stock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_moves.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_orders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_fill.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_receive.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_barcode.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_expiring.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invctl_csv.cpp
)
target_link_libraries(invctl PRIVATE inventory_core)

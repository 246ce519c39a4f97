# libInventory.so: the module the host loads with dlopen. It carries its own copy of the
# core and the dialog layer, so everything but the exported entry points stays hidden;
# otherwise the host's framework symbols and the module's would bind to each other.
add_library(Inventory SHARED
    ${CMAKE_CURRENT_LIST_DIR}/InvApp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InvCommands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIInventoryMDI.cpp
)
target_link_libraries(Inventory PRIVATE inventory_core inventory_products inventory_views
    inventory_catalogue uikit Qt6::Widgets)
set_target_properties(Inventory PROPERTIES
    AUTOMOC ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
# Symbols of the static libraries linked in are hidden as well.
target_link_options(Inventory PRIVATE LINKER:--exclude-libs,ALL LINKER:--no-undefined)

# Order entry, the vendor requests screen and the order line detail screens. They are
# part of the main screen's library, which opens them from its commands and lists.
target_sources(inventory_view_logic PRIVATE ${CMAKE_CURRENT_LIST_DIR}/OrderSuggestions.cpp)
target_include_directories(inventory_view_logic PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_sources(inventory_views PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/OrderScreens.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIInvOrderDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIInvOrderLineDetails.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIVendorRequestsDialog.cpp
)

# The expiry watch, opened from the main screen and from the module's menu command.
target_sources(inventory_views PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WSIInvExpiryWatchDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIInventoryDialogExpiry.cpp
)
target_include_directories(inventory_views PUBLIC ${CMAKE_CURRENT_LIST_DIR})

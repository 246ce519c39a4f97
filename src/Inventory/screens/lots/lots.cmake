# The screens around one received lot (repackaging, splitting) and the product overview.
# They are part of the main screen's library, whose levels and received lists open them.
target_sources(inventory_views PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WSIInvProductOverviewDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIInvRepackageProductDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIInvSplitDialog.cpp
)
target_include_directories(inventory_views PUBLIC ${CMAKE_CURRENT_LIST_DIR})

# Filling internal orders: fill selection, the order fill screen, substitution and the
# discrepancy transfer. Part of the scan screens' library, on the same scan base.
target_sources(inventory_scan PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WSIInvFillSelectDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIInvOrderFillDialog.cpp
)
target_include_directories(inventory_scan PUBLIC ${CMAKE_CURRENT_LIST_DIR})

# The business operations, one source per class.
target_sources(inventory_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BIInventory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StockCheck.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BIInvAdj.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BIInvTransfer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BIInvCount.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BIInvRepackage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BIInvSplit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BIInvOrder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BIInvRec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BIInvPick.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BICatalogue.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BILabels.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BIInvExpiry.cpp
)
include(${CMAKE_CURRENT_LIST_DIR}/csv.cmake)

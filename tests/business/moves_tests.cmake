# Transfers, counts, repackaging, splitting, and random movements against the invariant.
target_sources(business_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BIInvMoves_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StockRandom_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScanStatements_test.cpp
)

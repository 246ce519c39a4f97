# BIInventory: the selection, the stock queries and writers, the stock invariant; and the
# invctl stock and check commands run on a demo database.
target_sources(business_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BIInventorySelection_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BarCodeLookup_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StockWriters_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StockCheck_test.cpp
)
foreach(case check_demo check_broken stock_items stock_errors)
    add_test(NAME invctl.stock.${case}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/invctl_stock_test.sh $<TARGET_FILE:invctl>
                     ${case})
endforeach()

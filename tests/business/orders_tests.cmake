# BIInvOrder: orders, their lines and statuses, printing; and the invctl order commands.
target_sources(business_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BIInvOrder_test.cpp
)
foreach(case internal external refusals)
    add_test(NAME invctl.orders.${case}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/invctl_orders_test.sh $<TARGET_FILE:invctl>
                     ${case})
endforeach()

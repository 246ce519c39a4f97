# BIInvReceive: receipt batches, line matching, average cost, unordered products, back
# orders and the order search.
target_sources(business_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BIInvRec_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FullStore_test.cpp
)
foreach(case receive_po receive_no_po receipt_modify_delete unordered refusals)
    add_test(NAME invctl.receive.${case}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/invctl_receive_test.sh $<TARGET_FILE:invctl>
                     ${case})
endforeach()

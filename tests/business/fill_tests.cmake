# BIInvPickList and BIInvFill: pick lists, printing, fills with substitutes and the fill
# transaction; and the invctl picklist and fill commands run on a demo database.
target_sources(business_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BIInvPick_test.cpp
)
foreach(case picklist fill_substitute fill_refusals)
    add_test(NAME invctl.fill.${case}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/invctl_fill_test.sh $<TARGET_FILE:invctl>
                     ${case})
endforeach()
# A clinic's week end to end: orders, pick lists, fills, receipts and back orders.
add_test(NAME invctl.clinic_week
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/clinic_week_test.sh $<TARGET_FILE:invctl>)

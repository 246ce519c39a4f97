# BIInvAdj and BIInvBatchAdj: adjustments, usage, counts, batch top-ups; and the invctl
# adjust and use commands run on a demo database.
target_sources(business_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BIInvAdj_test.cpp
)
foreach(case adjust_oldest_first adjust_missing use_usage refusals)
    add_test(NAME invctl.adjust.${case}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/invctl_adjust_test.sh $<TARGET_FILE:invctl>
                     ${case})
endforeach()

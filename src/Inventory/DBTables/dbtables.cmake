# The table classes with their rules, one source per table.
target_sources(inventory_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/TableLookup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBProduct.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBPrdUnit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBPrdType.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBPrdCat.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBVendor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBInvLoc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBPrdLoc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBInvOType.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBInvAdj.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBInvOrder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBInvOrdIt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBInvRec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DBInvItem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DbInvItDet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TavelOptSource.cpp
)

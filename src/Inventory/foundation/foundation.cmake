target_sources(inventory_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BIException.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InventoryModule.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SuiteOptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ThrowDbError.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WSIInventoryApp.cpp
)

target_sources(inventory_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Placeholder.cpp
)

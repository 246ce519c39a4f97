# Bin and lot labels: bar codes from libzint painted on label sheets with Qt.
find_path(ZINT_INCLUDE_DIR zint.h REQUIRED)
find_library(ZINT_LIBRARY zint REQUIRED)
add_library(inventory_labels STATIC ${CMAKE_CURRENT_LIST_DIR}/LabelPrint.cpp)
target_include_directories(inventory_labels PUBLIC ${CMAKE_CURRENT_LIST_DIR}
    PRIVATE ${ZINT_INCLUDE_DIR})
target_link_libraries(inventory_labels PUBLIC inventory_core reportengine Qt6::Gui
    Qt6::PrintSupport PRIVATE ${ZINT_LIBRARY})
target_sources(inventory_views PRIVATE ${CMAKE_CURRENT_LIST_DIR}/StockViewLabels.cpp)

# sw-render-icon: the program icon's PNG sizes from its SVG, with Qt's own renderer.
add_executable(sw-render-icon ${CMAKE_CURRENT_LIST_DIR}/icons/main.cpp)
target_link_libraries(sw-render-icon PRIVATE Qt6::Gui Qt6::Svg sw_warnings)

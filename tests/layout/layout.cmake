# The folders' include graph: no include runs from a window-free folder into the window library or
# Qt Widgets, nor from any folder against the arrows of ARCHITECTURE.md.
get_target_property(SW_QT_WIDGETS_DIRS Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
list(FILTER SW_QT_WIDGETS_DIRS INCLUDE REGEX "/QtWidgets$")
add_test(NAME include_layers COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/include_layers.sh ${PROJECT_SOURCE_DIR}/src
                                    ${SW_QT_WIDGETS_DIRS})

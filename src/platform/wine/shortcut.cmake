# Shortcut (.lnk) files: a parser and writer on bytes and the ShortcutFile on top of them.
add_library(sw_shortcut STATIC
    ${CMAKE_CURRENT_LIST_DIR}/shell_link.h
    ${CMAKE_CURRENT_LIST_DIR}/shell_link_format.h
    ${CMAKE_CURRENT_LIST_DIR}/shell_link_idlist.cpp ${CMAKE_CURRENT_LIST_DIR}/shell_link_idlist.h
    ${CMAKE_CURRENT_LIST_DIR}/shell_link_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shell_link_text.cpp ${CMAKE_CURRENT_LIST_DIR}/shell_link_text.h
    ${CMAKE_CURRENT_LIST_DIR}/shell_link_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/lnk_shortcut_file.cpp ${CMAKE_CURRENT_LIST_DIR}/lnk_shortcut_file.h
)
target_include_directories(sw_shortcut PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sw_shortcut PUBLIC Qt6::Core PRIVATE sw_wine_registry sw_warnings)

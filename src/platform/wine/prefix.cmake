# The Wine prefix itself: which folder, its file system, special folders, environment and launching.
add_library(sw_wine_prefix STATIC
    ${CMAKE_CURRENT_LIST_DIR}/command_line_split.cpp ${CMAKE_CURRENT_LIST_DIR}/command_line_split.h
    ${CMAKE_CURRENT_LIST_DIR}/wine_desktop_services.cpp ${CMAKE_CURRENT_LIST_DIR}/wine_desktop_services.h
    ${CMAKE_CURRENT_LIST_DIR}/wine_environment.cpp ${CMAKE_CURRENT_LIST_DIR}/wine_environment.h
    ${CMAKE_CURRENT_LIST_DIR}/dos_attributes.cpp ${CMAKE_CURRENT_LIST_DIR}/dos_attributes.h
    ${CMAKE_CURRENT_LIST_DIR}/wine_file_system.cpp ${CMAKE_CURRENT_LIST_DIR}/wine_file_system.h
    ${CMAKE_CURRENT_LIST_DIR}/sharded_hash.h
    ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.cpp ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.h
    ${CMAKE_CURRENT_LIST_DIR}/prefix_writer_lock.cpp ${CMAKE_CURRENT_LIST_DIR}/prefix_writer_lock.h
    ${CMAKE_CURRENT_LIST_DIR}/wine_system_info.cpp ${CMAKE_CURRENT_LIST_DIR}/wine_system_info.h
)
target_include_directories(sw_wine_prefix PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sw_wine_prefix PUBLIC sw_platform Qt6::Core sw_wine_registry PRIVATE sw_warnings)

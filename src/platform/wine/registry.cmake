# The registry store on a Wine prefix's registry files (system.reg, user.reg).
add_library(sw_wine_registry STATIC
    ${CMAKE_CURRENT_LIST_DIR}/registry_text.cpp ${CMAKE_CURRENT_LIST_DIR}/registry_text.h
    ${CMAKE_CURRENT_LIST_DIR}/registry_text_internal.h
    ${CMAKE_CURRENT_LIST_DIR}/registry_sections.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_edits.cpp
    ${CMAKE_CURRENT_LIST_DIR}/durable_file.cpp ${CMAKE_CURRENT_LIST_DIR}/durable_file.h
    ${CMAKE_CURRENT_LIST_DIR}/folder_owner.cpp ${CMAKE_CURRENT_LIST_DIR}/folder_owner.h
    ${CMAKE_CURRENT_LIST_DIR}/registry_file_io.cpp ${CMAKE_CURRENT_LIST_DIR}/registry_file_io.h
    ${CMAKE_CURRENT_LIST_DIR}/registry_file_index.cpp ${CMAKE_CURRENT_LIST_DIR}/registry_file_index.h
    ${CMAKE_CURRENT_LIST_DIR}/registry_index_store.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_wine_store.cpp ${CMAKE_CURRENT_LIST_DIR}/registry_wine_store.h
    ${CMAKE_CURRENT_LIST_DIR}/wine_running.cpp ${CMAKE_CURRENT_LIST_DIR}/wine_running.h
)
target_include_directories(sw_wine_registry PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sw_wine_registry PUBLIC Qt6::Core PRIVATE sw_warnings)

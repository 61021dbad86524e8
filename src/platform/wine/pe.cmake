# Version texts of PE files, read from their resources (Qt Core only).
add_library(sw_pe STATIC
    ${CMAKE_CURRENT_LIST_DIR}/pe_bytes.h
    ${CMAKE_CURRENT_LIST_DIR}/pe_mapped_file.h
    ${CMAKE_CURRENT_LIST_DIR}/pe_resources.cpp ${CMAKE_CURRENT_LIST_DIR}/pe_resources.h
    ${CMAKE_CURRENT_LIST_DIR}/pe_version.cpp ${CMAKE_CURRENT_LIST_DIR}/pe_version.h
    ${CMAKE_CURRENT_LIST_DIR}/pe_file_information.cpp ${CMAKE_CURRENT_LIST_DIR}/pe_file_information.h
)
target_include_directories(sw_pe PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sw_pe PUBLIC Qt6::Core PRIVATE sw_warnings)

# Their icons, which need Qt Gui: only the windows link them.
add_library(sw_pe_icons STATIC
    ${CMAKE_CURRENT_LIST_DIR}/pe_icon.cpp ${CMAKE_CURRENT_LIST_DIR}/pe_icon.h
    ${CMAKE_CURRENT_LIST_DIR}/pe_file_icons.cpp ${CMAKE_CURRENT_LIST_DIR}/pe_file_icons.h
)
target_link_libraries(sw_pe_icons PUBLIC sw_pe Qt6::Gui PRIVATE sw_warnings)

# Version texts and icons of PE files, read from their resources.
add_library(sw_pe STATIC
    ${CMAKE_CURRENT_LIST_DIR}/pe_bytes.h
    ${CMAKE_CURRENT_LIST_DIR}/pe_resources.cpp ${CMAKE_CURRENT_LIST_DIR}/pe_resources.h
    ${CMAKE_CURRENT_LIST_DIR}/pe_version.cpp ${CMAKE_CURRENT_LIST_DIR}/pe_version.h
    ${CMAKE_CURRENT_LIST_DIR}/pe_icon.cpp ${CMAKE_CURRENT_LIST_DIR}/pe_icon.h
    ${CMAKE_CURRENT_LIST_DIR}/pe_file_information.cpp ${CMAKE_CURRENT_LIST_DIR}/pe_file_information.h
)
target_include_directories(sw_pe PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sw_pe PUBLIC Qt6::Core Qt6::Gui PRIVATE sw_warnings)
target_link_libraries(swcore PUBLIC sw_pe)

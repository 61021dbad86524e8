# PE resource reader: version texts and icons, checked against real files and external tools.
foreach(name pe_reader_test pe_built_test)
    sw_add_test(${name} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${name}.cpp ${CMAKE_CURRENT_LIST_DIR}/pe_test_files.h
                LIBS sw_pe_icons GUI)
endforeach()

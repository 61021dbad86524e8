# PE resource reader: version texts and icons, checked against real files and external tools.
sw_add_test(pe_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/pe_test.cpp LIBS sw_pe_icons GUI)

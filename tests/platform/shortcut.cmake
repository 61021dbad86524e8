sw_add_test(shortcut_reader_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shortcut_reader_test.cpp LIBS sw_shortcut)
sw_add_test(shortcut_writer_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shortcut_writer_test.cpp LIBS sw_shortcut)

sw_add_test(language_files_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/language_files_test.cpp LIBS swcore)

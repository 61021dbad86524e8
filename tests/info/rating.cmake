# Command lines taken apart and rated as the window does, on a real prefix's files.
sw_add_test(rating_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/rating_test.cpp LIBS swcore)

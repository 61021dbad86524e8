sw_add_test(language_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/language_test.cpp LIBS swcore)

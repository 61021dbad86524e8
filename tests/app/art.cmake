sw_add_test(art_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/art_test.cpp LIBS swgui GUI)

sw_add_test(path_resolution_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/path_resolution_test.cpp LIBS sw_platform)

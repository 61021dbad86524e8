sw_add_test(path_resolution_test SOURCES info/path_resolution_test.cpp LIBS swcore)

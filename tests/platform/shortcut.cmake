# The .lnk reader and writer; the check against Wine's own link reader is in prefix_wine_test.
sw_add_test(shortcut_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shortcut_test.cpp LIBS sw_shortcut)

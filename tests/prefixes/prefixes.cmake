# Finding prefixes in a fake home of every launcher's real files, hostile files among them; the Valve
# text reader's bounds; the added folders in a settings file.
sw_add_test(prefix_finder_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/prefix_finder_test.cpp LIBS sw_prefixes sw_vdf)

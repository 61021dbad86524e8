sw_add_test(splitter_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/splitter_test.cpp LIBS swgui GUI
            LABELS controls)

sw_add_test(splitter_layout_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/splitter_layout_test.cpp
            LIBS sw_splitter_core LABELS controls)
sw_add_test(splitter_panel_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/splitter_panel_test.cpp
            LIBS sw_splitter_widget GUI LABELS controls)

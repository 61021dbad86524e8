sw_add_test(xp_frame_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/xp_frame_test.cpp LIBS swgui GUI LABELS controls)

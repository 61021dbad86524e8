sw_add_test(main_window_listing_test SOURCES app/main_window_listing_test.cpp LIBS swgui GUI)

sw_add_test(language_texts_test SOURCES app/language_texts_test.cpp LIBS swcore)
sw_add_test(main_window_test SOURCES app/main_window_test.cpp LIBS swgui GUI)

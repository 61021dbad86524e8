sw_add_test(language_texts_test SOURCES app/language_texts_test.cpp LIBS swcore)

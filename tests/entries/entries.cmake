sw_add_test(places_test SOURCES entries/places_test.cpp LIBS swcore)
sw_add_test(check_list_test SOURCES entries/check_list_test.cpp LIBS swcore)
sw_add_test(entry_actions_test SOURCES entries/entry_actions_test.cpp LIBS swcore)
sw_add_test(add_edit_dialog_test SOURCES entries/add_edit_dialog_test.cpp LIBS swgui GUI)

sw_add_test(entry_actions_test SOURCES entries/entry_actions_test.cpp LIBS swcore)
sw_add_test(add_edit_dialog_test SOURCES entries/add_edit_dialog_test.cpp LIBS swgui GUI)

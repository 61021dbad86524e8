# The main window, with its long listings.
sw_add_test(main_window_test SOURCES gui/main_window_test.cpp LIBS swgui GUI)
# The language files, the drawings and the help pages.
sw_add_test(resources_test SOURCES gui/resources_test.cpp LIBS swgui GUI)
add_dependencies(resources_test sw_data)
# The add/edit and move dialogs on throwaway prefixes.
sw_add_test(add_edit_dialog_test SOURCES gui/add_edit_dialog_test.cpp LIBS swgui GUI)
# The framed panel, judged by its pixels.
sw_add_test(xp_frame_test SOURCES gui/xp_frame_test.cpp LIBS swgui GUI LABELS controls)
# The demo prefix: generated from data/demo and listed as the program lists it.
sw_add_test(demo_prefix_test SOURCES gui/demo_prefix_test.cpp LIBS sw_demo_maker swcore GUI)
# The prefix chooser on a home of its own.
sw_add_test(prefix_chooser_test SOURCES gui/prefix_chooser_test.cpp LIBS swgui GUI)
# Every window and dialog read as a screen reader reads it, in both languages.
sw_add_test(accessibility_test SOURCES gui/accessibility_test.cpp LIBS swgui GUI)
add_dependencies(accessibility_test sw_data)
# The main window by keyboard, at small and scaled sizes, in German and with Wine started meanwhile.
sw_add_test(window_access_test SOURCES gui/window_access_test.cpp LIBS swgui GUI)
add_dependencies(window_access_test sw_data)

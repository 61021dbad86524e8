sw_add_test(main_window_test SOURCES app/main_window_test.cpp LIBS swgui GUI)
# The drawings and the help pages F1 opens.
sw_add_test(resources_test SOURCES app/resources_test.cpp LIBS swgui GUI)
if(TARGET resources_test)
    add_dependencies(resources_test sw_data)
endif()

# The command-line front end, run as a program.
sw_add_test(cli_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_test.cpp)
if(TARGET cli_test)
    add_dependencies(cli_test startwarden-cli)
endif()

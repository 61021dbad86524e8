# The command-line front end, run as a program.
sw_add_test(cli_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_test.cpp)
if(TARGET cli_test)
    add_dependencies(cli_test startwarden-cli)
endif()
# The write commands (disable, enable, delete, add, edit) on throwaway prefixes, from a copy of the program.
sw_add_test(entry_commands_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/entry_commands_test.cpp)
if(TARGET entry_commands_test)
    add_dependencies(entry_commands_test startwarden-cli)
endif()
# SIGKILL at spread-out moments of the write commands and restore on a copy of a prefix Wine wrote.
sw_add_test(entry_commands_kill_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/entry_commands_kill_test.cpp LIBS swcore)
if(TARGET entry_commands_kill_test)
    add_dependencies(entry_commands_kill_test startwarden-cli)
endif()
# On a prefix wineboot made: the listing of what Wine wrote, and the write commands read back by Wine 8
# itself; skipped when Wine is not installed.
sw_add_test(cli_wine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_wine_test.cpp LIBS swcore LABELS wine)
if(TARGET cli_wine_test)
    add_dependencies(cli_wine_test startwarden-cli)
endif()

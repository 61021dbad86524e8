# The command-line front end, run as a program: its listings and its write commands.
sw_add_test(cli_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_test.cpp)
# SIGKILL at spread-out moments of the write commands and restore on a copy of a prefix Wine wrote.
sw_add_test(entry_commands_kill_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/entry_commands_kill_test.cpp LIBS swcore)
# On a prefix wineboot made: the listing of what Wine wrote, and the write commands read back by Wine 8
# itself; skipped when Wine is not installed.
sw_add_test(cli_wine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_wine_test.cpp LIBS swcore LABELS wine)
# Two processes writing one prefix at once, and a writer that finds the prefix held.
sw_add_test(cli_writers_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_writers_test.cpp LIBS swcore)
# Hostile names and files: names that climb out of their folder, FIFOs, control characters, unreadable
# folders, an empty --prefix.
sw_add_test(cli_hostile_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_hostile_test.cpp LIBS swcore)
# prefixes, --prefix NAME and --all-prefixes on a fake home of every launcher's files.
sw_add_test(cli_prefixes_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_prefixes_test.cpp LIBS sw_prefixes)
foreach(test cli_test entry_commands_kill_test cli_wine_test cli_writers_test cli_hostile_test cli_prefixes_test)
    add_dependencies(${test} startwarden-cli)
endforeach()
add_dependencies(cli_test sw_database_files) # info rates against the shipped database

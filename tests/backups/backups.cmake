# The backups window: listing, restore and purge on real prefixes, the window, the command line.
sw_add_test(backups_test SOURCES backups/backups_test.cpp LIBS swcore)
sw_add_test(backup_window_test SOURCES backups/backup_window_test.cpp LIBS swgui GUI)
sw_add_test(backup_cli_test SOURCES backups/backup_cli_test.cpp LIBS swcore)
if(TARGET backup_cli_test)
    add_dependencies(backup_cli_test startwarden-cli)
endif()

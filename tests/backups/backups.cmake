# Backups: listing, restore and purge on real prefixes, and the window. The command line's backups
# commands are tested with its other write commands (tests/cli).
sw_add_test(backups_test SOURCES backups/backups_test.cpp LIBS swgui GUI)

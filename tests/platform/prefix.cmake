# The Wine prefix: folder choice, file system, environment, special folders, launching.
sw_add_test(prefix_files_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/prefix_files_test.cpp LIBS sw_wine_prefix)
sw_add_test(prefix_system_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/prefix_system_test.cpp LIBS swcore)
sw_add_test(prefix_launch_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/prefix_launch_test.cpp LIBS sw_wine_prefix)
# The prefix services, the registry store and the links we write, checked against Wine itself on one
# prefix that wineboot makes; skipped when Wine is not installed.
sw_add_test(prefix_wine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/prefix_wine_test.cpp LIBS swcore LABELS wine)

sw_add_test(prefix_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/prefix_test.cpp LIBS swcore)
# The prefix services, the registry store and the links we write, checked against Wine itself on one
# prefix that wineboot makes; skipped when Wine is not installed.
sw_add_test(prefix_wine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/prefix_wine_test.cpp LIBS swcore LABELS wine)

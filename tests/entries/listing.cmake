# The entry listings over the files of throwaway prefixes.
sw_add_test(listing_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/listing_test.cpp LIBS swcore)
# The same against a prefix that Wine itself made; skipped when Wine is not installed.
sw_add_test(wine_listing_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/wine_listing_test.cpp LIBS swcore LABELS wine)
if(TARGET wine_listing_test)
    add_dependencies(wine_listing_test startwarden-cli)
endif()

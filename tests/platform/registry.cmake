# Tests of the Wine registry store (src/platform/wine/registry_*); the round trips with Wine itself
# are in prefix_wine_test.
sw_add_test(registry_text_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_text_test.cpp LIBS sw_wine_registry)
sw_add_test(registry_store_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_store_test.cpp LIBS sw_wine_registry)
sw_add_test(registry_index_store_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_index_store_test.cpp LIBS sw_wine_registry)

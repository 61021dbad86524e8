# Tests of the Wine registry store (src/platform/wine/registry_*).
sw_add_test(registry_text_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_text_test.cpp LIBS sw_wine_registry)
sw_add_test(registry_store_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_store_test.cpp LIBS sw_wine_registry)
# Round trips with Wine 8 itself; skipped when Wine is not installed.
sw_add_test(registry_wine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_wine_test.cpp LIBS sw_wine_registry
            LABELS wine)

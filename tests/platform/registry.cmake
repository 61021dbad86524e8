# The Wine registry format and store; the round trips with Wine itself are in prefix_wine_test.
sw_add_test(registry_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_test.cpp LIBS sw_wine_registry)
sw_add_test(registry_index_store_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_index_store_test.cpp
            LIBS sw_wine_registry)

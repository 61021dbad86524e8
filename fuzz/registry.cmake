# libFuzzer target for the Wine registry reader and writer (in memory; no files).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "registry_fuzzer needs clang; skipped")
    return()
endif()
sw_fuzz_instrument(sw_wine_registry)
sw_add_fuzzer(registry_fuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_fuzzer.cpp
              LIBS sw_wine_registry Qt6::Core)

# libFuzzer target for the .lnk reader; the reader itself is instrumented too.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "shortcut_fuzzer needs clang; skipped")
    return()
endif()
sw_fuzz_instrument(sw_shortcut)
sw_add_fuzzer(shortcut_fuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/shortcut_fuzzer.cpp LIBS sw_shortcut)

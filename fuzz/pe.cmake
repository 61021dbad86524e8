# libFuzzer target for the PE resource reader; the reader itself is instrumented too.
sw_fuzz_instrument(sw_pe sw_pe_icons)
sw_add_fuzzer(pe_fuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/pe_fuzzer.cpp LIBS sw_pe_icons)

# libFuzzer target for the Valve text reader (Steam's library list and app manifests).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "vdf_fuzzer needs clang; skipped")
    return()
endif()
sw_fuzz_instrument(sw_vdf)
sw_add_fuzzer(vdf_fuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/vdf_fuzzer.cpp LIBS sw_vdf Qt6::Core)

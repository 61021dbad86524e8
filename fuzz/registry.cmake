# libFuzzer target for the Wine registry reader and writer (in memory; no files).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "registry_fuzzer needs clang; skipped")
    return()
endif()
set(SW_REGISTRY_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined)
target_compile_options(sw_wine_registry PRIVATE ${SW_REGISTRY_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)

add_executable(registry_fuzzer ${CMAKE_CURRENT_LIST_DIR}/registry_fuzzer.cpp)
target_link_libraries(registry_fuzzer PRIVATE sw_wine_registry Qt6::Core sw_warnings)
target_compile_options(registry_fuzzer PRIVATE ${SW_REGISTRY_FUZZ_FLAGS} -fsanitize=fuzzer)
target_link_options(registry_fuzzer PRIVATE ${SW_REGISTRY_FUZZ_FLAGS} -fsanitize=fuzzer)

# libFuzzer target for the .lnk reader; the reader itself is instrumented too.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "shortcut_fuzzer needs clang; skipped")
    return()
endif()
set(SW_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined)
target_compile_options(sw_shortcut PRIVATE ${SW_FUZZ_SANITIZERS} -fsanitize=fuzzer-no-link)

add_executable(shortcut_fuzzer ${CMAKE_CURRENT_LIST_DIR}/shortcut_fuzzer.cpp)
target_link_libraries(shortcut_fuzzer PRIVATE sw_shortcut sw_warnings)
target_compile_options(shortcut_fuzzer PRIVATE ${SW_FUZZ_SANITIZERS} -fsanitize=fuzzer)
target_link_options(shortcut_fuzzer PRIVATE ${SW_FUZZ_SANITIZERS} -fsanitize=fuzzer)

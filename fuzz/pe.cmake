# libFuzzer target for the PE resource reader; the reader itself is instrumented too.
set(SW_PE_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined)
target_compile_options(sw_pe PRIVATE ${SW_PE_FUZZ_SANITIZERS} -fsanitize=fuzzer-no-link)

add_executable(pe_fuzzer ${CMAKE_CURRENT_LIST_DIR}/pe_fuzzer.cpp)
target_link_libraries(pe_fuzzer PRIVATE sw_pe Qt6::Gui sw_warnings)
target_compile_options(pe_fuzzer PRIVATE ${SW_PE_FUZZ_SANITIZERS} -fsanitize=fuzzer)
target_link_options(pe_fuzzer PRIVATE ${SW_PE_FUZZ_SANITIZERS} -fsanitize=fuzzer)

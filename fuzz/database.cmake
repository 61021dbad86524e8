# libFuzzer targets for the description database: the two file readers and the pattern matcher.
# They get their own instrumented copy of the library, so sw-dbcompile and the core that link
# sw_database stay uninstrumented.
set(SW_DB_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined)
get_target_property(SW_DB_FUZZ_SOURCES sw_database SOURCES)
add_library(sw_database_fuzz STATIC ${SW_DB_FUZZ_SOURCES})
target_include_directories(sw_database_fuzz PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sw_database_fuzz PUBLIC Qt6::Core PRIVATE sw_warnings)
target_compile_options(sw_database_fuzz PRIVATE ${SW_DB_FUZZ_SANITIZERS} -fsanitize=fuzzer-no-link)

foreach(fuzzer IN ITEMS database_fuzzer pattern_fuzzer)
    add_executable(${fuzzer} ${CMAKE_CURRENT_LIST_DIR}/${fuzzer}.cpp)
    target_link_libraries(${fuzzer} PRIVATE sw_database_fuzz sw_warnings)
    target_compile_options(${fuzzer} PRIVATE ${SW_DB_FUZZ_SANITIZERS} -fsanitize=fuzzer)
    target_link_options(${fuzzer} PRIVATE ${SW_DB_FUZZ_SANITIZERS} -fsanitize=fuzzer)
endforeach()

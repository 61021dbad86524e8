# libFuzzer targets for the description database: the two file readers and the pattern matcher.
# They get their own instrumented copy of the library, so sw-dbcompile and the core that link
# sw_database stay uninstrumented.
get_target_property(SW_DB_FUZZ_SOURCES sw_database SOURCES)
add_library(sw_database_fuzz STATIC ${SW_DB_FUZZ_SOURCES})
target_include_directories(sw_database_fuzz PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sw_database_fuzz PUBLIC sw_platform Qt6::Core PRIVATE sw_warnings)
sw_fuzz_instrument(sw_database_fuzz)

foreach(fuzzer IN ITEMS database_fuzzer pattern_fuzzer)
    sw_add_fuzzer(${fuzzer} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${fuzzer}.cpp LIBS sw_database_fuzz)
endforeach()

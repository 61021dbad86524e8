# libFuzzer target for the report receiver's query parser, on its own instrumented copy.
get_target_property(SW_REPORT_QUERY_FUZZ_SOURCES sw_report_query SOURCES)
add_library(sw_report_query_fuzz STATIC ${SW_REPORT_QUERY_FUZZ_SOURCES})
target_include_directories(sw_report_query_fuzz PUBLIC ${PROJECT_SOURCE_DIR}/tools/reports)
target_link_libraries(sw_report_query_fuzz PUBLIC Qt6::Core PRIVATE sw_warnings)
sw_fuzz_instrument(sw_report_query_fuzz)

sw_add_fuzzer(report_query_fuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_query_fuzzer.cpp
              LIBS sw_report_query_fuzz)

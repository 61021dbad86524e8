# startwarden-reports: the receiving end of the program's reports, for a maintainer to run.
find_package(Qt6 REQUIRED COMPONENTS Network Sql)

set(SW_REPORTS_DIR ${CMAKE_CURRENT_LIST_DIR}/reports)
# The query and request-head parsers stand alone so the fuzzer can take them without the server.
add_library(sw_report_query STATIC ${SW_REPORTS_DIR}/report_query.cpp ${SW_REPORTS_DIR}/report_query.h
    ${SW_REPORTS_DIR}/request_head.cpp ${SW_REPORTS_DIR}/request_head.h)
target_include_directories(sw_report_query PUBLIC ${SW_REPORTS_DIR})
target_link_libraries(sw_report_query PUBLIC Qt6::Core PRIVATE sw_warnings)

add_library(sw_reports STATIC
    ${SW_REPORTS_DIR}/draft_records.cpp ${SW_REPORTS_DIR}/draft_records.h
    ${SW_REPORTS_DIR}/report_server.cpp ${SW_REPORTS_DIR}/report_server.h
    ${SW_REPORTS_DIR}/report_store.cpp ${SW_REPORTS_DIR}/report_store.h
)
# The path the program sends to comes from the program's own header (constants only, nothing linked).
target_include_directories(sw_reports PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sw_reports PUBLIC sw_report_query Qt6::Network Qt6::Sql PRIVATE sw_warnings)

add_executable(startwarden-reports ${SW_REPORTS_DIR}/main.cpp)
target_link_libraries(startwarden-reports PRIVATE sw_reports sw_warnings)
target_compile_definitions(startwarden-reports PRIVATE SW_VERSION="${PROJECT_VERSION}")

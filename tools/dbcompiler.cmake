# sw-dbcompile: compiles data/database/*.db into the binary database files at build time.
set(SW_DBCOMPILER_DIR ${CMAKE_CURRENT_LIST_DIR}/dbcompiler)
add_library(sw_dbcompiler STATIC
    ${SW_DBCOMPILER_DIR}/db_source.cpp ${SW_DBCOMPILER_DIR}/db_source.h
    ${SW_DBCOMPILER_DIR}/db_writer.cpp ${SW_DBCOMPILER_DIR}/db_writer.h
    ${SW_DBCOMPILER_DIR}/db_checks.cpp ${SW_DBCOMPILER_DIR}/db_checks.h
    ${SW_DBCOMPILER_DIR}/db_examples.cpp ${SW_DBCOMPILER_DIR}/db_examples.h
    ${SW_DBCOMPILER_DIR}/db_stats.cpp ${SW_DBCOMPILER_DIR}/db_stats.h
    ${SW_DBCOMPILER_DIR}/pattern_cover.cpp ${SW_DBCOMPILER_DIR}/pattern_cover.h
)
target_include_directories(sw_dbcompiler PUBLIC ${SW_DBCOMPILER_DIR})
target_link_libraries(sw_dbcompiler PUBLIC sw_database Qt6::Core PRIVATE sw_warnings)

add_executable(sw-dbcompile ${SW_DBCOMPILER_DIR}/main.cpp)
target_link_libraries(sw-dbcompile PRIVATE sw_dbcompiler sw_warnings)

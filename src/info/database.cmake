# The description database: file loaders, pattern matching, the record index and lookup. Qt Core only,
# so the database compiler and the fuzzers can use it without the rest of the core.
add_library(sw_database STATIC
    ${CMAKE_CURRENT_LIST_DIR}/description_database.cpp ${CMAKE_CURRENT_LIST_DIR}/description_database.h
    ${CMAKE_CURRENT_LIST_DIR}/entry_rating.cpp ${CMAKE_CURRENT_LIST_DIR}/entry_rating.h
    ${CMAKE_CURRENT_LIST_DIR}/pattern_match.cpp ${CMAKE_CURRENT_LIST_DIR}/pattern_match.h
    ${CMAKE_CURRENT_LIST_DIR}/record_index.cpp ${CMAKE_CURRENT_LIST_DIR}/record_index.h
    ${CMAKE_CURRENT_LIST_DIR}/written_program_lookup.cpp ${CMAKE_CURRENT_LIST_DIR}/written_program_lookup.h
)
target_include_directories(sw_database PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(sw_database PUBLIC sw_platform Qt6::Core PRIVATE sw_warnings)

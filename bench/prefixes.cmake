# Benchmark of finding 100 Steam prefixes (copies of one wineboot made, else of the demo prefix) and of
# `startwarden-cli prefixes` with their counts against listing each of them (a plain executable, not a
# test: wineboot alone takes a minute).
add_executable(prefixes_bench ${CMAKE_CURRENT_LIST_DIR}/prefixes_bench.cpp)
target_link_libraries(prefixes_bench PRIVATE swcore Qt6::Core sw_warnings)
target_compile_definitions(prefixes_bench PRIVATE SW_DEMO_PREFIX="${CMAKE_BINARY_DIR}/demo-prefix"
                                                  SW_CLI_PATH="$<TARGET_FILE:startwarden-cli>")
add_dependencies(prefixes_bench startwarden-cli)

# Benchmark of listing a large prefix with startwarden-cli against cat and wine reg query
# (a plain executable, not a test; scripts/bench-listing.sh builds and runs it).
add_executable(listing_bench ${CMAKE_CURRENT_LIST_DIR}/listing_bench.cpp)
target_link_libraries(listing_bench PRIVATE sw_shortcut sw_wine_prefix Qt6::Core sw_warnings)
target_compile_definitions(listing_bench PRIVATE SW_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                                 SW_CLI_PATH="$<TARGET_FILE:startwarden-cli>")
add_dependencies(listing_bench startwarden-cli)

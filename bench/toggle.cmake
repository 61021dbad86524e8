# Benchmark of one entry toggle on a prefix with large registry files (a plain executable, not a test).
add_executable(toggle_bench ${CMAKE_CURRENT_LIST_DIR}/toggle_bench.cpp)
target_link_libraries(toggle_bench PRIVATE swcore Qt6::Core sw_warnings)

# Benchmark of the Wine registry store on a 20 MB system.reg (a plain executable, not a test).
add_executable(registry_bench ${CMAKE_CURRENT_LIST_DIR}/registry_bench.cpp)
target_link_libraries(registry_bench PRIVATE sw_wine_registry Qt6::Core sw_warnings)

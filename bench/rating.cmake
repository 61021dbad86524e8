# Rating benchmark: a 1,000-row listing against a full 32,767-record database. Not a test; run
# build/bench/rating_bench (or the target's path in your build folder) by hand.
add_executable(rating_bench ${CMAKE_CURRENT_LIST_DIR}/rating_bench.cpp)
target_link_libraries(rating_bench PRIVATE sw_database sw_test_support sw_warnings)

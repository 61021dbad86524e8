# Window benchmark: start to first painted listing, and how long input waits while icons come in
# (a plain executable: window_bench PROGRAM_FOLDER PREFIX).
add_executable(window_bench ${CMAKE_CURRENT_LIST_DIR}/window_bench.cpp)
target_link_libraries(window_bench PRIVATE swgui sw_warnings)

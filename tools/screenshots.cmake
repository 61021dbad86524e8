# Screenshots of the main window for checking the layout by eye (scripts/screenshots.sh).
add_executable(sw-screenshots ${CMAKE_CURRENT_LIST_DIR}/screenshots/main.cpp)
target_link_libraries(sw-screenshots PRIVATE swgui sw_warnings)

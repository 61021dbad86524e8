# sw-make-demo: builds the demo prefix (build/demo-prefix) from data/demo with the program's own
# writers; scripts/run.sh starts on it when there is no Wine prefix.
set(SW_DEMO_TOOL_DIR ${CMAKE_CURRENT_LIST_DIR}/demo)
set(SW_DEMO_SOURCE_DIR ${PROJECT_SOURCE_DIR}/data/demo)
set(SW_DEMO_PREFIX ${CMAKE_BINARY_DIR}/demo-prefix)

add_library(sw_demo_maker STATIC ${SW_DEMO_TOOL_DIR}/demo_prefix.cpp ${SW_DEMO_TOOL_DIR}/demo_prefix.h)
target_include_directories(sw_demo_maker PUBLIC ${SW_DEMO_TOOL_DIR})
target_link_libraries(sw_demo_maker PUBLIC sw_wine_registry sw_shortcut sw_wine_prefix Qt6::Core
                                    PRIVATE sw_warnings)

add_executable(sw-make-demo ${SW_DEMO_TOOL_DIR}/main.cpp)
target_link_libraries(sw-make-demo PRIVATE sw_demo_maker sw_warnings)

# The programs come from the test fixtures (programs.txt names them).
file(GLOB_RECURSE SW_DEMO_SOURCES CONFIGURE_DEPENDS ${SW_DEMO_SOURCE_DIR}/*)
file(GLOB SW_DEMO_PROGRAMS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fixtures/app_*.exe
                                             ${PROJECT_SOURCE_DIR}/tests/fixtures/multi_*.dll)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/demo-prefix.stamp
    COMMAND sw-make-demo ${SW_DEMO_SOURCE_DIR} ${SW_DEMO_PREFIX}
    COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/demo-prefix.stamp
    DEPENDS sw-make-demo ${SW_DEMO_SOURCES} ${SW_DEMO_PROGRAMS}
    COMMENT "Writing the demo prefix"
    VERBATIM)
add_custom_target(sw_demo_prefix ALL DEPENDS ${CMAKE_BINARY_DIR}/demo-prefix.stamp)

# The system install, its desktop files and the documentation against the programs.
set(SW_DIST_TESTS ${CMAKE_CURRENT_LIST_DIR})

sw_add_test(help_consistency_test SOURCES ${SW_DIST_TESTS}/help_consistency_test.cpp LIBS swgui GUI)
if(TARGET help_consistency_test)
    add_dependencies(help_consistency_test startwarden startwarden-cli sw_data sw_desktop_files)
    if(TARGET startwarden-reports)
        add_dependencies(help_consistency_test startwarden-reports)
        target_compile_definitions(help_consistency_test PRIVATE
                                   SW_REPORTS_PROGRAM="$<TARGET_FILE:startwarden-reports>")
    endif()
endif()

add_test(NAME desktop_entry_valid COMMAND desktop-file-validate ${PROJECT_SOURCE_DIR}/data/desktop/com.tidyra.StartWarden.desktop)
add_test(NAME appstream_metainfo_valid COMMAND appstreamcli validate --no-net --strict ${PROJECT_SOURCE_DIR}/data/desktop/com.tidyra.StartWarden.metainfo.xml)
# The sources hold every feature's blocks (as roff comments), so all of them are checked.
file(GLOB SW_MANUAL_SOURCES ${PROJECT_SOURCE_DIR}/data/man/*.1)
add_test(NAME manual_pages_clean
         COMMAND ${CMAKE_COMMAND} "-DPAGES=${SW_MANUAL_SOURCES}" -P ${SW_DIST_TESTS}/scripts/check_manual_pages.cmake)
add_test(NAME appstream_release_is_project_version
         COMMAND ${CMAKE_COMMAND} -DMETAINFO=${PROJECT_SOURCE_DIR}/data/desktop/com.tidyra.StartWarden.metainfo.xml
                 -DVERSION=${PROJECT_VERSION} -P ${SW_DIST_TESTS}/scripts/check_release.cmake)
if(SW_INSTALL_LAYOUT STREQUAL "system")
    add_test(NAME install_runs_from_bin
             COMMAND ${SW_DIST_TESTS}/install_test.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
    set_tests_properties(install_runs_from_bin PROPERTIES TIMEOUT 300)
    add_test(NAME debian_package_clean COMMAND ${SW_DIST_TESTS}/package_test.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(debian_package_clean PROPERTIES TIMEOUT 600 LABELS package)
endif()

# cmake -DPAGES="a.1;b.1" -P check_manual_pages.cmake: fails when man's formatter warns about a page.
foreach(page IN LISTS PAGES)
    if(page STREQUAL "")
        continue()
    endif()
    execute_process(COMMAND man --warnings -E UTF-8 -l ${page}
                    OUTPUT_QUIET ERROR_VARIABLE warnings RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
        message(FATAL_ERROR "${page}: ${warnings}")
    endif()
    message(STATUS "${page}: no warnings")
endforeach()

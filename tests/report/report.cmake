# Reporting: the receiver as a maintainer runs it and the command line, and the dialog from the main window.
sw_add_test(report_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_test.cpp
            LIBS swcore sw_report_send sw_reports sw_dbcompiler LABELS report)
sw_add_test(report_dialog_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_dialog_test.cpp
            LIBS swgui sw_reports GUI LABELS report)
foreach(test IN ITEMS report_test report_dialog_test)
    add_dependencies(${test} startwarden-reports)
endforeach()
add_dependencies(report_test startwarden-cli)

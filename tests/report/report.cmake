# Reporting: the receiver as a maintainer runs it, the dialog from the main window, the command line.
sw_add_test(report_receiver_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_receiver_test.cpp
            LIBS swcore sw_report_send sw_reports sw_dbcompiler LABELS report)
sw_add_test(report_dialog_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_dialog_test.cpp
            LIBS swgui sw_reports GUI LABELS report)
sw_add_test(report_cli_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_cli_test.cpp LABELS report)
foreach(test IN ITEMS report_receiver_test report_dialog_test report_cli_test)
    add_dependencies(${test} startwarden-reports)
endforeach()
add_dependencies(report_cli_test startwarden-cli)

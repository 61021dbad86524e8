# Help and manual pages hold blocks for features that are built apart from the rest; a built page
# keeps a feature's blocks only when the feature is listed here. Add its name once it is part of
# the program: "edit" (add/edit and move dialogs; add, edit), "backups" (backups window; backups,
# restore, purge), "report" (report dialog; report). The documentation test holds the pages to
# what the program shows, so a listed feature that is missing fails it, and so does one left out.
if(NOT DEFINED SW_DOC_FEATURES)
    set(SW_DOC_FEATURES backups edit report)
endif()
set(SW_STRIP_FEATURES ${CMAKE_CURRENT_LIST_DIR}/strip_features.cmake)

# sw_doc_page(<source> <output>): a custom command that writes the page with the listed features'
# blocks and the project's version.
function(sw_doc_page source output)
    string(REPLACE ";" "," features "${SW_DOC_FEATURES}")
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${source} -DOUTPUT=${output} -DFEATURES=${features}
                -DVERSION=${PROJECT_VERSION} -P ${SW_STRIP_FEATURES}
        DEPENDS ${source} ${SW_STRIP_FEATURES}
        COMMENT "Writing ${output}"
        VERBATIM)
endfunction()

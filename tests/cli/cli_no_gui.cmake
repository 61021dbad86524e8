# The command line starts fast because it loads no GUI library, and Qt Network only when it sends a
# report: keep it that way.
add_test(NAME cli_loads_no_gui
         COMMAND sh -c "ldd \"$1\" | grep -E 'libQt6(Gui|Widgets|Network)' && exit 1 || exit 0" sh
                 $<TARGET_FILE:startwarden-cli>)

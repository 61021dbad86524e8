# cpack -G DEB from the build directory: a Debian package of the system install under /usr, its
# library dependencies found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME startwarden)
set(CPACK_PACKAGE_VENDOR Tidyra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "list and manage the autostart entries of a Wine prefix")
set(CPACK_PACKAGE_DESCRIPTION "StartWarden lists what starts automatically with a Windows system: the
Run and RunOnce keys of the current user and of the machine, and the Startup
folders. On Linux that system is a Wine prefix, whose own files StartWarden
reads and writes without starting Wine. It shows whether each entry's program
exists and whether it is active, rates it against a shipped database, and
switches entries off and on, runs them and deletes them after a backup.
startwarden-cli does the same from a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tidyra <packages@tidyra.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's SQLite driver is a plugin, which dpkg-shlibdeps cannot see: the prefix search reads Lutris's
# library with it (and the report receiver its own database).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
# Run starts Wine; the rest works on a prefix's files alone. Qt's translations give its own texts
# (Yes/No, the file chooser) the program's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)

# cmake -DOUTPUT=... -DVERSION=... -P debian_changelog.cmake: the changelog of a native Debian
# package with one entry for VERSION. The date is the release's, so that builds are reproducible.
set(release_date "Sun, 06 Dec 2026 00:00:00 +0000")
file(WRITE "${OUTPUT}" "startwarden (${VERSION}) unstable; urgency=medium

  * Release ${VERSION}: list and manage a Wine prefix's autostart entries.

 -- Tidyra <packages@tidyra.example>  ${release_date}
")

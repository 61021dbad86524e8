#!/usr/bin/env bash
# package_test.sh BUILD_DIR: makes the Debian package into a temporary folder, checks that its
# dependencies came from dpkg-shlibdeps and that lintian finds no error in it.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/startwarden_*.deb)
depends=$(dpkg-deb --field "$package" Depends)
for library in libqt6widgets6 libqt6svg6 libc6; do
    grep -q "$library" <<<"$depends" || { echo "FAIL: Depends lacks $library: $depends" >&2; exit 1; }
done
contents=$(dpkg-deb --contents "$package")
grep -q ' ./usr/bin/startwarden-cli -> ../lib/startwarden/Program/startwarden-cli$' <<<"$contents" ||
    { echo "FAIL: /usr/bin/startwarden-cli is not a link into the program folder" >&2; exit 1; }
lintian --fail-on error "$package"

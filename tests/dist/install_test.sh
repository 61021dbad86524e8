#!/usr/bin/env bash
# install_test.sh BUILD_DIR VERSION: installs the build with the system layout into a temporary
# prefix, makes the program folder read-only and runs both programs from <prefix>/bin as a user
# who cannot write there, on a Wine prefix of their own.
set -euo pipefail
build=$1
version=$2

work=$(mktemp -d)
cleanup() {
    [ -n "${window:-}" ] && kill "$window" 2>/dev/null
    chmod -R u+w "$work"
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$work/usr" >/dev/null
program="$work/usr/lib/startwarden/Program"
for file in bin/startwarden bin/startwarden-cli lib/startwarden/Program/Search.dat \
    lib/startwarden/Data/Languages/german.lng lib/startwarden/Help/english.html \
    lib/startwarden/Help/help.css share/applications/com.tidyra.StartWarden.desktop \
    share/metainfo/com.tidyra.StartWarden.metainfo.xml \
    share/icons/hicolor/scalable/apps/com.tidyra.StartWarden.svg \
    share/icons/hicolor/16x16/apps/com.tidyra.StartWarden.png \
    share/icons/hicolor/256x256/apps/com.tidyra.StartWarden.png \
    share/man/man1/startwarden.1.gz share/man/man1/startwarden-cli.1.gz; do
    [ -e "$work/usr/$file" ] || fail "$file was not installed"
done
[ "$(head -c 4 "$work/usr/share/icons/hicolor/48x48/apps/com.tidyra.StartWarden.png" | tail -c 3)" = PNG ] ||
    fail "the 48 px icon is not a PNG"
chmod -R a-w "$program"

# A prefix with one Run value and one Startup file; the user owns it and their home.
prefix="$work/prefix"
startup="$prefix/drive_c/users/tester/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Startup"
mkdir -p "$prefix/drive_c/windows/system32" "$prefix/dosdevices" "$startup" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
ln -s ../drive_c "$prefix/dosdevices/c:"
printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n' >"$prefix/system.reg"
cat >"$prefix/user.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Software\\Microsoft\\Windows\\CurrentVersion\\Run] 1700000000
#time=1d9f0e0c0a0b0c0
"Known"="C:\\Tools\\known.exe /tray"

[Volatile Environment] 1700000000
#time=1d9f0a0b0c0d0e0
"USERNAME"="tester"
"USERPROFILE"="C:\\users\\tester"
REG
printf 'echo hello\r\n' >"$startup/hello.bat"

# root may write anywhere, so the programs run as an ordinary user then.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chmod 755 "$work"
    chown -R nobody:nogroup "$prefix" "$work/home" "$work/runtime"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
run() {
    "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        QT_QPA_PLATFORM=offscreen "$@"
}
data="$prefix/startwarden"

[ "$(run "$work/usr/bin/startwarden-cli" --version)" = "startwarden-cli $version" ] || fail "startwarden-cli --version"
[ "$(run "$work/usr/bin/startwarden" --version)" = "StartWarden $version" ] || fail "startwarden --version"

listing=$(run "$work/usr/bin/startwarden-cli" --prefix "$prefix" list)
grep -q $'^Known\tC:\\\\Tools\\\\known.exe /tray\t' <<<"$listing" || fail "list does not show the Run value: $listing"
grep -q $'^hello.bat\t' <<<"$listing" || fail "list does not show the Startup file: $listing"

# The window starts, lists and prepares its backup places among the prefix's own records.
"${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=offscreen "$work/usr/bin/startwarden" --prefix "$prefix" &
window=$!
for _ in $(seq 100); do
    [ -d "$data/Backups/Startmenu/Local User" ] && break
    kill -0 "$window" 2>/dev/null || fail "the window ended early"
    sleep 0.2
done
[ -d "$data/Backups/Startmenu/Local User" ] || fail "the window made no backup places in $data"
kill -0 "$window" 2>/dev/null || fail "the window ended early"
kill "$window"
wait "$window" 2>/dev/null || true
window=

# Deleting backs the file up into the same records.
run "$work/usr/bin/startwarden-cli" --prefix "$prefix" delete hello.bat --yes >/dev/null
[ -f "$data/Backups/Startmenu/Local User/hello.bat" ] || fail "the backup is not in $data"
[ ! -e "$startup/hello.bat" ] || fail "hello.bat was not deleted"
[ ! -e "$program/Backups" ] && [ ! -e "$program/Check.dat" ] || fail "the programs wrote into $program"
[ ! -e "$work/home/.local/share/Tidyra" ] || fail "the programs wrote into the shared data folder"
echo "installed programs run from $work/usr/bin"

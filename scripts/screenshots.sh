#!/usr/bin/env bash
# Renders the main window into build/screenshots/*.png: at its opening size, at 800 x 600, with the
# category tree hidden, with the information panel hidden, and the prefix chooser; the same on a
# screen scaled by two (build/screenshots/scale2) and in German (build/screenshots/german), on a
# 1920 x 1080 screen. Uses the given prefix, else the demo prefix of the build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target sw-screenshots startwarden
prefix="${1:-$PWD/build/demo-prefix}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '{"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96}]}\n' \
    >"$work/screen.json"
mkdir -p "$work/config/Tidyra" "$work/german/Tidyra"
printf '[Settings]\nLanguage=english\n' >"$work/config/Tidyra/Tidyra.conf"
printf '[Settings]\nLanguage=german\n' >"$work/german/Tidyra/Tidyra.conf"
export QT_QPA_PLATFORM="offscreen:configfile=$work/screen.json"
shoot() { build/tools/sw-screenshots build/StartWarden/Program "$prefix" "$1"; }
XDG_CONFIG_HOME="$work/config" shoot build/screenshots
XDG_CONFIG_HOME="$work/config" QT_SCALE_FACTOR=2 shoot build/screenshots/scale2
XDG_CONFIG_HOME="$work/german" shoot build/screenshots/german

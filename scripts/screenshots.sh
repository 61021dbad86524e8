#!/usr/bin/env bash
# Renders the main window into build/screenshots/*.png: at its opening size, at 800 x 600, with the
# category tree hidden, with the information panel hidden, and the prefix chooser. Uses the given
# prefix, else the demo prefix of the build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target sw-screenshots startwarden
prefix="${1:-$PWD/build/demo-prefix}"
QT_QPA_PLATFORM=offscreen build/tools/sw-screenshots build/StartWarden/Program "$prefix" build/screenshots

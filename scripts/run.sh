#!/usr/bin/env bash
# Installs what is missing, builds StartWarden and starts it on the Wine prefix given with
# --prefix, else $WINEPREFIX, else the one used last, else ~/.wine. Without any, the window opens
# with its prefix chooser, which lists the prefixes it finds and offers the demo prefix the build
# writes into build/demo-prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
exec build/StartWarden/Program/startwarden "$@"

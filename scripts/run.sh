#!/usr/bin/env bash
# Installs what is missing, builds StartWarden and starts it on the Wine prefix given with
# --prefix, else $WINEPREFIX, else the one used last, else ~/.wine; when none of those exists the
# window opens with its prefix chooser. On a machine without any Wine prefix it starts on the demo
# prefix the build writes into build/demo-prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
args=("$@")
if [[ " ${args[*]} " != *" --prefix "* ]] && [ -z "${WINEPREFIX:-}" ] &&
    [ -z "$(build/StartWarden/Program/startwarden-cli prefixes 2>/dev/null)" ]; then
    echo "No Wine prefix found; starting on the demo prefix."
    args+=(--prefix "$PWD/build/demo-prefix")
fi
exec build/StartWarden/Program/startwarden "${args[@]}"

#!/usr/bin/env bash
# Installs what is missing, builds StartWarden and starts it on the Wine prefix given with
# --prefix, else $WINEPREFIX, else ~/.wine, else on a demo prefix made by the build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

args=("$@")
if [[ " ${args[*]} " != *" --prefix "* ]]; then
    prefix="${WINEPREFIX:-$HOME/.wine}"
    if [ ! -f "$prefix/system.reg" ] && [ -d build/demo-prefix ]; then
        echo "No Wine prefix at $prefix; starting on the demo prefix."
        args+=(--prefix "$PWD/build/demo-prefix")
    fi
fi
exec build/StartWarden/Program/startwarden "${args[@]}"

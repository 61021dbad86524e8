#!/bin/sh
# Builds the Valve text reader fuzzer with clang and runs it for a bounded time, seeded with a
# library list and an app manifest.
# Usage: scripts/fuzz-vdf.sh [seconds]   (default 60)
set -eu
fuzz_folder="build-fuzz-vdf"
# shellcheck source=SCRIPTDIR/fuzz-common.sh
. "$(dirname "$0")/fuzz-common.sh"

fuzz_build vdf_fuzzer

corpus="$build/corpus-vdf"
mkdir -p "$corpus"
printf '"libraryfolders"\n{\n\t"0"\n\t{\n\t\t"path"\t\t"/home/u/.local/share/Steam"\n\t\t"apps"\n\t\t{\n\t\t\t"228980"\t\t"0"\n\t\t}\n\t}\n}\n' >"$corpus/libraryfolders.vdf"
printf '"AppState"\n{\n\t"appid"\t\t"10"\n\t"name"\t\t"Half \\"A\\" Game"\n\t// comment\n\t"x" "y" [$WIN32]\n}\n' >"$corpus/appmanifest_10.acf"
fuzz_run vdf_fuzzer -timeout=5 "$corpus"

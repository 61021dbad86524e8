#!/bin/sh
# Builds the .lnk reader fuzzer with clang and runs it for a bounded time, seeded with the fixtures.
# Usage: scripts/fuzz-shortcut.sh [seconds]   (default 60)
set -eu
fuzz_folder="build-fuzz-lnk"
# shellcheck source=SCRIPTDIR/fuzz-common.sh
. "$(dirname "$0")/fuzz-common.sh"

fuzz_build shortcut_fuzzer

# The corpus grows in the build folder; the fixtures stay untouched.
corpus="$build/corpus-lnk"
mkdir -p "$corpus"
cp "$root"/tests/fixtures/*.lnk "$corpus/"
fuzz_run shortcut_fuzzer -timeout=5 "$corpus"

#!/bin/sh
# Builds the PE resource reader fuzzer with clang and runs it for a bounded time, seeded with the
# fixtures. Usage: scripts/fuzz-pe.sh [seconds]   (default 60)
set -eu
fuzz_folder="build-fuzz-pe"
# shellcheck source=SCRIPTDIR/fuzz-common.sh
. "$(dirname "$0")/fuzz-common.sh"

fuzz_build pe_fuzzer

# The corpus grows in the build folder; the fixtures stay untouched.
corpus="$build/corpus-pe"
mkdir -p "$corpus"
cp "$root"/tests/fixtures/*.exe "$root"/tests/fixtures/*.dll "$root"/tests/fixtures/*.ico "$corpus/"
fuzz_run pe_fuzzer -timeout=5 -max_len=65536 "$corpus"

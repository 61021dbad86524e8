#!/bin/sh
# Builds the Wine registry reader/writer fuzzer with clang and runs it for a bounded time, seeded with
# the registry fixtures (files written by Wine 8).
# Usage: scripts/fuzz-registry.sh [seconds]   (default 60)
set -eu
fuzz_folder="build-fuzz"
# shellcheck source=SCRIPTDIR/fuzz-common.sh
. "$(dirname "$0")/fuzz-common.sh"

fuzz_build registry_fuzzer

# The corpus grows in the build folder; the fixtures stay untouched. Small seeds fuzz faster, so the
# fixtures are cut into one file per key (each with Wine's header).
corpus="$build/corpus-registry"
mkdir -p "$corpus"
for f in "$root"/tests/fixtures/registry/*.reg; do
    base=$(basename "$f" .reg)
    head -n 5 "$f" > "$build/header.tmp"
    awk -v dir="$corpus" -v base="$base" -v hdr="$build/header.tmp" '
        /^\[/ { n++; out = sprintf("%s/%s-key%03d.reg", dir, base, n);
                while ((getline line < hdr) > 0) print line > out; close(hdr) }
        n > 0 { print > out }' "$f"
done
rm -f "$build/header.tmp"
fuzz_run registry_fuzzer -timeout=10 -max_len=8192 "$corpus"

#!/bin/sh
# Builds the Wine registry reader/writer fuzzer with clang and runs it for a bounded time, seeded with
# the registry fixtures (files written by Wine 8).
# Usage: scripts/fuzz-registry.sh [seconds]   (default 60)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="${SW_FUZZ_BUILD:-$root/build-fuzz}"
seconds=${1:-60}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DSW_BUILD_FUZZERS=ON -DSW_BUILD_TESTS=OFF
cmake --build "$build" --target registry_fuzzer -j2

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
cd "$build"
"$build/fuzz/registry_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 "$corpus"

#!/bin/sh
# Builds the PE resource reader fuzzer with clang and runs it for a bounded time, seeded with the
# fixtures. Usage: scripts/fuzz-pe.sh [seconds]   (default 60)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="${SW_FUZZ_BUILD:-$root/build-fuzz-pe}"
seconds=${1:-60}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DSW_BUILD_FUZZERS=ON -DSW_BUILD_TESTS=OFF
cmake --build "$build" --target pe_fuzzer -j2

# The corpus grows in the build folder; the fixtures stay untouched.
corpus="$build/corpus-pe"
mkdir -p "$corpus"
cp "$root"/tests/fixtures/*.exe "$root"/tests/fixtures/*.dll "$root"/tests/fixtures/*.ico "$corpus/"
cd "$build"
"$build/fuzz/pe_fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=65536 "$corpus"

#!/bin/sh
# Builds the .lnk reader fuzzer with clang and runs it for a bounded time, seeded with the fixtures.
# Usage: scripts/fuzz-shortcut.sh [seconds]   (default 60)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="${SW_FUZZ_BUILD:-$root/build-fuzz-lnk}"
seconds=${1:-60}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DSW_BUILD_FUZZERS=ON -DSW_BUILD_TESTS=OFF
cmake --build "$build" --target shortcut_fuzzer -j2

# The corpus grows in the build folder; the fixtures stay untouched.
corpus="$build/corpus-lnk"
mkdir -p "$corpus"
cp "$root"/tests/fixtures/*.lnk "$corpus/"
cd "$build"
"$build/fuzz/shortcut_fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 "$corpus"

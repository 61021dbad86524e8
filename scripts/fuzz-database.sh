#!/bin/sh
# Builds the database reader and pattern matcher fuzzers with clang and runs each for a bounded
# time, seeded with the compiled sample database. Usage: scripts/fuzz-database.sh [seconds] (default 60)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="${SW_FUZZ_BUILD:-$root/build-fuzz-db}"
seconds=${1:-60}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DSW_BUILD_FUZZERS=ON -DSW_BUILD_TESTS=OFF
cmake --build "$build" --target database_fuzzer pattern_fuzzer sw_database_files -j2

# The corpora grow in the build folder.
corpus="$build/corpus-db"
mkdir -p "$corpus" "$build/corpus-pattern"
cp "$build"/StartWarden/Program/*.dat "$corpus/"
printf 'TOOL.EXE*\nTOOL.EXE -AUTO' >"$build/corpus-pattern/star"
printf '[!0-9]#?[A-Z-]*\nX1YZ-' >"$build/corpus-pattern/lists"
cd "$build"
"$build/fuzz/database_fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=65536 "$corpus"
"$build/fuzz/pattern_fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=4096 \
    "$build/corpus-pattern"

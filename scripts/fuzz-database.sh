#!/bin/sh
# Builds the database reader and pattern matcher fuzzers with clang and runs each for a bounded
# time, seeded with the compiled sample database. Usage: scripts/fuzz-database.sh [seconds] (default 60)
set -eu
fuzz_folder="build-fuzz-db"
# shellcheck source=SCRIPTDIR/fuzz-common.sh
. "$(dirname "$0")/fuzz-common.sh"

fuzz_build database_fuzzer pattern_fuzzer sw_database_files

# The corpora grow in the build folder.
corpus="$build/corpus-db"
mkdir -p "$corpus" "$build/corpus-pattern"
cp "$build"/StartWarden/Program/*.dat "$corpus/"
printf 'TOOL.EXE*\nTOOL.EXE -AUTO' >"$build/corpus-pattern/star"
printf '[!0-9]#?[A-Z-]*\nX1YZ-' >"$build/corpus-pattern/lists"
fuzz_run database_fuzzer -timeout=5 -max_len=65536 "$corpus"
fuzz_run pattern_fuzzer -timeout=5 -max_len=4096 "$build/corpus-pattern"

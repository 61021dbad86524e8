#!/usr/bin/env bash
# Runs every fuzz target (registry, shortcut and PE readers, database loaders, pattern matcher,
# report query parser, Valve text reader) under AddressSanitizer and UBSan for a bounded time each,
# in one clang build folder.
# Usage: scripts/fuzz.sh [seconds per target]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
export SW_FUZZ_BUILD="$PWD/build-fuzz"
for target in registry shortcut pe database reports vdf; do
    echo "== fuzzing: $target ($seconds s)"
    "scripts/fuzz-$target.sh" "$seconds"
done

#!/usr/bin/env bash
# Builds a Release tree and times listing a large prefix (startwarden-cli list ALL against cat and,
# when Wine is installed, wine reg query). Arguments go to listing_bench (--runs=N, --no-wine, --keep=DIR,
# --fresh[=DIR]).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench --target listing_bench startwarden-cli -j2
exec build-bench/bench/listing_bench "$@"

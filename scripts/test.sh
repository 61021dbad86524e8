#!/usr/bin/env bash
# Installs what is missing, builds everything, runs the whole test suite through CTest, then runs
# every fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
ctest --test-dir build --output-on-failure -j2
scripts/fuzz.sh "${SW_FUZZ_SECONDS:-20}"

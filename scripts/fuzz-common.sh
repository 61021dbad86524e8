# shellcheck shell=sh
# Sourced by the fuzz-*.sh scripts once they have set fuzz_folder, their own build folder below the
# project root. Sets root, build (SW_FUZZ_BUILD when given, so scripts/fuzz.sh builds every target
# in one folder) and seconds (the script's first argument, default 60); provides fuzz_build and
# fuzz_run.

root=$(cd "$(dirname "$0")/.." && pwd)
build="${SW_FUZZ_BUILD:-$root/$fuzz_folder}"
seconds=${1:-60}

# fuzz_build <targets...>: configures the clang build with the fuzzers and without the tests, and
# builds the targets named.
fuzz_build() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ \
        -DSW_BUILD_FUZZERS=ON -DSW_BUILD_TESTS=OFF
    cmake --build "$build" --target "$@" -j2
}

# fuzz_run <fuzzer> <options and corpus folders...>: runs a built fuzzer for $seconds seconds in the
# build folder, where it leaves any crash files.
fuzz_run() {
    fuzzer=$1
    shift
    cd "$build" || return
    "$build/fuzz/$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 "$@"
}

#!/bin/sh
# Builds the report receiver's query and request-head parser fuzzer with clang and runs it for a bounded time, seeded
# with queries as the program sends them. Usage: scripts/fuzz-reports.sh [seconds] (default 60)
set -eu
fuzz_folder="build-fuzz-reports"
# shellcheck source=SCRIPTDIR/fuzz-common.sh
. "$(dirname "$0")/fuzz-common.sh"

fuzz_build report_query_fuzzer

corpus="$build/corpus-reports"
mkdir -p "$corpus"
printf 'name=Tool&program=C:\\Tools\\tool.exe -a&b&firma=A & B&ort=LURun&details=' >"$corpus/plain"
printf 'name=T%%C3%%BCr&program=%%22C:%%5CProgram%%20Files%%5Ct.exe%%22&firma=&ort=SMAllUsr&details=x%%zz' \
    >"$corpus/escaped"
printf 'Tool\000C:\\t.exe\000\000LURun\000notice' >"$corpus/fields"
printf 'GET /_system/tidyra_startwarden.php?name=a&program=b HTTP/1.1\r\nHost: x\r\nContent-Length: 0' \
    >"$corpus/head"
fuzz_run report_query_fuzzer -timeout=5 -max_len=9000 "$corpus"

#!/usr/bin/env bash
# Every benchmark, one Markdown table.
#
#   bench/run-all.sh [path/to/dclsh]      ROUNDS=n to change the rounds
set -uo pipefail
BENCH=$(cd "$(dirname "$0")" && pwd)
. "$BENCH/lib.sh"
DCLSH=${1:-${DCLSH:-$BENCH/../build/dclsh}}
DCLSH=$(cd "$(dirname "$DCLSH")" && pwd)/$(basename "$DCLSH")
bench_header

status=0
for script in startup procedures commands search directory files search_command differences file_io; do
    "$BENCH/$script.sh" "$DCLSH" || status=1
done
exit $status

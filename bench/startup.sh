#!/usr/bin/env bash
# Start-up: 200 runs in a row of dclsh -c "" against bash -c true and
# dash -c true.
#
#   bench/startup.sh [path/to/dclsh]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
bench_init "${1:-}"
bench_header

bench_compare -n 200 "start-up x200" -c "" -- bash -c true
if bench_have dash; then
    bench_compare -n 200 "start-up x200" -c "" -- dash -c true
fi
bench_exit

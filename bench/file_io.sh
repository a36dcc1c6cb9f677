#!/usr/bin/env bash
# A READ loop over a 100,000-line file against bash's `while read` loop:
# both count the lines and add up their lengths.
#
#   bench/file_io.sh [path/to/dclsh]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
bench_init "${1:-}"
bench_header

seq 1 100000 | sed 's/$/ some text after the number/' > lines.txt
cat > readloop.com <<'DCL'
$ open/read in lines.txt
$ n = 0
$ total = 0
$ loop:
$ read/end_of_file=done in line
$ n = n + 1
$ total = total + f$length(line)
$ goto loop
$ done:
$ close in
$ write sys$output n, " ", total
DCL
bench_compare "READ loop, 100,000 lines" readloop.com \
    -- bash -c 'n=0; t=0; while IFS= read -r line; do n=$((n+1)); t=$((t+${#line})); done < lines.txt; echo "$n $t"'
bench_exit

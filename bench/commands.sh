#!/usr/bin/env bash
# Unix commands from a procedure: 500 lines that each fork and exec
# /bin/true, against a shell script of 500 /bin/true lines.
#   - "$ unix /bin/true": the way a procedure runs a Unix command line,
#     through dclsh's Unix shell ($SHELL);
#   - "$ tt" with tt :== $/bin/true: a foreign command, exec'd directly.
# (A line "$ /bin/true" is no command for DCL: %DCL-W-NOCOMD.)
#
#   bench/commands.sh [path/to/dclsh]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
bench_init "${1:-}"
bench_header

lines() {  # N TEXT: N lines of TEXT
    local k
    for ((k = 0; k < $1; k++)); do printf '%s\n' "$2"; done
}
{ lines 500 '$ unix /bin/true'; echo '$ write sys$output "done"'; } > unix500.com
{ echo '$ tt :== $/bin/true'; lines 500 '$ tt'; echo '$ write sys$output "done"'; } > image500.com
{ lines 500 /bin/true; echo 'echo done'; } > true500.sh

bench_shells "500 x \$ unix /bin/true" unix500.com -- true500.sh
bench_shells "500 x foreign /bin/true" image500.com -- true500.sh
bench_exit

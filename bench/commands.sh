#!/usr/bin/env bash
# Unix commands from a procedure: 500 lines that each start /bin/true,
# against a shell script of the same 500 lines.
#   - "$ unix /bin/true": a Unix command line that needs no shell, run
#     directly;
#   - "$ unix /bin/true >/dev/null": one that needs the shell ($SHELL),
#     which pays for the shell's start-up on every line;
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
{ lines 500 '$ unix /bin/true >/dev/null'; echo '$ write sys$output "done"'; } > shell500.com
{ lines 500 /bin/true; echo 'echo done'; } > true500.sh
{ lines 500 '/bin/true >/dev/null'; echo 'echo done'; } > shelltrue500.sh

bench_shells "500 x \$ unix /bin/true" unix500.com -- true500.sh
bench_shells "500 x \$ unix /bin/true >/dev/null" shell500.com -- shelltrue500.sh
bench_shells "500 x foreign /bin/true" image500.com -- true500.sh
bench_exit

#!/usr/bin/env bash
# DIRECTORY/SIZE/DATE of a directory of 10,000 files against ls -l of the
# same directory; both outputs are compared by their number of file lines.
#
#   bench/directory.sh [path/to/dclsh]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
bench_init "${1:-}"
bench_header

mkdir listed
for i in $(seq 0 9999); do printf 'x' > "listed/f$i.txt"; done
cd listed
BENCH_NORMALIZE="grep -c txt" PEER_LABEL="ls -l" \
    bench_compare "DIRECTORY/SIZE/DATE 10,000 files" -c "directory/size/date" -- ls -l
bench_exit

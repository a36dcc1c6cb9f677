#!/usr/bin/env bash
# Wildcard search: F$SEARCH("[...]*.C") in a loop over a tree of 10,000
# files (25 x 20 directories, 10 .c and 10 .h files each), against
# find . -name '*.c'; both sides print the number of files found.
#
#   bench/search.sh [path/to/dclsh]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
bench_init "${1:-}"
bench_header

for d in $(seq 1 25); do
    for s in $(seq 1 20); do
        dir=tree/d$d/s$s
        mkdir -p "$dir"
        for f in $(seq 1 10); do : > "$dir/f$f.c"; : > "$dir/f$f.h"; done
    done
done
cd tree
PEER_LABEL=find bench_compare "F\$SEARCH 10,000 files" ../search.com \
    -- sh -c "find . -name '*.c' | wc -l"
bench_exit

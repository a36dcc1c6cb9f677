#!/usr/bin/env bash
# Wildcard search benchmark: dclsh finding [...]*.C in a tree of 10,000
# files in 500 directories, against find(1) on the same tree, in the same
# run. Prints the ratio dclsh/peer (below 1: dclsh is faster).
#
#   bench/search.sh [path/to/dclsh]
set -euo pipefail
DCLSH=${1:-$(dirname "$0")/../build/dclsh}
DCLSH=$(cd "$(dirname "$DCLSH")" && pwd)/$(basename "$DCLSH")
TREE=$(mktemp -d)
trap 'rm -rf "$TREE"' EXIT

for d in $(seq 1 25); do
    for s in $(seq 1 20); do
        dir="$TREE/d$d/s$s"
        mkdir -p "$dir"
        for f in $(seq 1 10); do : > "$dir/f$f.c"; : > "$dir/f$f.h"; done
    done
done

# Best of five wall-clock times, in seconds.
best_of() {
    local best=999999 t
    for _ in 1 2 3 4 5; do
        local start end
        start=$(date +%s.%N)
        "$@" > /dev/null
        end=$(date +%s.%N)
        t=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
        best=$(awk -v a="$t" -v b="$best" 'BEGIN { print (a < b) ? a : b }')
    done
    echo "$best"
}

cd "$TREE"
count=$("$DCLSH" -c 'write sys$output f$search("[...]*.C")' >/dev/null; find . -name '*.c' | wc -l)
dcl=$(best_of "$DCLSH" -c 'write sys$output f$search("[...]*.C")')
peer=$(best_of find . -name '*.c')
printf 'search [...]*.C (%s files): dclsh %.3fs, find %.3fs, ratio %.2f\n' \
    "$count" "$dcl" "$peer" "$(awk -v a="$dcl" -v b="$peer" 'BEGIN { print a / b }')"

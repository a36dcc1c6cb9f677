#!/usr/bin/env bash
# SEARCH of a 200 MB text file for a fixed string, case-blind, against
# grep -iF on the same file; both print the same lines.
#
#   bench/search_command.sh [path/to/dclsh]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
bench_init "${1:-}"
bench_header

# Lines of 76 letters, digits, "+" and "/", with a few needles among them
# in mixed case.
{
    head -c 75000000 /dev/urandom | base64
    echo "a Needle in the middle"
    head -c 75000000 /dev/urandom | base64
    echo "NEEDLE at the end"
} > big.txt
PEER_LABEL="grep -iF" bench_compare "SEARCH 200 MB, case-blind" -c "search big.txt needle" \
    -- grep -iF needle big.txt
bench_exit

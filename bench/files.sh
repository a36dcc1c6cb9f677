#!/usr/bin/env bash
# File commands on a 200 MB file: TYPE to /dev/null against cat, and
# COPY/REPLACE (no versions pile up between rounds) against cp.
#
#   bench/files.sh [path/to/dclsh]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
bench_init "${1:-}"
bench_header

head -c 200000000 /dev/urandom > big.dat
BENCH_NORMALIZE="wc -c" PEER_LABEL=cat \
    bench_compare "TYPE 200 MB" -c "type big.dat" -- cat big.dat
PEER_LABEL=cp bench_compare "COPY 200 MB" -c "copy/replace big.dat out.dat" -- cp big.dat out.dat
bench_exit

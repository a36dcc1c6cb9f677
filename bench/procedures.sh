#!/usr/bin/env bash
# Procedure workloads (the DCL side in bench/work/*.com, the shell side in
# bench/work/*.sh), each against bash and dash; the growth rows show how
# defining symbols scales (it should be linear).
#
#   bench/procedures.sh [path/to/dclsh]      ROUNDS=n to change the rounds
set -euo pipefail
. "$(dirname "$0")/lib.sh"
bench_init "${1:-}"
bench_header

bench_shells "counting loop 200,000" loop.com 200000 -- loop.sh 200000
bench_shells "20 substitutions x 20,000" subst.com 20000 -- subst.sh 20000
bench_shells "GOSUB 100,000" gosub.com 100000 -- function.sh 100000
bench_shells "CALL 20,000" call.com 20000 -- function.sh 20000
bench_shells "@small.com 5,000" nested.com 5000 -- nested.sh 5000
bench_shells "define 20,000 symbols" symbols.com 20000 -- symbols.sh 20000
for n in 2500 5000 10000 20000; do
    bench_solo "define $n symbols (growth)" symbols.com "$n"
done
bench_shells "F\$TRNLNM 100,000" trnlnm.com 100000 -- trnlnm.sh 100000
bench_shells "string building 100,000" strings.com 100000 -- strings.sh 100000
bench_exit

#!/usr/bin/env bash
# Procedure benchmarks: each workload in dclsh and in a peer shell, timed
# in the same run; prints the ratio dclsh/peer (below 1: dclsh is faster).
#   - a counting loop of 200,000 iterations, against bash and dash;
#   - a GOSUB-heavy procedure (100,000 subroutine calls), against bash
#     functions;
#   - start-up with one trivial command, against `bash -c true`.
#
#   bench/procedures.sh [path/to/dclsh]
set -euo pipefail
DCLSH=${1:-$(dirname "$0")/../build/dclsh}
DCLSH=$(cd "$(dirname "$DCLSH")" && pwd)/$(basename "$DCLSH")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

cat > loop.com <<'DCL'
$ i = 0
$ n = 200000
$ loop:
$ i = i + 1
$ if i .lt. n then goto loop
$ write sys$output i
DCL
cat > loop.sh <<'SH'
i=0; n=200000
while [ $i -lt $n ]; do i=$((i + 1)); done
echo $i
SH
cat > gosub.com <<'DCL'
$ i = 0
$ total = 0
$ next:
$ gosub add
$ i = i + 1
$ if i .lt. 100000 then goto next
$ write sys$output total
$ exit
$ add:
$ total = total + i
$ return
DCL
cat > gosub.sh <<'SH'
i=0; total=0
add() { total=$((total + i)); }
while [ $i -lt 100000 ]; do add; i=$((i + 1)); done
echo $total
SH

# Best of five wall-clock times of a command, in seconds.
best_of() {
    local best=999999 start end
    for _ in 1 2 3 4 5; do
        start=$(date +%s.%N)
        "$@" > /dev/null
        end=$(date +%s.%N)
        best=$(awk -v a="$start" -v b="$end" -v m="$best" 'BEGIN { t = b - a; print (t < m) ? t : m }')
    done
    echo "$best"
}

# Startup runs are too short to time one at a time: 200 of them in a row.
repeat200() { for _ in $(seq 200); do "$@"; done; }

report() {  # name dclsh-seconds peer-name peer-seconds
    printf '%-28s dclsh %7.3fs  %-6s %7.3fs  ratio %.2f\n' "$1" "$2" "$3" "$4" \
        "$(awk -v a="$2" -v b="$4" 'BEGIN { print a / b }')"
}

dcl_loop=$(best_of "$DCLSH" loop.com)
report "loop 200,000" "$dcl_loop" bash "$(best_of bash loop.sh)"
if command -v dash > /dev/null; then
    report "loop 200,000" "$dcl_loop" dash "$(best_of dash loop.sh)"
fi
report "gosub 100,000" "$(best_of "$DCLSH" gosub.com)" bash "$(best_of bash gosub.sh)"
report "start-up x200" "$(best_of repeat200 "$DCLSH" -c "")" bash \
    "$(best_of repeat200 bash -c true)"

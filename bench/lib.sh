# Shared helper of the benchmark scripts (sourced, not run).
#
# A workload runs as a dclsh command and as a peer command (bash, dash,
# find). Both are first run once and must print the same output, exit 0 and
# write nothing on standard error; then they run in alternating rounds
# (dclsh, peer, dclsh, peer, ...) so that a noisy machine hurts both sides
# alike, and the median wall time of each side is reported. One Markdown
# table row per workload:
#
#   | workload | dclsh | peer | ratio | dclsh RSS | peer RSS |
#
# ratio is dclsh/peer (below 1: dclsh is faster). RSS is the peak resident
# set of one run (children included), from /usr/bin/time when present;
# a dclsh RSS above twice bash's is marked "(>2x)" (the memory budget).
#
# Environment: ROUNDS (default 7) rounds per side; DCLSH, the interpreter,
# unless a script gets it as its first argument; BENCH_NORMALIZE, see
# bench_compare.

BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROUNDS=${ROUNDS:-7}
BENCH_FAILED=0

# bench_init [path/to/dclsh]: resolves the interpreter and moves into a
# fresh scratch directory holding a copy of bench/work/.
bench_init() {
    DCLSH=${1:-${DCLSH:-$BENCH_DIR/../build/dclsh}}
    DCLSH=$(cd "$(dirname "$DCLSH")" && pwd)/$(basename "$DCLSH")
    if [ ! -x "$DCLSH" ]; then
        echo "no dclsh at $DCLSH" >&2
        exit 2
    fi
    BENCH_TMP=$(mktemp -d "${TMPDIR:-/tmp}/dclsh-bench.XXXXXX")
    trap 'rm -rf "$BENCH_TMP"' EXIT
    # -p: procedure files keep their dates, as a user's procedures do (one
    # changed within the last second is read afresh on every @).
    cp -p "$BENCH_DIR"/work/* "$BENCH_TMP"/
    # An empty home: no login.com for dclsh, nothing for the shells either.
    mkdir "$BENCH_TMP/home"
    export HOME=$BENCH_TMP/home
    unset BASH_ENV ENV
    cd "$BENCH_TMP"
}

# The table header, unless an outer script (run-all.sh) has printed it.
bench_header() {
    [ -n "${BENCH_HEADER_DONE:-}" ] && return 0
    export BENCH_HEADER_DONE=1
    echo "dclsh: $DCLSH; median of $ROUNDS alternating rounds; nproc $(nproc)"
    echo "dclsh runs Unix commands with SHELL=${SHELL:-unset}"
    echo
    echo "| workload | dclsh | peer | ratio | dclsh RSS | peer RSS |"
    echo "|---|---|---|---|---|---|"
}

bench_have() { command -v "$1" > /dev/null; }

# Wall time in microseconds of COUNT runs of a command, in BENCH_US.
_time_runs() {
    local count=$1 t0 t1 k
    shift
    t0=$EPOCHREALTIME
    for ((k = 0; k < count; k++)); do "$@" || :; done > /dev/null 2>&1
    t1=$EPOCHREALTIME
    BENCH_US=$((10#${t1/[.,]/} - 10#${t0/[.,]/}))
}

_median() {
    printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 }
        END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Peak RSS in KB of one run of a command; empty without /usr/bin/time.
_rss() {
    [ -x /usr/bin/time ] || return 0
    /usr/bin/time -f %M -o "$BENCH_TMP/rss" "$@" > /dev/null 2>&1 || :
    tail -n 1 "$BENCH_TMP/rss"
}

_sec() { awk -v us="$1" 'BEGIN { printf "%.3f s", us / 1e6 }'; }
_mb() { [ -n "$1" ] && awk -v kb="$1" 'BEGIN { printf "%.1f MB", kb / 1024 }'; }

# One run of a command must exit 0 with nothing on standard error; its
# output goes to the file named first.
_check_run() {
    local out=$1 status=0
    shift
    "$@" > "$out" 2> "$out.err" || status=$?
    if [ "$status" -ne 0 ] || [ -s "$out.err" ]; then
        echo "FAILED (status $status): $*" >&2
        head -n 5 "$out.err" >&2
        return 1
    fi
}

# bench_compare [-n COUNT] NAME DCLSH-ARGS... -- PEER-COMMAND...
# Times "$DCLSH" DCLSH-ARGS against PEER-COMMAND; with -n, one sample is
# COUNT runs in a row (for commands too short to time alone). The peer's
# label is PEER_LABEL, else the peer command's first word.
bench_compare() {
    local count=1 name dcl=() peer=() label d p r
    if [ "$1" = -n ]; then count=$2; shift 2; fi
    name=$1; shift
    while [ "$1" != -- ]; do dcl+=("$1"); shift; done
    shift
    peer=("$@")
    label=${PEER_LABEL:-$(basename "${peer[0]}")}

    local dcl_ok=ok peer_ok=ok
    _check_run "$BENCH_TMP/out.dcl" "$DCLSH" "${dcl[@]}" || dcl_ok=error
    _check_run "$BENCH_TMP/out.peer" "${peer[@]}" || peer_ok=error
    if [ $dcl_ok$peer_ok != okok ]; then
        echo "| $name | $dcl_ok | $label $peer_ok | | | |"
        BENCH_FAILED=1
        return 0
    fi
    # Outputs in different layouts (DIRECTORY against ls -l) are compared
    # through BENCH_NORMALIZE, a filter run on each (e.g. "grep -c txt").
    if [ -n "${BENCH_NORMALIZE:-}" ]; then
        local f
        for f in "$BENCH_TMP/out.dcl" "$BENCH_TMP/out.peer"; do
            sh -c "$BENCH_NORMALIZE" < "$f" > "$f.normal" || :
            mv "$f.normal" "$f"
        done
    fi
    if ! cmp -s "$BENCH_TMP/out.dcl" "$BENCH_TMP/out.peer"; then
        echo "OUTPUTS DIFFER for $name:" >&2
        diff "$BENCH_TMP/out.dcl" "$BENCH_TMP/out.peer" | head -n 6 >&2
        echo "| $name | output differs | $label | | | |"
        BENCH_FAILED=1
        return 0
    fi

    local dcl_us=() peer_us=() i
    for ((i = 0; i < ROUNDS; i++)); do
        _time_runs "$count" "$DCLSH" "${dcl[@]}"; dcl_us+=("$BENCH_US")
        _time_runs "$count" "${peer[@]}"; peer_us+=("$BENCH_US")
    done
    d=$(_median "${dcl_us[@]}")
    p=$(_median "${peer_us[@]}")
    r=$(awk -v a="$d" -v b="$p" 'BEGIN { printf "%.2f", a / b }')

    local drss prss mark=
    drss=$(_rss "$DCLSH" "${dcl[@]}")
    prss=$(_rss "${peer[@]}")
    if [ "$label" = bash ] && [ -n "$drss" ] && [ -n "$prss" ] &&
       [ "$drss" -gt $((2 * prss)) ]; then
        mark=" (>2x)"
    fi
    echo "| $name | $(_sec "$d") | $label $(_sec "$p") | $r | $(_mb "$drss")$mark | $(_mb "$prss") |"
}

# bench_solo NAME DCLSH-ARGS...: dclsh alone (e.g. how a cost grows).
bench_solo() {
    local name=$1 us=() i
    shift
    if ! _check_run "$BENCH_TMP/out.dcl" "$DCLSH" "$@"; then
        echo "| $name | error | | | | |"
        BENCH_FAILED=1
        return 0
    fi
    for ((i = 0; i < ROUNDS; i++)); do
        _time_runs 1 "$DCLSH" "$@"; us+=("$BENCH_US")
    done
    echo "| $name | $(_sec "$(_median "${us[@]}")") | | | $(_mb "$(_rss "$DCLSH" "$@")") | |"
}

# Each workload against bash and, when installed, dash.
bench_shells() {  # NAME DCLSH-ARGS... -- SCRIPT-AND-ARGS...
    local name=$1 dcl=()
    shift
    while [ "$1" != -- ]; do dcl+=("$1"); shift; done
    shift
    bench_compare "$name" "${dcl[@]}" -- bash "$@"
    if bench_have dash; then
        bench_compare "$name" "${dcl[@]}" -- dash "$@"
    fi
}

bench_exit() { exit "$BENCH_FAILED"; }

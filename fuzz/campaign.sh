#!/usr/bin/env bash
# Long fuzzing runs, beyond the short ones of `make check`.
#
#   fuzz/campaign.sh TARGET [MINUTES]   run one target (default 30 minutes)
#   fuzz/campaign.sh --table            the Markdown table of all runs so far
#
# Needs the fuzz tree (`make check-fuzz` configures and builds it). The run
# starts from fuzz/corpus/TARGET, works in $FUZZ_WORK (default
# /tmp/dclsh-fuzz), and afterwards puts a minimised corpus back into
# fuzz/corpus/TARGET: files named regress-* (inputs that once failed) and
# seed-* (written by hand) are always kept, the rest is whatever the merge
# keeps. Each run appends one line to fuzz/campaign.log: date, target, CPU
# seconds, executions, result.
# A failing input is left in $FUZZ_WORK/TARGET/ and named in the log;
# once the fault is fixed, its result in the log becomes "fixed:NAME".
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
log=$root/fuzz/campaign.log

if [ "${1:-}" = "--table" ]; then
  echo "| target | CPU minutes | executions | open failures |"
  echo "|---|---|---|---|"
  # Every target, also those not run yet.
  targets=$(cd "$root/fuzz" && ls *_fuzz.cpp | sed 's/\.cpp$//')
  awk -v targets="$targets" '
       { cpu[$2] += $3; runs[$2] += $4; if ($5 != "ok" && $5 !~ /^fixed/) bad[$2]++ }
       END { n = split(targets, t, "\n")
             for (i = 1; i <= n; i++)
               printf "| %s | %d | %d | %d |\n", t[i], cpu[t[i]] / 60, runs[t[i]], bad[t[i]] }' \
    "$log" | sort
  exit 0
fi

target=${1:?usage: fuzz/campaign.sh TARGET [MINUTES] | --table}
minutes=${2:-30}
bin=$root/build-fuzz/fuzz/$target
[ -x "$bin" ] || { echo "no $bin: run make check-fuzz first" >&2; exit 2; }

work=${FUZZ_WORK:-/tmp/dclsh-fuzz}/$target
mkdir -p "$work/corpus"
seeds=$root/fuzz/corpus/$target
[ -d "$seeds" ] && cp -R "$seeds/." "$work/corpus/"

# Targets that write files work in $TMPDIR: on a disk file system a file
# truncated and written again is flushed at close, and the fuzzer would
# spend most of its time waiting for the disk.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

# CPU time is what counts: on a busy machine the wall clock runs ahead.
result=ok
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  /usr/bin/time -f "%U %S" -o "$work/cpu" \
  "$bin" -max_total_time=$((minutes * 60)) -timeout=30 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" \
    > "$work/run.log" 2>&1 || result=failed
cpu=$(awk '{ printf "%d", $1 + $2 }' "$work/cpu" 2>/dev/null || echo 0)
execs=$(awk '/stat::number_of_executed_units/ { n = $2 } END { print n + 0 }' "$work/run.log")
if [ "$result" != ok ]; then
  result=$(ls -t "$work" | grep -E '^(crash|leak|timeout|oom|slow-unit)-' | head -1 || true)
  result=${result:-failed}
fi

# Minimise: keep only inputs that add coverage, plus the named seeds.
rm -rf "$work/min" && mkdir "$work/min"
"$bin" -merge=1 "$work/min" "$work/corpus" > "$work/merge.log" 2>&1
mkdir -p "$seeds"
find "$seeds" -maxdepth 1 -type f ! -name 'regress-*' ! -name 'seed-*' -delete
cp "$work/min/." -R "$seeds/"

echo "$(date -u +%F) $target $cpu $execs $result" >> "$log"
echo "$target: $((cpu / 60)) CPU minutes, $execs executions, $result"

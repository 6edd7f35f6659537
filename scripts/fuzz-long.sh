#!/usr/bin/env bash
# Long fuzzing runs: every fuzz target (or those named) for SECONDS each
# (default 1800), one after the other, on a corpus kept between runs in
# build/fuzz/corpus/<target> and started from the seeds in
# tests/fuzz/seeds/<target>. Crashes do not stop a run; their inputs are kept
# in build/fuzz/crashes/<target>/. Prints executions, speed and crashes per
# target and exits with 1 when any target crashed.
#   scripts/fuzz-long.sh [SECONDS] [TARGET...]
#   scripts/fuzz-long.sh --minimise [TARGET...]   kept corpus -> seeds (small)
set -uo pipefail
cd "$(dirname "$0")/.."
minimise=0
if [ "${1:-}" = "--minimise" ]; then minimise=1; shift; fi
secs=1800
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then secs=$1; shift; fi
scripts/build.sh fuzz || exit 1

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in build/fuzz/tests/fuzz/fuzz_*; do [ -x "$f" ] && targets+=("$(basename "$f")"); done
fi

status=0
printf '%-16s %12s %10s %8s %8s\n' target executions exec/s corpus crashes
for name in "${targets[@]}"; do
  bin=build/fuzz/tests/fuzz/$name
  [ -x "$bin" ] || { echo "$name: no such target" >&2; status=1; continue; }
  corpus=build/fuzz/corpus/$name seeds=tests/fuzz/seeds/$name crashes=build/fuzz/crashes/$name
  mkdir -p "$corpus" "$crashes"
  if [ $minimise = 1 ]; then
    # A small set of inputs that reaches all the kept corpus reaches.
    rm -rf "$seeds.new"; mkdir -p "$seeds.new"
    "$bin" -set_cover_merge=1 -rss_limit_mb=2048 -timeout=10 "$seeds.new" "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) \
      > "build/fuzz/$name.merge.log" 2>&1 || { echo "$name: merge failed" >&2; status=1; continue; }
    rm -rf "$seeds"; mv "$seeds.new" "$seeds"
    echo "$name: $(ls "$seeds" | wc -l) seeds, $(du -sk "$seeds" | cut -f1) KB"
    continue
  fi
  log=build/fuzz/$name.long.log
  # Fork mode goes on after a crash and counts them.
  "$bin" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -max_total_time="$secs" \
    -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$crashes/" "$corpus" \
    $( [ -d "$seeds" ] && echo "$seeds" ) > "$log" 2>&1
  last=$(grep -E '^#[0-9]+: ' "$log" | tail -n 1)
  execs=$(echo "$last" | sed -E 's/^#([0-9]+):.*/\1/')
  corp=$(echo "$last" | sed -nE 's/.* corp: ([0-9]+).*/\1/p')
  crash=$(echo "$last" | sed -nE 's#.*oom/timeout/crash: [0-9]+/[0-9]+/([0-9]+).*#\1#p')
  elapsed=$(echo "$last" | sed -nE 's/.* time: ([0-9]+)s.*/\1/p')
  [ -n "$execs" ] || { echo "$name: no statistics, see $log" >&2; status=1; continue; }
  rate=$(( execs / (${elapsed:-1} > 0 ? ${elapsed:-1} : 1) ))
  printf '%-16s %12s %10s %8s %8s\n' "$name" "$execs" "$rate" "${corp:-?}" "${crash:-?}"
  if [ "${crash:-0}" != 0 ] || ls "$crashes" | grep -q .; then status=1; fi
done
exit $status

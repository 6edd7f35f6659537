#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test:
# unit and decoder conformance (native), black-box tests under Wine,
# unit tests with ASan/UBSan, and short fuzz runs.
set -uo pipefail
cd "$(dirname "$0")"
scripts/setup.sh || exit 1

passed=0 failed=0
tally() {  # reads ctest output, adds its counts
  local log=$1 line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    local total fail
    total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
    fail=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
    passed=$((passed + total - fail)); failed=$((failed + fail))
  fi
}
step() { echo "== $*"; }
# What a failing test said, so that a run's own output tells which check failed.
failures() { grep -A4 -E ': Failure$|^FAIL|[0-9]+: error:' "$1" | head -n 60; }
status=0

step "native build"
scripts/build.sh native || exit 1
step "win32 build"
scripts/build.sh win32 || exit 1
# The tests' own Wine prefix (see scripts/wine-run.sh).
export CORVELLA_WINEPREFIX=$PWD/build/wineprefix-tests CORVELLA_NO_CRASH_DIALOG=1
. scripts/wine-env.sh
if [ "$CORVELLA_WIN" = win64 ]; then
  # Said aloud: what runs under Wine here is the 64-bit build of the same sources.
  echo "This kernel runs no 32-bit code: the tests under Wine run the 64-bit build (build/win64) under 64-bit Wine."
  step "win64 build"
  scripts/build.sh win64 || exit 1
fi
corvella_wine_up || exit 1
step "unit and conformance tests"
ctest --test-dir build/native -L 'unit|conformance' --output-on-failure -j2 > build/native-tests.log 2>&1 || status=1
grep -E '\*\*\*|tests passed|tests FAILED' build/native-tests.log | grep -v '^ *[0-9]*/[0-9]* Test.*Passed'; tally build/native-tests.log
grep -q 'tests FAILED' build/native-tests.log && failures build/native-tests.log
ctest --test-dir build/native -L conformance -V 2>/dev/null | grep -oE '[^ /]+\.(bit|mp3): max .*' || true

step "black-box tests under Wine"
scripts/make_samples.sh || exit 1
ctest --test-dir "build/$CORVELLA_WIN" -L wine --output-on-failure > build/wine-tests.log 2>&1 || status=1
grep -E '\*\*\*|tests passed|tests FAILED' build/wine-tests.log; tally build/wine-tests.log
grep -q 'tests FAILED' build/wine-tests.log && failures build/wine-tests.log

step "soak under Wine (two minutes)"
# Runs beside the test runner, whose time limit is for shorter tests.
if CORVELLA_SOAK=short scripts/wine-run.sh "build/$CORVELLA_WIN/tests/wine/wine_tests.exe" --gtest_filter='SoakBox.*' \
     > build/soak.log 2>&1 && grep -q '^\[  PASSED  \] 1 test' build/soak.log; then
  echo "soak: ok ($(grep -oE '[0-9]+ songs in [0-9]+ s' build/soak.log))"
  passed=$((passed + 1))
else
  echo "soak: FAILED (build/soak.log)"; grep -E 'Failure|Expected|Which is|songs [0-9]+ to' build/soak.log | head -n 30
  failed=$((failed + 1)); status=1
fi

step "unit tests with ASan and UBSan"
scripts/build.sh asan || exit 1
ctest --test-dir build/asan -L unit --output-on-failure -j2 > build/asan-tests.log 2>&1 || status=1
grep -E '\*\*\*|tests passed|tests FAILED' build/asan-tests.log; tally build/asan-tests.log

step "fuzz targets (short runs)"
scripts/build.sh fuzz || exit 1
secs=${FUZZ_SECONDS:-15}
for f in build/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=build/fuzz/corpus/$name; mkdir -p "$corpus"
  seeds=tests/fuzz/seeds/$name
  if "$f" -max_total_time="$secs" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) > "build/fuzz/$name.log" 2>&1; then
    echo "fuzz $name: ok ($(grep -oE 'stat::number_of_executed_units: [0-9]+' "build/fuzz/$name.log" | awk '{print $2}') runs)"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED (build/fuzz/$name.log)"; tail -n 30 "build/fuzz/$name.log"
    failed=$((failed + 1)); status=1
  fi
done

echo "$passed passed, $failed failed"
exit $status

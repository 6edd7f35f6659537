#!/usr/bin/env bash
# Configures (once) and builds one preset: native, win32, asan or fuzz.
# Quiet on success (warnings are shown); the whole log on failure.
set -uo pipefail
cd "$(dirname "$0")/.."
preset=${1:?preset}
mkdir -p build
log=build/$preset-build.log
if [ ! -f "build/$preset/build.ninja" ]; then
  if ! cmake --preset "$preset" > "$log" 2>&1; then
    cat "$log"
    exit 1
  fi
fi
if ! cmake --build "build/$preset" -j2 > "$log" 2>&1; then
  cat "$log"
  echo "build of $preset failed" >&2
  exit 1
fi
grep -E 'warning:' "$log" | head -n 20 || true
exit 0

#!/usr/bin/env bash
# Configures (once) and builds one preset: native, win32, asan or fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:?preset}
if [ ! -f "build/$preset/build.ninja" ]; then
  cmake --preset "$preset" >/dev/null
fi
cmake --build "build/$preset" -j2 | grep -vE '^\[[0-9]+/[0-9]+\] (Building|Linking|Re-checking|Generating)|^ninja: no work to do' || true
exit "${PIPESTATUS[0]}"

#!/usr/bin/env bash
# Runs a Windows program under the project's Wine set-up (used by ctest as the emulator).
# Tests get a Wine prefix of their own: they write settings files that the
# player started by run.sh must not meet.
export CORVELLA_WINEPREFIX=${CORVELLA_WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix-tests}
export CORVELLA_NO_CRASH_DIALOG=1
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
corvella_wine_up >/dev/null 2>&1 || exit 1
exec wine "$@"

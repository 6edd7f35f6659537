#!/usr/bin/env bash
# Runs a Windows program under the project's Wine set-up (used by ctest as the emulator).
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
corvella_wine_up >/dev/null 2>&1 || exit 1
exec wine "$@"

#!/usr/bin/env bash
# Sets up what is missing, builds, and starts Corvella (under Wine on Linux).
#   ./run.sh [files, directories, a song-name file, /close ...]
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh win32
. scripts/wine-env.sh
corvella_wine_up
args=()
for a in "$@"; do
  # Paths of this machine become Wine paths; options and Windows paths stay.
  if [ "${a#/}" != "$a" ] && [ -e "$a" ]; then
    args+=("$(winepath -w "$a" 2>/dev/null)")
  else
    args+=("$a")
  fi
done
exec wine build/win32/corvella.exe "${args[@]}"

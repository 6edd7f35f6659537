#!/usr/bin/env bash
# Drives the player that ./run.sh started, from a Linux shell: runs
# corvellactl under the same Wine prefix, display and locale.
#   ./ctl.sh status | play | pause | stop | next | previous | quit | add FILE... | --help
# Paths of this machine given to add become Wine paths.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
session=$here/build/run.env

case "${1:-}" in
  ""|help|--help|-h|"/?") running=maybe ;;
  *) running=yes ;;
esac
if [ -f "$session" ]; then
  # shellcheck source=/dev/null
  . "$session"
fi
if [ -z "${WINEPREFIX:-}" ]; then
  export CORVELLA_ROOT=$here
  . "$here/scripts/wine-env.sh"
fi
ctl=$here/build/${CORVELLA_WIN:-win32}/corvellactl.exe
if [ ! -f "$ctl" ]; then
  echo "ctl.sh: corvellactl is not built yet; start the player with ./run.sh first" >&2
  exit 1
fi
if [ "$running" = yes ] &&
   { [ -z "${CORVELLA_PLAYER_PID:-}" ] || ! kill -0 "$CORVELLA_PLAYER_PID" 2>/dev/null; }; then
  echo "ctl.sh: Corvella is not running (start it with ./run.sh)" >&2
  exit 1
fi
args=()
for a in "$@"; do
  if [ "${1:-}" = add ] && [ ${#args[@]} -gt 0 ] && [ -e "$a" ]; then
    args+=("$(winepath -w "$(realpath "$a")" 2>/dev/null)")
  else
    args+=("$a")
  fi
done
exec wine "$ctl" "${args[@]}"

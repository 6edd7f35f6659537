#!/usr/bin/env bash
# Sets up what is missing, builds, and starts Corvella (under Wine on Linux).
#   ./run.sh [files, directories, a song-name file, /close ...]
# With no arguments and no saved list yet, it starts with the sample songs.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh win32
scripts/make_samples.sh
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

# The first start (no arguments, no list saved at the last exit, no list to
# load at start) begins with the sample songs playing. They are handed over
# through the control message rather than the command line, so the list is
# an ordinary one: kept at exit, and resumed next time like any other.
first_start() {
  [ $# -eq 0 ] && [ ! -e temp.snf ] || return 1
  local ini
  for ini in "$WINEPREFIX/drive_c/windows/corvella.ini" \
             "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Corvella/corvella.ini; do
    [ -f "$ini" ] || continue
    # An auto-load list takes the place of the saved one.
    if tr -d '\r' < "$ini" | grep -qx 'INITLOAD=ON' &&
       tr -d '\r' < "$ini" | grep -q '^INITLOADFILE=.'; then
      return 1
    fi
  done
  return 0
}

if ! first_start "$@"; then
  exec wine build/win32/corvella.exe "${args[@]}"
fi
wine build/win32/corvella.exe &
player=$!
ctl() { wine build/win32/corvellactl.exe "$@" >/dev/null 2>&1 </dev/null; }
# The player answers the control message once its start-up is done.
for _ in $(seq 1 150); do
  ctl state && break
  kill -0 $player 2>/dev/null || break
  sleep 0.2
done
samples=()
for f in tune.mid song.mp3 clip.avi picture.jpg song.wav tone.wav; do
  [ -f "build/samples/$f" ] && samples+=("$(winepath -w "$PWD/build/samples/$f" 2>/dev/null)")
done
if [ ${#samples[@]} -gt 0 ] && ctl add "${samples[@]}"; then ctl play || true; fi
wait $player

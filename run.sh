#!/usr/bin/env bash
# Sets up what is missing, builds, and starts Corvella (under Wine on Linux).
#   ./run.sh [files, directories, a song-name file, /close ...]
# With no arguments and no saved list yet, it starts with the sample songs.
# Where a D-Bus session bus exists, corvella-mpris puts the player on it for
# the desktop's media keys and playerctl; ./ctl.sh drives it from a shell.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh win32
scripts/make_samples.sh
# The desktop's session bus, found before the sound set-up may move
# XDG_RUNTIME_DIR to a directory of its own.
session_bus=${DBUS_SESSION_BUS_ADDRESS:-}
if [ -z "$session_bus" ] && [ -n "${XDG_RUNTIME_DIR:-}" ] && [ -S "$XDG_RUNTIME_DIR/bus" ]; then
  session_bus=unix:path=$XDG_RUNTIME_DIR/bus
fi
bridge_built() {
  [ -n "$session_bus" ] || return 1
  mkdir -p build
  if [ ! -f build/native/build.ninja ]; then
    cmake --preset native > build/mpris-build.log 2>&1 || return 1
  fi
  # A tree configured before sdbus-c++ was installed learns of it anew.
  cmake --build build/native --target corvella-mpris -j2 >> build/mpris-build.log 2>&1 ||
    { cmake build/native >> build/mpris-build.log 2>&1 &&
      cmake --build build/native --target corvella-mpris -j2 >> build/mpris-build.log 2>&1; } ||
    { echo "run.sh: corvella-mpris did not build (build/mpris-build.log); no media keys" >&2; return 1; }
}
have_bridge=0
bridge_built && have_bridge=1
. scripts/wine-env.sh
# Where the kernel runs no 32-bit code, the 64-bit build of the same sources runs.
[ "$CORVELLA_WIN" = win32 ] || scripts/build.sh "$CORVELLA_WIN"
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

first=0
first_start "$@" && first=1
if [ $first = 1 ]; then
  wine "build/$CORVELLA_WIN/corvella.exe" &
else
  wine "build/$CORVELLA_WIN/corvella.exe" "${args[@]}" &
fi
player=$!
# What ./ctl.sh needs to reach this player: its Wine set-up and process.
{
  for v in WINEPREFIX WINEARCH WINELOADER CORVELLA_WIN PATH WINEDEBUG WINEDLLOVERRIDES LANG LC_ALL DISPLAY XDG_RUNTIME_DIR; do
    if [ -n "${!v:-}" ]; then printf 'export %s=%q\n' "$v" "${!v}"; fi
  done
  printf 'CORVELLA_PLAYER_PID=%s\n' "$player"
} > build/run.env
bridge=
cleanup() {
  if [ -n "$bridge" ]; then kill "$bridge" 2>/dev/null || true; fi
  # Only this run's own file: another run may have started since.
  if [ -f build/run.env ] && grep -qx "CORVELLA_PLAYER_PID=$player" build/run.env; then rm -f build/run.env; fi
}
trap cleanup EXIT
if [ $have_bridge = 1 ]; then
  # One long-lived control process serves every call; the bridge ends with the player.
  DBUS_SESSION_BUS_ADDRESS=$session_bus build/native/corvella-mpris -- \
    wine "build/$CORVELLA_WIN/corvellactl.exe" serve </dev/null &
  bridge=$!
fi
if [ $first = 0 ]; then
  status=0
  wait $player || status=$?
  exit $status
fi
ctl() { wine "build/$CORVELLA_WIN/corvellactl.exe" "$@" >/dev/null 2>&1 </dev/null; }
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
status=0
wait $player || status=$?
exit $status

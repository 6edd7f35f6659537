#!/usr/bin/env bash
# The player on a private D-Bus session bus through corvella-mpris, driven
# with playerctl and dbus-send as a desktop would: play, pause, next, stop,
# status, metadata, the enabling rules, PropertiesChanged on a song change,
# how fast a call answers, and the bridge's end with the player's.
#   mpris_test.sh SOURCE_DIR WIN32_BUILD_DIR NATIVE_BUILD_DIR
set -uo pipefail
if [ -z "${CORVELLA_IN_TEST_BUS:-}" ]; then
  export CORVELLA_IN_TEST_BUS=1
  exec dbus-run-session -- "$0" "$@"
fi
src=$1 bin=$2 native=$3
work=$bin/tests/mpris
bridge_exe=$native/corvella-mpris
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
die() { echo "FAIL: $*"; exit 1; }

if [ ! -x "$bridge_exe" ]; then
  cmake --build "$native" --target corvella-mpris -j2 >/dev/null 2>&1 || die "corvella-mpris is not built"
fi
export CORVELLA_WINEPREFIX=${CORVELLA_WINEPREFIX:-$src/build/wineprefix-tests} CORVELLA_NO_CRASH_DIALOG=1
export CORVELLA_ROOT=$src
bus=$DBUS_SESSION_BUS_ADDRESS
. "$src/scripts/wine-env.sh"
corvella_wine_up >/dev/null 2>&1 || die "Wine set-up"
export DBUS_SESSION_BUS_ADDRESS=$bus

# Without a session bus the bridge does not start (and starts nothing).
out=$(env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR=/nonexistent "$bridge_exe" -- false 2>&1)
rc=$?
[ $rc -eq 0 ] && grep -q 'no D-Bus session bus' <<< "$out" || fail "without a bus: rc $rc, $out"

rm -rf "$work"
mkdir -p "$work"
# Two songs long enough not to end during the test; the second name is
# Japanese, so the name travels through every conversion on the way.
cp "$src/build/samples/minute.mp3" "$work/a first.mp3" || die "samples missing (scripts/make_samples.sh)"
cp "$src/build/samples/minute.mp3" "$work/b 二曲目.mp3"
rm -f "$WINEPREFIX/drive_c/windows/corvella.ini" "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Corvella/corvella.ini

player= bridge= monitor=
cleanup() {
  for p in $monitor $bridge $player; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
}
trap cleanup EXIT
(cd "$work" && exec wine "$bin/corvella.exe") </dev/null >/dev/null 2>&1 &
player=$!
ctl() { wine "$bin/corvellactl.exe" "$@" </dev/null 2>/dev/null; }
for _ in $(seq 1 150); do ctl state >/dev/null && break; sleep 0.2; done
ctl add "$(winepath -w "$work/a first.mp3")" "$(winepath -w "$work/b 二曲目.mp3")" || die "corvellactl add"

"$bridge_exe" -- wine "$bin/corvellactl.exe" serve 2> "$work/bridge.log" &
bridge=$!
pc() { playerctl -p corvella "$@" 2>&1; }
get() {  # one property of the player interface, as dbus-send prints its value
  dbus-send --session --print-reply=literal --dest=org.mpris.MediaPlayer2.corvella /org/mpris/MediaPlayer2 \
    org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player "string:$1" 2>&1 | xargs
}
call() {
  dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.corvella /org/mpris/MediaPlayer2 "$@" >/dev/null 2>&1
}
# Waits up to 3 s for a command's output to become the wanted text.
expect() {
  local want=$1 got=
  shift
  for _ in $(seq 1 30); do
    got=$("$@")
    [ "$got" = "$want" ] && return 0
    sleep 0.1
  done
  fail "$*: got '$got', wanted '$want'"
}
for _ in $(seq 1 300); do playerctl -l 2>/dev/null | grep -qx corvella && break; sleep 0.2; done
playerctl -l 2>/dev/null | grep -qx corvella || die "no MPRIS player on the bus ($(cat "$work/bridge.log"))"

dbus-monitor --session "type='signal',path='/org/mpris/MediaPlayer2',member='PropertiesChanged'" \
  > "$work/signals.log" 2>&1 &
monitor=$!
sleep 0.5

expect Stopped pc status
expect "variant boolean true" get CanPlay
expect "variant boolean false" get CanPause        # nothing plays yet
# Refused by the enabling rules: nothing happens, and no error (playerctl
# itself would not even call, so the methods are called directly).
call org.mpris.MediaPlayer2.Player.Pause || fail "Pause while stopped returned an error"
expect Stopped pc status
pc play; expect Playing pc status
expect "a first.mp3" pc metadata xesam:title
expect "file://$(sed 's/ /%20/g' <<< "$work")/a%20first.mp3" pc metadata xesam:url
len=$(pc metadata mpris:length)
[ "${len:-0}" -gt 60000000 ] 2>/dev/null && [ "$len" -lt 70000000 ] || fail "mpris:length $len (a 65 s song)"
expect "variant boolean true" get CanGoNext
pc pause; expect Paused pc status
call org.mpris.MediaPlayer2.Player.Pause || fail "Pause while paused"
expect Paused pc status                     # Pause does not resume
pc play; expect Playing pc status
pc play-pause; expect Paused pc status
pc play-pause; expect Playing pc status

pc next
expect "b 二曲目.mp3" pc metadata xesam:title
expect Playing pc status
expect "variant boolean false" get CanGoNext        # the last entry, no repeat
call org.mpris.MediaPlayer2.Player.Next || fail "Next at the end returned an error"
sleep 0.5
expect "b 二曲目.mp3" pc metadata xesam:title
sleep 0.5
grep -q 'b 二曲目.mp3' "$work/signals.log" || fail "no PropertiesChanged with the new song's title"
grep -q 'string "Paused"' "$work/signals.log" || fail "no PropertiesChanged for pausing"

# How long a call takes, seen from a client: Play while playing asks the
# player its state through the control process (and then does nothing);
# Position is the last poll's carried forward.
worst=0 total=0 n=20
for _ in $(seq 1 $n); do
  t0=$(date +%s%N)
  call org.mpris.MediaPlayer2.Player.Play
  ms=$(( ($(date +%s%N) - t0) / 1000000 ))
  total=$((total + ms)); [ $ms -gt $worst ] && worst=$ms
done
echo "MPRIS Play while playing: mean $((total / n)) ms, worst $worst ms over $n calls"
[ $worst -lt 200 ] || fail "a Play call took $worst ms"
expect Playing pc status
worst=0 total=0
for _ in $(seq 1 $n); do
  t0=$(date +%s%N)
  get Position > /dev/null
  ms=$(( ($(date +%s%N) - t0) / 1000000 ))
  total=$((total + ms)); [ $ms -gt $worst ] && worst=$ms
done
echo "MPRIS Get Position: mean $((total / n)) ms, worst $worst ms over $n calls"
[ $worst -lt 200 ] || fail "a Position call took $worst ms"
# The floor: a property the bridge answers without asking the player.
floor=0
for _ in $(seq 1 $n); do
  t0=$(date +%s%N)
  get CanControl > /dev/null
  floor=$((floor + ($(date +%s%N) - t0) / 1000000))
done
echo "dbus-send alone (CanControl): mean $((floor / n)) ms"
pos=$(get Position | awk '{print $3}')
[ "${pos:-0}" -gt 0 ] 2>/dev/null || fail "Position $pos while playing"
t0=$(date +%s%N)
call org.mpris.MediaPlayer2.Player.Pause
echo "MPRIS Pause call: $(( ($(date +%s%N) - t0) / 1000000 )) ms"
expect Paused pc status
t0=$(date +%s%N)
call org.mpris.MediaPlayer2.Player.Previous
echo "MPRIS Previous call: $(( ($(date +%s%N) - t0) / 1000000 )) ms"
expect "a first.mp3" pc metadata xesam:title

pc stop; expect Stopped pc status

# Quit ends the player, and the bridge with it.
call org.mpris.MediaPlayer2.Quit || fail "Quit"
for _ in $(seq 1 100); do kill -0 $player 2>/dev/null || break; sleep 0.2; done
kill -0 $player 2>/dev/null && fail "the player did not end on Quit"
for _ in $(seq 1 50); do kill -0 $bridge 2>/dev/null || break; sleep 0.2; done
kill -0 $bridge 2>/dev/null && fail "the bridge outlived the player"
playerctl -l 2>/dev/null | grep -qx corvella && fail "the name stayed on the bus"
[ $failures -eq 0 ] && echo "mpris: ok"
exit $((failures > 0))

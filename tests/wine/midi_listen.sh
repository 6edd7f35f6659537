#!/usr/bin/env bash
# Listens to the player: runs the Wine test that plays a MIDI song with the
# player's sound sent to a null sink of its own (so nothing else playing on
# this sound server counts), records two seconds of that sink while the test
# says the song plays, and hands the test the level (RMS) sox measured.
# Usage: midi_listen.sh wine_tests.exe
set -uo pipefail
tests=${1:?wine_tests.exe}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export CORVELLA_WINEPREFIX=${CORVELLA_WINEPREFIX:-$root/build/wineprefix-tests}
export CORVELLA_NO_CRASH_DIALOG=1
. "$root/scripts/wine-env.sh"
corvella_wine_up >/dev/null 2>&1 || { echo "midi_listen: Wine did not come up" >&2; exit 1; }
sink=corvella_listen_$$
module=$(pactl load-module module-null-sink sink_name=$sink) || { echo "midi_listen: no sink" >&2; exit 1; }
dir=$(mktemp -d)
cleanup() { pactl unload-module "$module" 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
PULSE_SINK=$sink CORVELLA_LISTEN_DIR=$dir \
  wine "$tests" --gtest_filter=PlaybackBox.MidiSongSoundsAndMovesWithoutAMidiOutput </dev/null &
test=$!
for _ in $(seq 1 300); do
  [ -f "$dir/playing" ] && break
  kill -0 $test 2>/dev/null || break
  sleep 0.1
done
if [ -f "$dir/playing" ]; then
  # parecord takes a moment to connect: record a little longer, measure 2 s.
  timeout 3.5 parecord --raw --format=s16le --rate=44100 --channels=2 -d "$sink.monitor" "$dir/rec.raw"
  rms=$(sox -t raw -r 44100 -e signed -b 16 -c 2 "$dir/rec.raw" -n trim 0 2 stat 2>&1 |
        sed -n 's/^RMS *amplitude: *//p')
  secs=$(awk -v b="$(stat -c %s "$dir/rec.raw")" 'BEGIN { printf "%.1f", b / 176400 }')
  echo "midi_listen: recorded ${secs} s from $sink.monitor, RMS ${rms:-none}"
  echo "${rms:-0}" > "$dir/level.tmp" && mv "$dir/level.tmp" "$dir/level"
fi
wait $test

#!/usr/bin/env bash
# The GStreamer that Wine's MPEG device uses has its FluidSynth
# element, and the element finds a General MIDI SoundFont by itself: a tune
# rendered through it is not silent.
set -uo pipefail
tune=${1:?tune.mid}
fail() { echo "midi_synth_check: $*" >&2; exit 1; }
# The GStreamer of the Wine that runs here: 64-bit where the kernel runs no 32-bit code.
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
if [ "$CORVELLA_WIN" = win64 ]; then libdir=x86_64-linux-gnu; else libdir=i386-linux-gnu; fi
command -v gst-inspect-1.0 >/dev/null || fail "gst-inspect-1.0 missing (gstreamer1.0-tools)"
info=$(gst-inspect-1.0 fluiddec 2>&1) || fail "no fluiddec element: $info"
file=$(sed -n 's/^ *Filename *//p' <<<"$info")
echo "fluiddec: $file"
case $file in */$libdir/*) ;; *) fail "fluiddec is not the plugin Wine loads ($libdir): $file" ;; esac
out=$(mktemp --suffix=.wav)
trap 'rm -f "$out"' EXIT
log=$(GST_DEBUG=fluiddec:5 gst-launch-1.0 -q filesrc location="$tune" ! midiparse ! fluiddec \
      ! audioconvert ! wavenc ! filesink location="$out" 2>&1) || fail "pipeline failed: $(grep -m1 "^ERROR" <<<"$log")"
font=$(grep -o 'loaded soundfont file [^ ]*' <<<"$log" | head -n 1 | sed 's/\x1b\[[0-9;]*m//g')
[ -n "$font" ] || fail "no SoundFont loaded"
echo "$font"
rms=$(sox "$out" -n stat 2>&1 | sed -n 's/^RMS *amplitude: *//p')
echo "RMS $rms"
awk -v r="$rms" 'BEGIN { exit !(r > 0.003) }' || fail "rendered tune is silent (RMS $rms)"

#!/usr/bin/env bash
# Takes the manual's pictures from the running program under Wine, in a Wine
# prefix of their own so that the user's settings neither shape nor suffer
# from them, and writes them small (palette PNG) into help/images/.
#   scripts/manual_pictures.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh win32
scripts/make_samples.sh
export CORVELLA_WINEPREFIX=${CORVELLA_PICTURES_PREFIX:-$PWD/build/wineprefix-pictures}
work=$(mktemp -d)
# A display of its own: nothing else's windows in the pictures.
xvfb=
for n in $(seq 180 199); do
  if [ ! -e /tmp/.X$n-lock ]; then
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=:$n
    break
  fi
done
[ -n "$xvfb" ] || { echo "manual_pictures: no free display" >&2; exit 1; }
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
. scripts/wine-env.sh
corvella_wine_up
out=help/images
mkdir -p "$out"

# The same start every time: window and pod where the pictures want them.
printf '[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nX=40\r\nY=40\r\nW=520\r\nH=330\r\nINTERVAL=0\r\nCONTROLPAD=ON\r\nPX=620\r\nPY=40\r\n' \
  > "$WINEPREFIX/drive_c/windows/corvella.ini"

# The songs from a folder such as a user has, not from the build tree.
music="$WINEPREFIX/drive_c/音楽"
mkdir -p "$music"
songs=()
for f in short.wav song.mp3 song.wav tone.wav tune.mid clip.avi; do
  cp "build/samples/$f" "$music/$f"
  songs+=("C:\\音楽\\$f")
done
exe=$PWD/build/win32/corvella.exe
(cd "$work" && wine "$exe" >/dev/null 2>&1 </dev/null) &
player=$!
ctl() { wine build/win32/corvellactl.exe "$@" >/dev/null 2>&1 </dev/null; }
for _ in $(seq 1 150); do ctl state && break; sleep 0.2; done
ctl add "${songs[@]}"
ctl play
sleep 2.5   # into the second song, so the caption shows it playing

# Top-level X windows of the player: the pod by its title, the frame as the
# largest of the others.
windows() { xwininfo -root -tree | grep 'corvella.exe' | grep -v 'Default IME'; }
pod_id() { windows | awk '/"Corvella":/ { print $1; exit }'; }
frame_id() {
  windows | grep -v '"Corvella":' |
    sed -E 's/^ *(0x[0-9a-f]+) .* ([0-9]+)x([0-9]+)\+.*/\1 \2 \3/' |
    awk '{ if ($2 * $3 > best) { best = $2 * $3; id = $1 } } END { print id }'
}
shoot() {
  local id=$1 name=$2
  [ -n "$id" ] || { echo "manual_pictures: no window for $name" >&2; return 1; }
  import -window "$id" "$work/$name"
  convert "$work/$name" -strip -colors 128 "PNG8:$out/$name"
}
shoot "$(frame_id)" main.png
shoot "$(pod_id)" pod.png
ctl clear
wineserver -k || true
wait $player 2>/dev/null || true
ls -l "$out"

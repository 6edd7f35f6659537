#!/usr/bin/env bash
# The Windows build of the decoder (i686, SSE2) must write exactly the same
# samples as the native one: both run on every test bitstream and LAME file.
# Usage: i686_identical.sh NATIVE_MP3DEC WIN32_MP3DEC.EXE VECTOR_DIR [MP3_DIR...]
set -u
native=$1 win=$2 vectors=$3
shift 3
extra=()
for dir in "$@"; do extra+=("$dir"/*.mp3); done
here=$(cd "$(dirname "$0")/../.." && pwd)
# Where the kernel runs no 32-bit code, the 64-bit Windows build is the one
# Wine can run; it is held to the same bytes.
CORVELLA_WINEPREFIX=${CORVELLA_WINEPREFIX:-$here/build/wineprefix-tests}
. "$here/scripts/wine-env.sh" 2>/dev/null
if [ "$CORVELLA_WIN" = win64 ]; then
  win=$(dirname "$(dirname "$win")")/win64/$(basename "$win")
  echo "this kernel runs no 32-bit code: comparing the 64-bit Windows build, $win"
fi
if [ ! -f "$win" ]; then
  echo "no Windows build at $win (build the win32 preset first)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0 count=0
for f in "$vectors"/*.bit "${extra[@]}"; do
  [ -f "$f" ] || continue
  name=$(basename "$f")
  "$native" --raw "$f" "$work/native.pcm" >/dev/null 2>&1
  "$here/scripts/wine-run.sh" "$win" --raw "$(winepath -w "$f" 2>/dev/null)" \
    "$(winepath -w "$work/win.pcm" 2>/dev/null)" >/dev/null 2>&1
  if cmp -s "$work/native.pcm" "$work/win.pcm"; then
    echo "$name: identical ($(stat -c %s "$work/native.pcm") bytes)"
  else
    echo "$name: DIFFERENT"
    status=1
  fi
  count=$((count + 1))
  rm -f "$work/native.pcm" "$work/win.pcm"
done
[ "$count" -gt 0 ] || { echo "no inputs"; exit 1; }
exit $status

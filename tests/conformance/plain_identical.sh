#!/usr/bin/env bash
# The decoder built with only the plain forms of its inner loops must write
# exactly the bytes of the usual build, whose vector forms were chosen at
# compile time (SSE2) or are picked at run time (AVX).
# Usage: plain_identical.sh MP3DEC PLAIN_MP3DEC VECTOR_DIR [MP3_DIR...]
set -u
usual=$1 plain=$2 vectors=$3
shift 3
extra=()
for dir in "$@"; do extra+=("$dir"/*.mp3); done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0 count=0
for f in "$vectors"/*.bit "${extra[@]}"; do
  [ -f "$f" ] || continue
  "$usual" --raw "$f" "$work/usual.pcm" >/dev/null 2>&1
  "$plain" --raw "$f" "$work/plain.pcm" >/dev/null 2>&1
  if ! cmp -s "$work/usual.pcm" "$work/plain.pcm"; then
    echo "$(basename "$f"): DIFFERENT"
    status=1
  fi
  count=$((count + 1))
done
echo "$count files compared"
[ "$count" -gt 0 ] || exit 1
exit $status

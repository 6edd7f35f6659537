#!/usr/bin/env bash
# Makes the small media files the demo and the black-box tests play:
# a tone (WAV), a tune (standard MIDI file), a clip (AVI in MS Video 1, which
# Wine decodes itself), a song (MP3), a minute-long MP3 at 128 kbit/s and a
# large (about 10 MB) VBR MP3 for the timing figures; MPEG audio Layer II songs
# and an MPEG-1 film with Layer II sound, which play through the media device;
# and one-second songs of each kind for the long runs; a film with sound
# and a 20-second tone. Written to build/samples/.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/samples
mkdir -p "$out"
# A still picture in four plain colours (red, green / blue, yellow) and a
# short QuickTime film, made when missing.
if [ ! -f "$out/picture.jpg" ]; then
  convert -size 80x60 xc:'#ff0000' xc:'#00ff00' +append \
    \( -size 80x60 xc:'#0000ff' xc:'#ffff00' +append \) -append -quality 95 "$out/picture.jpg"
fi
if [ ! -f "$out/film.mov" ]; then
  ffmpeg -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=10:duration=3 \
    -c:v mjpeg -q:v 3 "$out/film.mov"
fi
if [ ! -f "$out/.done-v3" ]; then
sox -q -n -r 22050 -c 2 -b 16 "$out/tone.wav" synth 3 sine 440 vol 0.5
sox -q -n -r 22050 -c 1 -b 16 "$out/short.wav" synth 1 sine 660 vol 0.5
sox -q -n -r 44100 -c 2 -b 16 "$out/song.wav" synth 4 sine 330 sine 550 vol 0.4
lame --quiet -b 128 "$out/song.wav" "$out/song.mp3"
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=10:duration=3 \
  -c:v msvideo1 -pix_fmt rgb555le "$out/clip.avi"
python3 - "$out/tune.mid" <<'PY'
import struct, sys
# A short tune: format 0, one track, with a title (FF 03).
notes = [60, 62, 64, 65, 67, 65, 64, 62, 60]
ev = bytearray()
title = "Corvella test tune".encode()
ev += b"\x00\xff\x03" + bytes([len(title)]) + title
ev += b"\x00\xc0\x00"
for n in notes:
    ev += b"\x00\x90" + bytes([n, 100]) + b"\x81\x00\x80" + bytes([n, 0])
ev += b"\x00\xff\x2f\x00"
data = b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(ev)) + ev
open(sys.argv[1], "wb").write(data)
PY
sox -q -n -r 44100 -c 2 -b 16 "$out/minute.wav" synth 65 pinknoise vol 0.3
lame --quiet -b 128 "$out/minute.wav" "$out/minute.mp3"
# Noise is what VBR spends most bits on: about 10 MB in a few minutes.
sox -q -n -r 44100 -c 2 -b 16 "$out/large.wav" synth 440 whitenoise vol 0.5
lame --quiet -V 0 "$out/large.wav" "$out/large-vbr.mp3"
rm -f "$out/minute.wav" "$out/large.wav"
touch "$out/.done-v3"
fi
ff() { ffmpeg -loglevel error -y "$@"; }
# A film with a sound track (PCM), and a long tone for the response times.
if [ ! -f "$out/.done-sound" ]; then
  ff -f lavfi -i testsrc=size=160x120:rate=10:duration=8 \
    -f lavfi -i sine=frequency=700:duration=8:sample_rate=22050 \
    -c:v msvideo1 -pix_fmt rgb555le -c:a pcm_s16le -ac 1 "$out/sound.avi"
  sox -q -n -r 22050 -c 1 -b 16 "$out/long.wav" synth 20 sine 400 vol 0.4
  touch "$out/.done-sound"
fi
[ -f "$out/.done-mpeg" ] && exit 0
ff -f lavfi -i sine=frequency=440:duration=4:sample_rate=44100 -ac 2 -c:a mp2 -b:a 128k "$out/song.mp2"
ff -f lavfi -i sine=frequency=880:duration=0.6:sample_rate=44100 -ac 2 -c:a mp2 -b:a 128k "$out/blip.mp2"
ff -f lavfi -i testsrc=size=320x240:rate=25:duration=3 \
  -f lavfi -i sine=frequency=550:duration=3:sample_rate=44100 \
  -c:v mpeg1video -b:v 500k -c:a mp2 -ac 2 -b:a 128k -f mpeg "$out/clip.mpg"
# One second of each kind the media device or our decoder plays.
ff -f lavfi -i sine=frequency=500:duration=1:sample_rate=44100 -ac 2 -c:a mp2 -b:a 128k "$out/one.mp2"
sox -q -n -r 44100 -c 2 -b 16 "$out/one.wav" synth 1 sine 600 vol 0.4
lame --quiet -b 128 "$out/one.wav" "$out/one.mp3"
ff -f lavfi -i testsrc=size=160x120:rate=10:duration=1 -c:v msvideo1 -pix_fmt rgb555le "$out/one.avi"
touch "$out/.done-mpeg"

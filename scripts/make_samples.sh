#!/usr/bin/env bash
# Makes the small media files the demo and the black-box tests play:
# a tone (WAV), a tune (standard MIDI file, 18 s), a clip (AVI in MS Video 1, which
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
# The tune: melody, bass, strings and drums, long enough to hear what it is.
if [ ! -f "$out/.done-tune2" ]; then
python3 - "$out/tune.mid" <<'PY'
import struct, sys
# A tune of nine bars at 120 beats a minute (18 s): melody, bass, strings and
# drums, format 1 with the title in the first track.
Q = 480
def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)
def track(events):
    # events: (tick, order, bytes); note-offs sort before note-ons at one tick
    data, now = bytearray(), 0
    for t, _, b in sorted(events, key=lambda e: (e[0], e[1])):
        data += vlq(t - now) + b
        now = t
    data += b"\x00\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + data
def note(ev, ch, start, beats, key, vel):
    ev.append((int(start * Q), 1, bytes([0x90 | ch, key, vel])))
    ev.append((int((start + beats) * Q), 0, bytes([0x80 | ch, key, 0])))
def setup(ch, program, volume):
    return [(0, 0, bytes([0xB0 | ch, 7, volume])), (0, 0, bytes([0xC0 | ch, program]))]
bars = ["C", "G", "Am", "F", "C", "G", "F", "G", "C"]
root = {"C": 48, "G": 43, "Am": 45, "F": 41}
triad = {"C": (60, 64, 67), "G": (59, 62, 67), "Am": (57, 60, 64), "F": (57, 60, 65)}
melody = [[(64, 1), (67, 1), (72, 1), (71, .5), (69, .5)], [(67, 2), (62, 1), (64, .5), (65, .5)],
          [(64, 1), (69, 1), (72, 1), (71, .5), (72, .5)], [(74, 2), (72, 1), (69, 1)],
          [(67, 1), (72, 1), (76, 1), (74, .5), (72, .5)], [(71, 1.5), (67, .5), (74, 2)],
          [(72, 1), (71, 1), (69, 1), (67, .5), (65, .5)], [(67, 1), (71, 1), (74, 1), (71, 1)],
          [(72, 4)]]
title = b"Corvella sample tune"
conductor = [(0, 0, b"\xff\x03" + bytes([len(title)]) + title),
             (0, 0, b"\xff\x51\x03\x07\xa1\x20"), (0, 0, b"\xff\x58\x04\x04\x02\x18\x08")]
lead, bass, pad, drums = setup(0, 73, 110), setup(1, 33, 105), setup(2, 48, 80), [(0, 0, b"\xb9\x07\x6e")]
for i, chord in enumerate(bars):
    b0 = i * 4
    t = b0
    for key, beats in melody[i]:
        note(lead, 0, t, beats * 0.95, key, 100)
        t += beats
    last = i == len(bars) - 1
    for k in triad[chord]:
        note(pad, 2, b0, 4, k, 70)
    if last:
        note(bass, 1, b0, 4, root[chord] - 12, 110)
        note(drums, 9, b0, 2, 36, 120)
        note(drums, 9, b0, 4, 49, 110)
        continue
    for j, step in enumerate((0, 7, 12, 7)):
        note(bass, 1, b0 + j, 0.9, root[chord] - 12 + step, 105)
    for j in range(8):
        note(drums, 9, b0 + j / 2, 0.25, 42, 80 if j % 2 else 95)
    for beat in (0, 2, 2.5):
        note(drums, 9, b0 + beat, 0.25, 36, 120)
    for beat in (1, 3):
        note(drums, 9, b0 + beat, 0.25, 38, 110)
    if i % 4 == 0:
        note(drums, 9, b0, 2, 49, 100)
tracks = [track(conductor), track(lead), track(bass), track(pad), track(drums)]
head = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), Q)
open(sys.argv[1], "wb").write(head + b"".join(tracks))
PY
touch "$out/.done-tune2"
fi
if [ ! -f "$out/.done-v3" ]; then
sox -q -n -r 22050 -c 2 -b 16 "$out/tone.wav" synth 3 sine 440 vol 0.5
sox -q -n -r 22050 -c 1 -b 16 "$out/short.wav" synth 1 sine 660 vol 0.5
sox -q -n -r 44100 -c 2 -b 16 "$out/song.wav" synth 4 sine 330 sine 550 vol 0.4
lame --quiet -b 128 "$out/song.wav" "$out/song.mp3"
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=10:duration=3 \
  -c:v msvideo1 -pix_fmt rgb555le "$out/clip.avi"
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

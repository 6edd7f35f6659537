#!/bin/sh
# Makes the MP3 files that the conformance tests decode with both decoders:
# a test signal at each sampling rate (sweep over noise, clicks that force
# short blocks, two tones, a sharp onset), encoded by LAME in several modes.
# LAME's tag frame is left out (-t) so both decoders see the same frames.
set -e
out="$1"
mkdir -p "$out"
cd "$out"

signal() {  # rate channels name
  sox -n -r "$1" -c 2 -b 16 s1.wav synth 1 sine 200-7000 pinknoise vol 0.5
  sox -n -r "$1" -c 2 -b 16 s2.wav synth 0.01 whitenoise pad 0 0.1 repeat 7 vol 0.8
  sox -n -r "$1" -c 2 -b 16 s3.wav synth 1 sine 440 sine 660 vol 0.7
  sox -n -r "$1" -c 2 -b 16 s4.wav synth 0.5 square 220 sine 3000 pad 0.5 0 vol 0.6
  if [ "$2" = 1 ]; then
    sox s1.wav s2.wav s3.wav s4.wav -c 1 "$3"
  else
    sox s1.wav s2.wav s3.wav s4.wav "$3"
  fi
  rm -f s1.wav s2.wav s3.wav s4.wav
}

for rate in 16000 22050 24000 32000 44100 48000; do
  signal $rate 1 mono$rate.wav
  signal $rate 2 stereo$rate.wav
done

enc() {  # name input lame-options...
  name="$1"; input="$2"; shift 2
  lame -t --quiet "$@" "$input" "$name.mp3"
}

enc mono44_cbr128      mono44100.wav   -m m -b 128
enc stereo44_cbr192    stereo44100.wav -m s -b 192
enc joint44_cbr128     stereo44100.wav -m j -b 128
enc joint44_vbr        stereo44100.wav -m j -V 2
enc joint44_free       stereo44100.wav -m j --freeformat -b 400
enc mono32_cbr96       mono32000.wav   -m m -b 96
enc joint32_vbr        stereo32000.wav -m j -V 4
enc stereo48_cbr320    stereo48000.wav -m s -b 320
enc joint48_vbr        stereo48000.wav -m j -V 0
enc mono24_vbr         mono24000.wav   -m m -V 5
enc joint24_cbr64      stereo24000.wav -m j -b 64
enc joint22_cbr64      stereo22050.wav -m j -b 64
enc stereo22_vbr       stereo22050.wav -m s -V 3
enc joint22_free       stereo22050.wav -m j --freeformat -b 100
enc mono16_cbr32       mono16000.wav   -m m -b 32
enc joint16_cbr48      stereo16000.wav -m j -b 48
# Two songs joined end to end, mono then stereo, each at its own bitrate.
enc part_mono          mono44100.wav   -m m -b 64
enc part_stereo        stereo44100.wav -m j -b 160
cat part_mono.mp3 part_stereo.mp3 > joined44_mono_stereo.mp3
cat part_stereo.mp3 part_mono.mp3 > joined44_stereo_mono.mp3
rm -f part_mono.mp3 part_stereo.mp3
rm -f ./*.wav

#!/usr/bin/env bash
# Installs what building, running and testing need on a Debian 12 machine.
# Quiet and quick when everything is already there.
set -euo pipefail

need_pkgs=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  mingw-w64 g++-mingw-w64-i686 googletest libgtest-dev libbenchmark-dev
  wine wine32:i386 xvfb xauth x11-utils xdotool imagemagick
  pulseaudio pulseaudio-utils libpulse0:i386 libasound2-plugins:i386
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
  gstreamer1.0-plugins-bad:i386 gstreamer1.0-plugins-ugly:i386 gstreamer1.0-libav:i386
  # MIDI songs sound through the bad set's FluidSynth element where no MIDI
  # output exists; it loads the first SoundFont in /usr/share/sounds/sf2.
  # The 32-bit tools inspect the plugins Wine loads.
  timgm6mb-soundfont gstreamer1.0-tools:i386
  locales fonts-ipafont-gothic fonts-ipafont-mincho fonts-wine
  lame libmpg123-dev mpg123 sox ffmpeg python3
  libsdbus-c++-dev dbus dbus-bin playerctl zip unzip
)

# Where the kernel runs no 32-bit code (32-bit emulation off at boot), 32-bit
# Wine cannot start: the tests and run.sh then use the 64-bit build of the
# same sources under 64-bit Wine, with the 64-bit GStreamer it loads. The
# probe is the smallest 32-bit Linux program: it exits with status 42.
kernel_runs_32bit() {
  local probe rc
  probe=$(mktemp)
  printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0\xb8\x01\0\0\0\xbb\x2a\0\0\0\xcd\x80' > "$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null; rc=$?
  rm -f "$probe"
  [ $rc -eq 42 ]
}
if ! kernel_runs_32bit; then
  for i in "${!need_pkgs[@]}"; do
    [ "${need_pkgs[$i]}" = gstreamer1.0-tools:i386 ] && unset 'need_pkgs[i]'
  done
  need_pkgs+=(
    wine64 g++-mingw-w64-x86-64 libpulse0:amd64 libasound2-plugins:amd64
    gstreamer1.0-plugins-base:amd64 gstreamer1.0-plugins-good:amd64 gstreamer1.0-plugins-bad:amd64
    gstreamer1.0-plugins-ugly:amd64 gstreamer1.0-libav:amd64 gstreamer1.0-tools:amd64
  )
fi

missing=()
for p in "${need_pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run as root to install them" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq >/dev/null
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Japanese locale for Wine's ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  else
    echo "setup: ja_JP.UTF-8 locale missing; run as root" >&2
    exit 1
  fi
fi

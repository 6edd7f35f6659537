# Sourced by run.sh, test.sh and the Wine tests: a Wine prefix of our own in
# build/, a Japanese locale, a display (Xvfb when none) and a clock-paced
# PulseAudio null sink when no sound server runs.
# Usage: . scripts/wine-env.sh   (defines CORVELLA_ROOT, WINEPREFIX, DISPLAY, ...)

CORVELLA_ROOT=${CORVELLA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export CORVELLA_ROOT
export WINEPREFIX=${CORVELLA_WINEPREFIX:-$CORVELLA_ROOT/build/wineprefix}
export WINEARCH=win32
# The player is a 32-bit program. Some kernels run no 32-bit code at all
# (32-bit emulation switched off at boot): there 32-bit Wine cannot start, and
# the same sources built for 64 bits (build/win64) run under 64-bit Wine in a
# prefix of its own. CORVELLA_WIN names the build that runs here.
corvella_runs_32bit() {
  [ -x /usr/lib/wine/wine ] || return 0  # not installed yet: say so later, plainly
  /usr/lib/wine/wine --version >/dev/null 2>&1
}
if [ -z "${CORVELLA_WIN:-}" ]; then
  if corvella_runs_32bit || [ ! -x /usr/lib/wine/wine64 ]; then CORVELLA_WIN=win32; else CORVELLA_WIN=win64; fi
fi
export CORVELLA_WIN
if [ "$CORVELLA_WIN" = win64 ]; then
  export WINEPREFIX=$WINEPREFIX-64 WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  # Debian's wine and wine-stable prefer the 32-bit loader whenever it is installed.
  corvella_wine64_bin=$CORVELLA_ROOT/build/wine64-bin
  if [ ! -x "$corvella_wine64_bin/wine-stable" ]; then
    mkdir -p "$corvella_wine64_bin"
    for corvella_w in wine wine-stable; do
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$corvella_wine64_bin/$corvella_w"
      chmod +x "$corvella_wine64_bin/$corvella_w"
    done
  fi
  case ":$PATH:" in *":$corvella_wine64_bin:"*) ;; *) export PATH=$corvella_wine64_bin:$PATH ;; esac
fi
export WINEDEBUG=${WINEDEBUG:--all}
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# Keep Wine from asking to install Mono or Gecko.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

corvella_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in 99 98 97 96 95; do
    if [ -e /tmp/.X11-unix/X$n ] && DISPLAY=:$n xdpyinfo >/dev/null 2>&1; then
      export DISPLAY=:$n; return 0
    fi
  done
  for n in 99 98 97 96 95 94 93 92 91 90; do
    # A lock left by a server that was killed names a process that is gone;
    # Xvfb takes such a number over itself.
    local owner
    owner=$(tr -dc 0-9 < /tmp/.X$n-lock 2>/dev/null)
    if [ ! -e /tmp/.X$n-lock ] || { [ -n "$owner" ] && ! kill -0 "$owner" 2>/dev/null; }; then
      Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      export DISPLAY=:$n
      local i
      for i in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
      echo "wine-env: Xvfb did not start on :$n" >&2
      return 1
    fi
  done
  echo "wine-env: no free display number for Xvfb" >&2
  return 1
}

corvella_start_sound() {
  if pactl info >/dev/null 2>&1; then return 0; fi
  export XDG_RUNTIME_DIR=${CORVELLA_PULSE_DIR:-/tmp/corvella-pulse}
  mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
  if pactl info >/dev/null 2>&1; then return 0; fi
  # A null sink is paced by a clock, so a five-second song takes five seconds.
  pulseaudio --daemonize=yes --exit-idle-time=-1 --system=false --disallow-exit \
    -n --load="module-null-sink sink_name=corvella_null" \
    --load="module-native-protocol-unix" >/dev/null 2>&1 || true
  local i
  for i in $(seq 1 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl set-default-sink corvella_null >/dev/null 2>&1 || true
}

# Debian's Wine looks for its own fonts in a data directory it does not ship
# (../../share/wine beside the multiarch ntdll.so), so a prefix has no Marlett
# and caption buttons draw as the letters "0 1 r". Wine also loads every font
# in the prefix's Fonts folder, so a copy there from fonts-wine mends it. Only
# Marlett: it is a symbol font, so no text anywhere changes its look.
corvella_prefix_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" src=/usr/share/wine/fonts/marlett.ttf
  [ -f "$fonts/marlett.ttf" ] && return 0
  [ -d "$fonts" ] && [ -f "$src" ] || return 0
  cp "$src" "$fonts/marlett.ttf"
}

corvella_init_prefix() {
  if [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.corvella-ready" ]; then
    corvella_prefix_fonts
    return 0
  fi
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # Sound through PulseAudio; no desktop integration prompts.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1 || true
  # Wine draws the captions itself, so screenshots without a window manager show them.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wineserver -w
  if [ -n "${CORVELLA_NO_CRASH_DIALOG:-}" ]; then
    # A crash ends the process at once instead of waiting for a click.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  fi
  corvella_prefix_fonts
  touch "$WINEPREFIX/.corvella-ready"
}

corvella_wine_up() {
  corvella_start_display && corvella_start_sound && corvella_init_prefix || return 1
  # Start the Wine server and services detached from the caller's pipes: a
  # service that inherited a test's output pipe keeps ctest waiting for its end.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

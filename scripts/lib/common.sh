# Shared by scripts/run and scripts/test: paths, building, the Wine prefix and
# the X display. Source it; it sets ROOT, BUILD, UV_WIN (the Windows preset
# that runs here), UV_WINE and WINEPREFIX.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$ROOT/build
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export UV_WINEPREFIX32=${UV_WINEPREFIX32:-$BUILD/wineprefix-win32}
export UV_WINEPREFIX64=${UV_WINEPREFIX64:-$BUILD/wineprefix-win64}

# The shipping files are 32-bit. Some kernels cannot execute 32-bit code at
# all (no IA-32 emulation); there the same sources are tested as a 64-bit
# Windows build under 64-bit Wine.
uv_can_run_i386() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }
if [ -z "${UV_WIN:-}" ]; then
  if uv_can_run_i386; then UV_WIN=win32; else UV_WIN=win64; fi
fi
export UV_WIN
if [ "$UV_WIN" = win32 ]; then
  export WINEARCH=win32 WINEPREFIX=$UV_WINEPREFIX32 UV_WINE=wine UV_WINVER=winxp
else
  export WINEARCH=win64 WINEPREFIX=$UV_WINEPREFIX64 UV_WINE=/usr/lib/wine/wine64 UV_WINVER=winxp64
fi

uv_log() { printf '== %s\n' "$*" >&2; }

uv_build() {
  local preset
  for preset in "$@"; do
    uv_log "build $preset"
    if [ ! -f "$BUILD/$preset/build.ninja" ]; then
      cmake --preset "$preset" -S "$ROOT" >/dev/null || return 1
    fi
    cmake --build --preset "$preset" -j"$(nproc)" || return 1
  done
}

# The prefix is Windows XP (the 64-bit XP where 32-bit code cannot run), made
# once and reused.
uv_wineprefix() {
  if [ -f "$WINEPREFIX/.uv-ready" ]; then return 0; fi
  uv_log "create Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$BUILD"
  timeout 300 "$UV_WINE" wineboot -i >/dev/null 2>&1 || { uv_log "wineboot failed"; return 1; }
  timeout 120 "$UV_WINE" winecfg -v "$UV_WINVER" >/dev/null 2>&1 || { uv_log "winecfg failed"; return 1; }
  timeout 60 wineserver -w
  touch "$WINEPREFIX/.uv-ready"
}

UV_XVFB_PID=
# Starts a private X server and exports its DISPLAY.
uv_xvfb_start() {
  local size=${1:-1280x800x24} n i
  for n in $(seq 90 140); do
    { [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; } && continue
    Xvfb :$n -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
    UV_XVFB_PID=$!
    for i in $(seq 50); do
      [ -e /tmp/.X11-unix/X$n ] && { export DISPLAY=:$n; return 0; }
      sleep 0.1
    done
    kill "$UV_XVFB_PID" 2>/dev/null
  done
  uv_log "could not start Xvfb"; return 1
}

uv_cleanup() {
  WINEPREFIX=$UV_WINEPREFIX32 timeout 30 wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$UV_WINEPREFIX64 timeout 30 wineserver -k >/dev/null 2>&1 || true
  if [ -n "$UV_XVFB_PID" ]; then kill "$UV_XVFB_PID" 2>/dev/null; wait "$UV_XVFB_PID" 2>/dev/null; fi
  UV_XVFB_PID=
}

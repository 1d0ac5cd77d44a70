# Shared by scripts/run and scripts/test: paths, building, the Wine prefixes and
# the X display. Source it; it sets ROOT, BUILD, UV_WIN (the Windows preset
# that runs here), UV_WINE, WINEPREFIX (Windows XP) and UV_WINEPREFIX_LATER
# (Windows 7, for what later systems get); UV_WINEPREFIX_WIN10 (Windows 10, for
# the desktop wallpaper object of Windows 8 and later) is made on demand.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$ROOT/build
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export UV_WINEPREFIX32=${UV_WINEPREFIX32:-$BUILD/wineprefix-win32}
export UV_WINEPREFIX64=${UV_WINEPREFIX64:-$BUILD/wineprefix-win64}
export UV_WINEPREFIX_LATER32=${UV_WINEPREFIX_LATER32:-$BUILD/wineprefix-win32-win7}
export UV_WINEPREFIX_LATER64=${UV_WINEPREFIX_LATER64:-$BUILD/wineprefix-win64-win7}
export UV_WINEPREFIX_WIN10_32=${UV_WINEPREFIX_WIN10_32:-$BUILD/wineprefix-win32-win10}
export UV_WINEPREFIX_WIN10_64=${UV_WINEPREFIX_WIN10_64:-$BUILD/wineprefix-win64-win10}

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
  export UV_WINEPREFIX_LATER=$UV_WINEPREFIX_LATER32 UV_WINEPREFIX_WIN10=$UV_WINEPREFIX_WIN10_32
else
  export WINEARCH=win64 WINEPREFIX=$UV_WINEPREFIX64 UV_WINE=/usr/lib/wine/wine64 UV_WINVER=winxp64
  export UV_WINEPREFIX_LATER=$UV_WINEPREFIX_LATER64 UV_WINEPREFIX_WIN10=$UV_WINEPREFIX_WIN10_64
fi

uv_log() { printf '== %s\n' "$*" >&2; }

# Configures a preset's build folder once. A changed compiler or preset is
# not taken up by an existing cache: such a folder is made again from scratch.
uv_configure() {
  local preset=$1 stamp
  stamp=$(cat "$ROOT/CMakePresets.json" "$ROOT"/cmake/toolchain-*.cmake | sha256sum | cut -c1-16)
  if [ -f "$BUILD/$preset/build.ninja" ] && [ "$(cat "$BUILD/$preset/.uv-config" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "${BUILD:?}/$preset"
  fi
  if [ ! -f "$BUILD/$preset/build.ninja" ]; then
    cmake --preset "$preset" -S "$ROOT" >/dev/null || return 1
    echo "$stamp" > "$BUILD/$preset/.uv-config"
  fi
}

uv_build() {
  local preset
  for preset in "$@"; do
    uv_log "build $preset"
    uv_configure "$preset" || return 1
    cmake --build --preset "$preset" -j"$(nproc)" || return 1
  done
}

# uv_make_prefix PREFIX VERSION: a Wine prefix reporting VERSION, made once
# and reused.
uv_make_prefix() {
  local prefix=$1 version=$2
  if [ -f "$prefix/.uv-ready" ]; then return 0; fi
  uv_log "create Wine prefix $prefix ($version)"
  rm -rf "$prefix"
  mkdir -p "$BUILD"
  WINEPREFIX=$prefix timeout 300 "$UV_WINE" wineboot -i >/dev/null 2>&1 || { uv_log "wineboot failed"; return 1; }
  WINEPREFIX=$prefix timeout 120 "$UV_WINE" winecfg -v "$version" >/dev/null 2>&1 || { uv_log "winecfg failed"; return 1; }
  WINEPREFIX=$prefix timeout 60 wineserver -w
  touch "$prefix/.uv-ready"
}

# The prefix is Windows XP (the 64-bit XP where 32-bit code cannot run).
uv_wineprefix() { uv_make_prefix "$WINEPREFIX" "$UV_WINVER"; }

# The 64-bit Windows XP prefix where 32-bit code runs too: the shipped
# 32-bit files under WoW64 beside a 64-bit desktop shell. Its processes need
# WINEARCH=win64 and the WoW64-capable loader "wine".
uv_wineprefix_wow64() { WINEARCH=win64 UV_WINE=/usr/lib/wine/wine64 uv_make_prefix "$UV_WINEPREFIX64" winxp64; }

# A second prefix reporting Windows 7: no desktop list view is searched for
# there, so the program shows its picture as the wallpaper.
uv_wineprefix_later() { uv_make_prefix "$UV_WINEPREFIX_LATER" win7; }

# A third reporting Windows 10, where the tests register the rig's desktop
# wallpaper object (tools/deskwall), which Wine does not have.
uv_wineprefix_win10() { uv_make_prefix "$UV_WINEPREFIX_WIN10" win10; }

UV_XVFB_PID=
# Starts a private X server and exports its DISPLAY.
uv_xvfb_start() {
  local size=${1:-1280x800x24} n i
  for n in $(seq 90 140); do
    # A lock whose process is gone is stale, and so is its socket: removed,
    # so that the new server's socket says it is ready.
    if [ -e /tmp/.X$n-lock ]; then
      kill -0 "$(tr -d ' ' < /tmp/.X$n-lock)" 2>/dev/null && continue
      rm -f /tmp/.X$n-lock /tmp/.X11-unix/X$n
    elif [ -e /tmp/.X11-unix/X$n ]; then
      continue
    fi
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
  WINEPREFIX=$UV_WINEPREFIX_LATER32 timeout 30 wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$UV_WINEPREFIX_LATER64 timeout 30 wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$UV_WINEPREFIX_WIN10_32 timeout 30 wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$UV_WINEPREFIX_WIN10_64 timeout 30 wineserver -k >/dev/null 2>&1 || true
  if [ -n "$UV_XVFB_PID" ]; then kill "$UV_XVFB_PID" 2>/dev/null; wait "$UV_XVFB_PID" 2>/dev/null; fi
  UV_XVFB_PID=
}

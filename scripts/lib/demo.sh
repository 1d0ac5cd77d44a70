# The sun clock on the stand-in desktop in a Wine virtual desktop, for
# scripts/run. Source it after common.sh; call uv_demo BIN with DISPLAY set
# (UV_HEADLESS=1 when that display is a private Xvfb: then one screenshot is
# written to build/umbravue-screen.png and the program is quit again).

UV_DEMO_KEY='HKCU\Software\VantorelSoftware\Umbravue'

# On a first run (no settings yet, or UV_DEMO_RESET=1) a few overlays are
# switched on, so that the first picture shows them; later runs keep
# whatever was set in the control panel.
uv_demo_settings() {
  if [ -z "${UV_DEMO_RESET:-}" ] && "$UV_WINE" reg query "$UV_DEMO_KEY" >/dev/null 2>&1; then
    return 0
  fi
  "$UV_WINE" reg delete "$UV_DEMO_KEY" /f >/dev/null 2>&1
  local name
  for name in "overlay grid" "overlay dawndusk" "overlay sunlatitude" "overlay cities" \
              "city labels" "overlay status" "status sun location" "status sunrise" \
              "status sunset" "glyph show sun"; do
    "$UV_WINE" reg add "$UV_DEMO_KEY" /v "$name" /t REG_DWORD /d 1 /f >/dev/null 2>&1
  done
  # Cairo, London, New York City, Sydney, Sao Paulo, Tokyo: their indices in
  # the city list, 32-bit little-endian each, ascending.
  "$UV_WINE" reg add "$UV_DEMO_KEY" /v "cities selected" /t REG_BINARY \
    /d b900000041020000ce020000ce030000d303000003040000 /f >/dev/null 2>&1
}

uv_demo() {
  local bin=$1 desk=Umbravue,1280x800 shell_pid app_pid
  uv_demo_settings
  (cd "$bin" && exec "$UV_WINE" explorer /desktop=$desk deskshell.exe) >/dev/null 2>&1 &
  shell_pid=$!
  sleep 3
  (cd "$bin" && exec "$UV_WINE" explorer /desktop=$desk umbravue.exe) >/dev/null 2>&1 &
  app_pid=$!
  if [ -n "${UV_HEADLESS:-}" ]; then
    local shot=$BUILD/umbravue-screen.png
    # The first burst follows the install at once; the render needs a moment.
    sleep 15
    import -window root "$shot" && uv_log "screenshot: $shot"
    # The "Quit" button, pressed from inside the same virtual desktop (windows
    # of other desktops are not visible to it).
    if [ -f "$bin/uvpanel.exe" ]; then
      (cd "$bin" && timeout 60 "$UV_WINE" explorer /desktop=$desk uvpanel.exe quit) >/dev/null 2>&1
    fi
    timeout 60 tail --pid="$app_pid" -f /dev/null 2>/dev/null
  else
    uv_log "the sun clock runs; quit it with its \"Quit\" button"
    wait "$app_pid"
  fi
  kill "$shell_pid" 2>/dev/null
  wait "$shell_pid" 2>/dev/null
  return 0
}

#!/usr/bin/env python3
"""Two monitors, the primary one on the right: on a system that reports
Windows 7 the wallpaper is one picture of the virtual screen, tiled and
shifted so that each monitor shows its own part of the map; on one that
reports Windows 10 it is spanned. Runs its own X server: two RandR monitors
side by side, which Wine takes from Xinerama."""
import os
import subprocess
import sys

from controller_harness import Controller, fresh_registry, panel, panel_state, reg_delete_key, reg_delete_value
from harness import Desktop, Results, poll
from wallpaper_harness import (compare_with_reference, desk_query, desktop_values, end_session, save_screen,
                               set_user_wallpaper, showing_ours, stop_prefix, use_later_prefix, wine)

# Left: 1024x768 at 0,0; the primary: 1280x800 right of it.
WIDTH, HEIGHT = 2304, 800
MONITORS = [("*uvprimary", "1280/338x800/211+1024+0", "screen"), ("uvleft", "1024/270x768/203+0+0", "none")]
X11_KEY = r"HKCU\Software\Wine\X11 Driver"
APP_KEY = r"HKCU\Software\Wine\AppDefaults\umbravue.exe"


def start_x():
    """A private X server that keeps its monitors (no reset when the last
    client leaves); returns the process, DISPLAY set."""
    for n in range(141, 190):
        if os.path.exists("/tmp/.X11-unix/X%d" % n) or os.path.exists("/tmp/.X%d-lock" % n):
            continue
        proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "%dx%dx24" % (WIDTH, HEIGHT), "-nolisten", "tcp",
                                 "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if poll(lambda: os.path.exists("/tmp/.X11-unix/X%d" % n), 5, 0.1):
            os.environ["DISPLAY"] = ":%d" % n
            for name, geometry, output in MONITORS:
                subprocess.run(["xrandr", "--setmonitor", name, geometry, output], capture_output=True, timeout=30)
            return proc
        proc.kill()
        proc.wait()
    raise RuntimeError("no X server could be started")


def session(r, desk, label, check):
    """One run of the program: check(shown, desktop values) while its map
    is the wallpaper, then Quit."""
    ctl = Controller()
    try:
        r.check(label + ": the control panel appears", ctl.wait_panel(), panel("find"))
        shown = poll(lambda: showing_ours(desk), 120, 1.0)
        panel("hide")
        poll(lambda: panel_state() == (True, False), 10, 0.5)
        check(shown, desktop_values())
        panel("quit")
        r.check(label + ": Quit ends with code 0", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()


def check_tiled(r, desk, shown, ours):
    r.check("windows 7: one picture tiled from the primary monitor",
            ours["WallpaperStyle"] == ("REG_SZ", "0") and ours["TileWallpaper"] == ("REG_SZ", "1"), ours)
    if not r.check("windows 7: the map becomes the wallpaper", shown, desk.wallpaper_history()[-3:]):
        return
    compare_with_reference(r, "windows 7: each monitor shows its part of the map", ours["Wallpaper"][1],
                           WIDTH, HEIGHT)
    save_screen("wallpaper-monitors.png")


def run(r, desk):
    monitors = desk_query("monitors")
    if not r.check("Wine reports two monitors as one virtual screen",
                   monitors == 2 and (desk.width, desk.height) == (WIDTH, HEIGHT),
                   (monitors, desk.width, desk.height)):
        return
    fresh_registry()
    session(r, desk, "windows 7", lambda shown, ours: check_tiled(r, desk, shown, ours))

    wine(["reg", "add", APP_KEY, "/v", "Version", "/d", "win10", "/f"])
    fresh_registry()
    session(r, desk, "windows 10", lambda shown, ours: r.check(
        "windows 10: one picture spanned over both monitors",
        shown and ours["WallpaperStyle"] == ("REG_SZ", "22") and ours["TileWallpaper"] == ("REG_SZ", "0"),
        (shown, ours)))


def main():
    r = Results()
    use_later_prefix()
    stop_prefix()   # its desktop process must take up the new display
    xvfb = start_x()
    desk = None
    try:
        # Monitors from Xinerama: the RandR outputs of this server are one screen.
        wine(["reg", "add", X11_KEY, "/v", "UseXRandR", "/d", "N", "/f"])
        stop_prefix()
        set_user_wallpaper()
        desk = Desktop(later=True)
        run(r, desk)
    except RuntimeError as e:
        r.check("two-monitor session completes", False, str(e))
    finally:
        reg_delete_key(APP_KEY)
        reg_delete_value(X11_KEY, "UseXRandR")
        end_session(desk)
        xvfb.kill()
        xvfb.wait()
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

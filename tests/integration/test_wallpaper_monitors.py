#!/usr/bin/env python3
"""Two monitors, the primary one on the right: on a system that reports
Windows 7 the wallpaper is one picture of the virtual screen, tiled and
shifted so that each monitor shows its own part of the map; on one that
reports Windows 10 but has no desktop wallpaper object the map does not
start by itself, and asked for on the Misc page it is spanned. Runs its own
X server: two RandR monitors side by side, which Wine takes from Xinerama."""
import sys

from controller_harness import Controller, fresh_registry, panel, panel_state, reg_delete_key, reg_delete_value
from harness import Desktop, Results, poll
from wallpaper_harness import (HEIGHT, WIDTH, X11_KEY, compare_with_reference, desk_query, desktop_values, end_session,
                               save_screen, set_user_wallpaper, showing_ours, start_x, stop_prefix, tile_shift,
                               use_later_prefix, wine)

APP_KEY = r"HKCU\Software\Wine\AppDefaults\umbravue.exe"


def session(r, desk, label, check, until=None):
    """One run of the program: check(shown, desktop values) once until()
    (by default: its map is the wallpaper), then Quit."""
    ctl = Controller()
    try:
        r.check(label + ": the control panel appears", ctl.wait_panel(), panel("find"))
        shown = until() if until else poll(lambda: showing_ours(desk), 120, 1.0)
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
                           WIDTH, HEIGHT, shift=tile_shift())
    save_screen("wallpaper-monitors.png")


def run(r, desk):
    monitors = desk_query("monitors")
    if not r.check("Wine reports two monitors as one virtual screen",
                   monitors == 2 and (desk.width, desk.height) == (WIDTH, HEIGHT),
                   (monitors, desk.width, desk.height)):
        return
    fresh_registry()
    session(r, desk, "windows 7", lambda shown, ours: check_tiled(r, desk, shown, ours))

    # Windows 10 without the desktop wallpaper object (this prefix has none):
    # one picture for all would come back as one picture on every monitor.
    wine(["reg", "add", APP_KEY, "/v", "Version", "/d", "win10", "/f"])
    fresh_registry()
    before = desktop_values()
    info = lambda: panel("text", "1045")

    def asked_for():
        said = poll(lambda: "wallpaper service" in info(), 60, 1.0)
        r.check("windows 10 without the wallpaper object: the map does not start by itself, and the Information "
                "page says why", said and desktop_values() == before, (info(), desktop_values()))
        panel("button", "show the map as the desktop wallpaper")
        return poll(lambda: showing_ours(desk) and "one picture" in info(), 120, 1.0)
    session(r, desk, "windows 10", lambda shown, ours: r.check(
        "windows 10: asked for on the Misc page, one picture spanned over both monitors, and the loss is said",
        shown and ours["WallpaperStyle"] == ("REG_SZ", "22") and ours["TileWallpaper"] == ("REG_SZ", "0"),
        (shown, ours, info())), until=asked_for)
    r.check("windows 10: Quit puts the user's values back", desktop_values() == before, desktop_values())


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
        xvfb.terminate()
        xvfb.wait()
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""What the user had and what the user picks survive the wallpaper mode: a
wallpaper whose path the ANSI code page cannot hold comes back exactly."""
import sys

from controller_harness import Controller, fresh_registry, panel
from harness import Desktop, Results, Screen, poll
from wallpaper_harness import (DESKTOP_KEY, USER_RGB, end_session, reg_export_strings, reg_import_strings,
                               set_desktop, showing_ours, showing_user, unix_path, use_later_prefix, write_bmp)

WIDE_WALLPAPER = "C:\\uvtest\\\u0141ukasz\\\u65e5\u672c \u00e9t\u00e9.bmp"


def told_paths(desk):
    """The paths the desktop was told of, as text (it prints them in UTF-8)."""
    return [path.encode("latin-1").decode("utf-8", "replace") for _, path in desk.wallpaper_history()]


def wide_path(r, desk):
    write_bmp(unix_path(WIDE_WALLPAPER), 64, 64, USER_RGB)
    set_desktop({"WallpaperStyle": ("REG_SZ", "2"), "TileWallpaper": ("REG_SZ", "0")})
    reg_import_strings(DESKTOP_KEY, {"Wallpaper": WIDE_WALLPAPER})
    ctl = Controller()
    try:
        shown = ctl.wait_panel() and poll(lambda: showing_ours(desk), 120, 1.0)
        r.check("wide path: the map became the wallpaper", shown, told_paths(desk)[-3:])
        panel("quit")
        r.check("wide path: Quit ends the program", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
    back = (reg_export_strings(DESKTOP_KEY) or {}).get("Wallpaper")
    r.check("wide path: the user's wallpaper comes back character for character", back == WIDE_WALLPAPER,
            ascii(back))
    r.check("wide path: the desktop is told of it and shows it",
            told_paths(desk)[-1:] == [WIDE_WALLPAPER] and poll(lambda: showing_user(desk), 20, 0.5),
            (ascii(told_paths(desk)[-2:]), Screen().pixel(desk.width // 2, desk.height // 2)))


def main():
    r = Results()
    use_later_prefix()
    fresh_registry()
    desk = Desktop(later=True)
    try:
        wide_path(r, desk)
    except RuntimeError as e:
        r.check("user wallpaper session completes", False, str(e))
    finally:
        end_session(desk)
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

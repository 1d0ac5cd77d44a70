#!/usr/bin/env python3
"""umbravue.exe on a system that reports Windows 7, with the stand-in desktop
arranged as a later shell: the picture becomes the desktop wallpaper with the
first refresh and matches umbravue-render, a control-panel change shows after
the apply, and Quit puts the user's own wallpaper back."""
import sys
import time

from controller_harness import PRODUCT_KEY, Controller, fresh_registry, panel, panel_state, reg_set_dword
from harness import Desktop, Results, Screen, poll
from wallpaper_harness import (compare_with_reference, desk_query, desktop_values, end_session, green_grid_row,
                               kept_values, save_screen, set_user_wallpaper, showing_ours, showing_user,
                               use_later_prefix)


def run(r, desk, user):
    w, h = desk.width, desk.height
    r.check("the later desktop shows the user's wallpaper", poll(lambda: showing_user(desk), 30, 0.5))
    fresh_registry()
    reg_set_dword(PRODUCT_KEY, "overlay grid color", 0x0000FF00)
    ctl = Controller()
    try:
        r.check("the control panel appears", ctl.wait_panel(), panel("find"))
        shown = poll(lambda: showing_ours(desk), 120, 1.0)
        # The refresh after the first one comes three minutes later.
        r.check("the map becomes the wallpaper with the first refresh",
                shown and time.time() - ctl.started < 150, (desk.wallpaper_history(), time.time() - ctl.started))
        # Out of the way of the screen comparisons.
        panel("hide")
        poll(lambda: panel_state() == (True, False), 10, 0.5)
        ours = desktop_values()
        r.check("the picture is centred and of the screen's size",
                ours["WallpaperStyle"] == ("REG_SZ", "0") and ours["TileWallpaper"] == ("REG_SZ", "0"), ours)
        if shown:
            compare_with_reference(r, "the wallpaper shows the picture umbravue-render makes",
                                   ours["Wallpaper"][1], w, h)
            save_screen("wallpaper-later.png")
        r.check("nothing is installed into the later desktop", desk_query("uvdll") == 0, desk_query("uvdll"))
        info = panel("text", "1045")
        r.check("the Information page says the map is the wallpaper and why",
                "wallpaper" in info and "no icon list" in info, info)
        kept = kept_values()
        r.check("the user's wallpaper is kept in the settings key",
                kept.get("user wallpaper") == user["Wallpaper"]
                and kept.get("user wallpaper style") == user["WallpaperStyle"], kept)

        panel("button", "show grid")
        row = poll(lambda: green_grid_row(Screen()), 60, 1.0)
        r.check("a control-panel change shows on the wallpaper after the apply", row is not None, row)
        save_screen("wallpaper-later-grid.png")

        panel("quit")
        r.check("Quit ends the program with code 0", ctl.wait_exit(60) == 0)
        r.check("Quit puts the user's wallpaper values back", desktop_values() == user, desktop_values())
        r.check("Quit leaves no kept copy behind", not kept_values(), kept_values())
        r.check("Quit shows the user's wallpaper on the desktop again", poll(lambda: showing_user(desk), 20, 0.5))
    finally:
        ctl.kill()


def main():
    r = Results()
    use_later_prefix()
    user = set_user_wallpaper()
    desk = Desktop(later=True)
    try:
        run(r, desk, user)
    except RuntimeError as e:
        r.check("wallpaper session completes", False, str(e))
    finally:
        end_session(desk)
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

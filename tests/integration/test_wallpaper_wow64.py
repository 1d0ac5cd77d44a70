#!/usr/bin/env python3
"""The shipped 32-bit program on 64-bit Windows XP (WoW64) beside a 64-bit
desktop shell whose icon list the program would find: it says why it shows
the map as the wallpaper, loads nothing into the shell, the shell paints the
map, and Quit puts the user's wallpaper back. Needs a machine that runs
32-bit code; elsewhere it prints a SKIP line."""
import os
import sys

from controller_harness import Controller, fresh_registry, panel
from harness import BIN, ROOT, Bitmap, Desktop, Results, Screen, close_to, poll
from wallpaper_harness import (desk_query, desktop_values, end_session, is_our_picture, save_screen,
                               set_user_wallpaper, showing_ours, showing_user, unix_path)

PREFIX = os.environ.get("UV_WINEPREFIX64") or os.path.join(ROOT, "build", "wineprefix-win64")
DESKSHELL64 = os.path.join(ROOT, "build", "win64", "bin")


def run(r, desk, user):
    w, h = desk.width, desk.height
    fresh_registry()
    ctl = Controller()
    try:
        r.check("wow64: the control panel appears", ctl.wait_panel(), panel("find"))
        # Decided before anything is installed, so the line is there as the
        # panel shows; an install tried first would end as "did not let the
        # painter in".
        info = poll(lambda: "64-bit" in panel("text", "1045") and panel("text", "1045"), 10, 0.5)
        r.check("wow64: the Information page names the 64-bit reason", info, panel("text", "1045"))
        shown = poll(lambda: showing_ours(desk), 120, 1.0)
        r.check("wow64: the map becomes the wallpaper the registry names", shown and is_our_picture(
            (desktop_values()["Wallpaper"] or ("", ""))[1]), (desk.wallpaper_history()[-3:], desktop_values()))
        panel("hide")
        r.check("wow64: nothing is loaded into the 64-bit shell",
                desk_query("uvdll") == 0 and desk_query("stat", 0) == -2, (desk_query("uvdll"), desk_query("stat", 0)))
        if shown:
            picture = Bitmap(unix_path(desktop_values()["Wallpaper"][1]))
            patch = (w // 2 - 8, h // 3, 16, 16)
            got = poll(lambda: close_to(Screen().mean(*patch), picture.mean(*patch), 8), 20, 1.0)
            r.check("wow64: the shell paints the written picture",
                    got and (picture.width, picture.height) == (w, h),
                    (Screen().mean(*patch), picture.mean(*patch), picture.width, picture.height))
            save_screen("wallpaper-wow64.png")
        panel("quit")
        r.check("wow64: Quit ends with code 0", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
    r.check("wow64: Quit puts the user's wallpaper back",
            desktop_values() == user and poll(lambda: showing_user(desk), 20, 0.5), desktop_values())


def main():
    if os.environ.get("UV_WIN", "win64") != "win32":
        print("SKIP wallpaper under WoW64: 32-bit code cannot run here", flush=True)
        return 0
    r = Results()
    missing = [p for p in (os.path.join(PREFIX, ".uv-ready"), os.path.join(DESKSHELL64, "deskshell.exe"),
                           os.path.join(BIN, "umbravue.exe")) if not os.path.exists(p)]
    if missing:
        r.check("wow64: the 64-bit prefix and shell and the 32-bit program are there", False, missing)
        r.exit()
    os.environ["WINEPREFIX"], os.environ["WINEARCH"] = PREFIX, "win64"
    user = set_user_wallpaper()
    desk = None
    try:
        desk = Desktop(bin_dir=DESKSHELL64)
        run(r, desk, user)
    except RuntimeError as e:
        r.check("wow64: session completes", False, str(e))
    finally:
        end_session(desk)
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Odd wallpaper settings and folders the wallpaper mode meets on a later
system: a user's wallpaper path of 300 characters with a WallpaperStyle of
the wrong type and no TileWallpaper comes back exactly as it was; an
application-data folder whose path is too long falls back to the roaming
one; with no folder that can be written the user's wallpaper is left alone
and the Information page says why; a kept copy left by a killed run with a
value of the wrong type and a path of 32,000 characters comes back as it
was kept; a user's wallpaper that names a folder, and a system copy of the
picture that cannot be read, change nothing of what comes back. Never a
crash."""
import os
import sys

from controller_harness import (PRODUCT_KEY, Controller, fresh_registry, panel, reg_set_dword, reg_set_string,
                                reg_values, wine)
from harness import Desktop, Results, poll
from wallpaper_harness import (DESKTOP_KEY, TRANSCODED, desktop_values, end_session, forget_transcoded,
                               is_our_picture, kept_values,
                               reg_export_strings, reg_import_strings, set_desktop, SHELL_FOLDERS_KEY, showing_ours,
                               unix_path, use_later_prefix)


def one_run(r, desk, label, until, then=None):
    """Starts the program, waits for until(), runs then(), quits; the exit code."""
    ctl = Controller()
    try:
        r.check(label + ": the control panel appears", ctl.wait_panel(), panel("find"))
        reached = poll(until, 120, 1.0)
        if then:
            then(reached)
        panel("quit")
        code = ctl.wait_exit(60)
        r.check(label + ": Quit ends with code 0", code == 0, code)
    finally:
        ctl.kill()


def odd_user_values(r, desk):
    long_path = "C:\\" + "\\".join(["d" * 58] * 4) + "\\" + "w" * 57 + ".bmp"   # 300 characters, no such file
    set_desktop({"Wallpaper": ("REG_SZ", long_path), "WallpaperStyle": ("REG_DWORD", 2), "TileWallpaper": None})
    before = desktop_values()
    one_run(r, desk, "odd values", lambda: showing_ours(desk))
    r.check("odd values: the long path, the DWORD style and the missing tile value come back exactly",
            desktop_values() == before and len(before["Wallpaper"][1]) == 300, (before, desktop_values()))
    r.check("odd values: nothing is left kept", not kept_values(), kept_values())


def damaged_kept_copy(r, desk):
    """What a killed run left, damaged: the start puts it back as it is."""
    ours = "C:\\users\\root\\AppData\\Local\\Umbravue\\wallpaper-a.bmp"
    huge = "C:\\" + "x" * 31997
    set_desktop({"Wallpaper": ("REG_SZ", ours), "WallpaperStyle": ("REG_SZ", "0"), "TileWallpaper": ("REG_SZ", "0")})
    reg_set_dword(PRODUCT_KEY, "user wallpaper", 7)                        # the wrong type
    reg_set_string(PRODUCT_KEY, "user monitor wallpapers", "not binary")   # the wrong type too
    reg_import_strings(PRODUCT_KEY, {"user tile wallpaper": huge, "wallpaper picture": ours})
    one_run(r, desk, "damaged copy", lambda: showing_ours(desk))
    back = desktop_values()
    tile = (reg_export_strings(DESKTOP_KEY) or {}).get("TileWallpaper")
    r.check("damaged copy: the DWORD and the 32,000 characters come back as they were kept",
            back["Wallpaper"] == ("REG_DWORD", 7) and tile == huge and back["WallpaperStyle"] is None,
            (back["Wallpaper"], len(tile or "")))
    r.check("damaged copy: nothing is left kept", not kept_values(), kept_values())


def folder_and_unreadable_copy(r, desk):
    folder = unix_path("C:\\users\\root\\AppData\\Local\\Umbravue")
    for name in os.listdir(folder) if os.path.isdir(folder) else []:
        if name.startswith("user wallpaper copy"):   # one in use that an earlier test left
            os.remove(os.path.join(folder, name))
    os.makedirs(unix_path("C:\\uvtest\\a folder"), exist_ok=True)
    forget_transcoded()
    os.makedirs(unix_path(TRANSCODED))   # no file to read there
    set_desktop({"Wallpaper": ("REG_SZ", "C:\\uvtest\\a folder"), "WallpaperStyle": ("REG_SZ", "2"),
                 "TileWallpaper": ("REG_SZ", "0")})
    before = desktop_values()
    try:
        one_run(r, desk, "folder", lambda: showing_ours(desk))
    finally:
        forget_transcoded()
    r.check("folder: a wallpaper naming a folder comes back as it was, and no copy was made",
            desktop_values() == before and not any(n.startswith("user wallpaper copy") for n in os.listdir(folder)),
            (desktop_values(), os.listdir(folder)))


def shell_folders(local, roaming):
    for name, value in (("Local AppData", local), ("AppData", roaming)):
        wine(["reg", "add", SHELL_FOLDERS_KEY, "/v", name, "/t", "REG_EXPAND_SZ", "/d", value, "/f"])


def long_local_folder(r, desk):
    set_desktop({"Wallpaper": ("REG_SZ", ""), "WallpaperStyle": ("REG_SZ", "0"), "TileWallpaper": ("REG_SZ", "0")})
    before = desktop_values()
    deep = "C:\\uvtest\\" + "\\".join(["l" * 60] * 4)
    os.makedirs(unix_path(deep), exist_ok=True)
    shell_folders(deep, r"%USERPROFILE%\AppData\Roaming")
    picture = lambda: (desktop_values()["Wallpaper"] or ("", ""))[1]
    one_run(r, desk, "long folder", lambda: showing_ours(desk),
            lambda shown: r.check("long folder: the picture goes to the roaming folder instead",
                                  shown and is_our_picture(picture()) and "\\roaming\\" in picture().lower(),
                                  picture()))
    r.check("long folder: Quit puts the user's values back", desktop_values() == before, desktop_values())


def unwritable_folders(r, desk):
    before = desktop_values()
    # Nothing can be created in /proc, not even by root.
    shell_folders(r"Z:\proc", r"Z:\proc")
    text = lambda: panel("text", "1045")
    one_run(r, desk, "unwritable", lambda: "no folder" in text(),
            lambda said: r.check("unwritable: the Information page says no folder can be written, and the "
                                 "wallpaper is left alone", said and desktop_values() == before and not kept_values(),
                                 (text(), desktop_values(), kept_values())))
    r.check("unwritable: the user's values are unchanged after Quit", desktop_values() == before, desktop_values())


def main():
    r = Results()
    use_later_prefix()
    fresh_registry()
    folders = reg_values(SHELL_FOLDERS_KEY) or {}
    original = [folders.get(n, ("", ""))[1] for n in ("Local AppData", "AppData")]
    desk = Desktop(later=True)
    try:
        odd_user_values(r, desk)
        damaged_kept_copy(r, desk)
        folder_and_unreadable_copy(r, desk)
        long_local_folder(r, desk)
        unwritable_folders(r, desk)
    except RuntimeError as e:
        r.check("wallpaper bad input session completes", False, str(e))
    finally:
        shell_folders(*original)
        end_session(desk)
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

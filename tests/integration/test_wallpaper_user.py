#!/usr/bin/env python3
"""What the user had and what the user picks survive the wallpaper mode: a
wallpaper whose path the ANSI code page cannot hold comes back exactly, also
with the program in such a folder (its images found, its start-with-Windows
entry kept exactly); a
wallpaper the user picks while the map is shown stays, and is what comes
back after the map is asked for again; a picture that is gone at Quit, or
that is the system's own copy which the map overwrote, comes back from the
copy kept before the first change."""
import os
import re
import sys
import tempfile

from controller_harness import RUN_KEY, Controller, fresh_registry, panel
from harness import Desktop, Results, Screen, copy_binaries, poll
from wallpaper_harness import (DESKTOP_KEY, TRANSCODED, USER_RGB, desktop_values, end_session, kept_values, reg_export_strings,
                               reg_import_strings, set_desktop, set_user_wallpaper, showing_ours, showing_user,
                               unix_path, use_later_prefix, write_bmp)

WIDE_WALLPAPER = "C:\\uvtest\\\u0141ukasz\\\u65e5\u672c \u00e9t\u00e9.bmp"


def info():
    return panel("text", "1045")


def told_paths(desk):
    """The paths the desktop was told of, as text (it prints them in UTF-8)."""
    return [path.encode("latin-1").decode("utf-8", "replace") for _, path in desk.wallpaper_history()]


def wide_path(r, desk):
    write_bmp(unix_path(WIDE_WALLPAPER), 64, 64, USER_RGB)
    set_desktop({"WallpaperStyle": ("REG_SZ", "2"), "TileWallpaper": ("REG_SZ", "0")})
    reg_import_strings(DESKTOP_KEY, {"Wallpaper": WIDE_WALLPAPER})
    with tempfile.TemporaryDirectory(prefix="uv-\u0141\u00f3d\u017a \u65e5\u672c-") as folder:
        copy_binaries(["umbravue.exe", "uvdll.dll", "globepix.dll"], folder)
        program = "Z:" + os.path.join(folder, "umbravue.exe").replace("/", "\\")
        reg_import_strings(RUN_KEY, {"Umbravue": program})  # written before the quotes, as of old
        ctl = Controller(bin_dir=folder)
        try:
            shown = ctl.wait_panel() and poll(lambda: showing_ours(desk), 120, 1.0)
            r.check("wide path: the map became the wallpaper", shown, (told_paths(desk)[-3:], info()))
            panel("quit")
            r.check("wide path: Quit ends the program", ctl.wait_exit(60) == 0)
        finally:
            ctl.kill()
    entry = (reg_export_strings(RUN_KEY) or {}).get("Umbravue")
    r.check("wide path: the start-with-Windows entry names the program's folder exactly",
            entry == '"%s"' % program, ascii(entry))
    reg_import_strings(RUN_KEY, {"Umbravue": None})
    back = (reg_export_strings(DESKTOP_KEY) or {}).get("Wallpaper")
    r.check("wide path: the user's wallpaper comes back character for character", back == WIDE_WALLPAPER,
            ascii(back))
    r.check("wide path: the desktop is told of it and shows it",
            told_paths(desk)[-1:] == [WIDE_WALLPAPER] and poll(lambda: showing_user(desk), 20, 0.5),
            (ascii(told_paths(desk)[-2:]), Screen().pixel(desk.width // 2, desk.height // 2)))


def own_pick(r, desk, user):
    picked = "C:\\uvtest\\picked.bmp"
    write_bmp(unix_path(picked), 32, 32, (20, 180, 20))
    ctl = Controller()
    try:
        shown = ctl.wait_panel() and poll(lambda: showing_ours(desk), 120, 1.0)
        r.check("own pick: the map became the wallpaper", shown, told_paths(desk)[-3:])
        panel("setwallpaper", picked)
        seen = len(desk.wallpaper_history())
        panel("button", "show grid")   # the next renewal 2 s later
        said = poll(lambda: "you chose" in info(), 30, 1.0)
        poll(lambda: len(desk.wallpaper_history()) > seen, 8, 1.0)
        r.check("own pick: the next renewal leaves the user's choice alone",
                said and desktop_values()["Wallpaper"] == ("REG_SZ", picked) and told_paths(desk)[-1] == picked,
                (info(), desktop_values(), told_paths(desk)[-2:]))
        r.check("own pick: the old kept copy is forgotten", kept_values() == {}, kept_values())
        panel("button", "Show the map again")
        r.check("own pick: the map can be asked for again", poll(lambda: showing_ours(desk), 60, 1.0),
                told_paths(desk)[-2:])
        r.check("own pick: what is kept now is the user's new choice",
                kept_values().get("user wallpaper") == ("REG_SZ", picked), kept_values())
        panel("quit")
        r.check("own pick: Quit brings the user's choice back", ctl.wait_exit(60) == 0 and
                desktop_values()["Wallpaper"] == ("REG_SZ", picked), desktop_values())
    finally:
        ctl.kill()


def lost_picture(r, desk, label, wallpaper, lose):
    """The user's wallpaper is wallpaper; lose() runs while the map shows."""
    panel("setwallpaper", wallpaper)   # the later desktop copies it to TRANSCODED
    ctl = Controller()
    try:
        shown = ctl.wait_panel() and poll(lambda: showing_ours(desk), 120, 1.0)
        r.check(label + ": the map became the wallpaper", shown, told_paths(desk)[-3:])
        lose()
        panel("quit")
        r.check(label + ": Quit ends the program", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
    back = (desktop_values()["Wallpaper"] or ("", ""))[1]
    r.check(label + ": the kept copy of the picture becomes the wallpaper",
            re.search(r"\\umbravue\\user wallpaper copy(-\d+)?\.bmp$", back.lower()), back)
    r.check(label + ": the desktop shows the user's picture", poll(lambda: showing_user(desk), 20, 0.5),
            (told_paths(desk)[-2:], Screen().pixel(desk.width // 2, desk.height // 2)))


def main():
    r = Results()
    use_later_prefix()
    fresh_registry()
    desk = Desktop(later=True)
    try:
        wide_path(r, desk)
        own_pick(r, desk, set_user_wallpaper())
        gone = "C:\\uvtest\\stick\\gone.bmp"
        write_bmp(unix_path(gone), 64, 64, USER_RGB)
        lost_picture(r, desk, "gone", gone, lambda: os.remove(unix_path(gone)))
        write_bmp(unix_path(TRANSCODED), 64, 64, USER_RGB)
        lost_picture(r, desk, "system copy", TRANSCODED, lambda: None)
    except RuntimeError as e:
        r.check("user wallpaper session completes", False, str(e))
    finally:
        end_session(desk)
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

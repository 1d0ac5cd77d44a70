#!/usr/bin/env python3
"""The user's wallpaper survives a controller that is killed while its map
is the wallpaper: the next start puts it back before anything else (and keeps
that, not the map, as the wallpaper to restore), and so does an uninstall;
an uninstall that cannot reach a running copy's window leaves the wallpaper
to that copy, which puts it back itself."""
import os
import subprocess
import sys

from controller_harness import PRODUCT_KEY, RUN_KEY, Controller, _env, panel, reg_set_string, reg_values
from harness import BIN, WINE, Screen, end_process, poll
from wallpaper_harness import (desktop_values, is_our_picture, kept_values, later_session, showing_ours, showing_user,
                               unix_path)


def kill_while_shown(r, desk, label):
    ctl = Controller()
    try:
        shown = ctl.wait_panel() and poll(lambda: showing_ours(desk), 120, 1.0)
        r.check(label + ": the map became the wallpaper", shown, desk.wallpaper_history()[-3:])
    finally:
        ctl.kill()
    r.check(label + ": killed, the program leaves its map as the wallpaper and the kept copy",
            is_our_picture((desktop_values()["Wallpaper"] or ("", ""))[1]) and "user wallpaper" in kept_values(),
            (desktop_values(), kept_values()))


def restart_after_kill(r, desk, user):
    kill_while_shown(r, desk, "restart")
    seen = len(desk.wallpaper_history())
    ctl = Controller()
    try:
        r.check("restart: the control panel appears", ctl.wait_panel(), panel("find"))
        told = lambda: [path for _, path in desk.wallpaper_history()[seen:]]
        r.check("restart: the map is the wallpaper again",
                poll(lambda: any(is_our_picture(p) for p in told()), 120, 1.0) and showing_ours(desk), told())
        told = told()
        r.check("restart: the first change the desktop sees is the user's wallpaper coming back",
                told[:1] == [user["Wallpaper"][1]], told)
        r.check("restart: what is kept is the user's wallpaper, not the map",
                kept_values().get("user wallpaper") == user["Wallpaper"], kept_values())
        panel("quit")
        r.check("restart: Quit ends with code 0", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
    r.check("restart: after Quit the user's wallpaper is back", desktop_values() == user, desktop_values())
    r.check("restart: and on the desktop", poll(lambda: showing_user(desk), 20, 0.5),
            (desk.wallpaper_history()[-3:], Screen().pixel(desk.width // 2, desk.height // 2)))


def uninstall_after_kill(r, desk, user):
    kill_while_shown(r, desk, "uninstall")
    folder = unix_path(desktop_values()["Wallpaper"][1].rsplit("\\", 1)[0])
    un = Controller(["uninstall"])
    r.check("uninstall: ends with code 0", un.wait_exit(90) == 0)
    r.check("uninstall: the user's wallpaper is back", desktop_values() == user, desktop_values())
    r.check("uninstall: the settings are gone with the kept copy", reg_values(PRODUCT_KEY) is None,
            reg_values(PRODUCT_KEY))
    r.check("uninstall: the desktop shows the user's wallpaper", poll(lambda: showing_user(desk), 20, 0.5),
            (desk.wallpaper_history()[-3:], Screen().pixel(desk.width // 2, desk.height // 2)))
    r.check("uninstall: the picture folder is gone", not os.path.exists(folder),
            os.listdir(folder) if os.path.exists(folder) else folder)


def uninstall_elsewhere(r, desk, user):
    """The copy runs on a desktop of its own, where the uninstall finds no
    window of it, as in another session: its wallpaper can only be put back
    from there, so the uninstall marks its settings; the copy sees that,
    quits and removes the rest."""
    exe = "Z:" + os.path.join(BIN, "umbravue.exe").replace("/", "\\")
    other = subprocess.Popen([WINE, "explorer", "/desktop=uvother,640x480", exe], cwd=BIN, env=_env(),
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        ours = lambda: is_our_picture((desktop_values()["Wallpaper"] or ("", ""))[1])
        r.check("elsewhere: the copy on another desktop makes the map the wallpaper", poll(ours, 120, 1.0),
                desktop_values())
        reg_set_string(RUN_KEY, "Umbravue", exe)
        folder = unix_path(desktop_values()["Wallpaper"][1].rsplit("\\", 1)[0])
        r.check("elsewhere: the uninstall finds no window and ends with code 0",
                panel("count") == "count 0" and Controller(["uninstall"]).wait_exit(90) == 0, panel("count"))
        r.check("elsewhere: the copy quits by itself", poll(lambda: panel("copy") == "copy 0", 60, 1.0),
                panel("copy"))
        r.check("elsewhere: the user's wallpaper is back", desktop_values() == user, desktop_values())
        r.check("elsewhere: the settings, the start-with-Windows entry and the picture folder are gone",
                reg_values(PRODUCT_KEY) is None and "Umbravue" not in (reg_values(RUN_KEY) or {})
                and not os.path.exists(folder), (reg_values(PRODUCT_KEY), reg_values(RUN_KEY), folder))
    finally:
        end_process(other)


def main():
    return later_session("wallpaper restore session", restart_after_kill, uninstall_after_kill,
                         uninstall_elsewhere)


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""On Windows XP, where the map can go behind the icons, the Misc page's
"show the map as the desktop wallpaper" makes it the wallpaper instead: from
the start (nothing is installed into the desktop) and when ticked or cleared
while the program runs. A shell started while the program runs whose desktop
host cannot start gets the map as the wallpaper too."""
import os
import sys
import tempfile

from controller_harness import (PRODUCT_KEY, Controller, fresh_registry, panel, reg_set_dword, reg_values,
                                tray)
from harness import DESKTOP_RGB, STAT_RUNNING, Desktop, Results, Screen, copy_binaries, poll
from wallpaper_harness import desk_query, desktop_values, kept_values, set_desktop, showing_ours

BOX = "show the map as the desktop wallpaper"


def host_running():
    return desk_query("stat", STAT_RUNNING) == 1


def run(r, desk):
    w, h = desk.width, desk.height
    set_desktop({"Wallpaper": ("REG_SZ", "")})
    before = desktop_values()
    fresh_registry()
    reg_set_dword(PRODUCT_KEY, "wallpaper mode", 1)
    ctl = Controller()
    try:
        r.check("forced: the control panel appears", ctl.wait_panel(), panel("find"))
        r.check("forced: the map becomes the wallpaper", poll(lambda: showing_ours(desk), 120, 1.0),
                desk.wallpaper_history()[-3:])
        r.check("forced: nothing is installed into the desktop", desk_query("uvdll") == 0, desk_query("uvdll"))
        r.check("forced: the Information page says it was chosen",
                "chosen on the Misc page" in panel("text", "1045"), panel("text", "1045"))

        r.check("cleared: the box is cleared", panel("button", BOX) == "clicked 0")
        r.check("cleared: after the apply the map is behind the icons again", poll(host_running, 60, 1.0))
        r.check("cleared: the user's wallpaper values are back and nothing is kept",
                poll(lambda: desktop_values() == before and not kept_values(), 20, 0.5),
                (desktop_values(), kept_values()))
        r.check("cleared: the screen shows the map, not the desktop's colour",
                Screen().pixel(w // 2, h // 2) != DESKTOP_RGB)
        r.check("cleared: the Information page says so",
                "behind the desktop icons" in panel("text", "1045"), panel("text", "1045"))

        r.check("ticked: the box is ticked", panel("button", BOX) == "clicked 1")
        r.check("ticked: after the apply the map is the wallpaper and the host is gone",
                poll(lambda: showing_ours(desk) and not host_running(), 120, 1.0),
                (desk.wallpaper_history()[-3:], desk_query("stat", STAT_RUNNING)))
        panel("quit")
        r.check("forced: Quit ends with code 0", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
    r.check("forced: Quit puts the user's wallpaper values back", desktop_values() == before, desktop_values())
    r.check("forced: the choice is saved", (reg_values(PRODUCT_KEY) or {}).get("wallpaper mode") == ("REG_DWORD", 1))


def host_fails_in_new_shell(r, desk):
    """The program and its hook library in two folders, so that the host in
    the shell looks for its images beside the library only: they are there
    for the first shell and gone for the second."""
    set_desktop({"Wallpaper": ("REG_SZ", "")})
    before = desktop_values()
    fresh_registry()
    with tempfile.TemporaryDirectory(prefix="uv-newshell-") as top:
        program, library = os.path.join(top, "program"), os.path.join(top, "library")
        os.mkdir(program)
        os.mkdir(library)
        copy_binaries(["umbravue.exe", "globepix.dll"], program)
        copy_binaries(["uvdll.dll", "globepix.dll"], library)
        # uvdll.dll is found in the current folder.
        ctl = Controller(bin_dir=library, exe="Z:" + os.path.join(program, "umbravue.exe").replace("/", "\\"))
        try:
            r.check("new shell: the control panel appears", ctl.wait_panel(), panel("find"))
            r.check("new shell: first the map is behind the icons",
                    poll(lambda: host_running() and "behind the desktop icons" in panel("text", "1045"), 60, 1.0),
                    panel("text", "1045"))
            desk.stop()
            os.remove(os.path.join(library, "globepix.dll"))
            desk.start()
            tray("taskbar")
            r.check("new shell: the Information page gives the host as the reason for the wallpaper",
                    poll(lambda: "did not let the painter in" in panel("text", "1045"), 90, 1.0),
                    panel("text", "1045"))
            r.check("new shell: the map becomes the wallpaper, no host runs in the shell",
                    poll(lambda: showing_ours(desk), 120, 1.0) and not host_running(),
                    (desk.wallpaper_history()[-3:], desk_query("stat", STAT_RUNNING)))
            panel("quit")
            r.check("new shell: Quit ends with code 0", ctl.wait_exit(60) == 0)
        finally:
            ctl.kill()
    r.check("new shell: Quit puts the user's wallpaper values back and keeps nothing",
            desktop_values() == before and not kept_values(), (desktop_values(), kept_values()))


def main():
    r = Results()
    desk = Desktop()
    try:
        run(r, desk)
        host_fails_in_new_shell(r, desk)
    except RuntimeError as e:
        r.check("forced wallpaper session completes", False, str(e))
    finally:
        desk.stop()
        fresh_registry()
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

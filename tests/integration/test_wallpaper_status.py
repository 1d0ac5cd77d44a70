#!/usr/bin/env python3
"""What the Information page says about the wallpaper is what happened: a
wallpaper set by a policy of the organisation is neither replaced nor
reported as the map; a picture folder deleted while the program runs is made
again at the next renewal; a picture file held open by another program is
written once it is free."""
import shutil
import subprocess
import sys

from controller_harness import Controller, panel
from harness import BIN, WINE, poll
from wallpaper_harness import desktop_values, is_our_picture, kept_values, later_session, showing_ours, unix_path, wine

POLICY_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System"


def info():
    return panel("text", "1045")


def apply_a_change():
    """A click on a check box: the program renews the wallpaper 2 s later."""
    panel("button", "show grid")


def ours_in_registry():
    return is_our_picture((desktop_values()["Wallpaper"] or ("", ""))[1])


def policy(r, desk, user):
    wine(["reg", "add", POLICY_KEY, "/v", "Wallpaper", "/d", r"C:\corp\logo.bmp", "/f"])
    ctl = Controller()
    try:
        said = ctl.wait_panel() and poll(lambda: "policy" in info(), 60, 1.0)
        r.check("policy: the Information page says a policy sets the wallpaper", said, info())
        r.check("policy: the user's wallpaper is neither kept nor replaced",
                desktop_values() == user and kept_values() == {}, (desktop_values(), kept_values()))
        wine(["reg", "delete", POLICY_KEY, "/v", "Wallpaper", "/f"])
        apply_a_change()
        r.check("policy: once it is lifted the map becomes the wallpaper",
                poll(lambda: showing_ours(desk) and "policy" not in info(), 60, 1.0), (info(), desktop_values()))
        panel("quit")
        r.check("policy: Quit ends the program", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
        wine(["reg", "delete", POLICY_KEY, "/v", "Wallpaper", "/f"])


def folder_and_busy_file(r, desk, user):
    ctl = Controller()
    try:
        shown = ctl.wait_panel() and poll(lambda: showing_ours(desk) and ours_in_registry(), 120, 1.0)
        r.check("folder: the map became the wallpaper", shown, desk.wallpaper_history()[-3:])
        picture = desktop_values()["Wallpaper"][1]
        folder = unix_path(picture.rsplit("\\", 1)[0])
        shutil.rmtree(folder)
        seen = len(desk.wallpaper_history())
        apply_a_change()
        r.check("folder: deleted, it is made again at the next renewal and the map is shown",
                poll(lambda: len(desk.wallpaper_history()) > seen and showing_ours(desk), 60, 1.0)
                and "cannot" not in info(), (info(), desk.wallpaper_history()[-3:]))

        # Both picture files held open for 6 s without sharing, as a virus
        # scanner or the shell's own reader might.
        holders = [subprocess.Popen([WINE, "uvpanel.exe", "hold", picture.rsplit("\\", 1)[0] + "\\" + n, "6000"],
                                    cwd=BIN, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
                   for n in ("wallpaper-a.bmp", "wallpaper-b.bmp")]
        for h in holders:
            h.stdout.readline()   # "held" once the file is open
        seen = len(desk.wallpaper_history())
        apply_a_change()
        r.check("busy: a picture file held open is written once it is free, and the map is shown",
                poll(lambda: len(desk.wallpaper_history()) > seen and showing_ours(desk), 60, 1.0)
                and "cannot" not in info(), (info(), desk.wallpaper_history()[-3:]))
        for h in holders:
            h.wait(30)
        panel("quit")
        r.check("folder: Quit ends the program and puts the user's wallpaper back",
                ctl.wait_exit(60) == 0 and desktop_values() == user, desktop_values())
    finally:
        ctl.kill()


def main():
    return later_session("wallpaper status session", policy, folder_and_busy_file)


if __name__ == "__main__":
    sys.exit(main())

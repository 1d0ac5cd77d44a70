#!/usr/bin/env python3
"""Windows 8 to 11 with the rig's desktop wallpaper object and two monitors:
every place the map went gets the user's picture back. A monitor attached
after the first renewal, and one attached again under another device path;
a shell that restarts (the object is made anew), whose SetWallpaper fails
at Quit (the next start puts the pictures back), and that cannot be reached
at all (the map does not start by itself); a user's picture that is gone,
or that is the system's own copy, comes back from the copy kept of it; two
virtual desktops of Windows 11, switched while the map shows; "solid
colour", where Windows 11's GetWallpaper fails."""
import os
import sys

from controller_harness import Controller, fresh_registry, panel, reg_values
from harness import Screen, close_to, poll
from wallpaper_harness import (RIG_BACKGROUND, RIG_FILL, RIG_KEY, RIG_PICTURES, desk_query, desktop_values,
                               is_our_picture, ours_on_every_monitor, rig_picture, rig_pictures_shown,
                               rig_user_state, rig_values, set_desktop, set_rig, two_monitor_session, unix_path, wine,
                               write_bmp)

PICTURES = RIG_PICTURES
ours_everywhere, user_pictures_shown = ours_on_every_monitor, rig_pictures_shown


def set_count():
    return (rig_values().get("set count") or ("", 0))[1]


def info():
    return panel("text", "1045")


VD_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\VirtualDesktops"
SECOND = (r"C:\uvtest\second desktop.bmp", (230, 200, 20))


def desktop_guid(n):
    """The rig's virtual desktop n: its id as text and as the 16 bytes stored."""
    text = "{%08X-0000-4000-8000-000000000001}" % (0x5EED0000 + n)
    raw = (0x5EED0000 + n).to_bytes(4, "little") + bytes([0, 0, 0, 0x40, 0x80, 0, 0, 0, 0, 0, 0, 1])
    return text, raw


def stored_wallpaper(n):
    values = reg_values(VD_KEY + "\\Desktops\\" + desktop_guid(n)[0]) or {}
    return (values.get("Wallpaper") or ("", ""))[1]


def fresh_rig():
    """The user's two pictures again, and nothing else of the rig's state."""
    wine(["reg", "delete", RIG_KEY, "/f"])
    fresh_registry()
    return rig_user_state()


def run_program(r, label, steps, quit=True):
    """One run: the panel, steps() while it runs, then Quit."""
    ctl = Controller()
    try:
        r.check(label + ": the control panel appears", ctl.wait_panel(), panel("find"))
        steps()
        if quit:
            panel("quit")
            r.check(label + ": Quit ends the program", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()


def renewed(before):
    """Waits for a renewal after a change of the settings: the rig counts the sets."""
    panel("button", "show grid")
    return poll(lambda: set_count() > before, 60, 1.0)


def user_pictures_back(r, label):
    after = rig_values()
    r.check(label + ": each monitor's own picture comes back",
            [rig_picture(i) for i in (0, 1)] == [PICTURES[0][0], PICTURES[1][0]] and
            poll(user_pictures_shown, 20, 0.5), after)


def monitor_attached_later(r, desk):
    """A monitor attached after the first renewal, and one attached again
    under another device path (which Windows gives the picture set last)."""
    fresh_rig()
    set_rig({"monitors": 1})

    def attach():
        r.check("attached later: the map on the one monitor known", poll(lambda: is_our_picture(rig_picture(0)),
                                                                         120, 1.0), rig_values())
        set_rig({"monitors": 2})
        r.check("attached later: the next renewal puts the map on the other monitor too",
                renewed(set_count()) and poll(ours_everywhere, 30, 1.0), rig_values())
    run_program(r, "attached later", attach)
    user_pictures_back(r, "attached later")

    fresh_rig()

    def reattach():
        r.check("attached again: the map on both monitors", poll(ours_everywhere, 120, 1.0), rig_values())
        set_rig({"id 1": r"\\?\DISPLAY#UVRIG#1#again"})
        r.check("attached again: renewed under the new path", renewed(set_count()), rig_values())
    run_program(r, "attached again", reattach)
    user_pictures_back(r, "attached again")


def shell_troubles(r, desk):
    """The shell restarts (the object answers no more), its SetWallpaper fails
    at Quit, then it cannot be reached at all for a whole run."""
    fresh_rig()

    def restart_then_failing_set():
        r.check("shell restarted: the map on both monitors", poll(ours_everywhere, 120, 1.0), rig_values())
        set_rig({"generation": 1})
        r.check("shell restarted: the next renewal gives each monitor its picture through a new object",
                renewed(set_count()), (set_count(), desktop_values()))
        set_rig({"fail set": 1})
    run_program(r, "failing restore", restart_then_failing_set)
    wine(["reg", "delete", RIG_KEY, "/v", "fail set", "/f"])
    set_rig({"no object": 1})
    before = (desktop_values(), rig_values())

    def without_object():
        said = poll(lambda: "wallpaper service" in info(), 60, 1.0)
        r.check("no object: the map does not start by itself, nothing changes, and the Information page says why",
                said and (desktop_values(), rig_values()) == before, (info(), desktop_values()))
    run_program(r, "no object", without_object)
    wine(["reg", "delete", RIG_KEY, "/v", "no object", "/f"])
    run_program(r, "next start", lambda: poll(ours_everywhere, 120, 1.0))
    user_pictures_back(r, "failing restore, then the next start")


def copies(r, desk):
    """Monitor 0's picture is deleted while the map shows; monitor 1's is
    the system's own copy of it, which the map overwrites."""
    themes = r"C:\users\root\AppData\Roaming\Microsoft\Windows\Themes"
    gone, system = r"C:\uvtest\stick\monitor 0.bmp", themes + r"\Transcoded_001"
    fresh_rig()
    write_bmp(unix_path(gone), 48, 48, PICTURES[0][1])
    write_bmp(unix_path(system), 48, 48, PICTURES[1][1])
    set_rig({"monitor 0": gone, "monitor 1": system})

    def lose():
        r.check("copies: the map on both monitors", poll(ours_everywhere, 120, 1.0), rig_values())
        os.remove(unix_path(gone))
    run_program(r, "copies", lose)
    back = [rig_picture(i) for i in (0, 1)]
    r.check("copies: each monitor gets the copy kept of its own picture",
            all("\\umbravue\\user wallpaper copy" in p.lower() for p in back), back)
    r.check("copies: the monitors show the user's pictures", poll(user_pictures_shown, 20, 0.5),
            (Screen().pixel(500, 300), Screen().pixel(1700, 300)))


def virtual_desktops(r, desk):
    """Windows 11: a picture per virtual desktop. The user switches to the
    second desktop while the map shows, and quits there."""
    fresh_rig()
    write_bmp(unix_path(SECOND[0]), 48, 48, SECOND[1])
    one, two = desktop_guid(1), desktop_guid(2)
    wine(["reg", "add", VD_KEY, "/v", "CurrentVirtualDesktop", "/t", "REG_BINARY", "/d", one[1].hex(), "/f"])
    wine(["reg", "add", VD_KEY + "\\Desktops\\" + one[0], "/v", "Wallpaper", "/d", PICTURES[1][0], "/f"])
    wine(["reg", "add", VD_KEY + "\\Desktops\\" + two[0], "/v", "Wallpaper", "/d", SECOND[0], "/f"])
    set_rig({"desktop 2 monitor 0": SECOND[0], "desktop 2 monitor 1": SECOND[0], "desktop 2 stored": SECOND[0]})

    def switch():
        r.check("desktops: the map on the first desktop", poll(ours_everywhere, 120, 1.0), rig_values())
        desk_query("desktop", 2)
        r.check("desktops: after a switch the map is shown on the second desktop too, not taken for your choice",
                renewed(set_count()) and poll(ours_everywhere, 30, 1.0) and "you chose" not in info(),
                (rig_values(), info()))
    try:
        run_program(r, "desktops", switch)
        r.check("desktops: the second desktop, current at Quit, gets its picture back",
                [rig_picture(i) for i in (0, 1)] == [SECOND[0]] * 2, rig_values())
        r.check("desktops: the first desktop's stored picture is the user's again",
                stored_wallpaper(1) == PICTURES[1][0], stored_wallpaper(1))
        desk_query("desktop", 1)
        r.check("desktops: switched back, no monitor of the first desktop shows the map",
                all(rig_picture(i) in (PICTURES[0][0], PICTURES[1][0]) for i in (0, 1)), rig_values())
    finally:
        wine(["reg", "delete", VD_KEY, "/f"])


def solid_colour(r, desk):
    """No picture at all: Windows 11's GetWallpaper then fails."""
    wine(["reg", "delete", RIG_KEY, "/f"])
    fresh_registry()
    set_rig({"solid": 1, "position": RIG_FILL, "background": RIG_BACKGROUND})
    set_desktop({"Wallpaper": ("REG_SZ", "")})
    run_program(r, "solid colour", lambda: r.check("solid colour: the map is shown",
                                                    poll(ours_everywhere, 120, 1.0), (rig_values(), info())))
    rig = rig_values()
    colour = (0x99, 0x66, 0x33)
    r.check("solid colour: Quit brings back the solid colour and its colour",
            rig.get("solid") == ("REG_DWORD", 1) and rig.get("background") == ("REG_DWORD", RIG_BACKGROUND) and
            poll(lambda: close_to(Screen().pixel(500, 300), colour, 8) and
                 close_to(Screen().pixel(1700, 300), colour, 8), 20, 0.5),
            (rig, Screen().pixel(500, 300), Screen().pixel(1700, 300)))


def main():
    return two_monitor_session("places session", monitor_attached_later, shell_troubles, copies, virtual_desktops,
                               solid_colour)


if __name__ == "__main__":
    sys.exit(main())

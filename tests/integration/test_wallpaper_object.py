#!/usr/bin/env python3
"""Windows 10 with the desktop wallpaper object (the rig's, tools/deskwall,
registered under the system's class id) and two monitors of different sizes:
each monitor gets its own part of the map at its own size, and each
monitor's own picture, the position and the background colour come back at
Quit. A slideshow keeps the map away unless the Misc page asks for it."""
import os
import sys

from controller_harness import Controller, panel
from harness import Screen, close_to, poll, render_reference
from wallpaper_harness import (HEIGHT, RIG_BACKGROUND, RIG_FILL, RIG_PICTURES, WIDTH, desk_query, desktop_values,
                               map_patches, ours_on_every_monitor, rig_pictures_shown, rig_values, save_screen,
                               set_rig, two_monitor_session, unix_path, wine)

PICTURES, FILL, BACKGROUND = RIG_PICTURES, RIG_FILL, RIG_BACKGROUND
user_pictures_shown, ours_everywhere = rig_pictures_shown, ours_on_every_monitor


def compare_monitors(r):
    """The screen against umbravue-render's picture of the whole virtual
    screen: each monitor shows its own part of it."""
    moment = int(os.path.getmtime(unix_path(rig_values()["monitor 0"][1])))
    ref = render_reference(moment, 10, extra=("--window", "%dx%d" % (WIDTH, HEIGHT)))
    other = render_reference(moment + 12 * 3600, 10, extra=("--window", "%dx%d" % (WIDTH, HEIGHT)))
    patches = map_patches(WIDTH, HEIGHT)
    differing = sum(1 for p in patches if not close_to(ref.mean(*p), other.mean(*p), 28))
    screen = Screen()
    bad = [(p[:2], tuple(round(v) for v in screen.mean(*p)), tuple(round(v) for v in ref.mean(*p)))
           for p in patches if not close_to(screen.mean(*p), ref.mean(*p), 28)]
    r.check("each monitor shows its own part of the one map (%d of %d patches tell two moments apart)"
            % (differing, len(patches)), differing >= 5 and not bad, bad)


def per_monitor(r, desk, rig_before, desktop_before):
    ctl = Controller()
    try:
        shown = ctl.wait_panel() and poll(ours_everywhere, 120, 1.0)
        r.check("per monitor: every monitor's picture is ours", shown, rig_values())
        widths = sorted(desk_query("monitorwall", i) or 0 for i in (0, 1))
        r.check("per monitor: each picture has its monitor's width", poll(
            lambda: sorted(desk_query("monitorwall", i) or 0 for i in (0, 1)) == [1024, 1280], 30, 1.0), widths)
        r.check("per monitor: centred, so each fills its monitor exactly",
                rig_values().get("position") == ("REG_DWORD", 0), rig_values())
        panel("hide")
        poll(lambda: panel("find").endswith(" 0"), 10, 0.5)
        compare_monitors(r)
        save_screen("wallpaper-per-monitor.png")
        panel("quit")
        r.check("per monitor: Quit ends the program", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
    after = rig_values()
    r.check("per monitor: each monitor's picture, the position and the background come back",
            all(after.get(k) == rig_before.get(k) for k in ("monitor 0", "monitor 1", "position", "background")),
            (after, rig_before))
    r.check("per monitor: the desktop key's values come back exactly", desktop_values() == desktop_before,
            desktop_values())
    r.check("per monitor: the monitors show the user's pictures again", poll(user_pictures_shown, 20, 0.5),
            (Screen().pixel(500, 300), Screen().pixel(1700, 300)))


def slideshow(r, desk, rig_before):
    set_rig({"slideshow": r"C:\uvtest"})
    ctl = Controller()
    try:
        info = lambda: panel("text", "1045")
        said = ctl.wait_panel() and poll(lambda: "slideshow" in info(), 60, 1.0)
        r.check("slideshow: the map does not start by itself and the Information page says why", said, info())
        r.check("slideshow: nothing is changed or kept", rig_values().get("monitor 0") == rig_before["monitor 0"] and
                "wallpaper journal" not in (wine(["reg", "query", r"HKCU\Software\VantorelSoftware\Umbravue"])
                                             .stdout.decode("latin-1")), rig_values())
        panel("button", "show the map as the desktop wallpaper")
        r.check("slideshow: asked for on the Misc page, the map is shown and the loss is said",
                poll(lambda: ours_everywhere() and "will not come back" in info(), 60, 1.0), (info(), rig_values()))
        panel("button", "show the map as the desktop wallpaper")   # off again for the next runs
        panel("quit")
        r.check("slideshow: Quit ends the program", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
        wine(["reg", "delete", r"HKCU\Software\UvTestRig\DesktopWallpaper", "/v", "slideshow", "/f"])
    r.check("slideshow: the pictures come back", rig_values().get("monitor 1") == rig_before["monitor 1"],
            rig_values())


def main():
    before = {}

    def remember(r, desk):
        before["rig"], before["desktop"] = rig_values(), desktop_values()
    return two_monitor_session("per-monitor session", remember,
                               lambda r, desk: per_monitor(r, desk, before["rig"], before["desktop"]),
                               lambda r, desk: slideshow(r, desk, before["rig"]))


if __name__ == "__main__":
    sys.exit(main())

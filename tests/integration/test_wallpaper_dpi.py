#!/usr/bin/env python3
"""The wallpaper on a screen of 192 DPI: city labels, markers, the sun glyph
and the status panel are drawn at twice their size of 96 DPI, so they stay
readable. Screenshots of both go to build/wallpaper-96dpi.png and
build/wallpaper-192dpi.png."""
import struct
import sys

from controller_harness import PRODUCT_KEY, Controller, fresh_registry, panel, reg_set_binary, reg_set_dword
from harness import Desktop, Results, Bitmap, poll
from wallpaper_harness import (end_session, is_our_picture, save_screen, start_x, stop_prefix, unix_path,
                               use_win10_prefix, wine, rig_values)

WIDTH, HEIGHT = 2560, 1600
HALO = (0, 0, 255)   # the status panel's background colour


def settings():
    fresh_registry()
    for name, value in (("overlay cities", 1), ("city labels", 1), ("glyph show sun", 1), ("overlay status", 1),
                        ("status sunrise", 1), ("status sunset", 1), ("status local time", 1),
                        ("status sun location", 1), ("status label foreground", 0x0000FFFF),
                        ("status label background", 0x00FF0000)):
        reg_set_dword(PRODUCT_KEY, name, value)
    reg_set_binary(PRODUCT_KEY, "cities selected", struct.pack("<6I", 3, 17, 250, 400, 700, 901))


def halo_pixels(path):
    """Pixels of the status panel's halo colour in the picture file."""
    b = Bitmap(path)
    want = bytes([HALO[2], HALO[1], HALO[0]])
    return sum(b.data[b.offset + row * b.stride: b.offset + row * b.stride + 3 * b.width].count(want)
               for row in range(b.height))


def run_at(r, dpi):
    wine(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"])
    stop_prefix()   # Wine reads the DPI when its first process starts
    settings()
    desk = Desktop(later=True)
    ctl = Controller()
    try:
        picture = lambda: (rig_values().get("monitor 0") or ("", ""))[1]
        shown = ctl.wait_panel() and poll(lambda: is_our_picture(picture()), 120, 1.0)
        r.check("%d DPI: the map becomes the wallpaper" % dpi, shown, rig_values())
        panel("hide")
        poll(lambda: panel("find").endswith(" 0"), 10, 0.5)
        save_screen("wallpaper-%ddpi.png" % dpi)
        count = halo_pixels(unix_path(picture()))
        panel("quit")
        ctl.wait_exit(60)
        return count
    finally:
        ctl.kill()
        end_session(desk)


def main():
    r = Results()
    use_win10_prefix()
    stop_prefix()
    xvfb = start_x(WIDTH, HEIGHT, [("*uvone", "2560/677x1600/423+0+0", "screen")])
    try:
        low = run_at(r, 96)
        high = run_at(r, 192)
        # Text twice as tall and wide, with a halo twice as wide: some four
        # times the halo's area, less the larger letters over it and the
        # smoothed edges (about 2.5 under Wine); unscaled it stays the same.
        r.check("192 DPI: the status panel's text is about twice as large", low and 1.8 * low < high < 6 * low,
                (low, high))
    except RuntimeError as e:
        r.check("DPI session completes", False, str(e))
    finally:
        wine(["reg", "delete", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/f"])
        stop_prefix()
        xvfb.terminate()
        xvfb.wait()
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

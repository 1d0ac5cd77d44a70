#!/usr/bin/env python3
"""The city chooser finds cities by the list box's own type-ahead (a letter
moves the caret to the next row that starts with it) and a click selects
them; the selection is saved as their indices in the city list."""
import os
import struct
import sys

from controller_harness import PRODUCT_KEY, Controller, caret_row, city_names, fresh_registry, panel, reg_values, tray
from harness import ROOT, Results, Screen, poll

CITIES_TAB = 5
WANTED = ("Beijing", "New Delhi", "Washington D.C.")


def main():
    r = Results()
    names = city_names()
    fresh_registry()
    ctl = Controller()
    try:
        r.check("chooser: the panel appears", ctl.wait_panel(), panel("find"))
        r.check("chooser: the cities page is shown",
                poll(lambda: tray("select", str(CITIES_TAB)) == "page %d 1" % CITIES_TAB, 30, 1.0))
        for name in WANTED:
            # Every row of that letter is reached within as many presses.
            presses = sum(1 for n in names if n[:1].lower() == name[0].lower())
            answer = ""
            for _ in range(presses):
                answer = tray("type", name[0].lower())
                if caret_row(answer) == names.index(name):
                    answer = tray("click")
                    break
            r.check("chooser: %s is found by typing its first letter and selected" % name,
                    caret_row(answer) == names.index(name), answer)
            try:
                Screen().save_png(os.path.join(ROOT, "build", "city-chooser-%s.png" % name.split()[0].lower()))
            except Exception:
                pass
        panel("quit")
        r.check("chooser: the program quits normally", ctl.wait_exit(60) == 0)
        stored = (reg_values(PRODUCT_KEY) or {}).get("cities selected")
        indices = sorted(names.index(n) for n in WANTED)
        r.check("chooser: the selection is saved as the cities' indices in the list",
                stored == ("REG_BINARY", struct.pack("<3I", *indices)), (stored, indices))
    finally:
        ctl.kill()
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

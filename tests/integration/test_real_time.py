#!/usr/bin/env python3
"""With "exact sun" and "real local time" stored, the city chooser's details
name a city's real zone and its offset now, and both switches survive a
quit. Kathmandu keeps +05:45 all year, so the check holds on any date."""
import os
import sys

from controller_harness import PRODUCT_KEY, Controller, caret_row, city_names, fresh_registry, panel, reg_set_dword, reg_values, tray
from harness import ROOT, Results, Screen, poll

CITIES_TAB = 5
DETAILS_ID = 1053


def main():
    r = Results()
    names = city_names()
    fresh_registry()
    reg_set_dword(PRODUCT_KEY, "exact sun", 1)
    reg_set_dword(PRODUCT_KEY, "real local time", 1)
    ctl = Controller()
    try:
        r.check("real time: the panel appears", ctl.wait_panel(), panel("find"))
        r.check("real time: the cities page is shown",
                poll(lambda: tray("select", str(CITIES_TAB)) == "page %d 1" % CITIES_TAB, 30, 1.0))
        target = names.index("Kathmandu")
        answer = ""
        for _ in range(sum(1 for n in names if n[:1] == "K")):
            answer = tray("type", "k")
            if caret_row(answer) == target:
                answer = tray("click")
                break
        r.check("real time: Kathmandu is found and selected", caret_row(answer) == target, answer)
        def details_with_zone():
            text = panel("text", str(DETAILS_ID))
            return text if "Asia/Kathmandu" in text else ""
        details = poll(details_with_zone, 20, 0.5) or panel("text", str(DETAILS_ID))
        r.check("real time: the details name the zone and its offset now",
                "Kathmandu: 27\xb042'" in details and details.endswith("\nAsia/Kathmandu +05:45"), details)
        try:
            Screen().save_png(os.path.join(ROOT, "build", "city-chooser-real-zone.png"))
        except Exception:
            pass
        panel("quit")
        r.check("real time: the program quits normally", ctl.wait_exit(60) == 0)
        values = reg_values(PRODUCT_KEY) or {}
        r.check("real time: both switches are saved on",
                values.get("exact sun") == ("REG_DWORD", 1) and values.get("real local time") == ("REG_DWORD", 1),
                (values.get("exact sun"), values.get("real local time")))
    finally:
        ctl.kill()
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

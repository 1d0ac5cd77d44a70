#!/usr/bin/env python3
"""The notification icon's mouse messages, sent as the shell would: a left
click shows the hidden control panel with the About page, a right click shows
it with the page it had, moves and other messages change nothing; with
"autohide" the panel hides at once and a right click brings it back; the
shell's "TaskbarCreated" broadcast leaves the program running as it was."""
import re
import sys
import time

from controller_harness import (PRODUCT_KEY, Controller, fresh_registry, panel, panel_state,
                                reg_set_dword, tray)
from harness import Results, poll

ABOUT_TAB = 6
OFFSETS_TAB = 1


def page():
    """(active tab index, panel visible) or None."""
    for _ in range(3):   # a stalled query is no answer: ask again
        m = re.match(r"page (\d+) (\d)", tray("page", timeout=15))
        if m:
            return (int(m.group(1)), m.group(2) == "1")
    return None


def clicks(r):
    fresh_registry()
    ctl = Controller()
    try:
        r.check("icon: the panel appears", ctl.wait_panel(), panel("find"))
        r.check("icon: the first page is Information", poll(lambda: page() == (0, True), 10), page())
        tray("select", str(OFFSETS_TAB))
        panel("hide")
        r.check("icon: hidden", poll(lambda: panel_state() == (True, False), 10), panel_state())
        tray("move")
        r.check("icon: a mouse move leaves the panel hidden", page() == (OFFSETS_TAB, False), page())
        tray("right")
        r.check("icon: a right click shows the panel with the page it had",
                poll(lambda: page() == (OFFSETS_TAB, True), 10), page())
        panel("hide")
        tray("left")
        r.check("icon: a left click shows the panel with the About page",
                poll(lambda: page() == (ABOUT_TAB, True), 10), page())
        tray("left")
        r.check("icon: a left click while shown keeps it on the About page",
                page() == (ABOUT_TAB, True), page())
        tray("taskbar")
        r.check("icon: a recreated taskbar leaves the panel as it was",
                page() == (ABOUT_TAB, True) and ctl.proc.poll() is None, page())
        clicked = panel("enter", "show grid")
        r.check("Enter after a click on a page's check box hides the panel",
                clicked.startswith("clicked") and poll(lambda: panel_state() == (True, False), 10),
                (clicked, panel_state()))
        panel("quit")
        r.check("icon: the program quits normally", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()


def autohide(r):
    fresh_registry()
    reg_set_dword(PRODUCT_KEY, "autohide", 1)
    ctl = Controller()
    try:
        r.check("autohide: the panel exists", ctl.wait_panel(shown=False), panel("find"))
        r.check("autohide: and hides at once",
                poll(lambda: panel_state() == (True, False), 20), panel_state())
        end, seen = time.time() + 6, []
        while time.time() < end:
            seen.append(panel_state())
            time.sleep(0.5)
        r.check("autohide: and stays hidden", all(s == (True, False) for s in seen), seen)
        tray("right")
        r.check("autohide: a right click on the icon shows it",
                poll(lambda: panel_state() == (True, True), 10), panel_state())
        panel("quit")
        r.check("autohide: the program quits normally", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
        fresh_registry()


def main():
    r = Results()
    try:
        clicks(r)
        autohide(r)
    except RuntimeError as e:
        r.check("notification icon session completes", False, str(e))
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

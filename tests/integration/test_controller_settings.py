#!/usr/bin/env python3
"""umbravue.exe on the stand-in desktop: a first run writes every setting with
its default, values set before the start reach the desktop and come back
through loading's rules, each way of ending (Quit, WM_CLOSE, log-off)
saves, removes the picture and releases the installer mutex, a change
survives a hard kill, and a new shell gets the picture back."""
import os
import sys
import time

from controller_harness import (DEFAULTS, PRODUCT_KEY, RUN_KEY, Controller, fresh_registry,
                                mutex_exists, panel, panel_state, reg_set_binary, reg_set_dword,
                                reg_values, tray)
from harness import (DESKTOP_RGB, ROOT, STAT_RUNNING, Desktop, Driver, Results, Screen, close_to,
                     poll)


def map_shows(drv, w, h):
    p = drv.pixel(w // 2, h // 2)
    return p is not None and p != DESKTOP_RGB


def desktop_restored(drv, w, h):
    return drv.pixel(w // 2, h // 2) == DESKTOP_RGB and drv.stat(STAT_RUNNING) in (0, -2)


def ended_cleanly(r, name, ctl, drv, w, h):
    code = ctl.wait_exit(60)
    r.check(name + ": the process ends with code 0", code == 0, code)
    r.check(name + ": the desktop shows its own background again",
            poll(lambda: desktop_restored(drv, w, h), 20), drv.pixel(w // 2, h // 2))
    r.check(name + ": the installer mutex is released", not mutex_exists())


def green_grid_row(screen, x0):
    """The screen row near the equator where most pixels are the grid's green."""
    for y in range(screen.height // 2 - 8, screen.height // 2 + 8):
        greens = sum(1 for x in range(x0, screen.width)
                     if close_to(screen.pixel(x, y), (0, 255, 0), 40))
        if greens > (screen.width - x0) * 0.8:
            return y
    return None


def fresh_run(r, drv, w, h):
    fresh_registry()
    ctl = Controller()
    try:
        r.check("fresh start: the control panel appears", ctl.wait_panel(), panel("find"))
        r.check("fresh start: the installer mutex is held", mutex_exists())
        shown = poll(lambda: map_shows(drv, w, h), 30, 0.25)
        r.check("fresh start: the map shows on the desktop", shown, drv.pixel(w // 2, h // 2))
        if shown:
            r.check("fresh start: first picture within the start plus two seconds and a render",
                    time.time() - ctl.started < 30, time.time() - ctl.started)
        panel("quit")
        ended_cleanly(r, "Quit", ctl, drv, w, h)
    finally:
        ctl.kill()
    values = reg_values(PRODUCT_KEY) or {}
    r.check("first save writes exactly the %d values" % (len(DEFAULTS) + 1),
            sorted(values) == sorted(list(DEFAULTS) + ["cities selected"]), sorted(values))
    wrong = {n: v for n, v in DEFAULTS.items() if values.get(n) != ("REG_DWORD", v)}
    r.check("every value has its default as a REG_DWORD", not wrong, wrong)
    r.check("\"cities selected\" is an empty REG_BINARY",
            values.get("cities selected") == ("REG_BINARY", b""), values.get("cities selected"))
    run = reg_values(RUN_KEY) or {}
    r.check("no start-with-Windows entry is written", "Umbravue" not in run, run.get("Umbravue"))


def preset_run(r, drv, w, h):
    fresh_registry()
    reg_set_dword(PRODUCT_KEY, "overlay grid", 1)
    reg_set_dword(PRODUCT_KEY, "overlay grid color", 0x0000FF00)
    reg_set_dword(PRODUCT_KEY, "YOffset", 537)
    reg_set_dword(PRODUCT_KEY, "follow the sun", 1)
    reg_set_dword(PRODUCT_KEY, "timezone offset", 1)
    reg_set_binary(PRODUCT_KEY, "cities selected", bytes([5, 0, 0, 0, 9, 9]))
    reg_set_dword(PRODUCT_KEY, "status local time", 1)
    reg_set_dword(PRODUCT_KEY, "overlay civil twilight", 1)
    reg_set_dword(PRODUCT_KEY, "overlay civil twilight color", 0x00FF00FF)
    reg_set_binary(PRODUCT_KEY, "graded twilight", bytes([1, 0]))  # not 4 bytes: ignored
    ctl = Controller()
    try:
        r.check("stored values: the control panel appears", ctl.wait_panel(), panel("find"))
        row = poll(lambda: green_grid_row(Screen(), 560), 40, 1.0)
        r.check("stored grid switch and colour reach the desktop: a green grid line crosses the map",
                row is not None, row)
        screen = Screen()
        magenta = sum(1 for y in range(0, screen.height, 2) for x in range(0, screen.width, 2)
                      if close_to(screen.pixel(x, y), (255, 0, 255), 24))
        r.check("a stored twilight line and its colour reach the desktop", magenta > 20, magenta)
        shot = os.path.join(ROOT, "build", "controller-grid.png")
        try:
            Screen().save_png(shot)
        except Exception:
            pass
        panel("close")
        ended_cleanly(r, "WM_CLOSE", ctl, drv, w, h)
    finally:
        ctl.kill()
    v = reg_values(PRODUCT_KEY) or {}
    r.check("YOffset 537 loads as 53 % and saves as 530", v.get("YOffset") == ("REG_DWORD", 530),
            v.get("YOffset"))
    r.check("\"follow the sun\" wins over \"timezone offset\"",
            v.get("follow the sun") == ("REG_DWORD", 1) and v.get("timezone offset") == ("REG_DWORD", 0),
            (v.get("follow the sun"), v.get("timezone offset")))
    r.check("six bytes of \"cities selected\" select the first city only",
            v.get("cities selected") == ("REG_BINARY", bytes([5, 0, 0, 0])), v.get("cities selected"))
    r.check("the twilight line's settings are saved; a value of the wrong size is saved as its default",
            v.get("overlay civil twilight color") == ("REG_DWORD", 0xFF00FF) and
            v.get("graded twilight") == ("REG_DWORD", 0), (v.get("overlay civil twilight color"), v.get("graded twilight")))
    r.check("values after the city selection still load",
            v.get("status local time") == ("REG_DWORD", 1) and v.get("overlay grid color") == ("REG_DWORD", 0xFF00),
            (v.get("status local time"), v.get("overlay grid color")))


def logoff_run(r, drv, w, h):
    fresh_registry()
    reg_set_binary(PRODUCT_KEY, "cities selected", b"")
    reg_set_dword(PRODUCT_KEY, "city labels", 1)
    ctl = Controller()
    try:
        r.check("log-off: the control panel appears", ctl.wait_panel(), panel("find"))
        poll(lambda: map_shows(drv, w, h), 30, 0.25)
        # Edits made in the window and never saved by hand.
        r.check("log-off: \"Show Sun\" ticked in the Glyphs page", panel("button", "Show Sun") == "clicked 1")
        r.check("log-off: \"start when windows starts\" ticked",
                panel("button", "start when windows starts") == "clicked 1")
        answer = panel("queryendsession")
        r.check("WM_QUERYENDSESSION lets the session end", answer == "answer 1", answer)
        v = reg_values(PRODUCT_KEY) or {}
        r.check("WM_QUERYENDSESSION has saved the edit made in the window before it answers",
                v.get("glyph show sun") == ("REG_DWORD", 1), v.get("glyph show sun"))
        # Another program may still refuse the log-off: nothing ends yet.
        r.check("WM_QUERYENDSESSION leaves the program running",
                ctl.wait_exit(3) is None and panel_state() == (True, True), panel_state())
        panel("endsession", "0")
        r.check("a cancelled log-off leaves the program running with the picture",
                ctl.wait_exit(3) is None and panel_state() == (True, True) and map_shows(drv, w, h),
                (panel_state(), drv.pixel(w // 2, h // 2)))
        panel("endsession", "1")
        ended_cleanly(r, "WM_ENDSESSION", ctl, drv, w, h)
    finally:
        ctl.kill()
    v = reg_values(PRODUCT_KEY) or {}
    r.check("an empty \"cities selected\" stays empty and the values after it load",
            v.get("cities selected") == ("REG_BINARY", b"") and v.get("city labels") == ("REG_DWORD", 1),
            (v.get("cities selected"), v.get("city labels")))
    run = (reg_values(RUN_KEY) or {}).get("Umbravue")
    r.check("the start-with-Windows entry names the program, quoted",
            run is not None and run[0] == "REG_SZ" and run[1].startswith('"')
            and run[1].lower().endswith('umbravue.exe"'), run)
    fresh_registry()


def hard_kill_run(r):
    """A change is in the registry shortly after it was applied, so ending
    the process without its shutdown loses nothing."""
    fresh_registry()
    ctl = Controller()
    try:
        r.check("hard kill: the control panel appears", ctl.wait_panel(), panel("find"))
        r.check("hard kill: \"show grid\" ticked", panel("button", "show grid") == "clicked 1")
        saved = poll(lambda: (reg_values(PRODUCT_KEY) or {}).get("overlay grid") == ("REG_DWORD", 1), 30, 0.5)
        r.check("a change is written to the registry shortly after it is applied", saved,
                (reg_values(PRODUCT_KEY) or {}).get("overlay grid"))
    finally:
        ctl.kill()
    poll(lambda: not panel_state()[0], 30, 0.5)
    ctl = Controller()
    try:
        r.check("hard kill: the program starts again", ctl.wait_panel(), panel("find"))
        panel("quit")
        ctl.wait_exit(60)
    finally:
        ctl.kill()
    v = reg_values(PRODUCT_KEY) or {}
    r.check("after a hard kill the next start has the change",
            v.get("overlay grid") == ("REG_DWORD", 1), v.get("overlay grid"))
    fresh_registry()


def map_at_top(drv, w, h):
    top, bottom = drv.pixel(w // 2, 10), drv.pixel(w // 2, h - 10)
    return top is not None and top != DESKTOP_RGB and bottom == DESKTOP_RGB


def shell_restart_run(r, desk, drv):
    """The shell ends and a new one starts while the program runs: the
    picture comes back, with the settings, without a restart of the program."""
    w, h = desk.width, desk.height
    fresh_registry()
    reg_set_dword(PRODUCT_KEY, "YOffset", 0)
    ctl = Controller()
    try:
        r.check("new shell: the control panel appears", ctl.wait_panel(), panel("find"))
        r.check("new shell: the map shows at the top", poll(lambda: map_at_top(drv, w, h), 30, 0.5),
                drv.pixel(w // 2, 10))
        desk.restart()
        tray("taskbar")
        r.check("a shell that announces its taskbar gets the picture back, at the stored offset",
                poll(lambda: map_at_top(drv, w, h), 40, 0.5), (drv.pixel(w // 2, 10), drv.pixel(w // 2, h - 10)))
        desk.restart()
        # No announcement this time: the next refresh finds the new desktop.
        panel("button", "show grid")
        r.check("a new desktop found at a refresh gets the picture back",
                poll(lambda: map_at_top(drv, w, h), 40, 0.5), (drv.pixel(w // 2, 10), drv.pixel(w // 2, h - 10)))
        panel("quit")
        ended_cleanly(r, "after a new shell", ctl, drv, w, h)
    finally:
        ctl.kill()
    fresh_registry()


def main():
    r = Results()
    desk = Desktop()
    drv = Driver()
    try:
        w, h = desk.width, desk.height
        fresh_run(r, drv, w, h)
        preset_run(r, drv, w, h)
        logoff_run(r, drv, w, h)
        hard_kill_run(r)
        shell_restart_run(r, desk, drv)
    except RuntimeError as e:
        r.check("controller settings session completes", False, str(e))
    finally:
        drv.close()
        desk.stop()
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

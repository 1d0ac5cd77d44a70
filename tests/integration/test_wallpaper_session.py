#!/usr/bin/env python3
"""The user's wallpaper and the session: a log-off that ends the program the
moment it has answered WM_ENDSESSION still leaves the user's wallpaper in
place, and two starts close together never leave two copies running.
Windows that do not answer a change of the settings neither stall the
renewals nor keep the user's wallpaper from coming back at Quit or at a
log-off."""
import queue
import subprocess
import sys
import threading
import time

from controller_harness import Controller, panel
from harness import BIN, WINE, Screen, poll
from wallpaper_harness import desk_query, desktop_values, is_our_picture, kept_values, later_session, showing_ours, showing_user


def logoff(r, desk, user):
    ctl = Controller()
    try:
        shown = ctl.wait_panel() and poll(lambda: showing_ours(desk), 120, 1.0)
        r.check("log-off: the map became the wallpaper", shown, desk.wallpaper_history()[-3:])
        answer = panel("logoff")
        r.check("log-off: the program ended right after WM_ENDSESSION", answer.endswith(" 1"), answer)
    finally:
        ctl.kill()
    r.check("log-off: the user's wallpaper is back in the registry", desktop_values() == user, desktop_values())
    r.check("log-off: no kept copy is left for a next start", kept_values() == {}, kept_values())
    r.check("log-off: the desktop shows the user's wallpaper", poll(lambda: showing_user(desk), 20, 0.5),
            (desk.wallpaper_history()[-3:], Screen().pixel(desk.width // 2, desk.height // 2)))


def two_starts(r, desk, user):
    """Two starts a moment apart while the first is slow to open its window
    (it puts back the wallpaper a killed run left, and the desktop is slow to
    answer): the second must find the first all the same and must not touch
    the wallpaper."""
    killed = Controller()
    try:
        killed.wait_panel() and poll(lambda: showing_ours(desk), 120, 1.0)
    finally:
        killed.kill()
    hang = subprocess.Popen([WINE, "deskshell.exe", "query", "hang", "8000"], cwd=BIN, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    time.sleep(1)
    first, second = Controller(), Controller()
    hang.wait(30)
    try:
        codes = poll(lambda: [c for c in (first.proc.poll(), second.proc.poll()) if c is not None], 60, 0.5)
        r.check("two starts: one of them ends at once, with code 0", codes == [0], codes)
        running = first if first.proc.poll() is None else second
        # The desktop may have missed the news while it hung: the registry says.
        ours = lambda: is_our_picture((desktop_values()["Wallpaper"] or ("", ""))[1])
        shown = running.wait_panel() and poll(ours, 120, 1.0)
        r.check("two starts: one control panel, and the map is the wallpaper",
                shown and panel("count") == "count 1", (panel("count"), desktop_values()))
        r.check("two starts: the user's wallpaper is what is kept",
                kept_values().get("user wallpaper") == user["Wallpaper"], kept_values())
        panel("quit")
        r.check("two starts: Quit ends the program", running.wait_exit(60) == 0)
        # A second copy left running would set the map again at its refresh.
        r.check("two starts: after Quit no copy is left running",
                poll(lambda: first.proc.poll() is not None and second.proc.poll() is not None, 30, 1.0),
                (first.proc.poll(), second.proc.poll(), panel("count")))
        # The desktop repaints what the closed panel covered: slow on a busy
        # machine, and the stand-in desktop, hung a while ago, has been seen
        # to miss the X server's exposure of it. What counts is that it paints
        # the user's picture, asked again after a while if need be.
        seen = poll(lambda: showing_user(desk), 20, 0.5)
        if not seen:
            desk_query("repaint")
            seen = poll(lambda: showing_user(desk), 20, 0.5)
        r.check("two starts: after Quit the user's wallpaper is back",
                desktop_values() == user and desk.wallpaper_history()[-1][1] == user["Wallpaper"][1] and seen,
                (desktop_values(), desk.wallpaper_history()[-3:], Screen().pixel(desk.width // 2, desk.height // 2)))
    finally:
        first.kill()
        second.kill()


def locked(r, desk, user):
    """Nothing is renewed while the session is locked; the renewal that was
    due follows the unlock."""
    ctl = Controller()
    try:
        shown = ctl.wait_panel() and poll(lambda: showing_ours(desk), 120, 1.0)
        r.check("locked: the map became the wallpaper", shown, desk.wallpaper_history()[-3:])
        panel("session", "7")
        seen = len(desk.wallpaper_history())
        panel("button", "show grid")
        poll(lambda: len(desk.wallpaper_history()) > seen, 12, 1.0)
        r.check("locked: a change is not renewed while the session is locked",
                len(desk.wallpaper_history()) == seen, desk.wallpaper_history()[seen:])
        panel("session", "8")
        r.check("locked: it is renewed once the session is unlocked",
                poll(lambda: len(desk.wallpaper_history()) > seen and showing_ours(desk), 30, 1.0),
                desk.wallpaper_history()[seen - 1:])
        panel("quit")
        r.check("locked: Quit ends the program", ctl.wait_exit(60) == 0 and desktop_values() == user,
                desktop_values())
    finally:
        ctl.kill()


DEAF_WINDOWS = 12


def deaf_windows(r, desk, user):
    """Top-level windows that take their messages but answer WM_SETTINGCHANGE
    only after two minutes. Wine bounds its own broadcast at two seconds a
    window (Windows waits for each), so it takes a dozen of them to stall a
    plain broadcast past the 20 s a Quit waits."""
    deaf = subprocess.Popen([WINE, "deskshell.exe", "deaf", str(DEAF_WINDOWS)], cwd=BIN, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)
    lines = queue.Queue()
    threading.Thread(target=lambda: [lines.put(l) for l in iter(deaf.stdout.readline, b"")], daemon=True).start()
    try:
        ready = lines.get(timeout=60)
        r.check("deaf windows: they are up", ready.startswith(b"ready"), ready)
        ctl = Controller()
        try:
            shown = ctl.wait_panel() and poll(lambda: showing_ours(desk), 120, 1.0)
            r.check("deaf windows: the map became the wallpaper", shown, desk.wallpaper_history()[-3:])
            seen = len(desk.wallpaper_history())
            panel("button", "show grid")
            r.check("deaf windows: a change reaches the desktop within 15 s",
                    poll(lambda: len(desk.wallpaper_history()) > seen and showing_ours(desk), 15, 0.5),
                    desk.wallpaper_history()[seen - 1:])
            panel("button", "show grid")
            time.sleep(4)   # the renewal of that change is under way
            start = time.time()
            panel("quit")
            code = ctl.wait_exit(60)
            r.check("deaf windows: Quit ends within 15 s and puts the user's wallpaper back",
                    code == 0 and time.time() - start < 15 and desktop_values() == user and
                    poll(lambda: showing_user(desk), 20, 0.5),
                    (code, round(time.time() - start), desktop_values(), desk.wallpaper_history()[-2:]))
        finally:
            ctl.kill()
        ctl = Controller()
        try:
            shown = ctl.wait_panel() and poll(lambda: showing_ours(desk), 120, 1.0)
            start = time.time()
            answer = panel("logoff")
            took = time.time() - start
            r.check("deaf windows: a log-off is answered within 5 s and the user's wallpaper is back",
                    shown and took < 5 and desktop_values() == user and poll(lambda: showing_user(desk), 20, 0.5),
                    (answer, round(took, 1), desktop_values(), desk.wallpaper_history()[-2:]))
        finally:
            ctl.kill()
    finally:
        deaf.kill()
        deaf.wait(10)


def main():
    return later_session("wallpaper session test", logoff, two_starts, locked, deaf_windows)


if __name__ == "__main__":
    sys.exit(main())

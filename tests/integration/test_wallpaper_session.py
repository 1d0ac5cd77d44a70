#!/usr/bin/env python3
"""The user's wallpaper and the session: a log-off that ends the program the
moment it has answered WM_ENDSESSION still leaves the user's wallpaper in
place, and two starts close together never leave two copies running."""
import sys

from controller_harness import Controller, fresh_registry, panel
from harness import Desktop, Results, Screen, poll
from wallpaper_harness import (desktop_values, end_session, kept_values, set_user_wallpaper, showing_ours,
                               showing_user, use_later_prefix, wine)


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


def main():
    r = Results()
    use_later_prefix()
    fresh_registry()
    user = set_user_wallpaper()
    desk = Desktop(later=True)
    try:
        logoff(r, desk, user)
    except RuntimeError as e:
        r.check("wallpaper session test completes", False, str(e))
    finally:
        end_session(desk)
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

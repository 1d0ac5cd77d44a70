#!/usr/bin/env python3
"""The hook library without globepix.dll beside it: the desktop host refuses
to start, the desktop stays as it was, and the install gives up after a
bounded time instead of waiting for a host that never comes."""
import sys
import tempfile

from harness import DESKTOP_RGB, STAT_RUNNING, Desktop, Driver, Results, copy_binaries


def main():
    r = Results()
    desk = Desktop()
    with tempfile.TemporaryDirectory(prefix="uv-noresources-") as folder:
        copy_binaries(["uvdll.dll", "uvdrive.exe"], folder)
        drv = Driver(bin_dir=folder)
        try:
            w, h = desk.width, desk.height
            ms, running = drv.numbers("install", timeout=60)
            r.check("install without the resource library gives up within its bound",
                    running == 0 and 9000 <= ms < 15000, (ms, running))
            r.check("the desktop keeps its own window procedure and background",
                    drv.ask("ownproc") == 1 and drv.pixel(w // 2, h // 2) == DESKTOP_RGB,
                    (drv.ask("ownproc"), drv.pixel(w // 2, h // 2)))
            r.check("no host runs in the desktop's process and its thread still answers",
                    drv.ask("ping") == 1 and drv.stat(STAT_RUNNING) in (0, -2), drv.stat(STAT_RUNNING))
            lines = drv.debug_lines()
            r.check("the install wrote its waiting lines and no success line",
                    "waiting for busy semaphore to be created\n" in lines
                    and not any(l.startswith("hook installed: ") for l in lines), lines[-3:])
            ms, = drv.numbers("remove")
            r.check("removal after a failed install returns at once", ms < 1000, ms)
        except RuntimeError as e:
            r.check("missing resource session completes", False, str(e))
        finally:
            drv.close()
            desk.stop()
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

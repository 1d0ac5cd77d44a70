#!/usr/bin/env python3
"""What the desktop host adds to the desktop shell's memory: the stand-in
shell (deskshell.exe) on a private Xvfb of each screen size, its resident
memory read from /proc of its Wine process before the first host and with
that host once it has composed and painted a picture (the library, its
buffers and bitmaps, and what Wine keeps for them). Not a test: run it by hand, after
scripts/lib/common.sh has set up Wine (its prefix, UV_WINE).

  tools/bench/shell_memory.py [BIN_DIR] [WIDTHxHEIGHT ...]

BIN_DIR holds deskshell.exe, uvdrive.exe, uvdll.dll and globepix.dll of one
build (default: the build the tests run, build/$UV_WIN/bin); 1920x1080 and
3840x2160 when no size is given. Prints one line per size.
"""
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "integration"))
from harness import BIN, STAT_COMPOSES, STAT_REBUILDS, Desktop, Driver, poll  # noqa: E402


def start_xvfb(width, height):
    for n in range(150, 200):
        if os.path.exists("/tmp/.X11-unix/X%d" % n) or os.path.exists("/tmp/.X%d-lock" % n):
            continue
        proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if poll(lambda: os.path.exists("/tmp/.X11-unix/X%d" % n), 10, 0.1):
            os.environ["DISPLAY"] = ":%d" % n
            return proc
        proc.kill()
    raise RuntimeError("no Xvfb")


def resident_kb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def settle(pid):
    """The largest of a few readings a second apart: pages come in late."""
    time.sleep(2)
    return max(resident_kb(pid) for _ in range(3) if time.sleep(1) is None)


def measure(bin_dir, width, height):
    xvfb = start_xvfb(width, height)
    desk = drv = None
    try:
        desk = Desktop(bin_dir=bin_dir)
        drv = Driver(bin_dir=bin_dir)
        pid = desk.proc.pid
        # A shell that never had a host: memory freed by one stays with the
        # process, so only the first host shows what a host adds.
        without = settle(pid)
        drv.numbers("install")
        drv.cmd("burst gap=5")
        drv.cmd("settime 0")
        composed = drv.wait_stat(STAT_COMPOSES, 1, 30000) >= 1
        drv.ask("repaint")
        painted = drv.wait_stat(STAT_REBUILDS, 1, 30000) >= 1
        with_host = settle(pid)
        drv.cmd("remove")
        if not (composed and painted):
            return "%dx%d  the host did not compose and paint a picture" % (width, height)
        return "%dx%d  shell without host %7.1f MB   with host %7.1f MB   host adds %6.1f MB" % (
            width, height, without / 1024, with_host / 1024, (with_host - without) / 1024)
    finally:
        if drv:
            drv.close()
        if desk:
            desk.stop()
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        xvfb.kill()
        xvfb.wait()


def main():
    args = sys.argv[1:]
    bin_dir = args.pop(0) if args and os.path.isdir(args[0]) else BIN
    sizes = [tuple(int(v) for v in a.split("x")) for a in args] or [(1920, 1080), (3840, 2160)]
    for width, height in sizes:
        print(measure(bin_dir, width, height), flush=True)


if __name__ == "__main__":
    main()

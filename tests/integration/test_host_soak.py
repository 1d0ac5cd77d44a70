#!/usr/bin/env python3
"""A long session of the desktop host against one running stand-in shell: 50
install/remove cycles, then 1,000 random settings messages (ids 0..300,
values 0, small, negative and huge) while a host runs, after which the next
install brings the picture back. The shell's process must not grow: its
resident memory, file descriptors and threads (read from /proc of the Wine
process; GetGuiResources and GetProcessHandleCount answer 0 under Wine) stay
within the stated margins of the values after a warm-up."""
import os
import random
import sys
import time

from harness import DESKTOP_RGB, STAT_COMPOSES, STAT_RUNNING, Desktop, Driver, Results, poll

CYCLES = 50
MESSAGES = 1000
# One host holds about 30 MB (four 2048 x 1024 pixel buffers and two bitmaps of
# that size): a host's buffers left behind once would exceed this margin.
RSS_MARGIN_KB = 12 * 1024
# Each Wine thread holds its own descriptors to the server: a worker thread
# left running per cycle shows here and in the thread count.
FD_MARGIN = 4
THREAD_MARGIN = 1


def shell_pid(desk):
    """The Wine process of the stand-in shell: wine runs the program in the
    process it was started as."""
    try:
        with open("/proc/%d/cmdline" % desk.proc.pid, "rb") as f:
            args = f.read().split(b"\0")
    except OSError:
        return None
    return desk.proc.pid if any(a.endswith(b"deskshell.exe") for a in args) else None


def usage(pid):
    """(VmRSS in kB, open descriptors, threads) of the process."""
    rss = threads = 0
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                rss = int(line.split()[1])
            elif line.startswith("Threads:"):
                threads = int(line.split()[1])
    return rss, len(os.listdir("/proc/%d/fd" % pid)), threads


def settled_usage(pid, drv):
    """Usage once the host has stopped and the shell is idle."""
    poll(lambda: drv.stat(STAT_RUNNING) in (0, -2), 20, 0.3)
    drv.ask("repaint")
    time.sleep(1)
    return usage(pid)


def main():
    r = Results()
    desk = Desktop()
    drv = Driver()
    try:
        run(r, desk, drv)
    except RuntimeError as e:
        r.check("soak session completes", False, str(e))
    finally:
        drv.close()
        desk.stop()
    r.exit()


def run(r, desk, drv):
    w, h = desk.width, desk.height
    pid = poll(lambda: shell_pid(desk), 10, 0.2)
    if not r.check("the shell's Wine process is found in /proc", pid is not None):
        return
    started = time.time()

    # Warm-up: the first hosts load what the shell keeps for good (the
    # library, fonts, the runtime's heap).
    for _ in range(3):
        drv.cmd("install")
        drv.cmd("remove")
    base = settled_usage(pid, drv)

    reached = removed = 0
    for _ in range(CYCLES):
        _, running = drv.numbers("install")
        reached += running
        drv.cmd("settime 0")
        drv.cmd("remove")
        removed += drv.numbers("running") == [0] and drv.stat(STAT_RUNNING) == 0
    r.check("every one of %d installs reaches a host and every removal stops it" % CYCLES,
            reached == CYCLES and removed == CYCLES, (reached, removed))
    after_cycles = settled_usage(pid, drv)

    seed = random.randrange(1, 2 ** 31)
    print("random settings messages with seed %d" % seed, flush=True)
    drv.numbers("install")
    drv.wait_stat(STAT_COMPOSES, drv.stat(STAT_COMPOSES) + 1, 15000)
    drv.cmd("random %d %d 2" % (MESSAGES, seed), timeout=120)
    alive = poll(lambda: drv.ask("ping") == 1, 30, 0.5)
    r.check("the shell answers after %d random settings messages" % MESSAGES, alive)

    ms, running = drv.numbers("install")
    drv.cmd("burst gap=5")
    drv.cmd("settime 0")
    back = poll(lambda: drv.pixel(w // 2, h // 2) not in (None, DESKTOP_RGB), 30, 0.5)
    r.check("after them the next install brings the picture back",
            running == 1 and back and drv.numbers("running") == [1], (ms, running, drv.pixel(w // 2, h // 2)))
    drv.cmd("remove")
    after_random = settled_usage(pid, drv)

    print("shell usage (VmRSS kB, fds, threads): after warm-up %s, after %d cycles %s, after the random messages %s"
          % (base, CYCLES, after_cycles, after_random), flush=True)
    for name, now in (("the install/remove cycles", after_cycles), ("the random messages", after_random)):
        r.check("the shell's resident memory stays within %d MB over %s" % (RSS_MARGIN_KB // 1024, name),
                now[0] - base[0] <= RSS_MARGIN_KB, (base[0], now[0]))
        r.check("the shell's descriptors and threads stay flat over %s" % name,
                now[1] - base[1] <= FD_MARGIN and now[2] - base[2] <= THREAD_MARGIN, (base, now))
    print("soak took %.0f s" % (time.time() - started), flush=True)


if __name__ == "__main__":
    sys.exit(main())

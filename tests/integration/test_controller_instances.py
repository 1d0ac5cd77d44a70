#!/usr/bin/env python3
"""One umbravue.exe at a time: a second start shows the running one's window
and ends, or says at once that the account's copy runs in another session;
"uninstall" closes a running instance (which saves first) and then
removes the settings and the start-with-Windows entry but keeps the vendor
key; only the exact word counts; without globepix.dll the program says so and
ends with code 1, touching nothing; in a folder whose name the ANSI code page
cannot hold it finds its libraries, and the desktop host its images."""
import subprocess
import sys
import tempfile
import time

from controller_harness import (PRODUCT_KEY, RUN_KEY, VENDOR_KEY, Controller, _env, fresh_registry,
                                mutex_exists, panel, panel_state, reg_set_dword, reg_set_string,
                                reg_values)
from harness import (BIN, DESKTOP_RGB, STAT_RUNNING, WINE, Desktop, Driver, Results, copy_binaries, end_process,
                     poll)


def second_start(r):
    fresh_registry()
    ctl = Controller()
    try:
        r.check("second start: the first instance's panel appears", ctl.wait_panel(), panel("find"))
        panel("hide")
        r.check("second start: \"Hide\" hides the panel",
                poll(lambda: panel_state() == (True, False), 10), panel_state())
        second = Controller()
        code = second.wait_exit(60)
        r.check("second start: the second process ends with code 0", code == 0, code)
        r.check("second start: the hidden panel is shown again",
                poll(lambda: panel_state() == (True, True), 10), panel_state())
        r.check("second start: no second window",
                poll(lambda: panel("count") == "count 1", 10), panel("count"))
        r.check("second start: the first instance still runs", ctl.proc.poll() is None)
        panel("quit")
        r.check("second start: the first instance quits", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
    # The account's copy in another session holds only the global mutex; one
    # this process may not open counts the same.
    fresh_registry()
    for access in ("open", "locked"):
        label = "copy in another session (%s): " % access
        held = subprocess.Popen([WINE, "uvpanel.exe", "instance", "90000", "self", access], cwd=BIN, env=_env(),
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        second = None
        try:
            held.stdout.readline()
            start = time.time()
            second = Controller()
            box = poll(lambda: "in another session" in panel("msgbox"), 30, 0.5)
            r.check(label + "a second start says so at once", box and time.time() - start < 12,
                    (panel("msgbox"), time.time() - start))
            r.check(label + "and makes no window of its own", panel("count") == "count 0", panel("count"))
            panel("msgbox", "dismiss")
            code = second.wait_exit(30)
            r.check(label + "it ends with code 0 and writes no settings",
                    code == 0 and reg_values(PRODUCT_KEY) is None, (code, reg_values(PRODUCT_KEY)))
        finally:
            if second:
                second.kill()
            end_process(held)


def uninstall_running(r):
    fresh_registry()
    reg_set_string(RUN_KEY, "Umbravue", r"C:\somewhere\umbravue.exe")
    ctl = Controller()
    try:
        r.check("uninstall with an instance: its panel appears", ctl.wait_panel(), panel("find"))
        start = time.time()
        un = Controller(["uninstall"])
        first_end = None
        while un.proc.poll() is None and time.time() - start < 90:
            if first_end is None and ctl.proc.poll() is not None:
                first_end = time.time()
            time.sleep(0.2)
        code = un.wait_exit(5)
        r.check("uninstall with an instance: the uninstalling process ends with code 0", code == 0, code)
        r.check("uninstall with an instance: the running one ended while the uninstall still waited",
                first_end is not None, first_end)
        r.check("uninstall with an instance: the running one ended normally", ctl.wait_exit(5) == 0)
        r.check("uninstall with an instance: the settings are gone", reg_values(PRODUCT_KEY) is None,
                reg_values(PRODUCT_KEY))
        r.check("uninstall with an instance: the vendor key stays", reg_values(VENDOR_KEY) is not None)
        r.check("uninstall with an instance: the start-with-Windows entry is gone",
                "Umbravue" not in (reg_values(RUN_KEY) or {}))
        r.check("uninstall with an instance: no window is left", not panel_state()[0])
    finally:
        ctl.kill()


def uninstall_alone(r):
    fresh_registry()
    reg_set_dword(PRODUCT_KEY, "overlay grid", 1)
    reg_set_string(RUN_KEY, "Umbravue", r"C:\somewhere\umbravue.exe")
    start = time.time()
    un = Controller(["uninstall"])
    saw_window = False
    while un.proc.poll() is None and time.time() - start < 60:
        saw_window = saw_window or panel_state()[0]
        time.sleep(0.5)
    code = un.wait_exit(5)
    took = time.time() - start
    r.check("uninstall alone: ends with code 0 after its five-second wait", code == 0 and took >= 5,
            (code, took))
    r.check("uninstall alone: no window is shown", not saw_window)
    r.check("uninstall alone: the settings and the entry are gone, the vendor key stays",
            reg_values(PRODUCT_KEY) is None and reg_values(VENDOR_KEY) is not None
            and "Umbravue" not in (reg_values(RUN_KEY) or {}))


def uninstall_hung(r):
    """A window that looks like the panel but never closes must not keep the
    uninstall waiting for ever."""
    fresh_registry()
    reg_set_dword(PRODUCT_KEY, "overlay grid", 1)
    fake = Controller.__new__(Controller)
    fake.proc = subprocess.Popen([WINE, "uvpanel.exe", "stubborn", "120"], cwd=BIN, env=_env(),
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
    try:
        r.check("hung instance: a panel that ignores WM_CLOSE is up",
                poll(lambda: panel("count") == "count 1", 30, 0.5), panel("count"))
        start = time.time()
        un = Controller(["uninstall"])
        code = un.wait_exit(90)
        took = time.time() - start
        r.check("hung instance: the uninstall gives up on it within its bound and finishes",
                code == 0 and 30 <= took < 80, (code, took))
        r.check("hung instance: the settings are still removed", reg_values(PRODUCT_KEY) is None)
    finally:
        fake.kill()


def not_uninstall(r, args, label):
    fresh_registry()
    ctl = Controller(args)
    try:
        r.check(label + " starts normally", ctl.wait_panel(), panel("find"))
        panel("quit")
        r.check(label + " ends normally and saves", ctl.wait_exit(60) == 0 and reg_values(PRODUCT_KEY))
    finally:
        ctl.kill()


def missing_library(r, drv, w, h):
    fresh_registry()
    with tempfile.TemporaryDirectory(prefix="uv-noglobepix-") as folder:
        copy_binaries(["umbravue.exe", "uvdll.dll"], folder)
        ctl = Controller(bin_dir=folder)
        try:
            box = poll(lambda: panel("msgbox").startswith("msgbox 1"), 60, 0.5)
            text = panel("msgbox")
            r.check("without globepix.dll a message box names it",
                    box and "Umbravue|could not load globepix.dll" in text, text)
            r.check("without globepix.dll no hook is installed",
                    drv.stat(STAT_RUNNING) in (0, -2) and drv.pixel(w // 2, h // 2) == DESKTOP_RGB,
                    (drv.stat(STAT_RUNNING), drv.pixel(w // 2, h // 2)))
            panel("msgbox", "dismiss")
            code = ctl.wait_exit(30)
            r.check("without globepix.dll the program ends with code 1", code == 1, code)
        finally:
            ctl.kill()
    r.check("without globepix.dll nothing is written to the registry",
            reg_values(PRODUCT_KEY) is None, reg_values(PRODUCT_KEY))
    r.check("without globepix.dll the mutex is gone with the process", not mutex_exists())


def no_sse2(r, drv, w, h):
    """The program built to see a processor without SSE2: it says so and
    ends before anything else happens."""
    fresh_registry()
    with tempfile.TemporaryDirectory(prefix="uv-nosse2-") as folder:
        copy_binaries(["umbravue-nosse2.exe", "uvdll.dll", "globepix.dll"], folder)
        ctl = Controller(bin_dir=folder, exe="umbravue-nosse2.exe")
        try:
            box = poll(lambda: panel("msgbox").startswith("msgbox 1"), 60, 0.5)
            text = panel("msgbox")
            r.check("without SSE2 a message box says the processor needs it",
                    box and "Umbravue|Umbravue needs a processor with SSE2" in text, text)
            r.check("without SSE2 no panel, no mutex and no hook",
                    panel("count") == "count 0" and not mutex_exists() and drv.stat(STAT_RUNNING) in (0, -2)
                    and drv.pixel(w // 2, h // 2) == DESKTOP_RGB,
                    (panel("count"), mutex_exists(), drv.stat(STAT_RUNNING), drv.pixel(w // 2, h // 2)))
            panel("msgbox", "dismiss")
            code = ctl.wait_exit(30)
            r.check("without SSE2 the program ends with code 1", code == 1, code)
        finally:
            ctl.kill()
    r.check("without SSE2 nothing is written to the registry", reg_values(PRODUCT_KEY) is None,
            reg_values(PRODUCT_KEY))


def wide_folder(r):
    """The folder's name has characters outside code page 1252. The start
    also finds the mark of an uninstall that its copy, ended first, never
    saw: what was left to it goes before anything is loaded."""
    fresh_registry()
    reg_set_dword(PRODUCT_KEY, "overlay grid", 1)
    reg_set_dword(PRODUCT_KEY, "uninstalled", 1)
    with tempfile.TemporaryDirectory(prefix="uv-\u0141\u00f3d\u017a \u65e5\u672c-") as folder:
        copy_binaries(["umbravue.exe", "uvdll.dll", "globepix.dll"], folder)
        ctl = Controller(bin_dir=folder)
        try:
            r.check("wide folder: the program finds globepix.dll and starts", ctl.wait_panel(), panel("msgbox"))
            behind = lambda: "painted behind the desktop icons" in panel("text", "1045")
            r.check("wide folder: the desktop host finds its images and paints behind the icons",
                    poll(behind, 60, 1.0), panel("text", "1045"))
            panel("quit")
            r.check("wide folder: the program quits", ctl.wait_exit(60) == 0)
        finally:
            ctl.kill()
    left = reg_values(PRODUCT_KEY) or {}
    r.check("left to a copy: the next start removed the old settings and the mark",
            left.get("overlay grid") == ("REG_DWORD", 0) and "uninstalled" not in left, left)


def main():
    r = Results()
    desk = Desktop()
    drv = Driver()
    try:
        second_start(r)
        uninstall_running(r)
        uninstall_alone(r)
        uninstall_hung(r)
        not_uninstall(r, ["Uninstall"], "\"Uninstall\"")
        not_uninstall(r, ["uninstall", "x"], "\"uninstall x\"")
        missing_library(r, drv, desk.width, desk.height)
        no_sse2(r, drv, desk.width, desk.height)
        wide_folder(r)
    except RuntimeError as e:
        r.check("controller instance session completes", False, str(e))
    finally:
        fresh_registry()
        drv.close()
        desk.stop()
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The About page's "view license" and "view quirks" open the text files that
lie beside the program, also when the program's folder has blanks in its
path (the path reaches the shell whole)."""
import os
import shutil
import subprocess
import sys
import tempfile

from controller_harness import Controller, fresh_registry, panel, wine
from harness import Results, poll

ABOUT_TAB = 6
TXT_KEY = r"HKLM\Software\Classes\.txt"
OPEN_KEY = r"HKLM\Software\Classes\txtfile\shell\open\command"
FILES = ["umbravue.exe", "uvdll.dll", "globepix.dll", "license.txt", "quirks.txt", "uvpanel.exe",
         "uvtray.exe"]


def windows_named(title):
    p = subprocess.run(["xdotool", "search", "--name", title], capture_output=True)
    return p.stdout.split()


def close_notepad():
    wine(["taskkill", "/F", "/IM", "notepad.exe"])


def main():
    r = Results()
    if not shutil.which("xdotool"):
        print("SKIP about page: xdotool is not installed")
        return 0
    from harness import BIN
    folder = tempfile.mkdtemp(prefix="uv about with blanks ")
    for name in FILES:
        shutil.copy2(os.path.join(BIN, name), os.path.join(folder, name))
    # A bare prefix may know no program for text files: lend it Notepad.
    had_assoc = wine(["reg", "query", TXT_KEY]).returncode == 0
    if not had_assoc:
        wine(["reg", "add", TXT_KEY, "/ve", "/d", "txtfile", "/f"])
        wine(["reg", "add", OPEN_KEY, "/ve", "/d", "notepad.exe \"%1\"", "/f"])
    fresh_registry()
    ctl = Controller(bin_dir=folder)
    try:
        r.check("about: the panel appears", ctl.wait_panel(), panel("find"))
        wine(["uvtray.exe", "select", str(ABOUT_TAB)], cwd=folder)
        for button, name in (("view license", "license.txt"), ("view quirks", "quirks.txt")):
            close_notepad()
            out = wine(["uvpanel.exe", "button", button], cwd=folder).stdout.decode("latin-1")
            r.check("about: \"%s\" is there" % button, out.startswith("clicked"), out)
            r.check("about: \"%s\" opens %s from a folder with blanks" % (button, name),
                    poll(lambda: bool(windows_named(name)), 20), folder)
            close_notepad()
        panel("quit")
        r.check("about: the program quits normally", ctl.wait_exit(60) == 0)
    finally:
        ctl.kill()
        if not had_assoc:
            wine(["reg", "delete", TXT_KEY, "/f"])
            wine(["reg", "delete", r"HKLM\Software\Classes\txtfile", "/f"])
        shutil.rmtree(folder, ignore_errors=True)
    r.exit()


if __name__ == "__main__":
    sys.exit(main())

"""The installer and uninstaller under Wine, and the version resources.

Runs the installer this build made (build/<preset>/installer): the shipped
32-bit one where 32-bit code runs, else the 64-bit variant of the same script
built from the 64-bit program files. A fake controller (fake_controller.exe:
owns the installer mutex, shows the "Umbravue" window, writes a marker when
it is closed) stands in for a running copy.
"""
import hashlib
import os
import shutil
import subprocess
import sys
import time

from harness import BIN, ROOT, WINE, Results

sys.path.insert(0, os.path.join(ROOT, "packaging"))
import version_info  # noqa: E402

VERSION = version_info.project_version(ROOT)
SHORT_VERSION = ".".join(VERSION.split(".")[:2])
PROGRAM_FILES = ("umbravue.exe", "uvdll.dll", "globepix.dll", "license.txt", "quirks.txt")
UNINST_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Umbravue"
SETTINGS_KEY = r"HKCU\Software\VantorelSoftware\Umbravue"
VENDOR_KEY = r"HKCU\Software\VantorelSoftware"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"

PREFIX = os.environ.get("WINEPREFIX", "")
DRIVE_C = os.path.join(PREFIX, "drive_c")
INSTALL_DIR = os.path.join(DRIVE_C, "Program Files", "Umbravue Sun Clock")
INSTALL_DIR_WIN = r"C:\Program Files\Umbravue Sun Clock"
MARKER = os.path.join(DRIVE_C, "uvtest-closed.txt")
MARKER_WIN = r"C:\uvtest-closed.txt"
INSTALLER = os.path.join(os.path.dirname(BIN), "installer", "umbravue-setup.exe")
# The installer packs the program files stripped of symbols.
STRIPPED = os.path.join(os.path.dirname(BIN), "stripped")


def shipped(name):
    """The build's file that the installer puts in the folder as name."""
    return os.path.join(STRIPPED if name.endswith((".exe", ".dll")) else BIN, name)

r = Results()


def env():
    e = dict(os.environ)
    e["WINEDEBUG"] = "-all"
    return e


def wine(*args, timeout=120):
    p = subprocess.run([WINE] + list(args), env=env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout)
    return p.returncode, p.stdout.decode("latin-1").replace("\r", "")


def reg_query(key, value=None):
    """The value's data, "" for a key that exists when value is None, or None."""
    args = ["reg", "query", key] + (["/v", value] if value else [])
    rc, out = wine(*args)
    if rc != 0:
        return None
    if value is None:
        return ""
    for line in out.splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and parts[0] == value:
            return parts[2]
    return None


def reg_add(key, value, data):
    wine("reg", "add", key, "/v", value, "/t", "REG_SZ", "/d", data, "/f")


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def wait_for(condition, limit):
    end = time.time() + limit
    while time.time() < end:
        if condition():
            return True
        time.sleep(0.2)
    return condition()


def start_menu_dirs():
    found = []
    for base, dirs, _ in os.walk(DRIVE_C):
        if base.endswith(os.path.join("Start Menu", "Programs")) and "Umbravue" in dirs:
            found.append(os.path.join(base, "Umbravue"))
    return found


def leftovers():
    return sorted(n for n in os.listdir(INSTALL_DIR)
                  if n.endswith(".old") or n.startswith(".setup")) if os.path.isdir(INSTALL_DIR) else []


def start_fake(exe, stubborn=False):
    for p in (MARKER, MARKER + ".ready"):
        if os.path.exists(p):
            os.unlink(p)
    args = [WINE, exe, MARKER_WIN] + (["stubborn"] if stubborn else [])
    proc = subprocess.Popen(args, env=env(), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not wait_for(lambda: os.path.exists(MARKER + ".ready"), 60):
        proc.kill()
        raise RuntimeError("the fake controller did not start")
    return proc


def stop(proc):
    if proc.poll() is None:
        proc.kill()
        proc.wait(10)


def run_installer(*args, timeout=180):
    # No pipes: a program the installer starts would inherit them and keep
    # the wait going until it ends.
    start = time.time()
    rc = subprocess.run([WINE, INSTALLER, "/S"] + list(args), env=env(),
                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL, timeout=timeout).returncode
    return rc, time.time() - start


def clean_slate():
    if os.path.isfile(os.path.join(INSTALL_DIR, "uninstall.exe")):
        wine(os.path.join(INSTALL_DIR, "uninstall.exe"), "/S")
        wait_for(lambda: not os.path.exists(INSTALL_DIR), 60)
    shutil.rmtree(INSTALL_DIR, ignore_errors=True)
    for d in start_menu_dirs():
        shutil.rmtree(d, ignore_errors=True)
    wine("reg", "delete", UNINST_KEY, "/f")


def check_versions():
    files = [os.path.join(BIN, n) for n in ("umbravue.exe", "uvdll.dll", "globepix.dll")]
    files.append(INSTALLER)
    # The shipped 32-bit files are read even where they cannot run.
    win32_bin = os.path.join(ROOT, "build", "win32", "bin")
    if os.path.abspath(win32_bin) != os.path.abspath(BIN):
        files += [os.path.join(win32_bin, n) for n in ("umbravue.exe", "uvdll.dll", "globepix.dll")
                  if os.path.exists(os.path.join(win32_bin, n))]
    for path in files:
        name = "version resource of %s" % os.path.relpath(path, ROOT)
        try:
            numeric, strings = version_info.version_of(path)
        except (OSError, ValueError) as e:
            r.check(name, False, str(e))
            continue
        r.check(name, numeric == VERSION, "file version %s, expected %s" % (numeric, VERSION))
    _, strings = version_info.version_of(os.path.join(BIN, "umbravue.exe"))
    r.check("program's product version text is " + SHORT_VERSION, strings.get("ProductVersion") == SHORT_VERSION,
            repr(strings.get("ProductVersion")))


def check_fresh_install():
    rc, _ = run_installer()
    r.check("silent install ends with success", rc == 0, "exit code %d" % rc)
    sources = {n: shipped(n) for n in PROGRAM_FILES}
    for name, src in sources.items():
        dst = os.path.join(INSTALL_DIR, name)
        r.check("install puts %s in the folder with blanks" % name,
                os.path.isfile(dst) and digest(dst) == digest(src), dst)
    r.check("install writes the uninstaller", os.path.isfile(os.path.join(INSTALL_DIR, "uninstall.exe")))
    r.check("install leaves no staging or backup files", leftovers() == [], leftovers())
    menus = start_menu_dirs()
    r.check("install makes a Start menu entry",
            any(os.path.isfile(os.path.join(d, "Umbravue.lnk")) for d in menus), menus)
    r.check("uninstall entry names the version", reg_query(UNINST_KEY, "DisplayVersion") == VERSION,
            reg_query(UNINST_KEY, "DisplayVersion"))
    r.check("uninstall entry runs the uninstaller",
            reg_query(UNINST_KEY, "UninstallString") == '"%s\\uninstall.exe"' % INSTALL_DIR_WIN,
            reg_query(UNINST_KEY, "UninstallString"))
    r.check("uninstall entry has name and publisher",
            bool(reg_query(UNINST_KEY, "DisplayName")) and bool(reg_query(UNINST_KEY, "Publisher")))


def check_over_the_real_program():
    """The installed program itself, running, then installed over: it saves
    its settings on the way out; /LAUNCH starts it again after a silent
    install."""
    if not os.path.isfile(os.path.join(BIN, "uvpanel.exe")):
        print("SKIP install over the real program: uvpanel.exe was not built", flush=True)
        return
    from controller_harness import Controller, fresh_registry, panel, panel_state, reg_values
    fresh_registry()
    ctl = Controller(bin_dir=INSTALL_DIR)
    try:
        r.check("the installed program starts", ctl.wait_panel(), panel("find"))
        rc, _ = run_installer()
        r.check("install over the running program succeeds", rc == 0, "exit code %d" % rc)
        r.check("the running program quit normally", ctl.wait_exit(30) == 0)
        r.check("the running program saved its settings before it was replaced",
                bool(reg_values(SETTINGS_KEY)), reg_values(SETTINGS_KEY))
    finally:
        ctl.kill()
    r.check("install over the running program leaves whole new files",
            all(digest(os.path.join(INSTALL_DIR, n)) == digest(shipped(n)) for n in PROGRAM_FILES))
    r.check("install over the running program leaves no staging or backup files",
            leftovers() == [], leftovers())
    rc, _ = run_installer("/LAUNCH")
    r.check("silent install with /LAUNCH starts the program",
            rc == 0 and wait_for(lambda: panel_state()[0], 60), panel("find"))
    # The shell runs as the desktop's user at normal integrity, whatever the
    # installer runs as (Wine runs every process elevated: who started the
    # program is what can be seen here).
    r.check("the desktop's shell started it, not the installer",
            wait_for(lambda: panel("parent") == "parent explorer.exe", 10), panel("parent"))
    panel("quit")
    r.check("the started program quits", wait_for(lambda: not panel_state()[0], 60))
    check_finish_page()


def check_finish_page():
    """The installer's pages, clicked through: the finish page's "Start
    Umbravue now" (checked) has the desktop's shell start the program."""
    from controller_harness import panel, panel_state
    setup = subprocess.Popen([WINE, INSTALLER], env=env(), stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # Next, I Agree, Install, (the files), Finish: the same button.
        caption = "Umbravue %s Setup" % SHORT_VERSION
        wait_for(lambda: panel("press", caption, "1") == "pressed 0" and setup.poll() is not None, 180)
        r.check("the installer's pages lead to its end", setup.poll() == 0, setup.poll())
        r.check("the finish page starts the program", wait_for(lambda: panel_state()[0], 60), panel("find"))
        r.check("the finish page has the desktop's shell start it",
                wait_for(lambda: panel("parent") == "parent explorer.exe", 10), panel("parent"))
        panel("quit")
        r.check("the program started from the finish page quits", wait_for(lambda: not panel_state()[0], 60))
    finally:
        stop(setup)


def check_install_over_running_copy():
    # The fake runs from the install folder under the program's name, as an
    # installed copy would, so its file is in use while the installer works.
    fake_dst = os.path.join(INSTALL_DIR, "umbravue.exe")
    shutil.copyfile(os.path.join(BIN, "fake_controller.exe"), fake_dst)
    reg_add(SETTINGS_KEY, "XOffset", "123")
    proc = start_fake(fake_dst)
    rc, _ = run_installer()
    r.check("install over a running copy succeeds", rc == 0, "exit code %d" % rc)
    r.check("the running copy was closed and saved first", os.path.exists(MARKER))
    r.check("the running copy has ended", wait_for(lambda: proc.poll() is not None, 20))
    stop(proc)
    r.check("the running copy's file was replaced whole",
            digest(fake_dst) == digest(shipped("umbravue.exe")))
    if os.path.exists(MARKER):
        r.check("settings were saved before the files were swapped",
                os.stat(MARKER).st_mtime <= os.stat(fake_dst).st_ctime + 0.01)
    r.check("settings survive an install", reg_query(SETTINGS_KEY, "XOffset") == "123",
            reg_query(SETTINGS_KEY, "XOffset"))
    r.check("install over a running copy leaves no staging or backup files", leftovers() == [],
            leftovers())


def check_copy_that_will_not_quit():
    fake_dst = os.path.join(INSTALL_DIR, "umbravue.exe")
    shutil.copyfile(os.path.join(BIN, "fake_controller.exe"), fake_dst)
    before = {n: digest(os.path.join(INSTALL_DIR, n)) for n in PROGRAM_FILES}
    proc = start_fake(fake_dst, stubborn=True)
    try:
        rc, elapsed = run_installer()
    finally:
        stop(proc)
    r.check("a copy that will not quit makes the silent install fail", rc != 0, "exit code %d" % rc)
    r.check("the wait for a copy that will not quit is bounded", elapsed < 60, "%.0f s" % elapsed)
    after = {n: digest(os.path.join(INSTALL_DIR, n)) for n in PROGRAM_FILES}
    r.check("a failed install changes no file", before == after)
    r.check("a failed install leaves no staging or backup files", leftovers() == [], leftovers())
    # Put the real program back for the uninstall checks.
    rc, _ = run_installer()
    r.check("install again after a failed one", rc == 0, "exit code %d" % rc)


def check_refused_without_sse2():
    """An installer that finds no SSE2 (built so that the query says no)
    refuses before it touches anything."""
    out_dir = os.path.join(os.path.dirname(BIN), "installer-no-sse2")
    os.makedirs(out_dir, exist_ok=True)
    variant = os.path.join(out_dir, "umbravue-setup.exe")
    target = "amd64-unicode" if machine_is_64bit(INSTALLER) else "x86-unicode"
    made = subprocess.run(["makensis", "-V2", "-DTARGET=" + target, "-DVERSION=" + VERSION,
                           "-DBINDIR=" + STRIPPED, "-DDOCDIR=" + BIN,
                           "-DUV_TEST_NO_SSE2", "-DOUTFILE=" + variant,
                           os.path.join(ROOT, "packaging", "umbravue.nsi")],
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=300)
    if not r.check("an installer that finds no SSE2 can be built", made.returncode == 0,
                   made.stderr.decode("latin-1")[-300:]):
        return
    start = time.time()
    rc = subprocess.run([WINE, variant, "/S"], env=env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL, timeout=180).returncode
    r.check("without SSE2 the silent install fails", rc == 2, "exit code %d" % rc)
    r.check("without SSE2 it stops at once", time.time() - start < 60)
    r.check("without SSE2 nothing is installed",
            not os.path.exists(INSTALL_DIR) and reg_query(UNINST_KEY) is None and start_menu_dirs() == [],
            os.listdir(INSTALL_DIR) if os.path.isdir(INSTALL_DIR) else start_menu_dirs())


# Other accounts whose hives are loaded (fast user switching): one whose
# copy runs in its own session, one whose copy was killed with the map shown
# (both Entra ID accounts), and one that never ran the program.
RUNNING_SID, KILLED_SID, NEVER_SID = "S-1-12-1-11-22-33-44", "S-1-12-1-55-66-77-88", "S-1-5-21-9-9-9-1001"
ACCOUNTS_WIN, ACCOUNTS = r"C:\uvtest-accounts", os.path.join(DRIVE_C, "uvtest-accounts")


def other_account(sid):
    """A hive whose program settings keep the account's own wallpaper while
    its desktop names the program's picture; returns the picture folder."""
    folder_win = ACCOUNTS_WIN + "\\%s\\Umbravue" % sid
    folder = os.path.join(ACCOUNTS, sid, "Umbravue")
    os.makedirs(folder, exist_ok=True)
    for name in ("wallpaper-a.bmp", "own.bmp"):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(b"BM")
    settings, desktop = r"HKU\%s\Software\VantorelSoftware\Umbravue" % sid, r"HKU\%s\Control Panel\Desktop" % sid
    ours = folder_win + "\\wallpaper-a.bmp"
    for name, data in (("picture folder", folder_win), ("wallpaper picture", ours),
                       ("user wallpaper", folder_win + "\\own.bmp"), ("user wallpaper style", "2")):
        reg_add(settings, name, data)
    reg_add(desktop, "Wallpaper", ours)
    reg_add(desktop, "WallpaperStyle", "0")
    return folder


def check_other_accounts(folders):
    from controller_harness import reg_values
    running, killed = folders
    settings = lambda sid: r"HKU\%s\Software\VantorelSoftware\Umbravue" % sid
    desktop = lambda sid, v: reg_query(r"HKU\%s\Control Panel\Desktop" % sid, v)
    left = reg_values(settings(RUNNING_SID)) or {}
    r.check("uninstall leaves a running copy's settings to it, marked",
            left.get("uninstalled") == ("REG_DWORD", 1) and "user wallpaper" in left, left)
    r.check("uninstall deletes nothing the running copy's desktop names",
            (desktop(RUNNING_SID, "Wallpaper") or "").endswith("wallpaper-a.bmp")
            and os.path.exists(os.path.join(running, "wallpaper-a.bmp")),
            (desktop(RUNNING_SID, "Wallpaper"), os.listdir(running)))
    r.check("uninstall puts back the wallpaper of an Entra ID account whose copy was killed",
            desktop(KILLED_SID, "Wallpaper") == ACCOUNTS_WIN + "\\%s\\Umbravue\\own.bmp" % KILLED_SID
            and desktop(KILLED_SID, "WallpaperStyle") == "2",
            (desktop(KILLED_SID, "Wallpaper"), desktop(KILLED_SID, "WallpaperStyle")))
    r.check("uninstall removes that account's settings and its pictures but its own",
            reg_query(settings(KILLED_SID)) is None and os.listdir(killed) == ["own.bmp"],
            (reg_query(settings(KILLED_SID)), os.listdir(killed)))
    r.check("uninstall leaves no key in the hive of an account that never ran the program",
            reg_query(r"HKU\%s\Software\VantorelSoftware" % NEVER_SID) is None
            and reg_query(r"HKU\%s\Software" % NEVER_SID) is not None)


def check_uninstall():
    reg_add(SETTINGS_KEY, "XOffset", "123")
    reg_add(RUN_KEY, "Umbravue", INSTALL_DIR_WIN + "\\umbravue.exe")
    reg_add(RUN_KEY, "UvTestOther", "C:\\other.exe")
    # A copy running from elsewhere must be closed (and save) before the
    # program's own uninstall command runs.
    proc = start_fake(os.path.join(BIN, "fake_controller.exe"))
    # The other account's copy: its instance mutex, which this account may
    # not even open. It also keeps the prefix's hives of the other accounts
    # (Wine does not save them) for the test's time.
    other = subprocess.Popen([WINE, os.path.join(BIN, "uvpanel.exe"), "instance", "150000", RUNNING_SID, "locked"],
                             env=env(), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        other.stdout.readline()
        folders = [other_account(sid) for sid in (RUNNING_SID, KILLED_SID)]
        wine("reg", "add", r"HKU\%s\Software\Microsoft" % NEVER_SID, "/f")
        wine(os.path.join(INSTALL_DIR, "uninstall.exe"), "/S")
        # The uninstaller continues from a copy of itself; wait for its result.
        gone = wait_for(lambda: not os.path.exists(INSTALL_DIR) and reg_query(UNINST_KEY) is None, 90)
        check_other_accounts(folders)
    finally:
        closed = wait_for(lambda: proc.poll() is not None, 5)
        stop(proc)
        stop(other)
        for sid in (RUNNING_SID, KILLED_SID, NEVER_SID):
            wine("reg", "delete", "HKU\\" + sid, "/f")
        shutil.rmtree(ACCOUNTS, ignore_errors=True)
    r.check("uninstall closes a running copy", closed and os.path.exists(MARKER))
    r.check("uninstall removes the program folder", gone and not os.path.exists(INSTALL_DIR),
            os.listdir(INSTALL_DIR) if os.path.isdir(INSTALL_DIR) else "")
    r.check("uninstall removes the uninstall entry", reg_query(UNINST_KEY) is None)
    r.check("uninstall removes the Start menu entry", start_menu_dirs() == [], start_menu_dirs())
    r.check("uninstall removes the settings", reg_query(SETTINGS_KEY) is None)
    r.check("uninstall keeps the vendor key", reg_query(VENDOR_KEY) is not None)
    r.check("uninstall removes the start-with-Windows entry", reg_query(RUN_KEY, "Umbravue") is None)
    r.check("uninstall keeps other start-with-Windows entries",
            reg_query(RUN_KEY, "UvTestOther") == "C:\\other.exe")
    wine("reg", "delete", RUN_KEY, "/v", "UvTestOther", "/f")


def machine_is_64bit(path):
    with open(path, "rb") as f:
        head = f.read(4096)
    pe = int.from_bytes(head[0x3C:0x40], "little")
    return int.from_bytes(head[pe + 4:pe + 6], "little") == 0x8664


def machine_runs(path):
    """Whether this machine can run the PE file: 32-bit x86 code needs a
    kernel that executes it (the i386 loader runs)."""
    with open(path, "rb") as f:
        head = f.read(4096)
    pe = int.from_bytes(head[0x3C:0x40], "little")
    machine = int.from_bytes(head[pe + 4:pe + 6], "little")
    if machine != 0x14C:
        return True
    try:
        return subprocess.run(["/lib/ld-linux.so.2", "--version"], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=30).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False


def main():
    if not os.path.isfile(INSTALLER):
        r.check("installer was built", False, INSTALLER)
        r.exit()
    check_versions()
    if not machine_runs(INSTALLER):
        print("SKIP installer: skipped: 32-bit code cannot run here", flush=True)
        r.exit()
    if not os.path.isfile(os.path.join(BIN, "fake_controller.exe")):
        r.check("fake controller was built", False)
        r.exit()
    clean_slate()
    try:
        check_refused_without_sse2()
        check_fresh_install()
        check_over_the_real_program()
        check_install_over_running_copy()
        check_copy_that_will_not_quit()
        check_uninstall()
    finally:
        for p in (MARKER, MARKER + ".ready"):
            if os.path.exists(p):
                os.unlink(p)
    r.exit()


if __name__ == "__main__":
    main()

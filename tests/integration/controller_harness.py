"""Pieces of the controller's integration tests: starting umbravue.exe,
poking its window through uvpanel.exe and reading the registry with Wine's
reg tool."""
import os
import re
import subprocess
import time

from harness import BIN, ROOT, WINE, end_process, poll

PRODUCT_KEY = r"HKCU\Software\VantorelSoftware\Umbravue"
VENDOR_KEY = r"HKCU\Software\VantorelSoftware"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"

DEFAULTS = {
    "YOffset": 500, "XOffset": 0, "follow the sun": 0, "timezone offset": 0,
    "refresh interval": 6, "dawn dusk width": 10, "use generated night source": 0,
    "full screen": 0, "no distort": 0, "ignore antarctica": 0, "autohide": 0,
    "overlay grid": 0, "overlay dawndusk": 0, "overlay midday": 0, "overlay midnight": 0,
    "overlay sunlatitude": 0, "overlay grid color": 0x00402020,
    "overlay dawndusk color": 0x00400040, "overlay midday color": 0x00007F7F,
    "overlay midnight color": 0x00600020, "overlay sunlatitude color": 0x00002040,
    "glyph show sun": 0, "overlay cities": 0, "cities color": 0x002020FF,
    "city labels": 0, "city label foreground": 0x0000FFFF, "city label background": 0,
    "city to watch in tray": 0xFFFFFFFF, "overlay status": 0,
    "status label foreground": 0x00C0C0C0, "status label background": 0x00400000,
    "status sun location": 0, "status sunrise": 0, "status sunset": 0,
    "status solar offset": 0, "status local time": 0, "wallpaper mode": 0,
    "exact sun": 0, "real local time": 0,
    "overlay civil twilight": 0, "overlay civil twilight color": 0x0040A0FF,
    "overlay nautical twilight": 0, "overlay nautical twilight color": 0x00FFA040,
    "overlay astronomical twilight": 0, "overlay astronomical twilight color": 0x00FF60A0,
    "graded twilight": 0, "glyph show moon": 0, "status moon phase": 0,
    "status moonrise moonset": 0, "status civil twilight": 0,
}


def _env():
    env = dict(os.environ)
    env["WINEDEBUG"] = "-all"
    return env


def wine(args, cwd=BIN, timeout=60):
    return subprocess.run([WINE] + args, cwd=cwd, env=_env(), capture_output=True,
                          timeout=timeout)


def reg_values(key):
    """{name: (type, value)} of a key, or None when the key is missing.
    DWORDs come as ints, binaries as bytes, strings as str."""
    p = wine(["reg", "query", key])
    if p.returncode != 0:
        return None
    out = {}
    for line in p.stdout.decode("latin-1").splitlines():
        m = re.match(r"^    (.+?)    (REG_\w+)    ?(.*)$", line)
        if not m:
            continue
        name, typ, data = m.group(1), m.group(2), m.group(3).strip()
        if typ == "REG_DWORD":
            out[name] = (typ, int(data, 16))
        elif typ == "REG_BINARY":
            out[name] = (typ, bytes.fromhex(data))
        else:
            out[name] = (typ, data)
    return out


def reg_delete_key(key):
    wine(["reg", "delete", key, "/f"])


def reg_delete_value(key, name):
    wine(["reg", "delete", key, "/v", name, "/f"])


def reg_set_dword(key, name, value):
    wine(["reg", "add", key, "/v", name, "/t", "REG_DWORD", "/d", str(value & 0xFFFFFFFF), "/f"])


def reg_set_binary(key, name, data):
    args = ["reg", "add", key, "/v", name, "/t", "REG_BINARY", "/f"]
    if data:
        args += ["/d", data.hex()]
    wine(args)


def reg_set_string(key, name, text):
    wine(["reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", text, "/f"])


def fresh_registry():
    reg_delete_key(PRODUCT_KEY)
    reg_delete_value(RUN_KEY, "Umbravue")


def panel(*args, timeout=60):
    """One uvpanel.exe command; its output line."""
    try:
        p = wine(["uvpanel.exe"] + list(args), timeout=timeout)
    except subprocess.TimeoutExpired:
        # A query that hangs answers nothing; callers poll again.
        return ""
    return p.stdout.decode("latin-1").strip()


def panel_state():
    """(exists, visible) of the running control panel."""
    # A query process can stall while the program starts; a fresh one
    # answers. A stall is no answer, not "no panel".
    for _ in range(3):
        m = re.match(r"panel (\d+) (\d)", panel("find", timeout=15))
        if m:
            return (int(m.group(1)) != 0, m.group(2) == "1")
    return (False, False)


def tray(*args, timeout=60):
    """One uvtray.exe command (the shell's side of the notification icon)."""
    try:
        return wine(["uvtray.exe"] + list(args), timeout=timeout).stdout.decode("latin-1").strip()
    except subprocess.TimeoutExpired:
        return ""


def caret_row(answer):
    """The list box row of a "caret N" answer of uvtray.exe, else None."""
    parts = answer.split()
    return int(parts[1]) if len(parts) == 2 and parts[0] == "caret" else None


def city_names():
    """The names of the city list, by index."""
    with open(os.path.join(ROOT, "resources", "cities.csv"), "rb") as f:
        return [line.split(b",")[0].decode("cp1252") for line in f.read().split(b"\r\n") if line]


def mutex_exists():
    return panel("mutex") == "mutex 1"


class Controller:
    """umbravue.exe in its own process."""

    def __init__(self, args=(), bin_dir=BIN, exe="umbravue.exe"):
        self.proc = subprocess.Popen([WINE, exe] + list(args), cwd=bin_dir, env=_env(),
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        self.started = time.time()

    def wait_panel(self, limit_s=90, shown=True):
        """Polls for the panel; with shown, until it is visible. It shows only
        when its initialisation is done: a command sent before that (a Hide)
        may be undone when it shows."""
        want = (True, True) if shown else (True,)
        return poll(lambda: panel_state()[:len(want)] == want, limit_s, 0.5)

    def wait_exit(self, limit_s=60):
        try:
            return self.proc.wait(limit_s)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        end_process(self.proc)

"""Pieces of the wallpaper tests: the prefix that reports a later Windows,
the user's own wallpaper, the desktop key, the picture the program writes and
its comparison with umbravue-render."""
import os
import re
import struct
import subprocess
import tempfile

from controller_harness import reg_values, wine
from harness import BIN, ROOT, WINE, Bitmap, Screen, close_to, poll, render_reference

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SHELL_FOLDERS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders"
WALLPAPER_VALUES = ("Wallpaper", "WallpaperStyle", "TileWallpaper")
KEPT_VALUES = ("wallpaper picture", "user wallpaper", "user wallpaper style", "user tile wallpaper")
USER_RGB = (200, 40, 160)
USER_WALLPAPER = r"C:\uvtest\user wall.bmp"
RIG_KEY = r"HKCU\Software\UvTestRig\DesktopWallpaper"
RIG_CLASS_KEY = r"HKLM\Software\Classes\CLSID\{C2CF3110-460E-4FC1-B9D0-8A1C0C9CC4BD}"


TRANSCODED = r"C:\users\root\AppData\Roaming\Microsoft\Windows\Themes\TranscodedWallpaper"


def forget_transcoded():
    """The later desktop's own copy of the last picture it showed goes, so
    that no test sees one an earlier test left."""
    path = unix_path(TRANSCODED)
    if os.path.isdir(path):
        os.rmdir(path)
    elif os.path.exists(path):
        os.remove(path)


def use_later_prefix():
    """Every Wine process started from here on runs in the prefix that
    reports Windows 7; returns its folder."""
    prefix = os.environ.get("UV_WINEPREFIX_LATER") or os.path.join(
        ROOT, "build", "wineprefix-%s-win7" % os.environ.get("UV_WIN", "win64"))
    os.environ["WINEPREFIX"] = prefix
    forget_transcoded()
    return prefix


def use_win10_prefix():
    """The prefix that reports Windows 10, with the rig's desktop wallpaper
    object registered (tools/deskwall): the program's per-monitor way."""
    prefix = os.environ.get("UV_WINEPREFIX_WIN10") or os.path.join(
        ROOT, "build", "wineprefix-%s-win10" % os.environ.get("UV_WIN", "win64"))
    os.environ["WINEPREFIX"] = prefix
    forget_transcoded()
    dll = "Z:" + os.path.join(BIN, "deskwall.dll").replace("/", "\\")
    wine(["reg", "add", RIG_CLASS_KEY + "\\InprocServer32", "/ve", "/d", dll, "/f"])
    wine(["reg", "add", RIG_CLASS_KEY + "\\InprocServer32", "/v", "ThreadingModel", "/d", "Both", "/f"])
    wine(["reg", "delete", RIG_KEY, "/f"])
    return prefix


def set_rig(values):
    """The rig's state: {"monitor 0": path, "position": 4, ...}."""
    for name, value in values.items():
        if isinstance(value, int):
            wine(["reg", "add", RIG_KEY, "/v", name, "/t", "REG_DWORD", "/d", str(value), "/f"])
        else:
            wine(["reg", "add", RIG_KEY, "/v", name, "/t", "REG_SZ", "/d", value, "/f"])


def rig_values():
    return reg_values(RIG_KEY) or {}


# Left: 1024x768 at 0,0; the primary: 1280x800 right of it.
WIDTH, HEIGHT = 2304, 800
MONITORS = [("*uvprimary", "1280/338x800/211+1024+0", "screen"), ("uvleft", "1024/270x768/203+0+0", "none")]
X11_KEY = r"HKCU\Software\Wine\X11 Driver"


def tile_shift():
    """How far the picture of the monitors above is rotated (right, down) to
    be tiled: the tiles start at the primary monitor's corner."""
    geometry = next(g for name, g, _ in MONITORS if name.startswith("*"))
    x, y = (int(v) for v in geometry.split("+")[1:])
    return (-x % WIDTH, -y % HEIGHT)


def display_in_use(n):
    """A display whose lock names a live process. A server ended without its
    clean-up leaves its lock and socket: they are removed, so that the new
    server's socket says it is ready."""
    lock, socket = "/tmp/.X%d-lock" % n, "/tmp/.X11-unix/X%d" % n
    try:
        with open(lock) as f:
            if os.path.exists("/proc/%d" % int(f.read().strip())):
                return True
    except (OSError, ValueError):
        if os.path.exists(socket):
            return True
    for stale in (lock, socket):
        try:
            os.remove(stale)
        except OSError:
            pass
    return False


def start_x(width=WIDTH, height=HEIGHT, monitors=MONITORS):
    """A private X server that keeps its monitors (no reset when the last
    client leaves); returns the process, DISPLAY set."""
    for n in range(141, 190):
        if display_in_use(n):
            continue
        proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp",
                                 "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if poll(lambda: os.path.exists("/tmp/.X11-unix/X%d" % n), 5, 0.1):
            os.environ["DISPLAY"] = ":%d" % n
            for name, geometry, output in monitors:
                subprocess.run(["xrandr", "--setmonitor", name, geometry, output], capture_output=True, timeout=30)
            return proc
        proc.kill()
        proc.wait()
    raise RuntimeError("no X server could be started")


def stop_prefix():
    subprocess.run(["wineserver", "-k"], env=dict(os.environ), capture_output=True, timeout=60)


def end_session(desk):
    """Leaves the prefix as a wallpaper test found it: no shell, no settings,
    no wallpaper, no Wine process."""
    from controller_harness import fresh_registry
    if desk:
        desk.stop()
    fresh_registry()
    set_desktop({"Wallpaper": ("REG_SZ", "")})
    wine(["reg", "delete", RIG_KEY, "/f"])
    forget_transcoded()
    stop_prefix()


def later_session(name, *steps):
    """Runs steps(r, desk, user) in the later prefix, with fresh settings, the
    user's own wallpaper and one stand-in desktop; the exit code."""
    from controller_harness import fresh_registry
    from harness import Desktop, Results
    r = Results()
    use_later_prefix()
    fresh_registry()
    user = set_user_wallpaper()
    desk = Desktop(later=True)
    try:
        for step in steps:
            step(r, desk, user)
    except RuntimeError as e:
        r.check(name + " completes", False, str(e))
    finally:
        end_session(desk)
    return r.exit()


def unix_path(win_path):
    drive, rest = win_path[0].lower(), win_path[2:].replace("\\", "/")
    if drive == "z":
        return rest
    return os.path.join(os.environ["WINEPREFIX"], "drive_" + drive) + rest


def write_bmp(path, width, height, rgb):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    stride = (width * 3 + 3) & ~3
    row = bytes([rgb[2], rgb[1], rgb[0]]) * width + b"\0" * (stride - width * 3)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 54 + stride * height, 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, stride * height, 2835, 2835, 0, 0))
        f.write(row * height)


def set_desktop(values):
    """values: {name: (type, data)}; a name mapped to None is deleted."""
    for name, value in values.items():
        if value is None:
            wine(["reg", "delete", DESKTOP_KEY, "/v", name, "/f"])
        else:
            wine(["reg", "add", DESKTOP_KEY, "/v", name, "/t", value[0], "/d", str(value[1]), "/f"])


def _reg_file(key, values):
    """The text of a .reg file setting string values (None deletes one)."""
    lines = ["Windows Registry Editor Version 5.00", "", "[%s]" % key.replace("HKCU", "HKEY_CURRENT_USER", 1)]
    for name, text in values.items():
        data = "-" if text is None else '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')
        lines.append('"%s"=%s' % (name, data))
    return "\r\n".join(lines) + "\r\n"


def reg_import_strings(key, values):
    """Sets REG_SZ values of any characters: reg.exe's command line and its
    query output go through the ANSI code page, a UTF-16 .reg file does not."""
    with tempfile.NamedTemporaryFile(suffix=".reg", delete=False) as f:
        f.write(b"\xff\xfe" + _reg_file(key, values).encode("utf-16-le"))
    try:
        wine(["reg", "import", "Z:" + f.name])
    finally:
        os.unlink(f.name)


def reg_export_strings(key):
    """{name: text} of the REG_SZ values of a key, exactly, or None when the
    key is missing."""
    with tempfile.NamedTemporaryFile(suffix=".reg", delete=False) as f:
        pass
    try:
        if wine(["reg", "export", key, "Z:" + f.name, "/y"]).returncode != 0:
            return None
        with open(f.name, "rb") as g:
            text = g.read().decode("utf-16")
    finally:
        os.unlink(f.name)
    out = {}
    for m in re.finditer(r'^"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"\r?$', text, re.M):
        unescape = lambda s: re.sub(r"\\(.)", r"\1", s)
        out[unescape(m.group(1))] = unescape(m.group(2))
    return out


def set_user_wallpaper():
    """A stretched one-colour picture of the user's, in a folder with a blank."""
    write_bmp(unix_path(USER_WALLPAPER), 64, 64, USER_RGB)
    set_desktop({"Wallpaper": ("REG_SZ", USER_WALLPAPER), "WallpaperStyle": ("REG_SZ", "2"),
                 "TileWallpaper": ("REG_SZ", "0")})
    return desktop_values()


def desktop_values():
    values = reg_values(DESKTOP_KEY) or {}
    return {name: values.get(name) for name in WALLPAPER_VALUES}


def journal():
    """The journal of places (ways/WallpaperJournal.h) as (ours, [entry]),
    each entry a dict; ("", []) without one."""
    data = ((reg_values(r"HKCU\Software\VantorelSoftware\Umbravue") or {}).get("wallpaper journal") or ("", b""))[1]
    if not data:
        return "", []
    at = [0]

    def u32():
        at[0] += 4
        return struct.unpack_from("<I", data, at[0] - 4)[0]

    def text():
        n = u32()
        at[0] += 2 * n
        return data[at[0] - 2 * n:at[0]].decode("utf-16-le")

    u32()
    ours, entries = text(), []
    for _ in range(u32()):
        e = {"kind": ("", "desktop", "monitor", "virtual desktop", "look")[u32()], "guessed": bool(u32() & 1)}
        for name in ("desktop", "monitor", "picture", "copy"):
            e[name] = text()
        e["position"], e["background"] = u32(), u32()
        if e["kind"] == "desktop":
            e["values"] = []
            for _ in range(3):
                present, typ, size = u32(), u32(), u32()
                at[0] += size
                e["values"].append((typ, data[at[0] - size:at[0]]) if present else None)
        entries.append(e)
    return ours, entries


def kept_values():
    """What the journal keeps of the desktop key's values, named as the
    values an earlier version kept: {"wallpaper picture": (type, ours),
    "user wallpaper": (type, value), ...}; {} when nothing is kept."""
    ours, entries = journal()
    kept = {}
    for e in entries:
        if e["kind"] != "desktop":
            continue
        kept["wallpaper picture"] = ("REG_SZ", ours)
        for name, value in zip(KEPT_VALUES[1:], e["values"]):
            if value is None:
                continue
            typ, raw = value
            if typ == 4 and len(raw) == 4:
                kept[name] = ("REG_DWORD", struct.unpack("<I", raw)[0])
            elif typ in (1, 2):
                kept[name] = (("", "REG_SZ", "REG_EXPAND_SZ")[typ], raw.decode("utf-16-le").split("\0")[0])
            else:
                kept[name] = (typ, raw)
    return kept


def is_our_picture(path):
    """A picture file of the program: wallpaper-a.bmp, wallpaper-b.bmp or a
    monitor's own (wallpaper-0a.bmp) in its folder."""
    return bool(re.search(r"\\umbravue\\wallpaper-\d*[ab]\.bmp$", path or "", re.I))


def showing_ours(desk):
    """The desktop was last told of the program's picture and could load it."""
    history = desk.wallpaper_history()
    return bool(history) and is_our_picture(history[-1][1]) and history[-1][0] == desk.width


def showing_user(desk):
    return close_to(Screen().pixel(desk.width // 2, desk.height // 2), USER_RGB, 8)


def desk_query(*args):
    out = wine(["deskshell.exe", "query"] + [str(a) for a in args]).stdout.decode("latin-1").strip()
    return int(out) if re.match(r"^-?\d+$", out) else None


def map_patches(w, h, image_w=2048, image_h=1024):
    """Screen patches inside the map (FitWidth, centred), below the icons."""
    fit_h = w * image_h // image_w
    top = (h - fit_h) // 2
    return [(int(fx * (w - 16)), top + int(fy * fit_h), 16, 16)
            for fy in (0.2, 0.45, 0.7) for fx in (0.08, 0.3, 0.55, 0.8, 0.95)]


def differing_pixels(written, ref, shift=(0, 0)):
    """(x, y, written rgb, reference rgb) of every pixel where written is not
    ref rotated right and down by shift."""
    w, h = written.width, written.height
    sx, sy = shift
    out = []
    for y in range(h):
        want = ref.row((y - sy) % h)
        want = want[3 * (w - sx):] + want[:3 * (w - sx)]
        got = written.row(y)
        if got == want:
            continue
        out.extend((x, y, tuple(got[3 * x:3 * x + 3][::-1]), tuple(want[3 * x:3 * x + 3][::-1]))
                   for x in range(w) if got[3 * x:3 * x + 3] != want[3 * x:3 * x + 3])
    return out


def compare_with_reference(r, name, picture_path, w, h, shift=(0, 0), seconds=10):
    """The picture file written against umbravue-render for the moment it was
    rendered, the screen's size and the same settings, byte for byte, and the
    screen's map patches against the same reference. The file's time gives
    the moment to within a few seconds: the seconds before it are tried
    until one matches. shift: how far the file's picture is rotated (right,
    down) to be tiled. When none matches, the pixels that differ from the
    closest reference are shown."""
    written = Bitmap(unix_path(picture_path))
    if (written.width, written.height) != (w, h):
        return r.check(name, False, ("the file's size", written.width, written.height))
    moment = int(os.path.getmtime(unix_path(picture_path)))
    window = ("--window", "%dx%d" % (w, h))
    closest = None
    for t in range(moment, moment - seconds, -1):
        ref = render_reference(t, 10, extra=window)
        if ref is None:
            return r.check(name, False, "no umbravue-render.exe in " + BIN)
        differing = differing_pixels(written, ref, shift)
        if not differing:
            break
        if closest is None or len(differing) < len(closest[1]):
            closest = (t, differing)
    else:
        return r.check(name, False, "no moment of the %d seconds up to %d matches; at %d %d pixels differ, e.g. "
                       "(x, y, file, reference) %s" % (seconds, moment, closest[0], len(closest[1]),
                                                       closest[1][:8]))
    r.check(name + ": the file", True)
    screen = Screen()
    bad = [(x, y, screen.pixel(x, y), ref.pixel(x, y)) for px, py, pw, ph in map_patches(w, h)
           for y in range(py, py + ph) for x in range(px, px + pw) if screen.pixel(x, y) != ref.pixel(x, y)]
    return r.check(name + ": the screen", not bad, (len(bad), bad[:8]))


def green_grid_row(screen, x0=0):
    """The screen row near the equator where most pixels are the grid's green."""
    for y in range(screen.height // 2 - 8, screen.height // 2 + 8):
        greens = sum(1 for x in range(x0, screen.width) if close_to(screen.pixel(x, y), (0, 255, 0), 40))
        if greens > (screen.width - x0) * 0.8:
            return y
    return None


# The two-monitor rig of Windows 10 (tools/deskwall): the user's own picture
# on each monitor, stretched, on a background colour.
RIG_PICTURES = {0: (r"C:\uvtest\left or right 0.bmp", (200, 40, 160)), 1: (r"C:\uvtest\monitor 1.bmp", (40, 200, 60))}
RIG_FILL, RIG_BACKGROUND = 4, 0x00336699


def rig_user_state():
    """The rig's state before the program: each monitor's picture, the position
    and the colour, and the desktop key naming monitor 1's picture."""
    for path, rgb in RIG_PICTURES.values():
        write_bmp(unix_path(path), 48, 48, rgb)
    set_rig({"monitor 0": RIG_PICTURES[0][0], "monitor 1": RIG_PICTURES[1][0], "position": RIG_FILL,
             "background": RIG_BACKGROUND})
    set_desktop({"Wallpaper": ("REG_SZ", RIG_PICTURES[1][0]), "WallpaperStyle": ("REG_SZ", "10"),
                 "TileWallpaper": ("REG_SZ", "0")})
    return rig_values(), desktop_values()


def rig_pictures_shown():
    """Each monitor shows one of the user's two pictures, a different one."""
    s = Screen()
    got = (s.pixel(500, 300), s.pixel(1700, 300))
    a, b = RIG_PICTURES[0][1], RIG_PICTURES[1][1]
    return (close_to(got[0], a, 8) and close_to(got[1], b, 8)) or (close_to(got[0], b, 8) and close_to(got[1], a, 8))


def rig_picture(i):
    return (rig_values().get("monitor %d" % i) or ("", ""))[1]


def ours_on_every_monitor():
    return all(is_our_picture(rig_picture(i)) for i in (0, 1))


def two_monitor_session(name, *steps):
    """Runs steps(r, desk) in the Windows 10 prefix on a private X server with
    two monitors, the rig registered and the user's pictures set; the exit
    code."""
    from controller_harness import fresh_registry
    from harness import Desktop, Results
    r = Results()
    use_win10_prefix()
    stop_prefix()   # its desktop process must take up the new display
    xvfb = start_x()
    desk = None
    try:
        wine(["reg", "add", X11_KEY, "/v", "UseXRandR", "/d", "N", "/f"])
        stop_prefix()
        fresh_registry()
        rig_user_state()
        desk = Desktop(later=True)
        if r.check("Wine reports two monitors", desk_query("monitors") == 2, desk_query("monitors")):
            for step in steps:
                step(r, desk)
    except RuntimeError as e:
        r.check(name + " completes", False, str(e))
    finally:
        wine(["reg", "delete", X11_KEY, "/v", "UseXRandR", "/f"])
        end_session(desk)
        xvfb.terminate()
        xvfb.wait()
    return r.exit()


def save_screen(name):
    try:
        Screen().save_png(os.path.join(ROOT, "build", name))
    except Exception:
        pass


__all__ = [n for n in dir() if not n.startswith("_")] + ["WINE"]

"""Shared pieces of the integration tests: the stand-in desktop, the driver
that does what the controller does, screen capture and result lines.

Each check prints one line "PASS name" or "FAIL name: detail"; tests/integration/run
counts them. Everything waits with a bound and polls instead of sleeping blind.
"""
import os
import queue
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BIN = os.environ.get("UV_BIN") or os.path.join(ROOT, "build", os.environ.get("UV_WIN", "win64"), "bin")
WINE = os.environ.get("UV_WINE", "wine")

# Desktop colour of the stand-in shell's list view (red, green, blue).
DESKTOP_RGB = (58, 110, 165)

# Items of UVDLLHostStatistic.
STAT_RUNNING, STAT_STARTS, STAT_RENDERS, STAT_COMPOSES, STAT_REBUILDS = 0, 1, 2, 3, 4
STAT_CACHE_WIDTH, STAT_CACHE_HEIGHT, STAT_HOOK_KNOWN, STAT_RENDER_TIME = 5, 6, 7, 8


class Results:
    def __init__(self):
        self.failed = 0

    def check(self, name, ok, detail=""):
        if ok:
            print("PASS " + name, flush=True)
        else:
            self.failed += 1
            print("FAIL %s: %s" % (name, detail), flush=True)
        return ok

    def exit(self):
        sys.exit(1 if self.failed else 0)


def _reader(stream, lines):
    for raw in iter(stream.readline, b""):
        lines.put(raw.decode("latin-1").rstrip("\r\n"))
    lines.put(None)


def _env(debug):
    env = dict(os.environ)
    env["WINEDEBUG"] = "-all,warn+debugstr" if debug else "-all"
    return env


class Desktop:
    """The stand-in desktop shell, one process for the whole test file;
    later=True arranges it as a later shell does."""

    def __init__(self, bin_dir=BIN, timeout=60, later=False):
        self.bin_dir, self.timeout, self.later = bin_dir, timeout, later
        self.start()

    def restart(self):
        """The shell ends and a new one takes its place."""
        self.stop()
        self.start()

    def start(self):
        bin_dir, timeout = self.bin_dir, self.timeout
        self.proc = subprocess.Popen([WINE, "deskshell.exe"] + (["later"] if self.later else []), cwd=bin_dir,
                                     env=_env(False), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL)
        self.lines = queue.Queue()
        threading.Thread(target=_reader, args=(self.proc.stdout, self.lines), daemon=True).start()
        self.width = self.height = 0
        self.wallpapers = []
        end, line, m = time.time() + timeout, None, None
        while m is None and time.time() < end:
            try:
                line = self.lines.get(timeout=max(0.1, end - time.time()))
            except queue.Empty:
                break
            if line is None:
                break
            self.note(line)
            m = re.match(r"ready (\d+) (\d+)", line)
        if not m:
            self.stop()
            raise RuntimeError("deskshell did not start: %r" % line)
        self.width, self.height = int(m.group(1)), int(m.group(2))

    def note(self, line):
        m = re.match(r"wallpaper (\d+) (.*)", line)
        if m:
            self.wallpapers.append((int(m.group(1)), m.group(2)))

    def wallpaper_history(self):
        """Every wallpaper the desktop was told of, as (width, path), oldest first."""
        while True:
            try:
                line = self.lines.get_nowait()
            except queue.Empty:
                return list(self.wallpapers)
            if line is not None:
                self.note(line)

    def stop(self):
        end_process(self.proc)


class Driver:
    """uvdrive.exe: install, bursts, queries and removal, one line each."""

    def __init__(self, bin_dir=BIN):
        self.log = tempfile.NamedTemporaryFile(prefix="uvdrive-", suffix=".log", delete=False)
        self.proc = subprocess.Popen([WINE, "uvdrive.exe"], cwd=bin_dir, env=_env(True),
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.log)
        self.lines = queue.Queue()
        threading.Thread(target=_reader, args=(self.proc.stdout, self.lines), daemon=True).start()

    def cmd(self, line, timeout=60):
        self.proc.stdin.write((line + "\n").encode())
        self.proc.stdin.flush()
        try:
            answer = self.lines.get(timeout=timeout)
        except queue.Empty:
            raise RuntimeError("no answer to %r within %ss" % (line, timeout))
        if answer is None:
            raise RuntimeError("driver ended during %r" % line)
        return answer

    def numbers(self, line, timeout=60):
        return [int(x, 0) for x in self.cmd(line, timeout).split()[1:] if re.match(r"^-?\d+$", x)]

    def ask(self, query, *args):
        answer = self.cmd(" ".join(["ask", query] + [str(a) for a in args]))
        return int(answer.split()[1]) if answer.startswith("answer") else None

    def stat(self, item):
        return self.ask("stat", item)

    def wait_stat(self, item, minimum, limit_ms):
        """Polls a host statistic until it reaches minimum; returns its value."""
        value, _ = self.numbers("wait %d %d %d" % (item, minimum, limit_ms), timeout=limit_ms / 1000 + 30)
        return value

    def pixel(self, x, y):
        c = self.ask("pixel", x, y)
        return None if c is None or c < 0 else (c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF)

    def debug_lines(self):
        """The lines the library wrote to the debugger output channel."""
        with open(self.log.name, "rb") as f:
            text = f.read().decode("latin-1")
        return [m.group(1).encode().decode("unicode_escape")
                for m in re.finditer(r'OutputDebugStringA "(.*)"', text)]

    def close(self, timeout=60):
        if self.proc.poll() is None:
            try:
                self.cmd("exit", timeout)
                self.proc.wait(timeout)
            except (RuntimeError, subprocess.TimeoutExpired, BrokenPipeError):
                self.proc.kill()
        try:
            os.unlink(self.log.name)
        except OSError:
            pass


class Pixels:
    """What the screen and a bitmap share: pixel(x, y) as (r, g, b)."""

    def mean(self, x, y, w, h):
        total = [0, 0, 0]
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                p = self.pixel(xx, yy)
                for c in range(3):
                    total[c] += p[c]
        return tuple(t / (w * h) for t in total)


class Screen(Pixels):
    """The whole X screen as RGB bytes."""

    def __init__(self, timeout=30):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], capture_output=True,
                              timeout=timeout, check=True).stdout
        size = subprocess.run(["xdpyinfo"], capture_output=True, text=True, timeout=timeout).stdout
        m = re.search(r"dimensions:\s+(\d+)x(\d+)", size)
        self.width, self.height = int(m.group(1)), int(m.group(2))
        self.data = data

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def save_png(self, path):
        subprocess.run(["import", "-window", "root", path], timeout=30, check=True)


class Bitmap(Pixels):
    """A 24-bit BMP file (rows bottom-up, padded to 4 bytes)."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        offset, = struct.unpack_from("<I", data, 10)
        self.width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
        if bits != 24:
            raise ValueError("not a 24-bit bitmap: %s" % path)
        self.bottom_up = height > 0
        self.height = abs(height)
        self.stride = (self.width * 3 + 3) & ~3
        self.data, self.offset = data, offset

    def pixel(self, x, y):
        row = self.height - 1 - y if self.bottom_up else y
        i = self.offset + row * self.stride + 3 * x
        b, g, r = self.data[i:i + 3]
        return (r, g, b)

    def row(self, y):
        """Row y from the top: its bytes (blue, green, red) without padding."""
        i = self.offset + (self.height - 1 - y if self.bottom_up else y) * self.stride
        return self.data[i:i + 3 * self.width]


def render_reference(time_value, band, night="image", timeout=120, extra=()):
    """The picture tools/umbravue-render makes for a moment, or None without
    the tool; extra: more options such as ("--window", "1280x800")."""
    exe = os.path.join(BIN, "umbravue-render.exe")
    if not os.path.exists(exe):
        return None
    out = tempfile.NamedTemporaryFile(prefix="uvref-", suffix=".bmp", delete=False)
    out.close()
    try:
        subprocess.run([WINE, "umbravue-render.exe", "--time", str(time_value), "--band", str(band),
                        "--night", night, "--output", "Z:" + out.name] + list(extra), cwd=BIN, env=_env(False),
                       capture_output=True, timeout=timeout, check=True)
        return Bitmap(out.name)
    finally:
        os.unlink(out.name)


def close_to(a, b, tolerance):
    return a is not None and b is not None and all(abs(x - y) <= tolerance for x, y in zip(a, b))


def end_process(proc):
    """Kills proc unless it has ended, and waits a bounded time for it."""
    if proc.poll() is None:
        proc.kill()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            pass


def poll(predicate, limit_s, step_s=0.2):
    """Calls predicate until it returns a true value or the limit passes."""
    end = time.time() + limit_s
    while True:
        value = predicate()
        if value or time.time() >= end:
            return value
        time.sleep(step_s)


def copy_binaries(names, target_dir):
    for name in names:
        shutil.copy2(os.path.join(BIN, name), os.path.join(target_dir, name))

"""Driving the real programs under Wine from outside, as a user would.

Every scenario runs in the environment scripts/test.sh sets up (DISPLAY of a private
Xvfb, WINEPREFIX, a persistent wineserver). A `Session` starts Windows programs,
remembers their pids and kills them all at the end; helpers wait for conditions with
a time limit instead of sleeping.
"""
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
WIN32 = Path(os.environ.get("KESTROW_WIN32_DIR", ROOT / "build" / "win32"))
BIN = WIN32 / "bin"
TOOLS = WIN32 / "tests"
TESTTOOL = TOOLS / "testtool.exe"
STANDIN = TOOLS / "standin.exe"


def winpath(path):
    """The Windows name of a local file, through Wine's Z: drive."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def wait_until(predicate, timeout=20.0, what="condition", interval=0.05):
    """Polls until predicate() returns something true and returns it."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


# ---- the known screen ------------------------------------------------------------

def pattern_pixel(x, y):
    """The colour `testtool pattern` paints at (x, y), as (r, g, b)."""
    return (x & 255, y & 255, (((x >> 8) << 5) | ((y >> 8) << 2) | 3) & 255)


def pattern_rgb(left, top, width, height):
    """The pattern of a rectangle as packed RGB rows, top row first."""
    out = bytearray()
    for y in range(top, top + height):
        for x in range(left, left + width):
            out += bytes(pattern_pixel(x, y))
    return bytes(out)


def screenshot():
    """What the X screen shows now, read from outside the programs."""
    with tempfile.TemporaryDirectory() as tmp:
        out = Path(tmp) / "screen.png"
        subprocess.run(["import", "-window", "root", "-depth", "8", str(out)], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return read_image(out)


def screen_when(check, what, timeout=20.0):
    """The first screenshot for which `check(screenshot)` holds."""
    found = {}

    def probe():
        shot = screenshot()
        if check(shot):
            found["s"] = shot
            return True
        return False

    wait_until(probe, timeout=timeout, what=what)
    return found["s"]


def screen_size():
    text = subprocess.run(["xdpyinfo"], capture_output=True, text=True, check=True).stdout
    w, h = re.search(r"dimensions:\s+(\d+)x(\d+)", text).groups()
    return int(w), int(h)


# ---- images ----------------------------------------------------------------------

@dataclass
class Image:
    format: str  # "PNG", "BMP", "JPEG" as ImageMagick names them
    width: int
    height: int
    rgb: bytes  # packed RGB, top row first

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])


def read_image(path):
    """Decodes an image file with ImageMagick, independently of the program under test."""
    info = subprocess.run(["identify", "-format", "%m %w %h\n", str(path)],
                          capture_output=True, text=True, check=True).stdout.split("\n")[0]
    fmt, w, h = info.split()
    fmt = "BMP" if fmt.startswith("BMP") else fmt  # ImageMagick says BMP3 for version-3 headers
    rgb = subprocess.run(["convert", str(path), "-depth", "8", "rgb:-"],
                         capture_output=True, check=True).stdout
    return Image(fmt, int(w), int(h), rgb)


def read_bmp32(path):
    """Reads the 32-bit uncompressed BMP that `testtool clipdump` writes."""
    data = Path(path).read_bytes()
    offset = struct.unpack_from("<I", data, 10)[0]
    w, h, _, bits = struct.unpack_from("<iiHH", data, 18)
    assert bits == 32, f"expected a 32-bit BMP, got {bits}"
    rows = []
    stride = w * 4
    for row in range(abs(h)):
        start = offset + row * stride
        bgra = data[start:start + stride]
        rgb = bytearray(w * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = bgra[2::4], bgra[1::4], bgra[0::4]
        rows.append(bytes(rgb))
    if h > 0:
        rows.reverse()
    return Image("BMP", w, abs(h), b"".join(rows))


def first_difference(image, expected_rgb, tolerance=0):
    """(x, y, got, wanted) of the first pixel off by more than tolerance, or None."""
    a, b = image.rgb, expected_rgb
    if len(a) != len(b):
        return ("size", len(a), len(b))
    if tolerance == 0 and a == b:
        return None
    for i in range(0, len(a), 3):
        if any(abs(a[i + k] - b[i + k]) > tolerance for k in range(3)):
            p = i // 3
            return (p % image.width, p // image.width, tuple(a[i:i + 3]), tuple(b[i:i + 3]))
    return None


def mean_difference(image, expected_rgb):
    return sum(abs(x - y) for x, y in zip(image.rgb, expected_rgb)) / max(1, len(expected_rgb))


# ---- windows ---------------------------------------------------------------------

@dataclass
class Win:
    hwnd: int
    cls: str
    id: int
    left: int
    top: int
    right: int
    bottom: int
    visible: bool
    text: str
    children: list = field(default_factory=list)

    @property
    def center(self):
        return ((self.left + self.right) // 2, (self.top + self.bottom) // 2)

    def child(self, cls=None, id=None):
        for c in self.children:
            if (cls is None or c.cls == cls) and (id is None or c.id == id):
                return c
        return None


def parse_windows(text):
    tops = []
    for line in text.splitlines():
        m = re.match(r"(top|child) (\d+) (\S+) (-?\d+) (-?\d+) (-?\d+) (-?\d+) (-?\d+) ([01]) (.*)$",
                     line)
        if not m:
            continue
        kind, hwnd, cls, cid, l, t, r, b, vis, txt = m.groups()
        w = Win(int(hwnd), cls, int(cid), int(l), int(t), int(r), int(b), vis == "1",
                txt.replace("\\n", "\n").replace("\\r", "\r"))
        if kind == "top":
            tops.append(w)
        elif tops:
            tops[-1].children.append(w)
    return tops


# ---- input -----------------------------------------------------------------------

def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def mouse_location():
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True,
                         text=True, check=True).stdout
    values = dict(line.split("=", 1) for line in out.split())
    return int(values["X"]), int(values["Y"])


def mouse_move(x, y):
    # Not "--sync": it waits for motion, and there is none when the pointer is already there.
    xdotool("mousemove", x, y)
    wait_until(lambda: mouse_location() == (x, y), 5, what=f"the pointer at {x},{y}")


def key(*names):
    xdotool("key", "--delay", 30, *names)


def type_text(text):
    xdotool("type", "--delay", 15, text)


# ---- result receiver ---------------------------------------------------------------

@dataclass
class Record:
    code: int
    size: int
    wparam: int
    data: bytes

    @property
    def text(self):
        return self.data.decode("utf-16-le")

    @property
    def number(self):
        return struct.unpack("<i", self.data)[0]


# A worker gives up on a launcher that does not answer after 4 s; well within this.
SILENT_LAUNCHER_LIMIT = 15


class Receiver:
    """The stand-in for the launcher's result window, logging every record it gets."""

    def __init__(self, log):
        self.log = Path(log)

    def shown(self):
        """For each record, the classes of the other programs' visible top-level windows
        while it was being sent."""
        if not self.log.exists():
            return []
        return [line[len("shown="):].split(",") if line != "shown=" else []
                for line in self.log.read_text().splitlines() if line.startswith("shown=")]

    def records(self):
        if not self.log.exists():
            return []
        out = []
        for line in self.log.read_text().splitlines():
            m = re.match(r"code=(\d+) cb=(\d+) wparam=(\d+) data=([0-9a-f]*)$", line)
            if m:
                out.append(Record(int(m[1]), int(m[2]), int(m[3]), bytes.fromhex(m[4])))
        return out


# ---- a scenario's programs and files ----------------------------------------------------

class Session:
    def __init__(self, folder=None):
        self.owns_dir = folder is None
        self.dir = Path(folder) if folder else Path(tempfile.mkdtemp(prefix="kestrow-e2e-"))
        self.processes = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def start(self, exe, *args, cwd=None, env=None):
        """Starts a Windows program under Wine (with `env` added to its environment); it
        is killed at the end of the scenario."""
        p = subprocess.Popen(["wine", str(exe), *map(str, args)], cwd=str(cwd or self.dir),
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, env={**os.environ, **env} if env else None)
        self.processes.append(p)
        return p

    def run(self, exe, *args, timeout=60, cwd=None):
        """Runs a program to its end and returns its exit code."""
        p = self.start(exe, *args, cwd=cwd)
        return p.wait(timeout=timeout)

    def tool(self, *args, timeout=60):
        return self.run(TESTTOOL, *args, timeout=timeout)

    def worker(self, *args, cwd=None):
        return self.start(BIN / "Worker.exe", *args, cwd=cwd)

    def started_from_here(self):
        """Pids of processes run from this session's folder, including those that the
        session's programs started themselves (a launcher's workers)."""
        marker = self.dir.name.encode()
        pids = []
        for entry in Path("/proc").iterdir():
            if entry.name.isdigit() and int(entry.name) != os.getpid():
                try:
                    if marker in (entry / "cmdline").read_bytes():
                        pids.append(int(entry.name))
                except OSError:
                    pass
        return pids

    def close(self):
        pids = {p.pid for p in self.processes if p.poll() is None}
        if self.owns_dir:
            pids.update(self.started_from_here())
        for pid in pids:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        for p in self.processes:
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        if self.owns_dir:
            shutil.rmtree(self.dir, ignore_errors=True)

    # helpers that need a running program

    def show_pattern(self):
        ready = self.dir / "pattern.ready"
        self.start(TESTTOOL, "pattern", winpath(ready))
        wait_until(ready.exists, what="the test pattern on screen")

    def receiver(self, hang=False):
        """The result receiver; with `hang` it logs a record and then never answers."""
        log = self.dir / "receiver.log"
        self.start(TESTTOOL, "receiver", winpath(log), *(["hang"] if hang else []))
        wait_until(lambda: log.exists() and "ready" in log.read_text(), what="the result receiver")
        return Receiver(log)

    def clear_clipboard(self):
        assert self.tool("clipclear") == 0, "could not empty the clipboard"

    def clipboard_bitmap(self):
        """The clipboard's CF_BITMAP as an Image, or None when there is none."""
        out = self.dir / "clip.bmp"
        code = self.tool("clipdump", winpath(out))
        return read_bmp32(out) if code == 0 else None

    def clipboard_text(self):
        """The clipboard's Unicode text, or None when there is none."""
        out = self.dir / "clip.txt"
        code = self.tool("cliptext", winpath(out))
        return out.read_bytes().decode("utf-16-le") if code == 0 else None

    def clipboard_formats(self):
        out = self.dir / "clip.bmp"
        self.tool("clipdump", winpath(out))
        return [int(x) for x in (self.dir / "clip.bmp.formats").read_text().split()]

    def windows(self):
        out = self.dir / "windows.txt"
        assert self.tool("windows", winpath(out)) == 0
        return parse_windows(out.read_text(encoding="utf-8"))

    def find_window(self, cls=None, title=None, has_child_text=None):
        for w in self.windows():
            if cls is not None and w.cls != cls:
                continue
            if title is not None and w.text != title:
                continue
            if has_child_text is not None and not any(has_child_text in c.text for c in w.children):
                continue
            return w
        return None

    def wait_window(self, cls=None, title=None, has_child_text=None, timeout=20):
        return wait_until(lambda: self.find_window(cls, title, has_child_text), timeout,
                          what=f"window {cls!r} {title!r} {has_child_text or ''}")

    def items(self, control):
        """The items of a combo box or list box: (texts, index of the selected one)."""
        out = self.dir / "items.txt"
        assert self.tool("items", control.hwnd, winpath(out)) == 0
        lines = out.read_text(encoding="utf-8").splitlines()
        selected = next((i for i, l in enumerate(lines) if l.startswith("*")), None)
        return [l[1:] for l in lines], selected

    def wait_gone(self, hwnd, timeout=20):
        wait_until(lambda: all(w.hwnd != hwnd for w in self.windows()), timeout,
                   what=f"window {hwnd} to close")


class ScenarioTest(unittest.TestCase):
    """Base of every end-to-end scenario: one Session per test, cleaned up by pid."""

    def setUp(self):
        self.s = Session()
        self.addCleanup(self.s.close)


# ---- the common save dialog ----------------------------------------------------------

SAVE_TYPE_LIST = 1136  # the file type combo box
SAVE_NAME_BOX = 1148   # holds the file name Edit


def is_save_dialog(w):
    return w.cls == "#32770" and w.child(id=SAVE_TYPE_LIST) is not None


def wait_save_dialog(session, timeout=20):
    """The save dialog once it has proposed its file name."""
    def ready():
        return next((w for w in session.windows() if is_save_dialog(w) and save_dialog_name(w)), None)
    return wait_until(ready, timeout, what="the save dialog")


def save_dialog_name(dialog):
    """The text of the file name box (the proposed name when the dialog opens)."""
    edits = [c for c in dialog.children if c.cls == "Edit"]
    return edits[0].text if edits else None


def answer_save_dialog(dialog, text):
    """Types a file name over the proposed one and confirms, with real keys."""
    mouse_move(*dialog.center)  # keys go to the Wine window under the pointer
    type_text(text)
    key("Return")


def cancel_save_dialog(dialog):
    mouse_move(*dialog.center)
    key("Escape")


# ---- a display with several monitors ----------------------------------------------------

MULTIMONITOR_CONF = ROOT / "tests" / "e2e" / "multimonitor" / "xorg.conf"


class MonitorDisplay:
    """Xorg with the dummy video driver on a free display, laid out by an xorg.conf, with
    its own copy of the Wine prefix and its own wineserver (a wineserver serves one X
    display; the DPI is the prefix's). While it runs, DISPLAY and WINEPREFIX point at it,
    so Session, screenshot() and xdotool use it. Xvfb cannot place monitors, Xorg can, but
    only as root: elsewhere start() skips the test with the reason."""

    def __init__(self, config=MULTIMONITOR_CONF, dpi=None):
        self.config = Path(config)
        self.dpi = dpi
        self.xorg = None
        self.dir = None
        self.saved_env = {}

    @staticmethod
    def _free_display():
        # Test lanes run side by side: each looks in a range of its own, so two never
        # pick the same free number at once.
        first = 40 + 40 * int(os.environ.get("KESTROW_LANE", "0"))
        for n in range(first, first + 40):
            if not Path(f"/tmp/.X{n}-lock").exists() and not Path(f"/tmp/.X11-unix/X{n}").exists():
                return n
        raise unittest.SkipTest("no free X display number")

    def _env(self, **values):
        for k, v in values.items():
            self.saved_env.setdefault(k, os.environ.get(k))
            os.environ[k] = v

    def start(self):
        if os.geteuid() != 0:
            raise unittest.SkipTest("several monitors need Xorg with the dummy driver, which only root can start")
        if not shutil.which("Xorg") or not Path("/usr/lib/xorg/modules/drivers/dummy_drv.so").exists():
            raise unittest.SkipTest("Xorg or its dummy driver is not installed (scripts/setup.sh installs them)")
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def _start(self):
        self.dir = Path(tempfile.mkdtemp(prefix="kestrow-monitors-"))
        n = self._free_display()
        self.xorg = subprocess.Popen(
            ["Xorg", f":{n}", "-config", str(self.config), "-noreset", "-nolisten", "tcp", "-novtswitch",
             "-sharevts", "-logfile", str(self.dir / "xorg.log")],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def ready():
            if self.xorg.poll() is not None:
                raise AssertionError(f"Xorg ended; see {self.dir / 'xorg.log'}")
            return subprocess.run(["xdpyinfo", "-display", f":{n}"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0
        wait_until(ready, 20, what="Xorg")
        # The prefix as the run made it, copied: its wineserver must not be shared with
        # the programs on the run's own display.
        prefix = self.dir / "prefix"
        subprocess.run(["cp", "-a", os.environ["WINEPREFIX"], str(prefix)], check=True)
        self._env(DISPLAY=f":{n}", WINEPREFIX=str(prefix))
        if self.dpi:
            subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                            "REG_DWORD", "/d", str(self.dpi), "/f"], stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
            subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-p"], stderr=subprocess.DEVNULL)
        # Wine's background services, started with no pipe of ours to inherit.
        subprocess.run(["wine", "cmd", "/c", "exit"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)

    def stop(self):
        if "WINEPREFIX" in self.saved_env:
            subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        if self.xorg and self.xorg.poll() is None:
            self.xorg.terminate()
            try:
                self.xorg.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xorg.kill()
                self.xorg.wait(timeout=10)
        for k, v in self.saved_env.items():
            if v is None:
                os.environ.pop(k, None)
            else:
                os.environ[k] = v
        self.saved_env = {}
        if self.dir:
            shutil.rmtree(self.dir, ignore_errors=True)

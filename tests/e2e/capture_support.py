"""What the region-capture scenarios share: start programs under Wine by pid, wait
for conditions with time limits, drive the pointer and keys with xdotool, and read
the screen, the clipboard and the result receiver's log.

Runs inside scripts/test.sh, which provides DISPLAY, the Wine prefix and a running
wineserver; KESTROW_WIN32_DIR names the Windows build."""
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest

WIN32_DIR = os.environ.get("KESTROW_WIN32_DIR", "")
WORKER = os.path.join(WIN32_DIR, "bin", "Worker.exe")
TESTTOOL = os.path.join(WIN32_DIR, "tests", "testtool.exe")
SCREEN_W, SCREEN_H = 1024, 768


def pattern(x, y):
    """The colour testtool's pattern paints at (x, y), as (r, g, b)."""
    return (x & 255, y & 255, (((x >> 8) << 5) | ((y >> 8) << 2) | 3) & 255)


def dim(c):
    return tuple((180 * 51 + 75 * v) // 255 for v in c)


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_for(condition, timeout=20.0, what="condition"):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


class Program:
    """A Windows program under Wine; output goes to a file, never a pipe."""

    def __init__(self, exe, *args, workdir=None):
        self.out = tempfile.NamedTemporaryFile(prefix="kestrow-e2e-", suffix=".out", delete=False)
        self.proc = subprocess.Popen(["wine", exe, *args], stdout=self.out, stderr=subprocess.STDOUT,
                                     stdin=subprocess.DEVNULL, cwd=workdir, start_new_session=True)

    def running(self):
        return self.proc.poll() is None

    def wait(self, timeout=20.0):
        return self.proc.wait(timeout=timeout)

    def stop(self):
        if self.running():
            try:
                os.kill(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc.wait(timeout=10)
        self.out.close()
        os.unlink(self.out.name)


def xdo(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL)


def pointer():
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], check=True, capture_output=True,
                         text=True, stdin=subprocess.DEVNULL).stdout
    vals = dict(line.split("=") for line in out.split())
    return int(vals["X"]), int(vals["Y"])


class Screen:
    """One screenshot of the root window (the mouse cursor is not in it)."""

    def __init__(self):
        fd, path = tempfile.mkstemp(suffix=".ppm")
        os.close(fd)
        try:
            subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:" + path], check=True,
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            with open(path, "rb") as f:
                data = f.read()
        finally:
            os.unlink(path)
        parts = data.split(maxsplit=4)
        self.w, self.h = int(parts[1]), int(parts[2])
        self.pixels = parts[4]

    def at(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.pixels[i:i + 3])


def read_bmp(path):
    """A 32-bit BMP as (width, height, function (x, y) -> (r, g, b))."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    w, h = struct.unpack_from("<ii", data, 18)
    bpp = struct.unpack_from("<H", data, 28)[0]
    stride = ((w * bpp // 8) + 3) & ~3
    def at(x, y):
        row = (abs(h) - 1 - y) if h > 0 else y
        i = offset + row * stride + x * (bpp // 8)
        b, g, r = data[i:i + 3]
        return (r, g, b)
    return w, abs(h), at


class CaptureCase(unittest.TestCase):
    """Each test starts from the pattern on screen, a result receiver and an empty clipboard."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="kestrow-capture-")
        ready = os.path.join(cls.tmp, "pattern.ready")
        cls.pattern = Program(TESTTOOL, "pattern", winpath(ready))
        wait_for(lambda: os.path.exists(ready), what="the pattern")

    @classmethod
    def tearDownClass(cls):
        cls.pattern.stop()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def setUp(self):
        self.programs = []
        self.log = os.path.join(self.tmp, f"results-{self.id().split('.')[-1]}.log")
        self.receiver = self.start(TESTTOOL, "receiver", winpath(self.log))
        wait_for(lambda: "ready" in self.read_log(), what="the receiver")
        self.assertEqual(subprocess.run(["wine", TESTTOOL, "clipclear"], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode, 0)

    def tearDown(self):
        for p in reversed(self.programs):
            p.stop()

    def start(self, exe, *args, workdir=None):
        p = Program(exe, *args, workdir=workdir)
        self.programs.append(p)
        return p

    def start_capture(self, *extra, mouse=(600, 500), workdir=None):
        """Starts the region capture with the pointer at `mouse` and waits for the overlay."""
        xdo("mousemove", *mouse)
        worker = self.start(WORKER, "-tasktype", "screencapture", *extra, workdir=workdir)
        box = (SCREEN_W - 200, SCREEN_H - 220) if mouse[0] < 200 and mouse[1] < 220 else (0, 0)
        wait_for(lambda: Screen().at(box[0] + 198, box[1] + 201) == (127, 127, 127), what="the overlay")
        return worker

    def read_log(self):
        if not os.path.exists(self.log):
            return ""
        with open(self.log) as f:
            return f.read()

    def results(self):
        return [line.strip() for line in self.read_log().splitlines() if line.startswith("code=")]

    def drag(self, x0, y0, x1, y1):
        xdo("mousemove", x0, y0, "mousedown", 1)
        xdo("mousemove", (x0 + x1) // 2, (y0 + y1) // 2)
        xdo("mousemove", x1, y1, "mouseup", 1)

    def screen_when(self, check, what):
        """The first screenshot for which `check(screen)` holds."""
        box = {}
        def probe():
            s = Screen()
            if check(s):
                box["s"] = s
                return True
            return False
        wait_for(probe, what=what)
        return box["s"]

    def clipboard(self):
        out = os.path.join(self.tmp, "clip.bmp")
        if os.path.exists(out):
            os.unlink(out)
        rc = subprocess.run(["wine", TESTTOOL, "clipdump", winpath(out)], stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        return read_bmp(out) if rc == 0 else None

    def assert_region_is_pattern(self, image, left, top, width, height):
        w, h, at = image
        self.assertEqual((w, h), (width, height))
        for y in range(h):
            for x in range(w):
                if at(x, y) != pattern(left + x, top + y):
                    self.fail(f"pixel {x},{y} is {at(x, y)}, expected {pattern(left + x, top + y)}")

    def windows(self):
        out = os.path.join(self.tmp, "windows.txt")
        subprocess.run(["wine", TESTTOOL, "windows", winpath(out)], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(out, encoding="utf-8") as f:
            return f.read()

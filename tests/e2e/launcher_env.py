"""What the launcher scenarios add to the harness: KestrowCapture.exe installed in the
session's folder beside stand-ins that log their command lines (Worker.log,
pagegrab.log), its tray icon in Wine's own tray window, its settings file in the
prefix, and a probe that plays a worker sending results.
"""
import getpass
import os
import shutil
import time
from pathlib import Path

from tests.e2e import harness as h

PROBE = h.TOOLS / "launcherprobe.exe"

# Two presses of a button within the double-click time (500 ms) reach the tray icon's
# owner as a press and a double click, not as two presses.
DOUBLE_CLICK_GAP = 0.6
_last_click = [0.0]


def click(x, y, button=1):
    """Clicks at a point, never close enough to the previous click to make a double
    click. The pointer first leaves the point: a window that appeared under a resting
    pointer gets no enter event from X, and Wine then misses the click."""
    gap = _last_click[0] + DOUBLE_CLICK_GAP - time.monotonic()
    if gap > 0:
        time.sleep(gap)
    h.mouse_move(x + 200, y + 200)
    h.mouse_move(x, y)
    h.xdotool("click", button)
    _last_click[0] = time.monotonic()


def user_folder(kind):
    """The prefix's %APPDATA% ("Roaming") or %LOCALAPPDATA% ("Local") on the Unix side."""
    return Path(os.environ["WINEPREFIX"]) / "drive_c" / "users" / getpass.getuser() / "AppData" / kind


def config_file():
    return user_folder("Roaming") / "Kestrow" / "KestrowCapture" / "appconfig.ini"


# Scenarios talk to nothing outside this machine: unless a scenario names its own
# service, the launcher's pings and update check go to a loopback port nobody serves.
NO_SERVICE = "http://127.0.0.1:9"


def write_config(**values):
    path = config_file()
    path.parent.mkdir(parents=True, exist_ok=True)
    values.setdefault("service_url", NO_SERVICE)
    # The stand-in worker cannot wait to be woken: unless a scenario turns it on, workers
    # start one per request.
    values.setdefault("standby", 0)
    lines = ["[config]"] + [f"{k}={v}" for k, v in values.items()]
    path.write_text("\r\n".join(lines) + "\r\n", encoding="utf-8")


def clear_config():
    """Default settings: a settings file that names only the (absent) service."""
    write_config()


# Keyboard order of the menu's items (the keys skip separators).
MENU_ORDER = ["截屏", "截整个屏幕", "截窗口", "取色", "网页截图...", "设置...", "反馈建议...", "关于...", "退出"]


class Launcher:
    """A launcher in a scenario's session; everything it starts is logged in its folder."""

    def __init__(self, session, worker="standin", env=None):
        """`worker`: "standin" (logs its command line), "real" (the built Worker.exe) or None;
        `env`: added to the launcher's environment, which its workers inherit."""
        self.s = session
        self.env = env
        self.folder = session.dir / "app"
        self.folder.mkdir(exist_ok=True)
        self.exe = self.folder / "KestrowCapture.exe"
        shutil.copy(h.BIN / "KestrowCapture.exe", self.exe)
        if worker:
            shutil.copy(h.STANDIN if worker == "standin" else h.BIN / "Worker.exe", self.folder / "Worker.exe")
        shutil.copy(h.STANDIN, self.folder / "pagegrab.exe")
        if not config_file().exists():
            clear_config()  # never the built-in service address from a scenario

    def start(self):
        # Balloons are traced to a file: Wine's tray shows none.
        return self.s.start(self.exe, cwd=self.folder, env={"KESTROW_TRAY_TRACE": h.winpath(self.trace), **(self.env or {})})

    @property
    def trace(self):
        return self.folder / "tray-trace.txt"

    def balloons(self):
        """The balloon texts shown so far, "<title>|<text>" each, in order: the traced
        tray calls that carry NIF_INFO (0x10)."""
        if not self.trace.exists():
            return []
        lines = [line.split(" ", 3) for line in self.trace.read_text(encoding="utf-8").splitlines()]
        return [f[3].replace("\\r", "\r").replace("\\n", "\n")
                for f in lines if len(f) == 4 and int(f[2], 16) & 0x10]

    def start_and_wait_for_icon(self):
        proc = self.start()
        h.wait_until(self.receiver_ready, what="the launcher's result window")
        return proc, h.wait_until(self.icon, what="the launcher's tray icon")

    def icon(self):
        """The rectangle of the (first) icon in Wine's tray window, or None."""
        for w in self.s.windows():
            if w.cls == "__winex11_standalone_tray":
                icons = [c for c in w.children if c.cls == "__winex11_tray_icon" and c.visible]
                if icons:
                    return icons[0]
        return None

    def send(self, code, kind, value):
        """Sends a result record as a worker does; the launcher's answer, or "nowindow"."""
        out = self.s.dir / "answer.txt"
        out.unlink(missing_ok=True)
        rc = self.s.run(PROBE, "send", code, kind, value, h.winpath(out))
        assert rc == 0, f"the probe ended with {rc}"
        return out.read_text().strip()

    def send_main(self, msg, wparam=0, lparam=0):
        """Sends a message to the hidden main dialog; its answer, or "nowindow"."""
        out = self.s.dir / "main-answer.txt"
        out.unlink(missing_ok=True)
        assert self.s.run(PROBE, "main", msg, wparam, lparam, h.winpath(out)) == 0
        return out.read_text().strip()

    def icons(self):
        """Every visible icon in Wine's tray window."""
        return [c for w in self.s.windows() if w.cls == "__winex11_standalone_tray"
                for c in w.children if c.cls == "__winex11_tray_icon" and c.visible]

    def receiver_ready(self):
        # Code 0 is accepted and ignored: a harmless probe for the hidden receiver. A probe
        # that fails while the launcher is still starting (seen once under 64-bit Wine)
        # counts as not ready; a launcher that never answers still ends the wait.
        try:
            return self.send(0, "int", 0) == "1"
        except AssertionError:
            return False

    def toasts(self):
        """The toast windows: dicts with visible, exstyle, rect and title."""
        out = self.s.dir / "toasts.txt"
        assert self.s.run(PROBE, "toasts", h.winpath(out)) == 0
        result = []
        for line in out.read_text(encoding="utf-8").splitlines():
            p = line.split(" ", 6)
            result.append({"visible": p[0] == "1", "exstyle": int(p[1], 16),
                           "rect": tuple(int(v) for v in p[2:6]), "title": p[6] if len(p) > 6 else ""})
        return result

    def wait_toast(self, title, timeout=10):
        return h.wait_until(lambda: next((t for t in self.toasts() if t["visible"] and t["title"] == title), None),
                            timeout, what=f"the toast {title!r}")

    def log_lines(self, name="Worker"):
        """The parameter strings the stand-in `name`.exe was started with, in order."""
        log = self.folder / f"{name}.log"
        if not log.exists():
            return []
        return [line.split('.exe"', 1)[1].lstrip(" ") for line in log.read_text().splitlines()]

    def wait_lines(self, count, name="Worker", timeout=15):
        return h.wait_until(lambda: len(self.log_lines(name)) >= count and self.log_lines(name), timeout,
                            what=f"{count} start(s) of {name}")

    def workers(self):
        """{pid: command line} of the Worker.exe processes (stand-ins or real) this
        launcher started, the waiting one included."""
        found = {}
        for pid in self.s.started_from_here():
            try:
                line = Path(f"/proc/{pid}/cmdline").read_bytes()
            except OSError:
                continue
            if b"Worker.exe" in line:
                found[pid] = line.replace(b"\0", b" ").decode(errors="replace")
        return found

    def workers_running(self):
        """Pids of the workers that run a task (not the one waiting to be woken)."""
        return [pid for pid, line in self.workers().items() if "-standby" not in line]

    def standby(self, besides=None):
        """The pid of the worker waiting to be woken (other than `besides`, a woken one),
        once it waits; else None. Waiting is its processor time standing still once it
        has its display driver loaded."""
        pids = [pid for pid, line in self.workers().items() if "-standby" in line and pid != besides]
        if len(pids) != 1 or not _sleeping(pids[0]):
            return None
        return pids[0]


    def menu(self):
        return next((w for w in self.s.windows() if w.cls == "#32768" and w.visible), None)

    def open_menu(self, icon):
        """Right-clicks the icon and waits for the menu; leaves the pointer on the menu's
        border, where it selects nothing, so keys drive the menu."""
        click(*icon.center, button=3)
        menu = h.wait_until(self.menu, 10, what="the tray menu")
        h.mouse_move(menu.left + 1, menu.top + 1)
        return menu

    def choose(self, icon, text, sub=None):
        """Picks a menu item by its text (and an entry of its submenu by index)."""
        self.open_menu(icon)
        keys = ["Down"] * (MENU_ORDER.index(text) + 1)
        if sub is not None:
            keys += ["Right"] + ["Down"] * sub
        h.key(*keys, "Return")
        h.wait_until(lambda: not self.menu(), 10, what="the menu to close")


def _cpu_ticks(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def _sleeping(pid):
    try:
        if "winex11" not in Path(f"/proc/{pid}/maps").read_text():
            return False
        before = _cpu_ticks(pid)
        time.sleep(0.5)
        return _cpu_ticks(pid) == before
    except OSError:
        return False

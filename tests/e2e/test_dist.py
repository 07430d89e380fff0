"""What a user downloads: the installer and the portable zip that scripts/dist.sh writes
to build/dist. The installer runs in a fresh prefix of its own, so the suite's prefix
stays clean; the zip runs in the suite's prefix like any folder of programs."""
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest
import zipfile
from pathlib import Path

from tests.e2e import harness as h
from tests.e2e import launcher_env as env

DIST = h.ROOT / "build" / "dist"
INSTALL_DIR = "C:\\Program Files\\Kestrow Capture"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KestrowCapture"
RUN_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"


def version():
    text = (h.ROOT / "common" / "version.h").read_text()
    parts = [re.search(rf"^#define KESTROW_VERSION_{p} (\d+)$", text, re.M)[1]
             for p in ("MAJOR", "MINOR", "PATCH", "BUILD")]
    return ".".join(parts)


def programs():
    """The programs the packages must hold: pagegrab.exe once it is built."""
    names = ["KestrowCapture.exe", "Worker.exe"]
    return names + ["pagegrab.exe"] if (h.BIN / "pagegrab.exe").exists() else names


def fixed_version(data):
    """The file version in a program's version resource, as "a.b.c.d"."""
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    assert at >= 0, "no version resource"
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def has_symbols(data):
    coff = struct.unpack_from("<I", data, 0x3C)[0] + 4
    pointer, count = struct.unpack_from("<II", data, coff + 8)
    return pointer != 0 or count != 0


def setup_exe():
    return DIST / f"KestrowCapture-{version()}-setup.exe"


def portable_zip():
    return DIST / f"KestrowCapture-{version()}-portable.zip"


class Installed(env.Launcher):
    """A launcher already in place (installed or unpacked); nothing is copied."""

    def __init__(self, session, folder, exe):
        self.s = session
        self.env = None
        self.folder = Path(folder)
        self.exe = exe

    @property
    def trace(self):
        # Outside the program folder, which the uninstaller must be able to remove.
        return self.s.dir / "tray-trace.txt"

    def f4_copies_the_screen(self):
        # The real Worker.exe from the same folder copies the screen; the launcher
        # watches it and shows its toast.
        self.s.clear_clipboard()
        proc, icon = self.start_and_wait_for_icon()
        h.mouse_move(*icon.center)  # keys reach Wine only over one of its windows
        h.key("F4")
        self.wait_toast("屏幕已成功复制到剪贴板", timeout=30)
        image = self.s.clipboard_bitmap()
        assert image is not None and (image.width, image.height) == h.screen_size()
        return proc


class Packages(unittest.TestCase):
    def test_names_version_and_stripped_programs(self):
        # The programs' own versions are checked where they are built (win.*Resources).
        self.assertEqual(fixed_version(setup_exe().read_bytes()), version())
        with zipfile.ZipFile(portable_zip()) as z:
            self.assertEqual(sorted(z.namelist()), sorted(f"Kestrow Capture/{n}" for n in programs()))
            for name in programs():
                self.assertFalse(has_symbols(z.read(f"Kestrow Capture/{name}")), f"{name} is not stripped")


class PortableZip(h.ScenarioTest):
    def test_unpacked_in_a_folder_with_a_blank_runs_a_hotkey_task(self):
        env.clear_config()
        target = self.s.dir / "my tools"
        with zipfile.ZipFile(portable_zip()) as z:
            z.extractall(target)
        folder = target / "Kestrow Capture"
        Installed(self.s, folder, folder / "KestrowCapture.exe").f4_copies_the_screen()


def wine_prefix_env(prefix):
    return {**os.environ, "WINEPREFIX": str(prefix), "KESTROW_WINEPREFIX": str(prefix)}


@unittest.skipIf(os.environ.get("KESTROW_WIN_ARCH") == "x86_64",
                 "the installer is a 32-bit program and this machine cannot run one")
class Installer(h.ScenarioTest):
    """One fresh prefix: install, run, install over the running launcher, uninstall."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = Path(tempfile.mkdtemp(prefix="kestrow-dist-"))
        cls.prefix = cls.tmp / "prefix"
        environ = wine_prefix_env(cls.prefix)
        cls.addClassCleanup(shutil.rmtree, cls.tmp, ignore_errors=True)
        cls.addClassCleanup(os.environ.__setitem__, "WINEPREFIX", os.environ["WINEPREFIX"])
        cls.addClassCleanup(subprocess.run, ["wineserver", "-k"], env=environ)
        subprocess.run(["bash", "-c", "source scripts/wine-env.sh && kestrow_prefix"], cwd=h.ROOT,
                       env=environ, check=True, timeout=600,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-p"], env=environ, check=True)
        os.environ["WINEPREFIX"] = str(cls.prefix)

    def drive_c(self, windows_path):
        return self.prefix / "drive_c" / windows_path[3:].replace("\\", "/")

    def reg_values(self, key):
        """The values of a registry key as {name: text}, or None when the key is missing."""
        out = self.s.dir / "reg.txt"
        with open(out, "wb") as f:  # a file, not a pipe: Wine's services may hold a pipe
            code = subprocess.run(["wine", "reg", "query", key], stdout=f, stderr=subprocess.DEVNULL,
                                  stdin=subprocess.DEVNULL).returncode
        if code != 0:
            return None
        values = {}
        for line in out.read_text(errors="replace").splitlines():
            m = re.match(r"\s+(\S+)\s+(REG_\w+)\s*(.*)$", line)
            if m:
                values[m[1]] = m[3].strip()
        return values

    def shortcut(self):
        return self.prefix / "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrow Capture.lnk"

    def test_install_run_update_and_uninstall(self):
        folder = self.drive_c(INSTALL_DIR)
        launcher_path = f"{INSTALL_DIR}\\KestrowCapture.exe"
        app = Installed(self.s, folder, launcher_path)
        with zipfile.ZipFile(portable_zip()) as z:
            shipped = {n: z.read(f"Kestrow Capture/{n}") for n in programs()}

        self.assertEqual(self.s.run(setup_exe(), "/S", "/AUTORUN", timeout=300), 0)
        self.assertEqual(sorted(p.name for p in folder.iterdir()), sorted([*shipped, "uninstall.exe"]))
        for name, data in shipped.items():
            self.assertEqual((folder / name).read_bytes(), data, name)
        self.assertIn(launcher_path.encode("utf-16-le"), self.shortcut().read_bytes())
        entry = self.reg_values(UNINSTALL_KEY)
        self.assertEqual(entry["DisplayName"], "Kestrow Capture")
        self.assertEqual(entry["DisplayVersion"], version())
        self.assertEqual(entry["Publisher"], "Kestrow")
        self.assertEqual(entry["DisplayIcon"], launcher_path + ",0")
        self.assertEqual(entry["UninstallString"], f'"{INSTALL_DIR}\\uninstall.exe"')
        size_kb = int(entry["EstimatedSize"], 16)
        total = sum((folder / n).stat().st_size for n in [*shipped, "uninstall.exe"])
        self.assertAlmostEqual(size_kb, total / 1024, delta=len(shipped) + 2)
        self.assertEqual(self.reg_values(RUN_KEY).get("KestrowCapture"), f'"{launcher_path}"')

        running = app.f4_copies_the_screen()

        # A capture in progress holds Worker.exe: the installer ends the launcher, then
        # fails (silently: exit code 2) without replacing anything rather than leave a mix
        # of old and new files. The files are spoilt from outside, so a copy shows.
        for name in shipped:
            with open(folder / name, "ab") as f:
                f.write(b"old")
        picker = self.s.start(f"{INSTALL_DIR}\\Worker.exe", "-tasktype", "colorcapture")
        self.s.wait_window("KESTROW_ColorCaptureWndClass")
        self.assertEqual(self.s.run(setup_exe(), "/S", timeout=300), 2)
        self.assertEqual(running.wait(15), 1)  # the tray menu's exit code
        for name in shipped:
            self.assertTrue((folder / name).read_bytes().endswith(b"old"), name)
        picker.kill()
        picker.wait(15)

        # Installing again over a running launcher ends it and replaces every file.
        running, _ = app.start_and_wait_for_icon()
        self.assertEqual(self.s.run(setup_exe(), "/S", timeout=300), 0)
        self.assertEqual(running.wait(15), 1)
        for name, data in shipped.items():
            self.assertEqual((folder / name).read_bytes(), data, name)

        # Uninstalling, again with the launcher running, keeps only the settings.
        env.write_config(showballon=0)
        running, _ = app.start_and_wait_for_icon()
        self.assertEqual(self.s.run(f"{INSTALL_DIR}\\uninstall.exe", "/S", timeout=60), 0)
        # The uninstaller runs on from a copy of itself; its work shows in the end.
        h.wait_until(lambda: not folder.exists(), 120, what="the program folder to go")
        self.assertEqual(running.wait(15), 1)
        self.assertFalse(self.shortcut().exists())
        self.assertIsNone(self.reg_values(UNINSTALL_KEY))
        self.assertNotIn("KestrowCapture", self.reg_values(RUN_KEY) or {})
        self.assertTrue(env.config_file().exists())

    def click_main_button(self, page_text, label):
        """Clicks the installer's Next/Install/Finish button once the page showing
        page_text is up and the button reads label."""
        def ready():
            w = self.s.find_window(cls="#32770", has_child_text=page_text)
            return w and next((c for c in w.children if c.cls == "Button" and c.id == 1
                               and c.visible and c.text == label), None)
        env.click(*h.wait_until(ready, 60, what=f"the page showing {page_text!r}").center)

    def test_finish_page_runs_the_launcher(self):
        folder = self.drive_c(INSTALL_DIR)
        app = Installed(self.s, folder, f"{INSTALL_DIR}\\KestrowCapture.exe")
        setup = self.s.start(setup_exe())
        self.click_main_button("欢迎使用 Kestrow Capture 安装程序", "下一步(&N) >")
        self.click_main_button("选择安装位置", "下一步(&N) >")
        self.click_main_button("选择组件", "安装(&I)")
        self.click_main_button("运行 Kestrow Capture", "完成(&F)")  # ticked as it comes
        self.assertEqual(setup.wait(30), 0)
        h.wait_until(app.icon, 30, what="the launcher's tray icon")
        self.assertNotIn("KestrowCapture", self.reg_values(RUN_KEY) or {}, "autorun is off unless chosen")
        # The uninstaller ends a launcher that it did not start, too; asked to, it
        # removes the settings with their folders.
        env.write_config(showballon=0)
        self.assertEqual(self.s.run(f"{INSTALL_DIR}\\uninstall.exe", "/S", "/REMOVESETTINGS", timeout=60), 0)
        h.wait_until(lambda: not folder.exists(), 120, what="the program folder to go")
        self.assertIsNone(app.icon())
        self.assertFalse(env.config_file().parent.parent.exists())

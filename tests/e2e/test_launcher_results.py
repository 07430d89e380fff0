"""Results from a worker: toasts, the paint program, and records that are not what a
worker sends."""
import os
import shutil
import time
from pathlib import Path

from tests.e2e import harness as h
from tests.e2e import launcher_env as env

WS_EX_TOPMOST = 0x8
WS_EX_TOOLWINDOW = 0x80
WS_EX_LAYERED = 0x80000

SYSTEM32 = Path(os.environ.get("WINEPREFIX", "")) / "drive_c" / "windows" / "system32"


class Results(h.ScenarioTest):
    def setUp(self):
        super().setUp()
        env.clear_config()
        self.app = env.Launcher(self.s)
        self.app.start_and_wait_for_icon()

    def visible_toasts(self):
        return [t for t in self.app.toasts() if t["visible"]]

    def test_toast_looks_right_and_is_gone_after_about_four_and_a_half_seconds(self):
        start = time.monotonic()
        self.assertEqual(self.app.send(1526, "int", 0), "1")
        toasts = h.wait_until(self.visible_toasts, 5, what="the toast")
        self.assertEqual(len(toasts), 1)
        t = toasts[0]
        self.assertEqual(t["title"], "所选区域已复制到剪贴板")
        left, top, right, bottom = t["rect"]
        self.assertEqual((right - left, bottom - top), (400, 30))
        w, hgt = h.screen_size()
        self.assertLessEqual(abs((left + right) // 2 - w // 2), 1)
        self.assertEqual(t["exstyle"] & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED),
                         WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED)
        h.wait_until(lambda: not self.app.toasts(), 10, what="the toast to close")
        lived = time.monotonic() - start
        self.assertGreater(lived, 3.5)
        self.assertLess(lived, 8)

    def test_each_code_its_toast_and_two_results_two_toasts(self):
        self.assertEqual(self.app.send(1524, "path", r"C:\shot.png"), "1")
        self.assertEqual(self.app.send(1527, "int", 0), "1")
        toasts = h.wait_until(lambda: len(self.visible_toasts()) == 2 and self.visible_toasts(), 5,
                              what="two toasts")
        self.assertEqual(sorted(t["title"] for t in toasts), sorted(["屏幕已成功保存到文件", "所选颜色值已复制到剪贴板"]))
        self.assertEqual(toasts[0]["rect"], toasts[1]["rect"])
        self.assertEqual(self.app.send(1525, "path", r"C:\shot.png"), "1")
        h.wait_until(lambda: any(t["title"] == "所选区域已成功保存到文件" for t in self.visible_toasts()), 5,
                     what="the saved-region toast")

    def test_bad_records_are_answered_and_ignored(self):
        self.assertEqual(self.app.send(1525, "bytes", 7), "1")   # half a UTF-16 unit
        self.assertEqual(self.app.send(1526, "bytes", 8), "1")   # a number is 4 bytes
        self.assertEqual(self.app.send(1527, "bytes", 0), "1")
        self.assertEqual(self.app.send(1999, "int", 0), "1")     # no such code
        time.sleep(0.5)  # nothing to wait for: give a wrong toast the time to show
        self.assertEqual(self.app.toasts(), [])


class AutoOpen(h.ScenarioTest):
    """With "auto_open_screencapture" on, a saved file opens in the paint program."""

    def setUp(self):
        super().setUp()
        self.paint = SYSTEM32 / "mspaint.exe"
        self.paint_log = SYSTEM32 / "mspaint.log"
        shutil.copy(h.STANDIN, self.paint)
        self.paint_log.unlink(missing_ok=True)
        self.addCleanup(self.paint.unlink, missing_ok=True)
        self.addCleanup(self.paint_log.unlink, missing_ok=True)
        env.write_config(auto_open_screencapture=1)
        self.addCleanup(env.clear_config)
        self.app = env.Launcher(self.s)
        self.app.start_and_wait_for_icon()

    def test_saved_file_opens_with_its_path_quoted(self):
        saved = self.s.dir / "my shots" / "截图 1.png"
        saved.parent.mkdir()
        saved.write_bytes(b"png")
        self.assertEqual(self.app.send(1525, "path", h.winpath(saved)), "1")
        log = h.wait_until(lambda: self.paint_log.exists() and self.paint_log.read_text(encoding="utf-8"), 10,
                           what="the paint program")
        self.assertTrue(log.rstrip("\n").endswith(f'"{h.winpath(saved)}"'), log)
        self.assertEqual(self.app.toasts(), [])

    def test_missing_file_and_clipboard_results_still_toast(self):
        self.assertEqual(self.app.send(1524, "path", h.winpath(self.s.dir / "gone.png")), "1")
        h.wait_until(lambda: any(t["title"] == "屏幕已成功保存到文件" for t in self.app.toasts()), 5,
                     what="the toast for a missing file")
        self.assertEqual(self.app.send(1526, "int", 0), "1")
        h.wait_until(lambda: any(t["title"] == "所选区域已复制到剪贴板" for t in self.app.toasts()), 5,
                     what="the clipboard toast")
        self.assertFalse(self.paint_log.exists())

    def test_the_app_alias_serves_when_the_system_folder_has_none(self):
        self.paint.unlink()
        # The user's own folder of app aliases, where Windows 11 keeps Paint. Wine sets
        # %LOCALAPPDATA% to the prefix's folder whatever the environment says.
        aliases = env.user_folder("Local") / "Microsoft" / "WindowsApps"
        aliases.mkdir(parents=True, exist_ok=True)
        alias = aliases / "mspaint.exe"
        alias_log = aliases / "mspaint.log"
        alias_log.unlink(missing_ok=True)
        shutil.copy(h.STANDIN, alias)
        self.addCleanup(alias.unlink, missing_ok=True)
        self.addCleanup(alias_log.unlink, missing_ok=True)
        saved = self.s.dir / "a.png"
        saved.write_bytes(b"png")
        self.assertEqual(self.app.send(1525, "path", h.winpath(saved)), "1")
        log = h.wait_until(lambda: alias_log.exists() and alias_log.read_text(encoding="utf-8"), 10,
                           what="the paint program's app alias")
        self.assertTrue(log.rstrip("\n").endswith(f'"{h.winpath(saved)}"'), log)
        self.assertEqual(self.app.toasts(), [])

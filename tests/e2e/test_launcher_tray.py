"""The tray icon and menu start the worker with exactly the right parameter string."""
import time

from tests.e2e import harness as h
from tests.e2e import launcher_env as env


class TrayStartsTasks(h.ScenarioTest):
    def setUp(self):
        super().setUp()
        env.clear_config()
        self.app = env.Launcher(self.s)
        self.proc, self.icon = self.app.start_and_wait_for_icon()

    def test_left_click_starts_a_region_capture_each_time(self):
        env.click(*self.icon.center)
        self.assertEqual(self.app.wait_lines(1), ["-tasktype screencapture"])
        env.click(*self.icon.center)
        env.click(*self.icon.center)
        self.assertEqual(self.app.wait_lines(3), ["-tasktype screencapture"] * 3)

    def test_menu_items_start_their_tasks(self):
        cases = [
            (("截屏", None), "-tasktype screencapture"),
            (("截整个屏幕", 0), "-tasktype screenfullscreentofile"),
            (("截整个屏幕", 1), "-tasktype screenfullscreentoclipboard"),
            (("截窗口", None), "-tasktype screencapture -trackwindow true"),
            (("取色", None), "-tasktype colorcapture"),
        ]
        for i, ((item, sub), expected) in enumerate(cases):
            with self.subTest(item=item, sub=sub):
                self.app.choose(self.icon, item, sub)
                self.assertEqual(self.app.wait_lines(i + 1)[i], expected)
        self.assertEqual(self.app.log_lines("pagegrab"), [])

    def test_web_capture_item_starts_pagegrab_without_arguments(self):
        self.app.choose(self.icon, "网页截图...")
        self.assertEqual(self.app.wait_lines(1, "pagegrab"), [""])
        self.assertEqual(self.app.log_lines(), [])

    def test_dismissed_menu_starts_nothing(self):
        self.app.open_menu(self.icon)
        h.key("Escape")
        h.wait_until(lambda: not self.app.menu(), 10, what="the menu to close")
        time.sleep(1)  # nothing to wait for: give a wrong start the time to show
        self.assertEqual(self.app.log_lines(), [])
        self.assertIsNone(self.proc.poll())

    def test_whole_screen_to_clipboard_toast_comes_when_the_worker_ends(self):
        self.app.choose(self.icon, "截整个屏幕", 1)
        toast = h.wait_until(lambda: [t for t in self.app.toasts() if t["visible"]], 10, what="the toast")
        self.assertEqual(toast[0]["title"], "屏幕已成功复制到剪贴板")


class MissingWorker(h.ScenarioTest):
    def test_click_and_menu_do_nothing_without_worker(self):
        env.clear_config()
        app = env.Launcher(self.s, worker=None)
        proc, icon = app.start_and_wait_for_icon()
        env.click(*icon.center)
        app.choose(icon, "截整个屏幕", 1)
        time.sleep(1)  # nothing to wait for: give a wrong start the time to show
        self.assertFalse((app.folder / "Worker.log").exists())
        self.assertEqual(app.toasts(), [])
        self.assertIsNone(proc.poll())

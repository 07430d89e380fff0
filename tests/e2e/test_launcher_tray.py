"""The tray icon and menu start the worker with exactly the right parameter string."""
import time

from tests.e2e import harness as h
from tests.e2e import launcher_env as env

WM_INTERACTIVE_TASK_DONE = 0x400 + 120


class TrayStartsTasks(h.ScenarioTest):
    def setUp(self):
        super().setUp()
        env.clear_config()
        self.app = env.Launcher(self.s)
        self.proc, self.icon = self.app.start_and_wait_for_icon()

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


class OneInteractiveCapture(h.ScenarioTest):
    """While an overlay or colour picker is up, no request starts another; whole-screen
    tasks still start. The stand-in workers live until the release file exists."""

    def test_requests_while_one_runs_start_nothing_until_it_ends(self):
        env.clear_config()
        release = self.s.dir / "release"
        app = env.Launcher(self.s, env={"KESTROW_STANDIN_UNTIL": h.winpath(release)})
        _, icon = app.start_and_wait_for_icon()
        self.addCleanup(release.touch)
        env.click(*icon.center)
        self.assertEqual(app.wait_lines(1), ["-tasktype screencapture"])
        # Another program telling that the capture has ended is not believed.
        self.assertEqual(app.send_main(WM_INTERACTIVE_TASK_DONE), "0")
        # A held hotkey repeats under Wine, whatever the registration asks.
        h.mouse_move(*icon.center)
        h.xdotool("keydown", "ctrl+alt+j")
        time.sleep(1)
        h.xdotool("keyup", "ctrl+alt+j")
        h.key("ctrl+alt+s")
        env.click(*icon.center)
        app.choose(icon, "截窗口")
        app.choose(icon, "取色")
        h.mouse_move(*icon.center)
        h.key("F2")
        self.assertEqual(app.wait_lines(2)[1], "-tasktype screenfullscreentofile")
        time.sleep(1)  # nothing to wait for: give a wrong start the time to show
        self.assertEqual(app.log_lines(), ["-tasktype screencapture", "-tasktype screenfullscreentofile"])

        release.touch()
        h.wait_until(lambda: not app.workers_running(), what="the workers to end")
        # The launcher learns of the end from its process watcher, a moment later.
        for _ in range(5):
            env.click(*icon.center)
            try:
                app.wait_lines(3, timeout=3)
                break
            except AssertionError:
                pass
        self.assertEqual(set(app.log_lines()[2:]), {"-tasktype screencapture"})

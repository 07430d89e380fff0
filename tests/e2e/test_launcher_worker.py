"""The launcher with the real Worker.exe: from the tray menu to the toast, and the worker
it keeps waiting for the next capture."""
import os
import signal
import time
from pathlib import Path

from tests.e2e import harness as h
from tests.e2e import launcher_env as env
from tests.e2e.capture_support import COPY_ITEM, TOOLBAR_W, toolbar_item


class LauncherAndWorker(h.ScenarioTest):
    def setUp(self):
        super().setUp()
        env.write_config(standby=1)  # as users have it
        self.app = env.Launcher(self.s, worker="real")
        self.launcher, self.icon = self.app.start_and_wait_for_icon()

    def test_whole_screen_to_a_file_ends_with_its_toast(self):
        # No test picture here: it would cover Wine's tray window.
        target = self.s.dir / "screen 1.png"  # typed: xdotool types ASCII reliably
        self.app.choose(self.icon, "截整个屏幕", 0)
        h.answer_save_dialog(h.wait_save_dialog(self.s), h.winpath(target))
        self.app.wait_toast("屏幕已成功保存到文件")
        image = h.read_image(target)
        self.assertEqual((image.format, image.width, image.height), ("PNG", *h.screen_size()))

    def test_whole_screen_to_the_clipboard_by_hotkey_ends_with_its_toast(self):
        self.s.show_pattern()  # hotkeys work over any Wine window, the picture too
        self.s.clear_clipboard()
        h.mouse_move(*self.icon.center)
        h.key("F4")
        self.app.wait_toast("屏幕已成功复制到剪贴板", timeout=30)
        image = self.s.clipboard_bitmap()
        self.assertIsNotNone(image)
        self.assertEqual((image.width, image.height), h.screen_size())

    def test_whole_screen_to_a_clipboard_another_program_holds_shows_no_toast(self):
        self.s.clear_clipboard()
        ready = self.s.dir / "clipboard.ready"
        holder = self.s.start(h.TESTTOOL, "cliphold", h.winpath(ready))
        h.wait_until(ready.exists, what="the clipboard held")
        h.mouse_move(*self.icon.center)
        h.key("F4")
        h.wait_until(self.app.workers_running, what="the worker")
        h.wait_until(lambda: not self.app.workers_running(), 30, what="the worker to end")
        time.sleep(1)  # nothing to wait for: give a wrong toast the time to show
        self.assertEqual(self.app.toasts(), [])
        holder.kill()
        holder.wait()
        self.assertIsNone(self.s.clipboard_bitmap())

        h.key("F4")
        self.app.wait_toast("屏幕已成功复制到剪贴板", timeout=30)
        self.assertIsNotNone(self.s.clipboard_bitmap())

    def test_tray_click_region_copy_ends_with_its_toast(self):
        self.s.clear_clipboard()
        env.click(*self.icon.center)
        # The overlay is up once the magnifier's panel shows in the top-left corner, where
        # it goes once the pointer has left that corner.
        h.wait_until(lambda: h.screenshot().pixel(1024 - 2, 768 - 19) == (127, 127, 127),
                     what="the overlay")
        h.mouse_move(600, 500)
        h.wait_until(lambda: h.screenshot().pixel(198, 201) == (127, 127, 127),
                     what="the magnifier in the top-left corner")
        h.xdotool("mousemove", 300, 200, "mousedown", 1)
        h.xdotool("mousemove", 450, 330)
        h.xdotool("mousemove", 600, 450, "mouseup", 1)
        # The tool bar goes right-aligned below the selection.
        toolbar_left, toolbar_top = 600 - TOOLBAR_W, 450 + 5
        h.wait_until(lambda: h.screenshot().pixel(toolbar_left, toolbar_top) == (103, 138, 170),
                     what="the tool bar")
        copy = toolbar_item(toolbar_left, toolbar_top, COPY_ITEM)
        env.click(*copy)
        self.app.wait_toast("所选区域已复制到剪贴板", timeout=30)
        image = self.s.clipboard_bitmap()
        self.assertIsNotNone(image)
        self.assertEqual((image.width, image.height), (300, 250))


OVERLAY = "KESTROW_ScreenCaptureWndClass"


def gone(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return True
    # A killed Wine process stays a zombie of its starter until reaped.
    return Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()[0] == "Z"


class WaitingWorker(h.ScenarioTest):
    """The launcher keeps one worker waiting; a capture request wakes it, or starts a fresh
    worker when it is missing or does not wake in time."""

    def start(self, standby=1):
        env.write_config(standby=standby, showstartupscreen=0)
        self.app = env.Launcher(self.s, worker="real")
        self.launcher, self.icon = self.app.start_and_wait_for_icon()

    def overlays(self):
        return [w for w in self.s.windows() if w.cls == OVERLAY]

    def request_and_see_overlay(self):
        h.mouse_move(*self.icon.center)
        h.key("ctrl+alt+j")
        h.mouse_move(600, 500)
        h.wait_until(lambda: h.screenshot().pixel(198, 201) == (127, 127, 127), what="the overlay")
        overlays = [w for w in self.overlays() if w.visible]
        self.assertEqual(len(overlays), 1, "one request, one overlay")

    def end_capture(self, pid):
        h.key("Escape")
        h.wait_until(lambda: gone(pid), what="the capture to end")

    def test_a_request_wakes_the_waiting_worker_and_another_one_waits_after_it(self):
        self.start()
        waiting = h.wait_until(self.app.standby, what="a waiting worker")
        self.assertEqual(self.overlays(), [], "it waits without a window")
        self.request_and_see_overlay()
        self.assertEqual(self.app.workers_running(), [], f"no fresh worker was started: {self.app.workers()}")
        following = h.wait_until(lambda: self.app.standby(besides=waiting), what="the next waiting worker")
        self.end_capture(waiting)
        self.assertFalse(gone(following))

    def test_without_a_usable_waiting_worker_a_fresh_one_serves(self):
        for case in ("killed", "frozen"):
            with self.subTest(case):
                if case == "killed":
                    self.start()
                waiting = h.wait_until(self.app.standby, what="a waiting worker")
                # Frozen, it took the request and never shows it: it is ended at the deadline.
                os.kill(waiting, signal.SIGKILL if case == "killed" else signal.SIGSTOP)
                self.request_and_see_overlay()
                fresh = self.app.workers_running()
                self.assertEqual(len(fresh), 1)
                self.assertIn("-tasktype screencapture", self.app.workers()[fresh[0]])
                h.wait_until(lambda: gone(waiting), what="the waiting worker to be gone")
                self.end_capture(fresh[0])

    def test_turned_off_no_worker_waits(self):
        self.start(standby=0)
        self.request_and_see_overlay()
        self.assertEqual([line for line in self.app.workers().values() if "-standby" in line], [])
        self.end_capture(self.app.workers_running()[0])

    def test_the_waiting_worker_ends_with_its_launcher(self):
        for case in ("exit", "killed"):
            with self.subTest(case):
                self.start()
                waiting = h.wait_until(self.app.standby, what="a waiting worker")
                if case == "exit":
                    self.app.choose(self.icon, "退出")
                    # Before the launcher's own end, 5 s after the icon has gone.
                    h.wait_until(lambda: gone(waiting), 4, what="the waiting worker to end")
                    self.assertIsNone(self.launcher.poll())
                else:
                    self.launcher.kill()
                    h.wait_until(lambda: gone(waiting), what="the waiting worker to end")
                self.launcher.wait(timeout=15)

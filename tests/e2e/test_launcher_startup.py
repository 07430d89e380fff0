"""Start-up and shutdown of the launcher: one instance, a main window nobody sees,
and the exit from the tray menu."""
import time

from tests.e2e import harness as h
from tests.e2e import launcher_env as env


class StartAndExit(h.ScenarioTest):
    def setUp(self):
        super().setUp()
        env.clear_config()
        self.app = env.Launcher(self.s)

    def visible_main_window(self):
        return any(w.visible and w.text == "Snaptrel" for w in self.s.windows())

    def test_main_dialog_never_shows(self):
        self.app.start()
        seen = False
        icon = None
        deadline = time.monotonic() + 20
        while not icon and time.monotonic() < deadline:
            seen = seen or self.visible_main_window()
            icon = self.app.icon()
        self.assertTrue(icon, "no tray icon")
        self.assertFalse(seen or self.visible_main_window(), "the main dialog was shown")
        # The hidden dialog exists all the same: the dialog class with the caption.
        windows = self.s.windows()
        self.assertFalse(any(w.cls == "#32770" and w.text == "Snaptrel" for w in windows if w.visible))

    def test_second_instance_exits_at_once_and_leaves_the_first(self):
        first, icon = self.app.start_and_wait_for_icon()
        start = time.monotonic()
        self.assertEqual(self.app.start().wait(30), 1)
        self.assertLess(time.monotonic() - start, 4, "the second start waited before leaving")
        self.assertIsNone(first.poll())
        self.assertTrue(self.app.receiver_ready())
        env.click(*icon.center)
        self.assertEqual(self.app.wait_lines(1), ["-tasktype screencapture"])
        self.assertEqual(len([w for w in self.s.windows() if w.cls == "__winex11_standalone_tray"
                              for c in w.children if c.cls == "__winex11_tray_icon" and c.visible]), 1)

    def test_exit_removes_the_icon_and_ends_with_code_1_five_seconds_later(self):
        proc, icon = self.app.start_and_wait_for_icon()
        self.app.choose(icon, "退出")
        h.wait_until(lambda: not self.app.icon(), 10, what="the tray icon to go")
        gone = time.monotonic()
        self.assertEqual(self.app.send(1526, "int", 0), "nowindow")  # the receiver went with it
        code = proc.wait(30)
        waited = time.monotonic() - gone
        self.assertEqual(code, 1)
        self.assertGreater(waited, 3.5)
        self.assertLess(waited, 9)
        # The single-instance event went with the loop: a new launcher starts again.
        again, _ = self.app.start_and_wait_for_icon()
        self.assertIsNone(again.poll())


WM_COMMAND = 0x111
ID_TRAY_EXIT = 32783
WM_TRAY_NOTIFY = 1124
WM_STARTUP_DONE = 1130
WM_HOTKEYS_CHANGED = 1129
WM_NEW_VERSION = 1127
WM_UPDATE_BALLOON_NOTIFY = 1128
NIN_BALLOONHIDE = 1027
NIN_BALLOONTIMEOUT = 1028
NIN_BALLOONUSERCLICK = 1029


class MainWindowMessages(h.ScenarioTest):
    """Messages that other parts of the launcher send its main window, sent from outside."""

    def start(self):
        self.app = env.Launcher(self.s)
        self.proc, self.icon = self.app.start_and_wait_for_icon()

    def test_exit_command_from_outside_ends_like_the_menu(self):
        # What the installer posts to end a running launcher before it replaces files.
        env.clear_config()
        self.start()
        self.app.send_main(WM_COMMAND, ID_TRAY_EXIT)
        h.wait_until(lambda: not self.app.icon(), 10, what="the tray icon to go")
        self.assertEqual(self.proc.wait(30), 1)

    def test_changed_hotkeys_are_registered_again_from_the_file(self):
        env.clear_config()
        self.addCleanup(env.clear_config)
        self.start()
        h.mouse_move(*self.icon.center)
        h.key("ctrl+alt+j")
        self.assertEqual(self.app.wait_lines(1), ["-tasktype screencapture"])
        # One interactive capture at a time: let the stand-in's end be seen.
        h.wait_until(lambda: not self.app.workers_running(), what="the worker to end")
        # The settings dialog stores new hotkeys, then tells the main window.
        env.write_config(hk_screencapture=0, hk_colorcapture=(6 << 16) | ord("J"))
        self.assertEqual(self.app.send_main(WM_HOTKEYS_CHANGED), "1")
        h.key("ctrl+alt+j")
        self.assertEqual(self.app.wait_lines(2), ["-tasktype screencapture", "-tasktype colorcapture"])

    def test_update_balloon_icon_comes_and_goes(self):
        env.clear_config()
        self.start()
        for event in (NIN_BALLOONTIMEOUT, NIN_BALLOONHIDE, NIN_BALLOONUSERCLICK):
            with self.subTest(event=event):
                self.assertEqual(self.app.send_main(WM_NEW_VERSION), "1")
                h.wait_until(lambda: len(self.app.icons()) == 2, 10, what="the update icon")
                # With no download address a click only removes the icon.
                self.assertEqual(self.app.send_main(WM_UPDATE_BALLOON_NOTIFY, 0, event), "1")
                h.wait_until(lambda: len(self.app.icons()) == 1, 10, what="the update icon to go")
        self.assertIsNone(self.proc.poll())

    def test_clicking_the_first_run_balloon_turns_it_off_for_good(self):
        env.clear_config()
        self.addCleanup(env.clear_config)
        self.start()
        # Wine's tray window shows no balloons; the click arrives as the shell sends it.
        self.assertEqual(self.app.send_main(WM_STARTUP_DONE), "1")
        self.assertNotIn("showballon", env.config_file().read_text())
        self.assertEqual(self.app.send_main(WM_TRAY_NOTIFY, 0, NIN_BALLOONUSERCLICK), "1")
        self.assertIn("showballon=0", env.config_file().read_text())
        self.assertEqual(self.app.log_lines(), [])  # a balloon click starts nothing

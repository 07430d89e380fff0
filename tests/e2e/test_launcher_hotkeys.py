"""The four global hotkeys, pressed for real, start their tasks."""
import time

from tests.e2e import harness as h
from tests.e2e import launcher_env as env


class Hotkeys(h.ScenarioTest):
    def start(self, **config):
        if config:
            env.write_config(**config)
            self.addCleanup(env.clear_config)
        else:
            env.clear_config()
        self.app = env.Launcher(self.s)
        _, icon = self.app.start_and_wait_for_icon()
        # Keys reach Wine only while the pointer is over one of its windows.
        h.mouse_move(*icon.center)

    def test_default_hotkeys_start_their_tasks(self):
        self.start()
        expected = []
        for keys, task in (("ctrl+alt+j", "-tasktype screencapture"),
                           ("F2", "-tasktype screenfullscreentofile"),
                           ("F4", "-tasktype screenfullscreentoclipboard"),
                           ("ctrl+alt+s", "-tasktype colorcapture")):
            with self.subTest(keys=keys):
                # One interactive capture at a time: let the last stand-in's end be seen.
                h.wait_until(lambda: not self.app.workers_running(), what="the last worker to end")
                h.key(keys)
                expected.append(task)
                self.assertEqual(self.app.wait_lines(len(expected)), expected)
        # F4's worker is watched: its end brings the clipboard toast.
        h.wait_until(lambda: any(t["title"] == "屏幕已成功复制到剪贴板" for t in self.app.toasts()), 10,
                     what="the whole-screen-to-clipboard toast")

    def test_stored_hotkeys_empty_and_extended(self):
        # Ctrl+Alt+J off; the colour picker on Ctrl+Alt+J with the extended-key flag.
        self.start(hk_screencapture=0, hk_colorcapture=(0x0E << 16) | ord("J"), hk_screencapture_file=0,
                   hk_screencapture_clipboard=0)
        h.key("ctrl+alt+j")
        self.assertEqual(self.app.wait_lines(1), ["-tasktype colorcapture"])
        h.key("F2", "F4")
        time.sleep(1)  # nothing to wait for: give a wrong start the time to show
        self.assertEqual(self.app.log_lines(), ["-tasktype colorcapture"])

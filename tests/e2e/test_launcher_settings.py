"""The settings dialog from the tray, the start-up splash and the balloons after it."""
import time

from tests.e2e import harness as h
from tests.e2e import launcher_env as env

CAPTION = "Lumetto截屏取图-设置"
FIRST_RUN = "Lumetto截屏取图|要截屏请点击此图标，\r\n点击汽泡可以屏蔽此通知!"
MOD_ALT, MOD_CONTROL = 1, 2


def stored(mods, key):
    """A hotkey as the settings file stores it (hotkey-control modifier flags)."""
    return (mods << 16) | key


def config_values():
    lines = env.config_file().read_text().splitlines()
    return dict(line.split("=", 1) for line in lines if "=" in line)


class SettingsDialog(h.ScenarioTest):
    def setUp(self):
        super().setUp()
        env.write_config(showstartupscreen=0)
        self.addCleanup(env.clear_config)
        self.app = env.Launcher(self.s)
        self.proc, self.icon = self.app.start_and_wait_for_icon()

    def dialogs(self):
        return [w for w in self.s.windows() if w.cls == "#32770" and w.text == CAPTION]

    def open(self):
        self.app.choose(self.icon, "设置...")
        return h.wait_until(lambda: next(iter(self.dialogs()), None), 10, what="the settings dialog")

    def visible_child(self, cls, id):
        dialog = next(iter(self.dialogs()), None)
        return dialog and next((c for c in dialog.children if c.cls == cls and c.id == id and c.visible), None)

    def show_page(self, dialog, key):
        """Picks a tab as a user does with the keyboard: a click on the first tab gives the
        tab control the focus, an arrow key moves to the neighbour."""
        tabs = dialog.child(cls="SysTabControl32")
        env.click(tabs.left + 15, tabs.top + 10)
        h.key(key)

    def type_hotkey(self, id, keys):
        control = h.wait_until(lambda: self.visible_child("msctls_hotkey32", id), 10, what=f"hotkey control {id}")
        env.click(*control.center)
        h.key(keys)

    def press_ok(self, dialog):
        env.click(*dialog.child(cls="Button", id=1).center)
        h.wait_until(lambda: not self.dialogs(), 10, what="the dialog to close")

    def test_a_new_hotkey_starts_its_task_at_once_and_typed_values_survive_tab_changes(self):
        dialog = self.open()
        # A second choice brings the open dialog forward instead of stacking another.
        self.app.choose(self.icon, "设置...")
        time.sleep(0.5)  # nothing to wait for: give a second dialog the time to show
        self.assertEqual(len(self.dialogs()), 1)

        env.click(*self.visible_child("Button", 1004).center)  # 自动打开截屏后的文件
        self.show_page(dialog, "Right")
        self.type_hotkey(1002, "ctrl+shift+k")
        self.show_page(dialog, "Left")
        h.wait_until(lambda: self.visible_child("Button", 1007), 10, what="the general page")
        self.press_ok(dialog)

        values = config_values()
        self.assertEqual(values["auto_open_screencapture"], "1")
        self.assertEqual(values["hk_screencapture"], str(stored(MOD_CONTROL | 1, ord("K"))))
        h.mouse_move(*self.icon.center)
        h.key("ctrl+shift+k")
        self.assertEqual(self.app.wait_lines(1), ["-tasktype screencapture"])
        h.key("ctrl+alt+j")
        time.sleep(1)  # nothing to wait for: give a wrong start the time to show
        self.assertEqual(self.app.log_lines(), ["-tasktype screencapture"])

    def test_a_cleared_hotkey_is_stored_as_0_and_no_longer_registered(self):
        dialog = self.open()
        self.show_page(dialog, "Right")
        self.type_hotkey(1004, "BackSpace")
        self.press_ok(dialog)
        self.assertEqual(config_values()["hk_screencapture_clipboard"], "0")
        h.mouse_move(*self.icon.center)
        h.key("F4", "F2")
        self.assertEqual(self.app.wait_lines(1), ["-tasktype screenfullscreentofile"])
        time.sleep(1)  # nothing to wait for: give a wrong start the time to show
        self.assertEqual(self.app.log_lines(), ["-tasktype screenfullscreentofile"])


class Splash(h.ScenarioTest):
    def watch_splash(self, seconds):
        """Starts following the splash window; returns a function giving its changes
        as (ms since first seen, visible, (l, t, r, b)) once the watch has ended."""
        out = self.s.dir / "splash.txt"
        proc = self.s.start(env.PROBE, "watch", "StartupWndClass", seconds, h.winpath(out))

        def changes():
            self.assertEqual(proc.wait(seconds + 30), 0)
            rows = [line.split() for line in out.read_text().splitlines()]
            return [(int(r[0]), r[1] == "1", tuple(int(v) for v in r[2:6])) for r in rows]
        return changes

    def test_held_three_seconds_in_the_middle_then_flies_to_the_corner_and_the_balloon_follows(self):
        env.clear_config()
        changes = self.watch_splash(30)
        app = env.Launcher(self.s)
        app.start()
        steps = changes()
        width, height = h.screen_size()
        left, top = (width - 450) // 2, (height - 300) // 2
        self.assertEqual(steps[0][1:], (True, (left, top, left + 450, top + 300)))
        moved_at, _, first_move = steps[1]
        moved_at -= steps[0][0]
        self.assertGreater(moved_at, 2700)
        self.assertLess(moved_at, 4500)
        self.assertGreater(first_move[0], left)
        self.assertGreater(first_move[1], top)
        # Every step goes right and down, and the last one hides the window.
        for (_, _, a), (_, _, b) in zip(steps[1:], steps[2:]):
            self.assertGreaterEqual(b[0], a[0])
            self.assertGreaterEqual(b[1], a[1])
        self.assertFalse(steps[-1][1])
        self.assertLess(steps[-1][0] - steps[1][0], 2000)
        # WM_STARTUP_DONE reached the main window: the first-run balloon follows, once.
        h.wait_until(lambda: app.balloons(), 10, what="the first-run balloon")
        self.assertEqual(app.balloons(), [FIRST_RUN])

    def test_switched_off_there_is_neither_splash_nor_balloon(self):
        env.write_config(showstartupscreen=0)
        self.addCleanup(env.clear_config)
        changes = self.watch_splash(6)
        app = env.Launcher(self.s)
        app.start_and_wait_for_icon()
        self.assertEqual(changes(), [])  # six seconds without a splash window
        self.assertEqual(app.balloons(), [])


class TakenHotkeysAtStart(h.ScenarioTest):
    def start(self, **config):
        """Starts the launcher while another program holds Ctrl+Alt+S and with F2 stored
        twice: the file hotkey gets it, the clipboard hotkey cannot."""
        ready = self.s.dir / "held.txt"
        self.s.start(env.PROBE, "hold", MOD_CONTROL | MOD_ALT, ord("S"), h.winpath(ready))
        h.wait_until(ready.exists, 10, what="another program holding Ctrl+Alt+S")
        env.write_config(hk_screencapture_clipboard=113, **config)
        self.addCleanup(env.clear_config)
        self.app = env.Launcher(self.s)
        self.app.start_and_wait_for_icon()

    def assert_names_the_taken_hotkeys(self, text):
        self.assertIn("“截取整个屏幕到剪贴板快捷键”（F2）与“截取整个屏幕到文件快捷键”相同", text)
        self.assertIn("“开始取色快捷键”（", text)
        self.assertIn("+ S）已被其他程序占用", text)
        self.assertNotIn("开始截屏快捷键", text)

    def test_without_splash_one_balloon_at_once(self):
        self.start(showstartupscreen=0)
        balloons = h.wait_until(self.app.balloons, 10, what="the balloon")
        self.assertEqual(len(balloons), 1)
        self.assert_names_the_taken_hotkeys(balloons[0])

    def test_with_splash_the_report_takes_the_first_run_balloons_place(self):
        self.start()
        balloons = h.wait_until(self.app.balloons, 15, what="the balloon after the splash")
        self.assertEqual(len(balloons), 1)
        self.assert_names_the_taken_hotkeys(balloons[0])

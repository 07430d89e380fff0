"""The colour picker over a known screen: magnifier box, arrow keys, Enter and Esc."""
import subprocess

from tests.e2e import harness as h

PANEL = (127, 127, 127)
RED = (255, 0, 0)


class ColorPicker(h.ScenarioTest):
    def start_picker(self, x, y, silent_launcher=False):
        self.s.show_pattern()
        self.s.clear_clipboard()
        self.receiver = self.s.receiver(hang=silent_launcher)
        h.mouse_move(x, y)
        self.worker = self.s.worker("-tasktype", "colorcapture")
        picker = self.s.wait_window("KESTROW_ColorCaptureWndClass")
        self.assertEqual(picker.text, "截屏工具")
        w, hgt = h.screen_size()
        self.assertEqual((picker.left, picker.top, picker.right, picker.bottom), (0, 0, w, hgt))
        return picker

    def wait_box(self, left, top):
        """The screen once the box's panel is painted at (left, top)."""
        def painted():
            shot = h.screenshot()
            return shot if shot.pixel(left + 2, top + 202) == PANEL else None
        return h.wait_until(painted, what=f"the magnifier box at {left},{top}")

    def test_box_zoom_swatch_and_crosshair(self):
        self.start_picker(500, 400)
        shot = self.wait_box(0, 0)
        # 4x zoom of the 50 x 50 pixels around the cursor, with a red cross in the middle.
        for i, j in ((5, 5), (44, 3), (3, 44), (30, 30)):
            self.assertEqual(shot.pixel(4 * i + 1, 4 * j + 1), h.pattern_pixel(475 + i, 375 + j))
        self.assertEqual(shot.pixel(4 * 20 + 1, 4 * 25 + 1), RED)
        self.assertEqual(shot.pixel(4 * 25 + 1, 4 * 14 + 1), RED)
        self.assertEqual(shot.pixel(4 * 25 + 1, 4 * 25 + 1), h.pattern_pixel(500, 400), "centre")
        self.assertEqual(shot.pixel(4 * 37 + 1, 4 * 25 + 1), h.pattern_pixel(512, 400),
                         "the cross ends before pixel 37")
        self.assertEqual(shot.pixel(10, 210), h.pattern_pixel(500, 400), "swatch")
        # Outside the box the frozen screen shows as it was.
        self.assertEqual(shot.pixel(700, 500), h.pattern_pixel(700, 500))

    def test_box_moves_to_the_far_corner_while_the_cursor_is_near(self):
        self.start_picker(10, 10)
        w, hgt = h.screen_size()
        shot = self.wait_box(w - 200, hgt - 270)
        self.assertEqual(shot.pixel(2, 202), h.pattern_pixel(2, 202), "nothing top-left")
        h.mouse_move(200, 10)
        self.wait_box(0, 0)

    def test_arrow_keys_nudge_and_enter_copies_the_colour(self):
        self.start_picker(300, 200)
        self.wait_box(0, 0)
        h.key("Right", "Right", "Down", "Left", "Left", "Left")
        h.wait_until(lambda: h.mouse_location() == (299, 201), what="the cursor nudged")
        h.key("Return")
        self.assertEqual(self.worker.wait(30), 0)
        r, g, b = h.pattern_pixel(299, 201)
        self.assertEqual(self.s.clipboard_text(),
                         f"RGB: {r}, {g}, {b}\r\nHex: #{r:02X}{g:02X}{b:02X}")
        records = self.receiver.records()
        self.assertEqual([(x.code, x.size, x.number) for x in records], [(1527, 4, 0)])

    def test_a_silent_launcher_sees_no_picker_and_does_not_keep_it_alive(self):
        self.start_picker(300, 200, silent_launcher=True)
        self.wait_box(0, 0)
        h.key("Return")
        h.wait_until(self.receiver.records, what="the result sent")
        self.assertNotIn("KESTROW_ColorCaptureWndClass", self.receiver.shown()[0],
                         "the picker still on screen while the launcher was told")
        try:
            code = self.worker.wait(h.SILENT_LAUNCHER_LIMIT)
        except subprocess.TimeoutExpired:
            self.fail(f"the worker still waits on the launcher after {h.SILENT_LAUNCHER_LIMIT} s")
        self.assertEqual(code, 0)
        self.assertEqual([(x.code, x.number) for x in self.receiver.records()], [(1527, 0)])

    def test_escape_ends_without_copying(self):
        self.start_picker(300, 200)
        self.wait_box(0, 0)
        h.key("Escape")
        self.assertEqual(self.worker.wait(30), 0)
        self.assertIsNone(self.s.clipboard_text())
        self.assertEqual(self.receiver.records(), [])

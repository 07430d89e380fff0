"""Capturing on a desktop of three monitors: a primary 1920 x 1080 at (0,0), a
1280 x 1024 monitor to its left and a 1024 x 768 one above it (Xorg with the dummy
driver, tests/e2e/multimonitor/xorg.conf). The virtual screen starts at (-1280,-768),
so Windows coordinates are X root coordinates minus (1280, 768). The known pattern
covers the whole virtual screen, counted from its corner: the pixel at X root (x, y)
is pattern(x, y). Mouse, keys and screenshots work in X root coordinates."""
import os
import unittest

from tests.e2e import harness as h
from tests.e2e.capture_support import COPY_ITEM, RECT_ITEM, TOOLBAR_W, toolbar_item

OX, OY = 1280, 768                                        # X root = Windows + (OX, OY)
LEFT = (-1280, 0, 0, 1024)                                # Windows coordinates
TOP = (0, -768, 1024, 0)
PRIMARY = (0, 0, 1920, 1080)
BORDER = (103, 138, 170)     # the tool bar's and the pane's outline
FRAME = (0, 122, 236)        # the tracked window's frame
STRIP = (127, 127, 127)      # the magnifier's text strip
TOOLBAR = "KESTROW_ToolbarWndClass"
pattern = h.pattern_pixel


def x_root(x, y):
    return x + OX, y + OY


def inside(rect, outer):
    return outer[0] <= rect[0] and outer[1] <= rect[1] and rect[2] <= outer[2] and rect[3] <= outer[3]


COPY, RECT_TOOL = COPY_ITEM, RECT_ITEM


class Monitors(h.ScenarioTest):
    dpi = None

    @classmethod
    def setUpClass(cls):
        cls.display = h.MonitorDisplay(dpi=cls.dpi).start()

    @classmethod
    def tearDownClass(cls):
        cls.display.stop()

    def setUp(self):
        super().setUp()
        ready = self.s.dir / "pattern.ready"
        self.s.start(h.TESTTOOL, "pattern", h.winpath(ready), "all")
        h.wait_until(ready.exists, what="the test pattern on every monitor")
        self.receiver = self.s.receiver()
        self.s.clear_clipboard()

    def screen_when(self, check, what):
        return h.screen_when(check, what)

    def start_capture(self, *extra, mouse, box, strip=201):
        """Starts the region capture with the pointer at X root `mouse`; waits for the
        magnifier's strip, `strip` below the box's corner at X root `box`."""
        h.mouse_move(*mouse)
        worker = self.s.worker("-tasktype", "screencapture", *extra)
        self.screen_when(lambda s: s.pixel(box[0] + 2, box[1] + strip) == STRIP, f"the magnifier at {box}")
        return worker

    def drag(self, x0, y0, x1, y1):
        h.xdotool("mousemove", x0, y0, "mousedown", 1)
        h.xdotool("mousemove", (x0 + x1) // 2, (y0 + y1) // 2)
        h.xdotool("mousemove", x1, y1, "mouseup", 1)

    def toolbar(self):
        """The tool bar's rectangle in Windows coordinates once it is shown."""
        def shown():
            w = self.s.find_window(TOOLBAR)
            return w if w and w.visible else None
        w = h.wait_until(shown, what="the tool bar")
        return (w.left, w.top, w.right, w.bottom)

    def copy_with_toolbar(self, worker, bar, scale=1.0):
        left, top = x_root(bar[0], bar[1])
        self.screen_when(lambda s: s.pixel(left, top) == BORDER, "the tool bar painted")
        h.xdotool("mousemove", *toolbar_item(left, top, COPY, scale), "click", 1)
        self.assertEqual(worker.wait(timeout=30), 0)
        self.assertEqual([r.code for r in self.receiver.records()], [1526])
        return self.s.clipboard_bitmap()

    def assert_pattern(self, image, left, top, width, height):
        """`image` is the pattern of the X root rectangle at (left, top)."""
        self.assertIsNotNone(image, "no bitmap on the clipboard")
        self.assertEqual((image.width, image.height), (width, height))
        diff = h.first_difference(image, h.pattern_rgb(left, top, width, height))
        self.assertIsNone(diff, f"first differing pixel: {diff}")


class ThreeMonitors(Monitors):
    def test_region_on_the_left_monitor_copies_its_pixels(self):
        worker = self.start_capture(mouse=(600, 1300), box=(0, 768))
        self.drag(280, 968, 480, 1118)    # Windows (-1000,200)-(-800,350)
        bar = self.toolbar()
        self.assertTrue(inside(bar, LEFT), bar)
        self.assertEqual((bar[0], bar[1]), (-800 - TOOLBAR_W, 355))
        self.assert_pattern(self.copy_with_toolbar(worker, bar), 280, 968, 200, 150)

    def test_region_on_the_top_monitor_copies_its_pixels(self):
        worker = self.start_capture(mouse=(2000, 500), box=(1280, 0))
        self.drag(1380, 168, 1680, 368)   # Windows (100,-600)-(400,-400)
        bar = self.toolbar()
        self.assertTrue(inside(bar, TOP), bar)
        self.assert_pattern(self.copy_with_toolbar(worker, bar), 1380, 168, 300, 200)

    def test_selection_across_two_monitors_copies_both_parts(self):
        worker = self.start_capture(mouse=(2400, 1500), box=(1280, 768))
        self.drag(1180, 1068, 1380, 1168)  # Windows (-100,300)-(100,400): left and primary
        bar = self.toolbar()
        self.assert_pattern(self.copy_with_toolbar(worker, bar), 1180, 1068, 200, 100)

    def test_toolbar_and_pane_stay_on_the_selections_monitor(self):
        # Low on the left monitor and against its right edge: no room below it there
        # (though the virtual screen goes on).
        worker = self.start_capture(mouse=(600, 1300), box=(0, 768))
        self.drag(1000, 1668, 1270, 1778)  # Windows (-280,900)-(-10,1010)
        bar = self.toolbar()
        self.assertEqual(bar, (-10 - TOOLBAR_W, 900 - 31, -10, 900 - 31 + 27))
        left, top = x_root(bar[0], bar[1])
        self.screen_when(lambda s: s.pixel(left, top) == BORDER, "the tool bar painted")
        h.xdotool("mousemove", *toolbar_item(left, top, RECT_TOOL), "click", 1)
        pane = h.wait_until(lambda: next((w for w in self.s.windows() if w.cls == "#32770" and w.visible
                                          and w.child(id=1001)), None), what="the colour pane")
        self.assertEqual((pane.left, pane.top, pane.right, pane.bottom),
                         (bar[0], bar[1] - 44, bar[0] + 264, bar[1] - 44 + 39))
        h.xdotool("mousemove", 600, 1300)
        h.key("Escape")
        self.assertEqual(worker.wait(timeout=20), 0)

    def test_window_tracking_frames_and_copies_a_window_on_the_left_monitor(self):
        ready = self.s.dir / "dialog.ready"
        self.s.start(h.TESTTOOL, "dialog", h.winpath(ready), -1000, 300)
        h.wait_until(ready.exists, what="the dialog")
        # The button: Windows (-940,380)-(-820,420), X root (340,1148)-(460,1188).
        before = self.screen_when(lambda s: s.pixel(341, 1149) != pattern(341, 1149), "the dialog painted")
        worker = self.start_capture("-trackwindow", "true", mouse=(600, 1500), box=(0, 768))
        h.xdotool("mousemove", 400, 1170)
        s = self.screen_when(lambda s: s.pixel(337, 1160) == FRAME, "the button framed")
        self.assertEqual(s.pixel(460, 1160), FRAME)
        self.assertEqual(s.pixel(380, 1145), FRAME)
        self.assertEqual(s.pixel(380, 1188), FRAME)
        h.xdotool("click", 1)
        bar = self.toolbar()
        self.assertTrue(inside(bar, LEFT), bar)
        clip = self.copy_with_toolbar(worker, bar)
        self.assertEqual((clip.width, clip.height), (120, 40))
        for y in range(0, 40, 3):
            for x in range(0, 120, 3):
                self.assertEqual(clip.pixel(x, y), before.pixel(340 + x, 1148 + y), (x, y))

    def test_colour_picker_reads_a_pixel_on_the_left_monitor(self):
        h.mouse_move(300, 1100)  # Windows (-980,332)
        worker = self.s.worker("-tasktype", "colorcapture")
        picker = self.s.wait_window("KESTROW_ColorCaptureWndClass")
        self.assertEqual((picker.left, picker.top, picker.right, picker.bottom), (-1280, -768, 1920, 1080))
        # The box at the left monitor's top-left corner, clear of the pointer.
        self.screen_when(lambda s: s.pixel(2, 768 + 202) == STRIP, "the picker's box on the left monitor")
        h.key("Right", "Down")
        h.wait_until(lambda: h.mouse_location() == (301, 1101), what="the cursor nudged")
        h.key("Return")
        self.assertEqual(worker.wait(30), 0)
        r, g, b = pattern(301, 1101)
        self.assertEqual(self.s.clipboard_text(), f"RGB: {r}, {g}, {b}\r\nHex: #{r:02X}{g:02X}{b:02X}")

    def test_whole_screen_to_clipboard_is_the_primary_monitor(self):
        self.assertEqual(self.s.worker("-tasktype", "screenfullscreentoclipboard").wait(60), 0)
        self.assert_pattern(self.s.clipboard_bitmap(), OX, OY, 1920, 1080)


class ScaledMonitors(Monitors):
    """The same desktop at 144 DPI (the prefix's LogPixels): the overlay's furniture is
    half as large again, the captured pixels are not scaled."""
    dpi = 144

    def test_toolbar_and_magnifier_scale_and_the_copy_stays_pixel_exact(self):
        worker = self.start_capture(mouse=(2400, 1500), box=(1280, 768), strip=301)
        # A 300 x 330 box: 300 of zoom over a 30 pixels high strip.
        s = self.screen_when(lambda s: s.pixel(1280 + 2, 768 + 301) == STRIP, "the scaled magnifier")
        self.assertEqual(s.pixel(1280 + 298, 768 + 329), STRIP)
        self.assertNotEqual(s.pixel(1280 + 2, 768 + 299), STRIP)
        self.drag(1500, 1200, 1800, 1400)  # Windows (220,432)-(520,632)
        bar = self.toolbar()
        # 596 wide: it starts at the primary monitor's left edge, right of the selection's.
        self.assertEqual(bar, (0, 632 + 8, 596, 632 + 8 + 41))
        # The pane under the tool bar, 396 x 59 after a gap of 8, its swatches 21 pixels wide.
        left, top = x_root(bar[0], bar[1])
        self.screen_when(lambda s: s.pixel(left, top) == BORDER, "the tool bar painted")
        h.xdotool("mousemove", *toolbar_item(left, top, RECT_TOOL, 1.5), "click", 1)
        pane = h.wait_until(lambda: next((w for w in self.s.windows() if w.cls == "#32770" and w.visible
                                          and w.child(id=1001)), None), what="the colour pane")
        self.assertEqual((pane.left, pane.top, pane.right, pane.bottom), (bar[0], bar[3] + 8, bar[0] + 396, bar[3] + 8 + 59))
        px, py = x_root(pane.left, pane.top)
        s = self.screen_when(lambda s: s.pixel(px + 395, py + 58) == BORDER, "the scaled pane painted")
        self.assertEqual(s.pixel(px + 180 + 5 + 10, py + 27 + 5 + 10), (255, 255, 255))  # the first lower swatch
        self.assertEqual(s.pixel(px + 180 + 5 + 1, py + 27 + 5 + 10), (0, 0, 0))  # its outline
        self.assert_pattern(self.copy_with_toolbar(worker, bar, scale=1.5), 1500, 1200, 300, 200)


if __name__ == "__main__":
    unittest.main()

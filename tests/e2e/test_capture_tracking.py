"""Region capture with "-trackwindow true": the window under the pointer is framed
and a click selects it."""
import os
import unittest

from tests.e2e import harness as h
from tests.e2e.capture_support import (COPY_ITEM, SCREEN_H, SCREEN_W, TESTTOOL, TOOLBAR_W, CaptureCase, pattern,
                                       toolbar_item, wait_for, winpath, xdo)

FRAME = (0, 122, 236)
BORDER = (103, 138, 170)


class WindowTracking(CaptureCase):
    def test_button_inside_a_window_is_framed_and_selected_by_a_click(self):
        ready = os.path.join(self.tmp, "dialog.ready")
        self.start(TESTTOOL, "dialog", winpath(ready))
        wait_for(lambda: os.path.exists(ready), what="the dialog")
        before = self.screen_when(lambda s: s.pixel(201, 151) != pattern(201, 151), "the dialog painted")
        worker = self.start_capture("-trackwindow", "true", mouse=(700, 600))
        xdo("mousemove", 300, 250)  # over the button at (260, 230, 380, 270)
        # (The red crosshair runs through x = 300 and y = 250.)
        s = self.screen_when(lambda s: s.pixel(257, 240) == FRAME, "the button framed")
        self.assertEqual(s.pixel(380, 240), FRAME)
        self.assertEqual(s.pixel(320, 227), FRAME)
        self.assertEqual(s.pixel(320, 270), FRAME)
        self.assertEqual(s.pixel(197, 300), pattern(197, 300))  # the window itself is not framed
        self.assertEqual(s.pixel(320, 240), before.pixel(320, 240))
        xdo("click", 1)
        bar = max(0, 380 - TOOLBAR_W)  # right-aligned under the button, held on the screen
        s = self.screen_when(lambda s: s.pixel(bar, 275) == BORDER, "the tool bar under the button")
        self.assertEqual(s.pixel(300, 250), before.pixel(300, 250))
        self.assertNotEqual(s.pixel(700, 600), pattern(700, 600))  # dimmed outside
        xdo("mousemove", *toolbar_item(bar, 275, COPY_ITEM), "click", 1)
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [(1526, 0, 0)])
        clip = self.clipboard()
        self.assertEqual((clip.width, clip.height), (120, 40))
        for y in range(0, 40, 3):
            for x in range(0, 120, 3):
                self.assertEqual(clip.pixel(x, y), before.pixel(260 + x, 230 + y), (x, y))

    def test_full_screen_window_frame_stays_on_screen_and_click_takes_the_whole_screen(self):
        worker = self.start_capture("-trackwindow", "true", mouse=(700, 600))
        xdo("mousemove", 702, 602)
        s = self.screen_when(lambda s: s.pixel(0, 400) == FRAME, "the frame")
        self.assertEqual(s.pixel(SCREEN_W - 2, 400), FRAME)
        self.assertEqual(s.pixel(500, 0), FRAME)
        self.assertEqual(s.pixel(500, SCREEN_H - 2), FRAME)
        self.assertEqual(s.pixel(500, 400), pattern(500, 400))
        xdo("click", 1)
        # No room below or above: the tool bar goes inside the top edge, at the right.
        self.screen_when(lambda s: s.pixel(SCREEN_W - TOOLBAR_W, 5) == BORDER, "the tool bar")
        xdo("mousemove", *toolbar_item(SCREEN_W - TOOLBAR_W, 5, COPY_ITEM), "click", 1)
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assert_region_is_pattern(self.clipboard(), 0, 0, SCREEN_W, SCREEN_H)

    def test_double_click_on_a_tracked_window_copies_it(self):
        worker = self.start_capture("-trackwindow", "true", mouse=(700, 600))
        xdo("mousemove", 702, 602)
        self.screen_when(lambda s: s.pixel(0, 400) == FRAME, "the frame")
        xdo("click", "--repeat", 2, "--delay", 80, 1)
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [(1526, 0, 0)])
        self.assert_region_is_pattern(self.clipboard(), 0, 0, SCREEN_W, SCREEN_H)

    def test_without_tracking_a_click_selects_nothing(self):
        worker = self.start_capture(mouse=(700, 600))
        xdo("click", 1)
        xdo("mousemove", 650, 550)
        s = h.screenshot()
        self.assertEqual(s.pixel(0, 400), pattern(0, 400))
        self.assertEqual(s.pixel(SCREEN_W - TOOLBAR_W, 5), pattern(SCREEN_W - TOOLBAR_W, 5))
        xdo("key", "Escape")
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [])


if __name__ == "__main__":
    unittest.main()

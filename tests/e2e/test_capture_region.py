"""Region capture end to end: from the pattern on screen, drag, move, resize, dim,
copy, save, warn, reset and close with the real mouse and keys."""
import os
import subprocess
import unittest

from tests.e2e import harness as h
from tests.e2e.capture_support import (CANCEL_ITEM, COPY_ITEM, RECT_ITEM, SAVE_ITEM, SCREEN_H, SCREEN_W,
                                       SILENT_LAUNCHER_LIMIT, TOOLBAR_W, UNDO_ITEM, CaptureCase, dim, pattern,
                                       pointer, toolbar_item, wait_for, xdo)

BORDER = (103, 138, 170)     # the tool bar's outline
SELECTION = (0, 174, 255)    # the selection's border
GREY = (0xE8, 0xE8, 0xE8)    # the tool bar's background


COPY, SAVE, CANCEL, UNDO, RECT = COPY_ITEM, SAVE_ITEM, CANCEL_ITEM, UNDO_ITEM, RECT_ITEM


class RegionCapture(CaptureCase):
    def select(self, x0, y0, x1, y1, toolbar):
        """Drags a selection and waits for the tool bar's top-left corner at `toolbar`."""
        self.drag(x0, y0, x1, y1)
        xdo("mousemove", 900, 700)
        return self.screen_when(lambda s: s.pixel(*toolbar) == BORDER, f"the tool bar at {toolbar}")

    def test_selection_dims_the_outside_and_shows_the_toolbar_below(self):
        worker = self.start_capture()
        s = h.screenshot()
        self.assertEqual(s.pixel(700, 300), pattern(700, 300))  # undimmed before any selection
        self.assertEqual(s.pixel(600, 300), (255, 0, 0))        # the crosshair through the pointer
        xdo("mousemove", 650, 520)
        s = self.screen_when(lambda s: s.pixel(650, 300) == (255, 0, 0), "the crosshair moved")
        self.assertEqual(s.pixel(600, 300), pattern(600, 300))  # and nothing left where it was
        self.assertEqual(s.pixel(700, 500), pattern(700, 500))
        self.select(300, 200, 600, 450, toolbar=(203, 455))
        # The tool bar is a window of its own and can reach the screen before the overlay's
        # repaint, which first waits for the dimmed copy: on a busy machine, wait for both.
        s = self.screen_when(lambda s: s.pixel(700, 300) == dim(pattern(700, 300)), "the outside dimmed")
        self.assertEqual(s.pixel(203 + 28, 455 + 13), GREY)
        self.assertEqual(s.pixel(599, 482 - 1), BORDER)
        self.assertEqual(s.pixel(1000, 10), dim(pattern(1000, 10)))
        self.assertEqual(s.pixel(400, 300), pattern(400, 300))
        self.assertEqual(s.pixel(304, 204), pattern(304, 204))  # just inside the corner handle
        self.assertEqual(s.pixel(302, 202), SELECTION)
        self.assertEqual(s.pixel(299, 300), SELECTION)
        self.assertEqual(s.pixel(600, 300), SELECTION)
        self.assertEqual(s.pixel(900, 300), dim(pattern(900, 300)))  # no crosshair once selected
        self.assertEqual(s.pixel(198, 201), (127, 127, 127))         # the magnifier stays
        xdo("key", "Escape")
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [])
        self.assertIsNone(self.clipboard())

    def test_copy_after_moving_and_resizing_with_handles(self):
        worker = self.start_capture()
        self.select(300, 200, 600, 450, toolbar=(203, 455))
        self.select(450, 300, 470, 330, toolbar=(223, 485))    # moved by (20, 30)
        self.select(620, 480, 650, 500, toolbar=(253, 505))    # bottom-right handle
        self.select(320, 230, 310, 220, toolbar=(253, 505))    # top-left handle
        xdo("mousemove", *toolbar_item(253, 505, COPY), "click", 1)
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [(1526, 0, 0)])
        self.assert_region_is_pattern(self.clipboard(), 310, 220, 340, 280)

    def test_inside_out_drag_gives_the_same_selection(self):
        worker = self.start_capture()
        self.select(600, 450, 300, 200, toolbar=(203, 455))
        xdo("mousemove", *toolbar_item(203, 455, COPY), "click", 1)
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assert_region_is_pattern(self.clipboard(), 300, 200, 300, 250)

    def test_moving_stops_at_the_screen_edges_and_keeps_the_size(self):
        worker = self.start_capture()
        self.select(600, 400, 800, 550, toolbar=(403, 555))
        self.select(700, 480, 1020, 760, toolbar=(SCREEN_W - TOOLBAR_W, 618 - 31))
        xdo("mousemove", *toolbar_item(SCREEN_W - TOOLBAR_W, 587, COPY), "click", 1)
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assert_region_is_pattern(self.clipboard(), SCREEN_W - 200, SCREEN_H - 150, 200, 150)

    def test_right_click_starts_over_and_double_click_ends_without_output(self):
        worker = self.start_capture()
        self.select(300, 200, 600, 450, toolbar=(203, 455))
        xdo("mousemove", 800, 600, "click", 3)
        s = self.screen_when(lambda s: s.pixel(700, 300) == pattern(700, 300), "the undimmed screen")
        self.assertEqual(s.pixel(203, 455), pattern(203, 455))  # tool bar gone
        self.assertTrue((worker.poll() is None))
        # A fresh press starts a new rectangle rather than moving the old one.
        self.select(100, 300, 250, 400, toolbar=(0, 405))
        xdo("mousemove", 800, 600, "click", 3)
        self.screen_when(lambda s: s.pixel(0, 405) == pattern(0, 405), "the tool bar hidden")
        xdo("mousemove", 700, 650, "click", "--repeat", 2, "--delay", 80, 1)
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [])
        self.assertIsNone(self.clipboard())

    def test_cancel_and_undo_buttons(self):
        worker = self.start_capture()
        self.select(300, 200, 600, 450, toolbar=(203, 455))
        xdo("mousemove", *toolbar_item(203, 455, UNDO), "click", 1)  # no shapes: starts over
        self.screen_when(lambda s: s.pixel(700, 300) == pattern(700, 300), "the selection dropped")
        self.select(300, 200, 600, 450, toolbar=(203, 455))
        xdo("mousemove", *toolbar_item(203, 455, RECT), "click", 1)
        xdo("mousemove", *toolbar_item(203, 455, CANCEL), "click", 1)
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [])

    def test_escape_on_the_toolbar_closes_the_capture(self):
        worker = self.start_capture()
        self.select(300, 200, 600, 450, toolbar=(203, 455))
        xdo("mousemove", *toolbar_item(203, 455, 2))
        xdo("key", "Escape")
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [])

    def test_copy_of_a_tiny_region_has_no_warning(self):
        worker = self.start_capture()
        self.select(100, 100, 103, 103, toolbar=(0, 108))
        xdo("mousemove", *toolbar_item(0, 108, COPY), "click", 1)
        self.assertEqual(worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [(1526, 0, 0)])
        self.assert_region_is_pattern(self.clipboard(), 100, 100, 3, 3)

    def test_save_as_warns_about_a_tiny_region_then_saves(self):
        worker = self.start_capture(workdir=self.tmp)
        self.select(100, 100, 103, 104, toolbar=(0, 109))
        xdo("mousemove", *toolbar_item(0, 109, SAVE), "click", 1)
        warning = self.s.wait_window(cls="#32770", has_child_text="区域太小!")
        h.mouse_move(*warning.center)
        h.key("Return")
        dialog = h.wait_save_dialog(self.s)
        saved = os.path.join(self.tmp, "tiny.bmp")
        # The full path: the dialog may open in the folder an earlier save used.
        h.answer_save_dialog(dialog, h.winpath(saved))
        self.assertEqual(worker.wait(timeout=30), 0)
        self.assertEqual(self.results(), [(1525, 0, h.winpath(saved))])
        self.assert_region_is_pattern(h.read_image(saved), 100, 100, 3, 4)

    def test_arrow_keys_move_the_pointer_by_one_pixel(self):
        worker = self.start_capture(mouse=(500, 400))
        xdo("key", "Right")
        wait_for(lambda: pointer() == (501, 400), what="the pointer moved right")
        xdo("key", "Down")
        wait_for(lambda: pointer() == (501, 401), what="the pointer moved down")
        xdo("key", "Left", "Up", "Up")
        wait_for(lambda: pointer() == (500, 399), what="the pointer moved back")
        xdo("key", "Escape")
        self.assertEqual(worker.wait(timeout=20), 0)


class SilentLauncher(CaptureCase):
    silent_launcher = True
    select = RegionCapture.select

    def test_the_capture_leaves_the_screen_before_the_send_and_does_not_wait_long(self):
        worker = self.start_capture()
        self.select(300, 200, 600, 450, toolbar=(203, 455))
        xdo("mousemove", *toolbar_item(203, 455, RECT), "click", 1)  # the colour pane shows
        self.s.wait_window("#32770")
        xdo("mousemove", *toolbar_item(203, 455, COPY), "click", 1)
        wait_for(self.receiver.records, what="the result sent")
        shown = self.receiver.shown()[0]
        for gone in ("KESTROW_ScreenCaptureWndClass", "KESTROW_ToolbarWndClass", "#32770"):
            self.assertNotIn(gone, shown, "still on screen while the launcher was told")
        try:
            code = worker.wait(timeout=SILENT_LAUNCHER_LIMIT)
        except subprocess.TimeoutExpired:
            self.fail(f"the worker still waits on the launcher after {SILENT_LAUNCHER_LIMIT} s")
        self.assertEqual(code, 0)
        self.assertEqual(self.results(), [(1526, 0, 0)])
        self.assert_region_is_pattern(self.clipboard(), 300, 200, 300, 250)


class MagnifierCorner(CaptureCase):
    def test_box_moves_to_the_bottom_right_while_the_pointer_is_inside_it(self):
        worker = self.start_capture(mouse=(10, 10))
        bottom_right = (SCREEN_W - 200 + 198, SCREEN_H - 220 + 201)
        s = h.screenshot()
        self.assertEqual(s.pixel(*bottom_right), (127, 127, 127))
        self.assertEqual(s.pixel(150, 150), pattern(150, 150))
        xdo("mousemove", 200, 10)
        s = self.screen_when(lambda s: s.pixel(198, 201) == (127, 127, 127), "the box top-left")
        self.assertEqual(s.pixel(*bottom_right), pattern(*bottom_right))
        xdo("mousemove", 199, 219)
        self.screen_when(lambda s: s.pixel(*bottom_right) == (127, 127, 127), "the box bottom-right")
        xdo("key", "Escape")
        self.assertEqual(worker.wait(timeout=20), 0)


if __name__ == "__main__":
    unittest.main()

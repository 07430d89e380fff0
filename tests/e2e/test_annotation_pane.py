"""Where the colour pane goes beside the tool bar, and the pane's colour reaching the
text being typed."""
from tests.e2e import harness as h
from tests.e2e.capture_support import COPY_ITEM, TOOLBAR_W, CaptureCase, pattern, toolbar_item, xdo

BORDER = (103, 138, 170)   # the tool bar's and the pane's outline
BLUE = (0, 0, 255)
OVERLAY = "KESTROW_ScreenCaptureWndClass"
TEXT = 0x505


class ColorPane(CaptureCase):
    def select(self, x0, y0, x1, y1, toolbar):
        self.drag(x0, y0, x1, y1)
        xdo("mousemove", 5, 5)
        self.screen_when(lambda s: s.pixel(*toolbar) == BORDER, f"the tool bar at {toolbar}")

    def rect_tool(self, toolbar):
        xdo("mousemove", toolbar[0] + 15, toolbar[1] + 13, "click", 1)
        xdo("mousemove", 5, 5)

    def finish(self, worker):
        xdo("key", "Escape")
        self.assertEqual(worker.wait(timeout=20), 0)

    def test_low_selection_moves_the_toolbar_above_and_the_pane_above_it(self):
        worker = self.start_capture()
        self.select(300, 400, 600, 700, toolbar=(203, 705))
        self.rect_tool((203, 705))
        s = self.screen_when(lambda s: s.pixel(203, 368) == BORDER, "the tool bar above the selection")
        self.screen_when(lambda s: s.pixel(203, 324) == BORDER and s.pixel(203 + 263, 324 + 38) == BORDER,
                         "the pane above the tool bar")
        self.finish(worker)

    def test_pane_under_a_toolbar_at_the_right_edge_and_a_swatch_click_keeps_the_keys(self):
        # The tool bar is wider than the pane, so the pane under it stays on screen.
        worker = self.start_capture()
        left = 1000 - TOOLBAR_W
        self.select(800, 100, 1000, 300, toolbar=(left, 305))
        self.rect_tool((left, 305))
        s = self.screen_when(lambda s: s.pixel(left, 337) == BORDER, "the pane under the tool bar")
        self.assertEqual(s.pixel(left + 263, 337), BORDER)
        self.assertNotEqual(s.pixel(left + 264, 337), BORDER)
        # A swatch click leaves the keys with the overlay: Esc still ends the capture.
        xdo("mousemove", left + 120 + 3 + 7, 337 + 1 + 3 + 7, "click", 1)
        xdo("mousemove", 900, 200)
        self.finish(worker)
        self.assertIsNone(self.clipboard())

    def test_colour_chosen_while_typing_recolours_the_text(self):
        worker = self.start_capture()
        self.select(300, 200, 600, 450, toolbar=(203, 455))
        overlay = self.s.find_window(cls=OVERLAY)
        self.assertEqual(self.s.tool("command", overlay.hwnd, TEXT), 0)
        # Text layout: the pane is 324 wide with the swatches from x = 180.
        self.screen_when(lambda s: s.pixel(203 + 323, 487) == BORDER, "the pane in its text layout")
        xdo("mousemove", 320, 220, "click", 1)
        h.type_text("WWW")
        xdo("mousemove", 203 + 180 + 3 + 17 * 5 + 7, 487 + 18 + 3 + 7, "click", 1)   # blue
        xdo("mousemove", 330, 225)
        self.screen_when(lambda s: any(s.pixel(x, y) == BLUE for x in range(321, 360) for y in range(221, 240)),
                         "blue text in the open box")
        self.assertEqual(self.s.tool("command", overlay.hwnd, 0x500), 0)   # commits
        xdo("mousemove", *toolbar_item(203, 455, COPY_ITEM), "click", 1)
        self.assertEqual(worker.wait(timeout=20), 0)
        image = self.clipboard()
        self.assertIsNotNone(image)
        changed = [image.pixel(x - 300, y - 200) for x in range(321, 380) for y in range(221, 250)
                   if image.pixel(x - 300, y - 200) != pattern(x, y)]
        self.assertTrue(any(b > 200 and r < 60 and g < 60 for r, g, b in changed), "the text is not blue")

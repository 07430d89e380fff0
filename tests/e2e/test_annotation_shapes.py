"""Annotating a selection end to end: tools from the tool bar and as commands, the
colour and width pane, undo, text, and the shapes burnt into the copied region."""
import os

from tests.e2e import harness as h
from tests.e2e.capture_support import (ARROW_ITEM, BRUSH_ITEM, CANCEL_ITEM, COPY_ITEM, ELLIPSE_ITEM,
                                       HIGHLIGHTER_ITEM, RECT_ITEM, REDO_ITEM, SAVE_ITEM, UNDO_ITEM, CaptureCase,
                                       pattern, wait_for, xdo)
from tests.e2e.capture_support import toolbar_item as item_at

BORDER = (103, 138, 170)   # the tool bar's and the pane's outline
RED = (255, 0, 0)
BLUE = (0, 0, 255)
OVERLAY = "KESTROW_ScreenCaptureWndClass"

# Selection (300, 200)-(600, 450): the tool bar at (203, 455), the pane below it.
SEL = (300, 200, 600, 450)
TOOLBAR = (203, 455)
PANE = (203, 487)
RECT, ARROW, BRUSH, UNDO, CANCEL, COPY, SAVE = (RECT_ITEM, ARROW_ITEM, BRUSH_ITEM, UNDO_ITEM, CANCEL_ITEM, COPY_ITEM,
                                               SAVE_ITEM)
ELLIPSE, TEXT = 0x501, 0x505


def toolbar_item(index):
    return item_at(TOOLBAR[0], TOOLBAR[1], index)


def width_button(i):
    """Centre of width button i (thin, medium, thick) in the pane."""
    return PANE[0] + 5 + 3 + 17 * i + 7, PANE[1] + 5 + 3 + 6


def swatch(i):
    """Centre of swatch i (0..15) in the pane in its shapes layout."""
    top = 1 if i < 8 else 18
    return PANE[0] + 120 + 3 + 17 * (i % 8) + 7, PANE[1] + top + 3 + 7


class Annotation(CaptureCase):
    def setUp(self):
        super().setUp()
        self.worker = self.start_capture()
        self.drag(SEL[0], SEL[1], SEL[2], SEL[3])
        xdo("mousemove", 900, 700)
        self.screen_when(lambda s: s.pixel(*TOOLBAR) == BORDER, "the tool bar")

    def tool(self, index):
        xdo("mousemove", *toolbar_item(index), "click", 1)

    def command(self, cmd):
        overlay = self.s.find_window(cls=OVERLAY)
        self.assertIsNotNone(overlay, "no overlay")
        self.assertEqual(self.s.tool("command", overlay.hwnd, cmd), 0)

    def pane_shown(self):
        return self.screen_when(lambda s: s.pixel(*PANE) == BORDER, "the colour pane")

    def stroke(self, *points):
        """A press at the first point, moves through the others, a release at the last.

        The moves go in steps of a few pixels: a busy window gets its queued mouse moves
        merged into the newest one (as on Windows), and a corner given as a single move
        could then be cut short."""
        xdo("mousemove", *points[0], "mousedown", 1)
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            steps = max(1, max(abs(x1 - x0), abs(y1 - y0)) // 5)
            for i in range(1, steps + 1):
                xdo("mousemove", x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
        xdo("mouseup", 1)

    def copy(self):
        self.tool(COPY)
        self.assertEqual(self.worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [(1526, 0, 0)])
        image = self.clipboard()
        self.assertIsNotNone(image, "no bitmap on the clipboard")
        self.assertEqual((image.width, image.height), (SEL[2] - SEL[0], SEL[3] - SEL[1]))
        return image

    def at(self, image, x, y):
        """The copied pixel at screen point (x, y)."""
        return image.pixel(x - SEL[0], y - SEL[1])

    def assertPattern(self, image, *points):
        for x, y in points:
            self.assertEqual(self.at(image, x, y), pattern(x, y), f"at {(x, y)}")

    def assertColor(self, image, color, *points):
        for x, y in points:
            self.assertEqual(self.at(image, x, y), color, f"at {(x, y)}")

    def test_rectangle_arrow_and_brush_in_default_red_three_pixels(self):
        self.tool(RECT)
        s = self.pane_shown()
        self.assertEqual(s.pixel(PANE[0] + 104, PANE[1] + 19), RED)  # the colour box
        self.stroke((350, 250), (400, 300), (450, 350))
        self.tool(ARROW)
        self.stroke((320, 420), (400, 420), (520, 420))
        self.tool(BRUSH)
        self.stroke((500, 250), (540, 290), (560, 330))
        image = self.copy()
        # Rectangle: a 3-pixel red frame, the inside untouched.
        self.assertColor(image, RED, (349, 300), (350, 300), (351, 300), (400, 250), (450, 300), (400, 350))
        self.assertPattern(image, (347, 300), (353, 300), (400, 300), (400, 247))
        # Arrow: the shaft, a filled head ending at the tip, nothing beyond.
        self.assertColor(image, RED, (360, 420), (360, 421), (505, 420), (505, 423), (515, 420))
        self.assertPattern(image, (360, 424), (525, 420), (360, 416))
        # Brush: both segments.
        self.assertColor(image, RED, (520, 270), (550, 310))
        self.assertPattern(image, (520, 262))

    def test_click_leaves_no_rectangle_and_outside_presses_clamp(self):
        self.tool(RECT)
        self.pane_shown()
        self.stroke((350, 250), (350, 250))               # a click: no rectangle
        self.stroke((250, 150), (400, 300), (700, 520))   # from outside left/above to outside right/below
        self.stroke((650, 300), (500, 300), (400, 260))   # pressed outside right: nothing
        image = self.copy()
        self.assertPattern(image, (350, 250), (351, 251), (400, 260), (450, 300))
        # The clamped rectangle lies on the selection's edges.
        self.assertColor(image, RED, (300, 300), (301, 300), (400, 200), (400, 201), (598, 300), (599, 300),
                         (400, 449))

    def test_ellipse_and_highlighter_buttons_then_undo_redo_and_copy_by_keys(self):
        self.tool(ELLIPSE_ITEM)
        self.pane_shown()
        self.stroke((320, 220), (400, 260), (480, 300))
        self.tool(HIGHLIGHTER_ITEM)
        self.stroke((320, 400), (450, 400), (580, 400))
        xdo("mousemove", 900, 700)
        self.screen_when(lambda s: s.pixel(400, 400) == RED, "the highlighter stroke")
        xdo("key", "ctrl+z")
        self.screen_when(lambda s: s.pixel(400, 400) == pattern(400, 400), "the stroke undone")
        self.tool(REDO_ITEM)
        xdo("mousemove", 900, 700)
        self.screen_when(lambda s: s.pixel(400, 400) == RED, "the stroke redone")
        xdo("key", "ctrl+c")
        self.assertEqual(self.worker.wait(timeout=20), 0)
        self.assertEqual(self.results(), [(1526, 0, 0)])
        image = self.clipboard()
        # Ellipse in (320,220)-(480,300): its left, top, right and bottom points; not the corners.
        self.assertColor(image, RED, (321, 260), (400, 221), (478, 260), (400, 298))
        self.assertPattern(image, (322, 222), (400, 260))
        # Highlighter: full red, 12 pixels wide (its middle width).
        self.assertColor(image, RED, (400, 396), (400, 400), (400, 404))
        self.assertPattern(image, (400, 390), (400, 410))

    def test_undo_removes_the_newest_first(self):
        self.tool(RECT)
        self.pane_shown()
        for left in (320, 400, 480):
            self.stroke((left, 250), (left + 30, 280), (left + 60, 300))
        self.tool(UNDO)
        image = self.copy()
        self.assertColor(image, RED, (320, 270), (400, 270))
        self.assertPattern(image, (480, 270), (540, 270))

    def test_three_undos_clear_the_shapes_and_a_fourth_starts_over(self):
        self.tool(RECT)
        self.pane_shown()
        for left in (320, 400, 480):
            self.stroke((left, 250), (left + 30, 280), (left + 60, 300))
        xdo("mousemove", 900, 700)
        self.screen_when(lambda s: s.pixel(480, 270) == RED, "the third rectangle")
        for _ in range(3):
            self.tool(UNDO)
        xdo("mousemove", 900, 700)
        s = self.screen_when(lambda s: s.pixel(320, 270) != RED, "all shapes undone")
        self.assertEqual(s.pixel(400, 270), pattern(400, 270))
        self.assertEqual(s.pixel(480, 270), pattern(480, 270))
        self.assertEqual(s.pixel(*TOOLBAR), BORDER)
        self.assertEqual(s.pixel(*PANE), BORDER)
        self.tool(UNDO)
        xdo("mousemove", 900, 700)
        s = self.screen_when(lambda s: s.pixel(*TOOLBAR) != BORDER, "the tool bar hidden")
        self.assertNotEqual(s.pixel(*PANE), BORDER)
        self.assertEqual(s.pixel(700, 300), pattern(700, 300))   # nothing dimmed: no selection
        # A new selection starts from nothing.
        self.drag(310, 210, 410, 310)
        xdo("mousemove", 900, 700)
        self.screen_when(lambda s: s.pixel(700, 300) != pattern(700, 300), "a new selection")
        xdo("key", "Escape")
        self.assertEqual(self.worker.wait(timeout=20), 0)
        self.assertIsNone(self.clipboard())

    def test_colour_and_width_from_the_pane(self):
        self.tool(RECT)
        self.pane_shown()
        xdo("mousemove", *swatch(13), "click", 1)        # blue
        xdo("mousemove", *width_button(2), "click", 1)   # thick: 6 pixels
        xdo("mousemove", 900, 700)
        self.screen_when(lambda s: s.pixel(PANE[0] + 104, PANE[1] + 19) == BLUE, "blue in the colour box")
        self.stroke((350, 250), (400, 300), (450, 350))
        xdo("mousemove", *width_button(0), "click", 1)   # thin: 1 pixel
        self.stroke((480, 250), (520, 300), (560, 350))
        image = self.copy()
        self.assertColor(image, BLUE, (347, 300), (348, 300), (350, 300), (352, 300))
        self.assertPattern(image, (345, 300), (355, 300))
        self.assertColor(image, BLUE, (480, 300), (559, 300))
        self.assertPattern(image, (479, 300), (481, 300), (558, 300), (560, 300))

    def test_typed_text_is_committed_and_open_text_is_not_copied(self):
        self.command(TEXT)
        self.pane_shown()
        xdo("mousemove", 320, 220, "click", 1)
        h.type_text("WWW")
        self.command(ELLIPSE)                       # a tool command commits the text
        self.command(TEXT)
        xdo("mousemove", 420, 320, "click", 1)     # a second box, left open
        h.type_text("WWW")
        xdo("mousemove", 430, 325)
        self.screen_when(lambda s: any(s.pixel(x, y) == RED for x in range(421, 470) for y in range(321, 345)),
                         "the open text on screen")
        image = self.copy()
        # Smoothed red glyphs: changed pixels, redder than the green-heavy pattern there.
        changed = [self.at(image, x, y) for x in range(321, 380) for y in range(221, 250)
                   if self.at(image, x, y) != pattern(x, y)]
        self.assertGreater(len(changed), 20, "no committed text in the copy")
        self.assertTrue(any(r > 200 and g < 60 for r, g, b in changed), "the text is not red")
        self.assertPattern(image, *[(x, y) for x in range(420, 480, 3) for y in range(320, 350, 3)])

    def test_saved_image_carries_the_shapes_in_the_order_drawn(self):
        self.tool(RECT)
        self.pane_shown()
        self.stroke((350, 250), (400, 300), (450, 350))
        xdo("mousemove", *swatch(13), "click", 1)          # blue, drawn over the red one
        self.tool(BRUSH)
        self.stroke((320, 300), (400, 300), (480, 300))
        self.tool(SAVE)
        dialog = h.wait_save_dialog(self.s)
        saved = os.path.join(self.tmp, "shapes.bmp")
        # The full path: the dialog may open in the folder an earlier save used.
        h.answer_save_dialog(dialog, h.winpath(saved))
        self.assertEqual(self.worker.wait(timeout=30), 0)
        wait_for(lambda: os.path.exists(saved), what="the saved file")
        image = h.read_image(saved)
        self.assertEqual((image.width, image.height), (300, 250))
        self.assertColor(image, RED, (400, 250), (450, 320))
        self.assertColor(image, BLUE, (350, 300), (400, 300), (450, 300))
        self.assertPattern(image, (400, 280), (400, 320))
        [(code, _, path)] = self.results()
        self.assertEqual(code, 1525)

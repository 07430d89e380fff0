"""What the region-capture scenarios share, on top of the harness: a pattern on
screen, a result receiver and an empty clipboard for every test, and helpers for
drags, screenshots and comparing bitmaps with the pattern."""
from tests.e2e import harness as h

SCREEN_W, SCREEN_H = 1024, 768
pattern = h.pattern_pixel
winpath = h.winpath
wait_for = h.wait_until
TESTTOOL = h.TESTTOOL
SILENT_LAUNCHER_LIMIT = h.SILENT_LAUNCHER_LIMIT


TOOLBAR_W = 397  # the tool bar's width at 96 DPI
# Where its items start: eight tools, a separator, undo and redo, a separator, pin,
# cancel, copy and save, each item 24 wide.
ITEM_LEFT = (3, 30, 57, 84, 111, 138, 165, 192, 227, 254, 289, 316, 343, 370)
(RECT_ITEM, ELLIPSE_ITEM, ARROW_ITEM, BRUSH_ITEM, HIGHLIGHTER_ITEM, TEXT_ITEM, MOSAIC_ITEM, STEP_ITEM, UNDO_ITEM,
 REDO_ITEM, PIN_ITEM, CANCEL_ITEM, COPY_ITEM, SAVE_ITEM) = range(14)


def toolbar_item(left, top, index, scale=1.0):
    """The centre of tool bar item `index` for a tool bar at (left, top)."""
    return left + round((ITEM_LEFT[index] + 12) * scale), top + round(13 * scale)


def dim(c):
    return tuple((180 * 51 + 75 * v) // 255 for v in c)


def xdo(*args):
    h.xdotool(*args)


pointer = h.mouse_location


class CaptureCase(h.ScenarioTest):
    silent_launcher = False  # a receiver that takes a record and never answers

    def setUp(self):
        super().setUp()
        self.tmp = self.s.dir
        self.s.show_pattern()
        self.receiver = self.s.receiver(hang=self.silent_launcher)
        self.s.clear_clipboard()

    def start_capture(self, *extra, mouse=(600, 500), workdir=None):
        """Starts the region capture with the pointer at `mouse` and waits for the overlay."""
        h.mouse_move(*mouse)
        worker = self.s.worker("-tasktype", "screencapture", *extra, cwd=workdir)
        box = (SCREEN_W - 200, SCREEN_H - 220) if mouse[0] < 200 and mouse[1] < 220 else (0, 0)
        self.screen_when(lambda s: s.pixel(box[0] + 198, box[1] + 201) == (127, 127, 127), "the overlay")
        return worker

    def start(self, exe, *args):
        return self.s.start(exe, *args)

    def results(self):
        return [(r.code, r.wparam, r.number if r.size == 4 else r.text) for r in self.receiver.records()]

    def drag(self, x0, y0, x1, y1):
        xdo("mousemove", x0, y0, "mousedown", 1)
        xdo("mousemove", (x0 + x1) // 2, (y0 + y1) // 2)
        xdo("mousemove", x1, y1, "mouseup", 1)

    def screen_when(self, check, what):
        """The first screenshot for which `check(screen)` holds."""
        return h.screen_when(check, what)

    def clipboard(self):
        return self.s.clipboard_bitmap()

    def assert_region_is_pattern(self, image, left, top, width, height):
        self.assertIsNotNone(image, "no bitmap on the clipboard")
        self.assertEqual((image.width, image.height), (width, height))
        diff = h.first_difference(image, h.pattern_rgb(left, top, width, height))
        self.assertIsNone(diff, f"first differing pixel: {diff}")

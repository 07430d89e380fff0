"""Pinning a capture end to end: F3 leaves the selection where it stood, in a window of
its own that moves, zooms, copies, saves and closes under the real mouse and keys."""
import os

from tests.e2e import harness as h
from tests.e2e.capture_support import PIN_ITEM, TOOLBAR_W, CaptureCase, pattern, toolbar_item, wait_for, xdo

BORDER = (103, 138, 170)  # the tool bar's outline
FRAME = (43, 108, 196)    # the pin's
PIN = "KESTROW_PinWndClass"
OVERLAY = "KESTROW_ScreenCaptureWndClass"
SEL = (300, 200, 600, 450)
TOOLBAR = (SEL[2] - TOOLBAR_W, SEL[3] + 5)
PIN_COPY, PIN_SAVEAS = 0x530, 0x531


class Pin(CaptureCase):
    def pin_rect(self):
        w = self.s.find_window(cls=PIN)
        return w and (w.left, w.top, w.right, w.bottom)

    def pin_and_check_in_place(self, by_key):
        worker = self.start_capture()
        self.drag(*SEL)
        xdo("mousemove", 900, 700)
        self.screen_when(lambda s: s.pixel(*TOOLBAR) == BORDER, "the tool bar")
        if by_key:
            xdo("key", "F3")
        else:
            xdo("mousemove", *toolbar_item(*TOOLBAR, PIN_ITEM), "click", 1)
        wait_for(lambda: self.pin_rect() == (299, 199, 601, 451), what="the pin where the selection was")
        s = self.screen_when(lambda s: s.pixel(299, 199) == FRAME and s.pixel(900, 700) == pattern(900, 700),
                             "the pin alone on the live screen")
        for x, y in ((300, 200), (450, 325), (599, 449)):
            self.assertEqual(s.pixel(x, y), pattern(x, y), f"at {(x, y)}")
        self.assertFalse(any(w.cls == OVERLAY and w.visible for w in self.s.windows()))
        [gone] = self.receiver.records()
        self.assertEqual((gone.code, gone.size), (1528, 4))
        return worker

    def test_f3_pins_then_drag_wheel_copy_and_escape(self):
        worker = self.pin_and_check_in_place(by_key=True)
        # Dragged by (40, 30): the picture goes with it.
        xdo("mousemove", 450, 300, "mousedown", 1)
        xdo("mousemove", 470, 315)
        xdo("mousemove", 490, 330, "mouseup", 1)
        wait_for(lambda: self.pin_rect() == (339, 229, 641, 481), what="the pin moved")
        self.screen_when(lambda s: s.pixel(340, 230) == pattern(300, 200), "the picture moved")
        # A wheel notch up zooms to 110 % around the pointer; the menu's copy is still the
        # picture at 100 %, reported as a region copy; "1" brings 100 % back.
        xdo("click", 4)
        wait_for(lambda: (r := self.pin_rect()) and r[2] - r[0] == 332, what="the pin at 110 %")
        pin = self.s.find_window(cls=PIN)
        self.assertEqual(self.s.tool("command", pin.hwnd, PIN_COPY), 0)
        self.assert_region_is_pattern(self.clipboard(), 300, 200, 300, 250)
        self.assertEqual([r.code for r in self.receiver.records()], [1528, 1526])
        xdo("key", "1")
        wait_for(lambda: (r := self.pin_rect()) and r[2] - r[0] == 302, what="the pin back at 100 %")
        xdo("mousemove", 500, 400, "key", "Escape")
        self.assertEqual(worker.wait(timeout=20), 0)

    def test_button_pins_and_the_pin_saves_then_closes_on_a_double_click(self):
        worker = self.pin_and_check_in_place(by_key=False)
        pin = self.s.find_window(cls=PIN)
        self.assertEqual(self.s.tool("post", pin.hwnd, PIN_SAVEAS), 0)
        dialog = h.wait_save_dialog(self.s)
        saved = os.path.join(self.tmp, "pinned.bmp")
        h.answer_save_dialog(dialog, h.winpath(saved))
        wait_for(lambda: len(self.receiver.records()) == 2, what="the save reported")
        self.assertEqual(self.results()[1], (1525, 0, h.winpath(saved)))
        self.assert_region_is_pattern(h.read_image(saved), 300, 200, 300, 250)
        xdo("mousemove", 450, 300, "click", "--repeat", 2, 1)
        self.assertEqual(worker.wait(timeout=20), 0)

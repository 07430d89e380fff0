"""pagegrab from the outside: the dialog and the whole flow with the stand-in browser
(pages of a known size and picture), and the real program as far as Wine's browser
control goes."""
import datetime
import http.server
import os
import re
import shutil
import subprocess
import threading
from pathlib import Path

from tests.e2e import harness as h
from tests.e2e import launcher_env as env

SYSTEM32 = Path(os.environ.get("WINEPREFIX", "")) / "drive_c" / "windows" / "system32"
TITLE = "网页截屏"
START, ADDRESS, STATUS = 1000, 1001, 1002

OPENED = "请在上面的输入框中输入网址，并点击【开始网页截图】以完成截图！"
REQUESTING = "正在请求网页，可能需要数秒才能完成..."
LOADED = "网页加载成功!开始准备保存为本地图片..."
TIMEOUT = "请求超时，请检查您的网络。截图失败！"
BAD_SITE = "您所请求的网址不正确或您所请求的网站当前工作不正常！"
SAVED = "截图成功!"
CANCELLED = "您取消了保存网页为本地图片。"
NOTHING_DRAWN = "网页没有可保存的内容，截图失败！"
PROPOSED = re.compile(r"^网页截图_(\d{4})-(\d{1,2})-(\d{1,2})_(\d{1,2})点(\d{1,2})分(\d{1,2})秒$")


def standin_picture(width, height):
    """The stand-in browser's page: red = row & 255, green = row >> 8, blue = column & 255."""
    blue = bytes(x & 255 for x in range(width))
    out = bytearray()
    for y in range(height):
        row = bytearray(width * 3)
        row[0::3] = bytes([y & 255]) * width
        row[1::3] = bytes([(y >> 8) & 255]) * width
        row[2::3] = blue
        out += row
    return bytes(out)


class PageGrabScenario(h.ScenarioTest):
    program = h.TOOLS / "pagegrab_standin.exe"

    def setUp(self):
        super().setUp()
        self.paint = SYSTEM32 / "mspaint.exe"
        self.paint_log = SYSTEM32 / "mspaint.log"
        shutil.copy(h.STANDIN, self.paint)
        self.paint_log.unlink(missing_ok=True)
        self.addCleanup(self.paint.unlink, missing_ok=True)
        self.addCleanup(self.paint_log.unlink, missing_ok=True)
        self.folder = self.s.dir / "app"
        self.folder.mkdir()
        shutil.copy(self.program, self.folder / "pagegrab.exe")
        self.proc = self.s.start(self.folder / "pagegrab.exe", cwd=self.folder)
        self.dialog = self.s.wait_window(cls="#32770", title=TITLE)

    def control(self, cid):
        d = self.s.find_window(cls="#32770", title=TITLE)
        return d.child(id=cid) if d else None

    def status(self):
        c = self.control(STATUS)
        return c.text if c else None

    def wait_status(self, text, timeout=20):
        return h.wait_until(lambda: self.status() == text, timeout, what=f"status {text!r}")

    def request(self, address):
        """Types an address into the box and presses Enter, as a user does."""
        edit = self.control(ADDRESS)
        h.mouse_move(*edit.center)
        h.xdotool("click", 1)
        h.key("ctrl+a", "BackSpace")
        if address:
            h.type_text(address)
        h.key("Return")

    def navigations(self):
        log = self.folder / "pagegrab.navigate.log"
        return log.read_text(encoding="utf-8").splitlines() if log.exists() else []

    def start_enabled(self):
        # The window list gives visibility only; ask the button itself.
        return self.s.tool("enabled", self.control(START).hwnd) == 0

    def paint_lines(self):
        return self.paint_log.read_text(encoding="utf-8").splitlines() if self.paint_log.exists() else []


class PageGrabFlow(PageGrabScenario):
    def test_whole_page_is_saved_exactly_and_opened_in_paint(self):
        self.assertEqual(self.status(), OPENED)
        self.request("page.test/640x3000")
        self.wait_status(REQUESTING)
        self.assertFalse(self.start_enabled())
        self.wait_status(LOADED)
        dialog = h.wait_save_dialog(self.s)

        name = h.save_dialog_name(dialog)
        m = PROPOSED.match(name)
        self.assertTrue(m, name)
        utc = datetime.datetime.now(datetime.timezone.utc)
        proposed = datetime.datetime(*map(int, m.groups()), tzinfo=datetime.timezone.utc)
        self.assertLess(abs((utc - proposed).total_seconds()), 120, "the proposed name is in UTC")
        items, selected = self.s.items(dialog.child(id=h.SAVE_TYPE_LIST))
        self.assertEqual(items, ["BMP图片(*.bmp)", "PNG图片(*.png)", "All Files (*.*)"])
        self.assertEqual(selected, 0)

        target = self.s.dir / "my pages" / "whole page.bmp"
        target.parent.mkdir()
        h.answer_save_dialog(dialog, h.winpath(target))
        self.wait_status(SAVED, timeout=60)
        self.assertTrue(self.start_enabled())
        image = h.read_bmp32(target)
        self.assertEqual((image.width, image.height), (640, 3000))
        self.assertIsNone(h.first_difference(image, standin_picture(640, 3000)))
        self.assertEqual(self.navigations(), ["http://page.test/640x3000"])
        lines = h.wait_until(self.paint_lines, 10, what="the paint program")
        self.assertTrue(lines[0].endswith(f' "{h.winpath(target)}"'), lines)

    def test_png_cancel_and_a_page_with_nothing_to_draw(self):
        self.request("http://page.test/300x700")
        self.wait_status(LOADED)
        target = self.s.dir / "page.png"
        h.answer_save_dialog(h.wait_save_dialog(self.s), h.winpath(target))
        self.wait_status(SAVED, timeout=60)
        image = h.read_image(target)
        self.assertEqual(image.format, "PNG")
        self.assertIsNone(h.first_difference(image, standin_picture(300, 700)))
        h.wait_until(self.paint_lines, 10, what="the paint program")

        self.request("http://page.test/300x700")
        h.cancel_save_dialog(h.wait_save_dialog(self.s))
        self.wait_status(CANCELLED)
        self.assertTrue(self.start_enabled())

        self.request("http://page.test/0x0")
        target = self.s.dir / "empty.bmp"
        h.answer_save_dialog(h.wait_save_dialog(self.s), h.winpath(target))
        self.wait_status(NOTHING_DRAWN)
        self.assertTrue(self.start_enabled())
        self.assertFalse(target.exists())
        self.assertEqual(len(self.paint_lines()), 1, "Paint only for the saved page")

    def test_empty_address_asks_for_one_and_escape_ends_with_code_2(self):
        self.request("")
        box = self.s.wait_window(cls="#32770", title="网页截屏器")
        self.assertTrue(any(c.text == "请输入Http地址先!" for c in box.children))
        h.mouse_move(*box.center)
        h.key("Return")
        self.s.wait_gone(box.hwnd)
        self.assertEqual(self.status(), OPENED)
        self.assertEqual(self.navigations(), [])
        h.mouse_move(*self.control(ADDRESS).center)
        h.key("Escape")
        self.assertEqual(self.proc.wait(30), 2)



class _Page(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = b"<html><body><div style='width:300px;height:900px'>page</div></body></html>"
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        self.server.requests.append(self.path)

    def log_message(self, *args):
        pass


class RealBrowser(PageGrabScenario):
    """The shipped program: Wine has no engine to draw pages, but each request must
    still end in one result and give the start button back."""
    program = h.BIN / "pagegrab.exe"

    def test_a_loopback_page_ends_in_one_result_and_the_button_comes_back(self):
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _Page)
        server.requests = []
        threading.Thread(target=server.serve_forever, daemon=True).start()
        self.addCleanup(server.server_close)
        self.addCleanup(server.shutdown)

        self.request(f"127.0.0.1:{server.server_address[1]}/page.html")
        # Whatever Wine reports (without an engine the request status may pass too fast
        # to see), the 30-second time-out at the latest.
        final = h.wait_until(lambda: self.status() in (LOADED, TIMEOUT, BAD_SITE) and self.status(), 45,
                             what="a result")
        if final == LOADED:  # an engine loaded it: the save dialog follows
            h.cancel_save_dialog(h.wait_save_dialog(self.s))
            self.wait_status(CANCELLED)
        h.wait_until(self.start_enabled, 10, what="the start button back")
        self.assertEqual(server.requests, ["/page.html"])


class FromTheTray(h.ScenarioTest):
    def test_web_capture_item_opens_the_dialog(self):
        env.clear_config()
        app = env.Launcher(self.s)
        shutil.copy(h.BIN / "pagegrab.exe", app.folder / "pagegrab.exe")
        _, icon = app.start_and_wait_for_icon()
        app.choose(icon, "网页截图...")
        dialog = self.s.wait_window(cls="#32770", title=TITLE)
        self.assertEqual(dialog.child(id=STATUS).text, OPENED)
        self.assertEqual(dialog.child(id=START).text, "开始网页截图")


def run_win_tests_apart(test, tests, prefix, depth=24, dpi=None):
    """Runs the Windows tests `tests` (a gtest filter) on an Xvfb display of `depth` bits
    with a prefix and wineserver of their own, at `dpi` when given; returns the exit code
    and the XML report. A process on another display changes the screen that a shared
    wineserver reports to every later program, and the DPI is the prefix's."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", f"1024x768x{depth}",
                             "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write)
    test.addCleanup(xvfb.wait)
    test.addCleanup(xvfb.kill)
    with os.fdopen(read) as f:
        display = ":" + f.readline().strip()
    wine_env = {**os.environ, "DISPLAY": display, "WINEPREFIX": str(prefix), "KESTROW_WINEPREFIX": str(prefix)}
    quiet = dict(env=wine_env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Created once, like the suite's own prefix.
    subprocess.run(["bash", "-c", f"source '{h.ROOT}/scripts/wine-env.sh' && kestrow_prefix"], timeout=300, **quiet)
    test.addCleanup(subprocess.run, ["wineserver", "-k"], **quiet)
    if dpi:
        # Read when the wineserver starts: set, then start it afresh.
        subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", str(dpi), "/f"], timeout=120, check=True, **quiet)
        subprocess.run(["wineserver", "-k"], **quiet)
        subprocess.run(["wineserver", "-w"], **quiet)
    report = test.s.dir / f"apart-{depth}-{dpi}.xml"
    run = subprocess.run(["wine", str(h.TOOLS / "kestrow_win_tests.exe"), f"--gtest_filter={tests}",
                          f"--gtest_output=xml:{h.winpath(report)}"], timeout=300, **quiet)
    subprocess.run(["wineserver", "-k"], **quiet)
    return run.returncode, report.read_text(encoding="utf-8") if report.exists() else ""


class BitmapAtDisplayDepths(h.ScenarioTest):
    """The bitmap writer's Windows tests again on displays of 16 and 8 bits per pixel
    (the suite's own display has 24, which Wine reports as 32)."""
    PREFIX = h.ROOT / "build" / "wine" / "depth-prefix"

    def test_writer_tests_pass_at_16_and_8_bits(self):
        for depth in (16, 8):
            with self.subTest(depth=depth):
                code, report = run_win_tests_apart(self, "PageBitmapFile.*", self.PREFIX, depth=depth)
                self.assertIn(f'name="display_bits" value="{depth}"', report)
                self.assertEqual(code, 0, report)


class DialogAt144Dpi(h.ScenarioTest):
    """The dialog's Windows test on a 144 DPI screen: the template, the edit font and the
    narrowing step scale together, so the narrowed dialog still hides the check box."""
    PREFIX = h.ROOT / "build" / "wine" / "dpi-prefix"

    def test_narrowed_dialog_hides_the_check_box(self):
        code, report = run_win_tests_apart(self, "PageGrabDialog.OpensNarrowed*", self.PREFIX, dpi=144)
        self.assertIn('name="dpi" value="144"', report)
        self.assertEqual(code, 0, report)

"""The launcher and its web service, on the loopback address: usage pings, the update
check in the background and from the about dialog, the feedback dialog and page."""
import subprocess
import time
import urllib.parse

from tests.e2e import harness as h
from tests.e2e import launcher_env as env
from tests.tools.loopback_server import LoopbackServer

ABOUT_TITLE = "关于Lumetto截屏取图"
FEEDBACK_TITLE = "反馈建议"
UP_TO_DATE = "当前版本已经是最新版本了"
FEEDBACK_FAILED = "反馈发送失败，请检查网络后重试。"
NEW_VERSION = "当前版本不是最新版本，您可以点击【确认】前往官网下载!"
START_PING = "/staticses/addstatics/kestrowcapture/1.0.0.7011/1/1"
EXIT_PING = "/staticses/addstatics/kestrowcapture/1.0.0.7011/1/2"
FEEDBACK_PREFIX = "/feedbacks/addFeedback/1/"
HTTP_COMMAND_KEY = r"HKLM\Software\Classes\http\shell\open\command"
WINE_BROWSER = '"C:\\windows\\system32\\winebrowser.exe" "%1"'


def manifest(version, url="http://127.0.0.1/download"):
    return f'{{"errorcode": "0", "errordesc": "", "data": [{{"clientversion": "{version}", "url": "{url}"}}]}}'


def reg_set_default(key, value):
    subprocess.run(["wine", "reg", "add", key, "/ve", "/t", "REG_SZ", "/d", value, "/f"], check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class OnlineScenario(h.ScenarioTest):
    def setUp(self):
        super().setUp()
        self.server = LoopbackServer().start()
        self.addCleanup(self.server.stop)
        env.write_config(service_url=self.server.base, showstartupscreen=0)
        self.addCleanup(env.clear_config)
        self.app = env.Launcher(self.s)

    def start(self, version="1, 0, 0, 7011"):
        self.server.manifest = manifest(version)
        self.proc, self.icon = self.app.start_and_wait_for_icon()

    def wait_request(self, predicate, what, timeout=20):
        return h.wait_until(lambda: [p for p in self.server.paths() if predicate(p)], timeout, what=what)

    def install_browser(self):
        """A stand-in browser that logs the address the shell opens."""
        browser = self.s.dir / "browser.exe"
        browser.write_bytes(h.STANDIN.read_bytes())
        reg_set_default(HTTP_COMMAND_KEY, f'"{h.winpath(browser)}" "%1"')
        self.addCleanup(reg_set_default, HTTP_COMMAND_KEY, WINE_BROWSER)
        return self.s.dir / "browser.log"

    def tool(self, *args):
        self.assertEqual(self.s.tool(*args), 0, args)

    def message_box(self, text):
        return self.s.wait_window(cls="#32770", has_child_text=text)

    def confirm(self, box):
        self.tool("post", box.hwnd, 1)
        self.s.wait_gone(box.hwnd)


class PingsAndBackgroundCheck(OnlineScenario):
    def test_different_version_brings_the_balloon_and_pings_come_in_order(self):
        self.start(version="1.0.0.7011")  # points, not ", ": another version
        self.wait_request(lambda p: p == START_PING, "the start ping")
        started = time.monotonic()
        self.wait_request(lambda p: p.startswith("/app/webroot/clientversion/"), "the update check", 30)
        self.assertGreater(time.monotonic() - started, 5, "the check came long before its 10 s")
        h.wait_until(lambda: len(self.app.icons()) == 2, 10, what="the update icon")
        self.app.choose(self.icon, "退出")
        self.wait_request(lambda p: p == EXIT_PING, "the exit ping")
        pings = [p for p in self.server.paths() if p.startswith("/staticses/")]
        self.assertEqual(pings, [START_PING, EXIT_PING])
        self.assertEqual(self.proc.wait(30), 1)

    def test_equal_version_shows_no_balloon(self):
        self.start(version="1, 0, 0, 7011")
        self.wait_request(lambda p: p.startswith("/app/webroot/clientversion/"), "the update check", 30)
        time.sleep(2)  # nothing to wait for: give a wrong balloon the time to show
        self.assertEqual(len(self.app.icons()), 1)

    def test_quitting_while_a_ping_is_stuck_ends_cleanly(self):
        # The start ping hangs at the server; the exit ping queues behind it.
        self.server.delays["/staticses/"] = 12
        self.start()
        self.wait_request(lambda p: p == START_PING, "the start ping")
        quit_at = time.monotonic()
        self.app.choose(self.icon, "退出")
        self.assertEqual(self.proc.wait(30), 1)
        self.assertLess(time.monotonic() - quit_at, 11, "the exit waited for the stuck ping")


class AboutDialog(OnlineScenario):
    def open_about(self):
        self.app.choose(self.icon, "关于...")
        return self.s.wait_window(cls="#32770", title=ABOUT_TITLE)

    def check(self, about, expected_text):
        self.tool("post", about.hwnd, 1000)
        return self.message_box(expected_text)

    def test_controls_and_check_answers(self):
        browser_log = self.install_browser()
        self.start(version="1, 0, 0, 7011")
        about = self.open_about()
        texts = {c.id: c.text for c in about.children if c.cls == "Button"}
        self.assertEqual(texts, {1: "关闭", 1000: "检查最新", 1001: "用户反馈"})
        statics = [c.text for c in about.children if c.cls == "Static"]
        self.assertIn("Lumetto截屏取图 v1.0 正式版（1.0.0.0.7001）", statics)
        self.assertIn("编译时间：2013-02-12", statics)

        with self.subTest("equal"):
            self.confirm(self.check(about, UP_TO_DATE))
        with self.subTest("different"):
            self.server.manifest = manifest("2, 0, 0, 1", self.server.base + "/download/新版")
            self.confirm(self.check(about, NEW_VERSION))
            h.wait_until(browser_log.exists, 10, what="the download page")
            self.assertIn(self.server.base + "/download/", browser_log.read_text(encoding="utf-8"))
        with self.subTest("not a web address"):
            evil = self.app.folder / "evil.exe"
            evil.write_bytes(h.STANDIN.read_bytes())
            opened = browser_log.read_text(encoding="utf-8")
            for url in ("file:///" + h.winpath(evil).replace("\\", "/"), h.winpath(evil).replace("\\", "\\\\")):
                self.server.manifest = manifest("2, 0, 0, 1", url)
                self.confirm(self.check(about, NEW_VERSION))
            time.sleep(1)  # nothing to wait for: give a wrong start the time to show
            self.assertFalse((self.app.folder / "evil.log").exists())
            self.assertEqual(browser_log.read_text(encoding="utf-8"), opened)
        with self.subTest("unreachable"):
            env.write_config(service_url=env.NO_SERVICE, showstartupscreen=0)
            self.confirm(self.check(about, UP_TO_DATE))
        self.tool("post", about.hwnd, 1)
        self.s.wait_gone(about.hwnd)
        self.assertIsNone(self.proc.poll())

    def test_launcher_keeps_answering_and_closing_abandons_the_check(self):
        self.start(version="2, 0, 0, 1")
        about = self.open_about()
        self.server.delays["/app/"] = 8
        self.tool("post", about.hwnd, 1000)
        self.wait_request(lambda p: p.startswith("/app/"), "the check")
        held_until = time.monotonic() + 8
        # A worker's result reaches the launcher at once although the check is still out.
        asked = time.monotonic()
        self.assertTrue(self.app.receiver_ready())
        self.assertLess(time.monotonic() - asked, 3, "the launcher's UI thread was blocked")
        # Closing does not wait for the held answer, and no box follows it.
        self.tool("post", about.hwnd, 2)
        self.s.wait_gone(about.hwnd, timeout=4)
        time.sleep(max(0.0, held_until - time.monotonic()) + 2)  # nothing to wait for: the answer's time
        self.assertIsNone(self.s.find_window(cls="#32770", has_child_text=NEW_VERSION))
        self.assertIsNone(self.proc.poll())

    def test_feedback_button_opens_the_page_and_minimises(self):
        browser_log = self.install_browser()
        self.start()
        about = self.open_about()
        self.tool("post", about.hwnd, 1001)
        h.wait_until(browser_log.exists, 10, what="the feedback page")
        self.assertIn(f'"{self.server.base}/product/screencapture/feedback.php"', browser_log.read_text())
        h.wait_until(lambda: any(w.hwnd == about.hwnd and w.left <= -30000 for w in self.s.windows()), 10,
                     what="the about dialog minimised")


class FeedbackDialog(OnlineScenario):
    def open_feedback(self):
        self.app.choose(self.icon, "反馈建议...")
        dialog = self.s.wait_window(cls="#32770", title=FEEDBACK_TITLE)
        return dialog, dialog.child(cls="Edit", id=1006)

    def test_empty_box_then_text_arrives_as_typed(self):
        self.start()
        dialog, edit = self.open_feedback()
        self.assertEqual(edit.text, "")
        self.tool("post", dialog.hwnd, 1)
        self.confirm(self.message_box("请输入文本以后再提交"))
        self.assertIsNotNone(self.s.find_window(title=FEEDBACK_TITLE))

        text = "第一行\r\nsecond line & ?#/%"
        self.tool("settext", edit.hwnd, text.encode("utf-16-le").hex())
        self.tool("post", dialog.hwnd, 1)
        sent = self.wait_request(lambda p: p.startswith(FEEDBACK_PREFIX), "the feedback")
        self.assertEqual(len(sent), 1)
        self.assertNotIn("\n", sent[0])
        self.assertEqual(urllib.parse.unquote(sent[0][len(FEEDBACK_PREFIX):], encoding="utf-8",
                                              errors="strict"), text)
        self.s.wait_gone(dialog.hwnd)

        again, edit = self.open_feedback()
        self.assertEqual(again.hwnd, dialog.hwnd)  # hidden, not destroyed
        self.assertEqual(edit.text, "")

    def test_failed_feedback_keeps_the_text_for_another_try(self):
        self.start()
        dialog, edit = self.open_feedback()
        text = "没有送到"
        self.tool("settext", edit.hwnd, text.encode("utf-16-le").hex())
        # An error page from the service, then no service at all: both are failures.
        self.server.statuses[FEEDBACK_PREFIX] = 500
        for service in (self.server.base, env.NO_SERVICE):
            env.write_config(service_url=service, showstartupscreen=0)
            self.tool("post", dialog.hwnd, 1)
            self.confirm(self.message_box(FEEDBACK_FAILED))
            shown = self.s.find_window(title=FEEDBACK_TITLE)
            self.assertIsNotNone(shown)
            self.assertEqual(shown.child(cls="Edit", id=1006).text, text)
        # Sent again once the service takes it.
        self.server.statuses.clear()
        env.write_config(service_url=self.server.base, showstartupscreen=0)
        self.tool("post", dialog.hwnd, 1)
        self.s.wait_gone(dialog.hwnd)
        sent = [p for p in self.server.paths() if p.startswith(FEEDBACK_PREFIX)]
        self.assertEqual(len(sent), 2)

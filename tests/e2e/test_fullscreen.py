"""Whole-screen capture to the clipboard and to a file, from a known screen."""
import os
import re
import shutil
import subprocess
from pathlib import Path

from tests.e2e import harness as h

DEFAULT_NAME = re.compile(r"^截图_\d{4}-\d{1,2}-\d{1,2}_\d{1,2}点\d{1,2}分\d{1,2}秒$")


def confirm_and_expect_failure(session, worker):
    """After a name was confirmed: accepts the replace prompt where the dialog asks, and
    returns the text of the failure box (None if the worker ended instead)."""
    def next_window():
        return (session.find_window("#32770", title="保存失败")
                or session.find_window("#32770", has_child_text="exists")
                or worker.poll() is not None)
    found = h.wait_until(next_window, what="the failure box")
    if found is not True and found.text != "保存失败":
        h.mouse_move(*found.center)
        h.key("y")
        found = h.wait_until(lambda: session.find_window("#32770", title="保存失败")
                             or worker.poll() is not None, what="the failure box")
    if found is True:
        return None
    text = next(c.text for c in found.children if c.cls == "Static" and c.text)
    h.mouse_move(*found.center)
    h.key("Return")
    return text


class FullScreenToClipboard(h.ScenarioTest):
    def test_primary_screen_lands_on_the_clipboard_and_nothing_is_reported(self):
        self.s.show_pattern()
        receiver = self.s.receiver()
        self.s.clear_clipboard()
        self.assertEqual(self.s.worker("-tasktype", "screenfullscreentoclipboard").wait(60), 0)

        self.assertIn(2, self.s.clipboard_formats(), "CF_BITMAP")
        image = self.s.clipboard_bitmap()
        w, hgt = h.screen_size()
        self.assertEqual((image.width, image.height), (w, hgt))
        self.assertIsNone(h.first_difference(image, h.pattern_rgb(0, 0, w, hgt)))
        self.assertEqual(receiver.records(), [])


class FullScreenToFile(h.ScenarioTest):
    def save_through_dialog(self, name):
        """Runs the task, types `name` into the dialog; returns (exit code, records)."""
        # A receiver of its own for each run, gone afterwards.
        with h.Session(self.s.dir) as run:
            (run.dir / "receiver.log").unlink(missing_ok=True)
            receiver = run.receiver()
            worker = run.worker("-tasktype", "screenfullscreentofile")
            h.answer_save_dialog(h.wait_save_dialog(run), name)
            return worker.wait(60), receiver.records()

    def test_dialog_proposes_the_default_name_and_the_filters(self):
        self.s.worker("-tasktype", "screenfullscreentofile")
        dialog = h.wait_save_dialog(self.s)
        self.assertRegex(h.save_dialog_name(dialog), DEFAULT_NAME)
        items, selected = self.s.items(dialog.child(id=h.SAVE_TYPE_LIST))
        self.assertEqual(items, ["PNG 图片(*.png)", "BMP 图片(*.bmp)", "JPEG 图片(*.jpg)"])
        self.assertEqual(selected, 0)
        self.assertFalse(dialog.child(cls="Button", id=1040).visible, "read-only box hidden")

    def test_format_follows_the_typed_extension(self):
        self.s.show_pattern()
        w, hgt = h.screen_size()
        expected = h.pattern_rgb(0, 0, w, hgt)
        for name, fmt in (("shot.PNG", "PNG"), ("shot.Bmp", "BMP"), ("shot.jpg", "JPEG"),
                          ("shot.gif", "JPEG")):
            with self.subTest(name=name):
                target = self.s.dir / name
                code, records = self.save_through_dialog(h.winpath(target))
                self.assertEqual(code, 0)
                self.assertEqual(len(records), 1)
                self.assertEqual(records[0].code, 1524)
                self.assertEqual(records[0].wparam, 0)
                self.assertEqual(records[0].text, h.winpath(target))
                self.assertEqual(records[0].size, 2 * len(h.winpath(target)))
                image = h.read_image(target)
                self.assertEqual((image.format, image.width, image.height), (fmt, w, hgt))
                if fmt == "JPEG":
                    self.assertLess(h.mean_difference(image, expected), 8)
                else:
                    self.assertIsNone(h.first_difference(image, expected))

    def test_default_chinese_name_arrives_intact(self):
        # Enter accepts the proposed name in the folder the dialog opens in: the
        # worker's own folder, or the one Wine remembers from an earlier save.
        code, records = self.save_through_dialog("")
        self.assertEqual(code, 0)
        self.assertEqual(len(records), 1)
        path = records[0].text
        self.assertEqual(records[0].size, 2 * len(path))
        self.assertTrue(path.startswith("Z:\\"), path)
        folder, _, name = path.rpartition("\\")
        stem, _, ext = name.rpartition(".")
        self.assertRegex(stem, DEFAULT_NAME)
        saved = Path(path[2:].replace("\\", "/"))
        self.addCleanup(saved.unlink, missing_ok=True)
        self.assertTrue(saved.exists(), f"{saved} was written under the reported name")
        self.assertEqual(h.read_image(saved).format,
                         {"bmp": "BMP", "png": "PNG"}.get(ext.lower(), "JPEG"))

    def test_cancel_sends_nothing_and_writes_nothing(self):
        receiver = self.s.receiver()
        worker = self.s.worker("-tasktype", "screenfullscreentofile")
        h.cancel_save_dialog(h.wait_save_dialog(self.s))
        self.assertEqual(worker.wait(60), 0)
        self.assertEqual(receiver.records(), [])
        self.assertEqual(sorted(p.name for p in self.s.dir.iterdir()),
                         ["receiver.log", "windows.txt"])

    def save_to_locked_file(self, name):
        """Answers the dialog with a file another program holds open, accepts the
        replace prompt, and returns (worker, receiver, the failure message box)."""
        locked = self.s.dir / name
        ready = self.s.dir / "lock.ready"
        self.s.start(h.TESTTOOL, "lock", h.winpath(locked), h.winpath(ready))
        h.wait_until(ready.exists, what="the locked file")
        receiver = self.s.receiver()
        worker = self.s.worker("-tasktype", "screenfullscreentofile")
        h.answer_save_dialog(h.wait_save_dialog(self.s), h.winpath(locked))
        # The file exists, so the dialog first asks to replace it.
        prompt = self.s.wait_window("#32770", has_child_text="exists")
        h.mouse_move(*prompt.center)
        h.key("y")
        return worker, receiver, self.s.wait_window("#32770", title="保存失败")

    def test_a_failed_write_is_reported_and_the_dialog_offered_again(self):
        self.s.show_pattern()
        worker, receiver, failure = self.save_to_locked_file("locked.png")
        locked = self.s.dir / "locked.png"
        message = next(c.text for c in failure.children if c.cls == "Static" and c.text)
        self.assertIn(h.winpath(locked), message)
        self.assertEqual(receiver.records(), [], "nothing reported for a failed write")
        h.mouse_move(*failure.center)
        h.key("Return")

        again = self.s.dir / "again.png"
        h.answer_save_dialog(h.wait_save_dialog(self.s), h.winpath(again))
        self.assertEqual(worker.wait(60), 0)
        self.assertEqual([(r.code, r.text) for r in receiver.records()], [(1524, h.winpath(again))])
        w, hgt = h.screen_size()
        self.assertIsNone(h.first_difference(h.read_image(again), h.pattern_rgb(0, 0, w, hgt)))
        self.assertEqual(locked.stat().st_size, 0, "the locked file is untouched")

    def test_a_device_name_is_a_failed_write(self):
        # Each of these takes the picture and keeps nothing; the dialog also calls each an
        # existing file and asks to replace it.
        receiver = self.s.receiver()
        worker = self.s.worker("-tasktype", "screenfullscreentofile")
        for name in ("NUL.png", "CON"):
            with self.subTest(name=name):
                h.answer_save_dialog(h.wait_save_dialog(self.s), name)
                said = confirm_and_expect_failure(self.s, worker)
                self.assertIsNotNone(said, f"{name}: the worker ended as if saved")
                self.assertIn("无法保存截图到文件", said)
        h.cancel_save_dialog(h.wait_save_dialog(self.s))
        self.assertEqual(worker.wait(60), 0)
        self.assertEqual(receiver.records(), [])

    def test_a_silent_launcher_does_not_keep_the_task_alive(self):
        receiver = self.s.receiver(hang=True)
        worker = self.s.worker("-tasktype", "screenfullscreentofile")
        target = self.s.dir / "shot.png"
        h.answer_save_dialog(h.wait_save_dialog(self.s), h.winpath(target))
        h.wait_until(receiver.records, what="the result sent")
        try:
            code = worker.wait(h.SILENT_LAUNCHER_LIMIT)
        except subprocess.TimeoutExpired:
            self.fail(f"the worker still waits on the launcher after {h.SILENT_LAUNCHER_LIMIT} s")
        self.assertEqual(code, 0)
        self.assertEqual([(r.code, r.text) for r in receiver.records()], [(1524, h.winpath(target))])
        self.assertNotIn("#32770", receiver.shown()[0], "the save dialog gone before the send")

    def test_cancelling_the_second_dialog_ends_the_task_quietly(self):
        worker, receiver, failure = self.save_to_locked_file("locked.bmp")
        h.mouse_move(*failure.center)
        h.key("Return")
        h.cancel_save_dialog(h.wait_save_dialog(self.s))
        self.assertEqual(worker.wait(60), 0)
        self.assertEqual(receiver.records(), [])


class FullDisk(h.ScenarioTest):
    """Saving over existing pictures on a disk with no room left: a tmpfs of 1 MiB,
    filled up, as a drive of its own in the Wine prefix."""

    def setUp(self):
        super().setUp()
        if os.geteuid() != 0:
            self.skipTest("mounting a small disk needs root")
        if shutil.which("mount") is None:
            self.skipTest("no mount command")
        self.disk = self.s.dir / "disk"
        self.disk.mkdir()
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m,mode=0777", "kestrow-full",
                                  str(self.disk)], capture_output=True, text=True)
        if mounted.returncode != 0:
            self.skipTest(f"cannot mount a tmpfs here: {mounted.stderr.strip()}")
        # Lazily: a program killed at the end may still hold a file there.
        self.addCleanup(subprocess.run, ["umount", "-l", str(self.disk)], capture_output=True)
        dosdevices = Path(os.environ["WINEPREFIX"]) / "dosdevices"
        letter = next(c for c in "klmnopqrstuvwxy"
                      if not os.path.lexists(dosdevices / f"{c}:"))
        link = dosdevices / f"{letter}:"
        link.symlink_to(self.disk)
        self.addCleanup(link.unlink)
        self.drive = letter.upper() + ":"

        for name, fmt in (("shot.bmp", "BMP3"), ("shot.png", "PNG")):
            subprocess.run(["convert", "-size", "40x30", "gradient:red-blue", f"{fmt}:{self.disk / name}"],
                           check=True)
        self.before = {name: h.read_image(self.disk / name) for name in ("shot.bmp", "shot.png")}
        # Fill what is left, so that no picture fits whatever its compression.
        with open(self.disk / "filler", "wb", buffering=0) as filler:
            try:
                while True:
                    filler.write(b"\xff" * 4096)
            except OSError:
                pass

    def test_old_files_survive_a_save_that_does_not_fit(self):
        self.s.show_pattern()
        receiver = self.s.receiver()
        worker = self.s.worker("-tasktype", "screenfullscreentofile")
        for name in ("shot.bmp", "shot.png"):
            with self.subTest(name=name):
                target = f"{self.drive}\\{name}"
                h.answer_save_dialog(h.wait_save_dialog(self.s), target)
                said = confirm_and_expect_failure(self.s, worker)
                self.assertIsNotNone(said, "the worker ended as if saved")
                self.assertIn(target, said)
                self.assertEqual(sorted(p.name for p in self.disk.iterdir()),
                                 ["filler", "shot.bmp", "shot.png"], "no temporary file left")
                for kept, image in self.before.items():
                    try:
                        now = h.read_image(self.disk / kept)
                    except subprocess.CalledProcessError:
                        self.fail(f"{kept} no longer decodes")
                    self.assertEqual(now, image, f"{kept} is as it was")
        h.cancel_save_dialog(h.wait_save_dialog(self.s))
        self.assertEqual(worker.wait(60), 0)
        self.assertEqual(receiver.records(), [])

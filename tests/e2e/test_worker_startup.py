"""How Worker.exe starts: without a usable command line it hands over to the launcher."""
import shutil

from tests.e2e import harness as h


class WorkerStartup(h.ScenarioTest):
    def install(self, with_launcher):
        """Worker.exe in a folder of its own, beside a stand-in launcher if asked."""
        folder = self.s.dir / "app"
        folder.mkdir()
        shutil.copy2(h.BIN / "Worker.exe", folder / "Worker.exe")
        if with_launcher:
            shutil.copy2(h.STANDIN, folder / "KestrowCapture.exe")
        return folder

    def launcher_starts(self, folder):
        return h.wait_until(lambda: (folder / "KestrowCapture.log").exists() and
                            (folder / "KestrowCapture.log").read_text().splitlines(),
                            what="the launcher to start")

    def test_no_arguments_starts_the_launcher_from_its_own_folder(self):
        folder = self.install(with_launcher=True)
        self.assertEqual(self.s.run(folder / "Worker.exe", cwd=self.s.dir), 0)
        lines = self.launcher_starts(folder)
        self.assertEqual(len(lines), 1)
        self.assertIn("KestrowCapture.exe", lines[0])
        self.assertTrue(lines[0].rstrip().endswith(("KestrowCapture.exe", 'KestrowCapture.exe"')),
                        f"no parameters: {lines[0]!r}")

    def test_a_line_not_starting_with_tasktype_starts_the_launcher(self):
        folder = self.install(with_launcher=True)
        code = self.s.run(folder / "Worker.exe", "-trackwindow", "true", "-tasktype",
                          "screenfullscreentoclipboard")
        self.assertEqual(code, 0)
        self.launcher_starts(folder)

    def test_without_a_launcher_it_just_exits(self):
        folder = self.install(with_launcher=False)
        self.assertEqual(self.s.run(folder / "Worker.exe"), 0)
        self.assertEqual(sorted(p.name for p in folder.iterdir()), ["Worker.exe"])

    def test_task_words_ignore_case(self):
        self.s.show_pattern()
        self.s.clear_clipboard()
        self.assertEqual(self.s.worker("-TASKTYPE", "ScreenFullScreenToClipboard").wait(60), 0)
        self.assertIsNotNone(self.s.clipboard_bitmap())

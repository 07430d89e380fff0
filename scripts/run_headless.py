"""A whole-screen capture with nobody at the screen: run.sh uses it without an X display.

Shows the known test picture, runs the worker's whole-screen-to-file task, answers its
save dialog with real keys and prints the path of the image the worker reported.
"""
import time
from pathlib import Path

from tests.e2e import harness as h

OUT = h.ROOT / "build" / "captures"


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    target = OUT / time.strftime("capture-%Y%m%d-%H%M%S.png")
    with h.Session() as s:
        s.show_pattern()
        receiver = s.receiver()
        worker = s.worker("-tasktype", "screenfullscreentofile")
        h.answer_save_dialog(h.wait_save_dialog(s), h.winpath(target))
        code = worker.wait(60)
        saved = [r.text for r in receiver.records() if r.code == 1524]
    if code != 0 or not saved or not target.exists():
        raise SystemExit(f"The capture failed (worker exit code {code}).")
    image = h.read_image(target)
    print(f"Captured the {image.width}x{image.height} screen as {image.format}: {target}")


if __name__ == "__main__":
    main()

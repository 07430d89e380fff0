"""Kestrow Capture with nobody at the screen: run.sh uses it without an X display.

Starts the tray launcher beside the built worker, shows the known test picture, presses
the launcher's F2 hotkey (whole screen to a file), answers the worker's save dialog with
real keys, waits for the launcher's toast and prints the path of the image.
"""
import time

from tests.e2e import harness as h
from tests.e2e import launcher_env as env

OUT = h.ROOT / "build" / "captures"


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    target = OUT / time.strftime("capture-%Y%m%d-%H%M%S.png")
    with h.Session() as s:
        app = env.Launcher(s, worker="real")
        app.start_and_wait_for_icon()
        s.show_pattern()
        h.mouse_move(10, 10)  # hotkeys reach Wine while the pointer is over one of its windows
        h.key("F2")
        h.answer_save_dialog(h.wait_save_dialog(s), h.winpath(target))
        toast = app.wait_toast("屏幕已成功保存到文件", timeout=30)
    if not target.exists():
        raise SystemExit("The capture failed: no image was written.")
    image = h.read_image(target)
    print(f"Captured the {image.width}x{image.height} screen as {image.format}: {target}")
    print(f"The launcher's toast said: {toast['title']}")


if __name__ == "__main__":
    main()

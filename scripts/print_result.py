"""Prints the file a worker reported to the result window stand-in (run.sh)."""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from tests.e2e.harness import Receiver  # noqa: E402


def unix_path(windows_path):
    return windows_path[2:].replace("\\", "/") if windows_path[:2].upper() == "Z:" else windows_path


def main():
    records = [r for r in Receiver(sys.argv[1]).records() if r.code in (1524, 1525)]
    if records:
        print(f"Saved: {unix_path(records[-1].text)}")
    else:
        print("No image was saved.")


if __name__ == "__main__":
    main()

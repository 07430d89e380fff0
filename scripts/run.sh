#!/usr/bin/env bash
# Builds the programs and runs Kestrow Capture under Wine on your X display: the
# tray launcher starts and stays until "退出" is chosen from its tray menu.
# With no X display it starts a virtual one, has the launcher take a whole-screen
# capture to a file by its F2 hotkey, and prints the path of the image and the toast.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh --programs-only >/dev/null
source scripts/wine-env.sh

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  kestrow_prefix
  echo "Kestrow Capture is in the notification area (without a desktop shell, in Wine's"
  echo "tray window at the top left): click its icon for a region capture, right-click for"
  echo "the menu, or press Ctrl+Alt+J, F2, F4, Ctrl+Alt+S; choose 退出 to end it."
  wine "$KESTROW_WIN32_DIR/bin/KestrowCapture.exe" >/dev/null 2>&1 || true
else
  trap 'kestrow_stop_wineserver; kestrow_stop_xvfb' EXIT
  kestrow_start_xvfb 1024x768x24
  kestrow_prefix
  kestrow_start_wineserver
  python3 -m scripts.run_headless
fi

#!/usr/bin/env bash
# Builds the programs and runs Kestrow Capture under Wine on your X display.
# Until the tray launcher lands this is the whole-screen capture to a file: the
# save dialog opens, and the path of the saved image is printed at the end.
# With no X display it starts a virtual one, performs the capture by itself and
# prints the path of the image it produced.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh --programs-only >/dev/null
source scripts/wine-env.sh

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  kestrow_prefix
  log=$(mktemp -d)/results.log
  # Stands in for the launcher's result window, so the saved path can be shown.
  wine build/win32/tests/testtool.exe receiver "Z:${log//\//\\}" >/dev/null 2>&1 &
  receiver=$!
  trap 'kill $receiver 2>/dev/null || true' EXIT
  wine build/win32/bin/Worker.exe -tasktype screenfullscreentofile >/dev/null 2>&1 || true
  python3 scripts/print_result.py "$log"
else
  trap 'kestrow_stop_wineserver; kestrow_stop_xvfb' EXIT
  kestrow_start_xvfb 1024x768x24
  kestrow_prefix
  kestrow_start_wineserver
  python3 -m scripts.run_headless
fi

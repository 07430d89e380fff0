#!/usr/bin/env bash
# Prints the worker's PNG save of a 1920x1080 screen of the test picture and of a photo
# under Wine, against GDI+'s PNG encoder (the worker's PNG output before its own writer):
# file sizes and save times. Figures, not pass/fail. Builds first
# (scripts/build.sh --programs-only).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh --programs-only >/dev/null
export KESTROW_WINEPREFIX="${KESTROW_WINEPREFIX:-$PWD/build/wine/bench-prefix}"
source scripts/wine-env.sh
BENCH="$KESTROW_WIN32_DIR/bench/png_bench.exe"
work=$(mktemp -d)

cleanup() {
  kestrow_stop_wineserver
  kestrow_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

winpath() { echo "Z:${1//\//\\}"; }

kestrow_start_xvfb 1024x768x24
kestrow_prefix
kestrow_start_wineserver
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
wine "$BENCH" "$(winpath "$work/figures.txt")" "$(winpath "$work")" >/dev/null 2>&1 </dev/null || true
cat "$work/figures.txt"

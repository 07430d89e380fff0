#!/usr/bin/env bash
# Prints how long writing a 1920x20000 web page takes as BMP and as PNG under Wine, and
# the peak memory against one full-page bitmap. Figures, not pass/fail.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh --programs-only >/dev/null
export KESTROW_WINEPREFIX="${KESTROW_WINEPREFIX:-$PWD/build/wine/bench-prefix}"
source scripts/wine-env.sh
BENCH="$PWD/build/win32/bench/pagegrab_bench.exe"
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
# One process per format, so each peak is its own.
for format in bmp png; do
  wine "$BENCH" "$format" "$(winpath "$work/page.$format")" "$(winpath "$work/figures.txt")" \
    >/dev/null 2>&1 </dev/null || true
  rm -f "$work/page.$format"
done
cat "$work/figures.txt"

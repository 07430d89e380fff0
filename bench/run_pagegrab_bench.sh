#!/usr/bin/env bash
# Prints how long writing a 1920x20000 web page takes as BMP and as PNG under Wine, and
# the peak memory against one full-page bitmap. Figures, not pass/fail.
# KESTROW_BENCH_BEFORE may name another build's pagegrab_bench.exe (say, of the commit
# before a change), whose figures are printed first, from the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh --programs-only >/dev/null
export KESTROW_WINEPREFIX="${KESTROW_WINEPREFIX:-$PWD/build/wine/bench-prefix}"
source scripts/wine-env.sh
BENCH="$KESTROW_WIN32_DIR/bench/pagegrab_bench.exe"
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
run() {
  for format in bmp png; do
    wine "$1" "$format" "$(winpath "$work/page.$format")" "$(winpath "$work/$2")" \
      >/dev/null 2>&1 </dev/null || true
    rm -f "$work/page.$format"
  done
}
if [ -n "${KESTROW_BENCH_BEFORE:-}" ]; then
  run "$KESTROW_BENCH_BEFORE" before.txt
  sed 's/^/before: /' "$work/before.txt"
  run "$BENCH" figures.txt
  sed 's/^/after:  /' "$work/figures.txt"
else
  run "$BENCH" figures.txt
  cat "$work/figures.txt"
fi

#!/usr/bin/env bash
# Prints the PNG writer's figures under Wine: every compression level, zlib strategy and
# row filter on 1920x1080 pictures (what the writer's settings were chosen from), and the
# worker's PNG save of a test screen and a photo against GDI+'s PNG encoder. Figures,
# not pass/fail. Builds first (scripts/build.sh --programs-only).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh --programs-only >/dev/null
export KESTROW_WINEPREFIX="${KESTROW_WINEPREFIX:-$PWD/build/wine/bench-prefix}"
source scripts/wine-env.sh
BENCH="$PWD/build/win32/bench/png_bench.exe"
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
wine "$BENCH" worker "$(winpath "$work/figures.txt")" "$(winpath "$work")" >/dev/null 2>&1 </dev/null || true
if [ "${1:-}" != "--worker-only" ]; then
  wine "$BENCH" choose "$(winpath "$work/figures.txt")" >/dev/null 2>&1 </dev/null || true
fi
cat "$work/figures.txt"

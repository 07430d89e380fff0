#!/usr/bin/env bash
# Prints the region capture's speed and memory figures under Wine at 1920x1080 and
# 3840x2160, with the launcher running as a user has it: where the start of a region
# capture goes beside a trivial window, StartCapture, a repaint, resident memory, and
# the first selection's tool bar and the first save dialog of a new worker.
# Figures, not pass/fail. Builds first (scripts/build.sh --programs-only).
# KESTROW_BENCH_STARTS sets the number of starts timed per program (15),
# KESTROW_BENCH_FIRST_USES the number of new workers per way of first use (7; 0 skips
# them), KESTROW_BENCH_SIZES the screen sizes ("1920x1080 3840x2160").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh --programs-only >/dev/null
# A prefix of its own, so no wineserver of another run (or its display) is shared.
export KESTROW_WINEPREFIX="${KESTROW_WINEPREFIX:-$PWD/build/wine/bench-prefix}"
source scripts/wine-env.sh
BENCH="$KESTROW_WIN32_DIR/bench/capture_bench.exe"
WORKER="$KESTROW_WIN32_DIR/bin/Worker.exe"
TESTTOOL="$KESTROW_WIN32_DIR/tests/testtool.exe"
TRIVIAL="$KESTROW_WIN32_DIR/bench/trivial_window.exe"
LAUNCHER="$KESTROW_WIN32_DIR/bin/KestrowCapture.exe"
STARTS="${KESTROW_BENCH_STARTS:-15}"
# Each first use waits about 4 s for Wine's save dialog.
FIRST_USES="${KESTROW_BENCH_FIRST_USES:-7}"
work=$(mktemp -d)
worker_pid=""
pattern_pid=""
launcher_pid=""

cleanup() {
  [ -n "$worker_pid" ] && kill "$worker_pid" 2>/dev/null || true
  [ -n "$pattern_pid" ] && kill "$pattern_pid" 2>/dev/null || true
  [ -n "$launcher_pid" ] && kill "$launcher_pid" 2>/dev/null || true
  kestrow_stop_wineserver
  kestrow_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

winpath() { echo "Z:${1//\//\\}"; }

# The launcher's settings: no splash or balloon over the screen, and its update check
# and pings go to a loopback port nobody serves.
config="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Kestrow/KestrowCapture/appconfig.ini"

for size in ${KESTROW_BENCH_SIZES:-1920x1080 3840x2160}; do
  kestrow_start_xvfb "${size}x24"
  kestrow_prefix
  kestrow_start_wineserver
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  mkdir -p "$(dirname "$config")"
  printf '[config]\r\nshowstartupscreen=0\r\nshowballon=0\r\nservice_url=http://127.0.0.1:9\r\n' >"$config"
  wine "$LAUNCHER" >/dev/null 2>&1 </dev/null &
  launcher_pid=$!
  echo "== Xvfb ${size}"
  # A busy picture on screen, as a user would have.
  wine "$TESTTOOL" pattern "$(winpath "$work/ready")" >/dev/null 2>&1 </dev/null &
  pattern_pid=$!
  for _ in $(seq 1 200); do [ -f "$work/ready" ] && break; sleep 0.05; done

  rm -f "$work/figures.txt"
  wine "$BENCH" measure "$(winpath "$work/figures.txt")" >/dev/null 2>&1 </dev/null
  wine "$BENCH" firstpaint "$(winpath "$WORKER")" "$(winpath "$TRIVIAL")" "$(winpath "$work/figures.txt")" \
    "$STARTS" >/dev/null 2>&1 </dev/null
  if [ "$FIRST_USES" -gt 0 ]; then
    wine "$BENCH" firstuse "$(winpath "$WORKER")" "$(winpath "$work/figures.txt")" "$FIRST_USES" \
      >/dev/null 2>&1 </dev/null
  fi
  cat "$work/figures.txt"

  # Resident memory of the worker with the overlay up.
  xdotool mousemove 600 500
  wine "$WORKER" -tasktype screencapture >/dev/null 2>&1 </dev/null &
  worker_pid=$!
  wine "$BENCH" waitoverlay >/dev/null 2>&1 </dev/null
  sleep 1
  w=${size%x*}; h=${size#*x}
  frame_kib=$(( w * h * 4 / 1024 ))
  rss_kib=$(awk '/^VmRSS/ {print $2}' "/proc/$worker_pid/status")
  hwm_kib=$(awk '/^VmHWM/ {print $2}' "/proc/$worker_pid/status")
  awk -v rss="$rss_kib" -v hwm="$hwm_kib" -v frame="$frame_kib" 'BEGIN {
    printf "worker resident memory, overlay up        %8.1f MiB (peak %.1f MiB); 4 frames + 30 MiB = %.1f MiB\n",
      rss / 1024, hwm / 1024, (4 * frame + 30 * 1024) / 1024 }'
  kill "$worker_pid" 2>/dev/null || true
  wait "$worker_pid" 2>/dev/null || true
  worker_pid=""
  kill "$pattern_pid" 2>/dev/null || true
  wait "$pattern_pid" 2>/dev/null || true
  pattern_pid=""
  kill "$launcher_pid" 2>/dev/null || true
  wait "$launcher_pid" 2>/dev/null || true
  launcher_pid=""
  rm -f "$work/ready"
  kestrow_stop_wineserver
  kestrow_stop_xvfb
done

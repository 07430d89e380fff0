#!/usr/bin/env bash
# Prints the region capture's speed and memory figures under Wine at 1920x1080 and
# 3840x2160, with the launcher running as a user has it: where the start of a region
# capture goes beside a trivial window, StartCapture, a repaint, resident memory, and
# the first selection's tool bar and the first save dialog of a new worker; the launcher's
# hotkey to the first overlay pixel with the waiting worker and without it, and that
# worker's memory and processor time while it waits; a worker's memory once its
# capture is pinned; and under the last two, a trivial program's doing only that.
# Figures, not pass/fail. Builds first (scripts/build.sh --programs-only).
# KESTROW_BENCH_STARTS sets the number of starts timed per program (15; 0 skips them and
# the StartCapture figures),
# KESTROW_BENCH_FIRST_USES the number of new workers per way of first use (7; 0 skips
# them), KESTROW_BENCH_HOTKEYS the hotkey requests per setting (9), KESTROW_BENCH_SIZES
# the screen sizes ("1920x1080 3840x2160").
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

# The resident memory of the trivial program in mode $1 once it has settled: what any
# Wine program doing only that costs here, the floor under the worker's figures.
floor_mib() {
  wine "$TRIVIAL" "$1" >/dev/null 2>&1 </dev/null &
  local pid=$!
  sleep 4
  awk '/^VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$pid/status"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

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
  # Its workers inherit the start trace: the hotkey figures show where a request's time goes.
  KESTROW_START_TRACE="$(winpath "$work/hotkey-trace.txt")" wine "$LAUNCHER" >/dev/null 2>&1 </dev/null &
  launcher_pid=$!
  echo "== Xvfb ${size}"
  # A busy picture on screen, as a user would have.
  wine "$TESTTOOL" pattern "$(winpath "$work/ready")" >/dev/null 2>&1 </dev/null &
  pattern_pid=$!
  for _ in $(seq 1 200); do [ -f "$work/ready" ] && break; sleep 0.05; done

  rm -f "$work/figures.txt"
  if [ "$STARTS" -gt 0 ]; then
    wine "$BENCH" measure "$(winpath "$work/figures.txt")" >/dev/null 2>&1 </dev/null
    wine "$BENCH" firstpaint "$(winpath "$WORKER")" "$(winpath "$TRIVIAL")" "$(winpath "$work/figures.txt")" \
      "$STARTS" >/dev/null 2>&1 </dev/null
  fi
  # The launcher's waiting worker, told from other benches' by this prefix.
  standby_pid=""
  for _ in $(seq 1 100); do
    for p in $(pgrep -u "$(id -u)" -f -- '-standby [0-9]' || true); do
      if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then standby_pid=$p; fi
    done
    [ -n "$standby_pid" ] && break
    sleep 0.1
  done
  if [ -n "$standby_pid" ]; then
    sleep 3  # its start is over
    ticks() { awk '{print $14 + $15}' "/proc/$standby_pid/stat"; }
    switches() { cat /proc/"$standby_pid"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'; }
    t0=$(ticks); s0=$(switches)
    sleep 10
    t1=$(ticks); s1=$(switches)
    # Its own share besides: most resident pages are Wine's libraries, shared with the
    # launcher and every other Wine program.
    awk '/^Pss:/ {pss = $2} /^Private_(Clean|Dirty):/ {own += $2} END {
      printf "waiting worker own (private) memory       %8.1f MiB, proportional share %.1f MiB\n", own / 1024, pss / 1024 }' \
      "/proc/$standby_pid/smaps_rollup" >"$work/standby-share.txt"
    awk -v rss="$(awk '/^VmRSS/ {print $2}' "/proc/$standby_pid/status")" \
        -v threads="$(ls /proc/$standby_pid/task | wc -l)" -v dt=$((t1 - t0)) -v ds=$((s1 - s0)) \
        -v hz="$(getconf CLK_TCK)" 'BEGIN {
      printf "waiting worker resident memory            %8.1f MiB (goal <= 15 MiB)\n", rss / 1024
      printf "waiting worker over 10 s: %.2f s processor time, %d context switches in %d threads\n",
        dt / hz, ds, threads }' >>"$work/figures.txt"
    cat "$work/standby-share.txt" >>"$work/figures.txt"
    printf "%-42s%8s MiB\n" "trivial program: display open, waiting" "$(floor_mib wait)" >>"$work/figures.txt"
  else
    echo "no waiting worker found" >>"$work/figures.txt"
  fi
  wine "$BENCH" hotkey "$(winpath "$config")" "$(winpath "$work/figures.txt")" "${KESTROW_BENCH_HOTKEYS:-9}" \
    "$(winpath "$work/hotkey-trace.txt")" >/dev/null 2>&1 </dev/null
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
  # The same worker with an 800 x 600 region pinned (F3): all it keeps is the picture,
  # and one smooth copy while shrunk; enlarged it draws straight from the picture.
  rss() { awk '/^VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$worker_pid/status"; }
  xdotool mousemove 100 100 mousedown 1 mousemove 500 400 mousemove 900 700 mouseup 1
  sleep 0.5
  xdotool mousemove 1000 800 key F3
  if wine "$BENCH" waitpin >/dev/null 2>&1 </dev/null; then
    # Without a window manager Wine takes about 3 s to hide the overlay, and only then
    # is it destroyed with its frames.
    sleep 5
    pinned=$(rss)
    xdotool mousemove 500 400 click --repeat 70 --delay 20 4
    sleep 2
    enlarged=$(rss)
    xdotool click --repeat 79 --delay 20 5
    sleep 2
    printf "worker resident memory, 800x600 pinned    %8s MiB (goal <= 20 MiB); at 800 %% %s MiB, at 10 %% %s MiB\n" \
      "$pinned" "$enlarged" "$(rss)"
  else
    echo "no pinned picture appeared"
  fi
  kill "$worker_pid" 2>/dev/null || true
  wait "$worker_pid" 2>/dev/null || true
  worker_pid=""
  printf "%-42s%8s MiB\n" "trivial program: 800x600 picture shown" "$(floor_mib pin)"
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

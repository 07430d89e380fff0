#!/usr/bin/env bash
# Prints the launcher's resident memory and window count before, at the peak of and
# after a stream of 10,000 results (valid and malformed, with toasts and a paint
# stand-in) over about three minutes, and how long each send waited for its answer.
# Figures, not pass/fail. Usage: bench/run_launcher_soak.sh [RESULTS [SECONDS]]
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-10000}"
seconds="${2:-180}"
scripts/build.sh --programs-only >/dev/null
# A prefix of its own, so no wineserver of another run (or its display) is shared.
export KESTROW_WINEPREFIX="${KESTROW_WINEPREFIX:-$PWD/build/wine/bench-prefix}"
source scripts/wine-env.sh
SOAK="$KESTROW_WIN32_DIR/bench/launcher_soak.exe"
STANDIN="$KESTROW_WIN32_DIR/tests/standin.exe"
work=$(mktemp -d)
launcher_pid=""
sender_pid=""
paint="$WINEPREFIX/drive_c/windows/system32/mspaint.exe"

cleanup() {
  [ -n "$sender_pid" ] && kill "$sender_pid" 2>/dev/null || true
  [ -n "$launcher_pid" ] && kill "$launcher_pid" 2>/dev/null || true
  rm -f "$paint" "${paint%.exe}.log"
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

# The launcher beside stand-in workers, opening saved images in the paint stand-in.
mkdir -p "$work/app"
cp "$KESTROW_WIN32_DIR"/bin/KestrowCapture.exe "$work/app/"
cp "$STANDIN" "$work/app/Worker.exe"
cp "$STANDIN" "$paint"
rm -f "${paint%.exe}.log"
printf 'png' >"$work/saved.png"
config="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Kestrow/KestrowCapture/appconfig.ini"
mkdir -p "$(dirname "$config")"
printf '[config]\r\nauto_open_screencapture=1\r\nshowstartupscreen=0\r\n' >"$config"

(cd "$work/app" && exec wine "$work/app/KestrowCapture.exe" >/dev/null 2>&1 </dev/null) &
launcher_pid=$!
wine "$SOAK" wait >/dev/null 2>&1 </dev/null

rss() { awk '/^VmRSS/ {print $2}' "/proc/$launcher_pid/status"; }
windows() {
  wine "$SOAK" windows "$(winpath "$work/windows.txt")" >/dev/null 2>&1 </dev/null
  cat "$work/windows.txt"
}
sleep 2
before_rss=$(rss)
read -r before_windows before_toasts < <(windows)

wine "$SOAK" send "$count" "$seconds" "$(winpath "$work/saved.png")" "$(winpath "$work/send.txt")" \
  >/dev/null 2>&1 </dev/null &
sender_pid=$!
peak_rss=$before_rss
peak_windows=$before_windows
peak_toasts=$before_toasts
while kill -0 "$sender_pid" 2>/dev/null; do
  r=$(rss)
  [ "$r" -gt "$peak_rss" ] && peak_rss=$r
  read -r w t < <(windows)
  [ "$w" != "-" ] && [ "$w" -gt "$peak_windows" ] && peak_windows=$w
  [ "$t" != "-" ] && [ "$t" -gt "$peak_toasts" ] && peak_toasts=$t
  sleep 1
done
wait "$sender_pid" || true
sender_pid=""
# One toast's life (about 4.5 s) and some.
sleep 8
after_rss=$(rss)
read -r after_windows after_toasts < <(windows)
paints=$( [ -f "${paint%.exe}.log" ] && wc -l <"${paint%.exe}.log" || echo 0)

cat "$work/send.txt"
printf '%-42s%8s %8s %8s\n' "" before peak after
awk -v a="$before_rss" -v b="$peak_rss" -v c="$after_rss" \
  'BEGIN { printf "%-42s%8.1f %8.1f %8.1f MiB\n", "launcher resident memory", a / 1024, b / 1024, c / 1024 }'
printf '%-42s%8s %8s %8s\n' "launcher top-level windows" "$before_windows" "$peak_windows" "$after_windows"
printf '%-42s%8s %8s %8s\n' "of them toasts" "$before_toasts" "$peak_toasts" "$after_toasts"
echo "paint program started                     $paints times"

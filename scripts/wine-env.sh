# Sourced by run.sh and test.sh: the Wine prefix and the X display the programs run in.
# Shell functions only; nothing happens until they are called.

source "$(dirname "${BASH_SOURCE[0]}")/win-arch.sh"
if [ "$KESTROW_WIN_ARCH" = x86_64 ]; then
  export WINEPREFIX="${KESTROW_WINEPREFIX:-$KESTROW_ROOT/build/wine/prefix64}"
  export WINEARCH=win64
  # Debian's `wine` prefers the 32-bit loader whenever it is installed: put one first on
  # PATH that starts the 64-bit loader (wineboot and wine-stable go through it too).
  kestrow_shims="$KESTROW_ROOT/build/wine/bin64"
  mkdir -p "$kestrow_shims"
  for kestrow_shim in wine wine-stable; do
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' \
      >"$kestrow_shims/$kestrow_shim"
    chmod +x "$kestrow_shims/$kestrow_shim"
  done
  case ":$PATH:" in *":$kestrow_shims:"*) ;; *) export PATH="$kestrow_shims:$PATH" ;; esac
else
  export WINEPREFIX="${KESTROW_WINEPREFIX:-$KESTROW_ROOT/build/wine/prefix}"
  export WINEARCH=win32
fi
export WINEDEBUG=-all
# No Mono/Gecko download prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=C.UTF-8

# Bump when the prefix's contents below change, so old prefixes are rebuilt.
KESTROW_PREFIX_VERSION=1

kestrow_prefix() {
  local stamp="$WINEPREFIX/.kestrow-prefix-$KESTROW_PREFIX_VERSION"
  [ -f "$stamp" ] && return 0
  echo "wine: creating prefix $WINEPREFIX (once)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 || true
  # Debian's Wine has none of the Chinese faces the programs ask for; map them to WenQuanYi.
  local face
  for face in "宋体" "新宋体" "SimSun" "NSimSun" "微软雅黑" "Microsoft YaHei" "Tahoma"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
      /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  # A crash ends the process instead of waiting on winedbg's dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$stamp"
}

# Starts a private Xvfb and exports DISPLAY; its pid goes to KESTROW_XVFB_PID.
# Xvfb picks a free display number itself, so parallel runs never share one.
kestrow_start_xvfb() {
  local size="${1:-1024x768x24}" numfile i
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  KESTROW_XVFB_PID=$!
  for i in $(seq 1 200); do
    if [ -s "$numfile" ]; then
      export DISPLAY=":$(tr -d '[:space:]' <"$numfile")"
      rm -f "$numfile"
      return 0
    fi
    kill -0 "$KESTROW_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$numfile"
  echo "wine: could not start Xvfb" >&2
  return 1
}

kestrow_stop_xvfb() {
  [ -n "${KESTROW_XVFB_PID:-}" ] && kill "$KESTROW_XVFB_PID" 2>/dev/null || true
}

# A persistent wineserver makes each program start in a fraction of a second.
kestrow_start_wineserver() {
  wineserver -p >/dev/null 2>&1 || true
}

kestrow_stop_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
}

# Lanes for the display tests: each lane is an Xvfb, a Wine prefix and a wineserver of its
# own, so tests in different lanes never see each other's windows, clipboard or pointer.
# Most of a display test's time is spent waiting on windows, not computing, so two lanes
# nearly halve the suite on two cores. Lane 0 is the run's own prefix; the others get a
# fresh copy of it each run. Writes <dir>/<lane>.env (sourced by scripts/in-lane.sh) and
# <dir>/resources.json, CTest's resource file with one "display" per lane.
KESTROW_LANE_XVFB_PIDS=()
KESTROW_LANE_PREFIXES=()
kestrow_start_lanes() {
  local count="$1" dir="$2" size="${3:-1024x768x24}" i prefix ids=""
  rm -rf "$dir"
  mkdir -p "$dir"
  for ((i = 0; i < count; i++)); do
    prefix="$WINEPREFIX"
    if [ "$i" -gt 0 ]; then
      prefix="$(dirname "$WINEPREFIX")/lane-$i"
      rm -rf "$prefix"
      cp -a "$WINEPREFIX" "$prefix"
    fi
    kestrow_start_xvfb "$size" || return 1
    KESTROW_LANE_XVFB_PIDS+=("$KESTROW_XVFB_PID")
    KESTROW_LANE_PREFIXES+=("$prefix")
    printf 'export DISPLAY=%q WINEPREFIX=%q KESTROW_LANE=%d\n' "$DISPLAY" "$prefix" "$i" >"$dir/$i.env"
    # Start the lane's wineserver and Wine's background services now, with no pipe of
    # ctest's to inherit.
    (
      export WINEPREFIX="$prefix"
      wineserver -p >/dev/null 2>&1 || true
      wine cmd /c exit >/dev/null 2>&1 </dev/null || true
    )
    ids="$ids${ids:+,}{\"id\":\"$i\",\"slots\":1}"
  done
  printf '{"version":{"major":1,"minor":0},"local":[{"display":[%s]}]}\n' "$ids" >"$dir/resources.json"
}

kestrow_stop_lanes() {
  local prefix pid
  for prefix in "${KESTROW_LANE_PREFIXES[@]}"; do
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  done
  for pid in "${KESTROW_LANE_XVFB_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
}

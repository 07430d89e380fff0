#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, Windows tests under Wine
# and end-to-end scenarios in a private virtual display. Extra arguments go to ctest
# (for example: scripts/test.sh -R e2e.test_fullscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
source scripts/wine-env.sh

cleanup() {
  kestrow_stop_wineserver
  kestrow_stop_xvfb
}
trap cleanup EXIT

kestrow_start_xvfb 1024x768x24
kestrow_prefix
kestrow_start_wineserver
# Start Wine's background services now, with no pipe of ctest's to inherit.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

ctest --test-dir build/native --output-on-failure --timeout 900 -j2 "$@"

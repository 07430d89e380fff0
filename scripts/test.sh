#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, Windows tests under Wine
# and end-to-end scenarios in a private virtual display. Extra arguments go to ctest
# (for example: scripts/test.sh -R e2e.test_fullscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
source scripts/wine-env.sh

trap kestrow_stop_lanes EXIT

# Display tests run in KESTROW_TEST_LANES lanes (2 by default), beside the native tests
# and fuzz targets.
lanes=${KESTROW_TEST_LANES:-2}
kestrow_prefix
export KESTROW_LANES_DIR="$PWD/build/lanes"
kestrow_start_lanes "$lanes" "$KESTROW_LANES_DIR" 1024x768x24
# DISPLAY and WINEPREFIX of lane 0 for anything that runs outside a lane.
source "$KESTROW_LANES_DIR/0.env"

ctest --test-dir build/native --output-on-failure --timeout 900 -j$((lanes + 1)) \
  --resource-spec-file "$KESTROW_LANES_DIR/resources.json" "$@"

#!/usr/bin/env bash
# Runs one display test in the lane CTest gave it (scripts/test.sh makes the lanes): the
# lane's X display and Wine prefix. Run outside such a CTest, the command runs as it is.
set -euo pipefail
if [ -n "${CTEST_RESOURCE_GROUP_0_DISPLAY:-}" ] && [ -n "${KESTROW_LANES_DIR:-}" ]; then
  lane=${CTEST_RESOURCE_GROUP_0_DISPLAY#id:}
  lane=${lane%%,*}
  # shellcheck source=/dev/null
  . "$KESTROW_LANES_DIR/$lane.env"
fi
exec "$@"

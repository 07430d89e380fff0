#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan) into build/fuzz and runs each
# for SECONDS (default 60) from its seed corpus in tests/fuzz/corpus/<target>.
#   scripts/fuzz.sh [SECONDS]          build and run every target
#   scripts/fuzz.sh --build            build only
#   scripts/fuzz.sh --run TARGET SECS  run one target already built (CTest does this)
# New inputs go to build/fuzz/corpus/<target>, never into the tree; a crash leaves its
# input in build/fuzz/crashes/<target> and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_DIR=build/fuzz

build() {
  CC=clang CXX=clang++ cmake -S . -B "$FUZZ_DIR" -DKESTROW_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTROW_WERROR="${KESTROW_WERROR:-OFF}" >/dev/null
  cmake --build "$FUZZ_DIR" -j"$(nproc)" >/dev/null
}

run() {
  local target=$1 seconds=$2
  mkdir -p "$FUZZ_DIR/corpus/$target" "$FUZZ_DIR/crashes/$target" "$FUZZ_DIR/logs"
  local log="$FUZZ_DIR/logs/$target.txt"
  "$FUZZ_DIR/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$FUZZ_DIR/crashes/$target/" \
    "$FUZZ_DIR/corpus/$target" "tests/fuzz/corpus/$target" >"$log" 2>&1 || true
  grep -E '^(==|SUMMARY|INFO: Seed)|ERROR' "$log" || true
  # The run count, for the record: how much checking the time bought. None means the
  # target never ran (missing, or refused its corpus), which is no pass.
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz: $target ran ${runs:-no} inputs in $seconds s"
  [ -n "$runs" ] || { tail -5 "$log"; return 1; }
  # libFuzzer leaves an artifact for every crash, leak or time-out it finds.
  [ -z "$(ls -A "$FUZZ_DIR/crashes/$target")" ]
}

case "${1:-}" in
  --build) build ;;
  --run) run "$2" "$3" ;;
  *)
    seconds=${1:-60}
    build
    status=0
    for target in $(sed -n 's/^set(KESTROW_FUZZ_TARGETS \(.*\))$/\1/p' tests/fuzz/CMakeLists.txt); do
      echo "== $target ($seconds s)"
      run "$target" "$seconds" || { echo "$target: FOUND A FAULT (see $FUZZ_DIR/crashes/$target)"; status=1; }
    done
    exit $status
    ;;
esac

#!/usr/bin/env bash
# Prints the PNG writer's own figures, natively: pagegrab's 1920x20000 stand-in page
# (time, file size, peak memory) and every level, strategy and row filter on 1920x1080
# pictures, from which the writer's defaults were chosen. With a git revision as
# argument, that revision's writer encodes the page first, in the same run ("before").
# Figures, not pass/fail.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/bench-native
mkdir -p "$out"
flags=(-std=c++20 -O3 -DNDEBUG -I.)
g++ "${flags[@]}" bench/png_writer_bench.cpp common/png_writer.cpp -lz -o "$out/png_writer_bench"
if [ -n "${1:-}" ]; then
  before=$(mktemp -d)
  trap 'rm -rf "$before"' EXIT
  mkdir -p "$before/common"
  git show "$1:common/png_writer.h" >"$before/common/png_writer.h"
  git show "$1:common/png_writer.cpp" >"$before/common/png_writer.cpp"
  g++ "${flags[@]}" -DKESTROW_PAGE_ONLY -iquote "$before" bench/png_writer_bench.cpp \
    "$before/common/png_writer.cpp" -lz -o "$out/png_writer_bench_before"
  printf 'before (%s): ' "$1"
  "$out/png_writer_bench_before" page
  printf 'before (%s): ' "$1"
  "$out/png_writer_bench_before" pictures
  printf 'after:  '
  "$out/png_writer_bench" page
  printf 'after:  '
  "$out/png_writer_bench" pictures
else
  "$out/png_writer_bench" page
  "$out/png_writer_bench" pictures
fi
"$out/png_writer_bench" settings
"$out/png_writer_bench" floor

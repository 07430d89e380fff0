#!/usr/bin/env bash
# Builds the Windows programs into build/win32/bin, the fuzz targets into build/fuzz and
# the native tests into build/native.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DKESTROW_WERROR="${KESTROW_WERROR:-OFF}" >/dev/null
cmake --build build/win32 -j"$jobs"
if [ "${1:-}" != "--programs-only" ]; then
  scripts/fuzz.sh --build
  cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DKESTROW_WIN32_DIR="$PWD/build/win32" \
    -DKESTROW_FUZZ_DIR="$PWD/build/fuzz" -DKESTROW_WERROR="${KESTROW_WERROR:-OFF}" >/dev/null
  cmake --build build/native -j"$jobs"
fi

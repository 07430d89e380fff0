#!/usr/bin/env bash
# Builds the Windows programs into build/win32/bin, the fuzz targets into build/fuzz and
# the native tests into build/native.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
source scripts/win-arch.sh
[ "$KESTROW_WIN_ARCH" = x86_64 ] && echo "build: this machine cannot run 32-bit programs; building for x86_64 to test"
cmake -S . -B "$KESTROW_WIN32_DIR" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$KESTROW_WIN_ARCH.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKESTROW_WERROR="${KESTROW_WERROR:-OFF}" >/dev/null
cmake --build "$KESTROW_WIN32_DIR" -j"$jobs"
if [ "${1:-}" != "--programs-only" ]; then
  scripts/fuzz.sh --build
  cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DKESTROW_WIN32_DIR="$KESTROW_WIN32_DIR" \
    -DKESTROW_FUZZ_DIR="$PWD/build/fuzz" -DKESTROW_WERROR="${KESTROW_WERROR:-OFF}" >/dev/null
  cmake --build build/native -j"$jobs"
fi

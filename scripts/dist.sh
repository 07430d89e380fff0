#!/usr/bin/env bash
# Builds the programs in release form and writes what a user downloads to build/dist/:
#   KestrowCapture-<version>-setup.exe     the installer (NSIS)
#   KestrowCapture-<version>-portable.zip  the programs in one folder
# <version> comes from common/version.h. With --no-build it packages the programs
# that the last build holds (the test suite does that after its build; on a machine that
# cannot run 32-bit programs that is its 64-bit test build).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--no-build" ]; then
  # What users download is always the 32-bit build.
  export KESTROW_WIN_ARCH=i686
  unset KESTROW_WIN32_DIR
  scripts/setup.sh
  scripts/build.sh --programs-only
fi
source scripts/win-arch.sh

part() {
  sed -n "s/^#define KESTROW_VERSION_$1 \([0-9][0-9]*\)\$/\1/p" common/version.h
}
version="$(part MAJOR).$(part MINOR).$(part PATCH).$(part BUILD)"
if ! [[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "dist: no version in common/version.h" >&2
  exit 1
fi

bin="$KESTROW_WIN32_DIR/bin"
out=build/dist
stage="$out/stage/Kestrow Capture"
rm -rf "$out/stage"
mkdir -p "$stage"
for exe in KestrowCapture.exe Worker.exe; do
  if [ ! -f "$bin/$exe" ]; then
    echo "dist: $bin/$exe is missing; build first" >&2
    exit 1
  fi
  cp "$bin/$exe" "$stage/"
done
if [ -f "$bin/pagegrab.exe" ]; then
  cp "$bin/pagegrab.exe" "$stage/"
else
  echo "dist: pagegrab.exe is not built; the packages leave it out"
fi

setup="$out/KestrowCapture-$version-setup.exe"
zip="$out/KestrowCapture-$version-portable.zip"
rm -f "$setup" "$zip"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$PWD/$stage" \
  -DICON="$KESTROW_WIN32_DIR/art/kestrow.ico" -DOUTFILE="$PWD/$setup" dist/installer.nsi
python3 - "$out/stage" "$zip" <<'PY'
import sys, zipfile
from pathlib import Path
stage, target = Path(sys.argv[1]), sys.argv[2]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as z:
    for f in sorted(p for p in stage.rglob("*") if p.is_file()):
        z.write(f, f.relative_to(stage).as_posix())
PY
rm -rf "$out/stage"
echo "dist: $setup"
echo "dist: $zip"

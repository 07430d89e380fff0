# Sourced by build.sh and wine-env.sh: which Windows build the tests run.
# The programs ship as 32-bit. Some machines cannot start 32-bit programs at all (a kernel
# without 32-bit emulation: every i386 binary, Wine's loader included, fails with "Exec
# format error"). There the same sources are built for x86_64 and the tests run them
# under 64-bit Wine, so the Windows code is still exercised; what only the 32-bit build
# can show (the shipped packages) is skipped with a notice. KESTROW_WIN_ARCH forces one.
KESTROW_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ -z "${KESTROW_WIN_ARCH:-}" ]; then
  KESTROW_WIN_ARCH=i686
  if [ -e /lib/ld-linux.so.2 ] && ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    KESTROW_WIN_ARCH=x86_64
  fi
fi
export KESTROW_WIN_ARCH
if [ "$KESTROW_WIN_ARCH" = x86_64 ]; then
  export KESTROW_WIN32_DIR="${KESTROW_WIN32_DIR:-$KESTROW_ROOT/build/win64}"
else
  export KESTROW_WIN32_DIR="${KESTROW_WIN32_DIR:-$KESTROW_ROOT/build/win32}"
fi

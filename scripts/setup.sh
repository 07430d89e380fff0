#!/usr/bin/env bash
# Installs what building, running and testing need on a Debian 12 machine.
# Safe to run again: it only asks apt for packages that are missing.
set -euo pipefail

PACKAGES=(
  cmake make g++ python3 git
  g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  # The 64-bit build the tests fall back to where 32-bit programs cannot run.
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine32:i386 wine64
  xvfb xdotool x11-utils imagemagick
  # An X server that can place several monitors, and the 32-bit libraries through which
  # Wine sees them (without these it reports one big monitor at 0,0).
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  libxrandr2:i386 libxinerama1:i386 libxrender1:i386
  fonts-wqy-microhei
  googletest clang-format clang libclang-rt-14-dev
  libjsoncpp-dev dpkg-dev debian-archive-keyring openssl
  zlib1g-dev libz-mingw-w64-dev
  nsis
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  # A mirror caught mid-sync fails one index now and then (seen: the security archive's
  # i386 list): try again, and if it still fails, go on with what came.
  index_failed=0
  for try in 1 2 3; do
    if $SUDO apt-get update -q; then
      index_failed=0
      break
    fi
    index_failed=1
    sleep $((try * 5))
  done
  install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends)
  if ! $SUDO "${install[@]}" "${missing[@]}"; then
    [ "$index_failed" -eq 1 ] || exit 1
    # Without one architecture's security list, i386 and amd64 copies of a library cannot
    # agree on a version; take both from the release itself for this install only.
    echo "setup: an index was missing; installing with the security archive pinned low"
    pin=/etc/apt/preferences.d/kestrow-setup-security-low
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' | $SUDO tee "$pin" >/dev/null
    status=0
    $SUDO "${install[@]}" "${missing[@]}" || status=$?
    $SUDO rm -f "$pin"
    [ "$status" -eq 0 ] || exit "$status"
  fi
fi

# JsonCpp sources for the Windows build (the native build uses libjsoncpp-dev).
"$(dirname "$0")/fetch_jsoncpp.sh"

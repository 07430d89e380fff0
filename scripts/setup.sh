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
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# JsonCpp sources for the Windows build (the native build uses libjsoncpp-dev).
"$(dirname "$0")/fetch_jsoncpp.sh"

#!/usr/bin/env bash
# Fetches the pinned JsonCpp sources from Debian's source package into third_party/
# (ignored by git) for the Windows build. apt gets a private configuration under
# build/apt for this one fetch, so the machine's own apt set-up stays untouched; apt
# checks the signed index and the checksums of every file it downloads.
set -euo pipefail
cd "$(dirname "$0")/.."

JSONCPP_VERSION=1.9.5-4
DEST=third_party/jsoncpp
STAMP="$DEST/.kestrow-$JSONCPP_VERSION"
[ -f "$STAMP" ] && exit 0

APT_DIR="$PWD/build/apt"
mkdir -p "$APT_DIR/lists/partial" "$APT_DIR/cache/archives/partial" "$APT_DIR/etc/preferences.d"
# The source entry uses the mirror and release this machine already installs from.
. /etc/os-release
suite=${VERSION_CODENAME:-bookworm}
mirror=$(awk -v s="$suite" '/^URIs:/ { u = $2 } /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == s) { print u; exit } }' \
  /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
if [ -z "$mirror" ]; then
  mirror=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -n1)
fi
[ -n "$mirror" ] || { echo "setup: no Debian mirror configured for apt" >&2; exit 1; }
cat >"$APT_DIR/etc/sources.list" <<LIST
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main
LIST
APT_OPTS=(
  -o "Dir::Etc::SourceList=$APT_DIR/etc/sources.list"
  -o "Dir::Etc::SourceParts=/dev/null"
  -o "Dir::Etc::Preferences=/dev/null"
  -o "Dir::Etc::PreferencesParts=$APT_DIR/etc/preferences.d"
  -o "Dir::State::Lists=$APT_DIR/lists"
  -o "Dir::Cache=$APT_DIR/cache"
  -o "APT::Sandbox::User=root"
)
echo "setup: fetching JsonCpp $JSONCPP_VERSION sources"
apt-get "${APT_OPTS[@]}" -q update >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get "${APT_OPTS[@]}" -q source "libjsoncpp=$JSONCPP_VERSION" >/dev/null)
src=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'libjsoncpp-*' | head -n1)
[ -n "$src" ] || { echo "setup: JsonCpp sources not unpacked" >&2; exit 1; }
rm -rf "$DEST"
mkdir -p third_party
mv "$src" "$DEST"
touch "$STAMP"

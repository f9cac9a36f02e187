#!/usr/bin/env bash
# Rebuilds the pictures under resources/ (pictures/, glyphs/, skin/) from genera.cpp.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++20 -O1 -fPIC "$here/genera.cpp" -o "$tmp/genera" $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$tmp/genera" "$here/.."
echo "Pictures written under $(cd "$here/.." && pwd)"

#!/usr/bin/env bash
# Starts Sonaro under Xvfb on a demo catalogue and saves PNG screenshots of the main menu
# and the about box in <build>/screenshots/ (or the folder given as first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT="$(realpath -m "${1:-${BUILD_DIR:-build}/screenshots}")"
BIN="$PWD/${BUILD_DIR:-build}/bin"
if [ ! -x "$BIN/sonaro" ] || [ ! -x "$BIN/sonaro-catalogo" ]; then
  bash scripts/build.sh
fi
DEMO="$(mktemp -d)"
trap 'rm -rf "$DEMO"' EXIT
"$BIN/sonaro-catalogo" demo "$DEMO/catalogo" --cds 300 --seed 1 >/dev/null
mkdir -p "$OUT"
cd "$DEMO/catalogo"
timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" "$BIN/sonaro" --screenshot "$OUT"
ls -1 "$OUT"/principale.png "$OUT"/autore.png

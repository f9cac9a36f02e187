#!/usr/bin/env bash
# Installs what is missing, builds Sonaro, creates a demo catalogue in demo/ if there is
# none (with the licence text beside it), and starts the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
BIN="$PWD/${BUILD_DIR:-build}/bin"
if [ ! -f demo/archivio.db ]; then
  "$BIN/sonaro-catalogo" demo demo --cds 300 --seed 1
  echo "Demo catalogue created in $PWD/demo"
fi
# The about box's "Licenza" opens licenzaSonaro.txt from the current folder.
if [ ! -f demo/licenzaSonaro.txt ]; then
  cp resources/licenzaSonaro.txt demo/licenzaSonaro.txt
fi
if [ -x "$BIN/sonaro" ]; then
  cd demo && exec "$BIN/sonaro"
else
  echo "The main window is not built yet; the demo catalogue is ready in $PWD/demo"
fi

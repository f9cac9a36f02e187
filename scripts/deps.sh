#!/usr/bin/env bash
# Installs what building, running and testing Sonaro needs on Debian 12 (run as root).
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config
      qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
      libsqlite3-dev zlib1g-dev libgtest-dev googletest
      clang libclang-rt-14-dev
      xvfb xauth x11-apps imagemagick poppler-utils
      fonts-liberation fonts-dejavu-core
      gzip pigz time)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

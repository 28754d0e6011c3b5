#!/usr/bin/env bash
# Installs the Debian packages Orvanta needs to build, test, package and be looked at.
# Installs only what is missing; safe to run again. A tool may name more packages:
#   tools/install-deps.sh [PACKAGE ...]
set -euo pipefail
packages=(cmake g++ make ccache qt6-base-dev qt6-svg-dev qt6-translations-l10n libgtest-dev libbenchmark-dev
          libqt6sql6-sqlite libsqlite3-dev libssl-dev libboost-dev
          fonts-ipafont-gothic fonts-ipafont-mincho
          dpkg-dev desktop-file-utils lintian appstream
          xvfb x11-utils xdotool openbox imagemagick poppler-utils)
packages+=(python3)  # turns the user guide's pages into HTML at build time
packages+=("$@")  # and what a tool needs beside them
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, playing and testing Zarnovik need,
# skipping those already present. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-private-dev qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-liberation2
  xvfb xauth libxcb1-dev libfontconfig-dev
  at-spi2-core python3-pyatspi dbus
  orca speech-dispatcher speech-dispatcher-audio-plugins openbox
  clang libclang-rt-14-dev
  valgrind
  python3
  dpkg-dev fakeroot file lintian desktop-file-utils appstream diffoscope-minimal
  qt6-wayland weston
)
# The web page (scripts/web.sh) and its tests: the WebAssembly compiler, Node
# for the core tests, GoogleTest's sources, fontTools for the web fonts and a
# real browser driven by Selenium. Wanted with --web (the test and web
# scripts pass it) and in CI.
if [ "${1:-}" = "--web" ] || [ "${CI:-}" = "true" ]; then
  packages+=(emscripten nodejs googletest python3-fonttools chromium chromium-driver python3-selenium)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

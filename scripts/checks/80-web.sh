#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The web page: built with the "web" preset (the pictures drawn by the dev
# build's zarnovik-web-art), the core tests run on the WebAssembly build
# under Node, and two games played in headless Chromium, each replayed by
# zarnovik-sim from the page's recording (tests/web/play_page.py).
set -euo pipefail
cd "$(dirname "$0")/../.."

# Debian's emscripten runs its tools with node, which must find Debian's
# node modules (acorn).
export NODE_PATH="/usr/share/nodejs:/usr/lib/nodejs${NODE_PATH:+:$NODE_PATH}"
python=/usr/bin/python3
# emscripten fills its cache of system libraries on first use; where its
# packaged cache is not writable, a cache of our own.
if [ ! -w /usr/share/emscripten/cache ] && [ -z "${EM_CACHE:-}" ]; then
  export EM_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/emscripten"
  mkdir -p "$EM_CACHE"
  cp -rn /usr/share/emscripten/cache/. "$EM_CACHE"/ 2>/dev/null || true
fi
[ -x "$python" ] || python=python3

start=$SECONDS
cmake --build build --target zarnovik-web-art zarnovik-sim >/dev/null
cmake --preset web -DZRNV_WEB_ART_TOOL="$PWD/build/tools/zarnovik-web-art" >/dev/null
cmake --build --preset web
size=$(du -sb build-web/page | cut -f1)
echo "-- web build: $((SECONDS - start)) s; the page and its files: $size bytes"
# The page and everything it loads stay under 3 MB.
[ "$size" -lt $((3 * 1024 * 1024)) ] || { echo "the page is $size bytes, over 3 MB" >&2; exit 1; }

start=$SECONDS
ctest --preset web
echo "-- core tests under Node: $((SECONDS - start)) s"

start=$SECONDS
timeout 300 "$python" tests/web/play_page.py build-web/page build/tools/zarnovik-sim
echo "-- browser: $((SECONDS - start)) s"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the game's web page (the "web" preset, into build-web/page/) and
# serves it on a local port: open the address it prints in a browser.
#   bash scripts/web.sh [PORT]        (default 8615)
#   ZRNV_WEB_BUILD_ONLY=1 bash scripts/web.sh   builds without serving
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --web
# Debian's emscripten runs its tools with node; they find their modules
# (acorn) in Debian's node folders, which other builds of node do not search.
export NODE_PATH="/usr/share/nodejs:/usr/lib/nodejs${NODE_PATH:+:$NODE_PATH}"
# A first run fills emscripten's cache of system libraries; where its
# packaged cache is not writable, a cache of the user's own is used.
if [ ! -w /usr/share/emscripten/cache ] && [ -z "${EM_CACHE:-}" ]; then
  export EM_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/emscripten"
  mkdir -p "$EM_CACHE"
  cp -rn /usr/share/emscripten/cache/. "$EM_CACHE"/ 2>/dev/null || true
fi
cmake --workflow --preset web
page=build-web/page
echo "The page and its files: $(du -sh --apparent-size "$page" | cut -f1)B in $page"
[ -n "${ZRNV_WEB_BUILD_ONLY:-}" ] && exit 0
port="${1:-8615}"
echo "Play at http://localhost:$port/ (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$page"

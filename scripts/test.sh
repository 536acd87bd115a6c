#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen  # tests that draw need no display
ZRNV_CMAKE_ARGS="-DZRNV_WERROR=ON ${ZRNV_CMAKE_ARGS:-}" bash scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"

# Further checks, each a script of its own, in the order of their names.
for check in scripts/checks/*.sh; do
  [ -e "$check" ] || continue
  echo "== ${check#scripts/checks/}"
  bash "$check"
done

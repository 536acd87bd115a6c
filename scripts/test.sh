#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --web
cmake --workflow --preset dev

# Further checks, each a script of its own, in the order of their names.
for check in scripts/checks/*.sh; do
  [ -e "$check" ] || continue
  echo "== ${check#scripts/checks/}"
  bash "$check"
done

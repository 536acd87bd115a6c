#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The layers of the production code run one way (scripts/check_layers.py).
set -euo pipefail
cd "$(dirname "$0")/../.."

# First, that the check catches what it is for: a tree with an include
# upwards, Qt in the rules and a folder cycle must fail, naming each.
planted=$(mktemp -d)
trap 'rm -rf "$planted"' EXIT
mkdir -p "$planted"/{runtime,game,assets,window/qt}
printf '#include "game/machine.h"\n' >"$planted/runtime/form.cpp"
printf '#include <QString>\n#include "assets/catalogue.h"\n' >"$planted/game/rules.cpp"
printf '#include "game/rules.h"\n' >"$planted/assets/catalogue.h"
if out=$(python3 scripts/check_layers.py "$planted" 2>&1); then
  echo "the layer check passed a tree that breaks the order" >&2
  exit 1
fi
for expected in 'runtime/ includes "game/machine.h"' 'Qt header <QString> in game/' \
                'game/ includes "assets/catalogue.h"' 'folder cycle: assets -> game -> assets'; do
  grep -qF "$expected" <<<"$out" || { echo "the layer check missed: $expected" >&2; echo "$out" >&2; exit 1; }
done

python3 scripts/check_layers.py .

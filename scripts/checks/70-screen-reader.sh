#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One winning spin played through the accessibility interface alone, as a
# screen reader user plays it: on a display and a D-Bus session bus of its
# own, with the accessibility bus of at-spi2-core and pyatspi
# (tests/screen_reader/play_spin.py says what is checked, and prints what a
# reader heard). Then, on the same display, the game's window destroyed by
# another X client: the game must end with status 0
# (tests/x11/destroyed_from_outside.py).
set -euo pipefail
cd "$(dirname "$0")/../.."

# The system's python, which is the one with pyatspi.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

out=$(mktemp -d)
xvfb=""
cleanup() {
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$out"
}
trap cleanup EXIT

# A display of our own.
source scripts/checks/lib/xvfb.sh
start_xvfb "$out"

start=$SECONDS
# The session bus starts the accessibility bus when the reader first asks
# for it, and takes it down at the end.
timeout 300 dbus-run-session -- "$python" tests/screen_reader/play_spin.py \
  build/app/zarnovik build/tools/zarnovik-sim
echo "-- screen reader: $((SECONDS - start)) s"

start=$SECONDS
timeout 120 "$python" tests/x11/destroyed_from_outside.py build/app/zarnovik
echo "-- window destroyed from outside: $((SECONDS - start)) s"

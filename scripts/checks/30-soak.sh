#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two minutes of random play in the real window, offscreen: every rule of play
# checked after every event, no run-time error, and the resident memory flat
# after the first minute (tests/soak/soak.cpp says what is checked). The
# window's recording of what it delivered is then played by zarnovik-sim,
# which must end in the window's own final state.
set -euo pipefail
cd "$(dirname "$0")/../.."
export QT_QPA_PLATFORM=offscreen

start=$SECONDS
recording=build/tests/soak/soak-recording.sim
build/tests/soak/zarnovik-soak --seconds "${ZRNV_SOAK_SECONDS:-120}" --record "$recording" \
  | tee build/tests/soak/soak.log
window=$(sed -n 's/^final: //p' build/tests/soak/soak.log)
replayed=$(build/tools/zarnovik-sim <"$recording" | tail -n 1)
if grep -q 'recording not replayed' build/tests/soak/soak.log; then
  echo "-- soak: the window missed ticks; its recording cannot be replayed exactly" >&2
elif [ "$window" != "$replayed" ]; then
  echo "soak: zarnovik-sim <$recording ends in" >&2
  echo "  $replayed" >&2
  echo "the window in" >&2
  echo "  $window" >&2
  exit 1
else
  echo "-- soak: zarnovik-sim replays the window's $(wc -l <"$recording")-line recording to its final state"
fi
echo "-- soak: $((SECONDS - start)) s"

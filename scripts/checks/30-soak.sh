#!/usr/bin/env bash
# Two minutes of random play in the real window, offscreen: every rule of play
# checked after every event, no run-time error, and the resident memory flat
# after the first minute (tests/soak/soak.cpp says what is checked).
set -euo pipefail
cd "$(dirname "$0")/../.."
export QT_QPA_PLATFORM=offscreen

start=$SECONDS
build/tests/soak/zarnovik-soak --seconds "${ZRNV_SOAK_SECONDS:-120}"
echo "-- soak: $((SECONDS - start)) s"

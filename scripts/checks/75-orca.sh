#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A whole game heard through Orca, the screen reader, and played from the
# keyboard alone: Orca runs with its default settings under Xvfb, a window
# manager, a D-Bus session bus and the accessibility bus, its speech going
# to a silent sound device; tests/screen_reader/orca_game.py plays seed 15
# with keys and requires, in Orca's debug log, the welcome text, the coin's
# money, the reels, the prize of 5 rings, the money 120 after the transfer
# and the money after "Новая игра". Then seed 1007 to "Game Over!".
set -euo pipefail
cd "$(dirname "$0")/../.."

python=/usr/bin/python3
[ -x "$python" ] || python=python3
for tool in orca speech-dispatcher openbox Xvfb dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)" >&2; exit 1; }
done

out=$(mktemp -d)
xvfb=""
cleanup() {
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  # ZRNV_KEEP_LOGS=1 keeps Orca's logs for a look.
  if [ -n "${ZRNV_KEEP_LOGS:-}" ]; then echo "logs kept in $out"; else rm -rf "$out"; fi
}
trap cleanup EXIT

# A display of our own.
source scripts/checks/lib/xvfb.sh
start_xvfb "$out"

# One game inside a session bus of its own: a fresh home (Orca's default
# settings, speech-dispatcher's sockets), a null ALSA device so that speech
# is played into nothing instead of blocking, the window manager, Orca.
play() {
  local name=$1 seed=$2 coins=$3 dir="$out/$1"
  mkdir -p "$dir/home" "$dir/run"
  chmod 700 "$dir/run"
  printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$dir/home/.asoundrc"
  # speech-dispatcher, started by Orca, with its dummy voice played through
  # ALSA (its default output, PulseAudio, is not there).
  mkdir -p "$dir/home/.config/speech-dispatcher"
  printf 'AudioOutputMethod "alsa"\nAddModule "dummy" "sd_dummy"\nDefaultModule dummy\n' \
    >"$dir/home/.config/speech-dispatcher/speechd.conf"
  local start=$SECONDS status=0
  HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" XDG_CONFIG_HOME="$dir/home/.config" \
    timeout 300 dbus-run-session -- bash -c '
      set -u
      dir=$1; shift
      openbox >"$dir/openbox.log" 2>&1 &
      wm=$!
      orca --debug-file="$dir/orca.log" >"$dir/orca.out" 2>&1 &
      orca=$!
      status=0
      "$@" || status=$?
      # Orca ends on SIGTERM and writes the rest of its log; should it hang,
      # it is killed.
      kill "$orca" 2>/dev/null
      for _ in $(seq 50); do kill -0 "$orca" 2>/dev/null || break; sleep 0.2; done
      kill -9 "$orca" 2>/dev/null || true
      wait "$orca" 2>/dev/null
      kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null
      exit $status' _ "$dir" "$python" tests/screen_reader/orca_game.py play \
        build/app/zarnovik "$seed" "$coins" || status=$?
  # Orca has ended and its log is whole.
  [ "$status" -ne 0 ] || "$python" tests/screen_reader/orca_game.py heard \
    "$dir/orca.log" "$seed" "$coins" || status=$?
  echo "-- Orca, $name: $((SECONDS - start)) s"
  if [ "$status" -ne 0 ]; then
    echo "Orca's log: $dir/orca.log (last lines below)" >&2
    tail -n 40 "$dir/orca.log" >&2 || true
    return 1
  fi
}

play seed-15 15 1
[ "${1:-}" = "--short" ] || play game-over 1007 20

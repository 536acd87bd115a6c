#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's threads under ThreadSanitizer (CMakePresets.json, preset
# "tsan", in build-tsan/): the pictures drawn ahead on the picture service's
# thread (the window's art tests), the statistics' blocks on two threads, and
# the progress line beside them on a terminal. A data race fails it.
set -euo pipefail
cd "$(dirname "$0")/../.."

export TSAN_OPTIONS="halt_on_error=1:exitcode=66:second_deadlock_stack=1:suppressions=$PWD/tests/sanitizer/tsan.supp"
export QT_QPA_PLATFORM=offscreen

start=$SECONDS
cmake --preset tsan >/dev/null
cmake --build --preset tsan
echo "-- thread sanitizer build: $((SECONDS - start)) s"

sim=build-tsan/tools/zarnovik-sim
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The pictures drawn ahead while the window paints, and handed over.
build-tsan/tests/zarnovik_qt_tests --gtest_filter='ArtScale.*:ArtService.*:WindowHost.ASpinInRealTime'

# The statistics on two threads: the same figures as on one.
"$sim" --spins 200000 --seed 7 --threads 2 >"$tmp/two"
"$sim" --spins 200000 --seed 7 --threads 1 >"$tmp/one"
cmp "$tmp/one" "$tmp/two"

# The progress line is drawn only on a terminal: `script` gives the run one,
# long enough (ThreadSanitizer slows it) for the line to show.
script -qec "$sim --spins 1500000 --seed 7 --threads 2 >$tmp/shown" /dev/null >"$tmp/terminal"
grep -q "spins/s" "$tmp/terminal" || { echo "the progress line never showed"; exit 1; }
"$sim" --spins 1500000 --seed 7 --threads 1 >"$tmp/quiet"
cmp "$tmp/quiet" "$tmp/shown"
echo "-- thread sanitizer: clean"

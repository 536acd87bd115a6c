#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Valgrind's memcheck over the driver and over the window: no invalid read or
# write, no use of uninitialised memory, no block definitely lost.
set -euo pipefail
cd "$(dirname "$0")/../.."

# Only blocks definitely lost are shown and count as errors: a worker thread
# of Qt's still running at exit leaves its thread-local block "possibly lost".
memcheck() {
  valgrind -q --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --error-exitcode=1 --num-callers=40 --suppressions=tests/sanitizer/valgrind.supp "$@"
}

start=$SECONDS
# The driver: every scenario script, each to its own exit status ("#! exit N"
# in the script, 0 otherwise; a run-time error ends with 3, so the error
# path is checked too), then a run of two thousand spins.
for script in tests/scenarios/*.sim; do
  expected=$(sed -n 's/^#! exit //p' "$script")
  status=0
  memcheck build/tools/zarnovik-sim <"$script" >/dev/null || status=$?
  if [ "$status" != "${expected:-0}" ]; then
    echo "memcheck: zarnovik-sim <$script ended with status $status, expected ${expected:-0}" >&2
    exit 1
  fi
done
memcheck build/tools/zarnovik-sim --spins 2000 --seed 5 >/dev/null
echo "-- memcheck of the driver: $((SECONDS - start)) s"

start=$SECONDS
# The window, offscreen, played at random for twenty seconds (a handful of
# spins and wins at valgrind's pace). Under valgrind ticks come late and the
# resident size is valgrind's own, so only the rules of play are checked.
# Qt's regular expressions are compiled to machine code at run time, which
# memcheck cannot follow (it reports the code's own branches as reading unset
# memory); QT_ENABLE_REGEXP_JIT=0 has them interpreted instead.
QT_QPA_PLATFORM=offscreen QT_ENABLE_REGEXP_JIT=0 memcheck build/tests/soak/zarnovik-soak \
  --seconds 20 --lateness 60000 --rss-limit 0
echo "-- memcheck of the window: $((SECONDS - start)) s"

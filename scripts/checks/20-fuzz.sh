#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer target with clang (address and undefined-behaviour
# sanitizers) and fuzzes the game for about a minute, starting from the
# committed seed corpus. Fails on a broken rule, a crash, a leak or a hang; the
# failing input and the zarnovik-sim script that replays it are in the log.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build-fuzz  # the "fuzz" preset's
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# New inputs go to a scratch corpus; the committed seeds are only read.
work="$build/fuzz-run"
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
status=0
"$build/fuzz/zarnovik_fuzz" "$work/corpus" fuzz/corpus \
  -max_total_time="${ZRNV_FUZZ_SECONDS:-60}" -timeout=10 -rss_limit_mb=2048 -max_len=512 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" >"$work/log" 2>&1 || status=$?
grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$work/log" || true
if [ "$status" -ne 0 ]; then
  tail -n 80 "$work/log"
  echo "fuzzing failed (status $status); inputs kept in $work/artifacts" >&2
  exit 1
fi
echo "fuzzing found nothing"

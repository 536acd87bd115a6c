#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole test suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (CMakePresets.json, preset "asan", in build-asan/):
# a memory error, an undefined behaviour or a leak fails it.
set -euo pipefail
cd "$(dirname "$0")/../.."

start=$SECONDS
cmake --preset asan >/dev/null
cmake --build --preset asan
echo "-- sanitizer build: $((SECONDS - start)) s"

start=$SECONDS
ctest --preset asan
echo "-- sanitizer tests: $((SECONDS - start)) s"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file names its licence in an SPDX-License-Identifier line near
# its top (scripts/spdx.sh adds it where it is missing).
set -euo pipefail
cd "$(dirname "$0")/../.."
bash scripts/spdx.sh --check

#!/usr/bin/env bash
# The full soak: 20,000 frames (or the count given) through the product library with runtime faults,
# on the Linux build in build/linux. Usage: scripts/soak.sh [frames] [seed]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe="$root/build/linux/tests/effect/effect_tests"
[ -x "$exe" ] || { echo "soak: build first (scripts/test.sh, or cmake --build build/linux)" >&2; exit 1; }
. "$root/scripts/common.sh"
trap stop_private_display EXIT
start_private_display 90 140
UMBRAFEX_SOAK_FRAMES="${1:-20000}" UMBRAFEX_SOAK_SEED="${2:-7}" "$exe" --gtest_filter='SoakTest.*'

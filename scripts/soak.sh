#!/usr/bin/env bash
# The full soak: 20,000 frames (or the count given) through the product library with runtime faults,
# on the Linux build in build/linux. Usage: scripts/soak.sh [frames] [seed]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe="$root/build/linux/tests/reliability/reliability_tests"
[ -x "$exe" ] || { echo "soak: build first (scripts/test.sh, or cmake --build build/linux)" >&2; exit 1; }
xvfb_pid=""
trap '[ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true' EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then continue; fi
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    break
  done
fi
UMBRAFEX_SOAK_FRAMES="${1:-20000}" UMBRAFEX_SOAK_SEED="${2:-7}" "$exe" --gtest_filter='SoakTest.*'

#!/usr/bin/env bash
# Memcheck over the effect's main scenario: ffglhost drives the product library with the reference
# runtime laid out where the plug-in looks for NVIDIA's; a few small frames, so it stays quick.
# Usage: run_memcheck.sh FFGLHOST PLUGIN RUNTIME_DIR WORK_DIR SUPPRESSIONS
set -euo pipefail
host=$1 plugin=$2 runtime=$3 work=$4 suppressions=$5
vendor="$work/pf/NVIDIA Corporation/NVIDIA Video Effects"
rm -rf "$work" && mkdir -p "$vendor/models" "$work/frames"
cp "$runtime/libNVVideoEffects.so" "$runtime/libNVCVImage.so" "$runtime/libonnxruntime.so.1" "$vendor/"
# One llvmpipe thread: Mesa's workers only slow Valgrind down.
LP_NUM_THREADS=0 valgrind --error-exitcode=9 --leak-check=full --errors-for-leak-kinds=definite \
  --keep-debuginfo=yes --num-callers=40 --suppressions="$suppressions" \
  "$host" run "$plugin" --frames 6 --size 320x180 --out "$work/frames" \
  --env "ProgramFiles=$work/pf" --env "NV_VIDEO_EFFECTS_PATH=$vendor" >"$work/host.log" 2>"$work/memcheck.log" || {
    status=$?; tail -n 80 "$work/memcheck.log"; exit "$status"; }
grep -E "ERROR SUMMARY|definitely lost" "$work/memcheck.log"
# The run must have built the engine, not just passed frames through.
grep -q "charge (v2 async)" "$work/host.log" || { echo "memcheck: the engine was never built" >&2; cat "$work/host.log"; exit 1; }

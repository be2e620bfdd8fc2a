#!/bin/bash
# What "Stability" buys on the segmentation network: a still photograph with fresh sensor noise in every
# frame (no camera motion), the drawn matte ("Show Mask") with "Stability" 0 and 0.9, and the mean change
# of the matte from one frame to the next, after the first 10 frames (set-up and fade-in).
# Usage: bench/matte_stability.sh BUILD_DIR [PHOTO] [FRAMES]   (a display must be set: DISPLAY=:N)
set -euo pipefail
build=$(cd "${1:?build folder, e.g. build/linux}" && pwd)
photo=${2:-/usr/lib/python3/dist-packages/skimage/data/astronaut.png}
frames=${3:-40}
work=$build/bench/stability
vendor="$work/ProgramFiles/NVIDIA Corporation/NVIDIA Video Effects"
rm -rf "$work"
mkdir -p "$vendor/models"
cp "$build/runtime/libNVVideoEffects.so" "$build/runtime/libNVCVImage.so" "$build/runtime/libonnxruntime.so.1" "$vendor/"
cp "$build"/runtime/models/*.onnx "$vendor/models/"

declare -A change
for stability in 0 0.9; do
  "$build/host/ffglhost" run "$build/effect/libUmbrafex_TAVLEN.so" --scene "photo:$photo" --still \
    --frames "$frames" --set "Show Mask=1" --set "Stability=$stability" --out "$work/$stability" --no-progress \
    --env "ProgramFiles=$work/ProgramFiles" --env "NV_VIDEO_EFFECTS_PATH=$vendor" >"$work/$stability.log"
  change[$stability]=$("$build/bench/matte_change" "$work/$stability" 11 "$frames")
  echo "Stability $stability: the matte changes by ${change[$stability]} levels per pixel per frame"
done
awk -v a="${change[0]}" -v b="${change[0.9]}" 'BEGIN { printf "Stability 0 / 0.9: %.2f (goal: at least 3)\n", (b > 0 ? a / b : 0) }'

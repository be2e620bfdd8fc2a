#!/bin/bash
# Instructions executed inside the plug-in library per matte byte in steady state, counted by callgrind:
# two runs of ffglhost over the same 1920x1080 picture (work size 960x540), N1 and N2 frames; the
# difference divided by N2 - N1 frames and by 518400 bytes leaves the set-up out.
# Usage: bench/count_instructions.sh BUILD_DIR [N1 N2]   (a display must be set: DISPLAY=:N)
set -euo pipefail
build=$(cd "${1:?build folder, e.g. build/linux}" && pwd)
n1=${2:-10}
n2=${3:-40}
work=$build/bench/callgrind
vendor="$work/ProgramFiles/NVIDIA Corporation/NVIDIA Video Effects"
mkdir -p "$vendor/models" "$work/input"
cp "$build/runtime/libNVVideoEffects.so" "$build/runtime/libNVCVImage.so" "$vendor/"
host=("$build/host/ffglhost" run "$build/effect/libUmbrafex_TAVLEN.so"
      --env "ProgramFiles=$work/ProgramFiles" --env "NV_VIDEO_EFFECTS_PATH=$vendor")
# One picture of the presenter scene (the pass-through first frame), read once per run.
if [ ! -f "$work/input/frame_0001.png" ]; then
  "${host[@]}" --size 1920x1080 --frames 1 --out "$work/input" >/dev/null
fi

# Self cost of every function whose object is the plug-in, from callgrind's raw output.
plugin_cost() {
  awk '
    function object(text,   id, name) {
      id = text; sub(/^\(/, "", id); sub(/\).*/, "", id)
      name = text; sub(/^\([0-9]+\) ?/, "", name)
      if (name != "") names[id] = name
      return names[id]
    }
    /^ob=/  { current = object(substr($0, 4)); next }
    /^cob=/ { object(substr($0, 5)); next }
    /^calls=/ { skip = 1; next }
    /^[0-9+*-]/ { if (skip) { skip = 0; next } if (current ~ /libUmbrafex_TAVLEN\.so$/) total += $2; next }
    END { printf "%d\n", total }
  ' "$1"
}

count() {
  REFRT_MATTE=255 LP_NUM_THREADS=1 valgrind --tool=callgrind --callgrind-out-file="$work/frames_$1.out" \
    "${host[@]}" --input "$work/input/frame_0001.png" --frames "$1" >/dev/null 2>"$work/frames_$1.log"
  plugin_cost "$work/frames_$1.out"
}
i1=$(count "$n1")
i2=$(count "$n2")
awk -v i1="$i1" -v i2="$i2" -v n1="$n1" -v n2="$n2" 'BEGIN {
  per = (i2 - i1) / (n2 - n1)
  printf "plug-in instructions: %d over %d frames, %d over %d frames\n", i1, n1, i2, n2
  printf "per steady-state frame: %.0f; per matte byte (960x540 = 518400): %.4f\n", per, per / 518400 }'

#!/usr/bin/env bash
# The demo: the effect cutting real people out of three photographs with the reference runtime's
# segmentation network, each filmed as by a handheld camera, and cutting a generated presenter out of a
# green backdrop with its keyer. Writes the frames and a contact sheet of each under out/demo/ and prints
# their timing summaries.
# Usage: scripts/demo.sh [--windows] [ffglhost run options, e.g. --frames 120 --size 1280x720]
#   --windows   the Windows build (the DLL and ffglhost.exe) under Wine, into out/demo/windows/
# DEMO_BUILD=dir builds and runs from another build folder than build/linux (build/windows).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

windows=0
extra=()
for arg in "$@"; do
  if [ "$arg" = "--windows" ]; then windows=1; else extra+=("$arg"); fi
done

bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)
targets=(--target ffglhost Umbrafex_TAVLEN refrt_NVVideoEffects refrt_NVCVImage refrt_inference refrt_models)
if [ "$windows" = 1 ]; then
  build=${DEMO_BUILD:-build/windows}
  out=out/demo/windows
  [ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$build" -j"$jobs" "${targets[@]}"
  host="$build/host/ffglhost.exe"
  plugin="$build/effect/Umbrafex_TAVLEN.dll"
  runtime_files=("$build/runtime/NVVideoEffects.dll" "$build/runtime/NVCVImage.dll" "$build/runtime/onnxruntime.dll")
else
  build=${DEMO_BUILD:-build/linux}
  out=out/demo
  [ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j"$jobs" "${targets[@]}"
  host="$build/host/ffglhost"
  plugin="$build/effect/libUmbrafex_TAVLEN.so"
  runtime_files=("$build/runtime/libNVVideoEffects.so" "$build/runtime/libNVCVImage.so" "$build/runtime/libonnxruntime.so.1")
fi

# The runtime where the plug-in looks for the vendor's: "NVIDIA Corporation/NVIDIA Video Effects"
# under a ProgramFiles of the demo's own, ONNX Runtime's library and the notices beside it, the models
# folder inside it as in a real install, the models and their notices in it. A second folder with an
# empty models folder gives the keyer.
vendor="$out/ProgramFiles/NVIDIA Corporation/NVIDIA Video Effects"
keyer="$out/keyer"
rm -rf "$vendor" "$keyer" "$out/frames" "$out/contact_sheet.png"
mkdir -p "$vendor/models" "$keyer/models"
cp "${runtime_files[@]}" "$build/runtime/THIRD_PARTY_NOTICES.txt" "$vendor/"
cp "$build"/runtime/models/*.onnx "$build/runtime/models/THIRD_PARTY_NOTICES.txt" "$vendor/models/"

# A display for the GL context: ours only when none is given, and only ours is stopped.
. scripts/common.sh
trap stop_private_display EXIT
start_private_display 150 199

# A path as the host program takes it: absolute, and a Windows path under Wine.
absolute() { case $1 in /*) echo "$1" ;; *) echo "$root/$1" ;; esac; }
native() { absolute "$1"; }
run=("$host" run "$plugin")
if [ "$windows" = 1 ]; then
  use_private_wine
  # Wine sets ProgramFiles itself, so ffglhost sets the demo's in its own environment.
  native() { winepath -w "$(absolute "$1")" 2>/dev/null; }
  run=(wine "${run[@]}")
fi
pf=$(native "$out/ProgramFiles")

# One scene: its frames and contact sheet in out/demo/NAME/, the models' folder from MODELS_ROOT.
demo_scene() {
  local name=$1 models_root=$2
  shift 2
  rm -rf "${out:?}/$name"
  mkdir -p "$out/$name/frames"
  echo "demo: $name"
  "${run[@]}" "$@" --out "$out/$name/frames" --sheet "$out/$name/contact_sheet.png" \
    --env "ProgramFiles=$pf" --env "NV_VIDEO_EFFECTS_PATH=$(native "$models_root")" "${extra[@]}"
  echo
}

# Photographs of people that Debian packages ship (python3-skimage, opencv-doc), through the network:
# short handheld sequences.
skimage=/usr/lib/python3/dist-packages/skimage/data
demo_scene astronaut "$vendor" --scene "photo:$(native $skimage/astronaut.png)" --frames 30
demo_scene camera "$vendor" --scene "photo:$(native $skimage/camera.png)" --frames 30
demo_scene messi "$vendor" --scene "photo:$(native /usr/share/doc/opencv-doc/examples/data/messi5.jpg)" --frames 30
# The generated presenter in front of green, through the keyer.
demo_scene presenter "$keyer" --scene presenter

echo "demo: frames and contact sheets in $out/{astronaut,camera,messi,presenter}/"

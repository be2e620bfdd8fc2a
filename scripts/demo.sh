#!/usr/bin/env bash
# The demo: the effect cutting a generated presenter out of a green backdrop, with the reference
# runtime standing in for NVIDIA's. Writes the frames and a contact sheet under out/demo/ and prints
# the timing summary.
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
# under a ProgramFiles of the demo's own, with the models folder inside it as in a real install.
vendor="$out/ProgramFiles/NVIDIA Corporation/NVIDIA Video Effects"
rm -rf "$out/frames" "$out/contact_sheet.png" "$vendor"
mkdir -p "$vendor/models" "$out/frames"
# ONNX Runtime's library and the notices lie beside it; an empty models folder keeps the keyer.
cp "${runtime_files[@]}" "$build/runtime/THIRD_PARTY_NOTICES.txt" "$vendor/"

# A display for the GL context: ours only when none is given, and only ours is stopped.
. scripts/common.sh
trap stop_private_display EXIT
start_private_display 150 199

pf="$root/$out/ProgramFiles"
models_root="$root/$vendor"
run=("$host" run "$plugin" --scene presenter --out "$out/frames" --sheet "$out/contact_sheet.png")
if [ "$windows" = 1 ]; then
  use_private_wine
  # Wine sets ProgramFiles itself, so ffglhost sets the demo's in its own environment.
  pf=$(winepath -w "$pf" 2>/dev/null)
  models_root=$(winepath -w "$models_root" 2>/dev/null)
  run=(wine "${run[@]}")
fi
echo "demo: running $plugin on the presenter scene"
"${run[@]}" --env "ProgramFiles=$pf" --env "NV_VIDEO_EFFECTS_PATH=$models_root" "${extra[@]}"
echo
echo "demo: frames in $out/frames/, contact sheet $out/contact_sheet.png"

#!/usr/bin/env bash
# Installs what the build needs and prepares the sources of the libraries compiled into what we ship.
# Idempotent: a second run installs nothing and fetches nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/.deps"
mkdir -p "$deps"

packages=(cmake make g++ pkg-config googletest libgtest-dev libbenchmark-dev libglew-dev libglfw3-dev
          libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxi-dev libpng-dev libstb-dev xvfb xauth
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          binutils-mingw-w64-x86-64 wine wine64 dpkg-dev valgrind clang libclang-rt-14-dev clang-format zip libxml2-utils
          python3-onnx python3-numpy python3-skimage opencv-doc)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# npm may come with a Node.js of the machine's own; Debian's is only needed where there is none.
command -v npm >/dev/null 2>&1 || missing+=(npm)
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
updated=0
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -q
  updated=1
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

# Sources of libraries compiled into what we ship, from Debian's source packages at the version of
# the machine's own development package: GLEW for the Windows build, GLFW for the Linux ffglhost of
# its archive (Debian ships no static GLFW).
deb_src_ready=0
# fetch_source PACKAGE DEV_PACKAGE PROBE: unpacks PACKAGE's source under .deps unless PROBE (a glob
# below .deps) is there already.
fetch_source() {
  local package=$1 dev=$2 probe=$3 version
  if ls -d "$deps"/$probe >/dev/null 2>&1; then return 0; fi
  if [ "$deb_src_ready" = 0 ]; then
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
      src=/etc/apt/sources.list.d/debian.sources
      if [ -f "$src" ]; then
        sed 's/^Types: deb$/Types: deb-src/' "$src" | as_root tee /etc/apt/sources.list.d/umbrafex-deb-src.sources >/dev/null
      else
        grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee /etc/apt/sources.list.d/umbrafex-deb-src.list >/dev/null
      fi
      updated=0
    fi
    [ "$updated" = 1 ] || as_root apt-get update -q
    deb_src_ready=1
  fi
  version=$(dpkg-query -W -f='${source:Version}' "$dev")
  (cd "$deps" && apt-get source -q --download-only "$package=$version" >/dev/null &&
     dpkg-source -x --no-check "${package}_${version#*:}.dsc" >/dev/null 2>&1 || true)
  ls -d "$deps"/$probe >/dev/null 2>&1 || { echo "setup: could not unpack $package's source" >&2; exit 1; }
}
fetch_source glew libglew-dev 'glew-*/src/glew.c'
fetch_source glfw3 libglfw3-dev 'glfw3-*/src/x11_init.c'
# The segmentation network's parts, from npm at pinned versions: ONNX Runtime's native libraries (the
# package's install script fetches optional GPU parts from elsewhere, so it is not run) and the portrait
# model. The build converts the model and lays both out beside the reference runtime.
npm_root="$deps/npm"
npm_packages=(onnxruntime-node@1.30.0 @mediapipe/selfie_segmentation@0.1.1675465747)
npm_stamp="$npm_root/.installed"
if [ "$(cat "$npm_stamp" 2>/dev/null)" != "${npm_packages[*]}" ]; then
  mkdir -p "$npm_root"
  [ -f "$npm_root/package.json" ] || echo '{"private": true}' >"$npm_root/package.json"
  npm install --prefix "$npm_root" --ignore-scripts --no-audit --no-fund --save-exact "${npm_packages[@]}" >/dev/null
  echo "${npm_packages[*]}" >"$npm_stamp"
fi
for f in onnxruntime-node/bin/napi-v6/linux/x64/libonnxruntime.so.1 onnxruntime-node/bin/napi-v6/win32/x64/onnxruntime.dll \
         @mediapipe/selfie_segmentation/selfie_segmentation.tflite \
         @mediapipe/selfie_segmentation/selfie_segmentation_landscape.tflite; do
  [ -f "$npm_root/node_modules/$f" ] || { echo "setup: $f is missing from the npm packages" >&2; exit 1; }
done
echo "setup: ready (sources: $(ls -d "$deps"/glew-*/ | head -n1), $(ls -d "$deps"/glfw3-*/ | head -n1))"

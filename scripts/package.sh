#!/usr/bin/env bash
# The release archives, each with its checksum beside it (.sha256), in dist/:
#   Umbrafex_TAVLEN-<version>-windows-x64.zip  the effect and ffglhost.exe, INSTALL.txt, for VJs
#   ffglhost-<version>-windows-x64.zip         ffglhost.exe alone, README.txt, for plug-in makers
#   ffglhost-<version>-linux-x64.tar.gz        the same for Linux: GLEW and GLFW linked in
# The Windows binaries come from one Release tree built with MinGW-w64 (build/package), the Linux
# ffglhost from a portable Release tree (build/package-linux); neither needs the reference runtime.
# The same commit gives the same bytes in any folder at any time (scripts/check_reproducible.sh shows it).
# Usage: scripts/package.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)
release=(-DCMAKE_BUILD_TYPE=Release -DUMBRAFEX_TESTS=OFF -DUMBRAFEX_REFERENCE_RUNTIME=OFF)
cmake -S . -B build/package "${release[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/package -j"$jobs" --target release_archive host_archive
cmake -S . -B build/package-linux "${release[@]}" -DUMBRAFEX_PORTABLE_HOST=ON >/dev/null
cmake --build build/package-linux -j"$jobs" --target host_archive

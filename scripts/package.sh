#!/usr/bin/env bash
# The Windows release: builds the Release configuration of Umbrafex_TAVLEN.dll and ffglhost.exe with
# MinGW-w64 (build/package) and writes dist/Umbrafex_TAVLEN-<version>-windows-x64.zip with
# INSTALL.txt and SHA256SUMS, and its checksum beside it (.zip.sha256). The same commit gives the same
# bytes in any folder at any time (scripts/check_reproducible.sh shows it).
# Usage: scripts/package.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release -DUMBRAFEX_TESTS=OFF \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/package -j"$jobs" --target release_archive

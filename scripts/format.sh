#!/usr/bin/env bash
# Writes every tracked C and C++ file in the style of .clang-format, or with --check changes nothing
# and fails, naming the files, when one is not in that style (the conventions.format test runs it).
# Usage: scripts/format.sh [--check]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
  exec clang-format --dry-run -Werror "${files[@]}"
fi
clang-format -i "${files[@]}"

#!/usr/bin/env bash
# Builds both targets and runs every test: the Linux library natively, the Windows DLL under Wine.
# Usage: scripts/test.sh [extra ctest arguments, e.g. -R effect]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j"$jobs"
cmake -S . -B build/windows -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/windows -j"$jobs"

# A display for the GL tests: ours only when none is given, and only ours is stopped at the end.
xvfb_pid=""
cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
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

# A private Wine prefix, initialised once; one wineserver kept alive for the whole run. No Wine
# debugger: a crashing test must fail at once, not wait for its timeout.
export WINEPREFIX="$root/.wine" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test: initialising the Wine prefix (once)"
  wineboot --init >/dev/null 2>&1 || true
fi
wineserver -p >/dev/null 2>&1 || true  # already running is fine
# Start Wine's services and desktop here, not inside a test: a test would hand them its output
# pipes, and CTest would then wait for those long-lived processes to close them.
wineboot </dev/null >/dev/null 2>&1 || true

# One CTest run over both builds, so the output ends with one summary.
cat > build/CTestTestfile.cmake <<'EOT'
subdirs("linux" "windows")
EOT
cd build
ctest --output-on-failure -j"$jobs" "$@"

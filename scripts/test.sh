#!/usr/bin/env bash
# Builds both targets and runs every test: the Linux library natively, the Windows DLL under Wine,
# the release archives (scripts/package.sh) unpacked, the Windows ones under Wine, and built twice more
# to show them reproducible, the sanitizer build, a bounded fuzz run and Valgrind's memcheck. This is what CI runs.
# Usage: scripts/test.sh [--quick] [extra ctest arguments, e.g. -L effect or -R present], in any order
#   --quick   the inner loop: the Linux build and its tests only, without the slow ones (no Windows,
#             sanitizers, fuzzing, memcheck, tests labelled slow or the release archives' tests, labelled
#             release); under a minute from a warm build tree
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

quick=0
ctest_args=()
for arg in "$@"; do
  if [ "$arg" = "--quick" ]; then quick=1; else ctest_args+=("$arg"); fi
done
set -- "${ctest_args[@]}"

bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j"$jobs"

# A display for the GL tests (ours only when none is given, and only ours is stopped at the end).
. scripts/common.sh
cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  stop_private_display
}
trap cleanup EXIT
start_private_display 90 140

if [ "$quick" = 1 ]; then
  cd build/linux
  ctest --output-on-failure -j"$jobs" -LE 'memcheck|slow|release' "$@"
  exit
fi

cmake -S . -B build/windows -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/windows -j"$jobs"
# The release archives, from Release trees of their own; both builds' package tests check them.
bash scripts/package.sh
# Two clean clones of HEAD make byte-identical archives (each packaged from scratch, 2 to 3 minutes).
bash scripts/check_reproducible.sh
# AddressSanitizer + UndefinedBehaviorSanitizer over the Linux library, the runtime and the tests.
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUMBRAFEX_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j"$jobs"
# The plugMain fuzzer: clang's libFuzzer with ASan and UBSan.
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DUMBRAFEX_FUZZ=ON >/dev/null
cmake --build build/fuzz --target plugmain_fuzzer -j"$jobs"

# The private Wine prefix for the Windows tests.
use_private_wine

# The sanitizer build's tests, and the fuzzer below. Mesa's libraries are preloaded so that they stay
# loaded to the end and their own leaks, suppressed, are attributed to them.
gl_libs=/usr/lib/x86_64-linux-gnu
export SANITIZE_PRELOAD="$gl_libs/dri/swrast_dri.so $gl_libs/libGLX_mesa.so.0 $gl_libs/libGL.so.1 $gl_libs/libGLX.so.0"
export SANITIZE_LSAN="suppressions=$root/tests/support/lsan.supp:print_suppressions=0"
(
  export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1:verify_asan_link_order=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS="$SANITIZE_LSAN" LD_PRELOAD="$SANITIZE_PRELOAD"
  # Only the summary when all passed; the whole log, failures' output included, when not.
  cd build/sanitize
  if ctest --output-on-failure -j"$jobs" "$@" >ctest.log 2>&1; then
    tail -n 4 ctest.log
  else
    cat ctest.log
    exit 1
  fi
)

# A bounded fuzz run of plugMain from the committed seeds; new inputs are kept in build/fuzz/corpus.
echo "test: fuzzing plugMain for ${UMBRAFEX_FUZZ_SECONDS:-120} s"
mkdir -p build/fuzz/corpus
if ! ASAN_OPTIONS=allocator_may_return_null=1:verify_asan_link_order=0 LSAN_OPTIONS="$SANITIZE_LSAN" \
     LD_PRELOAD="$SANITIZE_PRELOAD" build/fuzz/tests/effect/plugmain_fuzzer -max_total_time="${UMBRAFEX_FUZZ_SECONDS:-120}" \
       -print_final_stats=1 -artifact_prefix=build/fuzz/ build/fuzz/corpus tests/effect/fuzz_corpus >build/fuzz/fuzz.log 2>&1; then
  tail -n 60 build/fuzz/fuzz.log
  echo "test: the fuzzer found a fault; the input is in build/fuzz/ (crash-*, leak-*, oom-*)" >&2
  exit 1
fi
grep -E 'DONE|stat::number_of_executed_units' build/fuzz/fuzz.log

# One CTest run over both builds, so the output ends with one summary.
cat > build/CTestTestfile.cmake <<'EOT'
subdirs("linux" "windows")
EOT
cd build
ctest --output-on-failure -j"$jobs" "$@"

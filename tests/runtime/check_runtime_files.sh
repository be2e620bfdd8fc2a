#!/usr/bin/env bash
# The built runtime files: exactly the expected exports; on Windows only system DLLs imported (and the
# image library by the effects library); on Linux SONAME, RUNPATH and self-binding.
# Usage: check_runtime_files.sh linux|windows IMAGE_LIBRARY EFFECTS_LIBRARY NOSTREAM_EFFECTS_LIBRARY
set -u
target=$1 image=$2 effects=$3 nostream=$4 status=0
fail() { echo "FAIL: $*"; status=1; }

exports_of() {
  if [ "$target" = windows ]; then
    x86_64-w64-mingw32-objdump -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && NF { print $NF }'
  else
    nm -D --defined-only "$1" | awk '$2 ~ /^[TtWi]$/ { print $3 }'
  fi | sort | tr '\n' ' '
}
expect_exports() {
  local want
  want=$(printf '%s\n' "${@:2}" | sort | tr '\n' ' ')
  [ "$(exports_of "$1")" = "$want" ] || fail "$1 exports [$(exports_of "$1")], expected [$want]"
}

vfx="NvVFX_CreateEffect NvVFX_CudaStreamDestroy NvVFX_DestroyEffect NvVFX_Load NvVFX_Run NvVFX_SetCudaStream
     NvVFX_SetImage NvVFX_SetString NvVFX_SetU32"
expect_exports "$image" NvCVImage_Alloc NvCVImage_Dealloc NvCVImage_Init NvCVImage_InitView NvCVImage_Transfer \
  NvCVImage_TransferRect NvCV_GetErrorStringFromCode RefRt_CountObjects RefRt_LiveObjects
expect_exports "$effects" $vfx NvVFX_CudaStreamCreate
expect_exports "$nostream" $vfx

if [ "$target" = windows ]; then
  for dll in "$image" "$effects" "$nostream"; do
    allowed='KERNEL32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]*'
    [ "$dll" = "$image" ] || allowed="$allowed|NVCVImage"
    bad=$(x86_64-w64-mingw32-objdump -p "$dll" | awk '/DLL Name:/ { print $3 }' | grep -viE "^($allowed)\.dll$")
    [ -z "$bad" ] || fail "$dll imports" $bad
  done
else
  readelf -d "$image" | grep -q 'Library soname: \[libNVCVImage.so\]' || fail "SONAME of $image"
  for so in "$effects" "$nostream"; do
    readelf -d "$so" | grep -q 'Shared library: \[libNVCVImage.so\]' || fail "$so does not need libNVCVImage.so"
    readelf -d "$so" | grep -q 'Library runpath: \[\$ORIGIN' || fail "RUNPATH of $so"
  done
  for so in "$image" "$effects" "$nostream"; do
    readelf -d "$so" | grep -q 'SYMBOLIC' || fail "$so does not bind its own symbols"
  done
fi
[ $status -eq 0 ] && echo "runtime files: ok"
exit $status

#!/bin/bash
# Checks a plug-in library's export table: plugMain, SetLogCallback, NvCV_GetErrorStringFromCode
# and the members of NvCVImage must be there, and nothing else may be (no forwarding function).
set -u
file="$1"
[ -f "$file" ] || { echo "$file does not exist"; exit 1; }
case "$file" in
	*.dll)
		names=$(x86_64-w64-mingw32-objdump -p "$file" |
			sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p') ;;
	*)
		# __bss_start, _edata and _end are the linker's own markers, not exports of ours.
		names=$(nm -D --defined-only "$file" | awk '$3 !~ /^(__bss_start|_edata|_end)$/ { print $3 }') ;;
esac

status=0
required=(
	plugMain
	SetLogCallback
	NvCV_GetErrorStringFromCode
	_ZN9NvCVImageC1Ev
	_ZN9NvCVImageC1Ejj21NvCVImage_PixelFormat23NvCVImage_ComponentTypejjj
	_ZN9NvCVImageC1EPS_iijj
	_ZN9NvCVImageD1Ev
	_ZN9NvCVImageaSERKS_
	_ZN9NvCVImage8copyFromEPKS_iiiijjP11CUstream_st
	_ZN9NvCVImage8copyFromEPKS_P11CUstream_st
)
for name in "${required[@]}"; do
	if ! grep -qx -- "$name" <<< "$names"; then
		echo "missing export: $name"
		status=1
	fi
done

allowed='^(plugMain|SetLogCallback|NvCV_GetErrorStringFromCode|_ZN9NvCVImage(C[12]|D[12]|aS|8copyFrom)E.*)$'
while read -r name; do
	[ -z "$name" ] && continue
	if ! grep -Eq "$allowed" <<< "$name"; then
		echo "unexpected export: $name"
		status=1
	fi
done <<< "$names"

[ $status -eq 0 ] && echo "exports of $file: $(wc -w <<< "$names") names, as expected"
exit $status

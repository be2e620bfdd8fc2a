#!/usr/bin/env bash
# Checks a built plug-in library as a host and a VJ's machine see it:
#   check_library.sh FILE --exports "a b c" [--only-exports] [--allowed-imports "KERNEL32.dll ..."]
# Every name of --exports must be exported, undecorated as given. With --only-exports nothing else
# may be. With --allowed-imports (Windows files only) every imported DLL must be in the list (any case).
# .so files are read with nm -D --defined-only, .dll and .exe files with x86_64-w64-mingw32-objdump -p.
set -u
# Names are words, never patterns: Microsoft's decorated names hold '?'.
set -f

usage()
{
	echo "usage: $0 FILE --exports \"names\" [--only-exports] [--allowed-imports \"dlls\"]" >&2
	exit 2
}

[ $# -ge 1 ] || usage
file=$1
shift
exports=""
only=0
allowed=""
check_imports=0
while [ $# -gt 0 ]; do
	case $1 in
		--exports) [ $# -ge 2 ] || usage; exports=$2; shift 2 ;;
		--only-exports) only=1; shift ;;
		--allowed-imports) [ $# -ge 2 ] || usage; allowed=$2; check_imports=1; shift 2 ;;
		*) usage ;;
	esac
done

if [ ! -f "$file" ]; then
	echo "FAIL: $file does not exist" >&2
	exit 1
fi

failed=0
imports=""
case $file in
	*.dll|*.DLL|*.exe|*.EXE)
		dump=$(x86_64-w64-mingw32-objdump -p "$file") || { echo "FAIL: objdump cannot read $file" >&2; exit 1; }
		# The name pointer table: lines "[   0] name" after its heading, up to the next blank line.
		found=$(printf '%s\n' "$dump" | awk '
			/\[Ordinal\/Name Pointer\] Table/ { inTable = 1; next }
			inTable && /^[[:space:]]*$/ { inTable = 0 }
			inTable && /\[ *[0-9]+\]/ { sub( /^.*\] */, "" ); print }')
		imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/ { print $3 }')
		;;
	*)
		if [ $check_imports -eq 1 ]; then
			echo "FAIL: --allowed-imports applies to Windows files only" >&2
			exit 2
		fi
		listing=$(nm -D --defined-only "$file") || { echo "FAIL: nm cannot read $file" >&2; exit 1; }
		# The linker's own markers (absolute, or the section bounds) are not exports of ours.
		found=$(printf '%s\n' "$listing" | awk 'NF >= 3 && $2 != "A" && $3 !~ /^(__bss_start|_edata|_end|_init|_fini)$/ { print $3 }')
		;;
esac

for name in $exports; do
	if ! printf '%s\n' "$found" | grep -qxF -- "$name"; then
		echo "FAIL: $name is not exported by $file" >&2
		failed=1
	fi
done

# Every line of $2 that is not in the word list $3 (compared without case when $4 is "nocase") is
# reported with the message $1.
reject_unlisted() {
	local message=$1 lines=$2 list=$3 nocase=${4:-} line word listed
	while IFS= read -r line; do
		[ -n "$line" ] || continue
		listed=0
		for word in $list; do
			if [ "$nocase" = nocase ]; then [ "${line,,}" = "${word,,}" ] && listed=1; else [ "$line" = "$word" ] && listed=1; fi
		done
		if [ $listed -eq 0 ]; then
			echo "FAIL: $file $message: $line" >&2
			failed=1
		fi
	done <<< "$lines"
}

[ $only -eq 0 ] || reject_unlisted "exports a name that is not in the list" "$found" "$exports"
[ $check_imports -eq 0 ] || reject_unlisted "imports a DLL that is not allowed" "$imports" "$allowed" nocase

if [ $failed -eq 0 ]; then
	echo "OK: $file"
	echo "exports:" $found
	[ -z "$imports" ] || echo "imports:" $imports
fi
exit $failed

#!/usr/bin/env bash
# The CI recipe of docs/check.md run as printed: its code block (the README's must be the same), only
# the plug-in's path put in, ffglhost on PATH, in an empty folder, on the test's display, by sh. It must
# pass and leave JSON that parses and JUnit XML that CI servers' readers take.
#   ci_recipe.sh DOCS README FFGLHOST PLUGIN XSD WORK
set -euo pipefail
docs=$1 readme=$2 host=$3 plugin=$4 xsd=$5 work=$6

# The first sh block after the line that opens "In CI" (a heading or a paragraph).
recipe() { awk '/^(#+ )?In CI/ { found = 1 } found && /^```sh$/ { inside = 1; next } inside && /^```$/ { exit } inside' "$1"; }
block=$(recipe "$docs")
[ -n "$block" ] || { echo "no sh block under \"In CI\" in $docs" >&2; exit 1; }
[ "$block" = "$(recipe "$readme")" ] || { echo "the README's CI recipe differs from $docs's" >&2; exit 1; }
case $block in *build/MyEffect.so*) ;; *) echo "the recipe names no build/MyEffect.so to replace" >&2; exit 1 ;; esac
block=${block//build\/MyEffect.so/$plugin}

rm -rf "$work" && mkdir -p "$work" && cd "$work"
echo "$block"
PATH="$(dirname "$host"):$PATH" sh -e -c "$block"
/usr/bin/python3 -m json.tool check.json >/dev/null
xmllint --noout --schema "$xsd" check.xml

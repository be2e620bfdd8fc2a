#!/usr/bin/env bash
# Shows that the release is reproducible: clones a commit twice, into folders of different names and
# depths, runs scripts/package.sh in each (one after the other, the second with another time zone and
# umask), and compares the two archives byte for byte; where they differ, it names the members that
# do. It also looks for the clones' paths in the built binaries. It builds the release twice from
# scratch: 1 to 2 minutes on 2 cores (more while they are busy); scripts/test.sh runs it.
# Usage: scripts/check_reproducible.sh [COMMIT]   (default HEAD; uncommitted changes are not in it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse --verify "${1:-HEAD}^{commit}")

work=$(mktemp -d "${TMPDIR:-/tmp}/umbrafex-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
first="$work/a"
second="$work/second-build/b"

# package_clone DIR: a fresh clone of the commit in DIR, packaged. GLEW's source, which setup.sh would
# fetch from Debian for each clone, is copied from this tree when it has it.
package_clone() {
  git clone -q --no-checkout "$root" "$1"
  git -C "$1" checkout -q --detach "$commit"
  glew=$(ls -d "$root"/.deps/glew-*/ 2>/dev/null | head -n1)
  if [ -n "$glew" ] && [ -f "$glew/src/glew.c" ]; then
    mkdir -p "$1/.deps"
    cp -R "$glew" "$1/.deps/"
  fi
  echo "reproducible: packaging $commit in $1"
  bash "$1/scripts/package.sh" >"$1.log" 2>&1 || { tail -n 40 "$1.log"; echo "reproducible: package.sh failed in $1" >&2; exit 1; }
}

package_clone "$first"
(umask 077; TZ=JST-9 package_clone "$second")

archive_a=$(ls "$first"/dist/*.zip)
archive_b=$(ls "$second"/dist/*.zip)
failed=0
for dir in "$first" "$second"; do
  if strings -a "$dir"/build/package/effect/*.dll "$dir"/build/package/host/*.exe | grep -F "$work"; then
    echo "reproducible: the binaries built in $dir hold a build path (above)" >&2
    failed=1
  fi
done
if cmp -s "$archive_a" "$archive_b"; then
  echo "reproducible: identical archives, sha256 $(sha256sum "$archive_a" | cut -d' ' -f1)"
else
  echo "reproducible: the archives differ" >&2
  mkdir "$work/unpacked_a" "$work/unpacked_b"
  (cd "$work/unpacked_a" && cmake -E tar xf "$archive_a")
  (cd "$work/unpacked_b" && cmake -E tar xf "$archive_b")
  for member in "$work"/unpacked_a/*; do
    name=$(basename "$member")
    if ! cmp -s "$member" "$work/unpacked_b/$name"; then
      echo "  $name differs in $(cmp -l "$member" "$work/unpacked_b/$name" 2>/dev/null | wc -l) bytes" >&2
    fi
  done
  failed=1
fi
exit $failed

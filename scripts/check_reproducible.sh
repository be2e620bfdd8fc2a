#!/usr/bin/env bash
# Shows that the release is reproducible: clones a commit twice, into folders of different names and
# depths, runs scripts/package.sh in each (one after the other, the second with another time zone and
# umask), and compares each archive of one with the other's byte for byte; where they differ, it names
# the members that do. It also looks for the clones' paths in the built binaries. It builds the
# release twice from scratch: 2 to 3 minutes on 2 cores (more while they are busy); scripts/test.sh
# runs it.
# Usage: scripts/check_reproducible.sh [COMMIT]   (default HEAD; uncommitted changes are not in it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse --verify "${1:-HEAD}^{commit}")

work=$(mktemp -d "${TMPDIR:-/tmp}/umbrafex-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
first="$work/a"
second="$work/second-build/b"

# package_clone DIR: a fresh clone of the commit in DIR, packaged. GLEW's and GLFW's sources, which
# setup.sh would fetch from Debian for each clone, are copied from this tree when it has them.
package_clone() {
  git clone -q --no-checkout "$root" "$1"
  git -C "$1" checkout -q --detach "$commit"
  for probe in glew-*/src/glew.c glfw3-*/src/x11_init.c; do
    source=$(ls -d "$root"/.deps/$probe 2>/dev/null | head -n1)
    if [ -n "$source" ]; then
      mkdir -p "$1/.deps"
      cp -R "${source%/src/*}" "$1/.deps/"
    fi
  done
  echo "reproducible: packaging $commit in $1"
  bash "$1/scripts/package.sh" >"$1.log" 2>&1 || { tail -n 40 "$1.log"; echo "reproducible: package.sh failed in $1" >&2; exit 1; }
}

package_clone "$first"
(umask 077; TZ=JST-9 package_clone "$second")

failed=0
for dir in "$first" "$second"; do
  if strings -a "$dir"/build/package/effect/*.dll "$dir"/build/package/host/*.exe "$dir"/build/package-linux/host/ffglhost |
     grep -F "$work"; then
    echo "reproducible: the binaries built in $dir hold a build path (above)" >&2
    failed=1
  fi
done
for archive_a in "$first"/dist/*.zip "$first"/dist/*.tar.gz; do
  name=$(basename "$archive_a")
  archive_b="$second/dist/$name"
  if cmp -s "$archive_a" "$archive_b"; then
    echo "reproducible: identical $name, sha256 $(sha256sum "$archive_a" | cut -d' ' -f1)"
    continue
  fi
  echo "reproducible: the two $name differ" >&2
  failed=1
  [ -f "$archive_b" ] || continue
  rm -rf "$work/unpacked_a" "$work/unpacked_b"
  mkdir "$work/unpacked_a" "$work/unpacked_b"
  (cd "$work/unpacked_a" && cmake -E tar xf "$archive_a")
  (cd "$work/unpacked_b" && cmake -E tar xf "$archive_b")
  differing=0
  while read -r member; do
    if ! cmp -s "$work/unpacked_a/$member" "$work/unpacked_b/$member"; then
      echo "  ${member#./} differs in $(cmp -l "$work/unpacked_a/$member" "$work/unpacked_b/$member" 2>/dev/null | wc -l) bytes" >&2
      differing=1
    fi
  done < <(cd "$work/unpacked_a" && find . -type f)
  [ $differing = 1 ] || echo "  the members agree: their dates, modes, owners or order differ" >&2
done
exit $failed

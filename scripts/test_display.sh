#!/usr/bin/env bash
# The X display of a plain ctest run without DISPLAY (scripts/test.sh sets one itself). CTest passes no
# environment from one test to another, so the display's number goes through a file in the build tree:
#   test_display.sh start FILE         the fixture's first test: unless DISPLAY is set, a private Xvfb on
#                                      the first free display from :90, its number and process in FILE
#   test_display.sh stop FILE          the fixture's last test: that Xvfb stopped, and no other
#   test_display.sh run FILE CMD ARGS  every test that needs a display: CMD with DISPLAY from FILE when
#                                      DISPLAY is unset
set -u
verb=$1 file=$2
shift 2

# The process is still the Xvfb of that display (never another process that took its number).
ours() {
  [ "$(tr '\0' ' ' <"/proc/$1/cmdline" 2>/dev/null | cut -d' ' -f1,2)" = "Xvfb :$2" ]
}

case "$verb" in
run)
  if [ -z "${DISPLAY:-}" ] && [ -r "$file" ]; then
    read -r number _ <"$file"
    export DISPLAY=":$number"
  fi
  exec "$@"
  ;;
start)
  rm -f "$file"
  [ -z "${DISPLAY:-}" ] || exit 0
  root=$(cd "$(dirname "$0")/.." && pwd)
  . "$root/scripts/common.sh"
  start_private_display 90 140 || exit 1
  number=${DISPLAY#:}
  echo "$number $xvfb_pid" >"$file"
  # An interrupted ctest runs no cleanup: a guard ends our Xvfb once ctest is gone.
  ctest_pid=$PPID
  (
    while kill -0 "$ctest_pid" 2>/dev/null && ours "$xvfb_pid" "$number"; do sleep 1; done
    if ours "$xvfb_pid" "$number"; then kill "$xvfb_pid"; fi
  ) </dev/null >/dev/null 2>&1 &
  echo "test_display: Xvfb on :$number for the tests"
  ;;
stop)
  [ -r "$file" ] || exit 0
  read -r number pid <"$file"
  rm -f "$file"
  if ours "$pid" "$number"; then
    kill "$pid"
    echo "test_display: Xvfb on :$number stopped"
  fi
  ;;
*)
  echo "usage: test_display.sh start|stop|run FILE [CMD ARGS...]" >&2
  exit 2
  ;;
esac

# Sourced by test.sh, demo.sh, soak.sh and the tests' display launcher: a private display when none is given, and
# the private Wine prefix.

xvfb_pid=""

# Starts Xvfb on the first free display number in [first, last] unless DISPLAY is set already. A number
# another server takes at the same moment is passed over: the lock file must name our Xvfb.
start_private_display() {
  [ -z "${DISPLAY:-}" ] || return 0
  local n
  for n in $(seq "$1" "$2"); do
    if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then continue; fi
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      if [ -e "/tmp/.X11-unix/X$n" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
      sleep 0.1
    done
    if [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$xvfb_pid" ]; then
      export DISPLAY=":$n"
      return 0
    fi
    stop_private_display
  done
  echo "no free X display in :$1 to :$2" >&2
  return 1
}

# Stops only the Xvfb that start_private_display started.
stop_private_display() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=""
}

# A private Wine prefix under the repository, initialised once, with one wineserver kept alive. No Wine
# debugger: a crashing program must fail at once. Wine's services are started here, not inside a test
# or the demo: they would inherit its output pipes, and whoever reads them would wait for them to close.
use_private_wine() {
  export WINEPREFIX="$root/.wine" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "initialising the Wine prefix (once)"
    wineboot --init >/dev/null 2>&1 || true
  fi
  wineserver -p >/dev/null 2>&1 || true  # already running is fine
  wineboot </dev/null >/dev/null 2>&1 || true
}

# Sourced by test.sh and demo.sh: a private display when none is given, and the private Wine prefix.

xvfb_pid=""

# Starts Xvfb on the first free display number in [first, last] unless DISPLAY is set already.
start_private_display() {
  [ -z "${DISPLAY:-}" ] || return 0
  local n
  for n in $(seq "$1" "$2"); do
    if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then continue; fi
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    return 0
  done
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

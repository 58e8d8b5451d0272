#!/usr/bin/env bash
# A virtual X server for Wine, so that no test ever needs a screen or a person.
#   xvfb.sh start [STATE_DIR]   starts Xvfb on a free display (or reuses the one
#                               this state folder already runs) and prints
#                               "export DISPLAY=:N"
#   xvfb.sh stop  [STATE_DIR]   stops the server this state folder started
# STATE_DIR defaults to build/run/ of this checkout; it holds xvfb.pid and
# xvfb.display.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:-}
state=${2:-$here/../build/run}
mkdir -p "$state"
state=$(cd "$state" && pwd)
pidfile=$state/xvfb.pid
dispfile=$state/xvfb.display

# True when PID is a live Xvfb: a recycled pid belonging to something else
# must never be reused or killed.
is_xvfb() {
  local pid=$1
  [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null &&
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]
}

start() {
  if [ -f "$pidfile" ] && [ -f "$dispfile" ] && is_xvfb "$(cat "$pidfile")"; then
    echo "export DISPLAY=:$(cat "$dispfile")"
    return 0
  fi
  rm -f "$pidfile" "$dispfile"
  local out=$state/xvfb.displayfd
  : >"$out"
  # -displayfd lets the server itself pick the first free display number and
  # report it once it accepts connections, so there is no race with other
  # servers on the machine and nothing to poll for but that line.
  setsid Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 \
    3>"$out" </dev/null >"$state/xvfb.log" 2>&1 &
  local pid=$!
  echo "$pid" >"$pidfile"
  local deadline=$((SECONDS + 20))
  while ! grep -qE '^[0-9]+$' "$out" 2>/dev/null; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "xvfb: Xvfb exited at start; see $state/xvfb.log" >&2
      rm -f "$pidfile"
      return 1
    fi
    if ((SECONDS >= deadline)); then
      echo "xvfb: no display reported within 20 s" >&2
      kill "$pid" 2>/dev/null || true
      rm -f "$pidfile"
      return 1
    fi
    sleep 0.05  # poll interval; the deadline bounds the wait
  done
  head -n1 "$out" >"$dispfile"
  rm -f "$out"
  echo "export DISPLAY=:$(cat "$dispfile")"
}

stop() {
  if [ -f "$pidfile" ]; then
    local pid
    pid=$(cat "$pidfile")
    if is_xvfb "$pid"; then
      kill "$pid"
      local deadline=$((SECONDS + 10))
      while kill -0 "$pid" 2>/dev/null && ((SECONDS < deadline)); do
        sleep 0.05  # poll interval; the deadline bounds the wait
      done
      kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null || true
    fi
  fi
  rm -f "$pidfile" "$dispfile" "$state/xvfb.displayfd"
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop [STATE_DIR]" >&2; exit 2 ;;
esac

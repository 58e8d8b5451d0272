#!/usr/bin/env bash
# The printer the end-to-end tests print to: a capture printer on a free
# loopback port behind a raw CUPS queue.
#   printer.sh start [STATE_DIR]   starts (or reuses) the capture printer and
#                                  cupsd, points the queue at the capture
#                                  printer and prints the env lines
#                                    export ORVOX_QUEUE=...
#                                    export ORVOX_CAPTURE_DIR=...
#   printer.sh stop  [STATE_DIR]   stops what start started
# STATE_DIR defaults to build/run/ of this checkout. The queue is named by
# ORVOX_QUEUE (default OrvoxCapture); it is left defined at stop, and a later
# start points it at the new capture printer.
#
# cupsd is shared by everything on the machine: a running one is reused. One
# that an Orvox script started is stopped by the last Orvox user of it and never
# by anyone else; one started otherwise is never stopped.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:-}
state=${2:-$here/../build/run}
mkdir -p "$state"
state=$(cd "$state" && pwd)
queue=${ORVOX_QUEUE:-OrvoxCapture}
capdir=$state/capture
cap_pidfile=$state/capture-printer.pid
cap_portfile=$state/capture-printer.port
cap_queuefile=$state/capture-printer.queue

# Machine-wide bookkeeping of the cupsd an Orvox script started and of who uses it.
shared=${ORVOX_CUPS_STATE:-/tmp/orvox-cupsd}
cupsd_pidfile=$shared/cupsd.pid
users=$shared/users
cups_socket=/run/cups/cups.sock

log() { echo "printer: $*" >&2; }

poll() { sleep 0.05; }  # poll interval of the waits below; each has a deadline

# A pid in a file is trusted only while it still names the expected program,
# so a recycled pid is never reused or killed.
pid_is() {
  local pid=$1 what=$2
  [[ "$pid" =~ ^[0-9]+$ ]] && kill -0 "$pid" 2>/dev/null || return 1
  tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q -- "$what"
}

stop_pid() {
  local pid=$1 deadline=$((SECONDS + 10))
  kill "$pid" 2>/dev/null || return 0
  while kill -0 "$pid" 2>/dev/null; do
    if ((SECONDS >= deadline)); then
      kill -KILL "$pid" 2>/dev/null || true
      break
    fi
    poll
  done
}

scheduler_up() {
  lpstat -r 2>/dev/null | grep -q 'scheduler is running'
}

start_capture() {
  if [ -f "$cap_pidfile" ] && [ -f "$cap_portfile" ] &&
    pid_is "$(cat "$cap_pidfile")" capture-printer.py; then
    return 0
  fi
  rm -f "$cap_pidfile" "$cap_portfile"
  # A new capture printer starts with an empty folder; the previous run's jobs
  # stay until then, for whoever looks into a failure.
  mkdir -p "$capdir"
  rm -f "$capdir"/job-*.bin "$capdir"/.job-*.part
  setsid python3 "$here/capture-printer.py" --dir "$capdir" --port-file "$cap_portfile" \
    </dev/null >>"$state/capture-printer.log" 2>&1 &
  local pid=$! deadline=$((SECONDS + 20))
  echo "$pid" >"$cap_pidfile"
  until [ -s "$cap_portfile" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      log "capture printer exited at start; see $state/capture-printer.log"
      return 1
    fi
    if ((SECONDS >= deadline)); then
      log "capture printer reported no port within 20 s"
      stop_pid "$pid"
      return 1
    fi
    poll
  done
}

# Our cupsd listens on the local socket only and neither browses nor serves a
# web interface; everything else (policies, access) is the system's. cupsd takes
# the folder of its configuration file as its server root, so the queues it
# defines live under $shared and never touch /etc/cups.
write_cupsd_conf() {
  local conf=$1
  {
    echo "# Written by tools/printer.sh: local socket only, no browsing."
    echo "Listen $cups_socket"
    echo "Browsing No"
    echo "WebInterface No"
    sed -E '/^[[:space:]]*(Listen|Port|SSLListen|SSLPort|Browsing|BrowseLocalProtocols|BrowseAddress|IdleExitTimeout|WebInterface)([[:space:]]|$)/d' \
      /etc/cups/cupsd.conf
  } >"$conf.tmp"
  mv "$conf.tmp" "$conf"
}

start_cupsd() {
  mkdir -p "$users"
  exec 9>"$shared/lock"
  flock -w 60 9 || { log "could not lock $shared/lock"; return 1; }
  # Registered under the capture printer's pid: a user that died without stop
  # is recognised as gone and does not hold cupsd forever.
  echo "$state" >"$users/$(cat "$cap_pidfile")"
  if ! scheduler_up; then
    if pgrep -x cupsd >/dev/null; then
      log "a cupsd runs but does not answer on $cups_socket"
      flock -u 9
      return 1
    fi
    local conf=$shared/cupsd.conf
    write_cupsd_conf "$conf"
    mkdir -p "$(dirname "$cups_socket")"
    setsid cupsd -f -c "$conf" -s /etc/cups/cups-files.conf \
      </dev/null >>"$shared/cupsd.log" 2>&1 &
    local pid=$! deadline=$((SECONDS + 30))
    echo "$pid" >"$cupsd_pidfile"
    until scheduler_up; do
      if ! kill -0 "$pid" 2>/dev/null; then
        log "cupsd exited at start; see $shared/cupsd.log and /var/log/cups/error_log"
        rm -f "$cupsd_pidfile"
        flock -u 9
        return 1
      fi
      if ((SECONDS >= deadline)); then
        log "cupsd did not answer within 30 s"
        stop_pid "$pid"
        rm -f "$cupsd_pidfile"
        flock -u 9
        return 1
      fi
      poll
    done
  fi
  flock -u 9
}

setup_queue() {
  local port uri
  port=$(cat "$cap_portfile")
  uri="socket://127.0.0.1:$port"
  # Two runs pointing one queue at their own capture printers would each catch
  # the other's jobs; refuse rather than let both fail at random.
  local f other
  for f in "$users"/*; do
    [ -e "$f" ] || continue
    other=$(cat "$f")
    if [ "$other" != "$state" ] && pid_is "$(basename "$f")" capture-printer.py &&
      [ "$(cat "$other/capture-printer.queue" 2>/dev/null)" = "$queue" ]; then
      log "queue $queue is in use by the run in $other; set ORVOX_QUEUE to another name"
      return 1
    fi
  done
  # Jobs left over from an earlier run would otherwise be retried into this
  # run's capture folder and be taken for this run's output.
  cancel -a "$queue" 2>/dev/null || true
  # No model (-m) makes a raw queue: the bytes reach the device unfiltered.
  lpadmin -p "$queue" -E -v "$uri" -o printer-error-policy=abort-job
  cupsenable "$queue"
  cupsaccept "$queue"
  echo "$queue" >"$cap_queuefile"
  local got
  got=$(lpstat -v "$queue" 2>/dev/null | sed -n 's/^.*: //p')
  if [ "$got" != "$uri" ]; then
    log "queue $queue has device '$got', expected '$uri'"
    return 1
  fi
}

start() {
  start_capture
  start_cupsd
  setup_queue
  echo "export ORVOX_QUEUE=$queue"
  echo "export ORVOX_CAPTURE_DIR=$capdir"
}

stop() {
  local cap_pid=""
  if [ -f "$cap_pidfile" ]; then
    cap_pid=$(cat "$cap_pidfile")
    if pid_is "$cap_pid" capture-printer.py; then
      stop_pid "$cap_pid"
    fi
  fi
  rm -f "$cap_pidfile" "$cap_portfile" "$cap_queuefile"
  [ -d "$users" ] || return 0
  exec 9>"$shared/lock"
  flock -w 60 9 || { log "could not lock $shared/lock"; return 1; }
  [ -n "$cap_pid" ] && rm -f "$users/$cap_pid"
  local f
  for f in "$users"/*; do
    [ -e "$f" ] || continue
    pid_is "$(basename "$f")" capture-printer.py || rm -f "$f"
  done
  if [ -z "$(ls -A "$users")" ] && [ -f "$cupsd_pidfile" ]; then
    local pid
    pid=$(cat "$cupsd_pidfile")
    if pid_is "$pid" "cupsd -f -c $shared/cupsd.conf"; then
      stop_pid "$pid"
    fi
    rm -f "$cupsd_pidfile"
  fi
  flock -u 9
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop [STATE_DIR]" >&2; exit 2 ;;
esac

#!/usr/bin/env bash
# Runs a command with IPP test printers up:
#   ipp-env.sh COMMAND [ARGS...]
# Starts what the printers need and did not run yet (a system D-Bus, then the
# DNS-SD daemon), then two ippeveprinter printers on 127.0.0.1:
#   ORVOX_IPP_URI, ORVOX_IPP_CAPTURE_DIR              port ORVOX_IPP_PORT (8641), attributes ORVOX_IPP_CONF
#   ORVOX_IPP_PLAIN_URI, ORVOX_IPP_PLAIN_CAPTURE_DIR  the next port, attributes ORVOX_IPP_PLAIN_CONF
#   ORVOX_IPP_STOPPED_URI                             the port after it, where nothing answers
# Each printer's print command records every job in its capture folder as
# job-ID.doc (the document as received) and then job-ID.env (its IPP_*
# variables and CONTENT_TYPE, each ended by a NUL byte); the .env file comes
# last, so a job whose .env can be seen is complete.
# Where the printers cannot be started, COMMAND still runs, with ORVOX_IPP_SKIP
# saying why (the IPP tests skip themselves with that reason). Everything this
# script started is stopped on every way out, by its process id; daemons that
# were running before are left alone.
# State (pid files, logs, capture folders) goes to ORVOX_RUN_DIR/ipp, default build/run/ipp.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
if (($# == 0)); then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi
state=${ORVOX_RUN_DIR:-$root/build/run}/ipp
port=${ORVOX_IPP_PORT:-8641}
conf=${ORVOX_IPP_CONF:-$root/tests/data/ipp/production.conf}
plain_conf=${ORVOX_IPP_PLAIN_CONF:-$root/tests/data/ipp/plain.conf}
limit=${ORVOX_IPP_SECONDS:-3600}   # no printer outlives a forgotten run by more than this

started_dbus=""
started_avahi=0
printer_pids=()

cleanup() {
  # Each stop runs even when the one before failed.
  local pid
  for pid in "${printer_pids[@]}"; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  if ((started_avahi)); then
    avahi-daemon -k 2>/dev/null || echo "ipp-env: stopping avahi-daemon failed" >&2
  fi
  if [ -n "$started_dbus" ]; then
    kill "$started_dbus" 2>/dev/null || echo "ipp-env: stopping dbus-daemon failed" >&2
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

alive() { [ -n "$1" ] && kill -0 "$1" 2>/dev/null; }

start_dbus() {
  local pidfile=/run/dbus/pid
  if [ -S /run/dbus/system_bus_socket ] && [ -f "$pidfile" ] && alive "$(cat "$pidfile")"; then
    return 0
  fi
  command -v dbus-daemon >/dev/null || { why="dbus-daemon is not installed"; return 1; }
  # A pid file left by a daemon that is gone makes dbus-daemon refuse to start.
  if [ -f "$pidfile" ] && ! alive "$(cat "$pidfile")"; then rm -f "$pidfile"; fi
  mkdir -p /run/dbus
  if ! dbus-daemon --system --fork 2>"$state/dbus.log"; then
    why="dbus-daemon --system did not start: $(head -c 300 "$state/dbus.log")"
    return 1
  fi
  started_dbus=$(cat "$pidfile" 2>/dev/null)
}

start_avahi() {
  if avahi-daemon --check 2>/dev/null; then return 0; fi
  command -v avahi-daemon >/dev/null || { why="avahi-daemon is not installed"; return 1; }
  if ! avahi-daemon -D --no-chroot 2>"$state/avahi.log"; then
    why="avahi-daemon did not start: $(head -c 300 "$state/avahi.log")"
    return 1
  fi
  started_avahi=1
  local deadline=$((SECONDS + 10))
  until avahi-daemon --check 2>/dev/null; do
    ((SECONDS < deadline)) || { why="avahi-daemon did not come up within 10 s"; return 1; }
    sleep 0.2
  done
}

port_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# start_printer NAME PORT CONF: sets printer_uri and printer_capture.
start_printer() {
  local name=$1 p=$2 attributes=$3
  [ -r "$attributes" ] || { why="no printer attributes file $attributes"; return 1; }
  port_free "$p" || { why="port $p is in use"; return 1; }
  local dir=$state/$name
  rm -rf "$dir"
  mkdir -p "$dir/capture" "$dir/spool"
  cat >"$dir/record-job" <<SCRIPT
#!/bin/sh
# Records one job of the printer $name: the document, then its attributes.
id=\$(date +%s%N)-\$\$
if [ -n "\${1:-}" ]; then cp "\$1" "$dir/capture/.job-\$id.doc"; else cat >"$dir/capture/.job-\$id.doc"; fi
mv "$dir/capture/.job-\$id.doc" "$dir/capture/job-\$id.doc"
env -0 | grep -z -E '^(IPP_|CONTENT_TYPE=)' >"$dir/capture/.job-\$id.env"
mv "$dir/capture/.job-\$id.env" "$dir/capture/job-\$id.env"
SCRIPT
  chmod +x "$dir/record-job"
  timeout "$limit" ippeveprinter -p "$p" -a "$attributes" -c "$dir/record-job" -d "$dir/spool" \
    "Orvox test $name $p" >"$dir/printer.log" 2>&1 &
  local pid=$!
  printer_pids+=("$pid")
  printer_uri="ipp://127.0.0.1:$p/ipp/print"
  printer_capture=$dir/capture
  local deadline=$((SECONDS + 30))
  # Up when it takes connections: it listens once its attributes are loaded.
  until ! port_free "$p"; do
    if ! alive "$pid"; then
      why="ippeveprinter $name did not start: $(tail -c 300 "$dir/printer.log" | tr '\n' ' ')"
      return 1
    fi
    ((SECONDS < deadline)) || { why="ippeveprinter $name did not answer within 30 s"; return 1; }
    sleep 0.3
  done
}

setup() {
  mkdir -p "$state"
  command -v ippeveprinter >/dev/null || { why="ippeveprinter is not installed (cups-ipp-utils)"; return 1; }
    start_dbus || return 1
  start_avahi || return 1
  start_printer finishing "$port" "$conf" || return 1
  ORVOX_IPP_URI=$printer_uri ORVOX_IPP_CAPTURE_DIR=$printer_capture
  start_printer plain $((port + 1)) "$plain_conf" || return 1
  ORVOX_IPP_PLAIN_URI=$printer_uri ORVOX_IPP_PLAIN_CAPTURE_DIR=$printer_capture
  port_free $((port + 2)) || { why="port $((port + 2)) for the stopped printer is in use"; return 1; }
  ORVOX_IPP_STOPPED_URI="ipp://127.0.0.1:$((port + 2))/ipp/print"
  export ORVOX_IPP_URI ORVOX_IPP_CAPTURE_DIR ORVOX_IPP_PLAIN_URI ORVOX_IPP_PLAIN_CAPTURE_DIR ORVOX_IPP_STOPPED_URI
}

why=""
if ! setup; then
  echo "ipp-env: IPP test printers not available: $why" >&2
  export ORVOX_IPP_SKIP=${why:-unknown reason}
fi

"$@"
exit $?

#!/usr/bin/env bash
# Runs a command with the printer path up:
#   e2e-env.sh COMMAND [ARGS...]
# Starts Xvfb when there is no DISPLAY, starts the capture printer behind its
# CUPS queue (tools/printer.sh), exports DISPLAY, ORVOX_QUEUE,
# ORVOX_CAPTURE_DIR and ORVOX_TOOLS_DIR (this folder: the fault tests start a
# second capture printer from it), runs COMMAND, then stops what it started, also when
# COMMAND fails or the run is interrupted. Exits with COMMAND's status, or 125
# when the environment could not be set up.
# State (pid files, capture folder) goes to ORVOX_RUN_DIR, default build/run/.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if (($# == 0)); then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi
state=${ORVOX_RUN_DIR:-$here/../build/run}
mkdir -p "$state"

started_x=0
started_printer=0
cleanup() {
  # Each stop runs even when the one before failed.
  if ((started_printer)); then
    "$here/printer.sh" stop "$state" || echo "e2e-env: stopping the printer failed" >&2
  fi
  if ((started_x)); then
    "$here/xvfb.sh" stop "$state" || echo "e2e-env: stopping Xvfb failed" >&2
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

setup() {
  local lines
  if [ -z "${DISPLAY:-}" ]; then
    started_x=1
    lines=$("$here/xvfb.sh" start "$state") || return 1
    eval "$lines"
  fi
  started_printer=1
  lines=$("$here/printer.sh" start "$state") || return 1
  eval "$lines"
  ORVOX_TOOLS_DIR=$here
  export DISPLAY ORVOX_QUEUE ORVOX_CAPTURE_DIR ORVOX_TOOLS_DIR
}

if ! setup; then
  echo "e2e-env: could not set up the printer path" >&2
  exit 125
fi

"$@"
status=$?
exit "$status"

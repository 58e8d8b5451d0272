#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's private prefix:
#   wine-run.sh PROGRAM.exe [ARGS...]
# The prefix lives in the build folder (ORVOX_WINEPREFIX, else build/wineprefix
# next to this script's checkout); it is made once with wineboot. An X server is
# started when there is no DISPLAY, and left to the caller to stop (see test.sh).
#
# 64-bit programs always run through the 64-bit loader. A 32-bit program on a
# machine that runs no 32-bit programs is not started: the script says so and
# exits with 77, which the test runs count as a skipped test.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
export WINEPREFIX=${ORVOX_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if (($# == 0)); then
  echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
  exit 2
fi

loader=64
if orvox_is_pe32 "$1"; then
  if ! orvox_can_run_32bit; then
    echo "wine-run: skipped $(basename "$1"): 32-bit programs cannot run on this machine ($ORVOX_RUN32_WHY)" >&2
    exit 77
  fi
  loader=32
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: no DISPLAY; start tools/xvfb.sh first or run through tools/test.sh" >&2
  exit 2
fi

# The prefix is made once, under a lock so that two first runs do not both make
# it. wineboot returns when the prefix is ready; a marker records that, because
# the registry files may be written only when the wineserver exits (and a
# persistent one does not). Every step has a time limit, and a failure is shown
# with the output of the command that failed. Wine's own error messages are
# kept in that output, whatever WINEDEBUG the caller chose.
#
# A first attempt that fails is not the end: once (seen on a CI machine)
# wineboot failed on a new prefix with "could not load kernel32.dll", where the
# same command on the same machine worked before and after. So the half-made
# prefix is stopped and removed, and it is made once more; only a second
# failure fails the run.
make_prefix() {
  local log=$1
  if ! timeout 300 env WINEDEBUG=err+all,fixme-all bash -c \
      "source '$here/wine-env.sh'; orvox_wine64 wineboot.exe -i" >"$log" 2>&1; then
    echo "wineboot -i with $orvox_wine64 failed" >>"$log"
    return 1
  fi
  # No window manager runs on the test display: Wine is told so, or it waits two
  # seconds for one each time it hides a top-level window.
  if ! timeout 120 bash -c "source '$here/wine-env.sh'; orvox_wine64 reg.exe add 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /d N /f" >>"$log" 2>&1; then
    echo "reg add in the new prefix failed" >>"$log"
    return 1
  fi
}

# Stops the wineserver of a half-made prefix and removes everything in it but
# the lock and the logs.
discard_prefix() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  find "$WINEPREFIX" -mindepth 1 -maxdepth 1 ! -name .orvox-prefix-lock \
    ! -name '.orvox-wineboot*.log' -exec rm -rf {} + 2>/dev/null || true
}

ready=$WINEPREFIX/.orvox-prefix-ready
if [ ! -f "$ready" ]; then
  mkdir -p "$WINEPREFIX"
  exec 9>"$WINEPREFIX/.orvox-prefix-lock"
  if ! flock -w 300 9; then
    echo "wine-run: the prefix $WINEPREFIX stayed locked by another run for 300 s" >&2
    exit 1
  fi
  if [ ! -f "$ready" ]; then
    log=$WINEPREFIX/.orvox-wineboot.log
    if ! make_prefix "$log"; then
      echo "wine-run: making the Wine prefix $WINEPREFIX failed; it is removed and made again. What the first attempt printed:" >&2
      tail -n 40 "$log" >&2
      mv -f "$log" "$WINEPREFIX/.orvox-wineboot-1.log"
      discard_prefix
      if ! make_prefix "$log"; then
        echo "wine-run: making the Wine prefix $WINEPREFIX failed again:" >&2
        tail -n 40 "$log" >&2
        echo "wine-run: free space where the prefix and Wine's server live:" >&2
        df -h "$WINEPREFIX" "${TMPDIR:-/tmp}" >&2 || true
        exit 1
      fi
      echo "wine-run: the second attempt made the prefix" >&2
    fi
    touch "$ready"
  fi
  exec 9>&-
fi

if [[ $loader == 64 ]]; then
  export WINELOADER=$orvox_wine64
  exec "$orvox_wine64" "$@"
fi
exec "$orvox_wine32" "$@"

#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's private prefix:
#   wine-run.sh PROGRAM.exe [ARGS...]
# The prefix lives in the build folder (ORVOX_WINEPREFIX, else build/wineprefix
# next to this script's checkout); it is made once with wineboot. An X server is
# started when there is no DISPLAY, and left to the caller to stop (see test.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${ORVOX_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
# No window manager runs on the test display: Wine is told so, or it waits two
# seconds for one each time it hides a top-level window.
if ! grep -qs '"Managed"="N"' "$WINEPREFIX/user.reg"; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: no DISPLAY; start tools/xvfb.sh first or run through tools/test.sh" >&2
  exit 2
fi
exec wine "$@"

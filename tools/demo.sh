#!/usr/bin/env bash
# The main job: builds the Windows deliverables, then, under Wine with Xvfb, CUPS
# and the capture printer up, runs the test host: it prints the version string
# and the printers the library sees, prints the sample job (install/OrvoxSample.ps)
# through Orvo_Print to the capture printer, and saves a picture of the
# job-setup window. The received job is kept as build/demo/sample-job.bin.
# With --window the job-setup window stays open until it is closed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh
tools/build.sh win
export ORVOX_WINEPREFIX=${ORVOX_WINEPREFIX:-$root/build/wineprefix}
mode=/demo
[[ ${1:-} == --window ]] && mode="/demo /wait"
mkdir -p build/demo
cd build/win/bin
export ORVOX_ROOT=$root ORVOX_MODE=$mode
"$root/tools/e2e-env.sh" bash -c '
  set -e
  before=$(ls "$ORVOX_CAPTURE_DIR" 2>/dev/null | grep -c "^job-" || true)
  "$ORVOX_ROOT/tools/wine-run.sh" OrvoxTest.exe $ORVOX_MODE
  # CUPS forwards the job once it holds all of it: wait for it, bounded.
  for _ in $(seq 1 300); do
    now=$(ls "$ORVOX_CAPTURE_DIR" | grep -c "^job-" || true)
    [ "$now" -gt "$before" ] && break
    sleep 0.1
  done
  job=$(ls "$ORVOX_CAPTURE_DIR"/job-*.bin 2>/dev/null | sort | tail -n 1)
  if [ -z "$job" ]; then echo "demo: no job arrived at the capture printer"; exit 1; fi
  cp "$job" "$ORVOX_ROOT/build/demo/sample-job.bin"
  echo "capture printer received $(stat -c %s "$job") bytes; the job begins:"
  head -c 400 "$job" | tr "\033" "~" | sed -n 1,12p
  "$ORVOX_ROOT/tools/wine-run.sh" OrvoxTest.exe /shot ../../demo/job-setup.bmp
'
echo "picture of the job-setup window: build/demo/job-setup.bmp"

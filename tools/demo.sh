#!/usr/bin/env bash
# The main job: builds the Windows deliverables and runs the test host under Wine
# with the capture printer up; it prints the version string and the printers
# the library sees, and leaves a picture of the test application with the
# job-setup window in build/demo/. With --window the job-setup window stays
# open until closed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh
tools/build.sh win
export ORVOX_WINEPREFIX=${ORVOX_WINEPREFIX:-$root/build/wineprefix}
mode=/demo
[[ ${1:-} == --window ]] && mode="/demo /wait"
cd build/win/bin
"$root/tools/e2e-env.sh" "$root/tools/wine-run.sh" OrvoxTest.exe $mode
mkdir -p "$root/build/demo"
"$root/tools/e2e-env.sh" "$root/tools/wine-run.sh" OrvoxTest.exe /shot ../../demo/job-setup.bmp

#!/usr/bin/env bash
# Runs every test: installs what is missing, builds every flavour, runs the
# native unit tests, a short fixed run of each fuzz target, the Windows tests
# (unit, host and end-to-end) under Wine with Xvfb and the capture printer, the
# host-level tests of the 32-bit build, and the package as a host receives it.
#
# The Windows tests mostly wait on Wine, the spooler and the display, so the
# 32-bit tree and the fuzzing tree are built at low priority while they run,
# and the fuzz targets run after them in the same way.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Each section is stamped with the seconds since the start, so a slow step stands out.
stamp() { echo "== $1 (at ${SECONDS} s)"; }

bash tools/setup.sh
stamp "build: native"
tools/build.sh native
stamp "build: win"
tools/build.sh win
mkdir -p build/logs

# In the background, one after the other: the 32-bit tree, the fuzzing tree,
# the fuzz runs. Each step leaves its status in build/logs/<step>.rc.
background_steps() {
  local rc f name
  nice -n 15 tools/build.sh win32 >build/logs/win32-build.log 2>&1 && rc=0 || rc=$?
  echo "$rc" >build/logs/win32-build.rc
  nice -n 15 tools/build.sh fuzz >build/logs/fuzz-build.log 2>&1 && rc=0 || rc=$?
  echo "$rc" >build/logs/fuzz-build.rc
  : >build/logs/fuzz-runs.txt
  rc=0
  if [ "$(cat build/logs/fuzz-build.rc)" = 0 ]; then
    for f in build/fuzz/fuzz_*; do
      [ -x "$f" ] || continue
      name=$(basename "$f")
      if timeout 600 nice -n 5 "$f" -runs="${ORVOX_FUZZ_RUNS:-20000}" -seed=1 >"build/fuzz/$name.log" 2>&1; then
        echo "$name: ok" >>build/logs/fuzz-runs.txt
      else
        echo "$name: FAILED (see build/fuzz/$name.log)" >>build/logs/fuzz-runs.txt; rc=1
      fi
    done
  fi
  echo "$rc" >build/logs/fuzz-runs.rc
}
rm -f build/logs/*.rc
background_steps &
background_pid=$!
trap 'kill "$background_pid" 2>/dev/null || true' EXIT

# Waits for a background step; prints its log when it failed. False on failure.
step_ok() {
  local step=$1
  while [ ! -f "build/logs/$step.rc" ]; do
    kill -0 "$background_pid" 2>/dev/null || break
    sleep 1
  done
  if [ "$(cat "build/logs/$step.rc" 2>/dev/null)" = 0 ]; then return 0; fi
  echo "$step failed:"
  tail -n 40 "build/logs/$step.log" 2>/dev/null || true
  return 1
}

status=0
stamp "native unit tests"
ctest --test-dir build/native --output-on-failure || status=1

stamp "Windows tests under Wine"
export ORVOX_WINEPREFIX=${ORVOX_WINEPREFIX:-$root/build/wineprefix}
# Whether 32-bit programs run here is found out once, by running one; the
# answer travels to every Wine start in ORVOX_RUN32.
source tools/wine-env.sh
if orvox_can_run_32bit; then
  echo "32-bit programs run on this machine: the i686 tests run"
else
  echo "32-bit programs cannot run on this machine ($ORVOX_RUN32_WHY): the i686 tests that start a program are skipped"
fi
export -f step_ok
export background_pid
rm -f build/logs/skipped-i686.txt
# The IPP printers come up beside the capture printer for the whole Windows run;
# where they cannot, the IPP tests are skipped with the reason.
tools/e2e-env.sh tools/ipp-env.sh bash -c '
  set -o pipefail
  export WINEPREFIX=$ORVOX_WINEPREFIX WINEDEBUG=-all
  # The prefix is made once; a failure is shown with what wineboot said.
  if ! tools/wine-run.sh cmd /c exit >/dev/null; then
    echo "Windows tests: no usable Wine prefix"; exit 1
  fi
  # One wineserver for the whole run: the one still up from the start above is
  # made persistent. (Ending it first and starting a new one made the next
  # program hang: the new server has none of the services of the prefix running.)
  wineserver -p 2>/dev/null || true
  rc=0
  ctest --test-dir build/win --output-on-failure || rc=1
  echo "== 32-bit host-level tests under Wine (at ${SECONDS} s of the Windows tests)"
  skipped=0
  if step_ok win32-build; then
    ctest --test-dir build/win32 --output-on-failure 2>&1 | tee build/logs/ctest-win32.log || rc=1
    n=$(grep -cE "^[[:space:]]*[0-9]+ - .*\(Skipped\)$" build/logs/ctest-win32.log || true)
    skipped=$((skipped + n))
    echo "== package"
    if tools/package.sh --no-build; then
      tests/package/package_test.sh 2>&1 | tee build/logs/package-test.log || rc=1
      n=$(sed -n "s/^package checks skipped: \([0-9]*\)$/\1/p" build/logs/package-test.log)
      skipped=$((skipped + ${n:-0}))
    else
      rc=1
    fi
  else
    rc=1
  fi
  echo "$skipped" >build/logs/skipped-i686.txt
  timeout 30 wineserver -k 2>/dev/null || true
  exit $rc' || status=1

stamp "fuzz targets (fixed number of runs)"
if step_ok fuzz-build; then
  wait "$background_pid" || true
  cat build/logs/fuzz-runs.txt
  [ "$(cat build/logs/fuzz-runs.rc 2>/dev/null)" = 0 ] || status=1
else
  status=1
fi
trap - EXIT
skipped=$(cat build/logs/skipped-i686.txt 2>/dev/null || echo 0)
if [ "${ORVOX_RUN32:-}" = 0 ]; then
  echo "32-bit programs cannot run on this machine: ${skipped} i686 tests skipped"
fi
stamp "done"

exit $status

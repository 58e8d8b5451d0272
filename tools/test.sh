#!/usr/bin/env bash
# Runs every test: installs what is missing, builds both flavours, runs the
# native unit tests, a short fixed run of each fuzz target, the Windows tests
# (unit, host and end-to-end) under Wine with Xvfb and the capture printer, the
# host-level tests of the 32-bit build, and the package as a host receives it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/setup.sh
tools/build.sh all

status=0
echo "== native unit tests"
ctest --test-dir build/native --output-on-failure || status=1

# The fuzz targets run, one after the other, beside the Windows tests, which
# mostly wait on Wine, the spooler and the display; their results are printed
# at the end.
fuzz_all() {
  local rc=0 f name
  for f in build/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    if nice -n 5 "$f" -runs="${ORVOX_FUZZ_RUNS:-20000}" -seed=1 >"build/fuzz/$name.log" 2>&1; then
      echo "$name: ok"
    else
      echo "$name: FAILED (see build/fuzz/$name.log)"; rc=1
    fi
  done
  return $rc
}
fuzz_pid=
if [ -d build/fuzz ]; then
  fuzz_all >build/fuzz/summary.txt 2>&1 &
  fuzz_pid=$!
fi

echo "== Windows tests under Wine"
export ORVOX_WINEPREFIX=${ORVOX_WINEPREFIX:-$root/build/wineprefix}
tools/e2e-env.sh bash -c '
  export WINEPREFIX=$ORVOX_WINEPREFIX WINEDEBUG=-all
  tools/wine-run.sh cmd /c exit >/dev/null 2>&1 || true   # make the prefix once
  wineserver -p 2>/dev/null || true                       # one wineserver for the whole run
  rc=0
  ctest --test-dir build/win --output-on-failure || rc=1
  echo "== 32-bit host-level tests under Wine"
  ctest --test-dir build/win32 --output-on-failure || rc=1
  echo "== package"
  if tools/package.sh --no-build; then tests/package/package_test.sh || rc=1; else rc=1; fi
  wineserver -k 2>/dev/null || true
  exit $rc' || status=1

if [ -n "$fuzz_pid" ]; then
  echo "== fuzz targets (fixed number of runs)"
  wait "$fuzz_pid" || status=1
  cat build/fuzz/summary.txt
fi

exit $status

#!/usr/bin/env bash
# Runs a sample host under Wine from its folder and checks that it succeeded and
# printed the version string and a non-empty paper catalog.
#   check_sample_host.sh PATH/OrvoxSampleHost.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exe=$1
cd "$(dirname "$exe")"
out=$("$here/../../tools/wine-run.sh" "./$(basename "$exe")" 2>&1 | tr -d '\r')
status=${PIPESTATUS[0]}
echo "$out" | sed -n 1,6p
# 77: the program cannot run on this machine (wine-run.sh said why); a skip, not a pass.
if [ "$status" -eq 77 ]; then echo "sample host: skipped"; exit 77; fi
if [ "$status" -ne 0 ]; then echo "sample host: exit status $status"; exit 1; fi
echo "$out" | grep -q '^version: Orvox.dll - 11_02_00,' || { echo "sample host: no version line"; exit 1; }
lines=$(echo "$out" | sed -n '/^paper catalog:$/,$p' | grep -c .)
[ "$lines" -ge 2 ] || { echo "sample host: empty paper catalog"; exit 1; }
echo "sample host: ok"

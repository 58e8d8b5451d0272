#!/usr/bin/env bash
# The package as a host developer receives it: unpacks dist/Orvox-*-win.zip into
# an empty folder and, for both architectures, runs the shipped sample host from
# it under Wine, builds the sample again with CMake's find_package(Orvox) and
# with the MSVC import library, runs those too, and checks that a host of one
# architecture cannot load the DLL of the other.
# Needs DISPLAY (run through tools/e2e-env.sh or tools/test.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
zip=$(ls "$root"/dist/Orvox-*-win.zip | sort | tail -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 -m zipfile -e "$zip" "$work/unpacked"
pkg=$(ls -d "$work"/unpacked/Orvox-*)
check=$root/tests/package/check_sample_host.sh
fail=0
skipped=0
step() { echo "== package: $*"; }
# Runs the sample-host check on EXE; a program that cannot run on this machine
# (exit 77, a 32-bit one where no 32-bit program runs) counts as skipped.
run_check() {
  local rc=0
  "$check" "$1" || rc=$?
  if ((rc == 77)); then skipped=$((skipped + 1)); elif ((rc != 0)); then fail=1; fi
}

for f in include/Orvox.h OrvoxConfig.cmake README.txt docs/job-header.md docs/submitter.md samples/host/sample_host.c \
         bin/x64/OrvoxSubmit.exe bin/x86/OrvoxSubmit.exe; do
  [ -f "$pkg/$f" ] || { echo "package: $f missing"; fail=1; }
done

for arch in x64 x86; do
  if [[ $arch == x64 ]]; then triple=x86_64-w64-mingw32 proc=x86_64; else triple=i686-w64-mingw32 proc=i686; fi
  bin=$pkg/bin/$arch

  step "$arch: the shipped sample host"
  run_check "$bin/OrvoxSampleHost.exe"

  step "$arch: OrvoxSubmit from the package"
  # A ticket that is not there gives 17 only once the library has loaded with
  # all its exports (26 or 27 otherwise); --help names the exit status.
  submit_rc=0
  (cd "$bin" && "$root/tools/wine-run.sh" ./OrvoxSubmit.exe print --ticket nothere.xml nothere.ps) \
    >"$work/submit-$arch.log" 2>&1 || submit_rc=$?
  if ((submit_rc == 77)); then
    echo "skipped: OrvoxSubmit ($arch) cannot run on this machine"; skipped=$((skipped + 1))
  elif ((submit_rc != 17)); then
    echo "package: OrvoxSubmit ($arch) exit status $submit_rc, expected 17"; cat "$work/submit-$arch.log"; fail=1
  elif ! (cd "$bin" && "$root/tools/wine-run.sh" ./OrvoxSubmit.exe --help) | grep -q "Exit status: the library's result code"; then
    echo "package: OrvoxSubmit ($arch) --help does not name the exit status"; fail=1
  else
    echo "OrvoxSubmit ($arch): ok"
  fi

  step "$arch: a CMake host with find_package(Orvox)"
  # The project's toolchain file, but packages may also be found outside the
  # MinGW root, as a host developer's toolchain file would allow.
  printf 'include(%s/cmake/mingw-w64-%s.cmake)\nset(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)\n' \
    "$root" "$proc" >"$work/toolchain-$arch.cmake"
  if cmake -S "$pkg/samples/host" -B "$work/cmake-$arch" --toolchain "$work/toolchain-$arch.cmake" \
       -DCMAKE_PREFIX_PATH="$pkg" >"$work/cmake-$arch.log" 2>&1 &&
     cmake --build "$work/cmake-$arch" >>"$work/cmake-$arch.log" 2>&1; then
    cp "$work/cmake-$arch/OrvoxSampleHost.exe" "$bin/OrvoxCMakeHost.exe"
    run_check "$bin/OrvoxCMakeHost.exe"
  else
    cat "$work/cmake-$arch.log"; fail=1
  fi

  step "$arch: a host linked with Orvox.lib"
  if "$triple-gcc-posix" -std=c99 -Wall -Wextra -pedantic -Werror -I "$pkg/include" \
       "$pkg/samples/host/sample_host.c" "$pkg/lib/$arch/Orvox.lib" -luser32 -static-libgcc \
       -o "$bin/OrvoxLibHost.exe"; then
    run_check "$bin/OrvoxLibHost.exe"
  else
    fail=1
  fi
done

step "a host of one architecture does not load the other's DLL"
mkdir -p "$work/mixed"
cp "$pkg"/bin/x64/* "$work/mixed/"
cp "$pkg/bin/x86/OrvoxSampleHost.exe" "$work/mixed/OrvoxSampleHost.exe"
mixed=0
"$check" "$work/mixed/OrvoxSampleHost.exe" >"$work/mixed.log" 2>&1 || mixed=$?
if ((mixed == 0)); then
  echo "package: a 32-bit host ran with the 64-bit DLL"; fail=1
elif ((mixed == 77)); then
  echo "skipped: the 32-bit host cannot run on this machine"; skipped=$((skipped + 1))
else
  echo "refused as expected: $(tail -n 1 "$work/mixed.log")"
fi

# The test run reads this line for its count of skipped 32-bit checks.
echo "package checks skipped: $skipped"
if ((fail)); then echo "package test: FAILED"; exit 1; fi
echo "package test: passed"

#!/usr/bin/env bash
# Builds both flavours: the native core with its unit tests (sanitizers) and the
# Windows deliverables with their tests, for x86_64 (build/win) and i686
# (build/win32: deliverables, the library print, the sample host, the large-file copy and the arithmetic both builds must do alike).
# Usage: build.sh [native|win|win32|fuzz|all|bench]
# `bench` builds the benchmark flavour: the native core optimised (-O2) without
# sanitizers into build/bench, and the Windows library as shipped with the
# Windows benchmark programs in build/win. `all` leaves it out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
what=${1:-all}
jobs=${ORVOX_JOBS:-2}
# Compiles go through ccache where it is installed: a new clone (CI's) or a
# second worktree on the same machine finds what was compiled before. Paths
# below the checkout are kept relative, and the working folder is left out of
# the hash, so the clone's folder does not matter.
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
fi
if [[ $what == native || $what == all ]]; then
  cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build build/native -j"$jobs"
fi
if [[ $what == win || $what == all ]]; then
  cmake -S . -B build/win --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/win -j"$jobs"
fi
if [[ $what == bench ]]; then
  cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DORVOX_SANITIZERS=OFF \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" >/dev/null
  cmake --build build/bench -j"$jobs" --target orvox_benchmarks orvox_res_file
  cmake -S . -B build/win --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/win -j"$jobs" --target Orvox orvoxRes orvox_install_data orvox_benchmarks
fi
if [[ $what == win32 || $what == all ]]; then
  cmake -S . -B build/win32 --toolchain cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVOX_UNIT_TESTS=OFF -DORVOX_WIN_TESTS=OFF >/dev/null
  cmake --build build/win32 -j"$jobs"
fi
if [[ $what == fuzz || $what == all ]] && [ -f tests/fuzz/CMakeLists.txt ]; then
  # The fuzzing tree builds the fuzz targets only: the unit tests run from build/native.
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -DORVOX_FUZZ=ON -DORVOX_UNIT_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/fuzz -j"$jobs"
fi

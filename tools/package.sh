#!/usr/bin/env bash
# Makes the package a host developer receives: dist/Orvox-<version>-win.zip with
#   include/            Orvox.h
#   bin/x64/, bin/x86/  Orvox.dll, orvoxRes.dll, OrvoxTest.exe, OrvoxSampleHost.exe, OrvoxSubmit.exe
#                       and the installation data files
#   lib/x64/, lib/x86/  Orvox.lib (MSVC), libOrvox.dll.a (MinGW), cmake/ configuration
#   OrvoxConfig.cmake   find_package(Orvox) with the package folder as prefix
#   samples/host/       the sample host in C with its CMake project
#   docs/               host integration guide, job header format, file formats, submitter
#   README.txt
# Usage: package.sh [--no-build]   (by default both Windows flavours are built first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [[ ${1:-} != --no-build ]]; then
  tools/build.sh win
  tools/build.sh win32
fi

version=$(sed -n 's/^project(Orvox VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
major=${version%%.*}
name=Orvox-$version
stage=$root/build/package
rm -rf "$stage"
mkdir -p "$stage/$name" dist
pkg=$stage/$name

install -D -m 644 include/Orvox.h "$pkg/include/Orvox.h"
for arch in x64 x86; do
  if [[ $arch == x64 ]]; then build=build/win pointer=8; else build=build/win32 pointer=4; fi
  bin=$pkg/bin/$arch lib=$pkg/lib/$arch
  mkdir -p "$bin" "$lib/cmake"
  for f in Orvox.dll orvoxRes.dll OrvoxTest.exe OrvoxSampleHost.exe OrvoxSubmit.exe; do
    install -m 644 "$build/bin/$f" "$bin/$f"
  done
  # The installation data: what install/ holds, and the help file the build makes.
  for f in install/* "$build"/bin/*.chm; do
    [ -f "$f" ] && install -m 644 "$f" "$bin/"
  done
  install -m 644 "$build/lib/Orvox.lib" "$build/lib/libOrvox.dll.a" "$lib/"
  install -m 644 cmake/package/OrvoxArchConfig.cmake "$lib/cmake/OrvoxConfig.cmake"
  sed -e "s/@ORVOX_VERSION@/$version/g" -e "s/@ORVOX_VERSION_MAJOR@/$major/g" \
      -e "s/@ORVOX_ARCH@/$arch/g" -e "s/@ORVOX_POINTER_SIZE@/$pointer/g" \
      cmake/package/OrvoxArchConfigVersion.cmake.in >"$lib/cmake/OrvoxConfigVersion.cmake"
done
install -m 644 cmake/package/OrvoxConfig.cmake cmake/package/OrvoxConfigVersion.cmake "$pkg/"
install -D -m 644 samples/host/sample_host.c "$pkg/samples/host/sample_host.c"
install -m 644 samples/host/CMakeLists.txt "$pkg/samples/host/"
mkdir -p "$pkg/docs"
install -m 644 docs/*.md "$pkg/docs/"
sed "s/@ORVOX_VERSION@/$version/g" docs/package-readme.txt >"$pkg/README.txt"

zip=dist/$name-win.zip
rm -f "$zip"
(cd "$stage" && python3 -m zipfile -c "$root/$zip" "$name")
echo "package: $zip ($(stat -c %s "$zip") bytes)"

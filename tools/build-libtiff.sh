#!/usr/bin/env bash
# Cross-builds libtiff as a static Windows library from Debian's tiff source package.
# Usage: build-libtiff.sh SRC_DIR PREFIX TOOLCHAIN_FILE
set -euo pipefail
src=$1 prefix=$2 toolchain=$3
mkdir -p "$src"
cd "$src"
if ! ls -d tiff-*/ >/dev/null 2>&1; then
  apt-get source --download-only -t bookworm tiff >/dev/null 2>&1 || apt-get source --download-only tiff >/dev/null
  dpkg-source -x --no-check tiff_*.dsc >/dev/null
fi
tree=$(ls -d tiff-*/ | head -n 1)
cmake -S "$tree" -B build -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_CROSSCOMPILING_EMULATOR= \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
  -Djpeg=OFF -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dlibdeflate=OFF \
  -Dzlib=ON -Dpixarlog=ON -Dcxx=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
cmake --install build >/dev/null
test -f "$prefix/lib/libtiff.a"

#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  cmake make g++ clang pkg-config ccache
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  googletest libgtest-dev
  wine wine64 xvfb xauth
  cups cups-client cups-bsd
  ghostscript qpdf poppler-utils libtiff-tools libtiff-dev
  python3 dpkg-dev procps util-linux time
  fp-utils-3.2.2
  libxml2-utils   # xmllint, the peer of the XML import benchmark
  cups-ipp-utils avahi-daemon dbus   # ippeveprinter and ipptool, the DNS-SD daemon it needs, its system bus
)

# 32-bit hosts are tested under 32-bit Wine, which comes from the i386
# architecture. Where the kernel runs no 32-bit programs it could not start, so
# it is not installed there (the i686 tests that start a program are skipped).
source "$(dirname "$0")/wine-env.sh"
if orvox_kernel_runs_32bit; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture"
    dpkg --add-architecture i386
  fi
  packages+=(wine32:i386 libcups2:i386)
else
  echo "setup: this kernel runs no 32-bit programs; 32-bit Wine is left out"
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Source packages (libtiff for the Windows build) come from the same archive
# and suite as the binary ones.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  echo "setup: adding deb-src entries"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list >/etc/apt/sources.list.d/orvox-src.list
  fi
  apt-get update -qq
fi

echo "setup: all packages present"

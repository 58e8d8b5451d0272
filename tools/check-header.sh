#!/usr/bin/env bash
# Compiles the public header as C and as C++ with gcc and clang for one Windows
# architecture, pedantic and with every warning an error, as a host would include it.
#   check-header.sh TRIPLE HEADER
set -euo pipefail
triple=$1 header=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '#include "%s"\nint orvox_header_check(void) { return ORVO_OK; }\n' "$header" >"$dir/host.c"
cp "$dir/host.c" "$dir/host.cpp"
flags=(-fsyntax-only -Wall -Wextra -pedantic -Werror)
status=0
run() {
  if "$@" 2>"$dir/err"; then echo "check-header: ok: ${*:1:3}"; else
    echo "check-header: FAILED: $*"; cat "$dir/err"; status=1; fi
}
run "$triple-gcc-posix" -std=c99 "${flags[@]}" "$dir/host.c"
run "$triple-g++-posix" -std=c++11 "${flags[@]}" "$dir/host.cpp"
# clang with the MinGW headers of the same architecture.
target=${triple/-w64-mingw32/-w64-windows-gnu}
if command -v clang >/dev/null; then
  run clang --target="$target" -isystem "/usr/$triple/include" -std=c99 "${flags[@]}" "$dir/host.c"
  run clang++ --target="$target" -isystem "/usr/$triple/include" -std=c++11 "${flags[@]}" "$dir/host.cpp"
else
  echo "check-header: clang missing"; status=1
fi
exit $status

#!/usr/bin/env bash
# Checks that a built Orvox.dll exports exactly the names of the .def file:
# C linkage, no stdcall decoration (@n), no leading underscore, nothing more.
#   check-exports.sh TRIPLE DLL DEF
set -euo pipefail
triple=$1 dll=$2 def=$3
expected=$(sed -n 's/^[[:space:]]\{1,\}\(Orvo_[A-Za-z]*\)[[:space:]]*$/\1/p' "$def" | sort)
# objdump -p prints the export name table as "[ordinal] name" lines.
actual=$("$triple-objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\([^[:space:]]*\)$/\1/p' | sort)
count=$(printf '%s\n' "$expected" | grep -c .)
if [ "$count" -ne 21 ]; then
  echo "check-exports: the .def names $count functions, not 21"; exit 1
fi
if [ "$expected" != "$actual" ]; then
  echo "check-exports: $dll exports differ from $def"
  diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") || true
  exit 1
fi
echo "check-exports: $dll exports exactly the 21 names"

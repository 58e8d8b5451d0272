# Sourced by the scripts that run Windows programs. Chooses the Wine loader for
# a program and tells whether 32-bit programs can run on this machine.
#
# Debian's /usr/bin/wine starts the 32-bit loader whenever wine32 is installed,
# also for 64-bit programs; on a kernel that runs no 32-bit programs that loader
# fails with "Exec format error". So 64-bit programs always go to the 64-bit
# loader, and 32-bit ones to the 32-bit loader only where it runs.

orvox_wine64=${ORVOX_WINE64:-/usr/lib/wine/wine64}
orvox_wine32=${ORVOX_WINE32:-/usr/lib/wine/wine}

# Exit status 0 when the kernel runs 32-bit x86 programs: it runs a minimal
# i386 executable, which exits with 42 (nothing else would give that status).
orvox_kernel_runs_32bit() {
  local probe rc
  probe=$(mktemp "${TMPDIR:-/tmp}/orvox-i386-probe.XXXXXX") || return 1
  # ELF header, one loadable segment, then: mov eax,1; mov ebx,42; int 0x80
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >"$probe"
  chmod +x "$probe"
  "$probe" >/dev/null 2>&1 && rc=0 || rc=$?
  rm -f "$probe"
  [ "$rc" = 42 ]
}

# Exit status 0 when this machine runs 32-bit Windows programs: the kernel runs
# 32-bit programs and 32-bit Wine starts. The answer is kept in ORVOX_RUN32 (1
# or 0), so a test run asks once; ORVOX_RUN32_WHY says why not.
orvox_can_run_32bit() {
  if [ -z "${ORVOX_RUN32:-}" ]; then
    if ! orvox_kernel_runs_32bit; then
      ORVOX_RUN32=0 ORVOX_RUN32_WHY="the kernel does not run 32-bit programs"
    elif [ ! -x "$orvox_wine32" ]; then
      ORVOX_RUN32=0 ORVOX_RUN32_WHY="32-bit Wine is not installed"
    elif ! timeout 30 "$orvox_wine32" --version >/dev/null 2>&1; then
      ORVOX_RUN32=0 ORVOX_RUN32_WHY="32-bit Wine does not start"
    else
      ORVOX_RUN32=1 ORVOX_RUN32_WHY=
    fi
    export ORVOX_RUN32 ORVOX_RUN32_WHY
  fi
  [ "$ORVOX_RUN32" = 1 ]
}

# True when FILE is a 32-bit x86 Windows program or library (PE machine 0x14c).
orvox_is_pe32() {
  [ -f "$1" ] || return 1
  python3 - "$1" <<'PY'
import struct, sys
try:
    with open(sys.argv[1], 'rb') as f:
        head = f.read(4096)
    pe = struct.unpack_from('<I', head, 0x3c)[0]
    ok = head[:2] == b'MZ' and head[pe:pe + 4] == b'PE\0\0' and \
        struct.unpack_from('<H', head, pe + 4)[0] == 0x14c
except Exception:
    ok = False
sys.exit(0 if ok else 1)
PY
}

# Runs the 64-bit loader with ARGS (wineboot.exe, reg.exe, a 64-bit program).
orvox_wine64() {
  WINELOADER=$orvox_wine64 "$orvox_wine64" "$@"
}
